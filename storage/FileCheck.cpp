#include "storage/FileCheck.h"

#include "app/ApplicationState.h"
#include "storage/ByteOrder.h"
#include "storage/PageHeader.h"
#include "storage/SequentialPageReader.h"

namespace orodorev {
namespace {

constexpr int kThisPageNumberOffset = 32;

// Looks for a page whose header carries its own position, reading from base.
bool findAlignedPage(const ReadOnlyFile& file, int64_t base, int64_t firstPage, int64_t pageCount,
                     int64_t progressStep, bool honourStop, FramePort& frame) {
  SequentialPageReader reader(file, base + firstPage * kPageSize, 16);
  for (int64_t i = firstPage; i <= pageCount; ++i) {
    if (honourStop && stopRequested()) return false;
    const uint8_t* page = reader.next();
    if (readI32(page + kThisPageNumberOffset) == i) return true;
    if (i % progressStep == 0) frame.setProgressPosition(i);
  }
  return false;
}

}  // namespace

int64_t checkFileCorruption(const ReadOnlyFile& file, int64_t pageCount, int64_t guessedOffset,
                            FramePort& frame) {
  int64_t firstPage = pageCount > 8 ? 8 : pageCount / 4;
  int64_t step = pageCount > 0 ? (pageCount + 99) / 100 : 1;
  frame.setProgressText("Checking for file corruption ...........");
  frame.setProgressRange(0, pageCount);
  frame.setProgressPosition(0);

  int64_t dataOffset = guessedOffset;
  if (!findAlignedPage(file, guessedOffset, firstPage, pageCount, step, true, frame) &&
      guessedOffset != 0 &&
      findAlignedPage(file, 0, firstPage, pageCount, step, false, frame)) {
    dataOffset = 0;
  }

  frame.setProgressPosition(pageCount);
  frame.setProgressText("Checking for file corruption is done...........");
  return dataOffset;
}

}  // namespace orodorev
