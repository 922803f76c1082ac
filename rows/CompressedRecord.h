#pragma once
// Rebuilds the values of a row- or page-compressed record, column after column, into
// a plain fixed part that the row readers read like any other, using the page's anchor
// values and dictionary.
//
// Integer-like values (bigint, int, smallint, datetime, money, smallmoney) are stored
// big-endian with leading bytes dropped and the top bit flipped: 0x85 is 5, 0x7F is -1.

#include <cstdint>
#include <vector>

#include "catalog/Catalog.h"
#include "storage/RecordExpander.h"
#include "storage/RecordPage.h"

namespace orodorev {

// The value of a compressed integer of 1 to 8 stored bytes.
int64_t decodeCompressedInteger(const uint8_t* bytes, int length);

class TableRecordExpander : public RecordExpander {
 public:
  explicit TableRecordExpander(const std::vector<ColumnDescriptor>& columns) : columns_(columns) {}

  size_t columnCount() const override { return columns_.size(); }
  void expand(CPrimaryRecord& record, const PrimaryRecordPage& page) const override;

 private:
  const std::vector<ColumnDescriptor>& columns_;
};

}  // namespace orodorev
