#pragma once
// An input file opened for reading only. Reads are positional, so they never move a
// shared file position. A shared advisory lock keeps out writers that honour locks.

#include <cstdint>
#include <optional>
#include <string>

namespace orodorev {

class ReadOnlyFile {
 public:
  // Nothing when the path cannot be opened, is not a regular file, or is locked
  // for writing by another process.
  static std::optional<ReadOnlyFile> open(const std::string& path);

  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile();

  int64_t size() const { return size_; }

  // Reads up to length bytes at offset; returns how many were read (fewer at the end
  // of the file or on a read error).
  int64_t readAt(int64_t offset, uint8_t* destination, int64_t length) const;

 private:
  ReadOnlyFile(int descriptor, int64_t size) : descriptor_(descriptor), size_(size) {}
  void close();

  int descriptor_ = -1;
  int64_t size_ = 0;
};

}  // namespace orodorev
