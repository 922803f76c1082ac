#pragma once

#include <cstdint>
#include <string>

namespace orodorev {

// One file of the database: from the file list, completed when the file is found.
struct FileRow {
  int32_t status = 0;
  int32_t fileId = 0;
  std::string logicalName;
  std::string physicalName;        // where the file is looked for
  std::string storedPhysicalName;  // as the file list records it
  int64_t fileSize = 0;
  int64_t pageCount = 0;   // whole 8 KB pages after the data offset
  int32_t dataOffset = 0;  // byte offset of page 0 in the file
};

}  // namespace orodorev
