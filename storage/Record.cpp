#include "storage/Record.h"

#include "app/ApplicationState.h"
#include "storage/DatabaseFile.h"
#include "storage/RecordPage.h"

namespace orodorev {
namespace {

enum class ParseMode { Full, LengthOnly, Anchor };

constexpr int kMaxPageType = 17;
constexpr int kMaxForwardingDepth = 4;
constexpr int kSparseVectorType = 5;
constexpr int kSparseVectorOffsetOfIds = 4;

// Stubs are followed through a fresh page; a chain of stubs must end.
thread_local int forwardingDepth = 0;

struct ForwardingScope {
  ForwardingScope() { ++forwardingDepth; }
  ~ForwardingScope() { --forwardingDepth; }
};

bool isAcceptedType(int32_t type) {
  return type == kPrimaryRecordType || type == kForwardedRecordType ||
         type == kForwardingStubType || (type == kGhostDataRecordType && appState().showDeleted);
}

int bitmapBytes(int columns) { return (columns + 7) / 8; }

}  // namespace

class RecordParser {
 public:
  RecordParser(CPrimaryRecord& record, ByteView bytes, const CPage* page, ParseMode mode)
      : r_(record), bytes_(bytes), page_(page), mode_(mode) {}

  // Returns the record's total length for the length-only parse, else 0.
  int32_t run(int32_t maxLength) {
    r_.maxLength = maxLength;
    if (!commonStart()) return -1;
    if (mode_ == ParseMode::Anchor || (mode_ == ParseMode::Full && r_.isCompressed)) {
      parseCompressed();
      return 0;
    }
    if (mode_ == ParseMode::LengthOnly && r_.isCompressed) return -1;
    if (r_.recordType == kForwardingStubType) {
      if (mode_ == ParseMode::LengthOnly) {
        r_.error = true;
        return -1;
      }
      if (!followStub()) {
        r_.fixedLength = kStubUnreachable;
        return 0;
      }
    }
    parsePlain();
    if (mode_ != ParseMode::LengthOnly) return 0;
    bool measurable = r_.columnCount > 0 && r_.columnCount < kMaxColumns &&
                      r_.recordType != kIndexRecordType;
    return measurable ? r_.cursor : -1;
  }

 private:
  bool commonStart() {
    if (page_ && (page_->header().thisPage.pageNumber < 0 || page_->header().pageType > kMaxPageType)) {
      r_.error = true;
      return false;
    }
    decodeStatus(bytes_.u8(0));
    if (!isAcceptedType(r_.recordType)) {
      r_.error = true;
      return false;
    }
    return true;
  }

  void decodeStatus(uint8_t status) {
    r_.isCompressed = status & 0x01;
    r_.recordType = (status >> 1) & 0x07;
    r_.hasNullBitmap = status & 0x10;
    r_.hasVarColumns = status & 0x20;
    r_.ghost = r_.recordType >= 5 && !appState().showDeleted;
  }

  // Continues with a copy of the forwarded record in place of the stub's bytes.
  bool followStub() {
    if (!page_ || !page_->file() || forwardingDepth >= kMaxForwardingDepth) return false;
    PageId target{bytes_.i16(5), bytes_.i32(1)};
    int16_t slot = bytes_.i16(7);
    auto buffer = page_->file()->readPage(target);
    if (!buffer || slot < 0) return false;
    {
      ForwardingScope scope;
      PrimaryRecordPage forwardedPage(std::move(*buffer), page_->file(), slot);
      const CPrimaryRecord* forwarded = forwardedPage.record(0);
      if (!forwarded || !forwarded->recordCopy || forwarded->recordCopy->empty()) return false;
      forwardedBytes_ = *forwarded->recordCopy;
    }
    bytes_ = ByteView(forwardedBytes_.data(), static_cast<int64_t>(forwardedBytes_.size()));
    // The forwarded record may be longer than the room the stub had on its page.
    r_.maxLength = static_cast<int32_t>(forwardedBytes_.size());
    decodeStatus(bytes_.u8(0));
    r_.recordType = kForwardingStubType;
    return true;
  }

  void parsePlain() {
    r_.cursor = 4;
    int32_t fixedEnd = bytes_.u16(2);
    r_.fixedLength = static_cast<int16_t>(fixedEnd - 4);
    bool fixedTaken = false;
    if (r_.fixedLength > 0 && r_.fixedLength < kMaxRecordSize && r_.recordType != kIndexRecordType &&
        r_.fixedLength <= r_.maxLength && bytes_.holds(4, r_.fixedLength)) {
      if (mode_ == ParseMode::Full) r_.fixedData = bytes_.copy(4, r_.fixedLength);
      r_.cursor = fixedEnd;
      fixedTaken = true;
    }
    if (r_.recordType == kIndexRecordType) return;
    r_.columnCount = bytes_.i16(r_.cursor);
    if (r_.columnCount <= 0 || r_.columnCount >= kMaxColumns) return;
    r_.cursor += 2;
    if (r_.hasNullBitmap) readNullBitmap();
    if (r_.hasVarColumns) readVarColumns(fixedTaken || r_.hasNullBitmap);
    if (mode_ == ParseMode::Full && r_.cursor > 0 && r_.cursor <= r_.maxLength)
      r_.recordCopy = bytes_.copy(0, r_.cursor);
  }

