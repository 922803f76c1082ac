#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "storage/RecordPage.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

class RecordTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  // A data page holding one record at offset 96.
  CPrimaryRecord parse(const std::vector<uint8_t>& recordBytes, int32_t maxLength = 8096) {
    auto bytes = test::makePage(200, 1, 5);
    test::putBytes(bytes, 96, recordBytes);
    page_ = std::make_unique<CPage>(std::move(bytes), nullptr);
    return CPrimaryRecord(*page_, 96, maxLength);
  }

  std::unique_ptr<CPage> page_;
};

TEST_F(RecordTest, PlainRecordWithFixedDataNullBitmapAndVariableColumns) {
  std::vector<uint8_t> fixed(128);
  for (size_t i = 0; i < fixed.size(); ++i) fixed[i] = static_cast<uint8_t>(i);
  auto record = parse(test::plainRecord(0x30, fixed, 5, {{'a', 'b'}, {}, {'x', 'y', 'z'}}));
  EXPECT_FALSE(record.error);
  EXPECT_EQ(record.recordType, 0);
  EXPECT_EQ(record.fixedLength, 128);
  ASSERT_TRUE(record.fixedData);
  EXPECT_EQ(*record.fixedData, fixed);
  EXPECT_EQ(record.columnCount, 5);
  ASSERT_TRUE(record.nullBitmap);
  EXPECT_EQ(record.nullBitmap->size(), 1u);
  ASSERT_EQ(record.varColumns.size(), 3u);
  EXPECT_EQ(record.varColumns[0].data, (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_FALSE(record.varColumns[1].data);
  EXPECT_EQ(record.varColumns[1].length, 0);
  EXPECT_EQ(record.varColumns[2].data, (std::vector<uint8_t>{'x', 'y', 'z'}));
  int32_t total = 4 + 128 + 2 + 1 + 2 + 6 + 5;
  EXPECT_EQ(record.cursor, total);
  ASSERT_TRUE(record.recordCopy);
  EXPECT_EQ(record.recordCopy->size(), static_cast<size_t>(total));
  EXPECT_EQ(CPrimaryRecord::measureRecord(*page_, 96), total);
}

TEST_F(RecordTest, GhostDataRecordNeedsTheDeletedOption) {
  auto bytes = test::plainRecord(0x3C, std::vector<uint8_t>(8, 1), 2);
  auto refused = parse(bytes);
  EXPECT_TRUE(refused.error);
  EXPECT_TRUE(refused.ghost);
  appState().showDeleted = true;
  auto taken = parse(bytes);
  EXPECT_FALSE(taken.error);
  EXPECT_FALSE(taken.ghost);
  EXPECT_EQ(taken.recordType, kGhostDataRecordType);
  EXPECT_EQ(taken.fixedData->size(), 8u);
}

TEST_F(RecordTest, RefusedTypesAndPagesGiveErrorRecords) {
  for (uint8_t status : {0x06, 0x08, 0x0A, 0x0E}) {  // index, 4, ghost index, ghost version
    SCOPED_TRACE(status);
    EXPECT_TRUE(parse(test::plainRecord(status, {1, 2}, 1)).error);
  }
  auto bytes = test::makePage(200, 18, 5);  // page type above 17
  test::putBytes(bytes, 96, test::plainRecord(0x10, {1, 2}, 1));
  CPage page(std::move(bytes), nullptr);
  EXPECT_TRUE(CPrimaryRecord(page, 96, 8096).error);
  EXPECT_EQ(CPrimaryRecord::measureRecord(page, 96), -1);
}

TEST_F(RecordTest, SixteenByteComplexColumnIsNeverASparseVector) {
  std::vector<uint8_t> sparseLooking = {5, 0, 1, 0, 7, 0, 16, 0, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
  auto bytes = test::plainRecord(0x30, {1, 2, 3, 4}, 2, {sparseLooking});
  bytes[4 + 4 + 2 + 1 + 2 + 1] |= 0x80;  // complex bit of the end offset
  auto record = parse(bytes);
  EXPECT_FALSE(record.sparseVector);
  EXPECT_EQ(record.varColumns.at(0).complex, 1);

  std::vector<uint8_t> sparse = {5, 0, 2, 0, 7, 0, 9, 0, 14, 0, 17, 0, 'a', 'b', 'x', 'y', 'z'};
  auto withSparse = test::plainRecord(0x30, {1, 2, 3, 4}, 2, {sparse});
  withSparse[4 + 4 + 2 + 1 + 2 + 1] |= 0x80;
  auto parsed = parse(withSparse);
  ASSERT_TRUE(parsed.sparseVector);
  EXPECT_EQ(parsed.sparseVector->count, 2);
  ASSERT_EQ(parsed.sparseVector->columns.size(), 2u);
  EXPECT_EQ(parsed.sparseVector->columns[0].columnId, 7);
  EXPECT_EQ(parsed.sparseVector->columns[0].data, (std::vector<uint8_t>{'a', 'b'}));
  EXPECT_EQ(parsed.sparseVector->columns[1].columnId, 9);
  EXPECT_EQ(parsed.sparseVector->columns[1].data, (std::vector<uint8_t>{'x', 'y', 'z'}));
}

TEST_F(RecordTest, MoreVariableColumnsThanColumnsGiveLengthZero) {
  auto bytes = test::plainRecord(0x30, {1, 2, 3, 4}, 1, {{'a'}, {'b'}});
  auto record = parse(bytes);
  EXPECT_TRUE(record.varColumns.empty());
  EXPECT_EQ(record.varColumnCount, 0);
  EXPECT_EQ(record.cursor, 0);
  EXPECT_FALSE(record.recordCopy);
  EXPECT_EQ(CPrimaryRecord::measureRecord(*page_, 96), 0);
}

TEST_F(RecordTest, DamagedOffsetsLeavePiecesEmptyWithoutReadingOutsideThePage) {
  // A record near the end of the page claims a long fixed part and far-off values.
  auto bytes = test::makePage(200, 1, 5);
  std::vector<uint8_t> record = {0x30, 0, 0xFF, 0x1F};
  test::putBytes(bytes, 8188, record);
  CPage page(std::move(bytes), nullptr);
  for (int32_t offset : {8188, 8190, 8191}) {
    CPrimaryRecord parsed(page, offset, 8192 - offset);
    EXPECT_FALSE(parsed.fixedData);
    EXPECT_FALSE(parsed.recordCopy);
    EXPECT_GE(CPrimaryRecord::measureRecord(page, offset), -1);
  }
  auto overlong = test::plainRecord(0x30, {1, 2}, 3, {{'a', 'b'}});
  writeU16(overlong.data() + 4 + 2 + 2 + 1 + 2, 9000);  // end offset beyond the page
  auto parsedOverlong = parse(overlong);
  ASSERT_EQ(parsedOverlong.varColumns.size(), 1u);
  EXPECT_FALSE(parsedOverlong.varColumns[0].data);
}

struct CompressedCase {
  std::vector<uint8_t> bytes;
  bool error;
  int columns;
  int shortBytes;
  int longValues;
};

TEST_F(RecordTest, CompressedRecordsAreCutByTheirDescriptors) {
  const CompressedCase cases[] = {
      // one column, code 5: four bytes of short data
      {{0x01, 0x01, 0x05, 'a', 'b', 'c', 'd'}, false, 1, 4, 0},
      // byte 1 zero: no columns
      {{0x01, 0x00, 0x05}, true, 0, 0, 0},
      // three columns: code 2 (1 byte), code 10 (long), code 12 (one byte)
      {{0x01, 0x03, 0xA2, 0x0C, 'x', 'y'}, false, 3, 2, 1},
  };
  for (const CompressedCase& c : cases) {
    auto record = parse(c.bytes);
    EXPECT_EQ(record.error, c.error);
    if (c.error) continue;
    EXPECT_TRUE(record.isCompressed);
    EXPECT_EQ(record.columnCount, c.columns);
    EXPECT_EQ(record.fixedLength, c.shortBytes);
    EXPECT_EQ(record.varColumnCount, c.longValues);
    ASSERT_TRUE(record.fixedData);
    EXPECT_EQ(static_cast<int>(record.fixedData->size()), c.shortBytes);
  }
}

TEST_F(RecordTest, CompressedLongValuesAreTakenFromTheLongDataRegion) {
  // status: compressed, variable columns; 2 columns: code 10, code 10
  std::vector<uint8_t> bytes = {0x21, 0x02, 0xAA, 0x01, 0x02, 0x00, 0x03, 0x00, 0x05, 0x80,
                                'a',  'b',  'c',  'd',  'e'};
  auto record = parse(bytes);
  ASSERT_FALSE(record.error);
  ASSERT_EQ(record.varColumns.size(), 2u);
  EXPECT_EQ(record.varColumns[0].data, (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(record.varColumns[1].data, (std::vector<uint8_t>{'d', 'e'}));
  EXPECT_EQ(record.varColumns[1].complex, 1);
  EXPECT_EQ(record.cursor, static_cast<int32_t>(bytes.size()));
  EXPECT_EQ(CPrimaryRecord::measureRecord(*page_, 96), -1);
}

class ForwardingTest : public RecordTest {
 protected:
  test::TempDir dir;
  HeadlessFrame frame;
};

TEST_F(ForwardingTest, StubsAreFollowedAndLostTargetsMarked) {
  auto bytes = test::makeDatabaseBytes(12);
  // Page 10 holds the forwarded record in slot 1.
  std::vector<uint8_t> target(bytes.begin() + 10 * 8192, bytes.begin() + 11 * 8192);
  writeU32(target.data() + 24, 300);
  target[1] = 1;
  auto forwarded = test::plainRecord(0x32, {9, 8, 7, 6}, 2, {{'l', 'o', 'n', 'g'}});
  test::putBytes(target, 96, {0x10, 0, 5, 0, 1, 1, 0, 0});
  test::putBytes(target, 200, forwarded);
  test::setSlots(target, {96, 200});
  std::copy(target.begin(), target.end(), bytes.begin() + 10 * 8192);
  // Page 11 holds stubs to it, to page 0 and to a slot that does not exist.
  std::vector<uint8_t> stubs(bytes.begin() + 11 * 8192, bytes.end());
  writeU32(stubs.data() + 24, 300);
  stubs[1] = 1;
  auto stub = [](int32_t pageNumber, int16_t slot) {
    std::vector<uint8_t> s(9, 0);
    s[0] = 0x04;
    writeU32(s.data() + 1, static_cast<uint32_t>(pageNumber));
    writeU16(s.data() + 5, 1);
    writeU16(s.data() + 7, static_cast<uint16_t>(slot));
    return s;
  };
  test::putBytes(stubs, 8176, stub(10, 1));  // late in the page: the target is longer than the room left
  test::putBytes(stubs, 96, stub(0, 1));
  test::putBytes(stubs, 110, stub(10, 7));
  test::setSlots(stubs, {8176, 96, 110});
  std::copy(stubs.begin(), stubs.end(), bytes.begin() + 11 * 8192);

  DatabaseFile file(dir.write("forward.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  auto page = file.loadDataPage({1, 11});
  ASSERT_TRUE(page);
  ASSERT_EQ(page->records().size(), 3u);
  const CPrimaryRecord* followed = page->record(0);
  ASSERT_TRUE(followed);
  EXPECT_EQ(followed->recordType, kForwardingStubType);
  EXPECT_EQ(followed->fixedData, (std::vector<uint8_t>{9, 8, 7, 6}));
  ASSERT_EQ(followed->varColumns.size(), 1u);
  EXPECT_EQ(followed->varColumns[0].data, (std::vector<uint8_t>{'l', 'o', 'n', 'g'}));
  EXPECT_EQ(page->record(1)->fixedLength, kStubUnreachable);
  EXPECT_FALSE(page->record(1)->error);
  EXPECT_EQ(page->record(2)->fixedLength, kStubUnreachable);
}

TEST_F(ForwardingTest, StubChainsEnd) {
  auto bytes = test::makeDatabaseBytes(12);
  // Page 10 slot 0 forwards to itself.
  std::vector<uint8_t> page(bytes.begin() + 10 * 8192, bytes.begin() + 11 * 8192);
  page[1] = 1;
  test::putBytes(page, 96, {0x04, 10, 0, 0, 0, 1, 0, 0, 0});
  test::setSlots(page, {96});
  std::copy(page.begin(), page.end(), bytes.begin() + 10 * 8192);
  DatabaseFile file(dir.write("loop.mdf", bytes), false, &frame);
  auto loaded = file.loadDataPage({1, 10});
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->record(0)->fixedLength, kStubUnreachable);
}

}  // namespace
}  // namespace orodorev
