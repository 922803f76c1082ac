#include "rows/RowReader.h"

#include <algorithm>

#include "app/ApplicationState.h"
#include "rows/CompressedRecord.h"
#include "rows/LargeValues.h"
#include "rows/ValueRendering.h"

namespace orodorev {
namespace {

constexpr const char* kNull = "NULL";
constexpr const char* kBinaryPlaceholder = "<BINARY DATA>";
constexpr const char* kBigBinaryPlaceholder = "<BIG BINARY DATA>";
constexpr int kTextPointerSize = 16;
constexpr int kRowOverflowRoot = 2;
constexpr int kInRowRoot = 4;
constexpr int32_t kBlobFragmentType = 4;

enum class ReaderKind { Rowset, Legacy, ModuleRowset, ModuleLegacy };

bool bitSet(const std::optional<std::vector<uint8_t>>& bitmap, int64_t bit) {
  if (!bitmap || bit < 0) return false;
  size_t byte = static_cast<size_t>(bit / 8);
  return byte < bitmap->size() && (((*bitmap)[byte] >> (bit % 8)) & 1);
}

bool isBinaryKind(int32_t kind) { return kind == kVarBinary || kind == kClrType; }

// The reading position and counters of one record.
struct RecordCursor {
  int32_t fixedPosition = 0;
  int32_t varCounter = 0;
  int32_t processed = 0;
  BitCursor bits;
};

class RecordReader {
 public:
  RecordReader(const CPrimaryRecord& record, const DatabaseFile* file, ReaderKind reader)
      : r_(record), file_(file), reader_(reader) {}

  // The value text of one column, or nothing when the column is to keep "NULL".
  std::string variableValue(const ColumnDescriptor& column, ValueSpan& span, int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(r_.varColumns.size())) return {};
    const VarColumn& value = r_.varColumns[static_cast<size_t>(index)];
    LobFlags flags = flagsFor(column.kind, span);
    if (value.complex) return largeValue(column, value, flags);
    if (!value.data) return {};
    const uint8_t* data = value.data->data();
    if (column.kind == kSqlVariant) return renderVariantValue(value.length, span, data, column);
    span.length = static_cast<int16_t>(std::min<int32_t>(value.length, INT16_MAX));
    span.available = value.length;
    return renderValue(span, data, column);
  }

  std::string fixedValue(const ColumnDescriptor& column, ValueSpan& span, int32_t leafOffset) {
    if (!r_.fixedData) {
      cursor_.fixedPosition += span.fixedSize;
      return {};
    }
    int32_t fixedLength = std::min<int32_t>(r_.fixedLength, static_cast<int32_t>(r_.fixedData->size()));
    // An expanded compressed record lays its values out column after column; the leaf
    // offsets describe the uncompressed record and do not apply to it.
    bool expanded = !r_.columnStates.empty();
    int32_t at = leafOffset - 4;
    if (expanded || at < 0 || at >= fixedLength) {
      at = cursor_.fixedPosition;
      if (at < 0 || at >= fixedLength) return {};
    }
    std::string text = renderAt(column, span, at, fixedLength);
    cursor_.fixedPosition += span.consumed;
    return text;
  }

  std::string renderAt(const ColumnDescriptor& column, ValueSpan& span, int32_t at, int32_t fixedLength) {
    span.available = fixedLength - at;
    return renderValue(span, r_.fixedData->data() + at, column);
  }

  RecordCursor& cursor() { return cursor_; }

 private:
  LobFlags flagsFor(int32_t kind, ValueSpan& span) {
    LobFlags flags;
    if (kind == kVarBinary || kind == kClrType) flags.binary = true;
    if (kind == kImage) {
      span.kind = kVarBinary;
      flags.binary = true;
    }
    flags.variant = kind == kSqlVariant;
    flags.unicode = kind == kNVarChar || kind == kNText;
    return flags;
  }

  bool isModuleReader() const { return reader_ == ReaderKind::ModuleRowset || reader_ == ReaderKind::ModuleLegacy; }
  bool placeholders() const { return !isModuleReader() && appState().listing; }

