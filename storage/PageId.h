#pragma once
// Address of a page inside a database: file id (1 = primary file) and the page's
// position in that file, counted in 8 KB pages from the file's data offset.

#include <cstdint>
#include <string>

namespace orodorev {

struct PageId {
  int16_t fileId = 1;
  int32_t pageNumber = 0;

  auto operator<=>(const PageId&) const = default;
  std::string text() const { return std::to_string(fileId) + ":" + std::to_string(pageNumber); }
};

}  // namespace orodorev
