#include "storage/ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orodorev {

std::optional<ReadOnlyFile> ReadOnlyFile::open(const std::string& path) {
  int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
      ::flock(descriptor, LOCK_SH | LOCK_NB) != 0) {
    ::close(descriptor);
    return std::nullopt;
  }
  return ReadOnlyFile(descriptor, static_cast<int64_t>(status.st_size));
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : descriptor_(other.descriptor_), size_(other.size_) {
  other.descriptor_ = -1;
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    close();
    descriptor_ = other.descriptor_;
    size_ = other.size_;
    other.descriptor_ = -1;
  }
  return *this;
}

ReadOnlyFile::~ReadOnlyFile() { close(); }

void ReadOnlyFile::close() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

int64_t ReadOnlyFile::readAt(int64_t offset, uint8_t* destination, int64_t length) const {
  if (offset < 0 || length <= 0) return 0;
  int64_t done = 0;
  while (done < length) {
    ssize_t got = ::pread(descriptor_, destination + done, static_cast<size_t>(length - done),
                          static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += got;
  }
  return done;
}

}  // namespace orodorev
