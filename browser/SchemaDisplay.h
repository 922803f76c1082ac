#pragma once
// A selected table's structure in the object tree: folders for its keys and
// constraints, and one item per column with its type and key mark.

#include <string>
#include <vector>

#include "app/TreePort.h"
#include "catalog/Catalog.h"

namespace orodorev {

// Prepares the table's schema and, when it has a rowset, adds under the table item the
// folders "PrimaryKey", "Constraint", "Unique" and "ForeignKey" with its constraints,
// and the column items under its "Columns" folder. A table shown before is not filled
// twice. Returns the descriptors.
std::vector<ColumnDescriptor> showTableStructure(TreePort& tree, TreeItem table, TreeItem columnsFolder,
                                                 Catalog& catalog, const std::string& name, const std::string& type,
                                                 const std::vector<ModuleValue>& scanValues);

// "OrderID  int(4)[Primary Key]"
std::string columnItemText(const ColumnDescriptor& column);

}  // namespace orodorev
