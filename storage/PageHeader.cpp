#include "storage/PageHeader.h"

#include "storage/ByteOrder.h"

namespace orodorev {
namespace {

PageId readPageAddress(const uint8_t* p) { return PageId{readI16(p + 4), readI32(p)}; }

}  // namespace

void restoreTornBits(uint8_t* page, uint32_t tornBits) {
  for (int sector = 1; sector < kPageSize / kSectorSize; ++sector) {
    uint8_t saved = static_cast<uint8_t>((tornBits >> (2 * sector)) & 3);
    uint8_t& last = page[kSectorSize * (sector + 1) - 1];
    last = static_cast<uint8_t>((last & 0xFC) | saved);
  }
}

std::string lsnText(int32_t first, int32_t second, int16_t third) {
  return "( " + std::to_string(first) + " : " + std::to_string(second) + " : " +
         std::to_string(third) + " )";
}

std::string xdesText(int16_t high, int32_t low) {
  return "( " + std::to_string(high) + " : " + std::to_string(low) + " )";
}

CPage_Header::CPage_Header(uint8_t* page) {
  headerVersion = page[0];
  pageType = page[1];
  typeFlagBits = page[2];
  level = page[3];
  flagBits = readU16(page + 4);
  indexId = readI16(page + 6);
  prevPage = readPageAddress(page + 8);
  fixedLengthMin = readI16(page + 14);
  nextPage = readPageAddress(page + 16);
  slotCount = readI16(page + 22);
  objectId = readI32(page + 24);
  freeCount = readI16(page + 28);
  freeDataOffset = readI16(page + 30);
  thisPage = readPageAddress(page + 32);
  reservedCount = readI16(page + 38);
  lsnText = orodorev::lsnText(readI32(page + 40), readI32(page + 44), readI16(page + 48));
  xactReserved = readI16(page + 50);
  xdesText = orodorev::xdesText(readI16(page + 56), readI32(page + 52));
  ghostRecordCount = readI16(page + 58);
  tornBits = readU32(page + 60);
  if (flagBits & kTornBitsValid) restoreTornBits(page, tornBits);
}

}  // namespace orodorev
