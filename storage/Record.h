#pragma once
// One record of a record page, cut into copies of its pieces.
//
// Plain record:   0 status A | 1 status B | 2 u16 fixed end f | 4..f-1 fixed data |
//                 u16 column count | null bitmap | u16 var count | u16 var end offsets
//                 (bit 15 = complex) | var values
// Status A:       bit 0 compressed, bits 1-3 record type, bit 4 null bitmap,
//                 bit 5 variable columns
// Forwarding stub: 1..4 page number, 5..6 file id, 7..8 slot
// Compressed:     0 status A | column count (1 byte, or 2 when bit 7 of byte 1 is set) |
//                 4-bit descriptor per column | (n-1)/30 skipped | short data |
//                 null bitmap | long data region

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "storage/ByteView.h"

namespace orodorev {

class CPage;

enum RecordType : int32_t {
  kPrimaryRecordType = 0,
  kForwardedRecordType = 1,
  kForwardingStubType = 2,
  kIndexRecordType = 3,
  kGhostDataRecordType = 6,
};

// Codes of the 4-bit column descriptors of a compressed record.
enum DescriptorCode : int32_t {
  kCodeNull = 0,
  kCodeEmpty = 1,
  kCodeLong = 10,
  kCodeNoData = 11,
  kCodeOneByte = 12,
};

constexpr int32_t kStubUnreachable = -5;  // fixedLength of a stub whose target is lost
constexpr int kMaxColumns = 1024;
constexpr int kMaxRecordSize = 8060;

struct VarColumn {
  int32_t columnId = -1;
  std::optional<std::vector<uint8_t>> data;
  int32_t length = 0;
  std::string text;
  uint8_t flag = 0;
  uint8_t complex = 0;
};

struct SparseVector {
  uint16_t count = 0;
  std::vector<VarColumn> columns;
};

struct LongOffset {
  int32_t end = 0;
  uint8_t complex = 0;
};

class CRecord {
 public:
  virtual ~CRecord() = default;

  std::vector<uint16_t> varEndOffsets;
  int32_t recordType = 0;
  bool hasNullBitmap = false;
  bool isCompressed = false;
  bool error = false;
  bool hasVarColumns = false;
  bool ghost = false;
  std::optional<std::vector<uint8_t>> fixedData;
  uint16_t shortDataSize = 0;
  int16_t columnCount = 0;
  std::optional<std::vector<uint8_t>> nullBitmap;
  uint16_t varColumnCount = 0;
  std::vector<VarColumn> varColumns;
  std::optional<std::vector<uint8_t>> recordCopy;
  std::optional<SparseVector> sparseVector;
  int32_t cursor = 0;
  int32_t maxLength = 0;
  std::vector<LongOffset> longOffsets;
  int32_t longDataStart = 0;
};

// One column of an expanded compressed record: NULL, and the stored value's length.
struct ColumnState {
  bool isNull = false;
  int32_t length = 0;
};

class CPrimaryRecord : public CRecord {
 public:
  // Full parse of the record at a page offset; a forwarding stub is followed.
  CPrimaryRecord(const CPage& page, int32_t offset, int32_t maxLength);

  // Parse of a compressed page's anchor record, always in the compressed layout.
  static CPrimaryRecord anchorRecord(const CPage& page, int32_t offset, int32_t maxLength);

  // Total length of the plain record at a page offset, or -1; nothing is kept.
  static int32_t measureRecord(const CPage& page, int32_t offset);

  int16_t fixedLength = 0;
  std::vector<int32_t> descriptorCodes;
  std::vector<ColumnState> columnStates;  // filled when a compressed record is expanded

 private:
  friend class RecordParser;
  CPrimaryRecord() = default;
};

}  // namespace orodorev
