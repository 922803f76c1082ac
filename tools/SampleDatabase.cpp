#include "tools/SampleDatabase.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

#include "tools/AllocationPages.h"
#include "tools/SampleCatalog.h"

namespace orodorev::sample {
namespace {

constexpr int32_t kFilePages = 40;
constexpr int32_t kFirstUnitPage = 10;
constexpr int32_t kFileStructurePages[] = {kFileHeaderPageNumber, kPfsPageNumber, kGamPageNumber, kSgamPageNumber,
                                           kDiffMapPageNumber, kMinimalLogMapPageNumber, kBootPageNumber};

class FileAssembler {
 public:
  explicit FileAssembler(const SampleCatalog& catalog) : catalog_(catalog) {}

  Bytes assemble() {
    addUnitPages();
    addFileStructurePages();
    Bytes file;
    file.reserve(kFilePages * kPageBytes);
    for (int32_t n = 0; n < kFilePages; ++n) {
      auto page = pages_.find(n);
      Bytes bytes = page != pages_.end() ? page->second : Bytes(kPageBytes, 0);
      file.insert(file.end(), bytes.begin(), bytes.end());
    }
    return file;
  }

 private:
  void addUnitPages() {
    for (const UnitPlan& unit : catalog_.units()) {
      PageAddress single{unit.page, kPrimaryFileId};
      place(unit.iamPage, iamPage(unit.iamPage, unit.headerObjectId, unit.headerIndexId, {single}));
      PageBuilder page(unit.pageType, unit.page);
      page.owner(unit.headerObjectId, unit.headerIndexId);
      for (const Bytes& record : catalog_.recordsOf(unit)) page.addRecord(record);
      place(unit.page, page.finish());
      states_[unit.iamPage] = kPageAllocated | kPageInMixedExtent | kPageIsIam;
      states_[unit.page] = kPageAllocated | kPageInMixedExtent |
                           (unit.pageType == kTextMixPage ? kPageUpToHalfFull : kPageFree);
    }
  }

  void addFileStructurePages() {
    for (int32_t n : kFileStructurePages) states_[n] = kPageAllocated | kPageFull;
    const SampleContent& content = catalog_.content();
    place(kFileHeaderPageNumber, fileHeaderPage({content.databaseName, catalog_.dataFile().physicalName, kFilePages}));
    place(kPfsPageNumber, pfsPage(pageStates()));
    place(kGamPageNumber, allocationMapPage(kGamPage, kGamPageNumber, freeExtents(), true));
    place(kSgamPageNumber, allocationMapPage(kSgamPage, kSgamPageNumber, mixedExtentsWithRoom(), false));
    place(kDiffMapPageNumber, allocationMapPage(kDiffMapPage, kDiffMapPageNumber, {}, false));
    place(kMinimalLogMapPageNumber, allocationMapPage(kMinimalLogMapPage, kMinimalLogMapPageNumber, {}, false));
    place(kBootPageNumber, bootPage({content.databaseName, content.version, content.collationId}));
  }

  void place(int32_t pageNumber, Bytes page) {
    if (pageNumber >= kFilePages || !pages_.emplace(pageNumber, std::move(page)).second)
      throw std::logic_error("page " + std::to_string(pageNumber) + " placed twice or outside the file");
  }

  std::vector<uint8_t> pageStates() const {
    std::vector<uint8_t> states(kFilePages, kPageFree);
    for (const auto& [page, state] : states_) states[static_cast<size_t>(page)] = state;
    return states;
  }

  bool allocated(int32_t page) const { return states_.count(page) > 0; }

  std::vector<bool> freeExtents() const {
    std::vector<bool> free;
    for (int32_t first = 0; first < kFilePages; first += kPagesPerExtent) {
      bool any = false;
      for (int32_t n = first; n < first + kPagesPerExtent; ++n) any = any || allocated(n);
      free.push_back(!any);
    }
    return free;
  }

  // Extent 0 holds the file's own structures; every later extent is shared by the
  // single pages of many allocation units.
  std::vector<bool> mixedExtentsWithRoom() const {
    std::vector<bool> room{false};
    for (int32_t first = kPagesPerExtent; first < kFilePages; first += kPagesPerExtent) {
      bool hasFreePage = false;
      for (int32_t n = first; n < first + kPagesPerExtent; ++n) hasFreePage = hasFreePage || !allocated(n);
      room.push_back(hasFreePage);
    }
    return room;
  }

  const SampleCatalog& catalog_;
  std::map<int32_t, Bytes> pages_;
  std::map<int32_t, uint8_t> states_;
};

}  // namespace

Bytes buildSampleDatabase() {
  SampleCatalog catalog(sampleContent(), kFirstUnitPage);
  return FileAssembler(catalog).assemble();
}

void writeSampleDatabase(const std::string& path) {
  Bytes file = buildSampleDatabase();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace orodorev::sample
