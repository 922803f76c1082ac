#include "cli/MapCommands.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/CliFrame.h"
#include "app/ApplicationState.h"
#include "cli/OpenDatabase.h"
#include "storage/DatabaseFile.h"

namespace orodorev::cli {
namespace {

struct FileOptions {
  std::string path;
  bool json = false;
};

size_t entryCount(const PageMap& map) {
  size_t count = 0;
  for (const auto& [objectId, pages] : map) count += pages.size();
  return count;
}

nlohmann::ordered_json pageCounts(const PageMap& map) {
  nlohmann::ordered_json counts = nlohmann::ordered_json::object();
  for (const auto& [objectId, pages] : map) counts[std::to_string(objectId)] = pages.size();
  return counts;
}

nlohmann::ordered_json fileListJson(const std::vector<FileRow>& fileList) {
  nlohmann::ordered_json files = nlohmann::ordered_json::array();
  for (const FileRow& row : fileList) {
    if (row.fileId == 0 && row.logicalName.empty() && row.storedPhysicalName.empty()) continue;
    files.push_back({{"file_id", row.fileId},
                     {"logical_name", row.logicalName},
                     {"physical_name", row.storedPhysicalName},
                     {"path", row.physicalName},
                     {"page_count", row.pageCount}});
  }
  return files;
}

int printInfo(const FileOptions& options) {
  auto database = openDatabase(options.path);
  if (!database) return kExitInputUnreadable;
  const DatabaseFile& file = *database->file;
  const ApplicationState& state = appState();
  nlohmann::ordered_json info;
  info["file_size"] = file.fileSize();
  info["page_count"] = file.pageCount();
  info["data_offset"] = file.dataOffset();
  info["system_pages"] = entryCount(file.systemPageMap);
  info["data_pages"] = entryCount(file.dataPageMap);
  info["iam_pages"] = entryCount(file.iamPageMap);
  info["version_number"] = database->boot ? nlohmann::ordered_json(database->boot->version) : nullptr;
  info["version_text"] = state.databaseVersionText;
  info["database_name"] = file.databaseName;
  info["collation_id"] =
      database->boot ? nlohmann::ordered_json(database->boot->storedCollationId) : nullptr;
  info["collation_name"] = state.collationName;
  info["code_page"] = state.currentCodePage;
  info["files"] = fileListJson(database->fileList);
  if (options.json) {
    std::cout << info.dump(2) << '\n';
  } else {
    for (const auto& [key, value] : info.items())
      std::cout << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << '\n';
  }
  return kExitOk;
}

int printPages(const FileOptions& options) {
  auto database = openDatabase(options.path);
  if (!database) return kExitInputUnreadable;
  const DatabaseFile& file = *database->file;
  const std::pair<const char*, const PageMap*> maps[] = {
      {"system", &file.systemPageMap}, {"data", &file.dataPageMap}, {"iam", &file.iamPageMap}};
  if (options.json) {
    nlohmann::ordered_json out;
    for (const auto& [name, map] : maps) out[name] = pageCounts(*map);
    std::cout << out.dump(2) << '\n';
  } else {
    for (const auto& [name, map] : maps)
      for (const auto& [objectId, pages] : *map)
        std::cout << name << '\t' << objectId << '\t' << pages.size() << '\n';
  }
  return kExitOk;
}

void addFileCommand(CLI::App& app, const char* name, const char* description,
                    int (*run)(const FileOptions&), int& exitCode) {
  auto options = std::make_shared<FileOptions>();
  CLI::App* command = app.add_subcommand(name, description);
  command->add_option("FILE", options->path, "primary data file (.mdf)")->required();
  command->add_flag("--json", options->json, "print JSON");
  command->callback([options, run, &exitCode] { exitCode = run(*options); });
}

}  // namespace

void addMapCommands(CLI::App& app, int& exitCode) {
  addFileCommand(app, "info", "file size, page count, data offset and page map totals",
                 printInfo, exitCode);
  addFileCommand(app, "pages", "pages per object in the system, data and IAM page maps",
                 printPages, exitCode);
}

}  // namespace orodorev::cli
