#pragma once
// Base of every page object: the decoded header and the page's own bytes.

#include <cstdint>
#include <memory>
#include <vector>

#include "storage/PageHeader.h"

namespace orodorev {

class DatabaseFile;

// Bytes of one page as read from disk, zero-filled past what the file held.
using PageBuffer = std::vector<uint8_t>;

class CPage {
 public:
  // Takes the buffer (padded with zeros to a whole page when shorter) and decodes
  // the header, which restores the torn bits in the buffer.
  CPage(PageBuffer buffer, const DatabaseFile* file);

  virtual ~CPage() = default;
  CPage(const CPage&) = delete;
  CPage& operator=(const CPage&) = delete;

  const CPage_Header& header() const { return header_; }
  const uint8_t* data() const { return buffer_.data(); }
  const DatabaseFile* file() const { return file_; }

 protected:
  CPage_Header& mutableHeader() { return header_; }

 private:
  PageBuffer buffer_;
  CPage_Header header_;
  const DatabaseFile* file_;
};

}  // namespace orodorev
