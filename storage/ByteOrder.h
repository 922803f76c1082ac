#pragma once
// Little-endian reads from raw page bytes. Callers check bounds before reading.

#include <cstdint>
#include <cstring>

namespace orodorev {

inline uint16_t readU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline int16_t readI16(const uint8_t* p) { return static_cast<int16_t>(readU16(p)); }
inline uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t readI32(const uint8_t* p) { return static_cast<int32_t>(readU32(p)); }
inline uint64_t readU64(const uint8_t* p) {
  return static_cast<uint64_t>(readU32(p)) | (static_cast<uint64_t>(readU32(p + 4)) << 32);
}
inline int64_t readI64(const uint8_t* p) { return static_cast<int64_t>(readU64(p)); }

inline void writeU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void writeU32(uint8_t* p, uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace orodorev
