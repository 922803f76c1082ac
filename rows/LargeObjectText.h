#pragma once
// Text forms of the bytes of a large value, once all its pieces are gathered.

#include <cstdint>
#include <span>
#include <string>

namespace orodorev {

// What the column's type says about its stored bytes.
struct LobFlags {
  bool binary = false;   // varbinary, image, CLR types: shown as hex digits
  bool variant = false;  // sql_variant: a base type header precedes the value
  bool unicode = false;  // ntext, nvarchar: UTF-16LE
};

// How the value was stored. A variant header is looked for only when the reference led
// straight to small roots or data records, and UTF-16 is recognised by its zero bytes
// (without the unicode flag) only in a small root.
struct LargeValueShape {
  bool leafAtTop = false;
  bool smallRoot = false;
};

std::string largeValueText(std::span<const uint8_t> bytes, LobFlags flags, LargeValueShape shape);

// Code page of the large value being read, from its column's collation (set by the row
// reader before it reads the value); the database's when the column names none.
int32_t largeValueCodePage();

// The single text forms share names with the row renderer's, so they live apart.
namespace lob {

constexpr int32_t kSystemAnsiCodePage = 1252;

// The bytes before the first zero byte, converted from the code page.
std::string codePageText(std::span<const uint8_t> bytes, int32_t codePage);
// UTF-16LE up to the first zero code unit; an odd last byte pairs with a zero byte.
std::string utf16Text(std::span<const uint8_t> bytes);
// Exactly half of the bytes (and at least one) are zero: UTF-16 text of Latin letters.
bool looksLikeUtf16(std::span<const uint8_t> bytes);
// A sql_variant moved out of its row: base type byte, version byte, properties, value.
std::string variantText(std::span<const uint8_t> bytes);

}  // namespace lob
}  // namespace orodorev
