#include "rows/LargeObjectPage.h"

#include <cstdint>

#include "storage/DatabaseFile.h"
#include "storage/PageHeader.h"

namespace orodorev {
namespace {

constexpr int kFirstRecordOffset = kPageHeaderSize;
constexpr int kSlotEntrySize = 2;
constexpr int kRecordPrefixSize = 4;
constexpr uint8_t kNullBitmapBit = 0x10;
constexpr uint8_t kVarColumnsBit = 0x20;
constexpr uint8_t kVersionTagBit = 0x40;

}  // namespace

TextRecord::TextRecord(ByteView page, int32_t offset, int32_t window) {
  maxLength = window;
  if (window < kRecordPrefixSize || !page.holds(offset, window)) {
    error = true;
    return;
  }
  ByteView record(page.data() + offset, window);
  uint8_t statusA = record.u8(0);
  recordType = (statusA >> 1) & 7;
  hasNullBitmap = statusA & kNullBitmapBit;
  hasVarColumns = statusA & kVarColumnsBit;
  hasVersionTag = statusA & kVersionTagBit;
  statusBFlag = record.u8(1) == 1;
  endOffset = record.u16(2);
  cursor = endOffset;

  // A record ending past its window would take bytes of the slot array or beyond.
  int32_t size = endOffset - kRecordPrefixSize;
  if (size <= 0 || endOffset > window) return;
  payload = record.copy(kRecordPrefixSize, size);
  if (size >= kLobHeaderSize) {
    ByteView bytes(payload->data(), size);
    blobId = static_cast<uint64_t>(bytes.u32(0)) | (static_cast<uint64_t>(bytes.u32(4)) << 32);
    structureType = bytes.u16(8);
    dataLength = size - kLobHeaderSize;
  } else {
    dataLength = size;
  }
}

TextMixPage::TextMixPage(PageBuffer buffer, const DatabaseFile* file)
    : RecordPage(std::move(buffer), file) {
  ByteView page(data(), kPageSize);
  const int32_t recordAreaEnd = kPageSize - kSlotEntrySize * static_cast<int32_t>(slots_.size());
  records_.reserve(slots_.size());
  for (uint16_t offset : slots_) {
    bool inRecordArea = offset >= kFirstRecordOffset && offset < recordAreaEnd;
    records_.push_back(inRecordArea ? std::make_unique<TextRecord>(page, offset, recordAreaEnd - offset)
                                    : nullptr);
  }
}

const TextRecord* TextMixPage::record(size_t slot) const {
  if (slot >= records_.size()) return nullptr;
  return static_cast<const TextRecord*>(records_[slot].get());
}

bool isTextPage(const CPage_Header& header) {
  return header.pageType == kTextMixPageType || header.pageType == kTextTreePageType;
}

std::unique_ptr<TextMixPage> loadTextPage(const DatabaseFile& file, PageId id) {
  auto buffer = file.readPage(id);
  if (!buffer) return nullptr;
  auto page = std::make_unique<TextMixPage>(std::move(*buffer), &file);
  int64_t named = page->header().thisPage.pageNumber;
  if (named == id.pageNumber) return page;

  // A file whose pages moved by k positions holds page r at r - k, and the page now
  // at r names itself r + k. A page at 2r - q that does not name r would be a guess.
  int64_t displaced = 2 * static_cast<int64_t>(id.pageNumber) - named;
  if (displaced <= 0 || displaced > INT32_MAX) return nullptr;
  auto moved = file.readPage({id.fileId, static_cast<int32_t>(displaced)});
  if (!moved) return nullptr;
  page = std::make_unique<TextMixPage>(std::move(*moved), &file);
  if (page->header().thisPage.pageNumber != id.pageNumber) return nullptr;
  return page;
}

}  // namespace orodorev
