#include "rows/BinaryXmlText.h"

#include <iconv.h>

#include <algorithm>
#include <array>

#include "storage/ByteOrder.h"

namespace orodorev::binxml {
namespace {

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool isHighSurrogate(uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Length of the UTF-8 sequence starting at `index`, or 0 when it is not a valid one
// (overlong forms, surrogates and values above U+10FFFF included).
size_t validUtf8SequenceLength(std::span<const uint8_t> bytes, size_t index) {
  const uint8_t lead = bytes[index];
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || index + length > bytes.size()) return 0;
  uint32_t code = lead & (0x3F >> (length - 1));
  for (size_t k = 1; k < length; ++k) {
    if ((bytes[index + k] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (bytes[index + k] & 0x3F);
  }
  constexpr std::array<uint32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF) return 0;
  if (isHighSurrogate(code) || isLowSurrogate(code)) return 0;
  return length;
}

std::optional<std::string> checkedUtf8(std::span<const uint8_t> bytes) {
  for (size_t index = 0; index < bytes.size();) {
    const size_t length = validUtf8SequenceLength(bytes, index);
    if (length == 0) return std::nullopt;
    index += length;
  }
  return std::string(bytes.begin(), bytes.end());
}

std::optional<std::string> asciiToUtf8(std::span<const uint8_t> bytes) {
  for (uint8_t byte : bytes) {
    if (byte >= 0x80) return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

std::string latin1ToUtf8(std::span<const uint8_t> bytes) {
  std::string out;
  for (uint8_t byte : bytes) appendUtf8(out, byte);
  return out;
}

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; its five unassigned bytes
// keep their own value, as Windows itself converts them.
std::string windows1252ToUtf8(std::span<const uint8_t> bytes) {
  constexpr std::array<char16_t, 32> kHighControls = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  for (uint8_t byte : bytes) {
    const bool remapped = byte >= 0x80 && byte < 0xA0;
    appendUtf8(out, remapped ? kHighControls[byte - 0x80] : byte);
  }
  return out;
}

std::optional<std::string> convertWithIconv(uint32_t codePage, std::span<const uint8_t> bytes) {
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t converter = iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  // No Windows code page needs more than four UTF-8 bytes per input byte.
  std::string out(bytes.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  size_t inLeft = bytes.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  const size_t failed = static_cast<size_t>(-1);
  bool ok = iconv(converter, &in, &inLeft, &dst, &outLeft) != failed && inLeft == 0;
  ok = ok && iconv(converter, nullptr, nullptr, &dst, &outLeft) != failed;
  iconv_close(converter);
  if (!ok) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::optional<std::string> utf16ToUtf8(std::span<const uint8_t> bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(bytes.size());
  for (size_t index = 0; index < bytes.size(); index += 2) {
    const uint32_t unit = readU16(bytes.data() + index);
    if (isLowSurrogate(unit)) return std::nullopt;
    if (!isHighSurrogate(unit)) {
      appendUtf8(out, unit);
      continue;
    }
    if (index + 4 > bytes.size()) return std::nullopt;
    const uint32_t low = readU16(bytes.data() + index + 2);
    if (!isLowSurrogate(low)) return std::nullopt;
    appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    index += 2;
  }
  return out;
}

std::optional<std::string> codePageToUtf8(uint32_t codePage, std::span<const uint8_t> bytes) {
  switch (codePage) {
    case 1200:
      return utf16ToUtf8(bytes);
    case 65001:
      return checkedUtf8(bytes);
    case 20127:
      return asciiToUtf8(bytes);
    case 28591:
      return latin1ToUtf8(bytes);
    case 1252:
      return windows1252ToUtf8(bytes);
    default:
      return convertWithIconv(codePage, bytes);
  }
}

void appendEscapedText(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\r': out += "&#x0D;"; break;
      default: out += c;
    }
  }
}

void appendEscapedAttribute(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "&#x0D;"; break;
      case '\n': out += "&#x0A;"; break;
      case '\t': out += "&#x09;"; break;
      default: out += c;
    }
  }
}

std::string base64Text(std::span<const uint8_t> bytes) {
  constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t index = 0; index < bytes.size(); index += 3) {
    const size_t count = std::min<size_t>(3, bytes.size() - index);
    uint32_t group = static_cast<uint32_t>(bytes[index]) << 16;
    if (count > 1) group |= static_cast<uint32_t>(bytes[index + 1]) << 8;
    if (count > 2) group |= bytes[index + 2];
    for (size_t k = 0; k < 4; ++k) {
      out += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

}  // namespace orodorev::binxml
