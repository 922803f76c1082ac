#include "catalog/Catalog.h"

namespace orodorev {

ColumnDescriptor makeDescriptor(const std::string& name, const std::string& typeText, int32_t kind) {
  ColumnDescriptor d;
  d.name = name;
  d.typeText = typeText;
  if (kindHasDeclaredLength(kind)) d.declaredLength = static_cast<int16_t>(declaredLengthOf(typeText));
  d.variable = kindIsVariable(kind);
  d.kind = kind > kXml ? kVarChar : (kind == kNoSqlType ? kNVarChar : kind);
  return d;
}

void Catalog::clear() {
  files.clear();
  schemas.clear();
  objects.clear();
  allocUnits.clear();
  rowsets.clear();
  columns.clear();
  legacyColumns.clear();
  legacyIndexes.clear();
  legacyTables.clear();
  types.clear();
  rowsetColumns.clear();
  references.clear();
  indexes.clear();
  indexColumns.clear();
  hobtColumns.clear();
  columnMaps.clear();
  childObjects.clear();
  referencePairs.clear();
  schema = TableSchema{};
}

ObjectRow Catalog::findObject(const std::string& name, const std::string& type) const {
  for (const ObjectRow& row : objects) {
    if (row.name != name) continue;
    if (row.type == type || (row.type != "U " && row.type != "S ")) return row;
  }
  return ObjectRow{};
}

ScalarTypeRow Catalog::typeLookup(uint8_t systemType, int32_t userType) const {
  for (const ScalarTypeRow& row : types)
    if (row.typeId == userType && row.systemType == systemType && row.schemaId == 1) return row;
  for (const ScalarTypeRow& row : types)
    if (row.typeId == systemType) return row;
  return ScalarTypeRow{};
}

void Catalog::deriveRelations() {
  childObjects.clear();
  referencePairs.clear();
  for (const ObjectRow& object : objects)
    if (object.parentId > 0) childObjects.push_back({object.parentId, object.id, object.type});
  for (const ObjectRefRow& reference : references) {
    if (reference.refClass == 27 || reference.refClass == 28 || reference.refClass == 29 ||
        reference.refClass == 97)
      referencePairs.emplace_back(reference.dependentId, reference.independentId);
  }
}

}  // namespace orodorev
