#pragma once
// Values kept on a text page (type 3) behind a text pointer, each in one small root.
//
// Text pointer (16 bytes, in the row): u64 timestamp = blob id of the root |
//   u32 page | u16 file | u16 slot
// Small root payload: u64 blob id | u16 type 0 | u16 length | u32 0 | data, the data
//   area at least 64 bytes long (zero-filled)
// Blob ids are multiples of 65536, so a pointer's first byte is 0 and readers tell it
// from the root pointers of max-length values, which start with their type.

#include <cstdint>
#include <vector>

#include "tools/ByteWriter.h"
#include "tools/PageBuilder.h"

namespace orodorev::sample {

class LargeValueStore {
 public:
  LargeValueStore(int32_t pageNumber, uint64_t firstBlobId);

  // Adds the value as a small root and returns the text pointer to it.
  Bytes store(const Bytes& value);

  bool empty() const { return records_.empty(); }
  int32_t pageNumber() const { return pageNumber_; }
  const std::vector<Bytes>& records() const { return records_; }

 private:
  int32_t pageNumber_;
  uint64_t nextBlobId_;
  std::vector<Bytes> records_;
};

}  // namespace orodorev::sample
