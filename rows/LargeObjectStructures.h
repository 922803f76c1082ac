#pragma once
// The structures a large value is built of, one per text record. Offsets below are
// payload offsets; every payload starts with the header u64 blob id | u16 type.
//
// SmallRoot (type 0):   10 u16 length | 16.. data (a whole value of at most a few dozen bytes)
// Internal (type 2):    10 u16 max links | 12 u16 links n | 14 u16 level |
//                       16.. n links of 16 bytes: u32 offset | u32 unused | u32 page | u16 file | u16 slot
// LargeRootYukon (4-6): 10, 12, 14 as Internal |
//                       20.. n links of 12 bytes: u32 offset | u32 page | u16 file | u16 slot
// LobSData (type 3):    10.. data
// A link's offset is where its child's bytes end within the value. All records of one
// value carry the blob id of its root.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rows/LargeObjectPage.h"
#include "storage/PageId.h"

namespace orodorev {

class DatabaseFile;

constexpr int32_t kMaxLobPieceSize = 8192;

struct LobLink {
  uint32_t offset = 0;
  PageId page;
  uint16_t slot = 0;
};

class LobStructureBase {
 public:
  LobStructureBase(const DatabaseFile* file, uint64_t blobId) : file_(file), blobId_(blobId) {}
  virtual ~LobStructureBase() = default;

  const DatabaseFile* file() const { return file_; }
  uint64_t blobId() const { return blobId_; }

 private:
  const DatabaseFile* file_;
  uint64_t blobId_;
};

class SmallRoot : public LobStructureBase {
 public:
  using LobStructureBase::LobStructureBase;
  // Nothing when the record is no small root, its length is above 8192 or its data
  // reaches past the record. A length of 0 is an empty value.
  static std::optional<SmallRoot> decode(const TextRecord& record, const DatabaseFile* file);

  std::vector<uint8_t> data;
};

// The link lists of Internal nodes and large roots. A node whose link count reaches past
// its record keeps the links that lie within it and is marked incomplete.
class LobNode : public LobStructureBase {
 public:
  using LobStructureBase::LobStructureBase;
  uint16_t maxLinks = 0;
  uint16_t curLinks = 0;
  uint16_t level = 0;
  std::vector<LobLink> links;
  bool complete = true;
};

class Internal : public LobNode {
 public:
  using LobNode::LobNode;
  static std::optional<Internal> decode(const TextRecord& record, const DatabaseFile* file);
};

class LargeRootYukon : public LobNode {
 public:
  using LobNode::LobNode;
  static std::optional<LargeRootYukon> decode(const TextRecord& record, const DatabaseFile* file);
};

class LobSData : public LobStructureBase {
 public:
  using LobStructureBase::LobStructureBase;
  // Nothing when the record is no data record.
  static std::optional<LobSData> decode(const TextRecord& record, const DatabaseFile* file);

  // The data up to the first zero byte in the system ANSI code page.
  std::string ansiText() const;
  // The first n data bytes (at most all of them) as hex digits.
  std::string hexText(size_t n) const;

  std::vector<uint8_t> data;
};

bool isLargeRootType(uint16_t structureType);

}  // namespace orodorev
