#pragma once
// A click on the object tree: a table lists its records, a key, check, view, procedure,
// function, trigger or default shows its definition, anything else shows nothing. The
// work runs on a worker thread, one at a time, kept apart by the busy flag.

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/FramePort.h"
#include "app/RecordsViewPort.h"
#include "app/TreePort.h"
#include "browser/Definition.h"
#include "browser/RecordBrowser.h"

namespace orodorev {

class ListingController {
 public:
  ListingController(const DatabaseFile& file, Catalog& catalog, FramePort& frame, TreePort& tree,
                    RecordsViewPort& view, const std::vector<ModuleValue>& scanValues, bool advancedMode);
  ~ListingController();
  ListingController(const ListingController&) = delete;
  ListingController& operator=(const ListingController&) = delete;

  // The tree's click on an item label. Refused with "Please wait for the running
  // process." while busy; returns whether a listing started.
  bool click(TreeItem item);
  // The two paging buttons; refused the same way while busy.
  bool next();
  bool previous();
  // Waits for the running worker.
  void wait();

 private:
  void list(TreeItem item);
  void showDefinition(const std::string& definition);
  void finishWithoutRows(const std::string& itemText);
  bool startWorker(std::function<void()> job);

  const DatabaseFile& file_;
  Catalog& catalog_;
  FramePort& frame_;
  TreePort& tree_;
  RecordsViewPort& view_;
  const std::vector<ModuleValue>& scanValues_;
  bool advancedMode_;
  RecordBrowser browser_;
  Definitions definitions_;
  TreeItem listed_ = kNoTreeItem;
  std::thread worker_;
};

}  // namespace orodorev
