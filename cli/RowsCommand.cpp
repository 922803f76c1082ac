#include "cli/RowsCommand.h"

#include <iostream>
#include <optional>
#include <nlohmann/json.hpp>

#include "app/ApplicationState.h"
#include "app/HeadlessRecordsView.h"
#include "browser/RecordBrowser.h"
#include "cli/CliFrame.h"
#include "cli/OpenDatabase.h"

namespace orodorev::cli {
namespace {

struct RowsOptions {
  std::string path;
  std::string name;
  std::string type = "U ";
  bool all = false;
  bool json = false;
  bool showDeleted = false;
  bool showAdvancedDeleted = false;
  bool advanced = false;
  bool sql2000 = false;
  std::optional<int64_t> collation;
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

int printRows(const RowsOptions& options) {
  appState().isSql2000 = options.sql2000;  // the catalog load decides again from the file
  if (options.collation) {
    appState().autoCollation = false;
    appState().manualCollationId = *options.collation;
  }
  auto loaded = openCatalog(options.path);
  if (!loaded) return kExitInputUnreadable;
  appState().showDeleted = options.showDeleted;
  appState().showAdvancedDeleted = options.showAdvancedDeleted;
  std::string caption;
  // The listing's frame keeps only the caption bar's last text.
  HeadlessFrame frame([&caption](const FrameCall& call) {
    if (call.kind == FrameCallKind::CaptionText) caption = call.text;
  });
  frame.setRecording(false);
  HeadlessRecordsView view;
  RecordBrowser browser(*loaded->file, *loaded->catalog, frame, view);
  browser.setLargeValuesInFull(true);
  browser.listTable(options.name, options.type, options.advanced);
  if (loaded->catalog->schema.object.id == -1) {
    std::cerr << "no object named " << options.name << '\n';
    return kExitInputUnreadable;
  }
  printTexts(view.columns, options.json);
  int wanted = options.page > 0 ? options.page : 1;
  if (options.all) {
    for (const auto& item : view.items) printTexts(item, options.json);
    while (view.nextEnabled) {
      browser.nextPage();
      for (const auto& item : view.items) printTexts(item, options.json);
    }
  } else {
    while (browser.pageCounter() < wanted && view.nextEnabled) browser.nextPage();
    if (browser.pageCounter() == wanted) {
      for (const auto& item : view.items) printTexts(item, options.json);
    }
  }
  std::cerr << view.pageLabel << '\n' << caption << '\n';
  return kExitOk;
}

}  // namespace

void addRowsCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<RowsOptions>();
  CLI::App* command = app.add_subcommand("rows", "a table's rows decoded from its mapped data pages");
  command->add_option("FILE", options->path, "primary data file (.mdf)")->required();
  command->add_option("NAME", options->name, "table name as the catalog shows it, e.g. dbo.Orders")->required();
  command->add_option("--type", options->type, "two-character type code, \"U \" by default");
  command->add_flag("--all", options->all, "every list page, not only the first 1000 rows");
  command->add_flag("--json", options->json, "a line with the column names, then one JSON array per row");
  command->add_flag("--show-deleted", options->showDeleted, "take ghost records too");
  command->add_flag("--show-advanced-deleted", options->showAdvancedDeleted,
                    "with --show-deleted: also records the slot arrays no longer list");
  command->add_option("--page", options->page, "list page N (1000 rows each), reached with Next from the first");
  command->add_flag("--advanced", options->advanced, "list the mapped pages instead of following the table's chains");
  command->add_flag("--sql2000", options->sql2000, "the SQL 2000 catalog layout (the file decides)");
  command->add_option("--collation", options->collation, "collation id to read 8-bit text with, instead of the file's");
  command->callback([options, &exitCode] { exitCode = printRows(*options); });
}

}  // namespace orodorev::cli
