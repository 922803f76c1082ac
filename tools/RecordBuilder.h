#pragma once
// The three record shapes the sample writes.
//
// Data record:   0 status A (0x10 null bitmap, 0x20 variable columns) | 1 status B |
//                2 u16 fixed end f | 4..f-1 fixed columns | u16 column count |
//                null bitmap, bit k-1 for column k | u16 variable count |
//                u16 end offset per variable column (bit 15: stored elsewhere) | values
// Trailing NULL variable columns are left out of the variable count.
// Fixed-only record (boot page, allocation maps): status 0 | 0 | u16 end | body
// Text record:   status A 0x08 (type 4, large-value piece) | 0 | u16 end | payload

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/ByteWriter.h"

namespace orodorev::sample {

struct VarValue {
  Bytes bytes;
  bool storedElsewhere = false;  // a text pointer or root pointer, not the value
};

class DataRecordBuilder {
 public:
  // `fixed` holds the fixed columns in their leaf order, after the 4-byte prefix.
  DataRecordBuilder(Bytes fixed, int columnCount);

  // Columns count from 1, as the null bitmap does.
  DataRecordBuilder& setNull(int column);
  // Variable columns in their order; nothing for a NULL one.
  DataRecordBuilder& addVar(std::optional<VarValue> value);

  Bytes build() const;

 private:
  Bytes fixed_;
  int columnCount_;
  std::vector<bool> nulls_;
  std::vector<std::optional<VarValue>> vars_;
};

Bytes fixedOnlyRecord(const Bytes& body);
Bytes textRecord(const Bytes& payload);

}  // namespace orodorev::sample
