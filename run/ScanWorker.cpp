#include "run/ScanWorker.h"

#include "rows/ModuleValues.h"

#include "app/ApplicationState.h"

namespace orodorev {
namespace {

constexpr const char* kFileSelectedSuffix = " File is selected for recovery....";
constexpr const char* kBrowsePathPrefix = "Browse File Path:\t";
constexpr const char* kAdvancedModeLine = "Advanced mode is selected for file recovery.";
constexpr const char* kStandardModeLine = "Standard mode is selected for file recovery.";
constexpr const char* kScanStarts = "Scanning of file starts...";
constexpr const char* kScanAborted = "Scanning process aborted.";
constexpr const char* kNoCatalogObjects =
    "Either it is not valid mdf file or highly corrupted, select another file to recover.";
constexpr const char* kTreeNotBuilt =
    "Whether it is not valid mdf file or highly corrupted, select another file to recover.";
constexpr const char* kUnknownVersion = "Database version: Unknown SQL Version";
constexpr const char* kVersionPrefix = "Database version: ";
constexpr const char* kUnknownCollation = "Unknown Collation";
constexpr const char* kCollationPrefix = "Collation Type: ";
constexpr const char* kScanCompletedCaption = "Scanning completed for selected mdf file";
constexpr const char* kScanCompletedLine = "Scanning completed for selected mdf file.";
constexpr const char* kScanCompletedBox = "Scanning process completed.";

std::string collapseDoubledBackslashes(std::string path) {
  for (size_t at = path.find("\\\\"); at != std::string::npos; at = path.find("\\\\", at + 1))
    path.erase(at, 1);
  return path;
}

void showInformation(FramePort& frame, const std::string& text) {
  frame.showMessageBox(text, MessageIcon::Information, MessageButtons::Ok);
}

}  // namespace

ScanController::ScanController(FramePort& frame, TreePort& tree, RunLog& log, ScanHooks hooks)
    : log_(log),
      frame_(frame, log, [this] { scanErrorReported_ = true; }),
      objectTree_(tree),
      hooks_(std::move(hooks)) {}

ScanController::~ScanController() { waitForWorker(); }

bool ScanController::open(const RecoveryOptions& options) {
  if (appState().busy != 0) {
    showInformation(frame_, kWaitForRunningProcess);
    return false;
  }
  appState().busy = 1;
  uint64_t job = ++currentJob_;
  worker_.start([this, job, options] { runJob(job, options); });
  return true;
}

bool ScanController::stop() {
  if (appState().busy == 0) return false;
  MessageAnswer answer =
      frame_.showMessageBox(kStopQuestion, MessageIcon::Information, MessageButtons::YesNo);
  if (answer != MessageAnswer::Yes) return false;
  appState().busy = 0;
  appState().stopRequest = true;
  return true;
}

void ScanController::waitForWorker() { worker_.join(); }

void ScanController::runJob(uint64_t job, const RecoveryOptions& options) {
  // Any stop request was aimed at a worker that has ended by now.
  appState().stopRequest = false;
  beginRun(options);
  outcome_ = scan(job);
}

// The part of Open that changes what an earlier worker may still be using.
void ScanController::beginRun(const RecoveryOptions& options) {
  applyRecoveryOptions(options);
  currentPath_ = appState().databaseFilePath;
  objectTree_.clear();
  frame_.setProgressText({});
  frame_.setCaptionText(currentPath_);
  frame_.showProgressBar(true);
  log_.open(appState().logFolder);
  appState().logFilePath = log_.path();
  reportLine(currentPath_ + kFileSelectedSuffix);
  appState().snapshotMode = false;
  resetForScan();
}

ScanOutcome ScanController::scan(uint64_t job) {
  appState().isSql2000 = false;
  // A boot page without a version or a known collation must not leave the previous
  // database's texts in place.
  appState().databaseVersionText.clear();
  appState().collationName.clear();
  resetForScan();
  std::string path = appState().snapshotMode ? appState().snapshotDatabasePath : currentPath_;
  if (!path.empty()) reportLine(kBrowsePathPrefix + path);
  reportMode();
  reportLine(kScanStarts);
  if (!openAndLoad(collapseDoubledBackslashes(path), advancedMode_)) return abortScan(job);
  if (!catalog_ || catalog_->objects.empty()) return rejectEmptyCatalog(job);
  reportVersionAndCollation();

  SchemaPreparer prepare = hooks_.prepareSchema ? hooks_.prepareSchema
                                                : catalogSchemaPreparer(scanModuleValues_);
  if (!objectTree_.build(database_->databaseName, *catalog_, frame_, prepare))
    return rejectTree(job);
  return completeScan(job);
}

void ScanController::reportMode() {
  advancedMode_ = appState().recoveryMode == RecoveryMode::Advanced;
  reportLine(advancedMode_ ? kAdvancedModeLine : kStandardModeLine);
}

void ScanController::reportVersionAndCollation() {
  ApplicationState& state = appState();
  if (state.databaseVersionText.empty()) {
    state.databaseVersionText = kUnknownVersion;
    reportLine(kUnknownVersion);
  } else {
    reportLine(kVersionPrefix + state.databaseVersionText);
  }
  if (state.collationName.empty()) state.collationName = kUnknownCollation;
  reportLine(kCollationPrefix + state.collationName);
}

ScanOutcome ScanController::abortScan(uint64_t job) {
  objectTree_.clear();
  frame_.showProgressBar(false);
  endBusy(job);
  reportLine(kScanAborted);
  showInformation(frame_, kScanAborted);
  return ScanOutcome::FileNotOpened;
}

ScanOutcome ScanController::rejectEmptyCatalog(uint64_t job) {
  reportLine(kNoCatalogObjects);
  objectTree_.clear();
  frame_.showProgressBar(false);
  endBusy(job);
  return ScanOutcome::NoCatalogObjects;
}

ScanOutcome ScanController::rejectTree(uint64_t job) {
  objectTree_.clear();
  frame_.showProgressBar(false);
  endBusy(job);
  reportLine(kTreeNotBuilt);
  showInformation(frame_, kTreeNotBuilt);
  return ScanOutcome::TreeNotBuilt;
}

ScanOutcome ScanController::completeScan(uint64_t job) {
  objectTree_.tree().sortChildren(objectTree_.folders().userTables);
  scanModuleValues_.clear();
  readModuleValues(*database_, *catalog_, frame_, scanModuleValues_);
  frame_.showProgressBar(false);
  endBusy(job);
  frame_.setCaptionText(kScanCompletedCaption);
  frame_.reportLine(kScanCompletedLine);
  showInformation(frame_, kScanCompletedBox);
  return ScanOutcome::Completed;
}

void ScanController::endBusy(uint64_t job) {
  if (currentJob_ == job) appState().busy = 0;
}

bool ScanController::openAndLoad(const std::string& path, bool advanced) {
  scanErrorReported_ = false;
  auto file = std::make_unique<DatabaseFile>(path, advanced, &frame_);
  if (!file->opened()) return false;
  database_ = std::move(file);
  catalog_ = std::make_unique<Catalog>(database_.get());
  if (hooks_.loadCatalog) {
    hooks_.loadCatalog(*database_, *catalog_, path);
  } else {
    loadCatalog(*database_, *catalog_, path);
  }
  // The frame drops a database whose loading reported a scan error.
  if (scanErrorReported_) unloadDatabase();
  return true;
}

void ScanController::resetForScan() {
  // The records list joins this reset once the records view has its port.
  frame_.setProgressText({});
  objectTree_.clear();
  unloadDatabase();
}

void ScanController::unloadDatabase() {
  if (catalog_) catalog_->clear();
  catalog_.reset();
  database_.reset();
}

void ScanController::reportLine(const std::string& text) { frame_.reportLine(text); }

}  // namespace orodorev
