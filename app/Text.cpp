#include "app/Text.h"

#include <utility>

namespace orodorev {

void appendUtf8(std::string& out, uint32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

namespace {

void appendUtf16le(std::string& out, uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

// The code point of the well-formed sequence at text[i], and its length; length 0
// when the bytes there are not one.
std::pair<uint32_t, size_t> decodeUtf8(std::string_view text, size_t i) {
  auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  uint8_t lead = byte(i);
  if (lead < 0x80) return {lead, 1};
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > text.size()) return {0, 0};
  uint32_t codePoint = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return {0, 0};
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr uint32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
  bool overlong = codePoint < kSmallestOfLength[length];
  bool surrogate = codePoint >= 0xD800 && codePoint < 0xE000;
  if (overlong || surrogate || codePoint > 0x10FFFF) return {0, 0};
  return {codePoint, length};
}

}  // namespace

std::string utf8ToUtf16le(std::string_view text) {
  std::string out;
  out.reserve(2 * text.size());
  for (size_t i = 0; i < text.size();) {
    auto [codePoint, length] = decodeUtf8(text, i);
    if (length == 0) {
      codePoint = 0xFFFD;
      length = 1;
    }
    if (codePoint >= 0x10000) {
      appendUtf16le(out, 0xD800 + ((codePoint - 0x10000) >> 10));
      appendUtf16le(out, 0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      appendUtf16le(out, codePoint);
    }
    i += length;
  }
  return out;
}

std::string utf16leToUtf8(const uint8_t* bytes, size_t units, bool stopAtNul) {
  constexpr uint32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    uint32_t unit = bytes[2 * i] | (bytes[2 * i + 1] << 8);
    if (unit == 0 && stopAtNul) break;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      uint32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    appendUtf8(out, (unit >= 0xD800 && unit < 0xE000) ? kReplacement : unit);
  }
  return out;
}

std::string upperHex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(2 * bytes.size());
  for (uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

std::string trimRight(std::string text) {
  size_t end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

}  // namespace orodorev

#include <iconv.h>

namespace orodorev {
namespace {

// Bytes 0x80-0x9F of code page 1252; 0 where the code page has no character, which
// Windows turns into the control character of the same number.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string cp1252ToUtf8(const uint8_t* bytes, size_t length) {
  std::string out;
  out.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    uint8_t b = bytes[i];
    uint32_t codePoint = b;
    if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80]) codePoint = kCp1252High[b - 0x80];
    appendUtf8(out, codePoint);
  }
  return out;
}

}  // namespace

std::string codePageToUtf8(const uint8_t* bytes, size_t length, int32_t codePage) {
  if (codePage == 1252 || codePage <= 0) return cp1252ToUtf8(bytes, length);
  if (codePage == 65001) return std::string(reinterpret_cast<const char*>(bytes), length);
  std::string name = "CP" + std::to_string(codePage);
  iconv_t converter = iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return cp1252ToUtf8(bytes, length);
  std::string out;
  std::string chunk(4 * length + 16, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
  size_t inLeft = length;
  while (inLeft > 0) {
    char* dst = chunk.data();
    size_t outLeft = chunk.size();
    size_t result = iconv(converter, &in, &inLeft, &dst, &outLeft);
    out.append(chunk.data(), chunk.size() - outLeft);
    if (result == static_cast<size_t>(-1) && inLeft > 0) {
      appendUtf8(out, 0xFFFD);  // an invalid or incomplete sequence: skip one byte
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return out;
}

}  // namespace orodorev
