#pragma once
// A bounded window on bytes read from disk. Reads past the end give zeros and copies
// past the end give nothing, so a damaged offset can never reach outside the buffer.

#include <cstdint>
#include <optional>
#include <vector>

#include "storage/ByteOrder.h"

namespace orodorev {

class ByteView {
 public:
  ByteView() = default;
  ByteView(const uint8_t* data, int64_t size) : data_(data), size_(data ? size : 0) {}

  int64_t size() const { return size_; }
  const uint8_t* data() const { return data_; }
  bool holds(int64_t offset, int64_t length) const {
    return offset >= 0 && length >= 0 && offset <= size_ && length <= size_ - offset;
  }

  uint8_t u8(int64_t offset) const { return holds(offset, 1) ? data_[offset] : 0; }
  uint16_t u16(int64_t offset) const { return holds(offset, 2) ? readU16(data_ + offset) : 0; }
  int16_t i16(int64_t offset) const { return static_cast<int16_t>(u16(offset)); }
  uint32_t u32(int64_t offset) const { return holds(offset, 4) ? readU32(data_ + offset) : 0; }
  int32_t i32(int64_t offset) const { return static_cast<int32_t>(u32(offset)); }

  std::optional<std::vector<uint8_t>> copy(int64_t offset, int64_t length) const {
    if (!holds(offset, length)) return std::nullopt;
    return std::vector<uint8_t>(data_ + offset, data_ + offset + length);
  }

 private:
  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
};

}  // namespace orodorev
