#include "browser/Definition.h"

#include <algorithm>

#include "app/ApplicationState.h"

namespace orodorev {
namespace {

const ObjectRow* objectNamed(const Catalog& catalog, const std::string& name) {
  for (const ObjectRow& object : catalog.objects)
    if (object.name == name) return &object;
  return nullptr;
}

const ObjectRow* objectWithId(const Catalog& catalog, int32_t id) {
  for (const ObjectRow& object : catalog.objects)
    if (object.id == id) return &object;
  return nullptr;
}

// " a , b " from the columns a and b: the list starts with a blank and loses the comma
// of its last separator.
std::string columnList(const std::vector<std::string>& names) {
  std::string list = " ";
  for (const std::string& name : names) list += name + " , ";
  if (names.empty()) return list;
  list.erase(list.find_last_not_of(' ') + 1);
  list.pop_back();
  return list;
}

// Key columns of the table that owns a key, in key order. SQL 2000 catalogs keep them in
// the table's column list; later ones in the table's index columns.
std::vector<std::string> keyColumns(Catalog& catalog, const ObjectRow& table, bool primary) {
  std::vector<std::string> names;
  if (appState().isSql2000) {
    for (const LegacyTable& legacy : catalog.legacyTables) {
      if (legacy.objectId != table.id) continue;
      for (const LegacyTableColumn& column : legacy.columns)
        if ((column.typeStatus & 1) || (!primary && column.typeStatus == 0)) names.push_back(column.name);
    }
    return names;
  }
  catalog.prepareObjectSchema(table.name, table.type, {});
  if (primary) {
    auto keys = catalog.schema.primaryKeyColumns;
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.keyOrdinal < b.keyOrdinal; });
    for (const PrimaryKeyColumn& key : keys) names.push_back(key.columnName);
  } else {
    for (const ColumnDescriptor& d : catalog.schema.descriptors)
      if (d.uniqueConstraint) names.push_back(d.name);
  }
  return names;
}

std::string keyStatement(Catalog& catalog, const ObjectRow& key) {
  const ObjectRow* table = objectWithId(catalog, key.parentId);
  std::string tableName = table ? table->name : "";
  std::string columns = table ? columnList(keyColumns(catalog, *table, key.type == "PK")) : " ";
  if (key.type == "PK") return "ALTER TABLE " + tableName + " ADD PRIMARY KEY (" + columns + ")";
  return "ALTER TABLE[dbo].[" + tableName + "] WITH NOCHECK ADD CONSTRAINT[" + key.name +
         "] UNIQUE CLUSTERED \r\n(\r\n[" + columns + "] DSC\r\n)";
}

}  // namespace

std::string checkStatement(const std::string& table, const std::string& constraint, const std::string& definition) {
  return "ALTER TABLE  [dbo].[" + table + "] WITH NOCHECK ADD CONSTRAINT[" + constraint + "] CHECK " + definition;
}

std::optional<std::string> definitionOf(Catalog& catalog, Definitions& definitions, const std::string& name) {
  auto descriptors = catalog.prepareObjectSchema(name, "P ", {});
  if (descriptors.size() < 3) return std::nullopt;
  ObjectRow object = catalog.schema.object;
  if (object.type == "PK" || object.type == "UQ") return keyStatement(catalog, object);
  std::string id = descriptors[0].valueText;
  if (appState().isSql2000) {
    const ObjectRow* first = objectNamed(catalog, name);
    id = first ? std::to_string(first->id) : "";
  }
  std::string text = definitions.text(id);
  if (object.type == "C " || object.type == "D ") {
    const ObjectRow* table = objectWithId(catalog, object.parentId);
    if (table) return checkStatement(table->name, object.name, text);
  }
  return text;
}

}  // namespace orodorev
