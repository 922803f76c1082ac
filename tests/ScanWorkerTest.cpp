#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "app/HeadlessTree.h"
#include "app/Text.h"
#include "run/ScanWorker.h"
#include "storage/BootPage.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

using Kind = FrameCallKind;

const std::string kAborted = "Scanning process aborted.";
const std::string kStarts = "Scanning of file starts...";
const std::string kStandardLine = "Standard mode is selected for file recovery.";
const std::string kModulesStart = "Retrieving Objects of Sysobjvalues System Tables...........";
const std::string kModulesDone = "Retrieving  Objects of Sysobjvalues System Tables has been done...........";

std::tm fixedTime() {
  std::tm when{};
  when.tm_mday = 5;
  when.tm_mon = 2;
  when.tm_year = 124;
  when.tm_hour = 14;
  when.tm_min = 7;
  when.tm_sec = 9;
  return when;
}

// The user-visible texts of the recorded calls, in order.
std::vector<std::string> messagesOf(const std::vector<FrameCall>& calls) {
  std::vector<std::string> messages;
  for (const FrameCall& call : calls) {
    switch (call.kind) {
      case Kind::ReportLine: messages.push_back("line: " + call.text); break;
      case Kind::CaptionText: messages.push_back("caption: " + call.text); break;
      case Kind::ScanError: messages.push_back("scan error: " + call.text); break;
      case Kind::MessageBox: {
        auto icon = static_cast<MessageIcon>(call.first);
        auto buttons = static_cast<MessageButtons>(call.second);
        std::string prefix = icon == MessageIcon::Error ? "error box: "
                             : icon != MessageIcon::Information ? "other box: "
                             : buttons == MessageButtons::YesNo ? "yes-no box: " : "box: ";
        messages.push_back(prefix + call.text);
        break;
      }
      default: break;
    }
  }
  return messages;
}

std::vector<std::string> runStart(const std::string& path) {
  return {"caption: " + path, "line: " + path + " File is selected for recovery....",
          "line: Browse File Path:\t" + path, "line: " + kStandardLine, "line: " + kStarts};
}

std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

ObjectRow objectRow(const std::string& name, const std::string& type) {
  ObjectRow row;
  row.name = name;
  row.type = type;
  return row;
}

class ScanWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override { resetApplicationState(); }
  void TearDown() override {
    controller.reset();
    resetApplicationState();
  }

  ScanController& make() {
    controller = std::make_unique<ScanController>(frame, tree, log, hooks);
    return *controller;
  }

  RecoveryOptions optionsFor(const std::string& path, RecoveryMode mode = RecoveryMode::Standard) {
    RecoveryOptions options;
    options.databasePath = path;
    options.logFolder = dir.path();
    options.recoveryMode = mode;
    return options;
  }

  void scan(const RecoveryOptions& options) {
    if (!controller) make();
    ASSERT_TRUE(controller->open(options));
    controller->waitForWorker();
  }

  std::string readableFile() { return dir.write("readable.mdf", test::makeDatabaseBytes(20)); }
  std::string missingFile() { return dir.path() + "/absent.mdf"; }
  std::vector<std::string> messages() const { return messagesOf(frame.calls()); }

  std::string logText() const {
    auto bytes = test::readWholeFile(appState().logFilePath);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) return "(no byte order mark)";
    return utf16leToUtf8(bytes.data() + 2, (bytes.size() - 2) / 2);
  }

  test::TempDir dir;
  std::function<void(const FrameCall&)> onCall;
  HeadlessFrame frame{[this](const FrameCall& call) {
    if (onCall) onCall(call);
  }};
  HeadlessTree tree;
  RunLog log{[] { return std::optional<std::tm>(fixedTime()); }};
  ScanHooks hooks;
  std::unique_ptr<ScanController> controller;
};