  std::string largeValue(const ColumnDescriptor& column, const VarColumn& value, LobFlags flags) {
    if (!value.data || !file_) return {};
    const std::vector<uint8_t>& bytes = *value.data;
    bool xml = column.kind == kXml;
    if (value.length == kTextPointerSize && bytes[0] == 0) {
      if (!isModuleReader()) appState().currentLargeValueCollation = column.collationId;
      if (xml) return textPointerXml(*file_, bytes);
      return placeholders() ? kBinaryPlaceholder : textPointerValue(*file_, bytes, flags);
    }
    int32_t type = bytes[0] != 0 ? bytes[0] : (bytes.size() >= 2 ? bytes[0] | (bytes[1] << 8) : 0);
    if (type == kRowOverflowRoot) return xml ? rootPointerXml(*file_, bytes) : rootPointerValue(*file_, bytes, flags);
    if (type == kInRowRoot) {
      bool legacyPlaceholder = reader_ == ReaderKind::Legacy && appState().listing;
      if (xml && !legacyPlaceholder) return rootPointerXml(*file_, bytes);
      return placeholders() ? kBigBinaryPlaceholder : rootPointerValue(*file_, bytes, flags);
    }
    return {};
  }

  const CPrimaryRecord& r_;
  const DatabaseFile* file_;
  ReaderKind reader_;
  RecordCursor cursor_;
};

// A sparse column's value from the record's sparse vector; NULL when it is not there.
std::string sparseValue(const CPrimaryRecord& record, const ColumnDescriptor& column, ValueSpan& span) {
  if (!record.sparseVector) return kNull;
  for (const VarColumn& entry : record.sparseVector->columns) {
    if (entry.columnId != column.columnId || !entry.data) continue;
    span.length = static_cast<int16_t>(std::min<int32_t>(entry.length, INT16_MAX));
    span.available = entry.length;
    return renderValue(span, entry.data->data(), column);
  }
  return kNull;
}

bool rowsetNull(const CPrimaryRecord& record, const ColumnDescriptor& column) {
  int32_t sparseCount = record.sparseVector ? static_cast<int32_t>(record.sparseVector->columns.size()) : 0;
  int32_t nullBit = column.nullBit;
  if (nullBit > 0 && nullBit <= record.columnCount) return bitSet(record.nullBitmap, nullBit - 1);
  int32_t position = column.ordinal - sparseCount - 1;
  // Without a known position the value is taken as present.
  if (position > 0 && position <= record.columnCount) return bitSet(record.nullBitmap, position);
  return false;
}

bool usableRecord(const CPrimaryRecord* record) {
  return record && record->recordType != kIndexRecordType && !record->error &&
         (appState().showDeleted || !record->ghost);
}

template <typename ReadRecord>
std::vector<Row> eachRecord(const PrimaryRecordPage& page, ReadRecord read) {
  std::vector<Row> rows;
  size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(page.header().slotCount, 0)),
                                  page.records().size());
  for (size_t i = 0; i < count; ++i) {
    const CPrimaryRecord* record = page.record(i);
    if (usableRecord(record)) read(*record, rows);
  }
  return rows;
}

void readRowsetRecord(const CPrimaryRecord& record, std::vector<ColumnDescriptor>& columns, const DatabaseFile* file,
                      bool moduleText, std::vector<Row>& rows) {
  RecordReader reader(record, file, moduleText ? ReaderKind::ModuleRowset : ReaderKind::Rowset);
  RecordCursor& cursor = reader.cursor();
  for (size_t j = 0; j < columns.size(); ++j) {
    ColumnDescriptor& column = columns[j];
    if (column.ordinal == kDroppedColumnOrdinal) continue;
    // A column's place in the record, not its place among the descriptors (columns
    // without storage have none), tells whether the record holds it: columns added
    // after the record was written have no value in it.
    if (!moduleText && column.hasLayout && !column.sparse && column.ordinal > record.columnCount) {
      column.valueText = kNull;
      continue;
    }
    ValueSpan span = initValueSpan(column, column.kind, &cursor.bits);
    // A negative leaf offset places the value among the variable-length columns,
    // whatever its kind says (image columns among them).
    if (column.hasLayout && column.leafOffset < 0) span.variable = true;
    int32_t varIndex = (span.variable && column.leafOffset < 0) ? -1 - column.leafOffset : cursor.varCounter;
    if (j < record.descriptorCodes.size()) {
      int32_t code = record.descriptorCodes[j];
      if (code <= 9) span.variable = false;
      if (code == kCodeLong || code == kCodeNoData) {
        span.variable = true;
        varIndex = cursor.varCounter;
      }
    }
    if (column.ordinal > record.columnCount) column.ordinal = column.columnId;
    if (!column.sparse && !moduleText && (!column.hasLayout || rowsetNull(record, column))) {
      column.valueText = kNull;
      ++cursor.processed;
      continue;
    }
    if (j < record.columnStates.size()) {
      const ColumnState& state = record.columnStates[j];
      if (state.length > 0) span.length = static_cast<int16_t>(std::min<int32_t>(state.length, INT16_MAX));
      if (state.isNull) {
        column.valueText = kNull;
        ++cursor.processed;
        continue;
      }
    }
    if (!moduleText) span.compressed = record.isCompressed;
    std::string text;
    if (column.sparse) {
      text = sparseValue(record, column, span);
    } else if (cursor.processed <= record.columnCount) {
      if (span.variable) {
        text = reader.variableValue(column, span, varIndex);
        ++cursor.varCounter;
      } else {
        text = reader.fixedValue(column, span, column.leafOffset);
      }
    }
    ++cursor.processed;
    applyBinaryPrefix(span.kind, text);
    column.valueText = text;
  }
  rows.push_back(columns);
}

