#pragma once
// How the catalog describes a column type: the system type id, the stored length,
// precision and scale (syscolpars, sysscalartypes) and the packed type info of
// sysrscols: system type | max length << 8 for variable types, or
// system type | precision << 8 | scale << 16 for decimal.

#include <cstdint>
#include <vector>

#include "tools/SampleContent.h"

namespace orodorev::sample {

struct StoredType {
  uint8_t systemType = 0;
  int16_t maxLength = 0;  // bytes
  uint8_t precision = 0;
  uint8_t scale = 0;
  bool collated = false;
};

StoredType storedTypeOf(const ColumnDefinition& column);
int32_t rowsetTypeInfo(const ColumnDefinition& column);

// One row of sysscalartypes: the system types, all in schema sys.
struct SystemScalarType {
  int32_t id = 0;
  const char* name = "";
  StoredType type;
};

const std::vector<SystemScalarType>& systemScalarTypes();

}  // namespace orodorev::sample
