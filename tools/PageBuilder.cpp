#include "tools/PageBuilder.h"

#include <stdexcept>

namespace orodorev::sample {
namespace {

constexpr uint8_t kHeaderVersion = 1;
constexpr size_t kSlotBytes = 2;
// Each page's last change, a log sequence number (virtual log file : block : record)
// that differs from page to page as a freshly built database's do.
constexpr uint32_t kLogFile = 32;
constexpr uint32_t kFirstLogBlock = 16;
constexpr uint32_t kLogBlocksPerPage = 8;
constexpr uint16_t kLogRecord = 1;

void putAddress(Bytes& page, size_t at, PageAddress address) {
  putU32(page, at, static_cast<uint32_t>(address.page));
  putU16(page, at + 4, static_cast<uint16_t>(address.file));
}

}  // namespace

PageBuilder::PageBuilder(uint8_t pageType, int32_t pageNumber) : pageType_(pageType), pageNumber_(pageNumber) {}

PageBuilder& PageBuilder::owner(int32_t headerObjectId, uint16_t headerIndexId) {
  objectId_ = headerObjectId;
  indexId_ = headerIndexId;
  return *this;
}

PageBuilder& PageBuilder::links(PageAddress previous, PageAddress next) {
  previous_ = previous;
  next_ = next;
  return *this;
}

uint16_t PageBuilder::addRecord(const Bytes& record) {
  if (record.size() + kSlotBytes > freeBytes()) throw std::length_error("page full");
  if (slots_.empty() && record.size() >= 4) fixedLength_ = static_cast<uint16_t>(record[2] | (record[3] << 8));
  slots_.push_back(static_cast<uint16_t>(kPageHeaderBytes + records_.size()));
  records_.insert(records_.end(), record.begin(), record.end());
  return static_cast<uint16_t>(slots_.size() - 1);
}

size_t PageBuilder::freeBytes() const {
  return kPageBytes - kPageHeaderBytes - records_.size() - kSlotBytes * slots_.size();
}

Bytes PageBuilder::finish() const {
  Bytes page(kPageBytes, 0);
  page[0] = kHeaderVersion;
  page[1] = pageType_;
  putU16(page, 6, indexId_);
  putAddress(page, 8, previous_);
  putU16(page, 14, fixedLength_);
  putAddress(page, 16, next_);
  putU16(page, 22, static_cast<uint16_t>(slots_.size()));
  putU32(page, 24, static_cast<uint32_t>(objectId_));
  putU16(page, 28, static_cast<uint16_t>(freeBytes()));
  putU16(page, 30, static_cast<uint16_t>(kPageHeaderBytes + records_.size()));
  putAddress(page, 32, {pageNumber_, kPrimaryFileId});
  putU32(page, 40, kLogFile);
  putU32(page, 44, kFirstLogBlock + kLogBlocksPerPage * static_cast<uint32_t>(pageNumber_));
  putU16(page, 48, kLogRecord);
  std::copy(records_.begin(), records_.end(), page.begin() + kPageHeaderBytes);
  for (size_t j = 0; j < slots_.size(); ++j) putU16(page, kPageBytes - 2 - 2 * j, slots_[j]);
  return page;
}

}  // namespace orodorev::sample
