#pragma once
// Text forms used by the binary XML decoder: UTF-16LE and code page bytes to UTF-8,
// XML escaping, and the base64 and hexadecimal forms of binary values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace orodorev::binxml {

// Nothing for an odd byte count or a surrogate without its partner.
std::optional<std::string> utf16ToUtf8(std::span<const uint8_t> bytes);

// 1200 (UTF-16LE), 65001 (UTF-8), 20127 (ASCII), 28591 (Latin-1) and 1252 are decoded
// here; other Windows code pages go through the C library's converters. Nothing when
// the code page is unknown or the bytes are not valid in it.
std::optional<std::string> codePageToUtf8(uint32_t codePage, std::span<const uint8_t> bytes);

// Text content escapes & < > and carriage returns, which a parser would otherwise
// fold into line feeds. Attribute values (always in double quotes) also escape the
// quote, tabs and line feeds, which a parser would otherwise turn into spaces.
void appendEscapedText(std::string& out, std::string_view text);
void appendEscapedAttribute(std::string& out, std::string_view text);

std::string base64Text(std::span<const uint8_t> bytes);

}  // namespace orodorev::binxml
