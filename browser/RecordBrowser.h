#pragma once
// What a click on a table shows: its records, 1000 counted rows to a list page, found
// through its IAM pages, its page chain or the page map, and paging forward and back
// from remembered row positions.

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "app/FramePort.h"
#include "app/RecordsViewPort.h"
#include "catalog/Catalog.h"
#include "rows/RowReader.h"
#include "storage/DatabaseFile.h"

namespace orodorev {

constexpr int64_t kRowsPerListPage = 1000;

enum class ListingMethod { IamChain, PageChain, LegacyPageChain, MappedPages };

struct RowPosition {
  int64_t page = 0;
  int64_t row = 0;
  bool operator==(const RowPosition&) const = default;
};

// Whether the prepared schema is a table with records. SQL 2000 catalogs have no
// rowsets, so there a table or system table is enough.
bool isListableTable(const Catalog& catalog);

class RecordBrowser {
 public:
  RecordBrowser(const DatabaseFile& file, Catalog& catalog, FramePort& frame, RecordsViewPort& view);

  // Lists the first list page of a table ("U " or "S "); the run log line goes
  // through the frame's report line only where the listing says so.
  void listTable(const std::string& name, const std::string& type, bool advancedMode);
  void nextPage();
  void previousPage();

  // The method a table's pages are found with.
  ListingMethod chooseMethod(bool advancedMode) const;
  // Large values are shown as placeholders while listing; a caller that wants every
  // value in full (the command line) turns that off.
  void setLargeValuesInFull(bool full) { largeValuesInFull_ = full; }
  const std::vector<PageId>& pageList() const { return pages_; }
  int32_t pageCounter() const { return pageCounter_; }

 private:
  std::vector<PageId> pagesFor(ListingMethod method);
  std::vector<PageId> iamChain(PageId start) const;
  std::vector<PageId> pageChain(PageId start) const;
  std::vector<PageId> legacyPageChain(PageId start) const;
  bool validPage(PageId id) const;
  bool notSeenBefore(std::set<PageId>& seen, PageId page) const;

  // Lists rows from a position until 1000 are counted; returns the rows counted.
  int64_t walk(RowPosition start, bool appendResume);
  void insertRow(const Row& row);
  void setColumns();
  std::string pageLabel() const;

  const DatabaseFile& file_;
  Catalog& catalog_;
  FramePort& frame_;
  RecordsViewPort& view_;
  std::string name_;
  std::vector<ColumnDescriptor> columns_;
  bool rowsetReader_ = true;
  ListingMethod method_ = ListingMethod::MappedPages;
  std::vector<PageId> pages_;
  std::deque<RowPosition> pageStarts_;
  RowPosition resume_;
  bool walkEndedFull_ = false;
  int32_t pageCounter_ = 0;
  int64_t firstRow_ = 0;
  int64_t lastRow_ = 0;
  std::pair<size_t, int64_t> marker_{0, 0};
  int32_t inserted_ = 0;
  int shownColumns_ = 0;
  bool largeValuesInFull_ = false;
};

}  // namespace orodorev
