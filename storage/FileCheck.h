#pragma once
// Where page 0 starts in a data file. A file whose size is not a multiple of 8 KB
// has stray bytes either before its first page or after its last one; a page from
// 8 on that carries its own page number tells which.

#include <cstdint>

#include "app/FramePort.h"
#include "storage/ReadOnlyFile.h"

namespace orodorev {

// Returns the data offset to use: guessedOffset (size mod 8192) when the pages are
// found aligned there or nowhere, 0 when they are found aligned at the file start.
int64_t checkFileCorruption(const ReadOnlyFile& file, int64_t pageCount, int64_t guessedOffset,
                            FramePort& frame);

}  // namespace orodorev
