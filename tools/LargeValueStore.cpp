#include "tools/LargeValueStore.h"

#include <stdexcept>

#include "tools/RecordBuilder.h"

namespace orodorev::sample {
namespace {

constexpr uint16_t kSmallRootType = 0;
constexpr size_t kSmallRootDataArea = 64;
constexpr uint64_t kBlobIdStep = 0x10000;

Bytes smallRootPayload(uint64_t blobId, const Bytes& value) {
  if (value.size() > kSmallRootDataArea) throw std::length_error("value too long for a small root");
  ByteWriter payload;
  payload.u64(blobId).u16(kSmallRootType).u16(static_cast<uint16_t>(value.size())).u32(0);
  payload.bytes(value).zeros(kSmallRootDataArea - value.size());
  return payload.data();
}

}  // namespace

LargeValueStore::LargeValueStore(int32_t pageNumber, uint64_t firstBlobId)
    : pageNumber_(pageNumber), nextBlobId_(firstBlobId) {
  if (firstBlobId % kBlobIdStep != 0) throw std::invalid_argument("blob ids are multiples of 65536");
}

Bytes LargeValueStore::store(const Bytes& value) {
  uint64_t blobId = nextBlobId_;
  nextBlobId_ += kBlobIdStep;
  auto slot = static_cast<uint16_t>(records_.size());
  records_.push_back(textRecord(smallRootPayload(blobId, value)));
  ByteWriter pointer;
  pointer.u64(blobId).i32(pageNumber_).i16(kPrimaryFileId).u16(slot);
  return pointer.data();
}

}  // namespace orodorev::sample
