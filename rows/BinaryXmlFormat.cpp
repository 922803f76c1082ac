#include "rows/BinaryXmlFormat.h"

#include <cstdint>
#include <limits>

#include "rows/BinaryXmlText.h"
#include "storage/ByteOrder.h"

namespace orodorev::binxml {

std::optional<uint8_t> Cursor::peekByte() const {
  if (pos_ >= bytes_.size()) return std::nullopt;
  return bytes_[pos_];
}

std::optional<uint8_t> Cursor::readByte() {
  auto byte = peekByte();
  if (byte) ++pos_;
  return byte;
}

std::optional<std::span<const uint8_t>> Cursor::readBytes(uint64_t count) {
  if (count > remaining()) return std::nullopt;
  auto part = bytes_.subspan(pos_, static_cast<size_t>(count));
  pos_ += part.size();
  return part;
}

std::optional<uint16_t> Cursor::readU16() {
  auto part = readBytes(2);
  if (!part) return std::nullopt;
  return orodorev::readU16(part->data());
}

std::optional<uint32_t> Cursor::readU32() {
  auto part = readBytes(4);
  if (!part) return std::nullopt;
  return orodorev::readU32(part->data());
}

std::optional<uint64_t> Cursor::readU64() {
  auto part = readBytes(8);
  if (!part) return std::nullopt;
  return orodorev::readU64(part->data());
}

std::optional<uint64_t> Cursor::readMultiByte(int maxBytes, uint64_t maxValue) {
  uint64_t value = 0;
  for (int index = 0; index < maxBytes; ++index) {
    auto byte = readByte();
    if (!byte) return std::nullopt;
    const int shift = 7 * index;
    const uint64_t group = *byte & 0x7F;
    // Bits that a 64-bit value cannot hold make the number too large.
    if (shift + 7 > 64 && (group >> (64 - shift)) != 0) return std::nullopt;
    value |= group << shift;
    if ((*byte & 0x80) == 0) {
      if (value > maxValue) return std::nullopt;
      return value;
    }
  }
  return std::nullopt;
}

std::optional<uint32_t> Cursor::readMb32() {
  auto value = readMultiByte(5, std::numeric_limits<int32_t>::max());
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

std::optional<uint64_t> Cursor::readMb64() {
  return readMultiByte(10, std::numeric_limits<int64_t>::max());
}

std::optional<std::string> Cursor::readUtf16(uint64_t units) {
  if (units > remaining() / 2) return std::nullopt;
  auto part = readBytes(units * 2);
  if (!part) return std::nullopt;
  return utf16ToUtf8(*part);
}

std::optional<std::string> Cursor::readText32() {
  auto units = readMb32();
  if (!units) return std::nullopt;
  return readUtf16(*units);
}

std::optional<std::string> Cursor::readText64() {
  auto units = readMb64();
  if (!units) return std::nullopt;
  return readUtf16(*units);
}

}  // namespace orodorev::binxml
