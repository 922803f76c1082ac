#include "storage/DatabaseFile.h"

#include "app/ApplicationState.h"
#include "storage/AllocationMap.h"
#include "storage/ByteOrder.h"
#include "storage/FileCheck.h"
#include "storage/SequentialPageReader.h"

namespace orodorev {
namespace {

constexpr int kObjectIdOffset = 24;
constexpr int kPageTypeOffset = 1;
constexpr int kThisFileIdOffset = 36;
constexpr int kIndexIdOffset = 6;
constexpr uint32_t kLastSystemObjectId = 100;
constexpr int32_t kExtraSystemObjectId = 2187;
constexpr size_t kReadPageBufferSize = kPageSize + 1;

bool isSystemObject(int32_t objectId) {
  return static_cast<uint32_t>(objectId) <= kLastSystemObjectId ||
         objectId == kExtraSystemObjectId;
}

}  // namespace

DatabaseFile::DatabaseFile(std::string path, bool advanced, FramePort* frame)
    : path_(std::move(path)), advanced_(advanced), frame_(frame ? frame : &nullFrame()) {
  file_ = ReadOnlyFile::open(path_);
  if (!file_) {
    frame_->reportScanError(kFileCannotBeOpen);
  } else if (file_->size() < kPageSize) {
    frame_->reportScanError(kFileNotValid);
  } else {
    fileSize_ = file_->size();
    dataOffset_ = fileSize_ % kPageSize;
    pageCount_ = (fileSize_ - dataOffset_) / kPageSize;
    extentCount_ = pageCount_ / 8;
    dataOffset_ = checkFileCorruption(*file_, pageCount_, dataOffset_, *frame_);
    opened_ = mapPages();
    if (!opened_) frame_->reportScanError(kFileNotValid);
  }
  appState().stopRequest = false;
}

// Reads every whole page once, in file order. A stop keeps what was mapped so far.
bool DatabaseFile::mapPages() {
  systemPageMap.clear();
  dataPageMap.clear();
  iamPageMap.clear();
  frame_->setProgressRange(0, pageCount_);
  frame_->setProgressPosition(0);
  frame_->setProgressText("Mapping Database Objects...........");
  int64_t step = (pageCount_ + 99) / 100;

  int64_t systemPages = 0;
  SequentialPageReader reader(*file_, dataOffset_);
  for (int64_t i = 0; i < pageCount_; ++i) {
    if (stopRequested()) break;
    const uint8_t* page = reader.next();
    int32_t objectId = readI32(page + kObjectIdOffset);
    int32_t pageType = page[kPageTypeOffset];
    MappedPage entry{readI16(page + kThisFileIdOffset), readI16(page + kIndexIdOffset), static_cast<int32_t>(i),
                     pageType};
    if (isSystemObject(objectId)) {
      systemPageMap[objectId].push_back(entry);
      ++systemPages;
    }
    if (objectId != 0 && pageType == kDataPageType) {
      dataPageMap[objectId].push_back({entry.fileId, entry.indexId, entry.pageNumber, kDataPageType});
    } else if (objectId != 0 && pageType == kIamPageType) {
      iamPageMap[objectId].push_back({entry.fileId, entry.indexId, entry.pageNumber, kIamPageType});
    }
    if ((i + 1) % step == 0) frame_->setProgressPosition(i + 1);
  }

  frame_->setProgressPosition(pageCount_);
  frame_->setProgressText("Mapping of Database Objects has been done ......................");
  return systemPages > 0;
}

std::optional<PageBuffer> DatabaseFile::readPageAt(PageId id, size_t bufferSize,
                                                   bool acceptPageZero) const {
  if (id.pageNumber < 0 || (id.pageNumber == 0 && !acceptPageZero)) return std::nullopt;

  auto readFrom = [&](const ReadOnlyFile& file, int64_t pages, int64_t offset,
                      int64_t size) -> std::optional<PageBuffer> {
    int64_t position = offset + static_cast<int64_t>(id.pageNumber) * kPageSize;
    if (id.pageNumber > pages || position >= size) return std::nullopt;
    PageBuffer buffer(bufferSize, 0);
    if (file.readAt(position, buffer.data(), kPageSize) <= 0) return std::nullopt;
    return buffer;
  };

  if (id.fileId == 1) {
    if (!file_) return std::nullopt;
    return readFrom(*file_, pageCount_, dataOffset_, fileSize_);
  }
  if (id.fileId < 1) return std::nullopt;
  auto row = secondaryFileMap.find(id.fileId);
  if (row == secondaryFileMap.end() || row->second.physicalName.empty()) return std::nullopt;
  auto secondary = ReadOnlyFile::open(row->second.physicalName);
  if (!secondary) return std::nullopt;
  return readFrom(*secondary, row->second.pageCount, row->second.dataOffset,
                  row->second.fileSize);
}

std::optional<PageBuffer> DatabaseFile::readPage(PageId id) const {
  return readPageAt(id, kReadPageBufferSize, false);
}

std::unique_ptr<CPage_Header> DatabaseFile::loadPageHeader(PageId id) const {
  auto buffer = readPage(id);
  if (!buffer) return nullptr;
  return std::make_unique<CPage_Header>(buffer->data());
}

std::unique_ptr<CDataPage> DatabaseFile::loadDataPage(PageId id) const {
  auto buffer = readPageAt(id, kPageSize, true);
  if (!buffer) return nullptr;
  return std::make_unique<CDataPage>(std::move(*buffer), this);
}

std::unique_ptr<CDataPage> DatabaseFile::loadRowDataPage(PageId id) const {
  if (id.pageNumber == 0) return nullptr;
  return loadDataPage(id);
}

std::unique_ptr<IamPage> DatabaseFile::loadIamPage(PageId id) const {
  auto buffer = readPage(id);
  if (!buffer) return nullptr;
  return std::make_unique<IamPage>(std::move(*buffer), this);
}

std::optional<PageBuffer> DatabaseFile::readRawPage(int64_t position) const {
  int64_t offset = dataOffset_ + position * kPageSize;
  if (!file_ || position < 0 || offset >= fileSize_) return std::nullopt;
  PageBuffer buffer(kPageSize, 0);
  if (file_->readAt(offset, buffer.data(), kPageSize) <= 0) return std::nullopt;
  return buffer;
}

int64_t DatabaseFile::extentCountOf(int32_t fileId) const {
  if (fileId == 1) return extentCount_;
  auto row = secondaryFileMap.find(fileId);
  return row == secondaryFileMap.end() ? 0 : row->second.pageCount / kPagesPerExtent;
}

}  // namespace orodorev
