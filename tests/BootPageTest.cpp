#include <gtest/gtest.h>

#include <filesystem>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/BootPage.h"
#include "storage/ByteOrder.h"
#include "storage/FileSet.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

class BootPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetApplicationState();
    appState().collations = {{52, {"Sort52", 1250}},
                             {872468488, {"SQL_Latin1_General_CP1_CI_AS", 1252}},
                             {53256, {"Latin1_General_CI_AS", 1252}}};
  }
  void TearDown() override {
    resetApplicationState();
    appState().collations.clear();
  }

  static std::vector<uint8_t> bootPage(uint16_t version, const std::u16string& name, int32_t collation,
                                       uint16_t padding = 0x2020) {
    auto page = test::makePage(99, 13, 9);
    writeU16(page.data() + 100, version);
    for (size_t i = 0; i < 128; ++i)
      writeU16(page.data() + 148 + 2 * i, i < name.size() ? static_cast<uint16_t>(name[i]) : padding);
    writeU32(page.data() + 488, static_cast<uint32_t>(collation));
    return page;
  }
};

TEST_F(BootPageTest, VersionTexts) {
  const std::pair<uint16_t, const char*> cases[] = {
      {408, " SQL Server 6.5"},  {515, " SQL Server 7.0"},     {539, " SQL Server 2000"},
      {611, " SQL Server 2005"}, {612, " SQL Server 2005 SP2+ with VarDecimal enabled"},
      {613, "Unknown SQL Version"}, {655, " SQL Server 2008"}, {660, " SQL Server 2008 R2"},
      {661, " SQL Server 2008 R2"}, {684, " SQL Server 2012 CTP1"}, {706, " SQL Server 2012"},
      {782, " SQL Server 2014"}, {852, " SQL Server 2016"},     {868, " SQL Server 2017"},
      {869, " SQL Server 2017"}, {870, "Unknown SQL Version"}, {895, " SQL Server 2019"},
      {904, " SQL Server 2019"}, {905, "Unknown SQL Version"}, {950, " SQL Server 2022"},
      {957, " SQL Server 2022"}, {958, "Unknown SQL Version"}, {0, "Unknown SQL Version"}};
  for (auto [version, text] : cases) EXPECT_EQ(versionText(version), text) << version;
}

TEST_F(BootPageTest, NamesLoseOnlyTheirPadding) {
  const std::pair<std::u16string, std::string> cases[] = {
      {u"Sales", "Sales"},
      {u"Sales Archive", "Sales Archive"},
      {u" Sales", " Sales"},
      {u"C:\\YENI KLAS\u00d6R\\DB.MDF", "C:\\YENI KLAS\xC3\x96R\\DB.MDF"},
      {u"\u0411\u0430\u0437\u0430", "\u0411\u0430\u0437\u0430"},
      {u"", ""},
  };
  for (const auto& [name, expected] : cases) {
    auto page = bootPage(706, name, 53256);
    EXPECT_EQ(CBootPage(page.data()).databaseName, expected);
  }
  auto blankPadded = bootPage(706, u"Sales", 53256, 0x0020);
  EXPECT_EQ(CBootPage(blankPadded.data()).databaseName, "Sales");
  auto long128 = bootPage(706, std::u16string(128, u'x'), 53256);
  EXPECT_EQ(CBootPage(long128.data()).databaseName, std::string(128, 'x'));
}

TEST_F(BootPageTest, CollationIsLookedUpWholeThenByItsLowSixteenBits) {
  auto page = bootPage(782, u"db", 872468488);
  CBootPage boot(page.data());
  EXPECT_EQ(boot.version, 782);
  EXPECT_EQ(appState().databaseVersionText, " SQL Server 2014");
  EXPECT_EQ(boot.collationId, 872468488);
  EXPECT_TRUE(appState().collationFound);
  EXPECT_EQ(appState().currentCollationId, 872468488);
  EXPECT_EQ(appState().collationName, "SQL_Latin1_General_CP1_CI_AS");

  auto retried = bootPage(782, u"db", 65536 + 52);
  CBootPage second(retried.data());
  EXPECT_EQ(appState().currentCollationId, 52);
  EXPECT_EQ(appState().currentCodePage, 1250);
  EXPECT_EQ(appState().collationName, "Sort52");
}

TEST_F(BootPageTest, UnknownCollationChangesNothingAndManualChoiceWins) {
  auto unknown = bootPage(782, u"db", 123456789);
  CBootPage first(unknown.data());
  EXPECT_FALSE(appState().collationFound);
  EXPECT_EQ(appState().currentCollationId, -1);
  EXPECT_EQ(appState().currentCodePage, 1252);

  appState().autoCollation = false;
  appState().manualCollationId = 52;
  CBootPage manual(unknown.data());
  EXPECT_EQ(manual.collationId, 0);
  EXPECT_EQ(appState().collationName, "Sort52");
  EXPECT_EQ(appState().currentCodePage, 1250);
}

