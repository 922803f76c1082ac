#include "run/RunFrame.h"

namespace orodorev {

RunFrame::RunFrame(FramePort& frame, RunLog& log, std::function<void()> onScanError)
    : frame_(frame), log_(log), onScanError_(std::move(onScanError)) {}

void RunFrame::setProgressRange(int64_t low, int64_t high) { frame_.setProgressRange(low, high); }

void RunFrame::setProgressText(const std::string& text) { frame_.setProgressText(text); }

void RunFrame::reportScanError(const std::string& text) {
  frame_.reportScanError(text);
  frame_.setProgressPosition(0);
  frame_.setProgressText({});
  if (onScanError_) onScanError_();
  frame_.showMessageBox(text, MessageIcon::Error, MessageButtons::Ok);
}

void RunFrame::setProgressPosition(int64_t position) { frame_.setProgressPosition(position); }

void RunFrame::reportLine(const std::string& text) {
  frame_.reportLine(text);
  log_.appendLine(text);
}

void RunFrame::setCaptionText(const std::string& text) { frame_.setCaptionText(text); }

MessageAnswer RunFrame::showMessageBox(const std::string& text, MessageIcon icon,
                                       MessageButtons buttons) {
  return frame_.showMessageBox(text, icon, buttons);
}

void RunFrame::showProgressBar(bool visible) { frame_.showProgressBar(visible); }

}  // namespace orodorev
