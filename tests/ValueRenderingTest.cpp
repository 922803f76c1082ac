#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "rows/ValueRendering.h"
#include "tests/ValueTestSupport.h"

// Where a case says "pubs", "Northwind" or "Polish club", its bytes were read from the
// sample files v611_pubs.mdf, v655_northwind.mdf and v539_sbt_dane2.mdf of the corpus
// and its text is the value their creation scripts inserted.

namespace orodorev::test {
namespace {

const Column kBigIntColumn{kBigInt, "bigint(8)"};
const Column kIntColumn{kInt, "int(4)"};
const Column kSmallIntColumn{kSmallInt, "smallint(2)"};
const Column kMoneyColumn{kMoney, "money(8)"};
const Column kSmallMoneyColumn{kSmallMoney, "smallmoney(4)"};
const Column kFloatColumn{kFloat, "float(8)"};
const Column kRealColumn{kReal, "real(4)"};
const Column kDateTimeColumn{kDateTime, "datetime(8)"};
const Column kSmallDateTimeColumn{kSmallDateTime, "smalldatetime(4)"};
const Column kDateColumn{kDate, "date(3)"};
const Column kDiscountColumn{kDecimal, "decimal(5)", 4, 2};  // pubs discounts.discount dec(4,2)

constexpr int64_t kDay2020 = 737424;  // 2020-01-01 counted from 0001-01-01

Bytes days1900(int64_t days) { return le(static_cast<uint64_t>(days), 4); }
Bytes dateTime(int64_t ticks, int64_t days) { return join({le(static_cast<uint64_t>(ticks), 4), days1900(days)}); }
Bytes offsetMinutes(int64_t minutes) { return le(static_cast<uint64_t>(minutes), 2); }
Bytes seconds(int64_t s, int scaleDigits, size_t size) {
  uint64_t units = static_cast<uint64_t>(s);
  for (int i = 0; i < scaleDigits; ++i) units *= 10;
  return le(units, size);
}

class ValueSpans : public ValueStateTest {};

TEST_F(ValueSpans, ShapeFollowsTheKind) {
  struct Shape {
    Column column;
    int16_t length;
    int16_t fixedSize;
    bool variable;
  };
  const std::vector<Shape> shapes{
      {kBigIntColumn, 8, 8, false},
      {{kChar, "char(10)"}, 10, 10, false},
      {{kNVarChar, "nvarchar(80)"}, 80, 80, true},
      {{kVarBinary, "varbinary(50)"}, 0, 0, true},  // the reader gives the length
      {{kNumeric, "numeric(9)"}, 19, 19, false},
      {{kDateTimeOffset, "datetimeoffset(10)"}, 10, 10, false},
      {{kXml, "xml(-1)"}, -1, 0, true},
      {{kImage, "image(16)"}, 0, 0, false},
  };
  for (const Shape& shape : shapes) {
    ValueSpan span = initValueSpan(describe(shape.column), shape.column.kind, nullptr);
    EXPECT_EQ(span.length, shape.length) << shape.column.typeText;
    EXPECT_EQ(span.fixedSize, shape.fixedSize) << shape.column.typeText;
    EXPECT_EQ(span.variable, shape.variable) << shape.column.typeText;
    EXPECT_EQ(span.consumed, 0);
    EXPECT_EQ(span.available, 0);
  }
  appState().isSql2000 = true;  // SQL Server 2000 keeps image columns as variable-length values
  ValueSpan image = initValueSpan(describe({kImage, "image(16)"}), kImage, nullptr);
  EXPECT_TRUE(image.variable);
}

TEST(ValueIntegers, SignedLittleEndianOfTheirWidth) {
  expectTexts({
      {"bigint smallest", kBigIntColumn, le(0x8000000000000000, 8), "-9223372036854775808"},
      {"bigint", kBigIntColumn, le(1234567890123, 8), "1234567890123"},
      {"pubs royalty of PC8888", kIntColumn, {0x0A, 0, 0, 0}, "10"},
      {"pubs ytd_sales of PC8888", kIntColumn, {0xFF, 0x0F, 0, 0}, "4095"},
      {"int -1", kIntColumn, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
      {"pubs discounts lowqty", kSmallIntColumn, {0x64, 0}, "100"},
      {"smallint smallest", kSmallIntColumn, {0x00, 0x80}, "-32768"},
      {"tinyint is unsigned", {kTinyInt, "tinyint(1)"}, {0xFF}, "255"},
  });
}

TEST(ValueBinary, HexFormsOfEachKind) {
  expectTexts({
      {"binary", {kBinary, "binary(4)"}, {0x01, 0xAB, 0x00, 0xFF}, "0x01AB00FF"},
      {"varbinary has no prefix", {kVarBinary, "varbinary(50)"}, {0x01, 0x02}, "0102"},
      {"timestamp", {kTimestamp, "timestamp(8)"}, {0, 0, 0, 0, 0, 0, 0x07, 0xD1}, "0x00000000000007D1"},
      {"hierarchyid", {kHierarchyId, "hierarchyid(892)"}, {0x58, 0xC0}, "0x58C0"},
      {"geometry has no prefix", {kGeometry, "geometry(-1)"}, {0xE6, 0x10}, "E610"},
      {"other CLR type", {kClrType, "geography(-1)"}, {0xE6, 0x10}, "0xE610"},
      {"uniqueidentifier", {kUniqueIdentifier, "uniqueidentifier(16)"},
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, "03020100-0504-0706-0809-0A0B0C0D0E0F"},
  });
}

TEST(ValueMoney, FourDecimalsWithTheSignInFront) {
  expectTexts({
      {"pubs price of PC8888", kMoneyColumn, {0x40, 0x0D, 0x03, 0, 0, 0, 0, 0}, "20.0000"},
      {"pubs advance of PC8888", kMoneyColumn, {0x00, 0xB4, 0xC4, 0x04, 0, 0, 0, 0}, "8000.0000"},
      {"Northwind freight of order 10248", kMoneyColumn, {0xD8, 0xF0, 0x04, 0, 0, 0, 0, 0}, "32.3800"},
      {"money smallest", kMoneyColumn, le(0x8000000000000000, 8), "-922337203685477.5808"},
  });
  const std::vector<std::pair<int64_t, std::string>> amounts{
      {0, "0.0000"}, {5, "0.0005"}, {-5, "-0.0005"}, {-12345, "-1.2345"}, {123456789, "12345.6789"}};
  for (const auto& [amount, text] : amounts) {
    EXPECT_EQ(render(kMoneyColumn, le(static_cast<uint64_t>(amount), 8)), text) << amount;
    EXPECT_EQ(render(kSmallMoneyColumn, le(static_cast<uint64_t>(amount), 4)), text) << amount;
  }
}

TEST(ValueDecimal, DigitsAtTheColumnsScale) {
  // 10^38 - 1, the largest magnitude of precision 38, in 16 bytes after the sign byte.
  const Bytes largest{1,    0xFF, 0xFF, 0xFF, 0xFF, 0x3F, 0x22, 0x8A, 0x09,
                      0x7A, 0xC4, 0x86, 0x5A, 0xA8, 0x4C, 0x3B, 0x4B};
  expectTexts({
      {"pubs discount 6.70", kDiscountColumn, {1, 0x9E, 0x02, 0, 0}, "6.70"},
      {"pubs discount 5.00", kDiscountColumn, {1, 0xF4, 0x01, 0, 0}, "5.00"},
      {"sign byte 0 is negative", kDiscountColumn, {0, 0x9E, 0x02, 0, 0}, "-6.70"},
      {"zero keeps its decimals", kDiscountColumn, {1, 0, 0, 0, 0}, "0.00"},
      {"fewer digits than decimals", {kNumeric, "numeric(5)", 5, 2}, {1, 12, 0, 0, 0}, "0.12"},
      {"fewer digits, negative", {kNumeric, "numeric(5)", 5, 2}, {0, 12, 0, 0, 0}, "-0.12"},
      {"leading zeros after the point", {kNumeric, "numeric(5)", 5, 3}, {1, 5, 0, 0, 0}, "0.005"},
      {"precision 18 in 8 bytes", {kNumeric, "numeric(9)", 18, 4},
       join({{1}, le(123456789012345678, 8)}), "12345678901234.5678"},
      {"38 digits", {kDecimal, "decimal(17)", 38, 0}, largest, std::string(38, '9')},
      {"38 digits, 10 decimals", {kDecimal, "decimal(17)", 38, 10}, largest,
       std::string(28, '9') + "." + std::string(10, '9')},
      {"more digits than the precision", kDiscountColumn, join({{1}, le(123456, 4)}), ""},
      {"scale above the precision", {kDecimal, "decimal(5)", 2, 3}, {1, 5, 0, 0, 0}, ""},
  });
}

TEST(ValueDecimal, SpanLengthBecomesTheBytesTaken) {
  ColumnDescriptor column = describe({kNumeric, "numeric(9)", 18, 4});
  ValueSpan span = initValueSpan(column, kNumeric, nullptr);
  EXPECT_EQ(span.length, 19);
  Bytes bytes = join({{1}, le(5, 8)});
  span.available = static_cast<int64_t>(bytes.size());
  ExactBlock block(bytes);
  EXPECT_EQ(renderValue(span, block.data(), column), "0.0005");
  EXPECT_EQ(span.consumed, 9);
  EXPECT_EQ(span.length, 9);
}

TEST(ValueFloat, FifteenSignificantDigitsWithoutTrailingZeros) {
  expectTexts({
      {"0.1", kFloatColumn, doubleBytes(0.1), "0.1"},
      {"-1.5", kFloatColumn, doubleBytes(-1.5), "-1.5"},
      {"123.456", kFloatColumn, doubleBytes(123.456), "123.456"},
      {"2e14 has no point", kFloatColumn, doubleBytes(2e14), "200000000000000"},
      {"1e20 in full", kFloatColumn, doubleBytes(1e20), "100000000000000000000"},
      {"zero", kFloatColumn, doubleBytes(0.0), "0"},
      {"negative exponent", kFloatColumn, doubleBytes(1e-5), "0.00001"},
      {"small negative keeps its digits", kFloatColumn, doubleBytes(-1e-7), "-0.0000001"},
      {"NaN", kFloatColumn, doubleBytes(std::numeric_limits<double>::quiet_NaN()), ""},
      {"infinity", kFloatColumn, doubleBytes(std::numeric_limits<double>::infinity()), ""},
      {"minus infinity", kFloatColumn, doubleBytes(-std::numeric_limits<double>::infinity()), ""},
  });
}

TEST(ValueReal, SixSignificantDigitsAndThreeDigitExponents) {
  expectTexts({
      {"Northwind discount 0.15", kRealColumn, {0x9A, 0x99, 0x19, 0x3E}, "0.15"},
      {"0.05", kRealColumn, singleBytes(0.05f), "0.05"},
      {"100000", kRealColumn, singleBytes(100000.0f), "100000"},
      {"1234567", kRealColumn, singleBytes(1234567.0f), "1.23457e+006"},
      {"negative exponent shows its value", kRealColumn, singleBytes(1e-5f), "1e-005"},
      {"negative value and exponent", kRealColumn, singleBytes(-2.5e-10f), "-2.5e-010"},
      {"NaN", kRealColumn, singleBytes(std::numeric_limits<float>::quiet_NaN()), ""},
      {"infinity", kRealColumn, singleBytes(std::numeric_limits<float>::infinity()), ""},
  });
}

TEST(ValueDateTime, DatetimeSmalldatetimeAndDate) {
  expectTexts({
      {"pubs pubdate of PC8888", kDateTimeColumn, {0, 0, 0, 0, 0xBF, 0x86, 0, 0}, "1994-06-12 00:00:00"},
      {"Northwind order date of 10248", kDateTimeColumn, {0, 0, 0, 0, 0xB0, 0x89, 0, 0}, "1996-07-04 00:00:00"},
      {"Northwind birth date of employee 1", kDateTimeColumn, {0, 0, 0, 0, 0xD1, 0x45, 0, 0},
       "1948-12-08 00:00:00"},
      {"last tick of a day", kDateTimeColumn, dateTime(25919999, 0), "1900-01-01 23:59:59"},
      {"first datetime day", kDateTimeColumn, dateTime(0, -53690), "1753-01-01 00:00:00"},
      {"day before 1753", kDateTimeColumn, dateTime(0, -53691), " "},
      {"last datetime day", kDateTimeColumn, dateTime(25919999, 2958463), "9999-12-31 23:59:59"},
      {"after year 9999", kDateTimeColumn, dateTime(0, 2958464), " "},
      {"a whole day of ticks", kDateTimeColumn, dateTime(25920000, 0), " "},
      {"negative ticks", kDateTimeColumn, dateTime(-1, 0), " "},
      {"smalldatetime last minute", kSmallDateTimeColumn, join({le(1439, 2), le(0, 2)}), "1900-01-01 23:59:00"},
      {"smalldatetime a day of minutes", kSmallDateTimeColumn, join({le(1440, 2), le(0, 2)}), " "},
      {"smalldatetime last day", kSmallDateTimeColumn, join({le(0, 2), le(65535, 2)}), "2079-06-06 00:00:00"},
      {"date first day", kDateColumn, {0, 0, 0}, "0001-01-01"},
      {"date", kDateColumn, le(kDay2020, 3), "2020-01-01"},
      {"date last day", kDateColumn, le(3652058, 3), "9999-12-31"},
      {"date after 9999", kDateColumn, le(3652059, 3), " "},
  });
}

TEST(ValueDateTime, TimeAndDatetime2AtEveryScale) {
  const Bytes date2020 = le(kDay2020, 3);
  expectTexts({
      {"time(7)", {kTime, "time(5)", 16, 7}, le(36000ull * 10000000 + 12345, 5), "10:00:00.0012345"},
      {"time(0) has no point", {kTime, "time(3)", 8, 0}, seconds(36000, 0, 3), "10:00:00"},
      {"time(3)", {kTime, "time(4)", 12, 3}, le(86399999, 4), "23:59:59.999"},
      {"time(1)", {kTime, "time(3)", 10, 1}, le(4, 3), "00:00:00.4"},
      {"time(5)", {kTime, "time(5)", 14, 5}, le(1, 5), "00:00:00.00001"},
      {"time of a whole day", {kTime, "time(5)", 16, 7}, seconds(86400, 7, 5), " "},
      {"time bytes that do not fit the scale", {kTime, "time(3)", 16, 7}, le(1, 3), ""},
      {"datetime2(0)", {kDateTime2, "datetime2(6)", 19, 0}, join({seconds(1, 0, 3), date2020}),
       "2020-01-01 00:00:01"},
      {"datetime2(3)", {kDateTime2, "datetime2(7)", 23, 3}, join({le(45296789, 4), date2020}),
       "2020-01-01 12:34:56.789"},
      {"datetime2(7) zero", {kDateTime2, "datetime2(8)", 27, 7}, Bytes(8, 0), "0001-01-01 00:00:00.0000000"},
      {"datetime2 of a length its scale does not have", {kDateTime2, "datetime2(5)", 27, 7}, Bytes(5, 0), ""},
  });
}

TEST(ValueDateTime, DatetimeoffsetShowsLocalTimeAndOffset) {
  const Column scale0{kDateTimeOffset, "datetimeoffset(8)", 26, 0};
  const Column scale7{kDateTimeOffset, "datetimeoffset(10)", 34, 7};
  auto stored = [](const Bytes& time, int64_t day, int64_t offset) {
    return join({time, le(static_cast<uint64_t>(day), 3), offsetMinutes(offset)});
  };
  expectTexts({
      {"offset 330", scale0, stored(seconds(36900, 0, 3), kDay2020, 330), "2020-01-01 15:45:00 +5:30"},
      {"fraction, two blanks, offset 60", scale7, stored(le(369001234567, 5), kDay2020, 60),
       "2020-01-01 11:15:00.1234567  +1:0"},
      {"shift past midnight", scale0, stored(seconds(22 * 3600, 0, 3), kDay2020, 330), "2020-01-02 03:30:00 +5:30"},
      {"negative offset back into last year", scale0, stored(seconds(2 * 3600, 0, 3), kDay2020, -330),
       "2019-12-31 20:30:00 -5:30"},
      {"negative offset under an hour", scale7, stored(le(0, 5), kDay2020, -30),
       "2019-12-31 23:30:00.0000000  -0:30"},
      {"shift beyond 9999-12-31", scale0, stored(seconds(23 * 3600, 0, 3), 3652058, 120), " "},
      {"offset no zone has", scale0, stored(seconds(0, 0, 3), kDay2020, 900), ""},
      {"length that does not fit the scale", scale7, stored(le(0, 3), kDay2020, 0), ""},
  });
}

TEST(ValueBits, NineBitColumnsShareTwoBytes) {
  const ColumnDescriptor bit = describe({kBit, "bit(1)"});
  const Bytes fixed{0xA5, 0x01};
  ExactBlock block(fixed);
  BitCursor cursor;
  int64_t position = 0;
  std::vector<std::string> texts;
  std::vector<int64_t> positions;
  std::vector<int16_t> fixedSizes;
  for (int column = 0; column < 9; ++column) {
    ValueSpan span = initValueSpan(bit, kBit, &cursor);
    fixedSizes.push_back(span.fixedSize);
    span.available = static_cast<int64_t>(fixed.size()) - position;
    texts.push_back(renderValue(span, block.data() + position, bit));
    position += span.consumed;
    positions.push_back(position);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"True", "False", "True", "False", "False", "True", "False",
                                             "True", "True"}));
  EXPECT_EQ(positions, (std::vector<int64_t>{1, 1, 1, 1, 1, 1, 1, 1, 2}));
  EXPECT_EQ(fixedSizes, (std::vector<int16_t>{1, 0, 0, 0, 0, 0, 0, 0, 1}));
}

TEST(ValueBits, WithoutLengthCursorOrByte) {
  const ColumnDescriptor bit = describe({kBit, "bit(1)"});
  const uint8_t one = 1;
  BitCursor cursor;
  ValueSpan empty = initValueSpan(bit, kBit, &cursor);
  empty.length = 0;
  EXPECT_EQ(renderValue(empty, &one, bit), "False");
  ValueSpan noCursor = initValueSpan(bit, kBit, nullptr);
  noCursor.available = 1;
  EXPECT_EQ(renderValue(noCursor, &one, bit), "");
  ValueSpan noByte = initValueSpan(bit, kBit, &cursor);
  noByte.available = 0;
  EXPECT_EQ(renderValue(noByte, &one, bit), "");
  EXPECT_EQ(noByte.consumed, 0);
  EXPECT_FALSE(cursor.loaded);
}

TEST(ValueGuards, FewerBytesThanTheKindNeeds) {
  expectTexts({
      {"bigint", kBigIntColumn, Bytes(7, 1), ""},
      {"int", kIntColumn, Bytes(3, 1), ""},
      {"smallint", kSmallIntColumn, Bytes(1, 1), ""},
      {"float", kFloatColumn, Bytes(7, 1), ""},
      {"real", kRealColumn, Bytes(3, 1), ""},
      {"money", kMoneyColumn, Bytes(7, 1), ""},
      {"smallmoney", kSmallMoneyColumn, Bytes(3, 1), ""},
      {"datetime", kDateTimeColumn, Bytes(7, 0), ""},
      {"smalldatetime", kSmallDateTimeColumn, Bytes(3, 0), ""},
      {"date", kDateColumn, Bytes(2, 0), ""},
      {"time(7)", {kTime, "time(5)", 16, 7}, Bytes(4, 0), ""},
      {"datetimeoffset(7)", {kDateTimeOffset, "datetimeoffset(10)", 34, 7}, Bytes(9, 0), ""},
      {"decimal", kDiscountColumn, {1, 0x9E, 0x02, 0}, ""},
      {"uniqueidentifier", {kUniqueIdentifier, "uniqueidentifier(16)"}, Bytes(15, 0), ""},
      {"char(10)", {kChar, "char(10)"}, textBytes("short"), ""},
      {"binary(4)", {kBinary, "binary(4)"}, {1, 2, 3}, ""},
      {"empty nvarchar", {kNVarChar, "nvarchar(80)"}, {}, ""},
      {"empty varchar", {kVarChar, "varchar(80)"}, {}, ""},
  });
}

TEST(ValueGuards, NoDataGivesEmptyText) {
  for (int32_t kind : {kInt, kBit, kChar, kNVarChar, kDateTime, kXml, kSqlVariant}) {
    ColumnDescriptor column = describe({kind, "x(4)"});
    BitCursor cursor;
    ValueSpan span = initValueSpan(column, kind, &cursor);
    span.available = 4;
    EXPECT_EQ(renderValue(span, nullptr, column), "") << kind;
  }
}

TEST(ValueGuards, ImageAndUnusedKindsGiveEmptyText) {
  const Bytes bytes{1, 2, 3, 4};
  EXPECT_EQ(render({kImage, "image(16)"}, bytes), "");
  EXPECT_EQ(render({kNoSqlType, "x(4)"}, bytes), "");
  EXPECT_EQ(render({12, "x(4)"}, bytes), "");
}

TEST(ValueCompressed, NarrowValuesFromRowCompressedRecords) {
  // The expansion keeps integers at full width; the reader passes the stored length.
  ColumnDescriptor column = describe(kIntColumn);
  ValueSpan span = initValueSpan(column, kInt, nullptr);
  span.compressed = true;
  span.length = 1;
  span.available = 4;
  ExactBlock block({5, 0, 0, 0});
  EXPECT_EQ(renderValue(span, block.data(), column), "5");

  EXPECT_EQ(render(kFloatColumn, {0xF8, 0x3F}, true), "1.5");  // high bytes of 1.5
  EXPECT_EQ(render(kRealColumn, {0x3F}, true), "0.5");
  EXPECT_EQ(render({kDateTime2, "datetime2(8)", 27, 7}, Bytes(5, 1), true), "");
}

TEST(ValueXml, ConvertedTextOrABlank) {
  const Bytes document{0xDF, 0xFF, 0x01, 0xB0, 0x04,  // header
                       0xF0, 0x01, 'a', 0,           // name 1 "a"
                       0xEF, 0x00, 0x00, 0x01,       // qname 1
                       0xF8, 0x01,                   // <a>
                       0x11, 0x01, 'x', 0,           // "x"
                       0xF7};                        // </a>
  EXPECT_EQ(render({kXml, "xml(-1)"}, document), "<a>x</a>");
  EXPECT_EQ(render({kXml, "xml(-1)"}, {0x01, 0x02, 0x03}), " ");
}

}  // namespace
}  // namespace orodorev::test
