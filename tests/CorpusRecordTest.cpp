// Real database files: boot pages against the manifest, records of every data page,
// and what the IAM pages list against the page map.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "storage/AllocationMap.h"
#include "storage/BootPage.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

struct ManifestRow {
  std::string file;
  int version = 0;
  std::string databaseName;
  int32_t collationId = 0;
};

std::vector<ManifestRow> readManifest() {
  std::ifstream in(test::corpusDir() + "/MANIFEST.tsv");
  std::vector<ManifestRow> rows;
  std::string line;
  std::getline(in, line);  // column names
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream cellsIn(line);
    for (std::string cell; std::getline(cellsIn, cell, '\t');) cells.push_back(cell);
    if (cells.size() < 7) continue;
    rows.push_back({cells[0], std::stoi(cells[3]), cells[5], static_cast<int32_t>(std::stol(cells[6]))});
  }
  return rows;
}

TEST(CorpusBootPage, VersionNameAndCollationAsTheManifestLists) {
  auto manifest = readManifest();
  ASSERT_EQ(manifest.size(), test::corpusDataFiles().size());
  for (const ManifestRow& row : manifest) {
    SCOPED_TRACE(row.file);
    resetApplicationState();
    DatabaseFile file(test::corpusDir() + "/" + row.file, false, nullptr);
    ASSERT_TRUE(file.opened());
    auto boot = readDatabaseName(file);
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->version, row.version);
    EXPECT_EQ(file.databaseName, row.databaseName);
    EXPECT_EQ(boot->storedCollationId, row.collationId);
    EXPECT_FALSE(appState().databaseVersionText.empty());
  }
  resetApplicationState();
}

// Pages that nothing owns any more keep old contents; only pages whose header
// carries their own position are judged.
bool isCurrentPage(const CPage& page, const MappedPage& mapped) {
  return page.header().thisPage.pageNumber == mapped.pageNumber;
}

TEST(CorpusRecords, EveryDataPageRecordParsesAndFitsItsPage) {
  resetApplicationState();
  appState().showDeleted = true;
  int pagesChecked = 0;
  int recordsChecked = 0;
  std::vector<std::string> broken;
  for (const std::string& path : test::corpusDataFiles()) {
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    for (const auto& [objectId, pages] : file.dataPageMap) {
      for (const MappedPage& mapped : pages) {
        auto page = file.loadDataPage({mapped.fileId, mapped.pageNumber});
        ASSERT_TRUE(page);
        if (!isCurrentPage(*page, mapped)) continue;
        ++pagesChecked;
        int64_t total = 0;
        std::string where = path.substr(path.rfind('/') + 1) + " page " + std::to_string(mapped.pageNumber);
        for (size_t slot = 0; slot < page->records().size(); ++slot) {
          const CPrimaryRecord* record = page->record(slot);
          if (!record) continue;
          ++recordsChecked;
          if (record->error || record->fixedLength == kStubUnreachable)
            broken.push_back(where + " slot " + std::to_string(slot));
          total += record->recordType == kForwardingStubType ? 9 : record->cursor;
        }
        if (total > kPageSize - kPageHeaderSize) broken.push_back(where + " records overflow");
      }
    }
  }
  resetApplicationState();
  EXPECT_GT(pagesChecked, 500);
  EXPECT_GT(recordsChecked, 5000);
  EXPECT_TRUE(broken.empty()) << broken.size() << " problems, first: " << broken.front();
}

// The search for records the slot arrays lost runs over every mapped page, stale and
// damaged ones included, and finds the ghost records the files are known to hold.
TEST(CorpusRecords, DeletedRecordScanCoversEveryPage) {
  resetApplicationState();
  appState().showDeleted = true;
  appState().showAdvancedDeleted = true;
  int64_t found = 0;
  for (const std::string& path : test::corpusDataFiles()) {
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    for (const auto& [objectId, pages] : file.dataPageMap) {
      for (const MappedPage& mapped : pages) {
        auto header = file.loadPageHeader({mapped.fileId, mapped.pageNumber});
        auto page = file.loadDataPage({mapped.fileId, mapped.pageNumber});
        ASSERT_TRUE(page && header);
        if (header->slotCount > 0 && header->slotCount < 4000) {
          ASSERT_GE(page->header().slotCount, header->slotCount);
          found += page->header().slotCount - header->slotCount;
        }
      }
    }
  }
  resetApplicationState();
  std::cout << "records found beyond the slot arrays: " << found << '\n';
  EXPECT_GT(found, 0);
}

std::set<std::pair<int, int>> pagesListedByIam(const DatabaseFile& file, const std::vector<MappedPage>& iamPages) {
  std::set<std::pair<int, int>> listed;
  for (const MappedPage& mapped : iamPages) {
    auto iam = file.loadIamPage({mapped.fileId, mapped.pageNumber});
    if (!iam) continue;
    for (const PageId& single : iam->singlePages)
      if (single.pageNumber > 0 && single.pageNumber <= file.pageCount() && single.fileId != 0)
        listed.emplace(single.fileId, single.pageNumber);
    auto extents = extentList(*iam);
    for (ExtentEntry& extent : extents)
      for (const PageId& page : extentPages(extent)) listed.emplace(page.fileId, page.pageNumber);
  }
  return listed;
}

// Page free space pages (page 1, then every 8088 pages) keep one byte per page;
// 0x40 marks an allocated page.
bool isAllocated(const DatabaseFile& file, int pageNumber) {
  constexpr int kPagesPerPfs = 8088;
  int pfsPage = pageNumber < kPagesPerPfs ? 1 : pageNumber / kPagesPerPfs * kPagesPerPfs;
  auto pfs = file.readPage({1, pfsPage});
  return pfs && ((*pfs)[100 + pageNumber % kPagesPerPfs] & 0x40);
}

// An allocated extent may hold pages its owner has not used yet: never formatted, or
// left with the contents of an earlier owner. The free space map says which.
TEST(CorpusAllocation, IamPagesListOnlyPagesOfTheirObject) {
  int unlistedTotal = 0;
  for (const std::string& path : test::corpusDataFiles()) {
    SCOPED_TRACE(path);
    DatabaseFile file(path, false, nullptr);
    ASSERT_TRUE(file.opened());
    int unlisted = 0;
    for (const auto& [objectId, iamPages] : file.iamPageMap) {
      auto listed = pagesListedByIam(file, iamPages);
      for (auto [fileId, pageNumber] : listed) {
        auto header = file.loadPageHeader({static_cast<int16_t>(fileId), pageNumber});
        ASSERT_TRUE(header);
        bool ownPage = header->objectId == objectId || !isAllocated(file, pageNumber);
        EXPECT_TRUE(ownPage) << "object " << objectId << " lists allocated page " << pageNumber
                             << " of object " << header->objectId;
      }
      auto mapped = file.dataPageMap.find(objectId);
      if (mapped == file.dataPageMap.end()) continue;
      for (const MappedPage& page : mapped->second)
        if (!listed.count({page.fileId, page.pageNumber})) ++unlisted;
    }
    if (unlisted) std::cout << path << ": " << unlisted << " mapped data pages no IAM page lists\n";
    unlistedTotal += unlisted;
  }
  std::cout << "mapped data pages that no IAM page lists: " << unlistedTotal << '\n';
}

}  // namespace
}  // namespace orodorev
