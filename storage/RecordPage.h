#pragma once
// Pages whose slot array points at records. The slot array is stored backwards from
// the end of the page: entry j is the u16 at offset 8190 - 2j, a record offset or 0.
//
// Compressed pages (typeFlagBits 0x80) start their record area with compression
// information at offset 96: u8 flags (0x02 anchor, 0x04 dictionary) | u16 mod count |
// u16 dictionary offset | u16 length | anchor record | dictionary: u16 n, n u16 ends,
// entries.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "storage/Page.h"
#include "storage/Record.h"

namespace orodorev {

class RecordPage : public CPage {
 public:
  RecordPage(PageBuffer buffer, const DatabaseFile* file);

  // One entry per slot in slot order; empty where the slot yields no record.
  const std::vector<std::unique_ptr<CRecord>>& records() const { return records_; }
  // Lets a reader drop a record it has finished with.
  std::unique_ptr<CRecord> takeRecord(size_t index);
  // The slot array as read, with the offsets the deleted-record scan added.
  const std::vector<uint16_t>& slots() const { return slots_; }

 protected:
  void readSlotArray();

  std::vector<std::unique_ptr<CRecord>> records_;
  std::vector<uint16_t> slots_;
};

struct AnchorValue {
  static constexpr int32_t kNull = -2;
  static constexpr int32_t kEmpty = -1;

  std::optional<std::vector<uint8_t>> data;
  int32_t length = 0;
};

class PrimaryRecordPage : public RecordPage {
 public:
  // Every slot becomes one entry of records().
  PrimaryRecordPage(PageBuffer buffer, const DatabaseFile* file);
  // records() gets exactly one entry, for the given slot (nothing when out of range).
  PrimaryRecordPage(PageBuffer buffer, const DatabaseFile* file, int slotIndex);

  const CPrimaryRecord* record(size_t index) const;

  uint8_t ciFlags = 0;
  uint16_t ciModCount = 0;
  uint16_t ciDictionaryOffset = 0;
  uint16_t ciLength = 0;
  std::vector<AnchorValue> anchorValues;
  std::vector<AnchorValue> dictionaryEntries;
  std::unique_ptr<CPrimaryRecord> anchorRecord;
  bool hasDictionary = false;
  bool hasAnchor = false;

 private:
  void readCompressionInfo();
  void readDictionary(int32_t start);
  void buildAnchorValues();
  bool headerAllowsRecords() const;
  void scanForDeletedRecords();
  void buildRecords();
  std::unique_ptr<CPrimaryRecord> buildRecord(int32_t offset) const;
};

// The pages that loadDataPage returns.
class CDataPage : public PrimaryRecordPage {
 public:
  using PrimaryRecordPage::PrimaryRecordPage;
};

}  // namespace orodorev
