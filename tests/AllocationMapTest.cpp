#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/AllocationMap.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

// An IAM page: slot 0 the header record (start page at fixed 36, single pages from
// fixed 42), slot 1 the extent bitmap.
std::vector<uint8_t> iamPage(int32_t thisPage, const std::vector<uint8_t>& bitmap,
                             std::vector<std::pair<int32_t, int16_t>> singles, int32_t startPage = 0,
                             bool withBitmap = true) {
  auto page = test::makePage(300, 10, thisPage);
  std::vector<uint8_t> header(90, 0);
  writeU32(header.data() + 36, static_cast<uint32_t>(startPage));
  writeU16(header.data() + 40, 1);
  for (size_t k = 0; k < singles.size(); ++k) {
    writeU32(header.data() + 42 + 6 * k, static_cast<uint32_t>(singles[k].first));
    writeU16(header.data() + 46 + 6 * k, static_cast<uint16_t>(singles[k].second));
  }
  auto headerRecord = test::plainRecord(0x00, header, 1);
  test::putBytes(page, 96, headerRecord);
  if (!withBitmap) {
    test::setSlots(page, {96});
    return page;
  }
  std::vector<uint8_t> bits(bitmap);
  bits.resize(7988, 0);
  test::putBytes(page, 190, test::plainRecord(0x00, bits, 1));
  test::setSlots(page, {96, 190});
  return page;
}

class AllocationMapTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }

  // A 64-page database file (8 extents) with the IAM page at position 20.
  std::unique_ptr<DatabaseFile> fileWith(const std::vector<uint8_t>& iam) {
    auto bytes = test::makeDatabaseBytes(64);
    std::copy(iam.begin(), iam.end(), bytes.begin() + 20 * 8192);
    auto file = std::make_unique<DatabaseFile>(dir.write("iam.mdf", bytes), false, &frame);
    EXPECT_TRUE(file->opened());
    return file;
  }

  static std::vector<int32_t> firstPages(const std::vector<ExtentEntry>& extents) {
    std::vector<int32_t> pages;
    for (const ExtentEntry& extent : extents) pages.push_back(extent.first.pageNumber);
    return pages;
  }

  test::TempDir dir;
  HeadlessFrame frame;
};

TEST_F(AllocationMapTest, BitmapAndSinglePages) {
  auto file = fileWith(iamPage(20, {0x05}, {{17, 1}, {30, 1}}));
  auto iam = file->loadIamPage({1, 20});
  ASSERT_TRUE(iam);
  EXPECT_EQ(iam->bitCount, 7988 * 8);
  EXPECT_EQ(iam->singlePages[0], (PageId{1, 17}));
  EXPECT_EQ(iam->singlePages[1], (PageId{1, 30}));
  EXPECT_EQ(iam->singlePages[2], (PageId{0, 0}));
  auto extents = extentList(*iam);
  EXPECT_EQ(firstPages(extents), (std::vector<int32_t>{0, 16}));
  EXPECT_EQ(iam->allocatedExtentCount, 2);
  EXPECT_EQ(extents[1].last, (PageId{1, 23}));
  auto pages = extentPages(extents[1]);
  EXPECT_EQ(extents[1].pageCount, 8);
  ASSERT_EQ(pages.size(), 8u);
  EXPECT_EQ(pages.front(), (PageId{1, 16}));
  EXPECT_EQ(pages.back(), (PageId{1, 23}));
}

TEST_F(AllocationMapTest, BitsBeyondTheFileAreNotListed) {
  auto file = fileWith(iamPage(20, {0x81, 0xFF}, {}));
  auto iam = file->loadIamPage({1, 20});
  ASSERT_TRUE(iam);
  EXPECT_EQ(firstPages(extentList(*iam)), (std::vector<int32_t>{0, 56}));
}

TEST_F(AllocationMapTest, WithoutBitmapRecordOnlySinglePages) {
  auto file = fileWith(iamPage(20, {}, {{5, 1}}, 0, false));
  auto iam = file->loadIamPage({1, 20});
  ASSERT_TRUE(iam);
  EXPECT_EQ(iam->bitCount, 0);
  EXPECT_TRUE(extentList(*iam).empty());
  EXPECT_EQ(iam->singlePages[0], (PageId{1, 5}));
}

TEST_F(AllocationMapTest, SecondIntervalStartsAtItsFirstPage) {
  // Built in memory: a file of that size is not needed to see where bit 0 points.
  ExtentAllocationMap map(iamPage(kPagesPerInterval + 100, {0x01}, {}), nullptr);
  EXPECT_EQ(map.intervalStart(), (PageId{1, kPagesPerInterval}));
  IamPage named(iamPage(20, {0x01}, {}, kPagesPerInterval), nullptr);
  ASSERT_TRUE(named.mappedInterval);
  EXPECT_EQ(*named.mappedInterval, (PageId{1, kPagesPerInterval}));
  // Without a file there is no size to list extents within.
  EXPECT_TRUE(extentList(named).empty());
}

TEST(ExtentPages, EmptyWhenLastIsBeforeFirst) {
  ExtentEntry entry{0, {1, 16}, {1, 15}};
  EXPECT_TRUE(extentPages(entry).empty());
  EXPECT_EQ(entry.pageCount, 0);
}

}  // namespace
}  // namespace orodorev
