#pragma once
// Turns the stored bytes of one column value into the text the record browser shows.
// Nothing is kept between calls: what a record's columns share lives in the caller's
// ValueSpan and BitCursor. A value that cannot be read gives empty text, never a guess.

#include <cstdint>
#include <string>

#include "catalog/Catalog.h"

namespace orodorev {

// Up to eight consecutive bit columns share one byte of a record's fixed part, bits
// taken from the least significant upwards. One cursor per record, used by its bit
// columns in stored order; nextBit 8 means the current byte is used up.
struct BitCursor {
  int32_t nextBit = 8;
  uint8_t currentByte = 0;
  bool newByte = false;  // the column being rendered started a new byte
  bool loaded = false;
};

// How many bytes one column value takes, made by initValueSpan and adjusted by the
// row reader before renderValue.
struct ValueSpan {
  BitCursor* bitCursor = nullptr;  // bit columns only; not owned
  int64_t available = 0;           // bytes from the value's first byte to the end of its region
  bool variable = false;           // the value's length is its own; available := length
  int16_t fixedSize = 0;           // bytes the column occupies in the record's fixed part
  int32_t consumed = 0;            // bytes the value takes; 0: the type text's byte count
  int16_t length = 0;              // bytes copied for most kinds; a variable value's length
  uint32_t reserved = 0;
  bool compressed = false;         // the value comes from a row-compressed record
  int32_t kind = 0;
};

// A fresh span for one value of the column. `kind` may differ from column.kind (the
// reader reads image columns as varbinary). A bit column gets the cursor.
ValueSpan initValueSpan(const ColumnDescriptor& column, int32_t kind, BitCursor* cursor);

// The text of one value starting at `data` (may be null: empty text). Reads at most
// span.available bytes. Updates span.consumed (bit columns: 1 for the column that
// starts a byte, else 0) and, for some kinds, span.length; the caller advances its
// fixed-data position by span.consumed.
std::string renderValue(ValueSpan& span, const uint8_t* data, const ColumnDescriptor& column);

// The text of a stored sql_variant of `length` bytes: base type id, version byte, the
// base type's properties, then the value. Sets span.consumed to 0 (numeric: length - 4).
std::string renderVariantValue(int32_t length, ValueSpan& span, const uint8_t* data,
                               const ColumnDescriptor& column);

// The number between the first "(" and the first ")" of a type text such as int(4);
// 0 when a bracket is missing or no number is there.
int32_t declaredByteCount(const std::string& typeText);

}  // namespace orodorev
