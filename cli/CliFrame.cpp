#include "cli/CliFrame.h"

#include <iostream>
#include <unistd.h>

namespace orodorev::cli {

std::unique_ptr<HeadlessFrame> makeCliFrame() {
  bool progressShown = ::isatty(STDERR_FILENO) == 1;
  return std::make_unique<HeadlessFrame>([progressShown](const FrameCall& call) {
    switch (call.kind) {
      case FrameCallKind::ScanError:
        std::cerr << call.text << '\n';
        break;
      case FrameCallKind::MessageBox:
        std::cerr << "[box] " << call.text << '\n';
        break;
      case FrameCallKind::ProgressText:
        if (progressShown) std::cerr << call.text << '\n';
        break;
      default:
        break;
    }
  });
}

}  // namespace orodorev::cli
