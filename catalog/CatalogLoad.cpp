// The catalog load: every system base table read from its pages into row lists.

#include <cinttypes>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "catalog/Catalog.h"
#include "catalog/SystemTableReader.h"
#include "storage/BootPage.h"
#include "storage/ByteView.h"
#include "storage/FileSet.h"

namespace orodorev {
namespace {

enum SystemObject : int32_t {
  kLegacyObjects = 1,
  kLegacyIndexes = 2,
  kRowsetColumns = 3,  // syscolumns in the SQL 2000 layout
  kRowsetColumnMaps = 4,
  kRowsets = 5,
  kAllocationUnits = 7,
  kHobtColumns = 13,
  kObjects = 34,
  kColumns = 41,
  kScalarTypes = 50,
  kIndexes = 54,
  kIndexColumns = 55,
  kClassObjects = 64,
  kObjectReferences = 74,
  kLegacyAllocationUnits = 99,
  kMoreColumns = 2187,
};

// The fixed part of a record as the readers address it: byte n is the n-th byte after
// the 4-byte record header. Reads outside it leave the field's initial value.
class FixedPart {
 public:
  explicit FixedPart(const CPrimaryRecord& record)
      : view_(record.fixedData ? ByteView(record.fixedData->data(),
                                          static_cast<int64_t>(record.fixedData->size()))
                               : ByteView()),
        present_(record.fixedData.has_value()) {}

  bool present() const { return present_; }
  int64_t size() const { return view_.size(); }
  bool atLeast(int64_t length) const { return present_ && view_.size() >= length; }

  template <typename T>
  void read(int64_t offset, T& field) const {
    if (!view_.holds(offset, sizeof(T))) return;
    uint64_t value = 0;
    for (size_t k = 0; k < sizeof(T); ++k) value |= static_cast<uint64_t>(view_.u8(offset + static_cast<int64_t>(k))) << (8 * k);
    field = static_cast<T>(value);
  }

 private:
  ByteView view_;
  bool present_;
};

// The record's first variable-length column as UTF-16LE text, when it has data.
std::optional<std::string> nameColumn(const CPrimaryRecord& record) {
  if (record.varColumns.empty() || !record.varColumns[0].data) return std::nullopt;
  const std::vector<uint8_t>& bytes = *record.varColumns[0].data;
  return utf16leToUtf8(bytes.data(), bytes.size() / 2, true);
}

class RepairCounter {
 public:
  std::string next(const char* prefix) {
    char text[48];
    std::snprintf(text, sizeof text, "%s%" PRIu64, prefix, value_++);
    return text;
  }
  void reset() { value_ = 0; }

 private:
  uint64_t value_ = 0;
};

std::string columnName(const CPrimaryRecord& record, RepairCounter& counter) {
  auto stored = nameColumn(record);
  std::string name = stored ? *stored : counter.next("RepairColumn");
  if (name.empty()) name = counter.next("RepairColumn");
  return name;
}

// Seed and increment of an identity column, from its second variable-length column.
std::string identityText(const CPrimaryRecord& record) {
  if (record.varColumns.size() < 2) return {};
  const VarColumn& column = record.varColumns[1];
  ByteView value = column.data ? ByteView(column.data->data(), static_cast<int64_t>(column.data->size()))
                               : ByteView();
  int64_t length = column.length;
  long long seed = 1;
  long long increment = 1;
  if (length >= 24) {
    if (value.u32(4) == 0 && value.u32(0) != 0) {
      seed = static_cast<long long>(value.u32(8) | (static_cast<uint64_t>(value.u32(12)) << 32));
      increment = static_cast<long long>(value.u32(16) | (static_cast<uint64_t>(value.u32(20)) << 32));
    } else {
      seed = value.u32(4);
      increment = value.u32(8);
    }
  } else if (length >= 12) {
    seed = value.u32(4);
    increment = value.u32(8);
  } else if (length >= 6) {
    seed = value.u16(2);
    increment = value.u16(4);
  }
  if (increment == 0) increment = 1;
  char text[64];
  std::snprintf(text, sizeof text, "identity(%lld,%lld)", seed, increment);
  return text;
}

class CatalogLoader {
 public:
  CatalogLoader(DatabaseFile& file, Catalog& catalog) : file_(file), catalog_(catalog) {}

