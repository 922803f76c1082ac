#pragma once
// The frame as the workers of a run see it. Every call goes on to the frame; two
// messages get the main window's own handling here, once for every frame
// implementation:
// - a report line also goes to the run log;
// - a scan error (raised while a data file opens) is followed by the window's
//   reaction: progress position 0, progress text cleared, the onScanError callback
//   (the owner drops the loaded database) and an error box with the same text
//   (MessageIcon::Error, MessageButtons::Ok).
// Frame implementations therefore record or print a scan error but show no box of
// their own for it.

#include <functional>

#include "app/FramePort.h"
#include "run/RunLog.h"

namespace orodorev {

class RunFrame : public FramePort {
 public:
  RunFrame(FramePort& frame, RunLog& log, std::function<void()> onScanError = {});

  void setProgressRange(int64_t low, int64_t high) override;
  void setProgressText(const std::string& text) override;
  void reportScanError(const std::string& text) override;
  void setProgressPosition(int64_t position) override;
  void reportLine(const std::string& text) override;
  void setCaptionText(const std::string& text) override;
  MessageAnswer showMessageBox(const std::string& text, MessageIcon icon,
                               MessageButtons buttons) override;
  void showProgressBar(bool visible) override;

  RunLog& runLog() { return log_; }

 private:
  FramePort& frame_;
  RunLog& log_;
  std::function<void()> onScanError_;
};

}  // namespace orodorev
