#pragma once
// Text/image pages (page types 3 and 4) and the records on them, which hold the pieces
// of large values.
//
// Text record: 0 status A | 1 status B | 2 u16 end offset c | 4..c-1 payload
// Payload:     0 u64 blob id | 8 u16 structure type | 10.. structure fields
// A payload shorter than the 10-byte header carries no structure.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "storage/ByteView.h"
#include "storage/PageId.h"
#include "storage/Record.h"
#include "storage/RecordPage.h"

namespace orodorev {

class DatabaseFile;

constexpr int kLobHeaderSize = 10;
constexpr int32_t kTextMixPageType = 3;
constexpr int32_t kTextTreePageType = 4;

enum LobStructureType : uint16_t {
  kSmallRootType = 0,
  kInternalType = 2,
  kDataType = 3,
  kFirstLargeRootType = 4,  // 4, 5 and 6 share the large root layout
  kLastLargeRootType = 6,
  kNoStructureType = 8,
};

class TextRecord : public CRecord {
 public:
  // The record at a page offset; it may use at most `window` bytes from there.
  TextRecord(ByteView page, int32_t offset, int32_t window);

  bool hasVersionTag = false;  // status A bit 6
  bool statusBFlag = false;    // status B equal to 1
  int32_t endOffset = 0;
  // Bytes 4 to endOffset - 1, or nothing when the end offset does not fit the record.
  std::optional<std::vector<uint8_t>> payload;
  uint64_t blobId = 0;
  uint16_t structureType = kNoStructureType;
  // Bytes after the large-object header (the whole payload when it has no header).
  int32_t dataLength = 0;
};

class TextMixPage : public RecordPage {
 public:
  TextMixPage(PageBuffer buffer, const DatabaseFile* file);

  size_t recordCount() const { return records_.size(); }
  // The record of a slot, or nothing for a slot outside the page or without a record.
  const TextRecord* record(size_t slot) const;
};

bool isTextPage(const CPage_Header& header);

// Reads a text page by its position. When the page found there names another page
// number q for itself, the page at 2r - q is taken instead, but only if that one names
// the requested number r; otherwise nothing is returned.
std::unique_ptr<TextMixPage> loadTextPage(const DatabaseFile& file, PageId id);

}  // namespace orodorev
