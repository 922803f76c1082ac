#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "rows/CompressedRecord.h"
#include "storage/ByteOrder.h"
#include "storage/RecordExpander.h"
#include "storage/RecordPage.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

TEST(CompressedInteger, TopBitFlippedBigEndian) {
  struct Case {
    std::vector<uint8_t> bytes;
    int64_t value;
  };
  const Case cases[] = {{{0x85}, 5},          {{0x7F}, -1},         {{0x80}, 0},
                        {{0x00}, -128},       {{0xFF}, 127},        {{0x81, 0x00}, 256},
                        {{0x7F, 0xFE}, -2},   {{0x80, 0x00, 0x00, 0x01}, 1},
                        {{0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1},
                        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, INT64_MAX}};
  for (const Case& c : cases)
    EXPECT_EQ(decodeCompressedInteger(c.bytes.data(), static_cast<int>(c.bytes.size())), c.value);
}

class ExpansionTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override {
    setRecordExpander(nullptr);
    resetApplicationState();
  }

  static ColumnDescriptor column(const std::string& name, const std::string& typeText, int32_t kind) {
    return makeDescriptor(name, typeText, kind);
  }

  // A compressed data page whose one record is given; anchor values when wanted.
  std::unique_ptr<PrimaryRecordPage> page(const std::vector<uint8_t>& record, const std::vector<uint8_t>& anchor = {},
                                          const std::vector<uint8_t>& dictionary = {}) {
    auto bytes = test::makePage(300, 1, 5);
    bytes[2] = kCompressedPageFlag;
    if (!anchor.empty() || !dictionary.empty()) {
      std::vector<uint8_t> info = {static_cast<uint8_t>(dictionary.empty() ? 0x02 : 0x06), 0, 0, 0, 0, 0, 0};
      writeU16(info.data() + 3, static_cast<uint16_t>(dictionary.empty() ? 0 : 7 + anchor.size()));
      writeU16(info.data() + 5, static_cast<uint16_t>(7 + anchor.size() + dictionary.size()));
      test::putBytes(bytes, 96, info);
      test::putBytes(bytes, dictionary.empty() ? 101 : 103, anchor);
      test::putBytes(bytes, 103 + anchor.size(), dictionary);
    }
    test::putBytes(bytes, 400, record);
    test::setSlots(bytes, {400});
    TableRecordExpander expander(columns);
    setRecordExpander(&expander);
    auto built = std::make_unique<PrimaryRecordPage>(std::move(bytes), nullptr);
    setRecordExpander(nullptr);
    return built;
  }

  std::vector<ColumnDescriptor> columns;
};

TEST_F(ExpansionTest, IntegersTakeTheirWidthWithTheirSign) {
  columns = {column("a", "int(4)", kInt), column("b", "smallint(2)", kSmallInt), column("c", "int(4)", kInt)};
  // three columns, codes 2, 0 (NULL), 2: 0x85 then 0x7F
  auto built = page({0x01, 0x03, 0x02, 0x02, 0x85, 0x7F});
  const CPrimaryRecord* record = built->record(0);
  ASSERT_TRUE(record && record->fixedData);
  ASSERT_EQ(record->columnStates.size(), 3u);
  EXPECT_TRUE(record->columnStates[1].isNull);
  EXPECT_EQ(record->columnStates[0].length, 1);
  EXPECT_EQ(record->fixedLength, 8);
  EXPECT_EQ(readI32(record->fixedData->data()), 5);
  EXPECT_EQ(readI32(record->fixedData->data() + 4), -1);  // the NULL column takes no room
}

TEST_F(ExpansionTest, AnchorValueAndDictionarySymbol) {
  columns = {column("name", "char(10)", kChar), column("code", "char(3)", kChar)};
  // anchor record: 2 columns, code 10 (long) and code 1; long value ABCDEFGHIJ
  std::vector<uint8_t> anchor = {0x21, 0x02, 0x1A, 0x01, 0x01, 0x00, 0x0A, 0x00, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'};
  // dictionary: one entry "xyz"
  std::vector<uint8_t> dictionary = {0x01, 0x00, 0x07, 0x00, 'x', 'y', 'z'};
  // record: column 1 same as anchor (code 1), column 2 page symbol 0 (code 12)
  auto built = page({0x01, 0x02, 0xC1, 0x00}, anchor, dictionary);
  ASSERT_EQ(built->anchorValues.size(), 2u);
  const CPrimaryRecord* record = built->record(0);
  ASSERT_TRUE(record && record->fixedData);
  EXPECT_EQ(std::string(record->fixedData->begin(), record->fixedData->begin() + 10), "ABCDEFGHIJ");
  EXPECT_EQ(std::string(record->fixedData->begin() + 10, record->fixedData->begin() + 13), "xyz");
  EXPECT_EQ(record->columnStates[1].length, 3);
  EXPECT_EQ(record->fixedLength, 13);
}

TEST_F(ExpansionTest, ForwardedRecordsAndMissingSymbolsAreLeftAlone) {
  columns = {column("a", "int(4)", kInt)};
  EXPECT_TRUE(page({0x03, 0x01, 0x02, 0x85})->record(0)->columnStates.empty());  // type 1
  columns = {column("a", "char(3)", kChar), column("b", "int(4)", kInt)};
  auto built = page({0x01, 0x02, 0x2C, 0x09, 0x85});  // symbol 9 of an empty dictionary, then 5
  const CPrimaryRecord* record = built->record(0);
  ASSERT_EQ(record->columnStates.size(), 2u);
  EXPECT_EQ(record->fixedLength, 7);
  EXPECT_EQ(readI32(record->fixedData->data() + 3), 5);
}

}  // namespace
}  // namespace orodorev
