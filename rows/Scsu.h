#pragma once
// Decoder for SCSU (Unicode Technical Standard #6, "A Standard Compression Scheme
// for Unicode"), the form in which row and page compression keep nchar/nvarchar values.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orodorev {

// Decodes one compressed value into UTF-8. Every call starts from the initial state,
// so a value never depends on the one decoded before it. Damaged input gives what
// could be decoded: a command cut off at the end stops decoding, an unpaired
// surrogate becomes U+FFFD, and the result is at most four bytes per input byte.
std::string decodeScsu(std::span<const uint8_t> bytes);
std::string decodeScsu(const uint8_t* data, size_t size);

}  // namespace orodorev
