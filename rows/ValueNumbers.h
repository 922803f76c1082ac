#pragma once
// Text forms of stored numbers, without any locale: integers, money, float, real,
// decimal, and the hex forms of binary values. Empty text means "cannot be shown".

#include <cstdint>
#include <span>
#include <string>

namespace orodorev {

using ValueBytes = std::span<const uint8_t>;

// Little-endian integer of 1 to 8 bytes; the signed form extends the top byte's sign.
uint64_t readUnsigned(ValueBytes bytes);
int64_t readSigned(ValueBytes bytes);

std::string integerText(int64_t value);

// money and smallmoney: the amount times 10,000, written with exactly four decimals.
std::string moneyText(int64_t tenThousandths);

// float: fixed notation with 15 significant digits, trailing zeros and point removed.
// Empty for infinities and NaN, which no SQL Server float can hold.
std::string floatText(double value);

// real: six significant digits, an exponent written as e, sign and three digits.
// Empty for infinities and NaN.
std::string realText(float value);

// IEEE double of 8 and single of 4 little-endian bytes; fewer bytes are the high-order ones.
double readDouble(ValueBytes bytes);
float readSingle(ValueBytes bytes);

// The double or single whose high-order bytes were stored, the low-order zero bytes
// having been left out by row compression: `stored` fills the top of `width` bytes.
double floatFromHighBytes(ValueBytes stored);
float realFromHighBytes(ValueBytes stored);

// numeric and decimal: sign byte (0 negative) and a little-endian magnitude of up to
// 16 bytes, at the given precision and scale. Empty when the precision or scale is
// impossible or the magnitude has more digits than the precision allows.
std::string decimalText(uint8_t signByte, ValueBytes magnitude, uint8_t precision, uint8_t scale);


// uniqueidentifier: 16 bytes as XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX, the first three
// groups little-endian.
std::string guidText(ValueBytes bytes);

}  // namespace orodorev
