#include "cli/OpenDatabase.h"

#include "catalog/SystemTableReader.h"
#include "cli/CliFrame.h"
#include "storage/FileSet.h"

namespace orodorev::cli {

std::optional<OpenedDatabase> openDatabase(const std::string& path) {
  OpenedDatabase database;
  database.frame = makeCliFrame();
  database.file = std::make_unique<DatabaseFile>(path, false, database.frame.get());
  if (!database.file->opened()) return std::nullopt;
  database.boot = readDatabaseName(*database.file);
  database.fileList = readFileRows(*database.file);
  discoverSecondaryFiles(*database.file, database.fileList, path);
  return database;
}

std::optional<LoadedCatalog> openCatalog(const std::string& path) {
  LoadedCatalog loaded;
  loaded.frame = makeCliFrame();
  loaded.file = std::make_unique<DatabaseFile>(path, false, loaded.frame.get());
  if (!loaded.file->opened()) return std::nullopt;
  loaded.catalog = std::make_unique<Catalog>(loaded.file.get());
  loadCatalog(*loaded.file, *loaded.catalog, path);
  return loaded;
}

}  // namespace orodorev::cli
