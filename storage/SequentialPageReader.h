#pragma once
// Reads a file page after page from a start offset in large blocks, so a pass over
// a multi-gigabyte file costs a few thousand system calls, not one per page.

#include <cstdint>
#include <vector>

#include "storage/ReadOnlyFile.h"

namespace orodorev {

class SequentialPageReader {
 public:
  SequentialPageReader(const ReadOnlyFile& file, int64_t startOffset, int blockPages = 128);

  // The next 8192 bytes, zero-filled where the file ends. Valid until the next call.
  const uint8_t* next();

 private:
  const ReadOnlyFile& file_;
  int64_t nextOffset_;
  int blockPages_;
  int pageInBlock_;
  std::vector<uint8_t> block_;
};

}  // namespace orodorev
