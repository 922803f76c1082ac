#include "tests/BinaryXmlEncoder.h"

#include <bit>
#include <map>
#include <tuple>

#include "rows/BinaryXmlFormat.h"

namespace orodorev::test {

namespace bx = binxml;

BinaryXmlWriter::BinaryXmlWriter(uint8_t version) : bytes_{0xDF, 0xFF, version, 0xB0, 0x04} {}

BinaryXmlWriter& BinaryXmlWriter::raw(const std::vector<uint8_t>& bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

BinaryXmlWriter& BinaryXmlWriter::mb(uint64_t value) { return raw(multiByte(value)); }

BinaryXmlWriter& BinaryXmlWriter::text(std::u16string_view text) {
  mb(text.size());
  for (char16_t unit : text) raw(littleEndian(unit, 2));
  return *this;
}

uint32_t BinaryXmlWriter::defineName(std::u16string_view name) {
  raw({bx::kNameDef}).text(name);
  return ++names_;
}

uint32_t BinaryXmlWriter::defineQName(uint32_t uri, uint32_t prefix, uint32_t local) {
  raw({bx::kQNameDef}).mb(uri).mb(prefix).mb(local);
  return ++qnames_;
}

BinaryXmlWriter& BinaryXmlWriter::flushNames() {
  names_ = 0;
  qnames_ = 0;
  return raw({bx::kFlushNames});
}

BinaryXmlWriter& BinaryXmlWriter::element(uint32_t qname) {
  return raw({bx::kElement}).mb(qname);
}

BinaryXmlWriter& BinaryXmlWriter::attribute(uint32_t qname) {
  return raw({bx::kAttribute}).mb(qname);
}

BinaryXmlWriter& BinaryXmlWriter::endAttributes() { return raw({bx::kEndAttributes}); }
BinaryXmlWriter& BinaryXmlWriter::endElement() { return raw({bx::kEndElement}); }

BinaryXmlWriter& BinaryXmlWriter::value(const EncodedValue& value) {
  return raw({value.token}).raw(value.payload);
}

BinaryXmlWriter& BinaryXmlWriter::nvarchar(std::u16string_view text) {
  return value(nvarcharValue(text));
}

std::vector<uint8_t> littleEndian(uint64_t value, size_t size) {
  std::vector<uint8_t> bytes;
  for (size_t k = 0; k < size; ++k) bytes.push_back(static_cast<uint8_t>(value >> (8 * k)));
  return bytes;
}

std::vector<uint8_t> multiByte(uint64_t value) {
  std::vector<uint8_t> bytes;
  while (value >= 0x80) {
    bytes.push_back(static_cast<uint8_t>(0x80 | (value & 0x7F)));
    value >>= 7;
  }
  bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

EncodedValue nvarcharValue(std::u16string_view text) {
  EncodedValue value{bx::kSqlNVarChar, multiByte(text.size())};
  for (char16_t unit : text) {
    auto bytes = littleEndian(unit, 2);
    value.payload.insert(value.payload.end(), bytes.begin(), bytes.end());
  }
  return value;
}

EncodedValue fixedValue(uint8_t token, uint64_t raw, size_t size) {
  return EncodedValue{token, littleEndian(raw, size)};
}

EncodedValue floatValue(double value) {
  return fixedValue(bx::kSqlFloat, std::bit_cast<uint64_t>(value), 8);
}

EncodedValue realValue(float value) {
  return fixedValue(bx::kSqlReal, std::bit_cast<uint32_t>(value), 4);
}

EncodedValue decimalValue(uint8_t token, uint8_t precision, uint8_t scale, bool positive,
                          const std::vector<uint8_t>& magnitude) {
  EncodedValue value{token, multiByte(3 + magnitude.size())};
  value.payload.push_back(precision);
  value.payload.push_back(scale);
  value.payload.push_back(positive ? 1 : 0);
  value.payload.insert(value.payload.end(), magnitude.begin(), magnitude.end());
  return value;
}

EncodedValue blobValue(uint8_t token, const std::vector<uint8_t>& data) {
  EncodedValue value{token, multiByte(data.size())};
  value.payload.insert(value.payload.end(), data.begin(), data.end());
  return value;
}

EncodedValue codePageValue(uint8_t token, uint32_t codePage, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> body = littleEndian(codePage, 4);
  body.insert(body.end(), bytes.begin(), bytes.end());
  return blobValue(token, body);
}

namespace {

int64_t packedXsdDate(int year, int month, int day) {
  return (day - 1) + 31 * ((month - 1) + 12 * (static_cast<int64_t>(year) + 9999));
}

}  // namespace

EncodedValue xsdDateTimeValue(int year, int month, int day, int hour, int minute, int second,
                              int millisecond) {
  const int64_t seconds = second + 60 * (minute + 60 * (hour + 24 * packedXsdDate(year, month, day)));
  return fixedValue(bx::kXsdDateTime, static_cast<uint64_t>(2 + 4 * (millisecond + 1000 * seconds)),
                    8);
}

EncodedValue xsdDateValue(int year, int month, int day, int zoneMinutes) {
  const int64_t adjust = -zoneMinutes;
  const int64_t raw = 1 + 4 * ((60 * 14 + adjust) + 60 * 29 * packedXsdDate(year, month, day));
  return fixedValue(bx::kXsdDate, static_cast<uint64_t>(raw), 8);
}

EncodedValue xsdTimeValue(int hour, int minute, int second, int millisecond) {
  const int64_t raw = 4 * (millisecond + 1000 * (second + 60 * (minute + 60 * hour)));
  return fixedValue(bx::kXsdTime, static_cast<uint64_t>(raw), 8);
}

EncodedValue sqlDateTimeValue(int32_t daysSince1900, uint32_t ticks) {
  EncodedValue value{bx::kSqlDateTime, littleEndian(static_cast<uint32_t>(daysSince1900), 4)};
  auto time = littleEndian(ticks, 4);
  value.payload.insert(value.payload.end(), time.begin(), time.end());
  return value;
}

EncodedValue smallDateTimeValue(uint16_t daysSince1900, uint16_t minutes) {
  return fixedValue(bx::kSqlSmallDateTime, daysSince1900 | (static_cast<uint32_t>(minutes) << 16),
                    4);
}

EncodedValue date2Value(uint32_t daysSince0001) {
  return fixedValue(bx::kXsdDate2, daysSince0001, 3);
}

EncodedValue timedValue(uint8_t token, uint8_t scale, uint64_t units, uint32_t daysSince0001,
                        std::optional<int16_t> zoneMinutes) {
  EncodedValue value{token, {scale}};
  const size_t width = scale <= 2 ? 3 : scale <= 4 ? 4 : 5;
  for (const auto& part : {littleEndian(units, width), littleEndian(daysSince0001, 3)}) {
    value.payload.insert(value.payload.end(), part.begin(), part.end());
  }
  if (zoneMinutes) {
    auto zone = littleEndian(static_cast<uint16_t>(*zoneMinutes), 2);
    value.payload.insert(value.payload.end(), zone.begin(), zone.end());
  }
  return value;
}

TreeNode element(TreeName name, std::vector<TreeAttribute> attributes,
                 std::vector<TreeNode> children) {
  return TreeNode{std::move(name), std::move(attributes), std::move(children), std::nullopt};
}

TreeNode valueNode(EncodedValue value) { return TreeNode{{}, {}, {}, std::move(value)}; }

namespace {

// Defines each name and qname just before its first use.
class TreeEncoder {
 public:
  explicit TreeEncoder(uint8_t version) : writer_(version) {}

  std::vector<uint8_t> encode(const std::vector<TreeNode>& nodes) {
    for (const TreeNode& node : nodes) write(node);
    return writer_.bytes();
  }

 private:
  uint32_t nameIndex(const std::u16string& name) {
    if (name.empty()) return 0;
    auto found = names_.find(name);
    if (found != names_.end()) return found->second;
    return names_[name] = writer_.defineName(name);
  }

  uint32_t qnameIndex(const TreeName& name) {
    auto key = std::make_tuple(nameIndex(name.uri), nameIndex(name.prefix), nameIndex(name.local));
    auto found = qnames_.find(key);
    if (found != qnames_.end()) return found->second;
    return qnames_[key] = writer_.defineQName(std::get<0>(key), std::get<1>(key), std::get<2>(key));
  }

  void write(const TreeNode& node) {
    if (node.value) {
      writer_.value(*node.value);
      return;
    }
    writer_.element(qnameIndex(node.name));
    for (const TreeAttribute& attribute : node.attributes) {
      writer_.attribute(qnameIndex(attribute.name));
      for (const EncodedValue& value : attribute.values) writer_.value(value);
    }
    if (!node.attributes.empty()) writer_.endAttributes();
    for (const TreeNode& child : node.children) write(child);
    writer_.endElement();
  }

  BinaryXmlWriter writer_;
  std::map<std::u16string, uint32_t> names_;
  std::map<std::tuple<uint32_t, uint32_t, uint32_t>, uint32_t> qnames_;
};

}  // namespace

std::vector<uint8_t> encodeTree(const std::vector<TreeNode>& nodes, uint8_t version) {
  return TreeEncoder(version).encode(nodes);
}

}  // namespace orodorev::test
