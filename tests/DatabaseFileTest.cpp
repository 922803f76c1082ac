#include <gtest/gtest.h>

#include <atomic>
#include <sys/stat.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

using Kind = FrameCallKind;

class DatabaseFileTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  std::vector<uint8_t> pages(std::initializer_list<std::vector<uint8_t>> list) {
    std::vector<uint8_t> bytes;
    for (const auto& page : list) bytes.insert(bytes.end(), page.begin(), page.end());
    return bytes;
  }

  test::TempDir dir;
  HeadlessFrame frame;
};

TEST_F(DatabaseFileTest, MissingFileCannotBeOpened) {
  DatabaseFile file(dir.path() + "/absent.mdf", false, &frame);
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(frame.calls(), (std::vector<FrameCall>{{Kind::ScanError, kFileCannotBeOpen}}));
}

TEST_F(DatabaseFileTest, FolderCannotBeOpened) {
  DatabaseFile file(dir.path(), false, &frame);
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(frame.callsOf(Kind::ScanError).at(0).text, kFileCannotBeOpen);
}

TEST_F(DatabaseFileTest, FileShorterThanAPageIsNotValid) {
  DatabaseFile file(dir.write("short.mdf", std::vector<uint8_t>(8191, 0)), false, &frame);
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(frame.calls(), (std::vector<FrameCall>{{Kind::ScanError, kFileNotValid}}));
}

TEST_F(DatabaseFileTest, FileWithoutSystemPagesIsNotValid) {
  auto bytes = pages({test::makePage(500, 1, 0), test::makePage(500, 1, 1)});
  DatabaseFile file(dir.write("user-only.mdf", bytes), false, &frame);
  EXPECT_FALSE(file.opened());
  EXPECT_EQ(frame.callsOf(Kind::ScanError).at(0).text, kFileNotValid);
}

TEST_F(DatabaseFileTest, SinglePageFileOpensAndReportsProgressInOrder) {
  DatabaseFile file(dir.write("one.mdf", test::makePage(0, 15, 0)), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.fileSize(), 8192);
  EXPECT_EQ(file.pageCount(), 1);
  EXPECT_EQ(file.dataOffset(), 0);
  EXPECT_EQ(file.extentCount(), 0);
  const std::vector<FrameCall> expected = {
      {Kind::ProgressText, "Checking for file corruption ..........."},
      {Kind::ProgressRange, "", 0, 1},
      {Kind::ProgressPosition, "", 0},
      {Kind::ProgressPosition, "", 1},
      {Kind::ProgressText, "Checking for file corruption is done..........."},
      {Kind::ProgressRange, "", 0, 1},
      {Kind::ProgressPosition, "", 0},
      {Kind::ProgressText, "Mapping Database Objects..........."},
      {Kind::ProgressPosition, "", 1},
      {Kind::ProgressPosition, "", 1},
      {Kind::ProgressText, "Mapping of Database Objects has been done ......................"},
  };
  EXPECT_EQ(frame.calls(), expected);
  ASSERT_EQ(file.systemPageMap.size(), 1u);
  EXPECT_EQ(file.systemPageMap.at(0).size(), 1u);
}

