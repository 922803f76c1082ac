#include "browser/SchemaDisplay.h"

#include "app/ApplicationState.h"
#include "browser/RecordBrowser.h"

namespace orodorev {
namespace {

constexpr uint32_t kConstraintItemData = 1;

bool hasChild(const TreePort& tree, TreeItem parent, const std::string& text) {
  for (TreeItem child : tree.children(parent))
    if (tree.itemText(child) == text) return true;
  return false;
}

}  // namespace

std::string columnItemText(const ColumnDescriptor& column) {
  std::string text = column.name + "  " + column.typeText;
  if (column.primaryKey) return text + "[Primary Key]";
  if (column.uniqueConstraint || column.uniqueIndex) return text + "[Unique]";
  return text;
}

std::vector<ColumnDescriptor> showTableStructure(TreePort& tree, TreeItem table, TreeItem columnsFolder,
                                                 Catalog& catalog, const std::string& name, const std::string& type,
                                                 const std::vector<ModuleValue>& scanValues) {
  std::vector<ColumnDescriptor> descriptors = catalog.prepareObjectSchema(name, type, scanValues);
  if (!isListableTable(catalog) || hasChild(tree, table, "PrimaryKey")) return descriptors;
  TreeItem primaryKey = tree.insertLastChild(table, "PrimaryKey");
  TreeItem constraint = tree.insertLastChild(table, "Constraint");
  TreeItem unique = tree.insertLastChild(table, "Unique");
  TreeItem foreignKey = tree.insertLastChild(table, "ForeignKey");
  for (TreeItem folder : {primaryKey, constraint, unique, foreignKey, columnsFolder}) tree.setItemData(folder, 0);
  for (auto it = descriptors.rbegin(); it != descriptors.rend(); ++it) {
    if (it->name.empty()) continue;
    tree.setItemData(tree.insertLastChild(columnsFolder, columnItemText(*it)), 0);
  }
  bool legacyCatalog = appState().isSql2000;
  for (const ConstraintEntry& entry : catalog.schema.constraints) {
    uint32_t keyData = legacyCatalog ? static_cast<uint32_t>(entry.id) : 0;
    if (entry.type == "PK") {
      tree.setItemData(tree.insertLastChild(primaryKey, entry.name), keyData);
    } else if (entry.type == "F ") {
      tree.setItemData(tree.insertLastChild(foreignKey, entry.name), 0);
    } else if (entry.type == "C " || entry.type == "D ") {
      tree.setItemData(tree.insertLastChild(constraint, entry.name), kConstraintItemData);
    } else if (entry.type == "UQ") {
      tree.setItemData(tree.insertLastChild(unique, entry.name), keyData);
    }
  }
  return descriptors;
}

}  // namespace orodorev
