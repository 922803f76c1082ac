#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "storage/ByteOrder.h"
#include "storage/RecordExpander.h"
#include "storage/RecordPage.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

class RecordPageTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override {
    resetApplicationState();
    setRecordExpander(nullptr);
  }

  static std::vector<uint8_t> dataPage() { return test::makePage(200, 1, 5); }

  static std::vector<uint8_t> smallRecord(uint8_t marker = 0) {
    return test::plainRecord(0x10, {marker, 2, 3, 4}, 1);
  }
};

TEST_F(RecordPageTest, SlotArrayLimits) {
  for (auto [count, expected] : {std::pair{3999, 3999}, {4000, 0}, {-1, 0}, {0, 0}}) {
    auto bytes = dataPage();
    writeU16(bytes.data() + 22, static_cast<uint16_t>(count));
    PrimaryRecordPage page(std::move(bytes), nullptr);
    EXPECT_EQ(page.slots().size(), static_cast<size_t>(expected)) << count;
    EXPECT_EQ(page.records().size(), static_cast<size_t>(expected)) << count;
  }
}

TEST_F(RecordPageTest, SlotOffsetsOutsideTheRecordAreaGiveEmptyEntries) {
  auto bytes = dataPage();
  test::putBytes(bytes, 96, smallRecord());
  test::setSlots(bytes, {0, 95, 8192, 96, 8191});
  PrimaryRecordPage page(std::move(bytes), nullptr);
  ASSERT_EQ(page.records().size(), 5u);
  EXPECT_FALSE(page.record(0));
  EXPECT_FALSE(page.record(1));
  EXPECT_FALSE(page.record(2));
  ASSERT_TRUE(page.record(3));
  EXPECT_FALSE(page.record(3)->error);
  EXPECT_TRUE(page.record(4));
}

TEST_F(RecordPageTest, NonLeafIndexPagesYieldNoRecords) {
  auto bytes = test::makePage(200, 2, 5);
  bytes[3] = 1;
  test::putBytes(bytes, 96, smallRecord());
  test::setSlots(bytes, {96, 96});
  PrimaryRecordPage page(std::move(bytes), nullptr);
  ASSERT_EQ(page.records().size(), 2u);
  EXPECT_FALSE(page.record(0));
  EXPECT_FALSE(page.record(1));
}

TEST_F(RecordPageTest, AllGhostPageNeedsTheDeletedOption) {
  auto make = [] {
    auto bytes = dataPage();
    test::putBytes(bytes, 96, smallRecord());
    test::setSlots(bytes, {96});
    writeU16(bytes.data() + 58, 1);
    return bytes;
  };
  PrimaryRecordPage hidden(make(), nullptr);
  EXPECT_FALSE(hidden.record(0));
  appState().showDeleted = true;
  PrimaryRecordPage shown(make(), nullptr);
  EXPECT_TRUE(shown.record(0));
}

TEST_F(RecordPageTest, NegativeHeaderFieldsRefuseTheRecordList) {
  for (int field : {58, 28}) {
    auto bytes = dataPage();
    test::putBytes(bytes, 96, smallRecord());
    test::setSlots(bytes, {96});
    writeU16(bytes.data() + field, 0x8000);
    PrimaryRecordPage page(std::move(bytes), nullptr);
    EXPECT_TRUE(page.records().empty()) << field;
  }
}

TEST_F(RecordPageTest, OneSlotConstruction) {
  auto make = [] {
    auto bytes = dataPage();
    test::putBytes(bytes, 96, smallRecord(7));
    test::putBytes(bytes, 200, smallRecord(9));
    test::setSlots(bytes, {96, 200, 8097});
    return bytes;
  };
  PrimaryRecordPage second(make(), nullptr, 1);
  ASSERT_EQ(second.records().size(), 1u);
  EXPECT_EQ(second.record(0)->fixedData->at(0), 9);
  PrimaryRecordPage beyond(make(), nullptr, 3);
  EXPECT_TRUE(beyond.records().empty());
  PrimaryRecordPage lateOffset(make(), nullptr, 2);
  ASSERT_EQ(lateOffset.records().size(), 1u);
  EXPECT_FALSE(lateOffset.record(0));
}

class CountingExpander : public RecordExpander {
 public:
  explicit CountingExpander(size_t columns) : columns_(columns) {}
  size_t columnCount() const override { return columns_; }
  void expand(CPrimaryRecord&, const PrimaryRecordPage&) const override { ++expanded; }
  mutable int expanded = 0;

 private:
  size_t columns_;
};

// Compression information: flags 0x06, modification count, dictionary offset, length;
// anchor record at 103; dictionary at 96 + offset.
std::vector<uint8_t> compressedPage(uint16_t ciLength) {
  auto bytes = test::makePage(200, 1, 5);
  bytes[2] = kCompressedPageFlag;
  std::vector<uint8_t> info = {0x06, 0, 0, 0, 0, 0, 0};
  writeU16(info.data() + 3, 20);
  writeU16(info.data() + 5, ciLength);
  test::putBytes(bytes, 96, info);
  // anchor: 3 columns: code 0 (NULL), code 3 (2 bytes), code 1 (empty)
  test::putBytes(bytes, 103, {0x01, 0x03, 0x30, 0x01, 'h', 'i'});
  // dictionary at 116: two entries "abc" and "de"
  test::putBytes(bytes, 116, {0x02, 0x00, 0x09, 0x00, 0x0B, 0x00, 'a', 'b', 'c', 'd', 'e'});
  // one compressed record: 1 column, code 2 (1 byte)
  test::putBytes(bytes, 140, {0x01, 0x01, 0x02, 'z'});
  test::setSlots(bytes, {140});
  return bytes;
}