TEST_F(DatabaseFileTest, MapsPagesByOwnerAndType) {
  auto bytes = pages({
      test::makePage(0, 15, 0),       // file header page: object 0, system
      test::makePage(99, 11, 1),      // allocation page of a system object
      test::makePage(34, 1, 2),       // system table data page: system and data maps
      test::makePage(2187, 1, 3),     // the one system object above 100
      test::makePage(101, 1, 4),      // first user object
      test::makePage(-77, 1, 5),      // negative id: not a system page
      test::makePage(101, 10, 6),     // IAM page of 101
      test::makePage(101, 2, 7),      // index page: in no map
      test::makePage(0, 1, 8, 3),     // data page of object 0: system map only
  });
  DatabaseFile file(dir.write("maps.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  auto entries = [](const PageMap& map, int32_t objectId) {
    std::vector<std::tuple<int, int, int>> list;
    if (auto it = map.find(objectId); it != map.end())
      for (const MappedPage& page : it->second) list.emplace_back(page.fileId, page.pageNumber, page.pageType);
    return list;
  };
  using List = std::vector<std::tuple<int, int, int>>;
  EXPECT_EQ(entries(file.systemPageMap, 0), (List{{1, 0, 15}, {3, 8, 1}}));
  EXPECT_EQ(entries(file.systemPageMap, 99), (List{{1, 1, 11}}));
  EXPECT_EQ(entries(file.systemPageMap, 34), (List{{1, 2, 1}}));
  EXPECT_EQ(entries(file.systemPageMap, 2187), (List{{1, 3, 1}}));
  EXPECT_EQ(file.systemPageMap.size(), 4u);
  EXPECT_EQ(entries(file.dataPageMap, 34), (List{{1, 2, 1}}));
  EXPECT_EQ(entries(file.dataPageMap, 2187), (List{{1, 3, 1}}));
  EXPECT_EQ(entries(file.dataPageMap, 101), (List{{1, 4, 1}}));
  EXPECT_EQ(entries(file.dataPageMap, -77), (List{{1, 5, 1}}));
  EXPECT_EQ(file.dataPageMap.size(), 4u);
  EXPECT_EQ(entries(file.iamPageMap, 101), (List{{1, 6, 10}}));
  EXPECT_EQ(file.iamPageMap.size(), 1u);
}

TEST_F(DatabaseFileTest, AlignedFileNeedsNoSecondPass) {
  DatabaseFile file(dir.write("aligned.mdf", test::makeDatabaseBytes(20)), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.dataOffset(), 0);
  auto texts = frame.callsOf(Kind::ProgressText);
  EXPECT_EQ(texts.size(), 4u);
}

TEST_F(DatabaseFileTest, BytesAppendedAfterTheLastPageAreFoundByTheSecondPass) {
  auto bytes = test::makeDatabaseBytes(20);
  bytes.insert(bytes.end(), 100, 0xEE);
  DatabaseFile file(dir.write("tail.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.pageCount(), 20);
  EXPECT_EQ(file.dataOffset(), 0);
  EXPECT_EQ(file.systemPageMap.at(99).at(1).pageNumber, 9);
}

TEST_F(DatabaseFileTest, BytesBeforeTheFirstPageKeepTheirOffset) {
  auto bytes = test::makeDatabaseBytes(20);
  bytes.insert(bytes.begin(), 100, 0xEE);
  DatabaseFile file(dir.write("head.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.dataOffset(), 100);
  auto page = file.readPage({1, 9});
  ASSERT_TRUE(page);
  EXPECT_EQ(readI32(page->data() + 32), 9);
}

TEST_F(DatabaseFileTest, UnalignedEverywhereKeepsTheGuessedOffset) {
  std::vector<uint8_t> bytes(20 * 8192 + 100, 0);
  writeU32(bytes.data() + 100 + 24, 5);  // one system page at the guessed offset
  DatabaseFile file(dir.write("lost.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.dataOffset(), 100);
}

TEST_F(DatabaseFileTest, ReadPageRefusesPageZeroAndAddressesOutsideTheFile) {
  DatabaseFile file(dir.write("read.mdf", test::makeDatabaseBytes(12)), false, &frame);
  ASSERT_TRUE(file.opened());
  EXPECT_FALSE(file.readPage({1, 0}));
  EXPECT_FALSE(file.readPage({1, -1}));
  EXPECT_FALSE(file.readPage({1, 12}));
  EXPECT_FALSE(file.readPage({1, 13}));
  EXPECT_FALSE(file.readPage({2, 3}));
  EXPECT_FALSE(file.readPage({0, 3}));
  auto page = file.readPage({1, 11});
  ASSERT_TRUE(page);
  EXPECT_EQ(page->size(), 8193u);
  EXPECT_EQ(readI32(page->data() + 32), 11);

  auto zero = file.loadDataPage({1, 0});
  ASSERT_TRUE(zero);
  EXPECT_EQ(zero->header().thisPage, (PageId{1, 0}));
  EXPECT_FALSE(file.loadRowDataPage({1, 0}));
  EXPECT_FALSE(file.loadDataPage({1, -3}));
  ASSERT_TRUE(file.loadRowDataPage({1, 5}));
  EXPECT_EQ(file.loadRowDataPage({1, 5})->header().thisPage.pageNumber, 5);

  auto header = file.loadPageHeader({1, 9});
  ASSERT_TRUE(header);
  EXPECT_EQ(header->objectId, 99);
  EXPECT_FALSE(file.loadPageHeader({1, 40}));
}

TEST_F(DatabaseFileTest, ReadsSecondaryFilePagesThroughTheFileMap) {
  DatabaseFile file(dir.write("primary.mdf", test::makeDatabaseBytes(12)), false, &frame);
  ASSERT_TRUE(file.opened());
  auto secondaryBytes = pages({test::makePage(0, 15, 0, 3), test::makePage(200, 1, 1, 3)});
  FileRow row;
  row.fileId = 3;
  row.physicalName = dir.write("second.ndf", secondaryBytes);
  row.fileSize = static_cast<int64_t>(secondaryBytes.size());
  row.pageCount = 2;
  file.secondaryFileMap[3] = row;
  auto page = file.readPage({3, 1});
  ASSERT_TRUE(page);
  EXPECT_EQ(readI32(page->data() + 24), 200);
  EXPECT_FALSE(file.readPage({3, 2}));
  file.secondaryFileMap[3].physicalName.clear();
  EXPECT_FALSE(file.readPage({3, 1}));
}

TEST_F(DatabaseFileTest, InputFileIsOpenedReadOnly) {
  std::string path = dir.write("readonly.mdf", test::makeDatabaseBytes(12));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  DatabaseFile file(path, false, &frame);
  EXPECT_TRUE(file.opened());
}

// A stop during the mapping pass keeps the pages mapped so far; the stop request is
// cleared once the open sequence ends.
TEST_F(DatabaseFileTest, StopDuringMappingKeepsPagesMappedSoFar) {
  std::atomic<int> positions{0};
  HeadlessFrame stopping([&](const FrameCall& call) {
    if (call.kind == Kind::ProgressText && call.text == "Mapping Database Objects...........")
      positions = 1;
    if (call.kind == Kind::ProgressPosition && positions > 0 && ++positions == 4)
      appState().stopRequest = true;
  });
  auto bytes = test::makeDatabaseBytes(1000);
  DatabaseFile file(dir.write("big.mdf", bytes), false, &stopping);
  EXPECT_TRUE(file.opened());
  EXPECT_FALSE(appState().stopRequest);
  // Positions are sent every 10 pages; the stop comes with the third one after 0.
  EXPECT_EQ(file.systemPageMap.at(0).back().pageNumber, 29);
}

}  // namespace
}  // namespace orodorev
