#pragma once
// The references a record keeps to a value stored on text pages.
//
// Text pointer (16 bytes): 0 u64 timestamp | 8 u32 page | 12 u16 file | 14 u16 slot.
//   The timestamp equals the blob id of the root record it points at.
// Root pointer (row-overflow pointer, type 2; in-row root, type 4):
//   0 u8 type | 1 u8 index level | 2 u16 unused | 4 u32 update sequence | 8 u32 timestamp |
//   12.. links of 12 bytes: u32 offset | u32 page | u16 file | u16 slot

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "rows/LargeObjectStructures.h"
#include "rows/LargeObjectText.h"
#include "storage/ByteView.h"
#include "storage/PageId.h"

namespace orodorev {

class DatabaseFile;

constexpr int kTextPointerLength = 16;
constexpr int kRootPointerHeaderSize = 12;
constexpr int kRootPointerLinkSize = 12;
constexpr uint8_t kRowOverflowPointerType = 2;
constexpr uint8_t kInRowRootType = 4;

struct TextPointer {
  const DatabaseFile* file = nullptr;
  std::array<uint8_t, kTextPointerLength> bytes{};
  uint32_t storedTimestamp = 0;  // bytes 0-3
  uint64_t timestamp = 0;
  PageId page;
  uint16_t slot = 0;
  LobFlags flags;
};

// A complex value of 16 bytes whose first byte is 0.
bool isTextPointer(ByteView value);
std::optional<TextPointer> parseTextPointer(const DatabaseFile& file, ByteView value,
                                            LobFlags flags);

struct RootPointer {
  uint8_t type = 0;
  uint8_t indexLevel = 0;
  uint32_t updateSequence = 0;
  uint32_t timestamp = 0;
  std::vector<LobLink> links;
};

// Nothing when the value is shorter than the header; only whole links are taken.
std::optional<RootPointer> parseRootPointer(ByteView value);

}  // namespace orodorev
