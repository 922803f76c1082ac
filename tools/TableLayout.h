#pragma once
// Where each column of a user table lives in its data records: fixed-length columns
// in column order from offset 4, bit columns sharing bytes (up to eight each) among
// them, variable-length columns in column order after the null bitmap. The catalog's
// sysrscols rows describe the same placement, so both come from here.

#include <cstdint>
#include <vector>

#include "tools/ByteWriter.h"
#include "tools/LargeValueStore.h"
#include "tools/SampleContent.h"

namespace orodorev::sample {

struct ColumnPlacement {
  // Fixed: byte offset in the record. Variable: -1 for the first, -2 for the second...
  int16_t leafOffset = 0;
  uint8_t bitPosition = 0;  // bit columns: the bit in their byte
  int32_t nullBit = 0;      // 1-based bit of the null bitmap
};

class TableLayout {
 public:
  explicit TableLayout(const TableDefinition& table);

  const std::vector<ColumnPlacement>& placements() const { return placements_; }
  size_t fixedEnd() const { return fixedEnd_; }

  // The record of one row; ntext values go to the store, the record keeps their pointer.
  Bytes encodeRow(const RowValues& row, LargeValueStore& largeValues) const;

 private:
  Bytes fixedPart(const RowValues& row) const;

  const TableDefinition& table_;
  std::vector<ColumnPlacement> placements_;
  size_t fixedEnd_ = 4;
};

}  // namespace orodorev::sample