  void load(const std::string& primaryPath) {
    catalog_.clear();
    readDatabaseName(file_);
    catalog_.files = readFileRows(file_);
    discoverSecondaryFiles(file_, catalog_.files, primaryPath);
    readSchemas();
    readObjects();
    readAllocationUnits();
    readRowsets();
    if (appState().isSql2000) {
      readLegacyColumns();
    } else {
      readColumns();
    }
    readScalarTypes();
    if (!appState().isSql2000) {
      readRowsetColumns();
      readObjectReferences();
      readIndexes();
      readIndexColumns();
      readHobtColumns();
      readRowsetColumnMaps();
      catalog_.deriveRelations();
    }
  }

 private:
  using Visit = std::function<void(const CPrimaryRecord&, const CDataPage&)>;

  void each(int32_t objectId, SkippedRecords skipped, const Visit& visit, bool dataPagesOnly = false) {
    forEachSystemRecord(file_, objectId, skipped, dataPagesOnly, visit);
  }

  void readSchemas() {
    each(kClassObjects, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      SchemaRow row;
      FixedPart fixed(record);
      if (fixed.atLeast(10)) {
        fixed.read(1, row.id);
        fixed.read(5, row.status);
        row.name = nameColumn(record).value_or("");
      }
      catalog_.schemas.push_back(row);
    });
  }

  void readObjects() {
    counter_.reset();
    readObjectsFrom(kObjects, false);
    appState().isSql2000 = catalog_.objects.empty();
    if (appState().isSql2000) readObjectsFrom(kLegacyObjects, true);
    counter_.reset();
  }

  void readObjectsFrom(int32_t objectId, bool legacyLayout) {
    each(objectId, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      FixedPart fixed(record);
      ObjectRow row;
      fixed.read(0, row.id);
      if (!fixed.atLeast(20) || row.id <= 0) return;
      fixed.read(4, row.schemaId);
      fixed.read(8, row.schemaClass);
      fixed.read(9, row.status);
      uint8_t first = 0, second = 0;
      fixed.read(legacyLayout ? 4 : 13, first);
      fixed.read(legacyLayout ? 5 : 14, second);
      row.type = {static_cast<char>(first), static_cast<char>(second)};
      fixed.read(legacyLayout ? 24 : 15, row.parentId);
      fixed.read(19, row.parentClass);
      fixed.read(20, row.internalProperty);
      row.name = objectName(record, row.schemaId);
      catalog_.objects.push_back(row);
    });
  }

  std::string objectName(const CPrimaryRecord& record, int32_t schemaId) {
    auto stored = nameColumn(record);
    std::string name = stored ? *stored : counter_.next("Repairname");
    if (name.empty()) name = counter_.next("RepairColumn");
    for (const SchemaRow& schema : catalog_.schemas) {
      if (schema.id == schemaId && schema.status == 0) return schema.name + "." + name;
    }
    return name;
  }

