#pragma once
// Rows of the system base tables as the catalog load decodes them. Initial values are
// the ones a row keeps when its record's fixed part is too short to fill it.

#include <cstdint>
#include <string>
#include <vector>

#include "storage/PageId.h"

namespace orodorev {

struct SchemaRow {
  int32_t id = -1;
  std::string name;
  int32_t status = -1;
};

struct ObjectRow {
  int32_t id = -1;
  std::string name;
  int32_t schemaId = -1;
  uint8_t schemaClass = 255;
  int32_t status = -1;
  std::string type;  // two characters as stored, for example "U " or "PK"
  int32_t parentId = -1;
  uint8_t parentClass = 255;
  int32_t internalProperty = -1;
};

struct AllocUnitRow {
  int64_t allocationUnitId = 0;
  uint8_t type = 255;
  int64_t ownerId = 0;  // the rowset id
  int32_t status = -1;
  int16_t filegroupId = 0;
  PageId firstPage{0, 0};
  PageId rootPage{0, 0};
  PageId firstIamPage{0, 0};
};

struct RowsetRow {
  int64_t rowsetId = 0;
  uint8_t ownerType = 255;
  int32_t objectId = -1;
  int32_t indexId = -1;
  int32_t partitionNumber = -1;
  int32_t status = -1;
  int16_t filegroupId = -1;
  int64_t rowCount = -1;
};

struct ColumnRow {
  int32_t objectId = -1;
  int16_t number = -1;
  int32_t columnId = -1;
  std::string name;
  uint8_t systemType = 255;
  int32_t userType = -1;
  int16_t length = -1;
  uint8_t precision = 255;
  uint8_t scale = 255;
  int32_t collationId = -1;
  int32_t status = -1;
  int16_t maxInRowLength = -1;
  int32_t xmlCollectionId = -1;
  int32_t defaultObjectId = -1;
  int32_t checkObjectId = -1;
  std::string identityText;
};

struct LegacyColumnRow {
  std::string name;
  int32_t objectId = 0;
  uint8_t systemType = 0;
  uint8_t typeStatus = 0;
  int16_t userType = 0;
  int16_t length = 0;
  uint8_t precision = 0;
  uint8_t scale = 0;
  int16_t columnId = 0;
  int16_t offset = 0;
  uint8_t bitPosition = 0;
  uint8_t reserved = 0;
  int16_t columnStatus = 0;
  int16_t value20 = 0;
  int32_t value24 = 0;
  int16_t number = 0;
  int16_t columnOrder = 0;
  int32_t zero = 0;
  int16_t value32 = 0;
  int32_t collationId = 0;
  uint8_t value42 = 0;
  // Working fields filled while a schema is prepared.
  uint8_t work1 = 255;
  uint8_t work2 = 255;
  int16_t work3 = -1;
  int32_t work4 = 0;
  int16_t work5 = -1;
  int32_t work6[4] = {-1, -1, -1, -1};
  int32_t work7 = 0;
  uint8_t work8 = 255;
};

struct LegacyIndexEntry {
  int32_t objectId = 0;
  int16_t fileId = 0;
  int16_t indexId = 0;
  int32_t firstPage = 0;
  int32_t firstIamPage = 0;
};

struct LegacyTableColumn {
  std::string name;
  std::string second;
  int32_t columnOrder = 0;
  uint8_t typeStatus = 0;
};

struct LegacyTable {
  int32_t objectId = 0;
  std::string name;
  std::vector<LegacyTableColumn> columns;
};

struct ScalarTypeRow {
  int32_t typeId = -1;
  int32_t schemaId = -1;
  std::string name;
  uint8_t systemType = 255;
  int16_t length = -1;
  uint8_t precision = 255;
  uint8_t scale = 255;
  int32_t collationId = -1;
  int32_t status = -1;
};

struct RowsetColumnRow {
  int64_t rowsetId = 0;
  int32_t rowsetColumnId = 0;
  int32_t hobtColumnId = -1;
  int64_t modificationCounter = -1;
  int32_t typeInfo = -1;
  int32_t columnId = -1;
  int16_t keyOrdinal = -1;
  int16_t maxInRowLength = -1;
  int32_t status = -1;
  int32_t offset = -1;  // low 16 bits: leaf offset of a fixed-length column
  int32_t nullBit = -1;
  int16_t bitPosition = -1;
};

struct ObjectRefRow {
  uint8_t refClass = 255;
  int32_t dependentId = -1;
  int32_t dependentSubId = -1;
  int32_t independentId = -1;
  int32_t independentSubId = -1;
  int32_t status = -1;
};

struct IndexRow {
  int32_t objectId = -1;
  int32_t indexId = -1;
  std::string name;
  int32_t status = -1;
  int32_t internalProperty = -1;
  uint8_t fillFactor = 255;
  uint8_t type = 255;
  uint8_t smallProperty = 255;
  int32_t dataSpaceId = -1;
  int32_t lobDataSpaceId = -1;
  int64_t rowsetId = -1;
};

struct IndexColumnRow {
  int32_t objectId = -1;
  int32_t indexId = -1;
  int32_t subId = -1;
  int32_t status = -1;
  int32_t internalProperty = -1;  // the column id
  uint8_t firstSmallProperty = 255;  // the key ordinal
  uint8_t secondSmallProperty = 255;
  int32_t indexStatus = 0;  // working value: the status of the index it belongs to
};

struct RowsetColumnMapRow {
  int64_t rowsetId = 0;
  int32_t firstColumnId = 0;
  int32_t secondColumnId = 0;
};

struct HobtColumnRow {
  int64_t hobtId = 0;
  int32_t hobtColumnId = 0;
  int16_t leafOffset = 0;  // fixed offset 27
  int16_t nullBit = 0;     // fixed offset 33
  int32_t mappedColumnId = -1;
};

// A value of a module table row (sysobjvalues or syscomments), as value texts.
struct ModuleValue {
  std::string objectId;
  std::string subObjectId;
  std::string value;
};

}  // namespace orodorev
