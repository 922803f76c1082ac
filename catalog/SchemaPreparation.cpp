// Working out a selected object's rowset, allocation units, data pages and the ordered
// column descriptors through which its records are decoded.

#include <algorithm>
#include <optional>
#include <set>
#include <cstdlib>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "catalog/Catalog.h"
#include "catalog/ModuleText.h"
#include "storage/DatabaseFile.h"

namespace orodorev {
namespace {

constexpr int32_t kObjectIdIgnoredBits = (1 << 24) | (1 << 25);
constexpr int32_t kIndexStatusKey = 1;
constexpr int32_t kIndexStatusUnique = 8;
constexpr int32_t kIndexStatusPrimaryKey = 32;
constexpr int32_t kIndexStatusUniqueConstraint = 64;
constexpr uint8_t kInRowDataUnit = 1;

const char* const kModuleTypes[] = {"PK", "X ", "P ", "C ", "FN", "IF", "TR", "V ", "D ", "TT", "F ", "TF"};

bool isModuleType(const std::string& type) {
  return std::find(std::begin(kModuleTypes), std::end(kModuleTypes), type) != std::end(kModuleTypes);
}

bool sameObject(int32_t a, int32_t b) { return (a & ~kObjectIdIgnoredBits) == (b & ~kObjectIdIgnoredBits); }

int32_t headerObjectIdOf(const AllocUnitRow& unit) {
  return static_cast<int32_t>((static_cast<uint64_t>(unit.allocationUnitId) >> 16) & 0xFFFFFFFFu);
}

// Units numbered since SQL Server 2005 (not equal to their rowset id) carry the index
// id of their pages' headers in their top 16 bits; another object's pages may carry
// the same object id under another index id.
std::optional<int16_t> headerIndexIdOf(const AllocUnitRow& unit) {
  if (unit.allocationUnitId == unit.ownerId) return std::nullopt;
  return static_cast<int16_t>((static_cast<uint64_t>(unit.allocationUnitId) >> 48) & 0xFFFF);
}

class SchemaBuilder {
 public:
  SchemaBuilder(Catalog& catalog, TableSchema& schema, const std::vector<ModuleValue>& moduleValues)
      : catalog_(catalog), s_(schema), moduleValues_(moduleValues) {}

  std::vector<ColumnDescriptor> build(const std::string& name, const std::string& type) {
    s_ = TableSchema{};
    s_.object = catalog_.findObject(name, type);
    if (s_.object.id == -1) return {};
    collectConstraints();
    if (isModuleType(s_.object.type)) return moduleDescriptors();
    legacy_ = appState().isSql2000;
    if (legacy_) {
      s_.dataPages = pagesOwnedBy(s_.object.id);
    } else {
      chooseRowset();
      collectRowsets();
      chooseInRowUnit();
      collectDataPages();
    }
    collectColumns();
    if (!legacy_) collectRowsetColumns();
    collectKeyColumns();
    buildDescriptors();
    applyLayout();
    presetTextsWithoutStorage();
    markKeys();
    s_.descriptors = descriptors_;
    return descriptors_;
  }

 private:
  void collectConstraints() {
    for (const ObjectRow& row : catalog_.objects) {
      if (row.parentId != s_.object.id) continue;
      ConstraintEntry entry;
      entry.name = row.name;
      entry.type = row.type;
      entry.id = appState().isSql2000 ? row.parentId : row.id;
      entry.primaryKey = row.type == "PK";
      entry.unique = row.type == "UQ";
      entry.foreignKey = row.type == "F ";
      s_.constraints.push_back(entry);
    }
  }

  std::vector<ColumnDescriptor> moduleDescriptors() {
    s_.hasRowset = false;
    const std::string texts[] = {std::to_string(s_.object.id), s_.object.type, s_.object.name};
    const char* names[] = {"id", "type", "name"};
    for (int k = 0; k < 3; ++k) {
      ColumnDescriptor descriptor = makeDescriptor(names[k], "", kChar);
      descriptor.valueText = texts[k];
      descriptors_.push_back(descriptor);
    }
    s_.descriptors = descriptors_;
    return descriptors_;
  }

