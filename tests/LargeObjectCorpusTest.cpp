// Real text, ntext and image values of the sample databases, followed from the text
// pointers of their rows and compared with the scripts that created them.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationState.h"
#include "catalog/Catalog.h"
#include "rows/LargeObjectPage.h"
#include "rows/LargeObjectPointers.h"
#include "rows/LargeObjectReader.h"
#include "rows/LargeObjectStructures.h"
#include "rows/LargeObjectWalk.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

using Row = std::vector<std::string>;

// --- The creation scripts ------------------------------------------------------------

// Reads one literal at `at`: a string (quotes doubled inside, N prefix allowed), a hex
// literal (its digits, upper case) or anything else up to the next comma or parenthesis.
std::string readLiteral(const std::string& script, size_t& at) {
  if (script[at] == 'N' && at + 1 < script.size() && script[at + 1] == '\'') ++at;
  if (script[at] == '\'') {
    std::string text;
    for (++at; at < script.size(); ++at) {
      if (script[at] != '\'') {
        text += script[at];
      } else if (at + 1 < script.size() && script[at + 1] == '\'') {
        text += '\'';
        ++at;
      } else {
        ++at;
        break;
      }
    }
    return text;
  }
  if (script.compare(at, 2, "0x") == 0 || script.compare(at, 2, "0X") == 0) {
    std::string digits;
    for (at += 2; at < script.size() && std::isxdigit(static_cast<unsigned char>(script[at])); ++at)
      digits += static_cast<char>(std::toupper(static_cast<unsigned char>(script[at])));
    return digits;
  }
  size_t end = script.find_first_of(",)", at);
  std::string word = script.substr(at, end - at);
  at = end;
  while (!word.empty() && std::isspace(static_cast<unsigned char>(word.back()))) word.pop_back();
  return word;
}

// The value lists of every INSERT that starts with `prefix`, in script order.
std::vector<Row> insertedRows(const std::string& script, const std::string& prefix) {
  std::string folded = script;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<Row> rows;
  for (size_t start = script.find(prefix); start != std::string::npos;
       start = script.find(prefix, start + 1)) {
    size_t at = folded.find("values(", start);
    if (at == std::string::npos) break;
    at += 7;
    Row row;
    while (at < script.size()) {
      while (std::isspace(static_cast<unsigned char>(script[at]))) ++at;
      row.push_back(readLiteral(script, at));
      while (at < script.size() && std::isspace(static_cast<unsigned char>(script[at]))) ++at;
      if (at >= script.size() || script[at] != ',') break;
      ++at;
    }
    rows.push_back(row);
  }
  return rows;
}

std::string withoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

// Some scripts are copies from other sources whose values lack the line breaks that
// end the stored ones.
std::string comparable(const std::string& text) {
  std::string result = withoutCarriageReturns(text);
  while (!result.empty() && result.back() == '\n') result.pop_back();
  return result;
}

// Equal apart from line ends; a replacement character in the script (where its own
// conversion lost a letter) stands for any one character.
bool matchesScript(const std::string& decoded, const std::string& scripted) {
  const std::string actual = comparable(decoded);
  const std::string expected = comparable(scripted);
  const std::string replacement = "\xEF\xBF\xBD";
  size_t a = 0;
  for (size_t e = 0; e < expected.size();) {
    if (a >= actual.size()) return false;
    if (expected.compare(e, 3, replacement) == 0) {
      e += 3;
      ++a;
      while (a < actual.size() && (static_cast<uint8_t>(actual[a]) & 0xC0) == 0x80) ++a;
    } else if (expected[e++] != actual[a++]) {
      return false;
    }
  }
  return a == actual.size();
}

std::string readScript(const std::string& name) {
  auto bytes = test::readWholeFile(test::corpusDir() + "/" + name);
  return std::string(bytes.begin(), bytes.end());
}

// --- The data files --------------------------------------------------------------------

class LargeObjectCorpus : public ::testing::Test {
 public:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  bool open(const std::string& name) {
    std::string path = test::corpusDir() + "/" + name;
    if (!std::filesystem::exists(path)) return false;
    file_ = std::make_unique<DatabaseFile>(path, false, nullptr);
    if (!file_->opened()) return false;
    catalog_ = std::make_unique<Catalog>(file_.get());
    loadCatalog(*file_, *catalog_, path);
    return true;
  }

