#include "browser/Listing.h"

#include <algorithm>

#include "app/ApplicationState.h"
#include "browser/SchemaDisplay.h"

namespace orodorev {
namespace {

constexpr const char* kWaitText = "Please wait for the running process.";
const char* const kDefinitionTypes[] = {"F ", "P ", "D ", "C ", "PK", "FN", "TR", "IF", "V ", "UQ", "TT", "TF"};

bool isDefinitionType(const std::string& type) {
  return std::find(std::begin(kDefinitionTypes), std::end(kDefinitionTypes), type) != std::end(kDefinitionTypes);
}

}  // namespace

ListingController::ListingController(const DatabaseFile& file, Catalog& catalog, FramePort& frame, TreePort& tree,
                                     RecordsViewPort& view, const std::vector<ModuleValue>& scanValues,
                                     bool advancedMode)
    : file_(file),
      catalog_(catalog),
      frame_(frame),
      tree_(tree),
      view_(view),
      scanValues_(scanValues),
      advancedMode_(advancedMode),
      browser_(file, catalog, frame, view),
      definitions_(file, catalog, frame) {}

ListingController::~ListingController() { wait(); }

void ListingController::wait() {
  if (worker_.joinable()) worker_.join();
}

// The busy flag is taken before the worker starts, so no second job slips in.
bool ListingController::startWorker(std::function<void()> job) {
  int32_t idle = 0;
  if (!appState().busy.compare_exchange_strong(idle, 1)) {
    frame_.showMessageBox(kWaitText, MessageIcon::Information, MessageButtons::Ok);
    return false;
  }
  wait();
  worker_ = std::thread([this, job = std::move(job)] {
    job();
    frame_.showProgressBar(false);
    appState().busy = 0;
  });
  return true;
}

bool ListingController::click(TreeItem item) {
  if (appState().busy != 0) {
    tree_.selectItem(listed_);
    frame_.showMessageBox(kWaitText, MessageIcon::Information, MessageButtons::Ok);
    return false;
  }
  listed_ = item;
  return startWorker([this, item] { list(item); });
}

bool ListingController::next() {
  return startWorker([this] { browser_.nextPage(); });
}

bool ListingController::previous() {
  return startWorker([this] { browser_.previousPage(); });
}

void ListingController::list(TreeItem item) {
  std::string text = tree_.itemText(item);
  view_.deleteAllItems();
  view_.setDefinitionText("");
  view_.setPageLabel("");
  frame_.setCaptionText(text);
  frame_.reportLine("Please wait while " + text + " folder is scanning.");
  frame_.showProgressBar(true);
  frame_.setProgressPosition(0);
  TreeItem parent = tree_.parentItem(item);
  if (parent == kNoTreeItem || text.empty()) return;
  std::string parentText = tree_.itemText(parent);

  if (parentText == "User Tables" || parentText == "System Tables") {
    std::string type = parentText == "User Tables" ? "U " : "S ";
    TreeItem columns = tree_.firstChild(item);
    if (tree_.itemText(columns) == "Columns")
      showTableStructure(tree_, item, columns, catalog_, text, type, scanValues_);
    browser_.listTable(text, type, advancedMode_);
    return;
  }
  if (parentText == "PrimaryKey" || parentText == "Unique") {
    showDefinition(definitionOf(catalog_, definitions_, text).value_or(""));
    return finishWithoutRows(text);
  }
  auto descriptors = catalog_.prepareObjectSchema(text, "P ", scanValues_);
  if (descriptors.size() >= 2 && isDefinitionType(descriptors[1].valueText))
    showDefinition(definitionOf(catalog_, definitions_, text).value_or(""));
  finishWithoutRows(text);
}

void ListingController::showDefinition(const std::string& definition) {
  view_.showList(false);
  view_.showPageLabel(false);
  view_.showButtons(false);
  view_.showDefinition(true);
  view_.setDefinitionText(definition);
}

void ListingController::finishWithoutRows(const std::string& itemText) {
  view_.showList(false);
  view_.enablePrevious(false);
  view_.enableNext(false);
  view_.setPageLabel("Page1 - [0](0-0) Records");
  std::string caption = itemText + "[0]";
  frame_.setCaptionText(caption);
  frame_.reportLine(caption);
  view_.repaint();
  frame_.reportLine("Scanning process completed.");
}

}  // namespace orodorev
