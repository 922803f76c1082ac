#pragma once
// Date and time values of binary XML, given as XML Schema lexical forms.

#include <cstdint>
#include <optional>
#include <string>

#include "rows/BinaryXmlFormat.h"

namespace orodorev::binxml {

bool isDateToken(uint8_t token);

// Reads the value after a date or time token. Version 2 tokens need `version` >= 2.
// Nothing for cut-short bytes, fields out of range or a day that does not exist.
std::optional<std::string> readDateValue(uint8_t token, Cursor& cursor, int version);

}  // namespace orodorev::binxml
