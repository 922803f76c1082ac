#include "rows/ModuleValues.h"

#include <algorithm>
#include <cstdlib>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "rows/RowReader.h"

namespace orodorev {
namespace {

constexpr int32_t kObjectValuesObject = 60;
constexpr int32_t kLegacyCommentsObject = 6;

ColumnDescriptor moduleColumn(const std::string& name, const std::string& typeText, int32_t kind) {
  ColumnDescriptor d = makeDescriptor(name, typeText, kind);
  d.nullBit = -1;
  return d;
}

std::vector<Row> moduleRows(const DatabaseFile& file, PageId id, std::vector<ColumnDescriptor>& columns,
                            bool rowsetReader) {
  auto buffer = file.readPage(id);
  if (!buffer) return {};
  PrimaryRecordPage page(std::move(*buffer), &file);
  return rowsetReader ? readModuleRowsetRows(page, columns) : readModuleLegacyRows(page, columns);
}

ModuleValue valueOf(const Row& row, bool legacyCatalog) {
  ModuleValue value;
  if (legacyCatalog) {
    value.objectId = row.size() > 0 ? row[0].valueText : "";
    value.subObjectId = row.size() > 1 ? row[1].valueText : "";
    value.value = row.size() > 4 ? row[4].valueText : "";
  } else {
    value.objectId = row.size() > 1 ? row[1].valueText : "";
    value.subObjectId = row.size() > 2 ? row[2].valueText : "";
    value.value = row.back().valueText;
  }
  return value;
}

}  // namespace

std::vector<ColumnDescriptor> moduleColumns(bool legacyCatalog) {
  if (legacyCatalog) {
    return {moduleColumn("id", "int", kInt), moduleColumn("number", "int", kSmallInt),
            moduleColumn("colid", "short", kSmallInt), moduleColumn("status", "short", kSmallInt),
            moduleColumn("ctext", "varbinary(-1)", kVarBinary)};
  }
  return {moduleColumn("valclass", "tinyint(1)", kTinyInt), moduleColumn("objid", "int(4)", kInt),
          moduleColumn("subobjid", "int(4)", kInt),         moduleColumn("valnum", "int(4)", kInt),
          moduleColumn("value", "sql_variant(8016)", kSqlVariant),
          moduleColumn("imageval", "varbinary(-1)", kVarBinary)};
}

size_t readModuleValues(const DatabaseFile& file, const Catalog& catalog, FramePort& frame,
                        std::vector<ModuleValue>& target) {
  frame.reportLine("Retrieving Objects of Sysobjvalues System Tables...........");
  bool legacyCatalog = appState().isSql2000;
  std::vector<ColumnDescriptor> columns = moduleColumns(legacyCatalog);
  bool rowsetReader = usesRowsetReader(catalog);
  auto pages = file.systemPageMap.find(legacyCatalog ? kLegacyCommentsObject : kObjectValuesObject);
  size_t count = pages == file.systemPageMap.end() ? 0 : pages->second.size();
  frame.setProgressRange(0, static_cast<int64_t>(count));
  size_t taken = 0;
  for (size_t i = 0; i < count && !stopRequested(); ++i) {
    const MappedPage& entry = pages->second[i];
    if (legacyCatalog && entry.pageType != kDataPageType) continue;
    for (const Row& row : moduleRows(file, {entry.fileId, entry.pageNumber}, columns, rowsetReader)) {
      if (row.empty()) continue;
      target.push_back(valueOf(row, legacyCatalog));
      ++taken;
    }
    frame.setProgressPosition(static_cast<int64_t>(i));
  }
  frame.setProgressPosition(static_cast<int64_t>(count));
  frame.reportLine("Retrieving  Objects of Sysobjvalues System Tables has been done...........");
  return taken;
}

std::string Definitions::text(const std::string& objectId) {
  if (!loaded_) {
    loaded_ = true;
    readModuleValues(file_, catalog_, frame_, values_);
    if (values_.empty()) loaded_ = false;
  }
  std::string text;
  for (const ModuleValue& value : values_) {
    if (value.objectId != objectId) continue;
    DecodedModuleText piece = decodeModuleValue(value.value);
    if (piece.wide || piece.text != text) text += piece.text;
  }
  return text;
}

}  // namespace orodorev
