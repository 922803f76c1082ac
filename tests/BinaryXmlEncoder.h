#pragma once
// Builds binary XML for the decoder tests: a token-level writer, builders of typed
// values, and an encoder of a small element tree whose names are defined on first use.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orodorev::test {

// A value token and the bytes that follow it.
struct EncodedValue {
  uint8_t token = 0;
  std::vector<uint8_t> payload;
};

// Token-level writer; the constructor writes the header.
class BinaryXmlWriter {
 public:
  explicit BinaryXmlWriter(uint8_t version = 1);

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  BinaryXmlWriter& raw(const std::vector<uint8_t>& bytes);
  BinaryXmlWriter& mb(uint64_t value);
  BinaryXmlWriter& text(std::u16string_view text);  // length in code units, then UTF-16LE
  uint32_t defineName(std::u16string_view name);   // returns the new name index
  uint32_t defineQName(uint32_t uri, uint32_t prefix, uint32_t local);
  BinaryXmlWriter& flushNames();
  BinaryXmlWriter& element(uint32_t qname);
  BinaryXmlWriter& attribute(uint32_t qname);
  BinaryXmlWriter& endAttributes();
  BinaryXmlWriter& endElement();
  BinaryXmlWriter& value(const EncodedValue& value);
  BinaryXmlWriter& nvarchar(std::u16string_view text);

 private:
  std::vector<uint8_t> bytes_;
  uint32_t names_ = 0;
  uint32_t qnames_ = 0;
};

std::vector<uint8_t> littleEndian(uint64_t value, size_t size);
std::vector<uint8_t> multiByte(uint64_t value);

EncodedValue nvarcharValue(std::u16string_view text);
EncodedValue fixedValue(uint8_t token, uint64_t raw, size_t size);
EncodedValue floatValue(double value);
EncodedValue realValue(float value);
// Magnitude as a little-endian integer of 4, 8, 12 or 16 bytes.
EncodedValue decimalValue(uint8_t token, uint8_t precision, uint8_t scale, bool positive,
                          const std::vector<uint8_t>& magnitude);
// Length (mb) and bytes, as the binary and base64/binhex tokens keep them.
EncodedValue blobValue(uint8_t token, const std::vector<uint8_t>& data);
EncodedValue codePageValue(uint8_t token, uint32_t codePage, const std::vector<uint8_t>& bytes);
EncodedValue xsdDateTimeValue(int year, int month, int day, int hour, int minute, int second,
                              int millisecond);
// zoneMinutes is the offset east of UTC (+04:30 is 270).
EncodedValue xsdDateValue(int year, int month, int day, int zoneMinutes);
EncodedValue xsdTimeValue(int hour, int minute, int second, int millisecond);
EncodedValue sqlDateTimeValue(int32_t daysSince1900, uint32_t ticks);
EncodedValue smallDateTimeValue(uint16_t daysSince1900, uint16_t minutes);
EncodedValue date2Value(uint32_t daysSince0001);
// DATETIME2, TIME2 and the offset forms: scale, time units, day; a zone for the offset forms.
EncodedValue timedValue(uint8_t token, uint8_t scale, uint64_t units, uint32_t daysSince0001,
                        std::optional<int16_t> zoneMinutes = std::nullopt);

struct TreeName {
  std::u16string prefix;
  std::u16string local;
  std::u16string uri;
};

struct TreeAttribute {
  TreeName name;
  std::vector<EncodedValue> values;
};

// An element, or one atomic value when `value` is set.
struct TreeNode {
  TreeName name;
  std::vector<TreeAttribute> attributes;
  std::vector<TreeNode> children;
  std::optional<EncodedValue> value;
};

TreeNode element(TreeName name, std::vector<TreeAttribute> attributes = {},
                 std::vector<TreeNode> children = {});
TreeNode valueNode(EncodedValue value);

std::vector<uint8_t> encodeTree(const std::vector<TreeNode>& nodes, uint8_t version = 1);

}  // namespace orodorev::test
