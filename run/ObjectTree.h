#pragma once
// The object tree: the database's objects grouped by kind under fixed folders. Every
// item goes in as the first child of its parent, so each level lists its items in
// the reverse order of insertion.

#include <functional>
#include <string>
#include <vector>

#include "app/FramePort.h"
#include "app/TreePort.h"
#include "catalog/Catalog.h"

namespace orodorev {

constexpr const char* kUnnamedDatabaseRoot = "RepairDataBase";

struct ObjectTreeFolders {
  TreeItem root = kNoTreeItem;
  TreeItem tables = kNoTreeItem;
  TreeItem userTables = kNoTreeItem;
  TreeItem systemTables = kNoTreeItem;
  TreeItem programmability = kNoTreeItem;
  TreeItem functions = kNoTreeItem;
  TreeItem storedProcedures = kNoTreeItem;
  TreeItem views = kNoTreeItem;
  TreeItem defaults = kNoTreeItem;
  TreeItem triggers = kNoTreeItem;
};

// Prepares the working schema of a table (catalog.schema) and returns its descriptors.
using SchemaPreparer = std::function<std::vector<ColumnDescriptor>(Catalog&, const ObjectRow&)>;

// The catalog's own preparation with the scan's module values, which must outlive it.
SchemaPreparer catalogSchemaPreparer(const std::vector<ModuleValue>& moduleValues);

class ObjectTree {
 public:
  explicit ObjectTree(TreePort& tree) : tree_(tree) {}

  // Inserts the root (the database name, or "RepairDataBase") and the fixed folders,
  // then one item per named object of a known type. A table is bold when its schema
  // has descriptors and data pages. False, with only the folders, when the catalog
  // lists no object. Its two lines go to frame.reportLine.
  bool build(const std::string& databaseName, Catalog& catalog, FramePort& frame,
             const SchemaPreparer& prepareSchema);

  // Removes every item.
  void clear();

  const ObjectTreeFolders& folders() const { return folders_; }
  TreePort& tree() { return tree_; }

 private:
  void insertFolders(const std::string& rootName);
  TreeItem insertFolder(TreeItem parent, const char* text);
  // The folder of a type code; kNoTreeItem for a type the tree does not show.
  TreeItem folderOf(const std::string& type) const;
  void insertObject(Catalog& catalog, const ObjectRow& object, const SchemaPreparer& prepareSchema);

  TreePort& tree_;
  ObjectTreeFolders folders_;
};

}  // namespace orodorev