  // Every record on the data pages of a user table.
  std::vector<CPrimaryRecord> recordsOf(const std::string& table) {
    std::vector<CPrimaryRecord> records;
    catalog_->prepareObjectSchema(table, "U ", {});
    for (PageId id : catalog_->schema.dataPages) {
      auto page = file_->loadDataPage(id);
      if (!page) continue;
      for (size_t slot = 0; slot < page->records().size(); ++slot) {
        const CPrimaryRecord* record = page->record(slot);
        if (record && !record->error && record->fixedData) records.push_back(*record);
      }
    }
    return records;
  }

  // The value behind a record's variable column, which must hold a text pointer.
  std::string valueAt(const CPrimaryRecord& record, size_t column, LobFlags flags) {
    if (column >= record.varColumns.size() || !record.varColumns[column].data) return "<no column>";
    const auto& bytes = *record.varColumns[column].data;
    ByteView value(bytes.data(), static_cast<int64_t>(bytes.size()));
    auto pointer = parseTextPointer(*file_, value, flags);
    if (!pointer) return "<no text pointer>";
    return readTextPointer(*pointer, nullptr);
  }

 private:
  std::unique_ptr<DatabaseFile> file_;
  std::unique_ptr<Catalog> catalog_;
};

constexpr LobFlags kText{};
constexpr LobFlags kImage{true, false, false};
constexpr LobFlags kNtext{false, false, true};

// pub_info (pub_id char(4), logo image, pr_info text): pr_info of 0736 is 65071 bytes
// under a root with one Internal node; every logo is one or two data records.
void checkPubInfo(LargeObjectCorpus& test, const std::string& database, const std::string& script,
                  const std::vector<CPrimaryRecord>& records) {
  SCOPED_TRACE(database);
  std::map<std::string, Row> truth;
  for (const Row& row : insertedRows(readScript(script), "insert pub_info values(")) truth[row.at(0)] = row;
  ASSERT_EQ(truth.size(), 8u);
  size_t matched = 0;
  for (const CPrimaryRecord& record : records) {
    std::string pubId(record.fixedData->begin(), record.fixedData->end());
    auto row = truth.find(pubId);
    ASSERT_NE(row, truth.end()) << pubId;
    std::string logo = test.valueAt(record, 0, kImage);
    std::string prInfo = test.valueAt(record, 1, kText);
    EXPECT_EQ(logo, row->second.at(1)) << pubId;
    EXPECT_TRUE(matchesScript(prInfo, row->second.at(2))) << pubId << ": " << prInfo.substr(0, 200);
    if (pubId == "0736") {
      EXPECT_EQ(prInfo.rfind("This is sample text data for New Moon Books", 0), 0u);
      EXPECT_EQ(withoutCarriageReturns(prInfo).size(), withoutCarriageReturns(row->second.at(2)).size());
    }
    if (pubId == "9901") {
      EXPECT_NE(prInfo.find("located in M\xC3\xBCnchen, Germany."), std::string::npos);
    }
    ++matched;
  }
  EXPECT_EQ(matched, 8u);
}

TEST_F(LargeObjectCorpus, PubInfoOfSql2005UpgradeMatchesItsScript) {
  if (!open("v611_pubs.mdf")) GTEST_SKIP() << "corpus file missing";
  checkPubInfo(*this, "v611_pubs", "v611_pubs.truth.sql", recordsOf("dbo.pub_info"));
}

TEST_F(LargeObjectCorpus, PubInfoOfSql2008MatchesItsScript) {
  if (!open("v655_pubs_latin1.mdf")) GTEST_SKIP() << "corpus file missing";
  checkPubInfo(*this, "v655_pubs_latin1", "v655_pubs_latin1.truth.sql", recordsOf("dbo.pub_info"));
}

TEST_F(LargeObjectCorpus, PubInfoOfSql2014MatchesItsScript) {
  if (!open("v782_pubs_edc.mdf")) GTEST_SKIP() << "corpus file missing";
  checkPubInfo(*this, "v782_pubs_edc", "v782_pubs_edc.truth.sql", recordsOf("dbo.pub_info"));
}