TEST_F(ScanWorkerTest, MissingFileShowsErrorBoxThenAbortsWithLineAndBox) {
  std::string path = missingFile();
  scan(optionsFor(path));

  EXPECT_EQ(messages(), joined(runStart(path), {"scan error: File cannot be open...........",
                                                "error box: File cannot be open...........",
                                                "line: " + kAborted, "box: " + kAborted}));
  EXPECT_EQ(controller->outcome(), ScanOutcome::FileNotOpened);
  EXPECT_EQ(appState().busy, 0);
  EXPECT_EQ(frame.callsOf(Kind::ProgressBarVisible),
            (std::vector<FrameCall>{{Kind::ProgressBarVisible, {}, 1}, {Kind::ProgressBarVisible, {}, 0}}));
  EXPECT_EQ(tree.itemCount(), 0u);
  EXPECT_EQ(controller->database(), nullptr);
}

TEST_F(ScanWorkerTest, ReadableFileWithoutCatalogObjectsReportsALineAndNoBox) {
  std::string path = readableFile();
  scan(optionsFor(path));

  EXPECT_EQ(messages(),
            joined(runStart(path), {"line: Either it is not valid mdf file or highly corrupted, "
                                    "select another file to recover."}));
  EXPECT_EQ(controller->outcome(), ScanOutcome::NoCatalogObjects);
  EXPECT_EQ(appState().busy, 0);
  EXPECT_EQ(tree.itemCount(), 0u);
}

TEST_F(ScanWorkerTest, ModeLineComesRightBeforeTheScanStarts) {
  struct Case {
    RecoveryMode mode;
    std::string line;
    bool advanced;
  };
  for (const Case& c : {Case{RecoveryMode::Standard, kStandardLine, false},
                        Case{RecoveryMode::Advanced, "Advanced mode is selected for file recovery.", true}}) {
    frame.clear();
    scan(optionsFor(missingFile(), c.mode));
    std::vector<std::string> lines = messages();
    auto starts = std::find(lines.begin(), lines.end(), "line: " + kStarts);
    ASSERT_NE(starts, lines.begin());
    EXPECT_EQ(*(starts - 1), "line: " + c.line);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "line: " + c.line), 1);
    EXPECT_EQ(controller->advancedMode(), c.advanced);
  }
}

TEST_F(ScanWorkerTest, CatalogWithObjectsBuildsSortedTreeAndCompletes) {
  struct Case {
    std::string databaseName, versionText, collationName;
    std::string root, versionLine, collationLine;
  };
  const Case cases[] = {
      {"", "", "", "RepairDataBase", "Database version: Unknown SQL Version",
       "Collation Type: Unknown Collation"},
      {"Shop", " SQL Server 2008", "Latin1_General_CI_AS", "Shop", "Database version:  SQL Server 2008",
       "Collation Type: Latin1_General_CI_AS"},
  };
  for (const Case& c : cases) {
    frame.clear();
    hooks.loadCatalog = [&c](DatabaseFile& file, Catalog& catalog, const std::string&) {
      file.databaseName = c.databaseName;
      appState().databaseVersionText = c.versionText;
      appState().collationName = c.collationName;
      catalog.objects = {objectRow("dbo.b", "U "), objectRow("dbo.A", "U "), objectRow("dbo.C", "U ")};
    };
    hooks.prepareSchema = [](Catalog&, const ObjectRow&) { return std::vector<ColumnDescriptor>{}; };
    make();
    std::string path = readableFile();
    scan(optionsFor(path));

    EXPECT_EQ(messages(), joined(runStart(path),
                                 {"line: " + c.versionLine, "line: " + c.collationLine,
                                  "caption: Creating Tree.........", "line: Creating Tree.........",
                                  "caption: Process done.........", "line: Process done.........",
                                  "line: " + kModulesStart, "line: " + kModulesDone,
                                  "caption: Scanning completed for selected mdf file",
                                  "line: Scanning completed for selected mdf file.",
                                  "box: Scanning process completed."}));
    EXPECT_EQ(controller->outcome(), ScanOutcome::Completed);
    EXPECT_EQ(appState().busy, 0);
    EXPECT_EQ(frame.callsOf(Kind::ProgressBarVisible).back().first, 0);
    const ObjectTreeFolders& folders = controller->objectTree().folders();
    EXPECT_EQ(tree.itemText(folders.root), c.root);
    std::vector<std::string> tables;
    for (TreeItem item : tree.children(folders.userTables)) tables.push_back(tree.itemText(item));
    EXPECT_EQ(tables, (std::vector<std::string>{"dbo.A", "dbo.b", "dbo.C"}));
    ASSERT_NE(controller->catalog(), nullptr);
    EXPECT_EQ(controller->catalog()->objects.size(), 3u);
  }
}

