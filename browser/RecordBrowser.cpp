#include "browser/RecordBrowser.h"

#include <algorithm>
#include <cinttypes>
#include <set>

#include "app/ApplicationState.h"
#include "storage/AllocationMap.h"

namespace orodorev {
namespace {

std::string format(const char* pattern, long long a, long long b) {
  char text[96];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

bool nullLooking(const std::string& text, bool nullCounts) { return text.empty() || (nullCounts && text == "NULL"); }

}  // namespace

bool isListableTable(const Catalog& catalog) {
  const TableSchema& schema = catalog.schema;
  if (schema.hasRowset) return true;
  return appState().isSql2000 && (schema.object.type == "U " || schema.object.type == "S ");
}

RecordBrowser::RecordBrowser(const DatabaseFile& file, Catalog& catalog, FramePort& frame, RecordsViewPort& view)
    : file_(file), catalog_(catalog), frame_(frame), view_(view) {}

bool RecordBrowser::validPage(PageId id) const {
  if (id.pageNumber < 1) return false;
  if (id.fileId <= 1) return id.pageNumber < file_.pageCount();
  auto row = file_.secondaryFileMap.find(id.fileId);
  return row != file_.secondaryFileMap.end() && id.pageNumber < row->second.pageCount;
}

ListingMethod RecordBrowser::chooseMethod(bool advancedMode) const {
  const TableSchema& schema = catalog_.schema;
  if (advancedMode) return ListingMethod::MappedPages;
  if (appState().isSql2000) {
    return catalog_.legacyIndexes.count(schema.object.id) ? ListingMethod::LegacyPageChain : ListingMethod::IamChain;
  }
  const AllocUnitRow& unit = schema.inRowAllocUnit;
  if (unit.firstIamPage.pageNumber < 1) return ListingMethod::MappedPages;
  if (schema.rowset.indexId == 0) return validPage(unit.firstIamPage) ? ListingMethod::IamChain : ListingMethod::PageChain;
  auto header = validPage(unit.firstPage) ? file_.loadPageHeader(unit.firstPage) : nullptr;
  bool chainStart = header && header->pageType == kDataPageType && header->prevPage.pageNumber == 0;
  return chainStart ? ListingMethod::PageChain : ListingMethod::IamChain;
}

std::vector<PageId> RecordBrowser::pagesFor(ListingMethod method) {
  const TableSchema& schema = catalog_.schema;
  const AllocUnitRow& unit = schema.inRowAllocUnit;
  switch (method) {
    case ListingMethod::MappedPages:
      return schema.dataPages;
    case ListingMethod::LegacyPageChain: {
      const LegacyIndexEntry& entry = catalog_.legacyIndexes.at(schema.object.id);
      auto pages = legacyPageChain({entry.fileId, entry.firstPage});
      return pages.empty() ? schema.dataPages : pages;
    }
    case ListingMethod::IamChain: {
      PageId start = unit.firstIamPage;
      if (appState().isSql2000) {
        auto iams = file_.iamPageMap.find(schema.object.id);
        if (iams == file_.iamPageMap.end() || iams->second.empty()) return {};
        start = {iams->second.front().fileId, iams->second.front().pageNumber};
      }
      auto pages = iamChain(start);
      if (pages.empty() && !appState().isSql2000 && validPage(unit.firstPage)) return pageChain(unit.firstPage);
      return pages;
    }
    case ListingMethod::PageChain: {
      auto pages = pageChain(unit.firstPage);
      if (pages.empty() && validPage(unit.firstIamPage)) return iamChain(unit.firstIamPage);
      return pages;
    }
  }
  return {};
}

// IAM pages from the start page along their next links (SQL 2000: along the object's
// IAM pages in the page map). Only pages that carry the object's id are taken: an
// allocated extent may still hold pages an earlier owner left.
std::vector<PageId> RecordBrowser::iamChain(PageId start) const {
  std::vector<PageId> pages;
  std::set<PageId> seen;
  const std::vector<MappedPage>* legacyList = nullptr;
  if (appState().isSql2000) {
    auto iams = file_.iamPageMap.find(catalog_.schema.object.id);
    if (iams != file_.iamPageMap.end()) legacyList = &iams->second;
  }
  size_t legacyIndex = 0;
  PageId current = start;
  while (current.pageNumber != 0 && !stopRequested() && notSeenBefore(seen, current)) {
    auto iam = file_.loadIamPage(current);
    if (!iam) break;
    int32_t owner = iam->header().objectId;
    auto take = [&](PageId id) {
      auto header = file_.loadPageHeader(id);
      if (header && header->objectId == owner) pages.push_back(id);
    };
    for (const PageId& single : iam->singlePages)
      if (single.pageNumber >= 1 && single.pageNumber <= file_.pageCount() && single.fileId != 0) take(single);
    for (ExtentEntry& extent : extentList(*iam))
      for (const PageId& page : extentPages(extent))
        if (page.fileId != 0 && page.pageNumber != 0) take(page);
    if (legacyList) {
      if (++legacyIndex >= legacyList->size()) break;
      current = {(*legacyList)[legacyIndex].fileId, (*legacyList)[legacyIndex].pageNumber};
    } else {
      current = iam->header().nextPage;
    }
  }
  return pages;
}

// Data pages along their next links; a link back to a page already walked ends the walk.
std::vector<PageId> RecordBrowser::pageChain(PageId start) const {
  std::vector<PageId> pages;
  std::set<PageId> seen;
  PageId current = start;
  while (current.pageNumber != 0 && current.fileId != 0 && !stopRequested() && notSeenBefore(seen, current)) {
    auto header = file_.loadPageHeader(current);
    if (!header) break;
    pages.push_back(current);
    if (header->pageType != kDataPageType) break;
    current = header->nextPage;
  }
  appState().stopRequest = false;
  return pages;
}

std::vector<PageId> RecordBrowser::legacyPageChain(PageId start) const {
  std::vector<PageId> pages;
  std::set<int32_t> seen;
  PageId current = start;
  while (current.pageNumber != 0 && current.fileId != 0 && !stopRequested() && seen.insert(current.pageNumber).second) {
    auto header = file_.loadPageHeader(current);
    if (!header) break;
    pages.push_back(current);
    current = header->nextPage;
  }
  return pages;
}

// A damaged link can lead back to a page walked before; the walk ends there, and the
// run log says so.
bool RecordBrowser::notSeenBefore(std::set<PageId>& seen, PageId page) const {
  if (seen.insert(page).second) return true;
  frame_.reportLine("Page " + page.text() + " is linked a second time; the page walk stops there.");
  return false;
}

void RecordBrowser::setColumns() {
  view_.deleteAllItems();
  shownColumns_ = 0;
  for (const ColumnDescriptor& column : columns_) {
    if (!appState().isSql2000 && column.ordinal == kDroppedColumnOrdinal) continue;
    view_.insertColumn(shownColumns_++, column.name);
  }
}

void RecordBrowser::insertRow(const Row& row) {
  bool nullCounts = method_ == ListingMethod::PageChain;
  int sub = 0;
  size_t empty = 0;
  for (const ColumnDescriptor& column : row) {
    if (column.ordinal == kDroppedColumnOrdinal) continue;
    if (sub == 0) {
      view_.insertItem(inserted_, column.valueText);
      empty += nullLooking(column.valueText, true);
    } else {
      view_.setSubItem(inserted_, sub, column.valueText);
      empty += nullLooking(column.valueText, nullCounts);
    }
    ++sub;
  }
  if (sub == 0) return;
  if (empty == row.size()) {
    view_.deleteItem(inserted_);  // counted as listed, not shown
    return;
  }
  ++inserted_;
  frame_.setCaptionText(format(" row %lld inserted", inserted_, 0));
}

int64_t RecordBrowser::walk(RowPosition start, bool appendResume) {
  inserted_ = 0;
  walkEndedFull_ = false;
  int64_t counted = 0;
  for (int64_t p = start.page; p < static_cast<int64_t>(pages_.size()); ++p) {
    if (stopRequested()) break;
    std::vector<Row> rows = readDataPageRows(file_, pages_[static_cast<size_t>(p)], columns_, rowsetReader_);
    for (int64_t r = p == start.page ? start.row : 0; r < static_cast<int64_t>(rows.size()); ++r) {
      if (stopRequested()) return counted;
      if (counted == kRowsPerListPage) {
        resume_ = {p, r};
        if (appendResume) pageStarts_.push_back(resume_);
        walkEndedFull_ = true;
        return counted;
      }
      const Row& row = rows[static_cast<size_t>(r)];
      if (row.empty()) continue;
      ++counted;
      insertRow(row);
    }
    frame_.setProgressPosition(p + 1);
  }
  return counted;
}

std::string RecordBrowser::pageLabel() const {
  char text[128];
  std::snprintf(text, sizeof text, "Page%d - [%lld](%lld-%lld) Records", pageCounter_,
                static_cast<long long>(lastRow_ - firstRow_), static_cast<long long>(lastRow_ == 0 ? 0 : firstRow_ + 1),
                static_cast<long long>(lastRow_));
  return text;
}

void RecordBrowser::listTable(const std::string& name, const std::string& type, bool advancedMode) {
  view_.deleteAllItems();
  view_.setDefinitionText("");
  view_.setPageLabel("");
  for (int k = 0; k < shownColumns_; ++k) view_.deleteColumn(0);
  shownColumns_ = 0;
  name_ = name;
  pageCounter_ = 0;
  marker_ = {0, 0};
  pages_.clear();
  pageStarts_.clear();
  columns_ = catalog_.prepareObjectSchema(name, type, {});
  bool table = isListableTable(catalog_) && !columns_.empty();
  if (table) {
    view_.showList(true);
    view_.showPageLabel(true);
    view_.showButtons(true);
    view_.enablePrevious(false);
    view_.enableNext(false);
    view_.showDefinition(false);
    setColumns();
    rowsetReader_ = usesRowsetReader(catalog_);
    appState().listing = !largeValuesInFull_;
    method_ = chooseMethod(advancedMode);
    pages_ = pagesFor(method_);
    pageStarts_.push_back({0, 0});
    frame_.setProgressRange(0, static_cast<int64_t>(catalog_.schema.dataPages.size()));
    frame_.setProgressPosition(0);
    int64_t counted = walk({0, 0}, true);
    firstRow_ = 0;
    lastRow_ = counted;
    if (counted > 0) {
      std::string end = method_ == ListingMethod::PageChain ? std::to_string(view_.itemCount())
                                                             : format("%lld rows to %lld", 0, counted);
      if (method_ == ListingMethod::PageChain) lastRow_ = view_.itemCount();
      frame_.setCaptionText(end);
      frame_.reportLine(end);
    }
    appState().stopRequest = false;
    appState().listing = false;
  } else {
    view_.showList(false);
    firstRow_ = lastRow_ = 0;
  }
  view_.enablePrevious(false);
  view_.enableNext(pageStarts_.size() > 1);
  ++pageCounter_;
  int n = table ? view_.itemCount() : 0;
  char label[128];
  std::snprintf(label, sizeof label, "Page%d - [%d](%d-%d) Records", pageCounter_, n, n == 0 ? 0 : 1, n);
  view_.setPageLabel(label);
  std::string caption = name + "[" + std::to_string(n) + "]";
  frame_.setCaptionText(caption);
  frame_.reportLine(caption);
  view_.repaint();
  frame_.reportLine("Scanning process completed.");
}

void RecordBrowser::nextPage() {
  view_.setPageLabel("");
  size_t n = pageStarts_.size();
  if (n <= 1) {
    view_.enableNext(false);
    return;
  }
  if (std::make_pair(n, resume_.row) == marker_) {
    view_.enableNext(false);
    return;
  }
  view_.enableNext(true);
  view_.enablePrevious(true);
  view_.deleteAllItems();
  marker_ = {n, resume_.row};
  appState().listing = !largeValuesInFull_;
  int64_t counted = walk(resume_, true);
  appState().listing = false;
  firstRow_ = lastRow_;
  lastRow_ += counted;
  ++pageCounter_;
  std::string caption = format("%lld rows to %lld", firstRow_, lastRow_);
  frame_.setCaptionText(caption);
  frame_.reportLine(caption);
  view_.setPageLabel(pageLabel());
  view_.repaint();
  if (!walkEndedFull_ && std::make_pair(pageStarts_.size(), resume_.row) == marker_) view_.enableNext(false);
}

// Back one list page. The page-start list keeps the starts of every page up to and
// including the one shown before the move, so the last page of a table goes back
// exactly one page too.
void RecordBrowser::previousPage() {
  view_.setPageLabel("");
  if (pageStarts_.size() <= 1) {
    view_.enablePrevious(false);
    view_.enableNext(true);
    return;
  }
  int32_t target = std::max(1, pageCounter_ - 1);
  view_.enableNext(true);
  if (target == 1) view_.enablePrevious(false);
  pageStarts_.resize(std::min(pageStarts_.size(), static_cast<size_t>(target) + 1));
  RowPosition start = pageStarts_[static_cast<size_t>(target) - 1];
  marker_ = {0, -1};
  view_.deleteAllItems();
  appState().listing = !largeValuesInFull_;
  int64_t counted = walk(start, false);
  appState().listing = false;
  if (pageStarts_.size() > static_cast<size_t>(target)) resume_ = pageStarts_[static_cast<size_t>(target)];
  firstRow_ = static_cast<int64_t>(target - 1) * kRowsPerListPage;
  lastRow_ = firstRow_ + counted;
  pageCounter_ = target;
  std::string caption = format("%lld rows to %lld", firstRow_, lastRow_);
  frame_.setCaptionText(caption);
  frame_.reportLine(caption);
  view_.setPageLabel(pageLabel());
  view_.repaint();
}

}  // namespace orodorev