// Categories (CategoryName nvarchar, Description ntext, Picture image): short
// descriptions are small roots, long ones and the pictures large roots over data.
// Employees: Photo image and Notes ntext are the 12th and 13th variable columns.
void checkNorthwind(LargeObjectCorpus& test, const std::string& script) {
  std::string text = readScript(script);
  std::map<int32_t, Row> categories, employees;
  for (const Row& row : insertedRows(text, "INSERT \"Categories\"(")) categories[std::stoi(row.at(0))] = row;
  for (const Row& row : insertedRows(text, "INSERT \"Employees\"(")) employees[std::stoi(row.at(0))] = row;
  ASSERT_EQ(categories.size(), 8u);
  ASSERT_EQ(employees.size(), 9u);

  size_t matched = 0;
  for (const CPrimaryRecord& record : test.recordsOf("dbo.Categories")) {
    const Row& row = categories.at(readI32(record.fixedData->data()));
    EXPECT_EQ(test.valueAt(record, 1, kNtext), row.at(2));
    EXPECT_EQ(test.valueAt(record, 2, kImage), row.at(3));
    ++matched;
  }
  EXPECT_EQ(matched, 8u);

  matched = 0;
  for (const CPrimaryRecord& record : test.recordsOf("dbo.Employees")) {
    const Row& row = employees.at(readI32(record.fixedData->data()));
    EXPECT_EQ(test.valueAt(record, 11, kImage), row.at(14));
    EXPECT_TRUE(matchesScript(test.valueAt(record, 12, kNtext), row.at(15))) << row.at(1);
    ++matched;
  }
  EXPECT_EQ(matched, 9u);
}

TEST_F(LargeObjectCorpus, NorthwindOfSql2008MatchesItsScript) {
  if (!open("v655_northwind.mdf")) GTEST_SKIP() << "corpus file missing";
  checkNorthwind(*this, "v655_northwind.truth.sql");
}

TEST_F(LargeObjectCorpus, NorthwindOfSql2008R2MatchesItsScript) {
  if (!open("v661_northwind.mdf")) GTEST_SKIP() << "corpus file missing";
  checkNorthwind(*this, "v661_northwind.truth.sql");
}

// Text pages belong to no page map: they are found by reading every page header. The
// counts were taken independently from the raw files.
struct TextPageCensus {
  std::map<uint16_t, int> structures;
  int completeRoots = 0;
  int roots = 0;
};

TextPageCensus takeCensus(const DatabaseFile& file) {
  TextPageCensus census;
  for (int32_t position = 1; position < file.pageCount(); ++position) {
    auto header = file.loadPageHeader({1, position});
    if (!header || !isTextPage(*header)) continue;
    auto page = loadTextPage(file, {1, position});
    if (!page) continue;
    for (size_t slot = 0; slot < page->recordCount(); ++slot) {
      const TextRecord* record = page->record(slot);
      if (!record || !record->payload || record->payload->size() < kLobHeaderSize) continue;
      ++census.structures[record->structureType];
      auto root = LargeRootYukon::decode(*record, &file);
      if (!root || root->links.empty()) continue;
      ++census.roots;
      LobWalk walk(file);
      walk.gatherAt({{1, position}, static_cast<uint16_t>(slot)}, record->blobId);
      GatheredValue value = walk.take();
      // A link's offset is where its child's bytes end within the value.
      if (value.complete && value.size == root->links.back().offset) ++census.completeRoots;
    }
  }
  return census;
}

TEST(LargeObjectTextPages, PubsTextPagesHoldWholeValues) {
  const std::map<std::string, std::map<uint16_t, int>> expected = {
      {"v611_pubs.mdf", {{2, 1}, {3, 28}, {4, 16}}},
      {"v655_pubs_latin1.mdf", {{2, 1}, {3, 28}, {5, 16}}},
      {"v782_pubs_edc.mdf", {{2, 1}, {3, 31}, {5, 16}}},
  };
  for (const auto& [name, structures] : expected) {
    SCOPED_TRACE(name);
    resetApplicationState();
    std::string path = test::corpusDir() + "/" + name;
    if (!std::filesystem::exists(path)) continue;
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    TextPageCensus census = takeCensus(file);
    EXPECT_EQ(census.structures, structures);
    EXPECT_EQ(census.roots, 16);
    EXPECT_EQ(census.completeRoots, 16);
  }
  resetApplicationState();
}

// Northwind keeps unallocated pages with stale contents; one stale root links to an
// allocation page and to a small root of another value. Every live root is whole.
TEST(LargeObjectTextPages, NorthwindStaleRootIsNotTakenForWhole) {
  resetApplicationState();
  std::string path = test::corpusDir() + "/v655_northwind.mdf";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus file missing";
  DatabaseFile file(path, false, nullptr);
  ASSERT_TRUE(file.opened());
  TextPageCensus census = takeCensus(file);
  EXPECT_EQ(census.structures, (std::map<uint16_t, int>{{0, 6}, {3, 71}, {4, 42}, {8, 37}}));
  EXPECT_EQ(census.roots, 42);
  EXPECT_EQ(census.completeRoots, 41);
  resetApplicationState();
}

}  // namespace
}  // namespace orodorev