  void readAllocationUnits() {
    int32_t objectId = appState().isSql2000 ? kLegacyAllocationUnits : kAllocationUnits;
    each(objectId, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      AllocUnitRow row;
      FixedPart fixed(record);
      if (fixed.atLeast(39)) {
        fixed.read(0, row.allocationUnitId);
        fixed.read(8, row.type);
        fixed.read(9, row.ownerId);
        fixed.read(17, row.status);
        fixed.read(21, row.filegroupId);
        readPagePointer(fixed, 23, row.firstPage);
        readPagePointer(fixed, 29, row.rootPage);
        readPagePointer(fixed, 35, row.firstIamPage);
      }
      catalog_.allocUnits.push_back(row);
    });
  }

  static void readPagePointer(const FixedPart& fixed, int64_t offset, PageId& page) {
    fixed.read(offset, page.pageNumber);
    fixed.read(offset + 4, page.fileId);
  }

  void readRowsets() {
    each(kRowsets, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      RowsetRow row;
      FixedPart fixed(record);
      if (fixed.atLeast(27)) {
        fixed.read(0, row.rowsetId);
        fixed.read(8, row.ownerType);
        fixed.read(9, row.objectId);
        fixed.read(13, row.indexId);
        fixed.read(17, row.partitionNumber);
        fixed.read(21, row.status);
        fixed.read(25, row.filegroupId);
        fixed.read(27, row.rowCount);
      }
      catalog_.rowsets.push_back(row);
    });
  }

  void readColumns() {
    counter_.reset();
    for (int32_t objectId : {kColumns, kMoreColumns}) {
      each(objectId, SkippedRecords::TypesThreeAndFour, [&](const CPrimaryRecord& record, const CDataPage&) {
        catalog_.columns.push_back(decodeColumn(record));
      });
    }
    counter_.reset();
  }

  ColumnRow decodeColumn(const CPrimaryRecord& record) {
    ColumnRow row;
    FixedPart fixed(record);
    if (!fixed.atLeast(37)) return row;
    fixed.read(0, row.objectId);
    fixed.read(4, row.number);
    fixed.read(6, row.columnId);
    row.name = columnName(record, counter_);
    fixed.read(10, row.systemType);
    fixed.read(11, row.userType);
    fixed.read(15, row.length);
    fixed.read(17, row.precision);
    fixed.read(18, row.scale);
    fixed.read(19, row.collationId);
    fixed.read(23, row.status);
    fixed.read(27, row.maxInRowLength);
    fixed.read(29, row.xmlCollectionId);
    fixed.read(33, row.defaultObjectId);
    fixed.read(37, row.checkObjectId);
    if (row.status == 5) row.identityText = identityText(record);
    return row;
  }

  void readLegacyColumns() {
    each(kLegacyIndexes, SkippedRecords::TypesThreeAndFour, [&](const CPrimaryRecord& record, const CDataPage& page) {
      FixedPart fixed(record);
      LegacyIndexEntry entry;
      fixed.read(14, entry.indexId);
      if (!fixed.atLeast(64) || entry.indexId != 1) return;
      fixed.read(0, entry.objectId);
      entry.fileId = page.header().thisPage.fileId;
      fixed.read(8, entry.firstPage);
      fixed.read(64, entry.firstIamPage);
      catalog_.legacyIndexes[entry.objectId] = entry;
    }, true);
    for (const auto& [objectId, entry] : catalog_.legacyIndexes) {
      if (objectId <= 100 || entry.indexId != 1) continue;
      LegacyTable table;
      table.objectId = objectId;
      for (const ObjectRow& object : catalog_.objects) {
        if (object.id == objectId) {
          table.name = object.name;
          break;
        }
      }
      catalog_.legacyTables.push_back(table);
    }
    counter_.reset();
    each(kRowsetColumns, SkippedRecords::TypesThreeAndFour, [&](const CPrimaryRecord& record, const CDataPage&) {
      LegacyColumnRow row = decodeLegacyColumn(record);
      for (LegacyTable& table : catalog_.legacyTables)
        if (table.objectId == row.objectId)
          table.columns.push_back({row.name, "", row.columnOrder, row.typeStatus});
      if (row.typeStatus & 1) row.work6[3] = 0;
      catalog_.legacyColumns.push_back(row);
    });
    counter_.reset();
  }

  LegacyColumnRow decodeLegacyColumn(const CPrimaryRecord& record) {
    LegacyColumnRow row;
    FixedPart fixed(record);
    row.name = columnName(record, counter_);
    fixed.read(0, row.objectId);
    fixed.read(4, row.systemType);
    fixed.read(5, row.typeStatus);
    fixed.read(6, row.userType);
    fixed.read(8, row.length);
    fixed.read(10, row.precision);
    fixed.read(11, row.scale);
    fixed.read(12, row.columnId);
    fixed.read(14, row.offset);
    fixed.read(16, row.bitPosition);
    fixed.read(17, row.reserved);
    fixed.read(18, row.columnStatus);
    fixed.read(20, row.value20);
    fixed.read(24, row.value24);
    fixed.read(28, row.number);
    fixed.read(30, row.columnOrder);
    fixed.read(32, row.value32);
    if (record.columnCount >= 21) {
      if (fixed.atLeast(38)) fixed.read(34, row.collationId);
      if (fixed.atLeast(43)) fixed.read(42, row.value42);
    }
    return row;
  }

  void readScalarTypes() {
    each(kScalarTypes, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      FixedPart fixed(record);
      if (!fixed.present()) return;
      ScalarTypeRow row;
      if (fixed.atLeast(34)) {
        fixed.read(0, row.typeId);
        fixed.read(4, row.schemaId);
        row.name = nameColumn(record).value_or("");
        fixed.read(8, row.systemType);
        fixed.read(9, row.length);
        fixed.read(11, row.precision);
        fixed.read(12, row.scale);
        fixed.read(13, row.collationId);
        fixed.read(17, row.status);
      }
      catalog_.types.push_back(row);
    });
  }

  void readRowsetColumns() {
    each(kRowsetColumns, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      RowsetColumnRow row;
      FixedPart fixed(record);
      if (fixed.atLeast(48)) {
        fixed.read(0, row.rowsetId);
        fixed.read(8, row.rowsetColumnId);
        fixed.read(12, row.hobtColumnId);
        fixed.read(16, row.modificationCounter);
        fixed.read(24, row.typeInfo);
        fixed.read(28, row.columnId);
        fixed.read(32, row.keyOrdinal);
        fixed.read(34, row.maxInRowLength);
        fixed.read(36, row.status);
        fixed.read(40, row.offset);
        fixed.read(44, row.nullBit);
        fixed.read(48, row.bitPosition);
      }
      catalog_.rowsetColumns.push_back(row);
    });
  }

  void readObjectReferences() {
    each(kObjectReferences, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      FixedPart fixed(record);
      if (!fixed.present()) return;
      ObjectRefRow row;
      fixed.read(0, row.refClass);
      fixed.read(1, row.dependentId);
      fixed.read(5, row.dependentSubId);
      fixed.read(9, row.independentId);
      fixed.read(13, row.independentSubId);
      fixed.read(17, row.status);
      catalog_.references.push_back(row);
    }, true);
  }

  void readIndexes() {
    each(kIndexes, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      FixedPart fixed(record);
      if (!fixed.present()) return;
      IndexRow row;
      if (fixed.atLeast(27)) {
        fixed.read(0, row.objectId);
        fixed.read(4, row.indexId);
        row.name = nameColumn(record).value_or("");
        fixed.read(8, row.status);
        fixed.read(12, row.internalProperty);
        fixed.read(16, row.fillFactor);
        fixed.read(17, row.type);
        fixed.read(18, row.smallProperty);
        fixed.read(19, row.dataSpaceId);
        fixed.read(23, row.lobDataSpaceId);
        fixed.read(27, row.rowsetId);
      }
      catalog_.indexes.push_back(row);
    });
  }

  void readIndexColumns() {
    each(kIndexColumns, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      IndexColumnRow row;
      FixedPart fixed(record);
      if (fixed.atLeast(21)) {
        fixed.read(0, row.objectId);
        fixed.read(4, row.indexId);
        fixed.read(8, row.subId);
        fixed.read(12, row.status);
        fixed.read(16, row.internalProperty);
        fixed.read(20, row.firstSmallProperty);
        fixed.read(21, row.secondSmallProperty);
      }
      catalog_.indexColumns.push_back(row);
    });
  }

  void readHobtColumns() {
    each(kHobtColumns, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      HobtColumnRow row;
      FixedPart fixed(record);
      fixed.read(0, row.hobtId);
      fixed.read(8, row.hobtColumnId);
      fixed.read(27, row.leafOffset);
      fixed.read(33, row.nullBit);
      catalog_.hobtColumns.push_back(row);
    });
  }

  void readRowsetColumnMaps() {
    each(kRowsetColumnMaps, SkippedRecords::TypeFourOnly, [&](const CPrimaryRecord& record, const CDataPage&) {
      RowsetColumnMapRow row;
      FixedPart fixed(record);
      fixed.read(0, row.rowsetId);
      fixed.read(8, row.firstColumnId);
      fixed.read(12, row.secondColumnId);
      catalog_.columnMaps.push_back(row);
    });
  }

  DatabaseFile& file_;
  Catalog& catalog_;
  RepairCounter counter_;
};

}  // namespace

void loadCatalog(DatabaseFile& file, Catalog& catalog, const std::string& primaryPath) {
  catalog.setFile(&file);
  CatalogLoader(file, catalog).load(primaryPath);
}

}  // namespace orodorev
