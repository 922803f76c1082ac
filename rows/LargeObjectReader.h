#pragma once
// Follows the reference a record holds for a large value to the value's bytes and
// returns their text, or, for an xml value (a chunk list given), appends one chunk per
// small root or data record and returns empty text.
//
// The bytes of a value are gathered whole before they become text, so a character cut
// between two data records, or a byte count measured against converted text, cannot
// lose or corrupt anything.

#include <string>
#include <vector>

#include "rows/BinaryXml.h"
#include "rows/LargeObjectPage.h"
#include "rows/LargeObjectPointers.h"
#include "rows/LargeObjectText.h"
#include "rows/LargeObjectWalk.h"
#include "storage/ByteView.h"

namespace orodorev {

class DatabaseFile;

// The value whose structure starts in a record the caller holds.
std::string readStructure(const TextRecord& record, const DatabaseFile& file, LobFlags flags,
                          std::vector<XmlChunk>* chunks, const LobLimits& limits = {});

// Empty text when the pointer's record cannot be reached or is not the one the pointer
// names; " " when it is reached but holds nothing.
std::string readTextPointer(const TextPointer& pointer, std::vector<XmlChunk>* chunks,
                            const LobLimits& limits = {});

// A row-overflow pointer or in-row root: its links' values joined in link order.
std::string readRootPointer(const DatabaseFile& file, ByteView value, LobFlags flags,
                            std::vector<XmlChunk>* chunks, const LobLimits& limits = {});

}  // namespace orodorev
