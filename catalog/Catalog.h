#pragma once
// The in-memory picture of one opened database's catalog: the decoded system table
// rows, and the working schema of the one object that is selected.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalog/CatalogRows.h"
#include "catalog/ValueKind.h"
#include "storage/FileRow.h"
#include "storage/PageId.h"

namespace orodorev {

class DatabaseFile;

constexpr int32_t kDroppedColumnOrdinal = -99;

struct ColumnDescriptor {
  int16_t declaredLength = 0;
  int32_t columnId = 0;
  std::string name;
  int32_t kind = kChar;
  std::string typeText;  // type name and stored length, for example varchar(50)
  bool nullable = false;
  bool variable = false;
  bool sparse = false;
  std::string valueText;  // the current row's value, written by the row readers
  uint8_t precision = 0;
  uint8_t scale = 0;
  int32_t ordinal = 0;  // position in the physical record; kDroppedColumnOrdinal: layout only
  bool hasLayout = false;
  int16_t leafOffset = 0;
  int16_t secondOffset = 0;
  int32_t nullBit = -1;
  bool primaryKey = false;
  bool uniqueIndex = false;
  bool uniqueConstraint = false;
  bool statusBit3 = false;
  std::string identityText;
  uint8_t uniqueKeyOrdinal = 0;
  int32_t collationId = 0;
};

// A descriptor as it is made from a name, a type text and a kind.
ColumnDescriptor makeDescriptor(const std::string& name, const std::string& typeText, int32_t kind);

struct ConstraintEntry {
  bool primaryKey = false;
  bool foreignKey = false;
  bool unique = false;
  std::string name;
  int32_t id = 0;
  std::string type;
};

struct PrimaryKeyColumn {
  std::string objectName;
  std::string columnName;
  int32_t keyOrdinal = 0;
};

struct TableSchema {
  ObjectRow object;
  bool hasRowset = false;
  bool alternateRowset = false;
  RowsetRow rowset;
  AllocUnitRow inRowAllocUnit;
  std::vector<RowsetRow> rowsets;
  std::vector<AllocUnitRow> allocUnits;
  std::vector<IndexRow> indexes;
  std::vector<IndexColumnRow> indexColumns;
  std::vector<ColumnRow> columns;
  std::vector<LegacyColumnRow> legacyColumns;
  std::vector<RowsetColumnRow> rowsetColumns;
  std::vector<HobtColumnRow> hobtColumns;
  std::vector<RowsetColumnMapRow> columnMaps;
  std::vector<PageId> dataPages;
  std::set<std::string> dataPageKeys;
  std::vector<ConstraintEntry> constraints;
  std::vector<PrimaryKeyColumn> primaryKeyColumns;
  std::vector<ColumnDescriptor> descriptors;
};

// A child object with its parent: derived after the load for whoever needs it.
struct ChildObject {
  int32_t parentId = 0;
  int32_t id = 0;
  std::string type;
};

class Catalog {
 public:
  explicit Catalog(const DatabaseFile* file = nullptr) : file_(file) {}

  void clear();

  // The first object with that name and type, or with that name and any type but
  // "U " and "S "; an object of id -1 when none matches.
  ObjectRow findObject(const std::string& name, const std::string& type) const;

  // Rebuilds the working schema of an object and returns its column descriptors.
  std::vector<ColumnDescriptor> prepareObjectSchema(const std::string& name, const std::string& type,
                                                    const std::vector<ModuleValue>& moduleValues);

  // The dbo type a column names, else the system type, else a row of initial values.
  ScalarTypeRow typeLookup(uint8_t systemType, int32_t userType) const;

  // Lists derived from objects, references and rowset columns after the load.
  void deriveRelations();

  const DatabaseFile* file() const { return file_; }
  void setFile(const DatabaseFile* file) { file_ = file; }

  std::vector<FileRow> files;
  std::vector<SchemaRow> schemas;
  std::vector<ObjectRow> objects;
  std::vector<AllocUnitRow> allocUnits;
  std::vector<RowsetRow> rowsets;
  std::vector<ColumnRow> columns;
  std::vector<LegacyColumnRow> legacyColumns;
  std::map<int32_t, LegacyIndexEntry> legacyIndexes;
  std::vector<LegacyTable> legacyTables;
  std::vector<ScalarTypeRow> types;
  std::vector<RowsetColumnRow> rowsetColumns;
  std::vector<ObjectRefRow> references;
  std::vector<IndexRow> indexes;
  std::vector<IndexColumnRow> indexColumns;
  std::vector<HobtColumnRow> hobtColumns;
  std::vector<RowsetColumnMapRow> columnMaps;

  std::vector<ChildObject> childObjects;
  std::vector<std::pair<int32_t, int32_t>> referencePairs;

  TableSchema schema;

 private:
  const DatabaseFile* file_;
};

// Reads every system table of the opened file into the catalog, in the fixed order:
// boot page, file list, secondary files, schemas, objects (which decides the SQL 2000
// catalog mode), allocation units, rowsets, columns, types and the 2005 layout's
// remaining tables.
void loadCatalog(DatabaseFile& file, Catalog& catalog, const std::string& primaryPath);

}  // namespace orodorev
