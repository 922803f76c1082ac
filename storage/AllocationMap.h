#pragma once
// Index allocation map (IAM) pages. Each maps one interval of 511232 pages (63904
// extents of 8 pages) of one file for one object.
//
// Slot 0, the IAM header record, fixed data: 36 start page (u32 page, u16 file) of the
// mapped interval | 42 eight single-page slots (u32 page, u16 file) outside extents.
// Slot 1: the extent bitmap, one bit per extent, lowest bit first.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "storage/RecordPage.h"

namespace orodorev {

constexpr int32_t kPagesPerInterval = 511232;
constexpr int32_t kExtentsPerInterval = 63904;
constexpr int kPagesPerExtent = 8;

struct ExtentEntry {
  int32_t pageCount = 0;
  PageId first;
  PageId last;
};

class ExtentAllocationMap : public PrimaryRecordPage {
 public:
  ExtentAllocationMap(PageBuffer buffer, const DatabaseFile* file);

  // First page of the mapped interval and the file it lies in.
  PageId intervalStart() const;

  int32_t allocatedExtentCount = 0;
  std::vector<uint8_t> bits;  // one entry (0 or 1) per extent of the interval
  int32_t bitCount = 0;
  // The interval the page's header says it maps, when it names one.
  std::optional<PageId> mappedInterval;
};

class IamPage : public ExtentAllocationMap {
 public:
  IamPage(PageBuffer buffer, const DatabaseFile* file);

  std::array<PageId, 8> singlePages{};
};

// One entry per allocated extent of the interval, within the mapped file's size.
std::vector<ExtentEntry> extentList(ExtentAllocationMap& map);

// The pages of one extent, first to last.
std::vector<PageId> extentPages(ExtentEntry& entry);

}  // namespace orodorev
