#pragma once
// The opened primary data file of one scan. Opening it finds where page 0 starts and
// reads every page header once, recording which object owns each page; every later
// reader asks these maps for an object's pages and reads them by position.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/FramePort.h"
#include "storage/FileRow.h"
#include "storage/MappedPage.h"
#include "storage/Page.h"
#include "storage/RecordPage.h"
#include "storage/PageId.h"
#include "storage/ReadOnlyFile.h"

namespace orodorev {

inline constexpr const char* kFileCannotBeOpen = "File cannot be open...........";
inline constexpr const char* kFileNotValid =
    "Wheteher File is not valid mdf file or file is highly corrupted...........";

class IamPage;

class DatabaseFile {
 public:
  // Runs the whole open sequence; success shows in opened(). Progress and the scan
  // error go to the frame, which must outlive this object.
  DatabaseFile(std::string path, bool advanced, FramePort* frame);

  DatabaseFile(const DatabaseFile&) = delete;
  DatabaseFile& operator=(const DatabaseFile&) = delete;

  bool opened() const { return opened_; }
  const std::string& path() const { return path_; }
  int64_t fileSize() const { return fileSize_; }
  int64_t pageCount() const { return pageCount_; }
  int64_t dataOffset() const { return dataOffset_; }
  int64_t extentCount() const { return extentCount_; }
  bool advanced() const { return advanced_; }
  FramePort& frame() const { return *frame_; }

  // A whole page (8193 bytes, the last one zero) or nothing when the address lies
  // outside the file or the file cannot be read. Page 0 is refused.
  std::optional<PageBuffer> readPage(PageId id) const;
  std::unique_ptr<CPage_Header> loadPageHeader(PageId id) const;
  // As readPage, but page 0 is accepted.
  std::unique_ptr<CDataPage> loadDataPage(PageId id) const;
  // The row readers' variant: page 0 is refused as well.
  std::unique_ptr<CDataPage> loadRowDataPage(PageId id) const;
  std::unique_ptr<IamPage> loadIamPage(PageId id) const;
  // The 8192 bytes at a position of the primary file, with no check but the file size.
  std::optional<PageBuffer> readRawPage(int64_t position) const;

  // Extents of the file with that id: the primary file's, or a secondary file's from
  // the file map; 0 for an unknown file.
  int64_t extentCountOf(int32_t fileId) const;

  std::string databaseName;
  PageMap systemPageMap;
  PageMap dataPageMap;
  PageMap iamPageMap;
  std::map<int32_t, FileRow> secondaryFileMap;

 private:
  bool mapPages();
  std::optional<PageBuffer> readPageAt(PageId id, size_t bufferSize, bool acceptPageZero) const;

  int64_t fileSize_ = 0;
  int64_t pageCount_ = 0;
  int64_t dataOffset_ = 0;
  int64_t extentCount_ = 0;
  std::optional<ReadOnlyFile> file_;
  std::string path_;
  bool opened_ = false;
  bool advanced_ = false;
  FramePort* frame_;
};

}  // namespace orodorev
