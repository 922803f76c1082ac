#pragma once
// The 96-byte header at the start of every page.
//
//  0 headerVersion u8     1 pageType u8        2 typeFlagBits u8   3 level u8
//  4 flagBits u16         6 indexId u16        8 prevPage (u32 page, u16 file)
// 14 fixedLengthMin u16  16 nextPage (u32, u16) 22 slotCount u16   24 objectId i32
// 28 freeCount u16       30 freeDataOffset u16 32 thisPage (u32, u16)
// 38 reservedCount u16   40 LSN (u32, u32, u16) 50 xactReserved u16
// 52 transaction id (u32 low, u16 high)        58 ghostRecordCount u16
// 60 tornBits u32        64 reserved, 32 bytes

#include <cstdint>
#include <string>

#include "storage/PageId.h"

namespace orodorev {

constexpr int kPageSize = 8192;
constexpr int kPageHeaderSize = 96;
constexpr int kSectorSize = 512;
constexpr uint16_t kTornBitsValid = 0x100;
constexpr uint8_t kCompressedPageFlag = 0x80;

enum PageType : int32_t {
  kDataPageType = 1,
  kIndexPageType = 2,
  kIamPageType = 10,
};

// Each 512-byte sector but the first had the two low bits of its last byte replaced
// when the page was written; tornBits keeps the originals, two bits per sector.
void restoreTornBits(uint8_t* page, uint32_t tornBits);

class CPage_Header {
 public:
  CPage_Header() = default;
  // Decodes the header block of a whole page and, when the torn bits are valid,
  // restores them inside the page itself before anything else reads it.
  explicit CPage_Header(uint8_t* page);

  int16_t freeCount = 0;
  int16_t freeDataOffset = 0;
  uint16_t flagBits = 0;
  std::string lsnText;
  int32_t objectId = 0;
  int32_t pageType = 0;
  int16_t fixedLengthMin = 0;
  int16_t indexId = 0;
  uint8_t typeFlagBits = 0;
  int16_t slotCount = 0;
  std::string xdesText;
  int16_t xactReserved = 0;
  int16_t reservedCount = 0;
  uint8_t level = 0;
  uint8_t headerVersion = 0;
  int16_t ghostRecordCount = 0;
  PageId nextPage;
  PageId prevPage;
  PageId thisPage;
  uint32_t tornBits = 0;
};

std::string lsnText(int32_t first, int32_t second, int16_t third);
std::string xdesText(int16_t high, int32_t low);

}  // namespace orodorev
