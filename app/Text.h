#pragma once
// Text conversions for values read from disk. Everything inside the program is UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orodorev {

// UTF-16LE code units to UTF-8; an unpaired surrogate becomes U+FFFD. Stops at the
// first NUL unit when stopAtNul is set.
std::string utf16leToUtf8(const uint8_t* bytes, size_t units, bool stopAtNul = false);

void appendUtf8(std::string& out, uint32_t codePoint);

// Removes trailing blanks, tabs, CR and LF.
std::string trimRight(std::string text);

}  // namespace orodorev
