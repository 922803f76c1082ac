#pragma once
// The run log: every output line of a run, written to a text file the user keeps.
// UTF-16LE with a byte order mark, lines ending in CR LF; a file opened again within
// the same second gets a separator and the new lines appended.

#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace orodorev {

// The local time of day; nothing when it cannot be determined.
using LocalClock = std::function<std::optional<std::tm>()>;
std::optional<std::tm> systemLocalTime();

// "TarvelSQLDbRec_log_" + day-month-year-hour-minute-second, unpadded, + ".txt".
// Without a time the date parts print as 0 and the time parts as -1.
std::string runLogFileName(const std::tm* when);

// The file name inside folder, which may end in '/' or not; an empty folder is the
// current one.
std::string runLogPath(const std::string& folder, const std::tm* when);

class RunLog {
 public:
  explicit RunLog(LocalClock clock = systemLocalTime);
  ~RunLog();
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Closes the open log, then opens the one named after the clock's time. Returns
  // whether a file is open; when none could be, later lines are dropped.
  bool open(const std::string& folder);
  bool openAt(const std::string& folder, const std::tm* when);

  // Writes the text and CR LF. A failed write closes the log.
  void appendLine(const std::string& text);

  void close();
  bool isOpen() const;
  // The path of the last opening, kept even when the file could not be opened.
  std::string path() const;

 private:
  void writeUtf16(const std::string& text);
  void closeLocked();

  mutable std::mutex mutex_;
  LocalClock clock_;
  int fd_ = -1;
  std::string path_;
};

}  // namespace orodorev