  // Pages whose header carries the object id, and the index id when one is given.
  std::vector<PageId> pagesOwnedBy(int32_t headerObjectId, std::optional<int16_t> headerIndexId = {}) const {
    std::vector<PageId> pages;
    const DatabaseFile* file = catalog_.file();
    if (!file) return pages;
    auto it = file->dataPageMap.find(headerObjectId);
    if (it == file->dataPageMap.end()) return pages;
    for (const MappedPage& page : it->second) {
      if (page.pageType != kDataPageType) continue;
      if (headerIndexId && page.indexId != *headerIndexId) continue;
      pages.push_back({page.fileId, page.pageNumber});
    }
    return pages;
  }

  void chooseRowset() {
    bool found = false;
    for (const RowsetRow& row : catalog_.rowsets) {
      if (row.objectId != s_.object.id) continue;
      s_.hasRowset = true;
      if (row.indexId != 0 && row.indexId != 1) continue;
      if (!found || row.indexId <= s_.rowset.indexId) s_.rowset = row;
      found = true;
    }
    if (found) return;
    for (const IndexRow& index : catalog_.indexes) {
      if (index.objectId != s_.object.id || index.rowsetId == 0) continue;
      s_.rowset.rowsetId = index.rowsetId;
      s_.rowset.objectId = index.objectId;
      s_.rowset.indexId = index.indexId;
      s_.alternateRowset = true;
      return;
    }
  }

  void collectRowsets() {
    for (const RowsetRow& row : catalog_.rowsets)
      if (row.objectId == s_.object.id) s_.rowsets.push_back(row);
    if (!s_.rowsets.empty()) return;
    for (const IndexRow& index : catalog_.indexes) {
      if (index.objectId != s_.object.id || index.rowsetId == 0) continue;
      RowsetRow pseudo;
      pseudo.rowsetId = index.rowsetId;
      pseudo.objectId = index.objectId;
      pseudo.indexId = index.indexId;
      s_.rowsets.push_back(pseudo);
    }
  }

  void chooseInRowUnit() {
    for (const AllocUnitRow& unit : catalog_.allocUnits)
      if (unit.ownerId == s_.rowset.rowsetId && unit.type == kInRowDataUnit) s_.inRowAllocUnit = unit;
  }

  bool ownedByTable(const AllocUnitRow& unit) const {
    for (const RowsetRow& rowset : s_.rowsets)
      if (unit.ownerId == rowset.rowsetId) return true;
    return false;
  }

  bool matchesUnitId(const AllocUnitRow& unit) const {
    for (const RowsetRow& rowset : s_.rowsets)
      if (unit.allocationUnitId == rowset.rowsetId) return true;
    return false;
  }

  void collectDataPages() {
    for (const AllocUnitRow& unit : catalog_.allocUnits)
      if (ownedByTable(unit)) s_.allocUnits.push_back(unit);
    if (s_.allocUnits.empty() && s_.alternateRowset) {
      for (const AllocUnitRow& unit : catalog_.allocUnits)
        if (matchesUnitId(unit)) s_.allocUnits.push_back(unit);
    }
    // Units of one table can share the object id its pages carry (the indexes of a
    // table upgraded from SQL 2000): a page is listed once, or its rows would be too.
    std::set<PageId> listed;
    for (const AllocUnitRow& unit : s_.allocUnits) {
      for (const PageId& page : pagesOwnedBy(headerObjectIdOf(unit), headerIndexIdOf(unit))) {
        if (s_.alternateRowset) {
          std::string key = std::to_string(page.fileId) + std::to_string(page.pageNumber);
          if (!s_.dataPageKeys.insert(key).second) continue;
        }
        if (listed.insert(page).second) s_.dataPages.push_back(page);
      }
    }
    if (s_.dataPages.empty()) s_.dataPages = pagesOwnedBy(s_.object.id);
  }

