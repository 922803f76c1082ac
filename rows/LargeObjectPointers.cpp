#include "rows/LargeObjectPointers.h"

#include <algorithm>

namespace orodorev {

bool isTextPointer(ByteView value) { return value.size() == kTextPointerLength && value.u8(0) == 0; }

std::optional<TextPointer> parseTextPointer(const DatabaseFile& file, ByteView value,
                                            LobFlags flags) {
  if (!isTextPointer(value)) return std::nullopt;
  TextPointer pointer;
  pointer.file = &file;
  std::copy_n(value.data(), kTextPointerLength, pointer.bytes.begin());
  pointer.storedTimestamp = value.u32(0);
  pointer.timestamp = static_cast<uint64_t>(value.u32(0)) | (static_cast<uint64_t>(value.u32(4)) << 32);
  pointer.page = {value.i16(12), value.i32(8)};
  pointer.slot = value.u16(14);
  pointer.flags = flags;
  return pointer;
}

std::optional<RootPointer> parseRootPointer(ByteView value) {
  if (value.size() < kRootPointerHeaderSize) return std::nullopt;
  RootPointer pointer;
  pointer.type = value.u8(0);
  pointer.indexLevel = value.u8(1);
  pointer.updateSequence = value.u32(4);
  pointer.timestamp = value.u32(8);
  int64_t linkCount = (value.size() - kRootPointerHeaderSize) / kRootPointerLinkSize;
  for (int64_t k = 0; k < linkCount; ++k) {
    int64_t at = kRootPointerHeaderSize + k * kRootPointerLinkSize;
    pointer.links.push_back({value.u32(at), {value.i16(at + 8), value.i32(at + 4)}, value.u16(at + 10)});
  }
  return pointer;
}

}  // namespace orodorev