  void readNullBitmap() {
    int length = bitmapBytes(r_.columnCount);
    r_.nullBitmap = bytes_.copy(r_.cursor, length);
    r_.cursor += length;
  }

  void readVarColumns(bool countIsStored) {
    r_.varColumns.clear();
    if (!countIsStored) {
      r_.varColumnCount = static_cast<uint16_t>(r_.columnCount);
    } else if (r_.cursor + 2 <= r_.maxLength) {
      r_.varColumnCount = bytes_.u16(r_.cursor);
      r_.cursor += 2;
    }
    if (r_.columnCount < r_.varColumnCount) {
      r_.varColumnCount = 0;
      r_.cursor = 0;
      return;
    }
    if (r_.varColumnCount == 0 || r_.varColumnCount >= kMaxColumns) return;
    for (int k = 0; k < r_.varColumnCount; ++k) {
      bool inside = r_.cursor + 2 <= r_.maxLength;
      r_.varEndOffsets.push_back(inside ? bytes_.u16(r_.cursor) : 0);
      r_.cursor += 2;
    }
    int32_t start = r_.cursor;
    for (uint16_t& endOffset : r_.varEndOffsets) {
      uint8_t complex = endOffset >> 15;
      endOffset &= 0x7FFF;
      start = appendVarColumn(start, endOffset, complex);
    }
    r_.cursor = start;
  }

  // Returns where the next value starts.
  int32_t appendVarColumn(int32_t start, int32_t end, uint8_t complex) {
    VarColumn column;
    column.complex = complex;
    bool usable = end >= start && end <= r_.maxLength && end < kPageSize && end != start &&
                  start > 0 && start <= kPageSize - 1 && bytes_.holds(start, end - start);
    if (!usable) {
      column.length = end >= start ? end - start : 0;
      r_.varColumns.push_back(std::move(column));
      return start;
    }
    column.length = end - start;
    column.data = bytes_.copy(start, column.length);
    if (complex && column.length != 16 && sparseType(*column.data) == kSparseVectorType)
      r_.sparseVector = parseSparseVector(*column.data);
    r_.varColumns.push_back(std::move(column));
    return end;
  }

  static int sparseType(const std::vector<uint8_t>& value) {
    ByteView view(value.data(), static_cast<int64_t>(value.size()));
    return view.u8(0) != 0 ? view.u8(0) : view.u16(0);
  }

  // 0 u16 type | 2 u16 n | 4 n u16 column ids | n u16 end offsets | values
  static SparseVector parseSparseVector(const std::vector<uint8_t>& value) {
    ByteView view(value.data(), static_cast<int64_t>(value.size()));
    SparseVector vector;
    int32_t length = static_cast<int32_t>(value.size());
    int32_t n = view.u16(2);
    vector.count = static_cast<uint16_t>(n);
    int32_t idsEnd = kSparseVectorOffsetOfIds + 2 * n;
    int32_t valuesStart = kSparseVectorOffsetOfIds + 4 * n;
    if (idsEnd >= kPageSize || valuesStart >= kPageSize || length <= 4 || idsEnd >= length)
      return vector;
    int32_t begin = valuesStart;
    for (int k = 0; k < n; ++k) {
      VarColumn column;
      column.columnId = view.u16(kSparseVectorOffsetOfIds + 2 * k);
      int32_t end = view.u16(idsEnd + 2 * k);
      if (begin < end && end - begin <= kMaxRecordSize && begin <= kMaxRecordSize - 1 && end <= length)
        column.data = view.copy(begin, end - begin);
      column.length = end - begin;
      vector.columns.push_back(std::move(column));
      begin = end;
    }
    return vector;
  }

