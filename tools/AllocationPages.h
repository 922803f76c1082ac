#pragma once
// The pages that describe the file itself rather than a table.
//
// File header (page 0): one record, its 4-byte fixed part zero, the file's properties
//   as variable-length columns.
// PFS (page 1): one fixed-only record, a byte per page: 0x40 allocated | 0x20 in a
//   mixed extent | 0x10 IAM page | bits 0-2 how full (4: full, 1: up to half).
// GAM (2), SGAM (3), DIFF map (6), minimal-log map (7) and IAM pages: slot 0 a 90-byte
//   header, slot 1 a 7988-byte bitmap, a bit per extent of 63904 extents. GAM: 1 =
//   extent free. SGAM: 1 = mixed extent with a free page. IAM header: 36 first page of
//   the mapped interval | 42 eight single pages of mixed extents (u32 page, u16 file).
// Boot page (9): one fixed-only record; page offsets 100 u16 version | 102 u16 version
//   that created the file | 148 name, nchar(128) filled with 0x20 bytes |
//   488 i32 collation id.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ByteWriter.h"
#include "tools/PageBuilder.h"

namespace orodorev::sample {

constexpr int32_t kPagesPerExtent = 8;

// Where the file's own structures lie; pages 4, 5 and 8 stay unused.
constexpr int32_t kFileHeaderPageNumber = 0;
constexpr int32_t kPfsPageNumber = 1;
constexpr int32_t kGamPageNumber = 2;
constexpr int32_t kSgamPageNumber = 3;
constexpr int32_t kDiffMapPageNumber = 6;
constexpr int32_t kMinimalLogMapPageNumber = 7;
constexpr int32_t kBootPageNumber = 9;
constexpr int32_t kExtentsPerMap = 63904;

struct FileProperties {
  std::string logicalName;
  std::string physicalName;
  int32_t pageCount = 0;
};
Bytes fileHeaderPage(const FileProperties& file);

enum PageState : uint8_t {
  kPageFree = 0x00,
  kPageFull = 0x04,
  kPageUpToHalfFull = 0x01,
  kPageIsIam = 0x10,
  kPageInMixedExtent = 0x20,
  kPageAllocated = 0x40,
};
Bytes pfsPage(const std::vector<uint8_t>& pageStates);

// `setExtents[e]` is whether bit e is 1; extents past the vector's end get `beyond`.
Bytes allocationMapPage(uint8_t pageType, int32_t pageNumber, const std::vector<bool>& setExtents, bool beyond);

Bytes iamPage(int32_t pageNumber, int32_t headerObjectId, uint16_t headerIndexId,
              const std::vector<PageAddress>& singlePages);

struct BootFacts {
  std::string databaseName;
  uint16_t version = 0;
  int32_t collationId = 0;
};
Bytes bootPage(const BootFacts& facts);

}  // namespace orodorev::sample
