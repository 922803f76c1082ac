#include "run/ObjectTree.h"

namespace orodorev {
namespace {

constexpr const char* kCreatingTree = "Creating Tree.........";
constexpr const char* kProcessDone = "Process done.........";
constexpr const char* kColumnsItem = "Columns";

bool isTable(const std::string& type) { return type == "U " || type == "S "; }

}  // namespace

SchemaPreparer catalogSchemaPreparer(const std::vector<ModuleValue>& moduleValues) {
  return [&moduleValues](Catalog& catalog, const ObjectRow& object) {
    return catalog.prepareObjectSchema(object.name, object.type, moduleValues);
  };
}

TreeItem ObjectTree::insertFolder(TreeItem parent, const char* text) {
  TreeItem folder = tree_.insertFirstChild(parent, text);
  tree_.setItemData(folder, 0);
  return folder;
}

void ObjectTree::insertFolders(const std::string& rootName) {
  folders_.root = tree_.insertLastChild(kNoTreeItem, rootName);
  folders_.tables = insertFolder(folders_.root, "Tables");
  folders_.userTables = insertFolder(folders_.tables, "User Tables");
  folders_.systemTables = insertFolder(folders_.tables, "System Tables");
  folders_.programmability = insertFolder(folders_.root, "Programmability");
  folders_.functions = insertFolder(folders_.programmability, "Function");
  folders_.storedProcedures = insertFolder(folders_.programmability, "Store Procedure");
  folders_.views = insertFolder(folders_.root, "Views");
  folders_.defaults = insertFolder(folders_.programmability, "Default");
  folders_.triggers = insertFolder(folders_.programmability, "Triggers");
}

TreeItem ObjectTree::folderOf(const std::string& type) const {
  if (type == "V ") return folders_.views;
  if (type == "FN" || type == "IF" || type == "TF") return folders_.functions;
  if (type == "P ") return folders_.storedProcedures;
  if (type == "TR") return folders_.triggers;
  if (type == "D ") return folders_.defaults;
  if (type == "U ") return folders_.userTables;
  if (type == "S ") return folders_.systemTables;
  return kNoTreeItem;
}

void ObjectTree::insertObject(Catalog& catalog, const ObjectRow& object,
                              const SchemaPreparer& prepareSchema) {
  TreeItem folder = folderOf(object.type);
  if (folder == kNoTreeItem) return;
  TreeItem item = tree_.insertFirstChild(folder, object.name);
  tree_.setItemData(item, 0);
  if (!isTable(object.type)) return;
  tree_.setItemData(tree_.insertFirstChild(item, kColumnsItem), 0);
  bool hasDescriptors = prepareSchema && !prepareSchema(catalog, object).empty();
  if (hasDescriptors && !catalog.schema.dataPages.empty()) tree_.setBold(item, true);
}

bool ObjectTree::build(const std::string& databaseName, Catalog& catalog, FramePort& frame,
                       const SchemaPreparer& prepareSchema) {
  insertFolders(databaseName.empty() ? kUnnamedDatabaseRoot : databaseName);
  // A copy: preparing a schema must not be able to move the rows under the loop.
  const std::vector<ObjectRow> objects = catalog.objects;
  if (objects.empty()) return false;

  frame.setProgressRange(0, static_cast<int64_t>(objects.size()));
  frame.setCaptionText(kCreatingTree);
  frame.reportLine(kCreatingTree);
  frame.setProgressPosition(0);
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i].name.empty()) continue;
    insertObject(catalog, objects[i], prepareSchema);
    frame.setProgressPosition(static_cast<int64_t>(i + 1));
  }
  frame.setCaptionText(kProcessDone);
  frame.reportLine(kProcessDone);
  frame.setProgressPosition(0);
  return true;
}

void ObjectTree::clear() {
  tree_.deleteAllItems();
  folders_ = {};
}

}  // namespace orodorev