  void collectColumns() {
    if (legacy_) {
      for (const LegacyColumnRow& column : catalog_.legacyColumns) {
        if (!sameObject(column.objectId, s_.object.id)) continue;
        bool seen = std::any_of(s_.legacyColumns.begin(), s_.legacyColumns.end(),
                                [&](const LegacyColumnRow& c) { return c.columnId == column.columnId; });
        if (!seen) s_.legacyColumns.push_back(column);
      }
      return;
    }
    for (const ColumnRow& column : catalog_.columns) {
      if (!sameObject(column.objectId, s_.object.id) || column.number != 0) continue;
      bool seen = std::any_of(s_.columns.begin(), s_.columns.end(),
                              [&](const ColumnRow& c) { return c.columnId == column.columnId; });
      if (!seen) s_.columns.push_back(column);
    }
  }

  void collectRowsetColumns() {
    int64_t rowsetId = s_.rowset.rowsetId;
    for (const RowsetColumnRow& row : catalog_.rowsetColumns)
      if (row.rowsetId == rowsetId) s_.rowsetColumns.push_back(row);
    if (!s_.rowsetColumns.empty()) return;
    for (const HobtColumnRow& row : catalog_.hobtColumns)
      if (row.hobtId == rowsetId) s_.hobtColumns.push_back(row);
    for (const RowsetColumnMapRow& map : catalog_.columnMaps) {
      if (map.rowsetId != rowsetId) continue;
      s_.columnMaps.push_back(map);
      for (HobtColumnRow& hobt : s_.hobtColumns)
        if (hobt.hobtColumnId == map.firstColumnId) hobt.mappedColumnId = map.secondColumnId;
    }
  }

  void collectKeyColumns() {
    for (const IndexRow& index : catalog_.indexes) {
      if (index.objectId != s_.object.id) continue;
      s_.indexes.push_back(index);
      if (!(index.status & kIndexStatusKey) || index.indexId <= 0) continue;
      for (IndexColumnRow column : catalog_.indexColumns) {
        if (column.objectId != s_.object.id || column.indexId != index.indexId) continue;
        column.indexStatus = index.status;
        s_.indexColumns.push_back(column);
      }
    }
  }

  ColumnDescriptor describe(uint8_t systemType, int32_t userType, int16_t length, const std::string& name) const {
    ScalarTypeRow type = catalog_.typeLookup(systemType, userType);
    int32_t kind = systemType == 34 ? kImage : kindForSystemType(systemType);
    return makeDescriptor(name, type.name + "(" + std::to_string(length) + ")", kind);
  }

  void buildDescriptors() {
    if (legacy_) {
      for (const LegacyColumnRow& column : s_.legacyColumns) {
        if (column.systemType == 0) continue;
        ColumnDescriptor d = describe(column.systemType, column.userType, column.length, column.name);
        d.nullable = !(column.value42 & 1);
        d.columnId = d.ordinal = column.columnId;
        d.precision = column.precision;
        d.scale = column.scale;
        d.collationId = column.collationId;
        d.nullBit = column.bitPosition;
        d.leafOffset = column.value32;
        d.secondOffset = column.offset;
        descriptors_.push_back(d);
      }
    } else {
      for (const ColumnRow& column : s_.columns) {
        if (column.systemType == 0) continue;
        ColumnDescriptor d = describe(column.systemType, column.userType, column.length, column.name);
        if (d.kind == kClrType && column.userType == 129) d.kind = kGeometry;
        if (d.kind == kClrType && column.userType == 128) d.kind = kHierarchyId;
        d.nullable = !(column.status & 1);
        d.sparse = (column.status >> 24) & 1;
        d.statusBit3 = column.status & 8;
        d.columnId = d.ordinal = column.columnId;
        d.precision = column.precision;
        d.scale = column.scale;
        d.collationId = column.collationId;
        d.identityText = column.identityText;
        descriptors_.push_back(d);
      }
    }
    std::stable_sort(descriptors_.begin(), descriptors_.end(),
                     [](const ColumnDescriptor& a, const ColumnDescriptor& b) { return a.columnId < b.columnId; });
  }

