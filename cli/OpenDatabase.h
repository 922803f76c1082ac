#pragma once
// Opening a database for a command: map the primary file, read its boot page and file
// list, and find its secondary files.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/HeadlessFrame.h"
#include "catalog/Catalog.h"
#include "storage/BootPage.h"
#include "storage/DatabaseFile.h"

namespace orodorev::cli {

struct OpenedDatabase {
  std::unique_ptr<HeadlessFrame> frame;
  std::unique_ptr<DatabaseFile> file;
  std::optional<CBootPage> boot;
  std::vector<FileRow> fileList;
};

// Nothing when the file cannot be opened or mapped; the frame has said why on stderr.
std::optional<OpenedDatabase> openDatabase(const std::string& path);

struct LoadedCatalog {
  std::unique_ptr<HeadlessFrame> frame;
  std::unique_ptr<DatabaseFile> file;
  std::unique_ptr<Catalog> catalog;
};

// Opens the file and runs the catalog load; nothing when the file cannot be opened.
std::optional<LoadedCatalog> openCatalog(const std::string& path);

}  // namespace orodorev::cli
