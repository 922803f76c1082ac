#pragma once
// One 8 KB page: the 96-byte header, records from offset 96 on, and the slot array
// growing backwards from the end (slot j is the u16 at 8190 - 2j).
//
// Header:  0 u8 header version 1 | 1 u8 page type | 2 u8 type flags | 3 u8 level |
//          4 u16 flags | 6 u16 index id | 8 previous page (u32 page, u16 file) |
//          14 u16 fixed length of the records | 16 next page | 22 u16 slot count |
//          24 i32 object id | 28 u16 free bytes | 30 u16 free data offset |
//          32 this page (u32, u16) | 38 u16 reserved | 40 LSN (u32, u32, u16) |
//          50 u16 transaction reserve | 52 transaction id (u32, u16) |
//          58 u16 ghost records | 60 u32 torn bits or checksum | 64 32 bytes zero
// The sample's pages carry no checksum (flags 0), as under PAGE_VERIFY NONE.

#include <cstdint>
#include <vector>

#include "tools/ByteWriter.h"

namespace orodorev::sample {

constexpr size_t kPageBytes = 8192;
constexpr size_t kPageHeaderBytes = 96;
constexpr int16_t kPrimaryFileId = 1;

enum SamplePageType : uint8_t {
  kDataPage = 1,
  kTextMixPage = 3,
  kGamPage = 8,
  kSgamPage = 9,
  kIamPage = 10,
  kPfsPage = 11,
  kBootPage = 13,
  kFileHeaderPage = 15,
  kDiffMapPage = 16,
  kMinimalLogMapPage = 17,
};

struct PageAddress {
  int32_t page = 0;
  int16_t file = 0;
};

class PageBuilder {
 public:
  PageBuilder(uint8_t pageType, int32_t pageNumber);

  PageBuilder& owner(int32_t headerObjectId, uint16_t headerIndexId);
  PageBuilder& links(PageAddress previous, PageAddress next);

  // Returns the slot of the record; records keep the order they are added in.
  uint16_t addRecord(const Bytes& record);
  // Bytes a further record (and its slot) may still take.
  size_t freeBytes() const;

  Bytes finish() const;

 private:
  uint8_t pageType_;
  int32_t pageNumber_;
  int32_t objectId_ = 0;
  uint16_t indexId_ = 0;
  PageAddress previous_;
  PageAddress next_;
  uint16_t fixedLength_ = 0;
  Bytes records_;
  std::vector<uint16_t> slots_;
};

}  // namespace orodorev::sample
