#include <gtest/gtest.h>

#include <set>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "catalog/Catalog.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

std::vector<uint8_t> utf16(const std::string& ascii) {
  std::vector<uint8_t> bytes;
  for (char c : ascii) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(0);
  }
  return bytes;
}

// A database file whose pages 10 and 11 hold the given records of system objects.
class CatalogLoadTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  void putPage(std::vector<uint8_t>& bytes, int position, int32_t objectId,
               const std::vector<std::vector<uint8_t>>& records) {
    auto page = test::makePage(objectId, 1, position);
    std::vector<uint16_t> slots;
    size_t offset = 96;
    for (const auto& record : records) {
      test::putBytes(page, offset, record);
      slots.push_back(static_cast<uint16_t>(offset));
      offset += record.size();
    }
    test::setSlots(page, slots);
    std::copy(page.begin(), page.end(), bytes.begin() + position * 8192);
  }

  static std::vector<uint8_t> objectRecord(int32_t id, std::optional<std::string> name) {
    std::vector<uint8_t> fixed(24, 0);
    writeU32(fixed.data(), static_cast<uint32_t>(id));
    fixed[13] = 'U';
    fixed[14] = ' ';
    if (!name) return test::plainRecord(0x10, fixed, 8);
    return test::plainRecord(0x30, fixed, 9, {utf16(*name)});
  }

  static std::vector<uint8_t> columnRecord(int32_t columnId, const std::string& name, int32_t status,
                                           const std::vector<uint8_t>& identity) {
    std::vector<uint8_t> fixed(41, 0);
    writeU32(fixed.data(), 600);
    writeU32(fixed.data() + 6, static_cast<uint32_t>(columnId));
    fixed[10] = 56;
    writeU32(fixed.data() + 23, static_cast<uint32_t>(status));
    return test::plainRecord(0x30, fixed, 12, {utf16(name), identity});
  }

  test::TempDir dir;
  HeadlessFrame frame;
};

TEST_F(CatalogLoadTest, MissingNamesAreInventedAndIdentitiesRead) {
  auto bytes = test::makeDatabaseBytes(16);
  putPage(bytes, 10, 34, {objectRecord(600, std::nullopt), objectRecord(601, std::string(1, '\0')), objectRecord(602, "T"),
                          objectRecord(0, "ignored")});
  std::vector<uint8_t> seedWords(12, 0);
  writeU32(seedWords.data() + 4, 100);
  putPage(bytes, 11, 41, {columnRecord(1, "a", 5, {1, 0, 0, 0}), columnRecord(2, "b", 5, seedWords),
                          columnRecord(3, "", 0, {}), columnRecord(4, "c", 4, seedWords)});
  appState().isSql2000 = true;  // the load decides for itself
  DatabaseFile file(dir.write("names.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  Catalog catalog(&file);
  loadCatalog(file, catalog, file.path());

  EXPECT_FALSE(appState().isSql2000);
  ASSERT_EQ(catalog.objects.size(), 3u);
  // No name column, then a name column holding empty text.
  EXPECT_EQ(catalog.objects[0].name, "Repairname0");
  EXPECT_EQ(catalog.objects[1].name, "RepairColumn1");
  EXPECT_EQ(catalog.objects[2].name, "T");
  EXPECT_EQ(catalog.objects[2].type, "U ");
  ASSERT_EQ(catalog.columns.size(), 4u);
  EXPECT_EQ(catalog.columns[0].identityText, "identity(1,1)");
  EXPECT_EQ(catalog.columns[1].identityText, "identity(100,1)");
  EXPECT_EQ(catalog.columns[2].name, "RepairColumn0");
  EXPECT_EQ(catalog.columns[3].identityText, "");
}

TEST_F(CatalogLoadTest, NoObjectPagesMeansTheOlderLayout) {
  auto bytes = test::makeDatabaseBytes(16);
  std::vector<uint8_t> fixed(28, 0);
  writeU32(fixed.data(), 700);
  fixed[4] = 'U';
  fixed[5] = ' ';
  writeU32(fixed.data() + 24, 42);
  putPage(bytes, 10, 1, {test::plainRecord(0x30, fixed, 9, {utf16("Legacy")})});
  DatabaseFile file(dir.write("legacy.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  Catalog catalog(&file);
  loadCatalog(file, catalog, file.path());
  EXPECT_TRUE(appState().isSql2000);
  ASSERT_EQ(catalog.objects.size(), 1u);
  EXPECT_EQ(catalog.objects[0].name, "Legacy");
  EXPECT_EQ(catalog.objects[0].type, "U ");
  EXPECT_EQ(catalog.objects[0].parentId, 42);
}

TEST(CorpusCatalog, EveryFileHasObjectsInItsLayout) {
  for (const std::string& path : test::corpusDataFiles()) {
    SCOPED_TRACE(path);
    resetApplicationState();
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    Catalog catalog(&file);
    loadCatalog(file, catalog, path);
    bool written2000 = path.find("/v539_") != std::string::npos;
    EXPECT_EQ(appState().isSql2000, written2000);
    EXPECT_GT(catalog.objects.size(), 10u);
    size_t userTables = 0;
    for (const ObjectRow& object : catalog.objects) {
      if (object.type != "U ") continue;
      ++userTables;
      catalog.prepareObjectSchema(object.name, "U ", {});
      EXPECT_FALSE(catalog.schema.descriptors.empty()) << object.name;
    }
    EXPECT_GT(userTables, 0u);
    // Pages of user tables that share a system table's object id are no system rows:
    // every rowset read names an object of the catalog.
    std::set<int32_t> ids;
    for (const ObjectRow& object : catalog.objects) ids.insert(object.id);
    for (const RowsetRow& rowset : catalog.rowsets) {
      if (rowset.rowsetId != 0) {
        EXPECT_TRUE(ids.count(rowset.objectId)) << "rowset of object " << rowset.objectId;
      }
    }
  }
  resetApplicationState();
}

}  // namespace
}  // namespace orodorev