bool legacyNull(const CPrimaryRecord& record, const ColumnDescriptor& column, int32_t processed) {
  if (!record.nullBitmap) return false;
  int32_t nullBit = column.nullBit;
  if (nullBit > 0 && nullBit <= record.columnCount) return bitSet(record.nullBitmap, nullBit - 1);
  return bitSet(record.nullBitmap, processed);
}

// SQL 2000 catalogs give fixed columns their offset in the record.
std::string legacyFixedValue(RecordReader& reader, const CPrimaryRecord& record, const ColumnDescriptor& column,
                             ValueSpan& span) {
  int32_t leafOffset = column.leafOffset < 0 ? 3 - column.leafOffset : column.leafOffset;
  if (!appState().isSql2000) return reader.fixedValue(column, span, leafOffset);
  if (!record.fixedData) return {};
  RecordCursor& cursor = reader.cursor();
  int32_t fixedLength = std::min<int32_t>(record.fixedLength, static_cast<int32_t>(record.fixedData->size()));
  int32_t s = column.secondOffset;
  int32_t p = cursor.fixedPosition;
  int32_t at = s - 4;
  if (column.leafOffset < 0 && s > 0 && s - 4 < fixedLength) {
    std::string text = reader.renderAt(column, span, at, fixedLength);
    cursor.fixedPosition += span.consumed < 1 ? span.fixedSize : span.consumed;
    return text;
  }
  if (s < 4 || s == p + 4 || s - 4 >= fixedLength) {
    if (p < 0 || p >= fixedLength) return {};
    at = p;
  }
  std::string text = reader.renderAt(column, span, at, fixedLength);
  cursor.fixedPosition += span.consumed;
  return text;
}

void readLegacyRecord(const CPrimaryRecord& record, std::vector<ColumnDescriptor>& columns, const DatabaseFile* file,
                      std::vector<Row>& rows) {
  RecordReader reader(record, file, ReaderKind::Legacy);
  RecordCursor& cursor = reader.cursor();
  bool sql2000 = appState().isSql2000;
  size_t n = std::min<size_t>(columns.size(), static_cast<size_t>(std::max<int16_t>(record.columnCount, 0)));
  for (size_t j = 0; j < columns.size(); ++j) {
    ColumnDescriptor& column = columns[j];
    if (column.ordinal == kDroppedColumnOrdinal) continue;
    if (j >= n) {
      column.valueText = kNull;
      continue;
    }
    ValueSpan span = initValueSpan(column, column.kind, &cursor.bits);
    int32_t varIndex = span.variable ? (column.leafOffset < 0 ? -1 - column.leafOffset : cursor.varCounter) : 0;
    if (column.ordinal > record.columnCount) column.ordinal = column.columnId;
    bool isNull = legacyNull(record, column, cursor.processed);
    if (sql2000 && (span.variable || column.kind == kTimestamp)) isNull = false;
    if (sql2000 && span.variable && record.hasVarColumns) {
      uint16_t second = static_cast<uint16_t>(column.secondOffset);
      int32_t w = (second & 0x8000) ? -1 - column.secondOffset : 0;
      if (w >= 0 && w < static_cast<int32_t>(record.varColumns.size())) varIndex = cursor.varCounter = w;
    }
    std::string text;
    if (column.sparse) {
      text = sparseValue(record, column, span);
    } else if (span.variable) {
      if (!isNull) text = reader.variableValue(column, span, varIndex);
      ++cursor.varCounter;
    } else if (!isNull) {
      text = legacyFixedValue(reader, record, column, span);
    }
    if (text.empty() && (column.nullable || (sql2000 && isNull))) text = kNull;
    ++cursor.processed;
    applyBinaryPrefix(span.kind, text);
    column.valueText = text;
  }
  if (!columns.empty() && !columns.front().valueText.empty()) rows.push_back(columns);
}

