#include "cli/ScanCommand.h"

#include <iostream>

#include "app/HeadlessTree.h"
#include "cli/CliFrame.h"
#include "run/ScanWorker.h"

namespace orodorev::cli {
namespace {

// The command line's frame that also prints each output line to stdout as it comes.
class LinePrintingFrame : public FramePort {
 public:
  explicit LinePrintingFrame(FramePort& frame) : frame_(frame) {}

  void setProgressRange(int64_t low, int64_t high) override { frame_.setProgressRange(low, high); }
  void setProgressText(const std::string& text) override { frame_.setProgressText(text); }
  void reportScanError(const std::string& text) override { frame_.reportScanError(text); }
  void setProgressPosition(int64_t position) override { frame_.setProgressPosition(position); }
  void reportLine(const std::string& text) override {
    frame_.reportLine(text);
    std::cout << text << std::endl;
  }
  void setCaptionText(const std::string& text) override { frame_.setCaptionText(text); }
  MessageAnswer showMessageBox(const std::string& text, MessageIcon icon,
                               MessageButtons buttons) override {
    return frame_.showMessageBox(text, icon, buttons);
  }
  void showProgressBar(bool visible) override { frame_.showProgressBar(visible); }

 private:
  FramePort& frame_;
};

struct ScanOptions {
  RecoveryOptions recovery;
  bool advanced = false;
  std::optional<int64_t> collationId;
};

int runScan(ScanOptions options) {
  options.recovery.recoveryMode = options.advanced ? RecoveryMode::Advanced : RecoveryMode::Standard;
  options.recovery.manualCollationId = options.collationId;

  auto cliFrame = makeCliFrame();
  LinePrintingFrame frame(*cliFrame);
  HeadlessTree tree;
  RunLog log;
  ScanController controller(frame, tree, log);
  controller.open(options.recovery);
  controller.waitForWorker();

  if (!log.isOpen()) std::cerr << "run log cannot be written: " << log.path() << '\n';
  std::cout << tree.print();
  return controller.outcome() == ScanOutcome::Completed ? kExitOk : kExitInputUnreadable;
}

}  // namespace

void addScanCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ScanOptions>();
  CLI::App* command = app.add_subcommand("scan", "a recovery run: its output lines, then the object tree");
  command->add_option("FILE", options->recovery.databasePath, "primary data file (.mdf)")->required();
  command->add_flag("--advanced", options->advanced, "advanced recovery mode");
  command->add_flag("--show-deleted", options->recovery.showDeleted, "take ghost records too");
  command->add_flag("--show-advanced-deleted", options->recovery.showAdvancedDeleted,
                    "with --show-deleted: also records the slot array no longer lists");
  command->add_flag("--sql2000", options->recovery.isSql2000, "SQL Server 2000 catalog");
  command->add_option("--collation", options->collationId,
                      "collation id to use instead of the one the boot page names");
  command->add_option("--log-dir", options->recovery.logFolder,
                      "folder of the run log (default: the current folder)");
  command->callback([options, &exitCode] { exitCode = runScan(*options); });
}

}  // namespace orodorev::cli