TEST_F(RecordPageTest, CompressedPageGivesAnchorValuesAndDictionary) {
  CountingExpander expander(10);
  setRecordExpander(&expander);
  PrimaryRecordPage page(compressedPage(40), nullptr);
  EXPECT_TRUE(page.hasAnchor);
  EXPECT_TRUE(page.hasDictionary);
  ASSERT_TRUE(page.anchorRecord);
  EXPECT_FALSE(page.anchorRecord->error);
  ASSERT_EQ(page.anchorValues.size(), 3u);
  EXPECT_EQ(page.anchorValues[0].length, AnchorValue::kNull);
  EXPECT_EQ(page.anchorValues[1].length, 2);
  EXPECT_EQ(page.anchorValues[1].data, (std::vector<uint8_t>{'h', 'i'}));
  EXPECT_EQ(page.anchorValues[2].length, AnchorValue::kEmpty);
  ASSERT_EQ(page.dictionaryEntries.size(), 2u);
  EXPECT_EQ(page.dictionaryEntries[0].data, (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(page.dictionaryEntries[1].data, (std::vector<uint8_t>{'d', 'e'}));
  EXPECT_EQ(expander.expanded, 1);
}

TEST_F(RecordPageTest, AnchorValuesStopAtTheTablesColumns) {
  CountingExpander expander(2);
  setRecordExpander(&expander);
  PrimaryRecordPage page(compressedPage(40), nullptr);
  EXPECT_EQ(page.anchorValues.size(), 2u);
  setRecordExpander(nullptr);
  PrimaryRecordPage withoutTable(compressedPage(40), nullptr);
  EXPECT_TRUE(withoutTable.anchorValues.empty());
}

TEST_F(RecordPageTest, ZeroCompressionLengthMeansNoAnchor) {
  PrimaryRecordPage page(compressedPage(0), nullptr);
  EXPECT_FALSE(page.anchorRecord);
  EXPECT_FALSE(page.hasAnchor);
  EXPECT_TRUE(page.dictionaryEntries.empty());
}

class DeletedScanTest : public RecordPageTest {
 protected:
  void SetUp() override {
    RecordPageTest::SetUp();
    appState().showDeleted = true;
    appState().showAdvancedDeleted = true;
  }

  // Records of the marker shape: status 0x30, fixed end 132.
  static std::vector<uint8_t> markerRecord(uint8_t status, uint8_t tag) {
    std::vector<uint8_t> fixed(128, tag);
    return test::plainRecord(status, fixed, 2, {{tag, tag}});
  }
};

TEST_F(DeletedScanTest, FindsRecordsTheSlotArrayLost) {
  auto bytes = dataPage();
  auto first = markerRecord(0x30, 1);
  auto second = markerRecord(0x3C, 2);
  auto third = markerRecord(0x30, 3);
  size_t a = 96, b = a + first.size(), c = 1000;
  test::putBytes(bytes, a, first);
  test::putBytes(bytes, b, second);
  test::putBytes(bytes, c, third);
  test::setSlots(bytes, {static_cast<uint16_t>(a)});
  PrimaryRecordPage page(std::move(bytes), nullptr);
  EXPECT_EQ(page.header().slotCount, 3);
  ASSERT_EQ(page.records().size(), 3u);
  EXPECT_EQ(page.slots(), (std::vector<uint16_t>{static_cast<uint16_t>(a), static_cast<uint16_t>(b),
                                                 static_cast<uint16_t>(c)}));
  EXPECT_EQ(page.record(1)->recordType, kGhostDataRecordType);
  EXPECT_EQ(page.record(2)->fixedData->at(0), 3);
}

TEST_F(DeletedScanTest, PageWithoutMarkersKeepsItsSlots) {
  auto bytes = dataPage();
  test::putBytes(bytes, 96, smallRecord());
  test::putBytes(bytes, 200, smallRecord());
  test::setSlots(bytes, {200, 96});
  PrimaryRecordPage page(std::move(bytes), nullptr);
  EXPECT_EQ(page.header().slotCount, 2);
  EXPECT_EQ(page.slots(), (std::vector<uint16_t>{200, 96}));
}

TEST_F(DeletedScanTest, GarbagePageEnds) {
  auto bytes = dataPage();
  for (size_t i = 96; i < 8100; ++i) bytes[i] = static_cast<uint8_t>((i * 37) ^ (i >> 3));
  test::putBytes(bytes, 4000, markerRecord(0x30, 5));
  test::setSlots(bytes, {96});
  PrimaryRecordPage page(std::move(bytes), nullptr);
  EXPECT_GE(page.header().slotCount, 1);
}

}  // namespace
}  // namespace orodorev
