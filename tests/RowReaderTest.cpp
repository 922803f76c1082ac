#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "rows/RowReader.h"
#include "storage/ByteOrder.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

ColumnDescriptor column(const std::string& name, const std::string& typeText, int32_t kind, int32_t id,
                        int16_t leafOffset, int32_t nullBit, bool nullable = true) {
  ColumnDescriptor d = makeDescriptor(name, typeText, kind);
  d.columnId = d.ordinal = id;
  d.leafOffset = leafOffset;
  d.nullBit = nullBit;
  d.hasLayout = true;
  d.nullable = nullable;
  return d;
}

std::vector<std::string> texts(const Row& row) {
  std::vector<std::string> values;
  for (const ColumnDescriptor& d : row)
    if (d.ordinal != kDroppedColumnOrdinal) values.push_back(d.valueText);
  return values;
}

class RowReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override { resetApplicationState(); }

  // A data page holding the records back to back from offset 96.
  std::vector<Row> read(const std::vector<std::vector<uint8_t>>& records, std::vector<ColumnDescriptor>& columns,
                        uint16_t ghosts = 0) {
    auto bytes = test::makePage(500, 1, 5);
    std::vector<uint16_t> slots;
    size_t offset = 96;
    for (const auto& record : records) {
      test::putBytes(bytes, offset, record);
      slots.push_back(static_cast<uint16_t>(offset));
      offset += record.size();
    }
    test::setSlots(bytes, slots);
    writeU16(bytes.data() + 58, ghosts);
    PrimaryRecordPage page(std::move(bytes), nullptr);
    return readRowsetRows(page, columns);
  }

  static std::vector<uint8_t> ints(std::initializer_list<int32_t> values) {
    std::vector<uint8_t> bytes;
    for (int32_t v : values) {
      bytes.resize(bytes.size() + 4);
      writeU32(bytes.data() + bytes.size() - 4, static_cast<uint32_t>(v));
    }
    return bytes;
  }

  // Sets null bitmap bit `bit` (0-based) of a record built by plainRecord.
  static void setNull(std::vector<uint8_t>& record, int bit) {
    size_t bitmap = readU16(record.data() + 2) + 2;
    record[bitmap + static_cast<size_t>(bit / 8)] |= static_cast<uint8_t>(1 << (bit % 8));
  }
};

TEST_F(RowReaderTest, NullsAddedColumnsAndColumnsWithoutLayout) {
  // A computed column without storage sits between the stored ones, so the record's
  // third column is the fourth descriptor.
  std::vector<ColumnDescriptor> columns = {column("id", "int(4)", kInt, 1, 4, 1, false),
                                           column("qty", "int(4)", kInt, 2, 8, 2),
                                           column("computed", "int(4)", kInt, 3, 0, -1),
                                           column("added", "int(4)", kInt, 4, 12, 3)};
  columns[2].hasLayout = false;
  columns[3].ordinal = 3;
  auto full = test::plainRecord(0x10, ints({7, 9, 11}), 3);
  auto nullQty = test::plainRecord(0x10, ints({8, 1, 12}), 3);
  setNull(nullQty, 1);
  auto older = test::plainRecord(0x10, ints({9, 3}), 2);  // written before two columns were added
  auto rows = read({full, nullQty, older}, columns);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(texts(rows[0]), (std::vector<std::string>{"7", "9", "NULL", "11"}));
  EXPECT_EQ(texts(rows[1]), (std::vector<std::string>{"8", "NULL", "NULL", "12"}));
  EXPECT_EQ(texts(rows[2]), (std::vector<std::string>{"9", "3", "NULL", "NULL"}));
}

TEST_F(RowReaderTest, BitColumnsShareBytesAndTheRunningPositionFollowsThem) {
  std::vector<ColumnDescriptor> columns;
  for (int k = 0; k < 9; ++k)
    columns.push_back(column("b" + std::to_string(k), "bit(1)", kBit, k + 1, static_cast<int16_t>(k < 8 ? 4 : 5), k + 1));
  columns.push_back(column("n", "int(4)", kInt, 10, 0, 10));
  std::vector<uint8_t> fixed = {0b10000101, 0b00000001};
  auto number = ints({-42});
  fixed.insert(fixed.end(), number.begin(), number.end());
  auto rows = read({test::plainRecord(0x10, fixed, 10)}, columns);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(texts(rows[0]), (std::vector<std::string>{"True", "False", "True", "False", "False", "False", "False",
                                                      "True", "True", "-42"}));
}

TEST_F(RowReaderTest, VariableValuesBinaryPrefixAndEmptyComplexValues) {
  std::vector<ColumnDescriptor> columns = {column("id", "int(4)", kInt, 1, 4, 1),
                                           column("name", "varchar(20)", kVarChar, 2, -1, 2),
                                           column("blob", "varbinary(10)", kVarBinary, 3, -2, 3),
                                           column("big", "nvarchar(-1)", kNVarChar, 4, -3, 4)};
  auto first = test::plainRecord(0x30, ints({1}), 4, {{'a', 'b'}, {1, 2}, {'x', 0}});
  // The second record's last value is complex and without data: it must not repeat "x".
  auto second = test::plainRecord(0x30, ints({2}), 4, {{'c'}, {}, {}});
  size_t lastEnd = 4 + 4 + 2 + 1 + 2 + 2 * 2 + 1;
  second[lastEnd] |= 0x80;
  auto rows = read({first, second}, columns);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(texts(rows[0]), (std::vector<std::string>{"1", "ab", "0x0102", "x"}));
  EXPECT_EQ(texts(rows[1]), (std::vector<std::string>{"2", "c", "0x", ""}));
}

TEST_F(RowReaderTest, GhostRecordsOnlyWithTheDeletedOption) {
  std::vector<ColumnDescriptor> columns = {column("id", "int(4)", kInt, 1, 4, 1)};
  auto live = test::plainRecord(0x10, ints({1}), 1);
  auto ghost = test::plainRecord(0x1C, ints({2}), 1);
  EXPECT_EQ(read({live, ghost}, columns, 1).size(), 1u);
  appState().showDeleted = true;
  auto rows = read({live, ghost}, columns, 1);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(texts(rows[1]), (std::vector<std::string>{"2"}));
}

TEST(BinaryPrefix, ExactlyOnce) {
  const std::tuple<int32_t, std::string, std::string> cases[] = {
      {kVarBinary, "0102", "0x0102"}, {kVarBinary, "0x0102", "0x0102"}, {kVarBinary, " ", " "},
      {kClrType, "AB", "0xAB"},       {kInt, "12", "12"},               {kVarBinary, "a\\b", "a\\b"}};
  for (auto [kind, text, expected] : cases) {
    std::string value = text;
    applyBinaryPrefix(kind, value);
    EXPECT_EQ(value, expected);
  }
}

}  // namespace
}  // namespace orodorev