  ColumnDescriptor* descriptorFor(int32_t columnId) {
    for (ColumnDescriptor& d : descriptors_)
      if (d.columnId == columnId) return &d;
    return nullptr;
  }

  void applyLayout() {
    for (const RowsetColumnRow& row : s_.rowsetColumns) {
      if (ColumnDescriptor* d = descriptorFor(row.rowsetColumnId)) {
        d->leafOffset = static_cast<int16_t>(row.offset & 0xFFFF);
        d->ordinal = row.hobtColumnId;
        d->nullBit = row.nullBit;
        d->hasLayout = true;
      }
    }
    for (const HobtColumnRow& hobt : s_.hobtColumns) {
      if (ColumnDescriptor* d = descriptorFor(hobt.hobtColumnId)) {
        d->leafOffset = hobt.leafOffset;
        d->nullBit = hobt.nullBit;
        d->ordinal = hobt.mappedColumnId;
        d->hasLayout = true;
      } else {
        ColumnDescriptor dropped;
        dropped.columnId = hobt.hobtColumnId;
        dropped.ordinal = kDroppedColumnOrdinal;
        droppedOrdinals_.push_back(hobt.hobtColumnId);
        descriptors_.push_back(dropped);
      }
    }
    if (s_.rowsetColumns.empty() && s_.hobtColumns.empty())
      for (ColumnDescriptor& d : descriptors_) d.hasLayout = true;
  }

  std::string presetText(int32_t ordinal) const {
    std::string text;
    std::string objectId = std::to_string(s_.object.id);
    std::string subObjectId = std::to_string(ordinal);
    for (const ModuleValue& value : moduleValues_) {
      if (value.objectId != objectId || value.subObjectId != subObjectId || value.value.empty()) continue;
      text += decodeModuleValue(value.value).text;
    }
    return text;
  }

  void presetTextsWithoutStorage() {
    size_t dropped = 0;
    for (ColumnDescriptor& d : descriptors_) {
      if (d.ordinal == kDroppedColumnOrdinal && dropped < droppedOrdinals_.size()) {
        d.valueText = presetText(droppedOrdinals_[dropped++]);
      } else if (!d.hasLayout) {
        d.valueText = presetText(d.ordinal);
      }
    }
  }

  void markKeys() {
    for (ColumnDescriptor& d : descriptors_) {
      for (const IndexColumnRow& column : s_.indexColumns) {
        if (column.internalProperty != d.columnId) continue;
        if (column.indexStatus & kIndexStatusPrimaryKey) {
          d.primaryKey = true;
          s_.primaryKeyColumns.push_back({s_.object.name, d.name, column.firstSmallProperty});
        }
        if (column.indexStatus & kIndexStatusUnique) d.uniqueIndex = true;
        if (column.indexStatus & kIndexStatusUniqueConstraint) {
          d.uniqueConstraint = true;
          d.uniqueKeyOrdinal = column.firstSmallProperty;
        }
      }
    }
  }

  Catalog& catalog_;
  TableSchema& s_;
  const std::vector<ModuleValue>& moduleValues_;
  bool legacy_ = false;
  std::vector<ColumnDescriptor> descriptors_;
  std::vector<int32_t> droppedOrdinals_;
};

}  // namespace

std::vector<ColumnDescriptor> Catalog::prepareObjectSchema(const std::string& name, const std::string& type,
                                                           const std::vector<ModuleValue>& moduleValues) {
  return SchemaBuilder(*this, schema, moduleValues).build(name, type);
}

}  // namespace orodorev