TEST_F(ScanWorkerTest, RunLogHoldsEveryLineOfEachRunInTheSameSecondsFile) {
  hooks.loadCatalog = [](DatabaseFile&, Catalog& catalog, const std::string&) {
    catalog.objects = {objectRow("dbo.t", "U ")};
  };
  hooks.prepareSchema = [](Catalog&, const ObjectRow&) { return std::vector<ColumnDescriptor>{}; };
  std::string path = readableFile();
  scan(optionsFor(path));
  scan(optionsFor(path));

  EXPECT_EQ(appState().logFilePath, dir.path() + "/TarvelSQLDbRec_log_5-3-2024-14-7-9.txt");
  std::string run = "\r\n" + std::string(80, '*') + "\r\n" + path +
                    " File is selected for recovery....\r\n"
                    "Browse File Path:\t" + path + "\r\n" + kStandardLine + "\r\n" + kStarts +
                    "\r\n"
                    "Database version: Unknown SQL Version\r\n"
                    "Collation Type: Unknown Collation\r\n"
                    "Creating Tree.........\r\n"
                    "Process done.........\r\n" +
                    kModulesStart + "\r\n" + kModulesDone + "\r\n"
                    "Scanning completed for selected mdf file.\r\n";
  EXPECT_EQ(logText(), run + run);
}

TEST_F(ScanWorkerTest, OpenWhileBusyOnlyAsksToWait) {
  appState().busy = 1;
  EXPECT_FALSE(make().open(optionsFor(missingFile())));
  controller->waitForWorker();
  EXPECT_EQ(frame.calls(), (std::vector<FrameCall>{{Kind::MessageBox, "Please wait for the running process.",
                                                    static_cast<int64_t>(MessageIcon::Information),
                                                    static_cast<int64_t>(MessageButtons::Ok)}}));
  EXPECT_EQ(appState().busy, 1);
  EXPECT_EQ(controller->outcome(), ScanOutcome::NotRun);
}

TEST_F(ScanWorkerTest, OpenDuringAScanLeavesTheScanAlone) {
  std::string path = missingFile();
  onCall = [&](const FrameCall& call) {
    if (call.kind == Kind::ReportLine && call.text == kStarts) {
      EXPECT_FALSE(controller->open(optionsFor(readableFile())));
    }
  };
  scan(optionsFor(path));

  EXPECT_EQ(messages(), joined(runStart(path), {"box: Please wait for the running process.",
                                                "scan error: File cannot be open...........",
                                                "error box: File cannot be open...........",
                                                "line: " + kAborted, "box: " + kAborted}));
}

TEST_F(ScanWorkerTest, StopAsksAndOnYesClearsBusyAndRequestsStop) {
  struct Case {
    int32_t busy;
    MessageAnswer answer;
    bool asked;
    int32_t busyAfter;
    bool stopRequested;
  };
  for (Case c : {Case{1, MessageAnswer::Yes, true, 0, true}, Case{1, MessageAnswer::No, true, 1, false},
                 Case{0, MessageAnswer::Yes, false, 0, false}}) {
    resetApplicationState();
    frame.clear();
    frame.setMessageAnswer(c.answer);
    appState().busy = c.busy;
    EXPECT_EQ(make().stop(), c.stopRequested);
    std::vector<std::string> expected;
    if (c.asked) expected.push_back("yes-no box: Are you sure to stop the running process?");
    EXPECT_EQ(messages(), expected);
    EXPECT_EQ(appState().busy, c.busyAfter);
    EXPECT_EQ(appState().stopRequest, c.stopRequested);
  }
}