  void parseCompressed() {
    r_.varColumnCount = 0;
    uint8_t countByte = bytes_.u8(1);
    int32_t arrayStart = (countByte & 0x80) ? 3 : 2;
    int32_t n = (countByte & 0x80) ? bytes_.u16(1) : countByte;
    if (n < 1 || n > kMaxColumns) {
      r_.error = true;
      return;
    }
    readDescriptorCodes(arrayStart, n);
    r_.columnCount = static_cast<int16_t>(n);
    int32_t skipped = (n - 1) / 30;
    r_.cursor = arrayStart + (n + 1) / 2 + skipped;

    int32_t shortBytes = 0;
    int longValues = 0;
    for (int32_t code : r_.descriptorCodes) {
      if (code >= 2 && code <= 9) shortBytes += code - 1;
      if (code == kCodeOneByte) shortBytes += 1;
      if (code == kCodeLong) ++longValues;
    }
    r_.varColumnCount = static_cast<uint16_t>(longValues);
    r_.fixedLength = static_cast<int16_t>(shortBytes);
    r_.shortDataSize = static_cast<uint16_t>(shortBytes + skipped);
    if (r_.recordType == kIndexRecordType) return;
    if (shortBytes > 0 && shortBytes < kMaxRecordSize && shortBytes <= r_.maxLength &&
        r_.cursor + shortBytes < kMaxRecordSize && r_.cursor + shortBytes <= r_.maxLength &&
        bytes_.holds(r_.cursor, shortBytes)) {
      r_.fixedData = bytes_.copy(r_.cursor, shortBytes);
      r_.cursor += shortBytes;
    }
    if (r_.hasNullBitmap) readNullBitmap();
    if (r_.hasVarColumns) readLongData();
  }

  void readDescriptorCodes(int32_t arrayStart, int32_t n) {
    for (int32_t k = 0; k < n; ++k) {
      int32_t position = arrayStart + k / 2;
      if (position >= r_.maxLength) break;
      uint8_t pair = bytes_.u8(position);
      r_.descriptorCodes.push_back(k % 2 == 0 ? (pair & 0x0F) : (pair >> 4));
    }
  }

  // header byte | [u16 m | m u16 ends (bit 15 = complex)] | skipped | values
  void readLongData() {
    r_.varColumns.clear();
    int32_t at = r_.cursor;
    r_.longDataStart = at;
    if (at < r_.maxLength) {
      at = readLongOffsets(at);
      r_.varColumnCount = static_cast<uint16_t>(r_.longOffsets.size());
      at += (r_.columnCount - 1) / 30;
      if (r_.varColumnCount > 0 && r_.varColumnCount < kMaxColumns) at = readLongValues(at);
    }
    r_.cursor = at;
  }

  int32_t readLongOffsets(int32_t at) {
    if (!(bytes_.u8(at) & 0x01) || at + 1 >= r_.maxLength - 2) return at + 1;
    int32_t m = bytes_.u16(at + 1);
    if (m <= 0 || m > r_.columnCount) return at + 1;
    for (int32_t k = 0; k < m; ++k) {
      int32_t position = at + 3 + 2 * k;
      if (position + 2 > r_.maxLength) break;
      uint16_t value = bytes_.u16(position);
      r_.longOffsets.push_back({value & 0x7FFF, static_cast<uint8_t>(value >> 15)});
    }
    return at + 3 + 2 * m;
  }

  int32_t readLongValues(int32_t at) {
    int32_t previousEnd = 0;
    for (const LongOffset& offset : r_.longOffsets) {
      int32_t length = offset.end - previousEnd;
      if (length <= 0) continue;
      if (length >= r_.maxLength || length > kPageSize - 1 || previousEnd > kPageSize - 1) {
        r_.varColumns.emplace_back();
        continue;
      }
      if (at + length < kPageSize && at + length <= r_.maxLength && bytes_.holds(at, length)) {
        VarColumn column;
        column.data = bytes_.copy(at, length);
        column.length = length;
        column.complex = offset.complex;
        r_.varColumns.push_back(std::move(column));
        at += length;
        previousEnd = offset.end;
      }
    }
    return at;
  }

  CPrimaryRecord& r_;
  ByteView bytes_;
  const CPage* page_;
  ParseMode mode_;
  std::vector<uint8_t> forwardedBytes_;
};

namespace {

ByteView recordBytes(const CPage& page, int32_t offset) {
  if (offset < 0 || offset >= kPageSize) return {};
  return ByteView(page.data() + offset, kPageSize - offset);
}

}  // namespace

CPrimaryRecord::CPrimaryRecord(const CPage& page, int32_t offset, int32_t maxLength) {
  RecordParser(*this, recordBytes(page, offset), &page, ParseMode::Full).run(maxLength);
}

CPrimaryRecord CPrimaryRecord::anchorRecord(const CPage& page, int32_t offset, int32_t maxLength) {
  CPrimaryRecord record;
  RecordParser(record, recordBytes(page, offset), &page, ParseMode::Anchor).run(maxLength);
  return record;
}

int32_t CPrimaryRecord::measureRecord(const CPage& page, int32_t offset) {
  CPrimaryRecord record;
  return RecordParser(record, recordBytes(page, offset), &page, ParseMode::LengthOnly)
      .run(kMaxRecordSize);
}

}  // namespace orodorev
