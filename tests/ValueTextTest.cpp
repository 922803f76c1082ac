#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "rows/ValueRendering.h"
#include "tests/ValueTestSupport.h"

// Character values and stored sql_variant values. "Stanisław" is a member's first
// name in the varchar column of the Polish club's file v539_sbt_dane2.mdf (collation
// Polish_CI_AS, 53267, code page 1250).

namespace orodorev::test {
namespace {

constexpr int32_t kPolishCollation = 53267;
constexpr int32_t kChineseCollation = 53284;  // Chinese_PRC_CI_AS, code page 936
const Bytes kStanislaw{0x53, 0x74, 0x61, 0x6E, 0x69, 0x73, 0xB3, 0x61, 0x77};
const Bytes kLodzIn1250{0xA3, 0xF3, 0x64, 0x9F};
const Bytes kChineseIn936{0xD6, 0xD0, 0xCE, 0xC4};  // 中文

Bytes utf16(const std::u16string& text) {
  Bytes bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

class ValueCharacters : public ValueStateTest {
 protected:
  void SetUp() override {
    ValueStateTest::SetUp();
    appState().collations = {{kPolishCollation, {"Polish_CI_AS", 1250}},
                             {kChineseCollation, {"Chinese_PRC_CI_AS", 936}}};
    appState().listing = true;
  }
};

TEST_F(ValueCharacters, VarcharTakesTheCodePageOfItsCollation) {
  EXPECT_EQ(render({kVarChar, "varchar(50)", 0, 0, kPolishCollation}, kStanislaw), "Stanisław");
  EXPECT_EQ(render({kText, "text(16)", 0, 0, kPolishCollation}, kStanislaw), "Stanisław");
  EXPECT_EQ(render({kVarChar, "varchar(50)", 0, 0, 99}, kStanislaw), "Stanis³aw");
  // The column's code page holds whoever reads the value, listing or not.
  appState().listing = false;
  EXPECT_EQ(render({kVarChar, "varchar(50)", 0, 0, kPolishCollation}, kStanislaw), "Stanisław");
  // A collation the table does not know falls back to the database's code page.
  appState().collationFound = true;
  appState().currentCollationId = kPolishCollation;
  appState().currentCodePage = 1250;
  EXPECT_EQ(render({kVarChar, "varchar(50)", 0, 0, 99}, kStanislaw), "Stanisław");
}

TEST_F(ValueCharacters, VarcharOfTheDatabaseCollationTakesTheDatabaseCodePage) {
  appState().collations.clear();
  appState().collationFound = true;
  appState().currentCollationId = kPolishCollation;
  appState().currentCodePage = 1250;
  EXPECT_EQ(render({kVarChar, "varchar(50)", 0, 0, kPolishCollation}, kStanislaw), "Stanisław");
}

TEST_F(ValueCharacters, VarcharEndsAtTheFirstZeroByte) {
  EXPECT_EQ(render({kVarChar, "varchar(50)"}, {'A', 'B', 0, 'C'}), "AB");
  EXPECT_EQ(render({kVarChar, "varchar(50)"}, {'C', 'a', 'f', 0xE9}), "Café");
}

TEST_F(ValueCharacters, CharWithTheDatabaseCollationFoundMarksZeroBytes) {
  appState().collationFound = true;
  const Column polishChar{kChar, "char(4)", 0, 0, kPolishCollation};
  EXPECT_EQ(render(polishChar, {'A', 'B', 0, 'C'}), "AB_C");
  EXPECT_EQ(render(polishChar, kLodzIn1250), "Łódź");
  EXPECT_EQ(render({kChar, "char(4)", 0, 0, kChineseCollation}, kChineseIn936), "中文");
  EXPECT_EQ(render({kChar, "char(4)", 0, 0, 99}, {'A', 'B', 0, 'C'}), "AB");
}

TEST_F(ValueCharacters, CharWithoutTheDatabaseCollationEndsAtZero) {
  EXPECT_EQ(render({kChar, "char(6)", 0, 0, kChineseCollation}, join({kChineseIn936, {0, 'x'}})), "中文");
  EXPECT_EQ(render({kChar, "char(4)"}, kLodzIn1250), "£ódŸ");
}

TEST_F(ValueCharacters, UnicodeKindsAreUtf16) {
  EXPECT_EQ(render({kNChar, "nchar(10)"}, {'V', 0, 'I', 0, 'N', 0, 'E', 0, 'T', 0}), "VINET");  // Northwind
  EXPECT_EQ(render({kNVarChar, "nvarchar(40)"}, utf16(u"Łódź")), "Łódź");
  EXPECT_EQ(render({kNVarChar, "nvarchar(40)"}, utf16(u"A\0B")), "A");
  EXPECT_EQ(render({kNVarChar, "nvarchar(40)"}, {'A', 0, 'B'}), "A");
  EXPECT_EQ(render({kNText, "ntext(16)"}, utf16(u"Żółw")), "Żółw");
}

TEST_F(ValueCharacters, CompressedUnicodeOfOddLengthIsScsu) {
  const Bytes moscow{0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0};  // example of UTS #6
  EXPECT_EQ(render({kNVarChar, "nvarchar(40)"}, moscow, true), "Москва");
  EXPECT_EQ(render({kNChar, "nchar(20)"}, {'a', 'b', 'c'}, true), "abc");
  EXPECT_EQ(render({kNVarChar, "nvarchar(40)"}, utf16(u"ab"), true), "ab");
}

TEST_F(ValueCharacters, ScsuWindowsDoNotCarryOverToTheNextValue) {
  const Bytes moscow{0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0};  // makes the Cyrillic window active
  const Column column{kNVarChar, "nvarchar(40)"};
  EXPECT_EQ(render(column, moscow, true), "Москва");
  EXPECT_EQ(render(column, {'C', 'a', 'f', 0xE9, 's'}, true), "Cafés");
}

TEST_F(ValueCharacters, VariantTailIsUtf16WhenHalfItsBytesAreZero) {
  const ColumnDescriptor column = describe({kSqlVariant, "sql_variant(8016)"});
  auto tail = [&](const Bytes& value) {
    ValueSpan span = initValueSpan(column, kSqlVariant, nullptr);
    span.length = static_cast<int16_t>(value.size() + 8);
    ExactBlock block(value);
    return renderValue(span, block.data(), column);
  };
  EXPECT_EQ(tail({'A', 0, 'B', 0}), "AB");
  EXPECT_EQ(tail({'A', 'B', 'C', 'D'}), "ABCD");
  EXPECT_EQ(tail({}), "");
}

// A stored sql_variant: base type, version 1, properties, value.
Bytes variant(uint8_t baseType, const Bytes& properties, const Bytes& value) {
  return join({{baseType, 1}, properties, value});
}

std::string renderVariant(const Bytes& stored, int32_t* consumed = nullptr) {
  ColumnDescriptor column = describe({kSqlVariant, "sql_variant(8016)"});
  ValueSpan span = initValueSpan(column, kSqlVariant, nullptr);
  span.consumed = 99;
  ExactBlock block(stored);
  std::string text = renderVariantValue(static_cast<int32_t>(stored.size()), span, block.data(), column);
  if (consumed != nullptr) *consumed = span.consumed;
  return text;
}

TEST(ValueVariant, NumbersOfEachBaseType) {
  EXPECT_EQ(renderVariant({0x38, 0x01, 0x01, 0x00, 0x00, 0x00}), "1");  // int literal 1 as stored
  EXPECT_EQ(renderVariant(variant(127, {}, le(0xFFFFFFFFFFFFFFFE, 8))), "-2");
  EXPECT_EQ(renderVariant(variant(52, {}, le(0x8000, 2))), "-32768");
  EXPECT_EQ(renderVariant(variant(48, {}, {200})), "200");
  EXPECT_EQ(renderVariant(variant(104, {}, {1})), "True");
  EXPECT_EQ(renderVariant(variant(62, {}, doubleBytes(0.1))), "0.1");
  EXPECT_EQ(renderVariant(variant(59, {}, singleBytes(1e-5f))), "1e-005");
  EXPECT_EQ(renderVariant(variant(60, {}, {0x40, 0x0D, 0x03, 0, 0, 0, 0, 0})), "20.0000");
  EXPECT_EQ(renderVariant(variant(122, {}, le(static_cast<uint64_t>(-12345), 4))), "-1.2345");
}

TEST(ValueVariant, DecimalsTakeTheirOwnPrecisionAndScale) {
  int32_t consumed = -1;
  EXPECT_EQ(renderVariant(variant(106, {5, 2}, {1, 0x39, 0x30, 0, 0}), &consumed), "123.45");
  EXPECT_EQ(consumed, 0);
  EXPECT_EQ(renderVariant(variant(108, {5, 2}, {0, 0x39, 0x30, 0, 0}), &consumed), "-123.45");
  EXPECT_EQ(consumed, 5);
}

TEST(ValueVariant, DatesAndTimes) {
  EXPECT_EQ(renderVariant(variant(61, {}, {0, 0, 0, 0, 0xBF, 0x86, 0, 0})), "1994-06-12 00:00:00");
  EXPECT_EQ(renderVariant(variant(58, {}, join({le(1439, 2), le(0, 2)}))), "1900-01-01 23:59:00");
  EXPECT_EQ(renderVariant(variant(40, {}, le(737424, 3))), "2020-01-01");
  EXPECT_EQ(renderVariant(variant(41, {3}, le(86399999, 4))), "23:59:59.999");
  EXPECT_EQ(renderVariant(variant(42, {0}, join({le(1, 3), le(737424, 3)}))), "2020-01-01 00:00:01");
  EXPECT_EQ(renderVariant(variant(43, {0}, join({le(0, 3), le(737424, 3), le(static_cast<uint64_t>(-60), 2)}))),
            "2019-12-31 23:00:00 -1:0");
  EXPECT_EQ(renderVariant(variant(42, {7}, Bytes(6, 0))), "");
}

TEST_F(ValueCharacters, VariantCharactersUseTheirOwnCollation) {
  const Bytes polish = le(kPolishCollation, 4);
  const Bytes maxLength = le(50, 2);
  EXPECT_EQ(renderVariant(variant(167, join({polish, maxLength}), kStanislaw)), "Stanisław");
  EXPECT_EQ(renderVariant(variant(175, join({le(99, 4), maxLength}), kStanislaw)), "Stanis³aw");
  EXPECT_EQ(renderVariant(variant(231, join({polish, maxLength}), utf16(u"Łódź"))), "Łódź");
  EXPECT_EQ(renderVariant(variant(239, join({polish, maxLength}), {})), "");
}

TEST(ValueVariant, BinaryAndClrAsHex) {
  EXPECT_EQ(renderVariant(variant(165, le(50, 2), {0x00, 0x41, 0xFF})), "0x0041FF");
  EXPECT_EQ(renderVariant(variant(173, le(2, 2), {0x01, 0x02})), "0x0102");
  EXPECT_EQ(renderVariant(variant(165, le(50, 2), {})), "");
  EXPECT_EQ(renderVariant(variant(240, {}, {0xAB})), "0xAB");
  EXPECT_EQ(renderVariant(variant(36, {}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})),
            "03020100-0504-0706-0809-0A0B0C0D0E0F");
}

TEST(ValueVariant, WrongLengthsAndUnknownTypes) {
  EXPECT_EQ(renderVariant({0x38, 0x01, 0x01, 0x00, 0x00}), "");  // int of length 5
  EXPECT_EQ(renderVariant({0x38, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00}), "");
  EXPECT_EQ(renderVariant(variant(231, Bytes(6, 0), {})), "");  // nvarchar of length 8
  EXPECT_EQ(renderVariant(variant(34, {}, {1, 2, 3})), "");       // image cannot be a variant
  EXPECT_EQ(renderVariant({0x38}), "");
  ColumnDescriptor column = describe({kSqlVariant, "sql_variant(8016)"});
  ValueSpan span = initValueSpan(column, kSqlVariant, nullptr);
  EXPECT_EQ(renderVariantValue(6, span, nullptr, column), "");
}

}  // namespace
}  // namespace orodorev::test
