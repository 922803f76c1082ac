#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/CollationTable.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

struct LineCase {
  const char* line;
  bool accepted;
  int64_t id;
  const char* name;
  int32_t codePage;
};

TEST(CollationLine, ParsesNameIdAndCodePage) {
  const LineCase cases[] = {
      {"Name\t52\t1252", true, 52, "Name", 1252},
      {"", false, 0, "", 0},
      {"no tab at all", false, 0, "", 0},
      {"Name\t52", false, 0, "", 0},
      {"Name\t", false, 0, "", 0},
      {" Name \t52\t1252", true, 52, " Name ", 1252},
      {"Name\t 52\t1252", true, 52, "Name", 1252},
      {"Name\t52abc\t1252", true, 52, "Name", 1252},
      {"Name\tabc\t1252", true, 0, "Name", 1252},
      {"Name\t-1\t1252", true, -1, "Name", 1252},
      {"Name\t52\t1252\tmore text", true, 52, "Name", 1252},
      {"\t7\t936", true, 7, "", 936},
      {"Big\t99999999999\t1252", true, INT32_MAX, "Big", 1252},
      {"Small\t-99999999999\t1252", true, INT32_MIN, "Small", 1252},
      {"SQL_Latin1_General_CP1_CI_AS\t872468488\t1252", true, 872468488,
       "SQL_Latin1_General_CP1_CI_AS", 1252},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.line);
    auto parsed = parseCollationLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.accepted);
    if (!parsed) continue;
    EXPECT_EQ(parsed->first, c.id);
    EXPECT_EQ(parsed->second.name, c.name);
    EXPECT_EQ(parsed->second.codePage, c.codePage);
  }
}

TEST(CollationTable, LaterLineWinsAndLineEndsVary) {
  std::istringstream in("A\t1\t1250\r\nB\t2\t1251\n\nbad line\nC\t1\t1252");
  CollationTable table;
  readCollationLines(in, table);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table.at(1).name, "C");
  EXPECT_EQ(table.at(1).codePage, 1252);
  EXPECT_EQ(table.at(2).name, "B");
  EXPECT_EQ(findCollation(table, 3), nullptr);
}

TEST(CollationTable, MissingFileLeavesTableEmpty) {
  test::TempDir dir;
  CollationTable table;
  readCollationTable(dir.path() + "/", table);
  EXPECT_TRUE(table.empty());
}

TEST(CollationTable, HighBytesBecomeCharacters) {
  auto parsed = parseCollationLine("Caf\xe9\t5\t1252");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->second.name, "Caf\xc3\xa9");
}

// The shipped list must know every collation the real files use, with the right
// code page, and every line must be well-formed.
TEST(ShippedCollations, CoverTheCorpusAndAreWellFormed) {
  std::ifstream in(ORODOREV_SHIPPED_COLLATIONS, std::ios::binary);
  ASSERT_TRUE(in) << ORODOREV_SHIPPED_COLLATIONS;
  std::string line;
  int lineNumber = 0;
  CollationTable table;
  while (std::getline(in, line)) {
    ++lineNumber;
    auto parsed = parseCollationLine(line);
    ASSERT_TRUE(parsed) << "line " << lineNumber << ": " << line;
    EXPECT_FALSE(table.count(parsed->first)) << "duplicate id on line " << lineNumber;
    table.insert(*parsed);
  }
  const std::pair<int64_t, int32_t> corpusIds[] = {
      {872468488, 1252}, {53256, 1252}, {53251, 950}, {53267, 1250}};
  for (auto [id, codePage] : corpusIds) {
    const CollationEntry* entry = findCollation(table, id);
    ASSERT_NE(entry, nullptr) << id;
    EXPECT_EQ(entry->codePage, codePage) << entry->name;
  }
  EXPECT_EQ(table.at(872468488).name, "SQL_Latin1_General_CP1_CI_AS");
  EXPECT_EQ(table.at(53256).name, "Latin1_General_CI_AS");
  for (int32_t codePage : {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257,
                           1258}) {
    bool found = false;
    for (const auto& [id, entry] : table) found = found || entry.codePage == codePage;
    EXPECT_TRUE(found) << "no collation of code page " << codePage;
  }
}

}  // namespace
}  // namespace orodorev
