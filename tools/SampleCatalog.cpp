#include "tools/SampleCatalog.h"

#include <algorithm>
#include <stdexcept>

#include "tools/ColumnTypes.h"

namespace orodorev::sample {
namespace {

struct SystemTable {
  int32_t id;
  const char* name;
  uint16_t headerIndexId;
  int16_t columnCount;
};

// In the order of their unit ids, which is the order of sysallocunits and sysrowsets.
constexpr SystemTable kSystemTables[] = {
    {kSysRsCols, "sysrscols", 0, 13},        {kSysRowsets, "sysrowsets", 0, 18},
    {kSysAllocUnits, "sysallocunits", 0, 11}, {kSysFiles1, "sysfiles1", 0, 4},
    {kSysSchObjs, "sysschobjs", 1, 12},      {kSysColPars, "syscolpars", 1, 16},
    {kSysScalarTypes, "sysscalartypes", 1, 13}, {kSysIdxStats, "sysidxstats", 1, 11},
    {kSysIsCols, "sysiscols", 1, 8},         {kSysObjValues, "sysobjvalues", 1, 6},
    {kSysClsObjs, "sysclsobjs", 1, 8},
};

constexpr uint16_t kUserUnitIndexId = 256;
constexpr int32_t kFirstUserRowsetNumber = 17;
constexpr int32_t kFirstUserUnitNumber = 84;
constexpr uint64_t kFirstBlobId = 0x00000000A1B20000;
constexpr uint8_t kSchemaClass = 50;
constexpr const char* kSchemaNames[] = {"dbo", "guest", "INFORMATION_SCHEMA", "sys"};  // ids 1 to 4
constexpr int64_t kPagesPerUnit = 2;  // its IAM page and its one page
constexpr int64_t kDataPagesPerUnit = 1;
// 0x08 unique, 0x20 primary key; SQL Server sets 0x01 and 0x02 on its primary key indexes too.
constexpr int32_t kPrimaryKeyIndexStatus = 0x01 | 0x02 | 0x08 | 0x20;
constexpr int32_t kDataFileStatus = 0x02;
constexpr int32_t kLogFileStatus = 0x42;
constexpr const char* kDataFolder = "C:\\Program Files\\Microsoft SQL Server\\MSSQL11.MSSQLSERVER\\MSSQL\\DATA\\";

int64_t userId(int32_t number) {
  return static_cast<int64_t>((static_cast<uint64_t>(kUserUnitIndexId) << 48) | (static_cast<uint64_t>(number) << 16));
}

bool hasLargeValues(const TableDefinition& table) {
  return std::any_of(table.columns.begin(), table.columns.end(),
                     [](const ColumnDefinition& c) { return c.type == ColumnType::NText; });
}

std::optional<int32_t> identityLastValue(const TableDefinition& table, size_t column) {
  if (!table.columns[column].identity) return std::nullopt;
  int32_t last = 0;
  for (const RowValues& row : table.rows) last = std::max(last, std::stoi(*row[column]));
  return last;
}

struct RecordStats {
  int64_t count = 0;
  int32_t longest = 0;
  int16_t shortest = 0;
};

RecordStats statsOf(const std::vector<Bytes>& records) {
  RecordStats stats{static_cast<int64_t>(records.size()), 0, static_cast<int16_t>(records.empty() ? 0 : INT16_MAX)};
  for (const Bytes& record : records) {
    stats.longest = std::max(stats.longest, static_cast<int32_t>(record.size()));
    stats.shortest = std::min(stats.shortest, static_cast<int16_t>(record.size()));
  }
  return stats;
}

}  // namespace

SampleCatalog::SampleCatalog(const SampleContent& content, int32_t firstPage) : content_(content) {
  files_ = {{kDataFileStatus, 1, content.databaseName, kDataFolder + content.databaseName + ".mdf"},
            {kLogFileStatus, 2, content.databaseName + "_log", kDataFolder + content.databaseName + "_log.ldf"}};
  planUnits(firstPage);
  writeUserTables();
  writeSystemTables();
}

size_t SampleCatalog::addUnit(UnitPlan unit, int32_t& nextPage) {
  unit.iamPage = nextPage++;
  unit.page = nextPage++;
  units_.push_back(unit);
  return units_.size() - 1;
}

void SampleCatalog::planUnits(int32_t firstPage) {
  int32_t nextPage = firstPage;
  for (const SystemTable& table : kSystemTables) {
    UnitPlan unit;
    unit.ownerObjectId = table.id;
    unit.headerObjectId = table.id;
    unit.headerIndexId = table.headerIndexId;
    unit.rowsetId = unit.unitId();
    addUnit(unit, nextPage);
  }
  int32_t rowsetNumber = kFirstUserRowsetNumber;
  int32_t unitNumber = kFirstUserUnitNumber;
  for (const TableDefinition& table : content_.tables) {
    UnitPlan unit;
    unit.ownerObjectId = table.objectId;
    unit.rowsetId = userId(rowsetNumber++);
    unit.headerObjectId = unitNumber++;
    unit.headerIndexId = kUserUnitIndexId;
    UserTable user{&table, TableLayout(table), addUnit(unit, nextPage), std::nullopt};
    if (hasLargeValues(table)) {
      unit.unitType = kLargeValueData;
      unit.headerObjectId = unitNumber++;
      unit.pageType = kTextMixPage;
      user.largeValueUnit = addUnit(unit, nextPage);
    }
    userTables_.push_back(std::move(user));
  }
}

void SampleCatalog::writeUserTables() {
  for (const UserTable& user : userTables_) {
    const UnitPlan& inRow = units_[user.inRowUnit];
    int32_t textPage = user.largeValueUnit ? units_[*user.largeValueUnit].page : 0;
    LargeValueStore largeValues(textPage, kFirstBlobId);
    std::vector<Bytes>& records = records_[inRow.unitId()];
    for (const RowValues& row : user.table->rows) records.push_back(user.layout.encodeRow(row, largeValues));
    if (user.largeValueUnit) records_[units_[*user.largeValueUnit].unitId()] = largeValues.records();
  }
}

void SampleCatalog::writeSystemTables() {
  setRecords(kSysClsObjs, schemaRecords());
  setRecords(kSysSchObjs, objectRecords());
  setRecords(kSysColPars, columnParRecords());
  setRecords(kSysScalarTypes, scalarTypeRecords());
  setRecords(kSysAllocUnits, allocUnitRecords());
  setRecords(kSysRsCols, rowsetColumnRecords());
  setRecords(kSysIdxStats, indexRecords());
  setRecords(kSysIsCols, indexColumnRecords());
  setRecords(kSysObjValues, moduleRecords());
  setRecords(kSysFiles1, fileRecords());
  setRecords(kSysRowsets, rowsetRecords());  // last: it counts the others' records
}

void SampleCatalog::setRecords(int32_t systemTable, std::vector<Bytes> records) {
  records_[systemUnit(systemTable).unitId()] = std::move(records);
}

const UnitPlan& SampleCatalog::systemUnit(int32_t systemTable) const {
  for (const UnitPlan& unit : units_)
    if (unit.ownerObjectId == systemTable) return unit;
  throw std::logic_error("no unit for system table " + std::to_string(systemTable));
}

std::vector<Bytes> SampleCatalog::schemaRecords() const {
  std::vector<Bytes> records;
  int32_t id = 0;
  for (const char* name : kSchemaNames) records.push_back(classObjectRecord({kSchemaClass, ++id, name}));
  return records;
}

std::vector<Bytes> SampleCatalog::objectRecords() const {
  std::vector<ObjectRow> rows;
  for (const SystemTable& table : kSystemTables)
    rows.push_back({table.id, table.name, kSysSchema, 0, "S ", 0, table.columnCount});
  for (const TableDefinition& table : content_.tables) {
    rows.push_back({table.objectId, table.name, kDboSchema, 0, "U ", 0, static_cast<int32_t>(table.columns.size())});
    rows.push_back({table.primaryKey.objectId, table.primaryKey.name, kDboSchema, 0, "PK", table.objectId, 0});
  }
  for (const ModuleDefinition& module : content_.modules)
    rows.push_back({module.objectId, module.name, kDboSchema, 0, module.type, 0, 0});
  std::sort(rows.begin(), rows.end(), [](const ObjectRow& a, const ObjectRow& b) { return a.id < b.id; });
  std::vector<Bytes> records;
  for (const ObjectRow& row : rows) records.push_back(objectRecord(row));
  return records;
}

std::vector<Bytes> SampleCatalog::columnParRecords() const {
  std::vector<Bytes> records;
  auto add = [&](int32_t objectId, int16_t number, const std::vector<ColumnDefinition>& columns,
                 const TableDefinition* table) {
    for (size_t k = 0; k < columns.size(); ++k) {
      const ColumnDefinition& column = columns[k];
      ColumnParRow row{objectId, number, static_cast<int32_t>(k + 1), column.name, storedTypeOf(column),
                       content_.collationId, column.nullable, table ? identityLastValue(*table, k) : std::nullopt};
      records.push_back(columnParRecord(row));
    }
  };
  for (const TableDefinition& table : content_.tables) add(table.objectId, 0, table.columns, &table);
  for (const ModuleDefinition& module : content_.modules)
    add(module.objectId, static_cast<int16_t>(module.number), module.columns, nullptr);
  return records;
}

std::vector<Bytes> SampleCatalog::scalarTypeRecords() const {
  std::vector<Bytes> records;
  for (const SystemScalarType& type : systemScalarTypes())
    records.push_back(scalarTypeRecord(type, content_.collationId));
  return records;
}

std::vector<Bytes> SampleCatalog::allocUnitRecords() const {
  std::vector<Bytes> records;
  for (const UnitPlan& unit : units_) {
    PageAddress page{unit.page, kPrimaryFileId};
    PageAddress root = unit.unitType == kInRowData ? page : PageAddress{};
    records.push_back(allocUnitRecord({unit.unitId(), unit.unitType, unit.rowsetId, page, root,
                                       {unit.iamPage, kPrimaryFileId}, kPagesPerUnit, kDataPagesPerUnit}));
  }
  return records;
}

int16_t SampleCatalog::columnCountOf(int32_t objectId) const {
  for (const SystemTable& table : kSystemTables)
    if (table.id == objectId) return table.columnCount;
  for (const TableDefinition& table : content_.tables)
    if (table.objectId == objectId) return static_cast<int16_t>(table.columns.size());
  return 0;
}

std::vector<Bytes> SampleCatalog::rowsetRecords() const {
  auto inRow = [](const UnitPlan& unit) { return unit.unitType == kInRowData; };
  auto rowsets = static_cast<int64_t>(std::count_if(units_.begin(), units_.end(), inRow));
  auto ownLength = static_cast<int32_t>(rowsetRecord({}).size());
  RecordStats own{rowsets, ownLength, static_cast<int16_t>(ownLength)};
  std::vector<Bytes> records;
  for (const UnitPlan& unit : units_) {
    if (!inRow(unit)) continue;
    RecordStats stats = unit.ownerObjectId == kSysRowsets ? own : statsOf(records_.at(unit.unitId()));
    records.push_back(rowsetRecord({unit.rowsetId, unit.ownerObjectId, 1, stats.count,
                                    columnCountOf(unit.ownerObjectId), stats.longest, stats.shortest}));
  }
  return records;
}

std::vector<Bytes> SampleCatalog::rowsetColumnRecords() const {
  std::vector<Bytes> records;
  for (const UserTable& user : userTables_) {
    const TableDefinition& table = *user.table;
    for (size_t k = 0; k < table.columns.size(); ++k) {
      const ColumnDefinition& column = table.columns[k];
      const ColumnPlacement& placement = user.layout.placements()[k];
      bool key = static_cast<int>(k + 1) == table.primaryKey.column;
      records.push_back(rowsetColumnRecord({units_[user.inRowUnit].rowsetId, static_cast<int32_t>(k + 1),
                                            rowsetTypeInfo(column),
                                            storedTypeOf(column).collated ? content_.collationId : 0,
                                            static_cast<int16_t>(key ? 1 : 0), column.nullable, placement.leafOffset,
                                            placement.nullBit, placement.bitPosition}));
    }
  }
  return records;
}

std::vector<Bytes> SampleCatalog::indexRecords() const {
  std::vector<Bytes> records;
  for (const UserTable& user : userTables_) {
    const TableDefinition& table = *user.table;
    records.push_back(indexRecord({table.objectId, 1, table.primaryKey.name, kPrimaryKeyIndexStatus, 1,
                                   user.largeValueUnit ? 1 : 0, units_[user.inRowUnit].rowsetId}));
  }
  return records;
}

std::vector<Bytes> SampleCatalog::indexColumnRecords() const {
  std::vector<Bytes> records;
  for (const TableDefinition& table : content_.tables)
    records.push_back(indexColumnRecord({table.objectId, 1, 1, table.primaryKey.column, 1}));
  return records;
}

std::vector<Bytes> SampleCatalog::moduleRecords() const {
  std::vector<Bytes> records;
  for (const ModuleDefinition& module : content_.modules)
    records.push_back(moduleTextRecord(module.objectId, module.number, module.text));
  return records;
}

std::vector<Bytes> SampleCatalog::fileRecords() const {
  std::vector<Bytes> records;
  for (const FileRow& file : files_) records.push_back(fileRecord(file));
  return records;
}

}  // namespace orodorev::sample