// Pages of object 7 carrying numbers one higher than their positions move the boot
// page one position down.
TEST_F(BootPageTest, BootPageFollowsDisplacedPageNumbers) {
  test::TempDir dir;
  for (int displacement : {0, 1}) {
    SCOPED_TRACE(displacement);
    auto bytes = test::makeDatabaseBytes(16);
    auto allocationUnits = test::makePage(7, 1, 12 + displacement);
    std::copy(allocationUnits.begin(), allocationUnits.end(), bytes.begin() + 12 * 8192);
    auto boot = bootPage(655, u"Displaced", 53256);
    std::copy(boot.begin(), boot.end(), bytes.begin() + (9 - displacement) * 8192);
    HeadlessFrame frame;
    DatabaseFile file(dir.write("boot" + std::to_string(displacement) + ".mdf", bytes), false, &frame);
    ASSERT_TRUE(file.opened());
    auto parsed = readDatabaseName(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(file.databaseName, "Displaced");
    EXPECT_EQ(parsed->version, 655);
  }
}

TEST_F(BootPageTest, NoBootPageWithoutItsNeighbours) {
  test::TempDir dir;
  HeadlessFrame frame;
  DatabaseFile file(dir.write("small.mdf", test::makeDatabaseBytes(9)), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_FALSE(readDatabaseName(file));
  EXPECT_EQ(file.databaseName, "");
}

TEST(SecondaryFilePath, LooksInThePrimaryFolderUnderTheNdfName) {
  EXPECT_EQ(folderOf("/data/x/main.mdf"), "/data/x/");
  EXPECT_EQ(folderOf("C:\\\\data\\\\main.mdf"), "C:\\data\\");
  EXPECT_EQ(folderOf("main.mdf"), "");
  EXPECT_EQ(secondaryFilePath("/X/", "D:\\old\\data2.ndx"), "/X/data2.ndf");
  EXPECT_EQ(secondaryFilePath("/X/", "D:\\old\\data2"), "/X/data2");
  EXPECT_EQ(secondaryFilePath("/X/", "archive.part.NDF"), "/X/archive.part.ndf");
}

class FileSetTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }

  // A secondary file whose pages carry the given file id; page 1 is a data page of 500.
  std::vector<uint8_t> secondaryBytes(int16_t fileId) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 10; ++i) {
      int32_t owner = i == 1 ? 500 : (i == 2 ? 34 : 0);
      auto page = test::makePage(owner, i == 0 ? 15 : 1, i, fileId);
      bytes.insert(bytes.end(), page.begin(), page.end());
    }
    return bytes;
  }

  test::TempDir dir;
  HeadlessFrame frame;
};

TEST_F(FileSetTest, FileListRowsAreFoundBesideThePrimaryFile) {
  std::string primary = dir.write("main.mdf", test::makeDatabaseBytes(12));
  dir.write("Sales2.NDF", secondaryBytes(3));
  DatabaseFile file(primary, false, &frame);
  ASSERT_TRUE(file.opened());
  std::vector<FileRow> list(3);
  list[0].fileId = 1;
  list[0].physicalName = "C:\\db\\main.mdf";
  list[1].fileId = 2;
  list[1].physicalName = "C:\\db\\main_log.ldf";
  list[2].fileId = 3;
  list[2].physicalName = "C:\\db\\Sales2.ndf";
  discoverSecondaryFiles(file, list, primary);

  EXPECT_EQ(list[0].physicalName, "C:\\db\\main.mdf");
  EXPECT_EQ(list[1].physicalName, dir.path() + "/main_log.ndf");
  EXPECT_EQ(list[1].pageCount, 0);
  EXPECT_EQ(list[2].physicalName, dir.path() + "/Sales2.NDF");
  EXPECT_EQ(list[2].pageCount, 10);
  ASSERT_EQ(file.secondaryFileMap.count(3), 1u);
  EXPECT_EQ(file.secondaryFileMap.count(2), 0u);
  ASSERT_EQ(file.dataPageMap.at(500).size(), 1u);
  EXPECT_EQ(file.dataPageMap.at(500)[0].fileId, 3);
  EXPECT_EQ(file.systemPageMap.at(34).at(0).fileId, 3);
  auto page = file.readPage({3, 1});
  ASSERT_TRUE(page);
  EXPECT_EQ(readI32(page->data() + 24), 500);
}

TEST_F(FileSetTest, WithoutAFileListTheFolderIsSearched) {
  std::string primary = dir.write("main.mdf", test::makeDatabaseBytes(12));
  dir.write("a.ndf", secondaryBytes(4));
  dir.write("b.ndf", secondaryBytes(1));  // pages of the primary file: not a secondary file
  dir.write("notes.txt", secondaryBytes(5));
  DatabaseFile file(primary, false, &frame);
  ASSERT_TRUE(file.opened());
  std::vector<FileRow> list;
  discoverSecondaryFiles(file, list, primary);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].fileId, 4);
  EXPECT_EQ(list[0].physicalName, dir.path() + "/a.ndf");
  EXPECT_EQ(file.secondaryFileMap.size(), 1u);
  EXPECT_EQ(file.secondaryFileMap.count(4), 1u);
  // b.ndf is dropped, but the pages it added stay in the maps.
  EXPECT_EQ(file.dataPageMap.at(500).size(), 2u);
}

}  // namespace
}  // namespace orodorev
