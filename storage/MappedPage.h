#pragma once
// One entry of a page-to-object map: where a page lies and what kind it is. Kept
// naturally aligned (12 bytes): a packed entry saves two bytes a page but makes every
// reference to a field misaligned.

#include <cstdint>
#include <map>
#include <vector>

namespace orodorev {

struct MappedPage {
  int16_t fileId = 0;
  int16_t indexId = 0;     // from the page header; tells apart units that share an object id
  int32_t pageNumber = 0;  // position in its file, not the number in the page header
  int32_t pageType = 0;
};
static_assert(sizeof(MappedPage) == 12);

// Object id from the page headers -> that object's pages in file order.
using PageMap = std::map<int32_t, std::vector<MappedPage>>;

}  // namespace orodorev
