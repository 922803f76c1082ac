#pragma once
// What a row reader asks of values stored outside the record: the text behind a text
// pointer or a root pointer, and the xml text behind either.

#include <cstdint>
#include <string>
#include <vector>

#include "rows/LargeObjectText.h"
#include "storage/DatabaseFile.h"

namespace orodorev {

// A 16-byte text pointer (text, ntext, image columns).
std::string textPointerValue(const DatabaseFile& file, const std::vector<uint8_t>& pointer, LobFlags flags);
std::string textPointerXml(const DatabaseFile& file, const std::vector<uint8_t>& pointer);

// A row-overflow pointer or an in-row root of a max-length value.
std::string rootPointerValue(const DatabaseFile& file, const std::vector<uint8_t>& root, LobFlags flags);
std::string rootPointerXml(const DatabaseFile& file, const std::vector<uint8_t>& root);

}  // namespace orodorev
