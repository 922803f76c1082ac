#pragma once
// The boot page (page 9 of the primary file) names the database, the server version
// that wrote it and its default collation.
//
// Page offsets: 100 u16 database version | 148 name, 128 UTF-16 units, padded |
// 488 i32 collation id

#include <cstdint>
#include <optional>
#include <string>

namespace orodorev {

class DatabaseFile;

constexpr int32_t kBootPageNumber = 9;

// " SQL Server 2008" and so on, with the leading blank; "Unknown SQL Version" otherwise.
std::string versionText(uint16_t version);

class CBootPage {
 public:
  // Parses a whole boot page. Sets the version text and, when the collation is found
  // in the collation table, the collation of the application state.
  explicit CBootPage(const uint8_t* page);

  std::string databaseName;
  uint16_t version = 0;
  int32_t collationId = 0;        // set when the collation is detected automatically
  int32_t storedCollationId = 0;  // as the page holds it
};

// Finds the boot page (correcting for pages that carry numbers displaced from their
// positions) and parses it; the file's databaseName stays empty without one.
std::optional<CBootPage> readDatabaseName(DatabaseFile& file);

}  // namespace orodorev
