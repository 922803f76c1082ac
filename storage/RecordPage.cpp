#include "storage/RecordPage.h"

#include <algorithm>
#include <atomic>

#include "app/ApplicationState.h"
#include "storage/ByteView.h"
#include "storage/RecordExpander.h"

namespace orodorev {
namespace {

constexpr int kMaxSlots = 4000;
constexpr int kSlotArrayEnd = 8190;
constexpr int kCompressionInfoOffset = 96;
constexpr int kAnchorWithDictionaryOffset = 103;
constexpr int kAnchorWithoutDictionaryOffset = 101;
constexpr int kDictionaryLimit = 4096;
constexpr int kFirstRecordOffset = 96;
constexpr int kLastOneSlotOffset = 8096;
constexpr int kLastMarkerPosition = 8188;
constexpr int kScanEnd = 8190;
// Record starts of the common shapes: status 0x30 (or 0x3C, ghost), fixed end 132.
constexpr uint32_t kRecordMarker = 0x00840030;
constexpr uint32_t kGhostRecordMarker = 0x0084003C;
constexpr uint8_t kAnchorFlag = 0x02;
constexpr uint8_t kDictionaryFlag = 0x04;

std::atomic<const RecordExpander*> currentExpander{nullptr};

bool bothDeletedOptions() { return appState().showDeleted && appState().showAdvancedDeleted; }

}  // namespace

void setRecordExpander(const RecordExpander* expander) { currentExpander = expander; }
const RecordExpander* recordExpander() { return currentExpander; }

RecordPage::RecordPage(PageBuffer buffer, const DatabaseFile* file)
    : CPage(std::move(buffer), file) {
  readSlotArray();
}

void RecordPage::readSlotArray() {
  int16_t count = header().slotCount;
  if (count <= 0 || count >= kMaxSlots) return;
  slots_.reserve(static_cast<size_t>(count));
  for (int j = 0; j < count; ++j) slots_.push_back(readU16(data() + kSlotArrayEnd - 2 * j));
}

std::unique_ptr<CRecord> RecordPage::takeRecord(size_t index) {
  if (index >= records_.size()) return nullptr;
  return std::move(records_[index]);
}

PrimaryRecordPage::PrimaryRecordPage(PageBuffer buffer, const DatabaseFile* file)
    : RecordPage(std::move(buffer), file) {
  if (header().typeFlagBits & kCompressedPageFlag) readCompressionInfo();
  if (bothDeletedOptions()) scanForDeletedRecords();
  buildRecords();
}

PrimaryRecordPage::PrimaryRecordPage(PageBuffer buffer, const DatabaseFile* file, int slotIndex)
    : RecordPage(std::move(buffer), file) {
  if (header().typeFlagBits & kCompressedPageFlag) readCompressionInfo();
  if (slotIndex < 0 || slotIndex >= header().slotCount) return;
  if (slots_.empty()) {
    records_.emplace_back();
    return;
  }
  int32_t offset = slots_[static_cast<size_t>(slotIndex)];
  bool inPage = offset > 0 && offset <= kLastOneSlotOffset;
  records_.push_back(inPage ? buildRecord(offset) : nullptr);
}

const CPrimaryRecord* PrimaryRecordPage::record(size_t index) const {
  if (index >= records_.size()) return nullptr;
  return static_cast<const CPrimaryRecord*>(records_[index].get());
}

void PrimaryRecordPage::readCompressionInfo() {
  ByteView page(data(), kPageSize);
  ciFlags = page.u8(kCompressionInfoOffset);
  ciModCount = page.u16(kCompressionInfoOffset + 1);
  ciDictionaryOffset = page.u16(kCompressionInfoOffset + 3);
  ciLength = page.u16(kCompressionInfoOffset + 5);
  if (ciLength == 0) return;
  hasAnchor = ciFlags & kAnchorFlag;
  hasDictionary = ciFlags & kDictionaryFlag;
  bool legacyCatalog = appState().isSql2000;
  if (hasAnchor && hasDictionary) {
    anchorRecord = std::make_unique<CPrimaryRecord>(
        CPrimaryRecord::anchorRecord(*this, kAnchorWithDictionaryOffset, ciLength));
    if (!anchorRecord->error && ciDictionaryOffset > 0 && ciDictionaryOffset < ciLength &&
        ciLength < kDictionaryLimit && kCompressionInfoOffset + ciDictionaryOffset < kDictionaryLimit)
      readDictionary(kCompressionInfoOffset + ciDictionaryOffset);
  } else if (hasAnchor && !legacyCatalog) {
    anchorRecord = std::make_unique<CPrimaryRecord>(
        CPrimaryRecord::anchorRecord(*this, kAnchorWithoutDictionaryOffset, ciLength));
  }
  if (anchorRecord && !anchorRecord->error && !legacyCatalog) buildAnchorValues();
}

// u16 n | n u16 end offsets (counted from the start of n) | entries back to back
void PrimaryRecordPage::readDictionary(int32_t start) {
  ByteView page(data(), kPageSize);
  int32_t count = page.u16(start);
  if (count == 0) return;
  std::vector<int32_t> ends;
  for (int32_t k = 0; k < count; ++k) {
    int32_t end = page.u16(start + 2 + 2 * k);
    if (end > kDictionaryLimit) break;
    ends.push_back(end);
  }
  int32_t position = start + 2 + 2 * count;
  int32_t runningEnd = 2 + 2 * count;
  for (int32_t end : ends) {
    int32_t length = end - runningEnd;
    if (length > 0 && length < ciLength && position < kDictionaryLimit && page.holds(position, length)) {
      dictionaryEntries.push_back({page.copy(position, length), length});
      position += length;
    }
    runningEnd += length;
  }
}

void PrimaryRecordPage::buildAnchorValues() {
  const RecordExpander* expander = recordExpander();
  if (!expander) return;
  const CPrimaryRecord& anchor = *anchorRecord;
  ByteView shortData;
  if (anchor.fixedData)
    shortData = ByteView(anchor.fixedData->data(), static_cast<int64_t>(anchor.fixedData->size()));
  size_t shortCursor = 0;
  size_t longCursor = 0;
  size_t limit = std::min({static_cast<size_t>(std::max<int16_t>(anchor.columnCount, 0)),
                           expander->columnCount(), anchor.descriptorCodes.size()});
  for (size_t c = 0; c < limit; ++c) {
    int32_t code = anchor.descriptorCodes[c];
    if (code == kCodeNull) {
      anchorValues.push_back({std::nullopt, AnchorValue::kNull});
    } else if (code == kCodeEmpty) {
      anchorValues.push_back({std::nullopt, AnchorValue::kEmpty});
    } else if (code >= 2 && code <= 9) {
      anchorValues.push_back({shortData.copy(static_cast<int64_t>(shortCursor), code - 1), code - 1});
      shortCursor += static_cast<size_t>(code - 1);
    } else if (code == kCodeLong) {
      if (longCursor < anchor.varColumns.size()) {
        const VarColumn& value = anchor.varColumns[longCursor];
        anchorValues.push_back({value.data, value.length});
      } else {
        anchorValues.push_back({std::nullopt, 0});
      }
      ++longCursor;
    }
  }
}

bool PrimaryRecordPage::headerAllowsRecords() const {
  const CPage_Header& h = header();
  return !slots_.empty() && h.slotCount <= kPageSize && h.ghostRecordCount >= 0 &&
         h.freeCount >= 0 && h.nextPage.fileId >= 0 && h.nextPage.pageNumber >= 0 &&
         h.thisPage.fileId >= 0 && h.thisPage.pageNumber >= 0 && h.prevPage.fileId >= 0 &&
         h.prevPage.pageNumber >= 0;
}

std::unique_ptr<CPrimaryRecord> PrimaryRecordPage::buildRecord(int32_t offset) const {
  auto record = std::make_unique<CPrimaryRecord>(*this, offset, kPageSize - offset);
  const RecordExpander* expander = recordExpander();
  if (expander && (data()[offset] & 0x01) && !record->error && !appState().isSql2000)
    expander->expand(*record, *this);
  return record;
}

void PrimaryRecordPage::buildRecords() {
  if (!headerAllowsRecords()) return;
  const CPage_Header& h = header();
  bool nonLeafIndex = h.pageType == kIndexPageType && h.level != 0;
  bool allGhosts = h.ghostRecordCount >= h.slotCount && !appState().showDeleted;
  records_.reserve(slots_.size());
  for (uint16_t offset : slots_) {
    bool usable = !nonLeafIndex && !allGhosts && offset >= kFirstRecordOffset && offset < kPageSize;
    records_.push_back(usable ? buildRecord(offset) : nullptr);
  }
}

// Finds record starts that the slot array no longer lists: records are walked one
// after another from the first record offset, and where a walk breaks, the next
// position holding a common record start is taken.
void PrimaryRecordPage::scanForDeletedRecords() {
  if (!headerAllowsRecords()) return;
  ByteView page(data(), kPageSize);
  auto holdsMarker = [&](int32_t position) {
    if (position > kLastMarkerPosition) return false;
    uint32_t value = page.u32(position);
    return value == kRecordMarker || value == kGhostRecordMarker;
  };
  std::vector<int32_t> offsets(slots_.begin(), slots_.end());
  const size_t listed = offsets.size();
  auto isListed = [&](int32_t position) {
    return std::find(offsets.begin(), offsets.begin() + static_cast<std::ptrdiff_t>(listed),
                     position) != offsets.begin() + static_cast<std::ptrdiff_t>(listed);
  };

  int32_t position = kFirstRecordOffset;
  int32_t lastMarker = 0;
  while (!stopRequested()) {
    int32_t length = CPrimaryRecord::measureRecord(*this, position);
    int32_t searchFrom = position;
    if (length > 0) {
      int32_t next = position + length;
      if (!isListed(position)) offsets.push_back(position);
      if (next >= kScanEnd) break;
      if (holdsMarker(next)) {
        position = next;
        continue;
      }
      searchFrom = next;
    }
    if (searchFrom == lastMarker) ++searchFrom;
    int32_t found = -1;
    for (int32_t at = searchFrom; at <= kLastMarkerPosition && !stopRequested(); ++at) {
      if (holdsMarker(at)) {
        found = at;
        break;
      }
    }
    if (found < 0) break;
    lastMarker = position = found;
  }

  if (listed <= offsets.size()) {
    mutableHeader().slotCount = static_cast<int16_t>(offsets.size());
    slots_.assign(offsets.begin(), offsets.end());
  }
}

}  // namespace orodorev
