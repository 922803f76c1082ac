#include "rows/ValueNumbers.h"
#include "app/Text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace orodorev {
namespace {

constexpr int kMaxDecimalPrecision = 38;
constexpr size_t kMaxMagnitudeBytes = 16;
constexpr int kFloatSignificantDigits = 15;
constexpr int kFloatFallbackDecimals = 6;
constexpr int kRealSignificantDigits = 6;
constexpr size_t kExponentDigits = 3;
// Fixed notation of the smallest subnormal double needs some 340 digits.
constexpr size_t kFixedTextCapacity = 1024;

std::string digitsOf(unsigned __int128 value) {
  if (value == 0) return "0";
  std::string digits;
  while (value != 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  }
  return digits;
}

void removeTrailingZeros(std::string& text) {
  if (text.find('.') == std::string::npos) return;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
}

// "1.5e+06" -> "1.5e+006": the exponent always has three digits.
void widenExponent(std::string& text) {
  size_t e = text.find('e');
  if (e == std::string::npos || e + 2 > text.size()) return;
  size_t digits = text.size() - (e + 2);
  if (digits < kExponentDigits) text.insert(e + 2, kExponentDigits - digits, '0');
}

int floatDecimals(double value) {
  double magnitude = std::fabs(value);
  if (magnitude == 0) return kFloatFallbackDecimals;
  int decimals = kFloatSignificantDigits - static_cast<int>(std::ceil(std::log10(magnitude)));
  return decimals < 0 ? kFloatFallbackDecimals : decimals;
}

template <typename Number, size_t Width>
Number fromHighBytes(ValueBytes stored) {
  std::array<uint8_t, Width> bytes{};
  size_t count = stored.size() < Width ? stored.size() : Width;
  std::memcpy(bytes.data() + Width - count, stored.data(), count);
  Number value;
  std::memcpy(&value, bytes.data(), Width);
  return value;
}

}  // namespace

uint64_t readUnsigned(ValueBytes bytes) {
  uint64_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

int64_t readSigned(ValueBytes bytes) {
  if (bytes.empty() || bytes.size() > 8) return 0;
  uint64_t value = readUnsigned(bytes);
  size_t bits = 8 * bytes.size();
  if (bits < 64 && (bytes.back() & 0x80)) value |= ~uint64_t{0} << bits;
  return static_cast<int64_t>(value);
}

std::string integerText(int64_t value) { return std::to_string(value); }

std::string moneyText(int64_t tenThousandths) {
  bool negative = tenThousandths < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(tenThousandths)
                                : static_cast<uint64_t>(tenThousandths);
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction;
}

std::string floatText(double value) {
  if (!std::isfinite(value)) return {};
  std::array<char, kFixedTextCapacity> buffer;
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, floatDecimals(value));
  if (error != std::errc()) return {};
  std::string text(buffer.data(), end);
  removeTrailingZeros(text);
  return text;
}

std::string realText(float value) {
  if (!std::isfinite(value)) return {};
  std::array<char, 64> buffer;
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                    static_cast<double>(value), std::chars_format::general,
                                    kRealSignificantDigits);
  if (error != std::errc()) return {};
  std::string text(buffer.data(), end);
  widenExponent(text);
  return text;
}

double floatFromHighBytes(ValueBytes stored) { return fromHighBytes<double, 8>(stored); }
float realFromHighBytes(ValueBytes stored) { return fromHighBytes<float, 4>(stored); }
double readDouble(ValueBytes bytes) { return floatFromHighBytes(bytes); }
float readSingle(ValueBytes bytes) { return realFromHighBytes(bytes); }

std::string decimalText(uint8_t signByte, ValueBytes magnitude, uint8_t precision, uint8_t scale) {
  if (precision < 1 || precision > kMaxDecimalPrecision || scale > precision) return {};
  if (magnitude.size() > kMaxMagnitudeBytes) return {};
  unsigned __int128 value = 0;
  for (size_t i = magnitude.size(); i-- > 0;) value = (value << 8) | magnitude[i];
  std::string digits = digitsOf(value);
  if (digits.size() > precision) return {};
  if (digits.size() <= scale) digits.insert(0, scale - digits.size() + 1, '0');
  if (scale > 0) digits.insert(digits.size() - scale, 1, '.');
  return (signByte == 0 ? "-" : "") + digits;
}


std::string guidText(ValueBytes bytes) {
  if (bytes.size() != 16) return {};
  const std::array<uint8_t, 16> order{3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  std::array<uint8_t, 16> shown;
  for (size_t i = 0; i < order.size(); ++i) shown[i] = bytes[order[i]];
  std::string hex = upperHex(shown);
  return hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" +
         hex.substr(16, 4) + "-" + hex.substr(20);
}

}  // namespace orodorev
