#pragma once
// Open, Stop and the scan worker. Open starts a run that opens the data file, maps its
// pages, loads the catalog and builds the object tree, reporting every step to the
// frame, the output pane and the run log. The controller owns the loaded database
// from one run until the next run, a fatal scan error or unloadDatabase.
//
// Threads: the run goes on a worker thread. Open returns at once; the worker first
// waits for a worker that Stop left winding down, then does Open's remaining steps
// (run log, tree and frame reset) and the scan, so nothing touches the loaded
// database while an earlier worker may still use it. A stop request left over from
// that earlier worker is dropped when the new one begins. A worker that Stop has
// superseded by a new Open no longer clears the busy flag of the new run.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FramePort.h"
#include "app/TreePort.h"
#include "catalog/Catalog.h"
#include "run/ObjectTree.h"
#include "run/RecoveryOptions.h"
#include "run/RunFrame.h"
#include "run/RunLog.h"
#include "run/SerialWorker.h"
#include "storage/DatabaseFile.h"

namespace orodorev {

constexpr const char* kWaitForRunningProcess = "Please wait for the running process.";
constexpr const char* kStopQuestion = "Are you sure to stop the running process?";

// Seams for tests; an empty member means the real catalog step.
struct ScanHooks {
  std::function<void(DatabaseFile&, Catalog&, const std::string& primaryPath)> loadCatalog;
  SchemaPreparer prepareSchema;
};

enum class ScanOutcome { NotRun, Completed, FileNotOpened, NoCatalogObjects, TreeNotBuilt };

class ScanController {
 public:
  // frame, tree and log must outlive the controller.
  ScanController(FramePort& frame, TreePort& tree, RunLog& log, ScanHooks hooks = {});
  // Waits for the worker.
  ~ScanController();
  ScanController(const ScanController&) = delete;
  ScanController& operator=(const ScanController&) = delete;

  // Refused with an information box while busy; otherwise takes the options and
  // starts a run. Returns whether a run started.
  bool open(const RecoveryOptions& options);

  // While busy, asks the user; on Yes clears the busy flag and requests a stop.
  // Returns whether a stop was requested.
  bool stop();

  // Waits for every worker started so far. Not to be called from a worker.
  void waitForWorker();

  // Creates and opens the data file and, when it opened, loads its catalog. Returns
  // whether the file opened.
  bool openAndLoad(const std::string& path, bool advanced);
  // Clears the object tree and the progress text, then unloadDatabase.
  void resetForScan();
  // Drops the catalog and closes the data file.
  void unloadDatabase();

  // An output pane line that also goes to the run log.
  void reportLine(const std::string& text);

  // Read these only while no worker runs.
  ScanOutcome outcome() const { return outcome_; }
  DatabaseFile* database() const { return database_.get(); }
  Catalog* catalog() const { return catalog_.get(); }
  bool advancedMode() const { return advancedMode_; }
  const std::string& currentPath() const { return currentPath_; }
  ObjectTree& objectTree() { return objectTree_; }
  // The module values read at the end of a scan, for the columns without storage.
  const std::vector<ModuleValue>& scanModuleValues() const { return scanModuleValues_; }
  FramePort& frame() { return frame_; }
  RunLog& runLog() { return log_; }

 private:
  void runJob(uint64_t job, const RecoveryOptions& options);
  void beginRun(const RecoveryOptions& options);
  ScanOutcome scan(uint64_t job);
  void reportMode();
  void reportVersionAndCollation();
  ScanOutcome abortScan(uint64_t job);
  ScanOutcome rejectEmptyCatalog(uint64_t job);
  ScanOutcome rejectTree(uint64_t job);
  ScanOutcome completeScan(uint64_t job);
  // Clears the busy flag unless a newer run has set it.
  void endBusy(uint64_t job);

  RunLog& log_;
  RunFrame frame_;
  ObjectTree objectTree_;
  ScanHooks hooks_;
  SerialWorker worker_;
  std::atomic<uint64_t> currentJob_{0};
  std::atomic<bool> scanErrorReported_{false};
  std::atomic<ScanOutcome> outcome_{ScanOutcome::NotRun};

  std::string currentPath_;
  bool advancedMode_ = false;
  std::unique_ptr<DatabaseFile> database_;
  std::unique_ptr<Catalog> catalog_;
  std::vector<ModuleValue> scanModuleValues_;
};

}  // namespace orodorev
