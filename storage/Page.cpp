#include "storage/Page.h"

namespace orodorev {
namespace {

PageBuffer wholePage(PageBuffer buffer) {
  if (buffer.size() < static_cast<size_t>(kPageSize)) buffer.resize(kPageSize, 0);
  return buffer;
}

}  // namespace

CPage::CPage(PageBuffer buffer, const DatabaseFile* file)
    : buffer_(wholePage(std::move(buffer))), header_(buffer_.data()), file_(file) {}

}  // namespace orodorev
