#pragma once
// What a worker may tell the main window. Every call returns after the frame has
// handled it, so a worker can rely on its order.

#include <cstdint>
#include <string>

namespace orodorev {

enum class MessageIcon { Information, Error, Question, Warning };
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class FramePort {
 public:
  virtual ~FramePort() = default;
  virtual void setProgressRange(int64_t low, int64_t high) = 0;
  virtual void setProgressText(const std::string& text) = 0;
  virtual void reportScanError(const std::string& text) = 0;
  virtual void setProgressPosition(int64_t position) = 0;
  virtual void reportLine(const std::string& text) = 0;
  virtual void setCaptionText(const std::string& text) = 0;
  virtual MessageAnswer showMessageBox(const std::string& text, MessageIcon icon,
                                       MessageButtons buttons) = 0;
  virtual void showProgressBar(bool visible) = 0;
};

}  // namespace orodorev

namespace orodorev {

// A frame that ignores everything: for work that nobody watches.
class NullFrame : public FramePort {
 public:
  void setProgressRange(int64_t, int64_t) override {}
  void setProgressText(const std::string&) override {}
  void reportScanError(const std::string&) override {}
  void setProgressPosition(int64_t) override {}
  void reportLine(const std::string&) override {}
  void setCaptionText(const std::string&) override {}
  MessageAnswer showMessageBox(const std::string&, MessageIcon, MessageButtons) override {
    return MessageAnswer::Ok;
  }
  void showProgressBar(bool) override {}
};

inline FramePort& nullFrame() {
  static NullFrame frame;
  return frame;
}

}  // namespace orodorev