void readModuleLegacyRecord(const CPrimaryRecord& original, std::vector<ColumnDescriptor>& columns,
                            const DatabaseFile* file, std::vector<Row>& rows) {
  CPrimaryRecord record = original;
  if (appState().isSql2000) record.columnCount = 10;
  RecordReader reader(record, file, ReaderKind::ModuleLegacy);
  RecordCursor& cursor = reader.cursor();
  int32_t fixedLength = record.fixedData ? std::min<int32_t>(record.fixedLength, static_cast<int32_t>(record.fixedData->size())) : 0;
  for (ColumnDescriptor& column : columns) {
    int32_t k = cursor.processed;
    std::string text;
    if (record.columnCount >= k) {
      ValueSpan span = initValueSpan(column, column.kind, &cursor.bits);
      bool isNull = bitSet(record.nullBitmap, k);
      if (span.variable) {
        if (!record.nullBitmap || !isNull) {
          if (column.kind == kSqlVariant) {
            const auto& vars = record.varColumns;
            int32_t v = cursor.varCounter;
            if (v >= 0 && v < static_cast<int32_t>(vars.size()) && vars[static_cast<size_t>(v)].data &&
                vars[static_cast<size_t>(v)].length > 8) {
              const VarColumn& value = vars[static_cast<size_t>(v)];
              span.length = static_cast<int16_t>(std::min<int32_t>(value.length, INT16_MAX));
              span.available = value.length - 8;
              text = renderValue(span, value.data->data() + 8, column);
            }
          } else {
            text = reader.variableValue(column, span, cursor.varCounter);
          }
        }
        ++cursor.varCounter;
      } else if (isNull) {
        cursor.fixedPosition += 1;
      } else if (fixedLength > 0 && cursor.fixedPosition >= 0 && cursor.fixedPosition < fixedLength) {
        text = reader.renderAt(column, span, cursor.fixedPosition, fixedLength);
        cursor.fixedPosition += span.consumed;
      }
      if (!text.empty()) applyBinaryPrefix(span.kind, text);
    }
    ++cursor.processed;
    column.valueText = text;
  }
  rows.push_back(columns);
}

}  // namespace

void applyBinaryPrefix(int32_t kind, std::string& text) {
  if (!isBinaryKind(kind)) return;
  if (text == " " || text.find('\\') != std::string::npos || text.rfind("0x", 0) == 0) return;
  text.insert(0, "0x");
}

bool usesRowsetReader(const Catalog& catalog) { return !appState().isSql2000 && !catalog.rowsetColumns.empty(); }

std::vector<Row> readRowsetRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns) {
  return eachRecord(page, [&](const CPrimaryRecord& record, std::vector<Row>& rows) {
    readRowsetRecord(record, columns, page.file(), false, rows);
  });
}

std::vector<Row> readLegacyRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns) {
  return eachRecord(page, [&](const CPrimaryRecord& record, std::vector<Row>& rows) {
    readLegacyRecord(record, columns, page.file(), rows);
  });
}

std::vector<Row> readModuleRowsetRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns) {
  return eachRecord(page, [&](const CPrimaryRecord& record, std::vector<Row>& rows) {
    readRowsetRecord(record, columns, page.file(), true, rows);
  });
}

std::vector<Row> readModuleLegacyRows(const PrimaryRecordPage& page, std::vector<ColumnDescriptor>& columns) {
  std::vector<Row> rows;
  size_t count = std::min<size_t>(static_cast<size_t>(std::max<int16_t>(page.header().slotCount, 0)),
                                  page.records().size());
  for (size_t i = 0; i < count; ++i) {
    const CPrimaryRecord* record = page.record(i);
    if (record && record->recordType != kBlobFragmentType) readModuleLegacyRecord(*record, columns, page.file(), rows);
  }
  return rows;
}

std::vector<Row> readDataPageRows(const DatabaseFile& file, PageId id, std::vector<ColumnDescriptor>& columns,
                                  bool rowsetReader) {
  auto buffer = file.readPage(id);
  if (!buffer) return {};
  TableRecordExpander expander(columns);
  setRecordExpander(&expander);
  PrimaryRecordPage page(std::move(*buffer), &file);
  setRecordExpander(nullptr);
  if (page.header().pageType != kDataPageType) return {};
  return rowsetReader ? readRowsetRows(page, columns) : readLegacyRows(page, columns);
}

}  // namespace orodorev
