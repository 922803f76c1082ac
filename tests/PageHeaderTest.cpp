#include <gtest/gtest.h>

#include "storage/ByteOrder.h"
#include "storage/Page.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

TEST(TornBits, AllOnesSetsLowBitsOfEachSectorButTheFirst) {
  auto page = test::makePage(5, 1, 7);
  writeU16(page.data() + 4, kTornBitsValid);
  writeU32(page.data() + 60, 0xFFFFFFFFu);
  CPage_Header header(page.data());
  EXPECT_EQ(page[511], 0);
  for (int sector = 1; sector < 16; ++sector)
    EXPECT_EQ(page[512 * (sector + 1) - 1], 3) << "sector " << sector;
}

TEST(TornBits, EachSectorGetsItsOwnPair) {
  auto page = test::makePage(5, 1, 7);
  for (int sector = 0; sector < 16; ++sector) page[512 * (sector + 1) - 1] = 0xFF;
  // sector 1 -> 0, sector 2 -> 1, sector 3 -> 2, sector 15 -> 2, others 3
  uint32_t bits = 0xFFFFFFFFu;
  bits &= ~(3u << 2);
  bits = (bits & ~(3u << 4)) | (1u << 4);
  bits = (bits & ~(3u << 6)) | (2u << 6);
  bits = (bits & ~(3u << 30)) | (2u << 30);
  restoreTornBits(page.data(), bits);
  EXPECT_EQ(page[511], 0xFF);
  EXPECT_EQ(page[1023], 0xFC);
  EXPECT_EQ(page[1535], 0xFD);
  EXPECT_EQ(page[2047], 0xFE);
  EXPECT_EQ(page[2559], 0xFF);
  EXPECT_EQ(page[8191], 0xFE);
}

TEST(PageHeader, DecodesFieldsAndLeavesBufferWhenTornBitsInvalid) {
  auto page = test::makePage(-12345, 10, 7, 1);
  page[2] = kCompressedPageFlag;
  page[3] = 2;
  writeU16(page.data() + 6, 256);
  writeU32(page.data() + 8, 6);
  writeU16(page.data() + 12, 1);
  writeU32(page.data() + 16, 8);
  writeU16(page.data() + 20, 3);
  writeU16(page.data() + 22, 17);
  writeU16(page.data() + 28, 0xFFFF);
  writeU32(page.data() + 40, 0xFFFFFFFFu);
  writeU32(page.data() + 44, 250);
  writeU16(page.data() + 48, 2);
  writeU32(page.data() + 52, 1234);
  writeU16(page.data() + 56, 0xFFFE);
  writeU16(page.data() + 58, 4);
  writeU32(page.data() + 60, 0xFFFFFFFFu);
  for (int sector = 0; sector < 16; ++sector) page[512 * (sector + 1) - 1] = 0x80;
  const auto before = page;

  CPage_Header header(page.data());
  EXPECT_EQ(page, before);
  EXPECT_EQ(header.thisPage, (PageId{1, 7}));
  EXPECT_EQ(header.prevPage, (PageId{1, 6}));
  EXPECT_EQ(header.nextPage, (PageId{3, 8}));
  EXPECT_EQ(header.objectId, -12345);
  EXPECT_EQ(header.pageType, 10);
  EXPECT_EQ(header.typeFlagBits, kCompressedPageFlag);
  EXPECT_EQ(header.level, 2);
  EXPECT_EQ(header.indexId, 256);
  EXPECT_EQ(header.slotCount, 17);
  EXPECT_EQ(header.freeCount, -1);
  EXPECT_EQ(header.ghostRecordCount, 4);
  EXPECT_EQ(header.lsnText, "( -1 : 250 : 2 )");
  EXPECT_EQ(header.xdesText, "( -2 : 1234 )");
}

TEST(PageHeader, DefaultAddressesAreFileOnePageZero) {
  CPage_Header header;
  EXPECT_EQ(header.thisPage, (PageId{1, 0}));
  EXPECT_EQ(header.nextPage, (PageId{1, 0}));
  EXPECT_EQ(header.prevPage, (PageId{1, 0}));
}

TEST(Page, ShortBufferIsPaddedToAWholePage) {
  CPage page(PageBuffer(100, 0x0A), nullptr);
  EXPECT_EQ(page.data()[99], 0x0A);
  EXPECT_EQ(page.data()[8191], 0);
  EXPECT_EQ(page.header().pageType, 0x0A);
}

}  // namespace
}  // namespace orodorev
