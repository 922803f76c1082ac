#include "storage/AllocationMap.h"

#include <algorithm>

#include "storage/DatabaseFile.h"

namespace orodorev {
namespace {

constexpr int kMaxBitmapBytes = kExtentsPerInterval / 8;
constexpr int kStartPageOffset = 36;
constexpr int kSinglePagesOffset = 42;
constexpr int kPagePointerSize = 6;

std::optional<PageId> readPagePointer(const std::vector<uint8_t>& fixed, int offset) {
  ByteView view(fixed.data(), static_cast<int64_t>(fixed.size()));
  if (!view.holds(offset, kPagePointerSize)) return std::nullopt;
  return PageId{view.i16(offset + 4), view.i32(offset)};
}

}  // namespace

ExtentAllocationMap::ExtentAllocationMap(PageBuffer buffer, const DatabaseFile* file)
    : PrimaryRecordPage(std::move(buffer), file), bits(kExtentsPerInterval, 0) {
  const CPrimaryRecord* bitmap = records().size() >= 2 ? record(1) : nullptr;
  if (!bitmap || !bitmap->fixedData) return;
  size_t bytes = std::min<size_t>(bitmap->fixedData->size(), kMaxBitmapBytes);
  for (size_t i = 0; i < bytes; ++i)
    for (int bit = 0; bit < 8; ++bit) bits[static_cast<size_t>(bitCount++)] = ((*bitmap->fixedData)[i] >> bit) & 1;
}

PageId ExtentAllocationMap::intervalStart() const {
  PageId own = header().thisPage;
  return PageId{own.fileId, own.pageNumber / kPagesPerInterval * kPagesPerInterval};
}

IamPage::IamPage(PageBuffer buffer, const DatabaseFile* file)
    : ExtentAllocationMap(std::move(buffer), file) {
  const CPrimaryRecord* iamHeader = record(0);
  if (!iamHeader || !iamHeader->fixedData) return;
  for (int k = 0; k < 8; ++k)
    if (auto pointer = readPagePointer(*iamHeader->fixedData, kSinglePagesOffset + kPagePointerSize * k))
      singlePages[static_cast<size_t>(k)] = *pointer;
  auto start = readPagePointer(*iamHeader->fixedData, kStartPageOffset);
  if (start && start->fileId > 0 && start->pageNumber >= 0 && start->pageNumber % kPagesPerInterval == 0)
    mappedInterval = start;
}

std::vector<ExtentEntry> extentList(ExtentAllocationMap& map) {
  PageId base = map.intervalStart();
  if (map.mappedInterval) base = *map.mappedInterval;
  int64_t fileExtents = map.file() ? map.file()->extentCountOf(base.fileId) : 0;
  int64_t limit = std::min<int64_t>(map.bitCount, fileExtents - base.pageNumber / kPagesPerExtent);
  std::vector<ExtentEntry> extents;
  for (int64_t i = 0; i < limit; ++i) {
    if (!map.bits[static_cast<size_t>(i)]) continue;
    int32_t first = base.pageNumber + static_cast<int32_t>(i) * kPagesPerExtent;
    extents.push_back({0, {base.fileId, first}, {base.fileId, first + kPagesPerExtent - 1}});
  }
  map.allocatedExtentCount = static_cast<int32_t>(extents.size());
  return extents;
}

std::vector<PageId> extentPages(ExtentEntry& entry) {
  entry.pageCount = entry.last.pageNumber - entry.first.pageNumber + 1;
  std::vector<PageId> pages;
  if (entry.pageCount <= 0) return pages;
  pages.reserve(static_cast<size_t>(entry.pageCount));
  for (int32_t n = entry.first.pageNumber; n <= entry.last.pageNumber; ++n)
    pages.push_back({entry.first.fileId, n});
  return pages;
}

}  // namespace orodorev
