#pragma once
// Little-endian appends for building on-disk structures, and the two text encodings
// the sample needs: UTF-16LE for Unicode columns, code page 1252 for 8-bit ones.

#include <cstdint>
#include <string_view>
#include <vector>

namespace orodorev::sample {

using Bytes = std::vector<uint8_t>;

class ByteWriter {
 public:
  ByteWriter& u8(uint8_t value);
  ByteWriter& u16(uint16_t value);
  ByteWriter& u32(uint32_t value);
  ByteWriter& u64(uint64_t value);
  ByteWriter& i16(int16_t value) { return u16(static_cast<uint16_t>(value)); }
  ByteWriter& i32(int32_t value) { return u32(static_cast<uint32_t>(value)); }
  ByteWriter& i64(int64_t value) { return u64(static_cast<uint64_t>(value)); }
  ByteWriter& bytes(const Bytes& more);
  ByteWriter& zeros(size_t count);
  // Two ASCII characters as stored in char(2) type codes such as "U " or "PK".
  ByteWriter& typeCode(std::string_view code);
  // UTF-16LE text filled up to `units` code units with the unit given.
  ByteWriter& paddedUtf16(std::string_view utf8, size_t units, uint16_t padding);

  const Bytes& data() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

 private:
  Bytes bytes_;
};

// Throws std::invalid_argument on text that is not UTF-8.
Bytes utf16le(std::string_view utf8);
// Throws std::invalid_argument on a character code page 1252 lacks.
Bytes windows1252(std::string_view utf8);

void putU16(Bytes& target, size_t at, uint16_t value);
void putU32(Bytes& target, size_t at, uint32_t value);

}  // namespace orodorev::sample
