#include "storage/SequentialPageReader.h"

#include <algorithm>

#include "storage/PageHeader.h"

namespace orodorev {

SequentialPageReader::SequentialPageReader(const ReadOnlyFile& file, int64_t startOffset,
                                           int blockPages)
    : file_(file),
      nextOffset_(startOffset),
      blockPages_(std::max(1, blockPages)),
      pageInBlock_(blockPages_),
      block_(static_cast<size_t>(blockPages_) * kPageSize) {}

const uint8_t* SequentialPageReader::next() {
  if (pageInBlock_ == blockPages_) {
    int64_t got = file_.readAt(nextOffset_, block_.data(), static_cast<int64_t>(block_.size()));
    std::fill(block_.begin() + std::max<int64_t>(got, 0), block_.end(), 0);
    nextOffset_ += static_cast<int64_t>(block_.size());
    pageInBlock_ = 0;
  }
  return block_.data() + static_cast<size_t>(pageInBlock_++) * kPageSize;
}

}  // namespace orodorev
