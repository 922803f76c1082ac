#include "rows/BinaryXmlValues.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "app/Text.h"
#include "rows/BinaryXmlDates.h"
#include "rows/BinaryXmlText.h"
#include "storage/ByteOrder.h"

namespace orodorev::binxml {
namespace {

template <typename T>
std::optional<std::string> readInteger(Cursor& cursor) {
  auto bytes = cursor.readBytes(sizeof(T));
  if (!bytes) return std::nullopt;
  uint64_t raw = 0;
  for (size_t k = 0; k < sizeof(T); ++k) raw |= static_cast<uint64_t>((*bytes)[k]) << (8 * k);
  return std::to_string(static_cast<T>(raw));
}

// Shortest digits that read back to the same value, as mantissa "E" exponent
// (1.5E0, 1E2, -2.5E-3), the form XQuery gives xs:double and xs:float.
template <typename T>
std::string scientificText(T value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  int exponent = 0;
  std::string_view digits = text.substr(e + 1);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
  return std::string(text.substr(0, e)) + "E" + std::to_string(exponent);
}

std::optional<std::string> readReal(Cursor& cursor) {
  auto raw = cursor.readU32();
  if (!raw) return std::nullopt;
  return scientificText(std::bit_cast<float>(*raw));
}

std::optional<std::string> readFloat(Cursor& cursor) {
  auto raw = cursor.readU64();
  if (!raw) return std::nullopt;
  return scientificText(std::bit_cast<double>(*raw));
}

// Money keeps four decimals; like SQL Server's own text it shows at least two.
std::string moneyText(int64_t units) {
  const bool negative = units < 0;
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(units) : units;
  std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
  while (fraction.size() > 2 && fraction.back() == '0') fraction.pop_back();
  return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

template <typename T>
std::optional<std::string> readMoney(Cursor& cursor) {
  auto bytes = cursor.readBytes(sizeof(T));
  if (!bytes) return std::nullopt;
  uint64_t raw = 0;
  for (size_t k = 0; k < sizeof(T); ++k) raw |= static_cast<uint64_t>((*bytes)[k]) << (8 * k);
  return moneyText(static_cast<T>(raw));
}

std::string digitsOf(unsigned __int128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

// SQL decimals keep every digit of their scale; xs:decimal drops trailing zeros.
std::string decimalText(std::string digits, size_t scale, bool negative, bool canonical) {
  if (digits.size() <= scale) digits.insert(0, scale + 1 - digits.size(), '0');
  std::string whole = digits.substr(0, digits.size() - scale);
  std::string fraction = digits.substr(digits.size() - scale);
  if (canonical) {
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }
  const bool zero = digits.find_first_not_of('0') == std::string::npos;
  return (negative && !zero ? "-" : "") + whole + (fraction.empty() ? "" : "." + fraction);
}

// Decimal layout: length (mb32: 7, 11, 15 or 19), precision (1-38), scale (<= precision),
// sign (1 positive, 0 negative), then a 4, 8, 12 or 16-byte little-endian integer.
std::optional<std::string> readDecimal(Cursor& cursor, bool canonical) {
  auto length = cursor.readMb32();
  if (!length || (*length != 7 && *length != 11 && *length != 15 && *length != 19)) {
    return std::nullopt;
  }
  auto body = cursor.readBytes(*length);
  if (!body) return std::nullopt;
  const uint8_t precision = (*body)[0];
  const uint8_t scale = (*body)[1];
  const uint8_t sign = (*body)[2];
  if (precision < 1 || precision > 38 || scale > precision || sign > 1) return std::nullopt;
  unsigned __int128 value = 0;
  for (size_t k = body->size(); k > 3; --k) value = (value << 8) | (*body)[k - 1];
  return decimalText(digitsOf(value), scale, sign == 0, canonical);
}

// The first three groups are little-endian integers, the last eight bytes keep their
// order; SQL Server prints the digits in uppercase.
std::optional<std::string> readUuid(Cursor& cursor) {
  auto bytes = cursor.readBytes(16);
  if (!bytes) return std::nullopt;
  const uint8_t* b = bytes->data();
  char text[40];
  std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                static_cast<unsigned>(readU32(b)), static_cast<unsigned>(readU16(b + 4)),
                static_cast<unsigned>(readU16(b + 6)), b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return std::string(text);
}

std::optional<std::string> readBoolean(Cursor& cursor) {
  auto byte = cursor.readByte();
  if (!byte) return std::nullopt;
  return std::string(*byte == 0 ? "false" : "true");
}

std::optional<std::string> readQName(Cursor& cursor, const ValueContext& context) {
  auto index = cursor.readMb32();
  if (!index || !context.qname) return std::nullopt;
  auto name = context.qname(*index);
  if (!name) return std::nullopt;
  return name->qualified();
}

std::optional<std::span<const uint8_t>> readBlob(Cursor& cursor, bool wideLength) {
  std::optional<uint64_t> length;
  if (wideLength) {
    length = cursor.readMb64();
  } else if (auto narrow = cursor.readMb32()) {
    length = *narrow;
  }
  if (!length) return std::nullopt;
  return cursor.readBytes(*length);
}

std::optional<std::string> readBinary(uint8_t token, Cursor& cursor) {
  const bool wideLength = token == kSqlVarBinary || token == kSqlImage;
  auto blob = readBlob(cursor, wideLength);
  if (!blob) return std::nullopt;
  return token == kXsdBinHex ? upperHex(*blob) : base64Text(*blob);
}

bool isBinaryToken(uint8_t token) {
  return token == kSqlBinary || token == kSqlVarBinary || token == kSqlImage ||
         token == kSqlUdt || token == kXsdBase64 || token == kXsdBinHex;
}

// Code page text: length (bytes, counting the code page), 4-byte code page, the bytes.
std::optional<std::string> readCodePageText(Cursor& cursor, bool wideLength) {
  auto blob = readBlob(cursor, wideLength);
  if (!blob || blob->size() < 4) return std::nullopt;
  return codePageToUtf8(readU32(blob->data()), blob->subspan(4));
}

std::optional<std::string> readCharacterData(uint8_t token, Cursor& cursor) {
  switch (token) {
    case kSqlChar: return readCodePageText(cursor, false);
    case kSqlVarChar:
    case kSqlText: return readCodePageText(cursor, true);
    case kSqlNChar: return cursor.readText32();
    case kSqlNVarChar:
    case kSqlNText: return cursor.readText64();
    default: return std::nullopt;
  }
}

bool isCharacterToken(uint8_t token) {
  return token == kSqlChar || token == kSqlVarChar || token == kSqlText || token == kSqlNChar ||
         token == kSqlNVarChar || token == kSqlNText;
}

std::optional<std::string> readNumber(uint8_t token, Cursor& cursor) {
  switch (token) {
    case kSqlBit:
    case kSqlTinyInt: return readInteger<uint8_t>(cursor);
    case kXsdByte: return readInteger<int8_t>(cursor);
    case kSqlSmallInt: return readInteger<int16_t>(cursor);
    case kXsdUnsignedShort: return readInteger<uint16_t>(cursor);
    case kSqlInt: return readInteger<int32_t>(cursor);
    case kXsdUnsignedInt: return readInteger<uint32_t>(cursor);
    case kSqlBigInt: return readInteger<int64_t>(cursor);
    case kXsdUnsignedLong: return readInteger<uint64_t>(cursor);
    case kSqlReal: return readReal(cursor);
    case kSqlFloat: return readFloat(cursor);
    case kSqlMoney: return readMoney<int64_t>(cursor);
    case kSqlSmallMoney: return readMoney<int32_t>(cursor);
    case kSqlDecimal:
    case kSqlNumeric: return readDecimal(cursor, false);
    case kXsdDecimal: return readDecimal(cursor, true);
    default: return std::nullopt;
  }
}

std::optional<std::string> readTypedValue(uint8_t token, Cursor& cursor,
                                          const ValueContext& context) {
  if (isBinaryToken(token)) return readBinary(token, cursor);
  if (isDateToken(token)) return readDateValue(token, cursor, context.version);
  switch (token) {
    case kSqlUuid: return readUuid(cursor);
    case kXsdBoolean: return readBoolean(cursor);
    case kXsdQName: return readQName(cursor, context);
    default: return readNumber(token, cursor);
  }
}

}  // namespace

bool isAtomicValueToken(uint8_t token) {
  return (token >= kSqlSmallInt && token <= kSqlSmallMoney) ||
         (token >= kSqlText && token <= kSqlNText) || token == kSqlUdt ||
         (token >= kXsdTimeOffset && token <= kXsdDate2) || (token >= kXsdTime && token <= kXsdQName);
}

std::optional<AtomicValue> readAtomicValue(uint8_t token, Cursor& cursor,
                                           const ValueContext& context) {
  if (!isAtomicValueToken(token)) return std::nullopt;
  const bool characterData = isCharacterToken(token);
  auto text = characterData ? readCharacterData(token, cursor)
                            : readTypedValue(token, cursor, context);
  if (!text) return std::nullopt;
  return AtomicValue{std::move(*text), characterData};
}

}  // namespace orodorev::binxml
