#include "run/RunLog.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/Text.h"

namespace orodorev {
namespace {

constexpr const char* kRunLogPrefix = "TarvelSQLDbRec_log_";
constexpr const char* kByteOrderMark = "\xFF\xFE";
constexpr int kSeparatorStars = 80;

bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<size_t>(written);
  }
  return true;
}

// Creates the file with a byte order mark, or opens the existing one at its end; held
// with an exclusive lock so that no other writer shares it.
int openForAppend(const std::string& path) {
  bool created = true;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0 && errno == EEXIST) {
    created = false;
    fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  }
  if (fd < 0) return -1;
  bool usable = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                (!created || writeAll(fd, std::string(kByteOrderMark, 2)));
  if (!usable) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::optional<std::tm> systemLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (now == static_cast<std::time_t>(-1) || !::localtime_r(&now, &local)) return std::nullopt;
  return local;
}

std::string runLogFileName(const std::tm* when) {
  char stamp[96];
  if (when) {
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d-%d-%d-%d", when->tm_mday, when->tm_mon + 1,
                  when->tm_year + 1900, when->tm_hour, when->tm_min, when->tm_sec);
  } else {
    std::snprintf(stamp, sizeof stamp, "%d-%d-%d-%d-%d-%d", 0, 0, 0, -1, -1, -1);
  }
  return std::string(kRunLogPrefix) + stamp + ".txt";
}

std::string runLogPath(const std::string& folder, const std::tm* when) {
  if (folder.empty()) return runLogFileName(when);
  return folder + (folder.back() == '/' ? "" : "/") + runLogFileName(when);
}

RunLog::RunLog(LocalClock clock) : clock_(std::move(clock)) {}

RunLog::~RunLog() { close(); }

bool RunLog::open(const std::string& folder) {
  std::optional<std::tm> now = clock_ ? clock_() : std::nullopt;
  return openAt(folder, now ? &*now : nullptr);
}

bool RunLog::openAt(const std::string& folder, const std::tm* when) {
  std::lock_guard lock(mutex_);
  path_ = runLogPath(folder, when);
  closeLocked();
  fd_ = openForAppend(path_);
  writeUtf16("\r\n" + std::string(kSeparatorStars, '*') + "\r\n");
  return fd_ >= 0;
}

void RunLog::appendLine(const std::string& text) {
  std::lock_guard lock(mutex_);
  writeUtf16(text + "\r\n");
}

void RunLog::writeUtf16(const std::string& text) {
  if (fd_ >= 0 && !writeAll(fd_, utf8ToUtf16le(text))) closeLocked();
}

void RunLog::close() {
  std::lock_guard lock(mutex_);
  closeLocked();
}

void RunLog::closeLocked() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool RunLog::isOpen() const {
  std::lock_guard lock(mutex_);
  return fd_ >= 0;
}

std::string RunLog::path() const {
  std::lock_guard lock(mutex_);
  return path_;
}

}  // namespace orodorev
