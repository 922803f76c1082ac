#include "app/HeadlessFrame.h"

namespace orodorev {

HeadlessFrame::HeadlessFrame(Observer observer) : observer_(std::move(observer)) {}

void HeadlessFrame::setRecording(bool recording) {
  std::lock_guard lock(mutex_);
  recording_ = recording;
}

void HeadlessFrame::setMessageAnswer(MessageAnswer answer) {
  std::lock_guard lock(mutex_);
  answer_ = answer;
}

std::vector<FrameCall> HeadlessFrame::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<FrameCall> HeadlessFrame::callsOf(FrameCallKind kind) const {
  std::lock_guard lock(mutex_);
  std::vector<FrameCall> matching;
  for (const FrameCall& call : calls_)
    if (call.kind == kind) matching.push_back(call);
  return matching;
}

void HeadlessFrame::clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

void HeadlessFrame::record(FrameCall call) {
  Observer observer;
  {
    std::lock_guard lock(mutex_);
    if (recording_) calls_.push_back(call);
    observer = observer_;
  }
  if (observer) observer(call);
}

void HeadlessFrame::setProgressRange(int64_t low, int64_t high) {
  record({FrameCallKind::ProgressRange, {}, low, high});
}
void HeadlessFrame::setProgressText(const std::string& text) {
  record({FrameCallKind::ProgressText, text});
}
void HeadlessFrame::reportScanError(const std::string& text) {
  record({FrameCallKind::ScanError, text});
}
void HeadlessFrame::setProgressPosition(int64_t position) {
  record({FrameCallKind::ProgressPosition, {}, position});
}
void HeadlessFrame::reportLine(const std::string& text) {
  record({FrameCallKind::ReportLine, text});
}
void HeadlessFrame::setCaptionText(const std::string& text) {
  record({FrameCallKind::CaptionText, text});
}
MessageAnswer HeadlessFrame::showMessageBox(const std::string& text, MessageIcon icon,
                                            MessageButtons buttons) {
  record({FrameCallKind::MessageBox, text, static_cast<int64_t>(icon),
          static_cast<int64_t>(buttons)});
  std::lock_guard lock(mutex_);
  return answer_;
}
void HeadlessFrame::showProgressBar(bool visible) {
  record({FrameCallKind::ProgressBarVisible, {}, visible ? 1 : 0});
}

}  // namespace orodorev
