#include "catalog/SystemTableReader.h"

#include <algorithm>

#include "app/Text.h"
#include "storage/ByteView.h"

namespace orodorev {
namespace {

constexpr int kFileRowMinimum = 520;
constexpr int kFileRowWithPhysicalName = 782;
constexpr int kLogicalNameOffset = 6;
constexpr int kLogicalNameUnits = 128;
constexpr int kPhysicalNameOffset = 262;
constexpr int kPhysicalNameUnits = 260;
constexpr int32_t kBlobFragmentType = 4;
constexpr int16_t kFirstNewStyleIndexId = 256;

std::string fixedText(const std::vector<uint8_t>& fixed, int offset, int units) {
  return trimRight(utf16leToUtf8(fixed.data() + offset, static_cast<size_t>(units), true));
}

}  // namespace

void forEachSystemRecord(const DatabaseFile& file, int32_t objectId, SkippedRecords skipped,
                         bool dataPagesOnly,
                         const std::function<void(const CPrimaryRecord&, const CDataPage&)>& visit) {
  if (file.systemPageMap.empty()) return;
  auto pages = file.systemPageMap.find(objectId);
  if (pages == file.systemPageMap.end()) return;
  for (const MappedPage& entry : pages->second) {
    if (dataPagesOnly && entry.pageType != kDataPageType) continue;
    // Units numbered since SQL Server 2005 give their pages small object ids with index
    // id 256 and above: those pages belong to user tables, not to the system table
    // whose id they share.
    if (entry.indexId >= kFirstNewStyleIndexId) continue;
    auto page = file.loadDataPage({entry.fileId, entry.pageNumber});
    if (!page) continue;
    size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(page->header().slotCount, 0)),
                                    page->records().size());
    for (size_t i = 0; i < count; ++i) {
      const CPrimaryRecord* record = page->record(i);
      if (!record || record->recordType == kBlobFragmentType) continue;
      if (skipped == SkippedRecords::TypesThreeAndFour && record->recordType == kIndexRecordType) continue;
      visit(*record, *page);
    }
  }
}

FileRow decodeFileRow(const CPrimaryRecord& record) {
  FileRow row;
  if (!record.fixedData || record.fixedData->size() < kFileRowMinimum) return row;
  const std::vector<uint8_t>& fixed = *record.fixedData;
  ByteView view(fixed.data(), static_cast<int64_t>(fixed.size()));
  row.status = view.i32(0);
  row.fileId = view.i16(4);
  row.logicalName = fixedText(fixed, kLogicalNameOffset, kLogicalNameUnits);
  if (fixed.size() >= kFileRowWithPhysicalName)
    row.storedPhysicalName = row.physicalName = fixedText(fixed, kPhysicalNameOffset, kPhysicalNameUnits);
  return row;
}

std::vector<FileRow> readFileRows(const DatabaseFile& file) {
  std::vector<FileRow> rows;
  forEachSystemRecord(file, kSysFiles1Object, SkippedRecords::TypeFourOnly, false,
                      [&](const CPrimaryRecord& record, const CDataPage&) {
                        rows.push_back(decodeFileRow(record));
                      });
  return rows;
}

}  // namespace orodorev
