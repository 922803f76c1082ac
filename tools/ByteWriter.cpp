#include "tools/ByteWriter.h"

#include <stdexcept>

namespace orodorev::sample {
namespace {

constexpr char32_t kLastBmpCharacter = 0xFFFF;
constexpr char32_t kSupplementaryBase = 0x10000;

// The code points of a UTF-8 text.
std::u32string codePoints(std::string_view utf8) {
  std::u32string points;
  for (size_t i = 0; i < utf8.size();) {
    auto lead = static_cast<uint8_t>(utf8[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size())
      throw std::invalid_argument("text is not UTF-8");
    char32_t point = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<uint8_t>(utf8[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) throw std::invalid_argument("text is not UTF-8");
      point = (point << 6) | (next & 0x3F);
    }
    points.push_back(point);
    i += static_cast<size_t>(extra) + 1;
  }
  return points;
}

// Code page 1252 differs from Latin-1 only in 0x80-0x9F; the few letters used there.
int windows1252Byte(char32_t point) {
  if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) return static_cast<int>(point);
  switch (point) {
    case U'\u20AC': return 0x80;
    case U'\u0160': return 0x8A;
    case U'\u0152': return 0x8C;
    case U'\u017D': return 0x8E;
    case U'\u0161': return 0x9A;
    case U'\u0153': return 0x9C;
    case U'\u017E': return 0x9E;
    case U'\u0178': return 0x9F;
    default: return -1;
  }
}

}  // namespace

ByteWriter& ByteWriter::u8(uint8_t value) {
  bytes_.push_back(value);
  return *this;
}

ByteWriter& ByteWriter::u16(uint16_t value) {
  for (int k = 0; k < 2; ++k) bytes_.push_back(static_cast<uint8_t>(value >> (8 * k)));
  return *this;
}

ByteWriter& ByteWriter::u32(uint32_t value) {
  for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<uint8_t>(value >> (8 * k)));
  return *this;
}

ByteWriter& ByteWriter::u64(uint64_t value) {
  for (int k = 0; k < 8; ++k) bytes_.push_back(static_cast<uint8_t>(value >> (8 * k)));
  return *this;
}

ByteWriter& ByteWriter::bytes(const Bytes& more) {
  bytes_.insert(bytes_.end(), more.begin(), more.end());
  return *this;
}

ByteWriter& ByteWriter::zeros(size_t count) {
  bytes_.insert(bytes_.end(), count, 0);
  return *this;
}

ByteWriter& ByteWriter::typeCode(std::string_view code) {
  if (code.size() != 2) throw std::invalid_argument("type codes have two characters");
  return u8(static_cast<uint8_t>(code[0])).u8(static_cast<uint8_t>(code[1]));
}

ByteWriter& ByteWriter::paddedUtf16(std::string_view utf8, size_t units, uint16_t padding) {
  Bytes text = utf16le(utf8);
  if (text.size() > 2 * units) throw std::invalid_argument("text longer than its field");
  bytes(text);
  for (size_t k = text.size() / 2; k < units; ++k) u16(padding);
  return *this;
}

Bytes utf16le(std::string_view utf8) {
  ByteWriter out;
  for (char32_t point : codePoints(utf8)) {
    if (point <= kLastBmpCharacter) {
      out.u16(static_cast<uint16_t>(point));
    } else {
      char32_t offset = point - kSupplementaryBase;
      out.u16(static_cast<uint16_t>(0xD800 + (offset >> 10)));
      out.u16(static_cast<uint16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  return out.data();
}

Bytes windows1252(std::string_view utf8) {
  Bytes out;
  for (char32_t point : codePoints(utf8)) {
    int byte = windows1252Byte(point);
    if (byte < 0) throw std::invalid_argument("character outside code page 1252");
    out.push_back(static_cast<uint8_t>(byte));
  }
  return out;
}

void putU16(Bytes& target, size_t at, uint16_t value) {
  target.at(at) = static_cast<uint8_t>(value);
  target.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void putU32(Bytes& target, size_t at, uint32_t value) {
  for (size_t k = 0; k < 4; ++k) target.at(at + k) = static_cast<uint8_t>(value >> (8 * k));
}

}  // namespace orodorev::sample
