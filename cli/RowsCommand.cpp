#include "cli/RowsCommand.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/ApplicationState.h"
#include "cli/CliFrame.h"
#include "cli/OpenDatabase.h"
#include "app/HeadlessRecordsView.h"
#include "browser/RecordBrowser.h"
#include "rows/RowReader.h"

namespace orodorev::cli {
namespace {

constexpr size_t kRowsPerList = 1000;

struct RowsOptions {
  std::string path;
  std::string name;
  std::string type = "U ";
  bool all = false;
  bool json = false;
  bool showDeleted = false;
  bool showAdvancedDeleted = false;
  bool advanced = false;
  int page = 0;
};

void printTexts(const std::vector<std::string>& texts, bool json) {
  if (json) {
    std::cout << nlohmann::json(texts).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    return;
  }
  std::string line;
  for (size_t k = 0; k < texts.size(); ++k) line += (k ? "\t" : "") + texts[k];
  std::cout << line << '\n';
}

bool shown(const ColumnDescriptor& column) { return column.ordinal != kDroppedColumnOrdinal; }

void printHeader(const std::vector<ColumnDescriptor>& columns, bool json) {
  nlohmann::json names = nlohmann::json::array();
  std::string line;
  for (const ColumnDescriptor& column : columns) {
    if (!shown(column)) continue;
    names.push_back(column.name);
    line += (line.empty() ? "" : "\t") + column.name;
  }
  std::cout << (json ? names.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : line) << '\n';
}

void printRow(const Row& row, bool json) {
  nlohmann::json values = nlohmann::json::array();
  std::string line;
  bool first = true;
  for (const ColumnDescriptor& column : row) {
    if (!shown(column)) continue;
    values.push_back(column.valueText);
    line += (first ? "" : "\t") + column.valueText;
    first = false;
  }
  std::cout << (json ? values.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : line) << '\n';
}

// One list page as the records view shows it, reached with Next from the first; the
// page label and caption go to stderr.
int printListPage(const RowsOptions& options, LoadedCatalog& loaded) {
  HeadlessRecordsView view;
  RecordBrowser browser(*loaded.file, *loaded.catalog, *loaded.frame, view);
  browser.listTable(options.name, options.type, options.advanced);
  for (int page = 1; page < options.page && view.nextEnabled; ++page) browser.nextPage();
  if (browser.pageCounter() != options.page) view.items.clear();
  printTexts(view.columns, options.json);
  for (const auto& item : view.items) printTexts(item, options.json);
  std::cerr << view.pageLabel << '\n';
  auto captions = loaded.frame->callsOf(FrameCallKind::CaptionText);
  if (!captions.empty()) std::cerr << captions.back().text << '\n';
  return kExitOk;
}

int printRows(const RowsOptions& options) {
  auto loaded = openCatalog(options.path);
  if (!loaded) return kExitInputUnreadable;
  appState().showDeleted = options.showDeleted;
  appState().showAdvancedDeleted = options.showAdvancedDeleted;
  appState().listing = false;
  if (options.page > 0) return printListPage(options, *loaded);
  Catalog& catalog = *loaded->catalog;
  std::vector<ColumnDescriptor> columns = catalog.prepareObjectSchema(options.name, options.type, {});
  if (catalog.schema.object.id == -1) {
    std::cerr << "no object named " << options.name << '\n';
    return kExitInputUnreadable;
  }
  printHeader(columns, options.json);
  bool rowsetReader = usesRowsetReader(catalog);
  size_t printed = 0;
  for (const PageId& page : catalog.schema.dataPages) {
    for (const Row& row : readDataPageRows(*loaded->file, page, columns, rowsetReader)) {
      if (!options.all && printed == kRowsPerList) return kExitOk;
      printRow(row, options.json);
      ++printed;
    }
  }
  return kExitOk;
}

}  // namespace

void addRowsCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<RowsOptions>();
  CLI::App* command = app.add_subcommand("rows", "a table's rows decoded from its mapped data pages");
  command->add_option("FILE", options->path, "primary data file (.mdf)")->required();
  command->add_option("NAME", options->name, "table name as the catalog shows it, e.g. dbo.Orders")->required();
  command->add_option("--type", options->type, "two-character type code, \"U \" by default");
  command->add_flag("--all", options->all, "every row, not only the first 1000");
  command->add_flag("--json", options->json, "a line with the column names, then one JSON array per row");
  command->add_flag("--show-deleted", options->showDeleted, "take ghost records too");
  command->add_flag("--show-advanced-deleted", options->showAdvancedDeleted,
                    "with --show-deleted: also records the slot arrays no longer list");
  command->add_option("--page", options->page, "list page N (1000 rows each) as the records view shows it");
  command->add_flag("--advanced", options->advanced, "with --page: list the mapped pages instead of the table's chain");
  command->callback([options, &exitCode] { exitCode = printRows(*options); });
}

}  // namespace orodorev::cli
