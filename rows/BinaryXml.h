#pragma once
// Decoder of the binary XML that SQL Server keeps in xml columns: turns the stored
// bytes back into XML text (UTF-8). Damaged or unknown input gives nothing rather
// than partial text.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orodorev {

struct BinaryXmlLimits {
  // Elements and nested documents open at once.
  int maxDepth = 256;
  // Size of the text produced, in bytes.
  size_t maxOutputBytes = size_t{256} << 20;
};

// The XML text, or nothing when the bytes are not a complete, valid binary XML document
// or exceed the limits.
std::optional<std::string> decodeBinaryXml(std::span<const uint8_t> bytes);
std::optional<std::string> decodeBinaryXml(std::span<const uint8_t> bytes,
                                           const BinaryXmlLimits& limits);

// The decoded text of one stored value, or empty text when `count` <= 0 or the bytes
// do not decode.
std::string convertXmlValue(const uint8_t* bytes, int32_t count);

// One piece of a value stored in several blocks. A chunk without bytes stands for
// `length` zero bytes.
struct XmlChunk {
  int32_t length = 0;
  std::unique_ptr<uint8_t[]> bytes;
};

// Joins the chunks in order and decodes them. Every chunk's bytes are released, even
// on failure. Empty text when the lengths add up to 0, a length is negative, the sum
// does not fit in int32_t, or the joined bytes do not decode.
std::string convertXmlChunks(std::vector<XmlChunk>& chunks);

}  // namespace orodorev
