#include "tools/TableLayout.h"

#include <stdexcept>

#include "tools/RecordBuilder.h"
#include "tools/ValueEncoding.h"

namespace orodorev::sample {
namespace {

constexpr int kBitsPerByte = 8;

bool isVariable(const ColumnDefinition& column) {
  return column.type == ColumnType::NVarChar || column.type == ColumnType::VarChar ||
         column.type == ColumnType::NText;
}

}  // namespace

TableLayout::TableLayout(const TableDefinition& table) : table_(table) {
  int16_t nextVar = -1;
  int bitByte = -1;
  int bitsUsed = kBitsPerByte;
  for (size_t k = 0; k < table.columns.size(); ++k) {
    const ColumnDefinition& column = table.columns[k];
    ColumnPlacement placement;
    placement.nullBit = static_cast<int32_t>(k + 1);
    if (isVariable(column)) {
      placement.leafOffset = nextVar--;
    } else if (column.type == ColumnType::Bit) {
      if (bitsUsed == kBitsPerByte) {
        bitByte = static_cast<int>(fixedEnd_++);
        bitsUsed = 0;
      }
      placement.leafOffset = static_cast<int16_t>(bitByte);
      placement.bitPosition = static_cast<uint8_t>(bitsUsed++);
    } else {
      placement.leafOffset = static_cast<int16_t>(fixedEnd_);
      fixedEnd_ += fixedWidth(column);
    }
    placements_.push_back(placement);
  }
}

Bytes TableLayout::fixedPart(const RowValues& row) const {
  Bytes fixed(fixedEnd_ - 4, 0);
  for (size_t k = 0; k < table_.columns.size(); ++k) {
    const ColumnDefinition& column = table_.columns[k];
    const ColumnPlacement& placement = placements_[k];
    if (!row[k] || placement.leafOffset < 0) continue;
    size_t at = static_cast<size_t>(placement.leafOffset) - 4;
    if (column.type == ColumnType::Bit) {
      if (bitValue(*row[k])) fixed[at] |= static_cast<uint8_t>(1 << placement.bitPosition);
      continue;
    }
    Bytes value = encodeValue(column, *row[k]);
    std::copy(value.begin(), value.end(), fixed.begin() + static_cast<std::ptrdiff_t>(at));
  }
  return fixed;
}

Bytes TableLayout::encodeRow(const RowValues& row, LargeValueStore& largeValues) const {
  if (row.size() != table_.columns.size())
    throw std::invalid_argument("row of " + table_.name + " has the wrong width");
  DataRecordBuilder record(fixedPart(row), static_cast<int>(table_.columns.size()));
  for (size_t k = 0; k < table_.columns.size(); ++k) {
    const ColumnDefinition& column = table_.columns[k];
    if (!row[k]) {
      if (!column.nullable) throw std::invalid_argument(column.name + " is NOT NULL");
      record.setNull(static_cast<int>(k + 1));
    }
    if (!isVariable(column)) continue;
    if (!row[k]) {
      record.addVar(std::nullopt);
    } else if (column.type == ColumnType::NText) {
      record.addVar(VarValue{largeValues.store(encodeValue(column, *row[k])), true});
    } else {
      record.addVar(VarValue{encodeValue(column, *row[k]), false});
    }
  }
  return record.build();
}

}  // namespace orodorev::sample
