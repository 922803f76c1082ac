#include "rows/CompressedRecord.h"

#include <algorithm>
#include <cstring>

#include "rows/ValueRendering.h"

namespace orodorev {
namespace {

constexpr size_t kOutputSize = 8192;

bool isIntegerLike(int32_t kind) {
  return kind == kBigInt || kind == kDateTime || kind == kInt || kind == kSmallInt || kind == kMoney ||
         kind == kSmallMoney;
}

int32_t columnWidth(const ColumnDescriptor& column) {
  BitCursor bits;
  ValueSpan span = initValueSpan(column, column.kind, &bits);
  int32_t width = span.length;
  int32_t declared = declaredByteCount(column.typeText);
  if (declared > 0 && declared < width) width = declared;
  return std::max(width, 0);
}

std::vector<uint8_t> anchorBytes(const PrimaryRecordPage& page, size_t column) {
  if (column >= page.anchorValues.size()) return {};
  const AnchorValue& anchor = page.anchorValues[column];
  if (!anchor.data || anchor.length <= 0) return {};
  return *anchor.data;
}

class Expansion {
 public:
  Expansion(CPrimaryRecord& record, const PrimaryRecordPage& page) : record_(record), page_(page) {
    if (record.fixedData) shortData_ = *record.fixedData;
  }

  void run(const std::vector<ColumnDescriptor>& columns) {
    size_t count = std::min({static_cast<size_t>(std::max<int16_t>(record_.columnCount, 0)),
                             record_.descriptorCodes.size(), columns.size()});
    record_.columnStates.clear();
    for (size_t i = 0; i < count; ++i) column(i, columns[i]);
    record_.fixedData = std::move(output_);
    record_.fixedLength = static_cast<int16_t>(position_);
  }

 private:
  void column(size_t i, const ColumnDescriptor& descriptor) {
    int32_t code = record_.descriptorCodes[i];
    record_.columnStates.push_back({code == kCodeNull, 0});
    int32_t width = columnWidth(descriptor);
    std::vector<uint8_t> anchor = anchorBytes(page_, i);
    if (code == kCodeEmpty) {
      if (!anchor.empty()) {
        writeValue(descriptor.kind, anchor, width, false);
        if (!isIntegerLike(descriptor.kind)) record_.columnStates.back().length = static_cast<int32_t>(anchor.size());
      }
      position_ += width;
    } else if (code >= 2 && code <= 9) {
      storedValue(descriptor.kind, takeShort(static_cast<size_t>(code - 1)), anchor, width, false);
    } else if (code == kCodeOneByte) {
      std::vector<uint8_t> symbol = takeShort(1);
      size_t index = symbol.empty() ? SIZE_MAX : symbol[0];
      if (index < page_.dictionaryEntries.size() && page_.dictionaryEntries[index].data &&
          page_.dictionaryEntries[index].length >= 1 && page_.dictionaryEntries[index].length <= 7) {
        storedValue(descriptor.kind, *page_.dictionaryEntries[index].data, anchor, width, true);
      } else {
        position_ += width;  // the column keeps its place even when its symbol is lost
      }
    } else if (code == kCodeLong) {
      completeLongValue(descriptor.kind, anchor, width);
    }
  }

  std::vector<uint8_t> takeShort(size_t count) {
    size_t available = shortCursor_ < shortData_.size() ? shortData_.size() - shortCursor_ : 0;
    size_t taken = std::min(count, available);
    std::vector<uint8_t> bytes(shortData_.begin() + static_cast<std::ptrdiff_t>(shortCursor_),
                               shortData_.begin() + static_cast<std::ptrdiff_t>(shortCursor_ + taken));
    shortCursor_ += count;
    return bytes;
  }

  // A stored value whose first byte counts the bytes it shares with the anchor value.
  void storedValue(int32_t kind, std::vector<uint8_t> stored, const std::vector<uint8_t>& anchor, int32_t width,
                   bool symbol) {
    record_.columnStates.back().length = static_cast<int32_t>(stored.size());
    std::vector<uint8_t> value = stored;
    if (!anchor.empty() && !stored.empty()) {
      size_t prefix = symbol && isIntegerLike(kind) ? (stored[0] & 0x7F) : stored[0];
      if (prefix <= anchor.size()) {
        value.assign(anchor.begin(), anchor.begin() + static_cast<std::ptrdiff_t>(prefix));
        value.insert(value.end(), stored.begin() + 1, stored.end());
        if (!isIntegerLike(kind)) record_.columnStates.back().length = static_cast<int32_t>(value.size());
      }
    }
    writeValue(kind, value, width, true);
    position_ += width;
  }

  void writeValue(int32_t kind, const std::vector<uint8_t>& value, int32_t width, bool) {
    if (value.empty() || position_ + static_cast<size_t>(width) > kOutputSize) return;
    uint8_t* at = output_.data() + position_;
    if (isIntegerLike(kind)) {
      int length = static_cast<int>(std::min<size_t>(value.size(), 8));
      uint64_t number = static_cast<uint64_t>(decodeCompressedInteger(value.data(), length));
      for (int32_t k = 0; k < width && k < 8; ++k) at[k] = static_cast<uint8_t>(number >> (8 * k));
      for (int32_t k = 8; k < width; ++k) at[k] = (number >> 63) ? 0xFF : 0;
      return;
    }
    size_t count = std::min(value.size(), std::max<size_t>(static_cast<size_t>(width), 8));
    count = std::min(count, kOutputSize - position_);
    std::memcpy(at, value.data(), count);
  }

  void completeLongValue(int32_t kind, const std::vector<uint8_t>& anchor, int32_t width) {
    if (longIndex_ >= record_.varColumns.size()) return;
    VarColumn& value = record_.varColumns[longIndex_++];
    if (anchor.empty() || isIntegerLike(kind) || !value.data || value.data->empty()) return;
    size_t prefix = (*value.data)[0];
    size_t merged = prefix + value.data->size() - 1;
    if (prefix > anchor.size() || (width != 0 && merged >= static_cast<size_t>(width))) return;
    std::vector<uint8_t> completed(anchor.begin(), anchor.begin() + static_cast<std::ptrdiff_t>(prefix));
    completed.insert(completed.end(), value.data->begin() + 1, value.data->end());
    value.length = static_cast<int32_t>(completed.size());
    value.data = std::move(completed);
  }

  CPrimaryRecord& record_;
  const PrimaryRecordPage& page_;
  std::vector<uint8_t> shortData_;
  std::vector<uint8_t> output_ = std::vector<uint8_t>(kOutputSize, 0);
  size_t position_ = 0;
  size_t shortCursor_ = 0;
  size_t longIndex_ = 0;
};

}  // namespace

int64_t decodeCompressedInteger(const uint8_t* bytes, int length) {
  if (length <= 0 || length > 8) return 0;
  uint64_t stored = 0;
  for (int k = 0; k < length; ++k) stored = (stored << 8) | bytes[k];
  int bits = 8 * length;
  uint64_t value = stored ^ (uint64_t{1} << (bits - 1));
  if (bits < 64 && (value >> (bits - 1)) & 1) value |= ~uint64_t{0} << bits;
  return static_cast<int64_t>(value);
}

void TableRecordExpander::expand(CPrimaryRecord& record, const PrimaryRecordPage& page) const {
  if (record.recordType != kPrimaryRecordType && record.recordType != kIndexRecordType) return;
  Expansion(record, page).run(columns_);
}

}  // namespace orodorev
