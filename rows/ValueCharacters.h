#pragma once
// Character values to UTF-8: which code page a non-Unicode value is read in (from the
// column's collation, the database's collation and the collation table), and the
// Unicode forms (UTF-16LE, and SCSU from row-compressed records).

#include <cstdint>
#include <string>

#include "rows/ValueNumbers.h"

namespace orodorev {

// Code page of the machine the data is read for, used when no collation decides.
constexpr int32_t kSystemAnsiCodePage = 1252;

// The bytes before the first zero byte, read in the code page.
std::string textUpToZero(ValueBytes bytes, int32_t codePage);

// A char column's value. With the database collation known and the column's collation
// listed, zero bytes inside the value are kept as "_" so a damaged value shows its
// whole width.
std::string charColumnText(ValueBytes bytes, int32_t collationId);

// A varchar or in-row text value, up to the first zero byte.
std::string varcharColumnText(ValueBytes bytes, int32_t collationId);

// UTF-16LE up to the first zero code unit; a last odd byte, half a character, is left out.
std::string utf16Text(ValueBytes bytes);

// A Unicode value that row compression stored in SCSU, up to the first zero character.
std::string scsuText(ValueBytes bytes);

// Bytes that are UTF-16LE when exactly half of them are zero, else 8-bit text in the
// system code page: what is left of a value whose type is not known.
std::string halfZeroText(ValueBytes bytes);

// The code page the collation table lists for a collation id, or the system's.
int32_t listedCodePageOr(int64_t collationId, int32_t fallback);

}  // namespace orodorev
