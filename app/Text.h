#pragma once
// Text conversions for values read from disk. Everything inside the program is UTF-8.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orodorev {

// UTF-16LE code units to UTF-8; an unpaired surrogate becomes U+FFFD. Stops at the
// first NUL unit when stopAtNul is set.
std::string utf16leToUtf8(const uint8_t* bytes, size_t units, bool stopAtNul = false);

void appendUtf8(std::string& out, uint32_t codePoint);

// UTF-8 to UTF-16LE bytes, two or four per character, no terminator; a malformed
// sequence becomes U+FFFD.
std::string utf8ToUtf16le(std::string_view text);

// Two upper-case hex digits per byte, no prefix.
std::string upperHex(std::span<const uint8_t> bytes);

// Removes trailing blanks, tabs, CR and LF.
std::string trimRight(std::string text);

}  // namespace orodorev

namespace orodorev {

// 8-bit text in a Windows code page to UTF-8, through iconv ("CP1252", "CP936", ...).
// Bytes that cannot be converted become U+FFFD; an unknown code page is read as 1252.
std::string codePageToUtf8(const uint8_t* bytes, size_t length, int32_t codePage);

}  // namespace orodorev
