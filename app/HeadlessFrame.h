#pragma once
// A frame without a window: keeps every call in order for tests and the command line,
// and optionally hands each call to an observer as it happens.

#include <functional>
#include <mutex>
#include <vector>

#include "app/FramePort.h"

namespace orodorev {

enum class FrameCallKind {
  ProgressRange,
  ProgressText,
  ScanError,
  ProgressPosition,
  ReportLine,
  CaptionText,
  MessageBox,
  ProgressBarVisible,
};

struct FrameCall {
  FrameCallKind kind;
  std::string text;
  int64_t first = 0;   // range low, position, icon, visibility
  int64_t second = 0;  // range high, buttons

  bool operator==(const FrameCall&) const = default;
};

class HeadlessFrame : public FramePort {
 public:
  using Observer = std::function<void(const FrameCall&)>;

  explicit HeadlessFrame(Observer observer = {});

  // Whether calls are kept (the observer sees them either way); a long listing makes
  // many calls that nobody reads back.
  void setRecording(bool recording);

  // The answer every message box gets.
  void setMessageAnswer(MessageAnswer answer);

  std::vector<FrameCall> calls() const;
  std::vector<FrameCall> callsOf(FrameCallKind kind) const;
  void clear();

  void setProgressRange(int64_t low, int64_t high) override;
  void setProgressText(const std::string& text) override;
  void reportScanError(const std::string& text) override;
  void setProgressPosition(int64_t position) override;
  void reportLine(const std::string& text) override;
  void setCaptionText(const std::string& text) override;
  MessageAnswer showMessageBox(const std::string& text, MessageIcon icon,
                               MessageButtons buttons) override;
  void showProgressBar(bool visible) override;

 private:
  void record(FrameCall call);

  mutable std::mutex mutex_;
  std::vector<FrameCall> calls_;
  Observer observer_;
  MessageAnswer answer_ = MessageAnswer::Ok;
  bool recording_ = true;
};

}  // namespace orodorev
