// Every table of every real file decodes, deleted records included, and text comes out
// in the database's own code page.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ApplicationState.h"
#include "catalog/Catalog.h"
#include "rows/RowReader.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

class CorpusRows : public ::testing::Test {
 protected:
  void SetUp() override {
    resetApplicationState();
    std::ifstream shipped(ORODOREV_SHIPPED_COLLATIONS, std::ios::binary);
    readCollationLines(shipped, appState().collations);
  }
  void TearDown() override {
    resetApplicationState();
    appState().collations.clear();
  }

  // Rows of every user table, keyed by table name.
  std::map<std::string, std::vector<Row>> readAll(const std::string& path) {
    std::map<std::string, std::vector<Row>> tables;
    DatabaseFile file(path, false, nullptr);
    EXPECT_TRUE(file.opened());
    Catalog catalog(&file);
    loadCatalog(file, catalog, path);
    bool rowsetReader = usesRowsetReader(catalog);
    for (const ObjectRow& object : catalog.objects) {
      if (object.type != "U ") continue;
      auto columns = catalog.prepareObjectSchema(object.name, "U ", {});
      auto& rows = tables[object.name];
      for (const PageId& page : catalog.schema.dataPages)
        for (Row& row : readDataPageRows(file, page, columns, rowsetReader)) rows.push_back(std::move(row));
    }
    return tables;
  }
};

TEST_F(CorpusRows, EveryTableDecodesWithAndWithoutDeletedRecords) {
  for (const std::string& path : test::corpusDataFiles()) {
    SCOPED_TRACE(path);
    for (bool deleted : {false, true}) {
      appState().showDeleted = deleted;
      appState().showAdvancedDeleted = deleted;
      size_t rows = 0;
      for (const auto& [name, tableRows] : readAll(path)) rows += tableRows.size();
      EXPECT_GT(rows, 0u);
    }
  }
}

TEST_F(CorpusRows, PolishTextReadsInItsCodePage) {
  auto tables = readAll(test::corpusDir() + "/v539_sbt_dane2.mdf");
  bool found = false;
  for (const Row& row : tables["Czlonkowie_klubu"])
    for (const ColumnDescriptor& column : row) found = found || column.valueText == "\xC5\x81om\xC5\xBC" "a";
  EXPECT_TRUE(found) << "no member from \xC5\x81om\xC5\xBC" "a";
}

}  // namespace
}  // namespace orodorev
