#pragma once
// Known collations: id as stored in a database's boot page -> name and Windows code page.
// Filled once from collation.txt beside the executable, read-only afterwards.

#include <cstdint>
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orodorev {

struct CollationEntry {
  std::string name;
  int32_t codePage = 0;
};

using CollationTable = std::map<int64_t, CollationEntry>;

// One line of collation.txt: name TAB id TAB code page. Returns nothing for lines
// that do not have that shape.
std::optional<std::pair<int64_t, CollationEntry>> parseCollationLine(std::string_view line);

// Adds every well-formed line of the stream; a later line with the same id wins.
void readCollationLines(std::istream& in, CollationTable& table);

// Reads folder + "collation.txt". A missing or unreadable file leaves the table as it is.
void readCollationTable(const std::string& folder, CollationTable& table);

// Reads collation.txt beside the running executable into the application state.
void readCollationTable();

// Folder of the running executable, ending with '/', or empty when unknown.
std::string executableFolder();

const CollationEntry* findCollation(const CollationTable& table, int64_t id);

}  // namespace orodorev
