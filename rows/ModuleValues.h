#pragma once
// Module texts (views, procedures, functions, triggers, defaults, checks) and the values
// of columns without storage, read from sysobjvalues (syscomments in SQL 2000 catalogs)
// by the ordinary row readers over a made-up column layout of that table.

#include <string>
#include <vector>

#include "app/FramePort.h"
#include "catalog/Catalog.h"
#include "catalog/ModuleText.h"
#include "storage/DatabaseFile.h"

namespace orodorev {

// sysobjvalues: valclass, objid, subobjid, valnum, value, imageval;
// syscomments: id, number, colid, status, ctext.
std::vector<ColumnDescriptor> moduleColumns(bool legacyCatalog);

// Reads every page of the module table into the list, with progress and the two
// output lines; returns the number of values taken.
size_t readModuleValues(const DatabaseFile& file, const Catalog& catalog, FramePort& frame,
                        std::vector<ModuleValue>& target);

// The definition list of an opened database, read on first demand.
class Definitions {
 public:
  Definitions(const DatabaseFile& file, const Catalog& catalog, FramePort& frame)
      : file_(file), catalog_(catalog), frame_(frame) {}

  // The text of the object with that id (decimal text): its values joined in order.
  std::string text(const std::string& objectId);

 private:
  const DatabaseFile& file_;
  const Catalog& catalog_;
  FramePort& frame_;
  std::vector<ModuleValue> values_;
  bool loaded_ = false;
};

}  // namespace orodorev
