#include <optional>

#include "rows/ValueCharacters.h"
#include "app/Text.h"
#include "rows/ValueDates.h"
#include "rows/ValueNumbers.h"
#include "rows/ValueRendering.h"

// A stored sql_variant:
//   byte 0     base type id (the system type id of the value)
//   byte 1     format version
//   bytes 2..  the base type's properties, then the value:
//     time, datetime2, datetimeoffset   byte 2 scale                      value from 3
//     decimal, numeric                  byte 2 precision, byte 3 scale    value from 4
//     binary, varbinary                 bytes 2-3 maximum length          value from 4
//     char, varchar, nchar, nvarchar    bytes 2-5 collation id,
//                                       bytes 6-7 maximum length          value from 8
//     every other type                  none                              value from 2

namespace orodorev {
namespace {

enum VariantBaseType : uint8_t {
  kVariantUniqueIdentifier = 36,
  kVariantDate = 40,
  kVariantTime = 41,
  kVariantDateTime2 = 42,
  kVariantDateTimeOffset = 43,
  kVariantTinyInt = 48,
  kVariantSmallInt = 52,
  kVariantInt = 56,
  kVariantSmallDateTime = 58,
  kVariantReal = 59,
  kVariantMoney = 60,
  kVariantDateTime = 61,
  kVariantFloat = 62,
  kVariantBit = 104,
  kVariantDecimal = 106,
  kVariantNumeric = 108,
  kVariantSmallMoney = 122,
  kVariantBigInt = 127,
  kVariantVarBinary = 165,
  kVariantVarChar = 167,
  kVariantBinary = 173,
  kVariantChar = 175,
  kVariantClrType = 240,
  kVariantNVarChar = 231,
  kVariantNChar = 239,
};

constexpr size_t kPlainValueStart = 2;
constexpr size_t kScaledValueStart = 3;
constexpr size_t kDecimalValueStart = 4;
constexpr size_t kBinaryValueStart = 4;
constexpr size_t kCharacterValueStart = 8;

// The value of a base type of fixed width: the stored length must be exactly its.
std::optional<ValueBytes> fixedValue(ValueBytes stored, size_t width) {
  if (stored.size() != kPlainValueStart + width) return std::nullopt;
  return stored.subspan(kPlainValueStart, width);
}

// The value of a base type with properties: at least one byte after them.
std::optional<ValueBytes> valueAfter(ValueBytes stored, size_t start) {
  if (stored.size() <= start) return std::nullopt;
  return stored.subspan(start);
}

std::string fixedText(ValueBytes stored, size_t width, std::string (*text)(ValueBytes)) {
  auto value = fixedValue(stored, width);
  return value ? text(*value) : std::string();
}

std::string signedText(ValueBytes bytes) { return integerText(readSigned(bytes)); }
std::string tinyIntText(ValueBytes bytes) { return integerText(bytes[0]); }
std::string bitText(ValueBytes bytes) { return bytes[0] != 0 ? "True" : "False"; }
std::string doubleText(ValueBytes bytes) { return floatText(readDouble(bytes)); }
std::string singleText(ValueBytes bytes) { return realText(readSingle(bytes)); }
std::string storedMoneyText(ValueBytes bytes) { return moneyText(readSigned(bytes)); }

std::string scaledText(ValueBytes stored, std::string (*text)(ValueBytes, int)) {
  if (stored.size() < kScaledValueStart) return {};
  return text(stored.subspan(kScaledValueStart), stored[2]);
}

std::string variantDecimalText(ValueBytes stored) {
  auto value = valueAfter(stored, kDecimalValueStart);
  if (!value) return {};
  return decimalText((*value)[0], value->subspan(1), stored[2], stored[3]);
}

// 8-bit text in the code page of the value's own collation, when the collation table
// lists it.
std::string variantCharacterText(ValueBytes stored) {
  auto value = valueAfter(stored, kCharacterValueStart);
  if (!value) return {};
  int64_t collationId = readSigned(stored.subspan(2, 4));
  return textUpToZero(*value, listedCodePageOr(collationId, kSystemAnsiCodePage));
}

std::string variantUnicodeText(ValueBytes stored) {
  auto value = valueAfter(stored, kCharacterValueStart);
  return value ? utf16Text(*value) : std::string();
}

std::string prefixedHexAfter(ValueBytes stored, size_t start) {
  if (stored.size() < start) return {};
  return "0x" + upperHex(stored.subspan(start));
}

std::string variantText(ValueBytes stored) {
  switch (stored[0]) {
    case kVariantBigInt: return fixedText(stored, 8, signedText);
    case kVariantInt: return fixedText(stored, 4, signedText);
    case kVariantSmallInt: return fixedText(stored, 2, signedText);
    case kVariantTinyInt: return fixedText(stored, 1, tinyIntText);
    case kVariantBit: return fixedText(stored, 1, bitText);
    case kVariantFloat: return fixedText(stored, 8, doubleText);
    case kVariantReal: return fixedText(stored, 4, singleText);
    case kVariantMoney: return fixedText(stored, 8, storedMoneyText);
    case kVariantSmallMoney: return fixedText(stored, 4, storedMoneyText);
    case kVariantDateTime: return fixedText(stored, 8, dateTimeText);
    case kVariantSmallDateTime: return fixedText(stored, 4, smallDateTimeText);
    case kVariantDate: return fixedText(stored, 3, dateText);
    case kVariantTime: return scaledText(stored, timeText);
    case kVariantDateTime2: return scaledText(stored, dateTime2Text);
    case kVariantDateTimeOffset: return scaledText(stored, dateTimeOffsetText);
    case kVariantDecimal: case kVariantNumeric: return variantDecimalText(stored);
    case kVariantUniqueIdentifier: return fixedText(stored, 16, guidText);
    case kVariantVarChar: case kVariantChar: return variantCharacterText(stored);
    case kVariantNVarChar: case kVariantNChar: return variantUnicodeText(stored);
    case kVariantVarBinary: case kVariantBinary:
      return stored.size() > kBinaryValueStart ? prefixedHexAfter(stored, kBinaryValueStart) : "";
    case kVariantClrType: return prefixedHexAfter(stored, kPlainValueStart);
    default: return {};
  }
}

}  // namespace

std::string renderVariantValue(int32_t length, ValueSpan& span, const uint8_t* data,
                               const ColumnDescriptor& /*column*/) {
  span.consumed = 0;
  if (data == nullptr || length < static_cast<int32_t>(kPlainValueStart)) return {};
  ValueBytes stored(data, static_cast<size_t>(length));
  if (stored[0] == kVariantNumeric && length > static_cast<int32_t>(kDecimalValueStart))
    span.consumed = length - static_cast<int32_t>(kDecimalValueStart);
  return variantText(stored);
}

}  // namespace orodorev