TEST_F(ScanWorkerTest, StopEndsTheOpenAndANewRunWaitsForTheStoppedWorker) {
  std::string first = readableFile();
  std::string second = missingFile();
  int32_t busyWhenSecondRunBegan = -1;
  onCall = [&](const FrameCall& call) {
    if (call.kind != Kind::ReportLine) return;
    if (call.text == kStarts && controller->currentPath() == first) {
      ASSERT_TRUE(controller->stop());
      ASSERT_TRUE(controller->open(optionsFor(second)));
    }
    if (call.text == second + " File is selected for recovery....") busyWhenSecondRunBegan = appState().busy;
  };
  frame.setMessageAnswer(MessageAnswer::Yes);
  scan(optionsFor(first));

  std::vector<std::string> firstRun =
      joined(runStart(first),
             {"yes-no box: Are you sure to stop the running process?",
              "scan error: Wheteher File is not valid mdf file or file is highly corrupted...........",
              "error box: Wheteher File is not valid mdf file or file is highly corrupted...........",
              "line: " + kAborted, "box: " + kAborted});
  std::vector<std::string> secondRun =
      joined(runStart(second), {"scan error: File cannot be open...........",
                                "error box: File cannot be open...........", "line: " + kAborted,
                                "box: " + kAborted});
  EXPECT_EQ(messages(), joined(firstRun, secondRun));
  EXPECT_EQ(busyWhenSecondRunBegan, 1);
  EXPECT_EQ(appState().busy, 0);
  EXPECT_FALSE(appState().stopRequest);
  EXPECT_EQ(controller->currentPath(), second);
}

TEST_F(ScanWorkerTest, RealDatabaseCompletesWithItsNameAsRoot) {
  std::string path = test::corpusDir() + "/v611_pubs.mdf";
  scan(optionsFor(path));

  ASSERT_EQ(controller->outcome(), ScanOutcome::Completed);
  std::vector<std::string> lines = messages();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
            (std::vector<std::string>{"caption: Scanning completed for selected mdf file",
                                      "line: Scanning completed for selected mdf file.",
                                      "box: Scanning process completed."}));
  const ObjectTreeFolders& folders = controller->objectTree().folders();
  EXPECT_EQ(tree.itemText(folders.root), "pubs");
  std::vector<std::string> tables;
  for (TreeItem item : tree.children(folders.userTables)) tables.push_back(tree.itemText(item));
  EXPECT_TRUE(std::is_sorted(tables.begin(), tables.end(), treeSortsBefore));
  EXPECT_NE(std::find(tables.begin(), tables.end(), "dbo.authors"), tables.end());
}

}  // namespace
}  // namespace orodorev

namespace orodorev {
namespace {

// Every real file scans to completion with the lines of a successful run, in order.
TEST_F(ScanWorkerTest, EveryCorpusFileScansWithTheLinesOfASuccessfulRun) {
  std::ifstream shipped(ORODOREV_SHIPPED_COLLATIONS, std::ios::binary);
  CollationTable collations;
  readCollationLines(shipped, collations);
  for (const std::string& path : test::corpusDataFiles()) {
    SCOPED_TRACE(path);
    resetApplicationState();
    appState().collations = collations;
    frame.clear();
    DatabaseFile probe(path, false, nullptr);
    auto boot = readDatabaseName(probe);
    ASSERT_TRUE(boot);
    const CollationEntry* collation = findCollation(collations, boot->storedCollationId);
    if (!collation) collation = findCollation(collations, static_cast<uint16_t>(boot->storedCollationId));
    ASSERT_TRUE(collation);
    resetApplicationState();
    appState().collations = collations;

    scan(optionsFor(path));
    ASSERT_EQ(controller->outcome(), ScanOutcome::Completed);
    std::vector<std::string> lines;
    for (const std::string& message : messages())
      if (message.rfind("line: ", 0) == 0) lines.push_back(message);
    const std::vector<std::string> expected = {
        "line: " + path + " File is selected for recovery....",
        "line: Browse File Path:\t" + path,
        "line: " + kStandardLine,
        "line: " + kStarts,
        "line: Database version: " + versionText(boot->version),
        "line: Collation Type: " + collation->name,
        "line: Creating Tree.........",
        "line: Process done.........",
        "line: " + kModulesStart,
        "line: " + kModulesDone,
        "line: Scanning completed for selected mdf file."};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(messages().back(), "box: Scanning process completed.");
  }
  appState().collations.clear();
}

}  // namespace
}  // namespace orodorev
