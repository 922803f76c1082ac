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

}  // namespace orodorev::cli
