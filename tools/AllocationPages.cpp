#include "tools/AllocationPages.h"

#include <stdexcept>

#include "tools/RecordBuilder.h"

namespace orodorev::sample {
namespace {

constexpr size_t kMapHeaderBytes = 90;
constexpr size_t kMapBitmapBytes = kExtentsPerMap / 8;
constexpr size_t kPfsBytes = 8088;
constexpr size_t kIamIntervalOffset = 36;
constexpr size_t kIamSinglePagesOffset = 42;
constexpr size_t kIamSinglePageSlots = 8;
constexpr size_t kBootRecordBytes = 1500;
constexpr size_t kBootVersionOffset = 0;  // record offsets: page offset - 100
constexpr size_t kBootCreateVersionOffset = 2;
constexpr size_t kBootNameOffset = 48;
constexpr size_t kBootNameUnits = 128;
constexpr uint16_t kBootNamePadding = 0x2020;
constexpr size_t kBootCollationOffset = 388;
constexpr int16_t kPrimaryFilegroup = 1;
constexpr int32_t kUnlimitedSize = -1;
constexpr int32_t kGrowthPages = 128;
// Pages of the file's own structures carry this object id in their headers.
constexpr int32_t kFileStructureObject = 99;

Bytes mapHeaderRecord(const std::vector<PageAddress>& singlePages) {
  if (singlePages.size() > kIamSinglePageSlots) throw std::length_error("more single pages than an IAM page lists");
  ByteWriter header;
  header.zeros(kIamIntervalOffset).i32(0).i16(kPrimaryFileId);
  for (size_t k = 0; k < kIamSinglePageSlots; ++k) {
    PageAddress single = k < singlePages.size() ? singlePages[k] : PageAddress{};
    header.i32(single.page).i16(single.file);
  }
  return fixedOnlyRecord(header.data());
}

Bytes bitmapRecord(const std::vector<bool>& setExtents, bool beyond) {
  Bytes bitmap(kMapBitmapBytes, 0);
  for (size_t extent = 0; extent < 8 * kMapBitmapBytes; ++extent) {
    bool set = extent < setExtents.size() ? setExtents[extent] : beyond;
    if (set) bitmap[extent / 8] |= static_cast<uint8_t>(1 << (extent % 8));
  }
  return fixedOnlyRecord(bitmap);
}

}  // namespace

Bytes fileHeaderPage(const FileProperties& file) {
  DataRecordBuilder record(Bytes(4, 0), 8);
  record.addVar(VarValue{ByteWriter().i16(kPrimaryFileId).data(), false});
  record.addVar(VarValue{ByteWriter().i16(kPrimaryFilegroup).data(), false});
  record.addVar(VarValue{utf16le(file.logicalName), false});
  record.addVar(VarValue{utf16le(file.physicalName), false});
  record.addVar(VarValue{ByteWriter().i32(file.pageCount).data(), false});
  record.addVar(VarValue{ByteWriter().i32(kUnlimitedSize).data(), false});
  record.addVar(VarValue{ByteWriter().i32(kGrowthPages).data(), false});
  PageBuilder page(kFileHeaderPage, kFileHeaderPageNumber);
  page.owner(kFileStructureObject, 0);
  page.addRecord(record.build());
  return page.finish();
}

Bytes pfsPage(const std::vector<uint8_t>& pageStates) {
  if (pageStates.size() > kPfsBytes) throw std::length_error("more pages than one PFS page maps");
  Bytes states(kPfsBytes, kPageFree);
  std::copy(pageStates.begin(), pageStates.end(), states.begin());
  PageBuilder page(kPfsPage, kPfsPageNumber);
  page.owner(kFileStructureObject, 0);
  page.addRecord(fixedOnlyRecord(states));
  return page.finish();
}

Bytes allocationMapPage(uint8_t pageType, int32_t pageNumber, const std::vector<bool>& setExtents, bool beyond) {
  PageBuilder page(pageType, pageNumber);
  page.owner(kFileStructureObject, 0);
  page.addRecord(mapHeaderRecord({}));
  page.addRecord(bitmapRecord(setExtents, beyond));
  return page.finish();
}

Bytes iamPage(int32_t pageNumber, int32_t headerObjectId, uint16_t headerIndexId,
              const std::vector<PageAddress>& singlePages) {
  PageBuilder page(kIamPage, pageNumber);
  page.owner(headerObjectId, headerIndexId);
  page.addRecord(mapHeaderRecord(singlePages));
  page.addRecord(bitmapRecord({}, false));
  return page.finish();
}

Bytes bootPage(const BootFacts& facts) {
  Bytes body(kBootRecordBytes, 0);
  putU16(body, kBootVersionOffset, facts.version);
  putU16(body, kBootCreateVersionOffset, facts.version);
  Bytes name = ByteWriter().paddedUtf16(facts.databaseName, kBootNameUnits, kBootNamePadding).data();
  std::copy(name.begin(), name.end(), body.begin() + kBootNameOffset);
  putU32(body, kBootCollationOffset, static_cast<uint32_t>(facts.collationId));
  PageBuilder page(kBootPage, kBootPageNumber);
  page.owner(kFileStructureObject, 0);
  page.addRecord(fixedOnlyRecord(body));
  return page.finish();
}

}  // namespace orodorev::sample
