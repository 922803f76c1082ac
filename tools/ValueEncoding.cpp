#include "tools/ValueEncoding.h"

#include <cstdio>
#include <stdexcept>

namespace orodorev::sample {
namespace {

constexpr int kMoneyScale = 4;
constexpr uint32_t kTicksPerSecond = 300;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  int64_t era = (year >= 0 ? year : year - 399) / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// "-12.5" at scale 2 is -1250; more fraction digits than the scale are refused.
int64_t scaledInteger(const std::string& literal, int scale) {
  size_t at = 0;
  bool negative = !literal.empty() && literal[0] == '-';
  if (negative) ++at;
  int64_t value = 0;
  int fractionDigits = -1;
  for (; at < literal.size(); ++at) {
    char c = literal[at];
    if (c == '.' && fractionDigits < 0) {
      fractionDigits = 0;
      continue;
    }
    if (c < '0' || c > '9') throw std::invalid_argument("not a number: " + literal);
    value = value * 10 + (c - '0');
    if (fractionDigits >= 0 && ++fractionDigits > scale) throw std::invalid_argument("too many decimals: " + literal);
  }
  for (int k = fractionDigits < 0 ? 0 : fractionDigits; k < scale; ++k) value *= 10;
  return negative ? -value : value;
}

}  // namespace

int16_t decimalStorageBytes(uint8_t precision) {
  if (precision <= 9) return 5;
  if (precision <= 19) return 9;
  if (precision <= 28) return 13;
  return 17;
}

size_t fixedWidth(const ColumnDefinition& column) {
  switch (column.type) {
    case ColumnType::Int: return 4;
    case ColumnType::Money:
    case ColumnType::DateTime: return 8;
    case ColumnType::Decimal: return static_cast<size_t>(decimalStorageBytes(column.precision));
    default: return 0;
  }
}

Bytes encodeInt(const std::string& literal) {
  return ByteWriter().i32(static_cast<int32_t>(scaledInteger(literal, 0))).data();
}

Bytes encodeMoney(const std::string& literal) {
  return ByteWriter().i64(scaledInteger(literal, kMoneyScale)).data();
}

Bytes encodeDateTime(const std::string& literal) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(literal.c_str(), "%d-%d-%d %d:%d:%d", &year, &month, &day, &hour, &minute, &second) != 6)
    throw std::invalid_argument("not a datetime: " + literal);
  int64_t days = daysFromCivil(year, month, day) - daysFromCivil(1900, 1, 1);
  uint32_t ticks = static_cast<uint32_t>((hour * 3600 + minute * 60 + second)) * kTicksPerSecond;
  return ByteWriter().u32(ticks).i32(static_cast<int32_t>(days)).data();
}

Bytes encodeDecimal(const std::string& literal, uint8_t precision, uint8_t scale) {
  int64_t value = scaledInteger(literal, scale);
  ByteWriter out;
  out.u8(value < 0 ? 0 : 1);
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  size_t bytes = static_cast<size_t>(decimalStorageBytes(precision)) - 1;
  for (size_t k = 0; k < bytes; ++k) out.u8(k < 8 ? static_cast<uint8_t>(magnitude >> (8 * k)) : 0);
  return out.data();
}

bool bitValue(const std::string& literal) {
  if (literal != "0" && literal != "1") throw std::invalid_argument("not a bit: " + literal);
  return literal == "1";
}

Bytes encodeValue(const ColumnDefinition& column, const std::string& literal) {
  switch (column.type) {
    case ColumnType::Int: return encodeInt(literal);
    case ColumnType::Money: return encodeMoney(literal);
    case ColumnType::DateTime: return encodeDateTime(literal);
    case ColumnType::Decimal: return encodeDecimal(literal, column.precision, column.scale);
    case ColumnType::NVarChar:
    case ColumnType::NText: return utf16le(literal);
    case ColumnType::VarChar: return windows1252(literal);
    case ColumnType::Bit: break;
  }
  throw std::invalid_argument("bit values are placed by the table layout");
}

}  // namespace orodorev::sample
