#pragma once
// Gathers the bytes of one large value by walking its structures across text pages.
// The references come from disk, so the walk is bounded: a record already visited is
// not followed again, nor is one deeper than the depth limit, one whose blob id is not
// its parent's, or one on a page that is not a text page; and it stops at a byte and a
// record budget.

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "rows/LargeObjectPage.h"
#include "rows/LargeObjectStructures.h"
#include "storage/PageId.h"

namespace orodorev {

class DatabaseFile;

struct LobLimits {
  int maxDepth = 16;                      // levels below the first record; real values use 3
  int64_t maxValueBytes = INT32_MAX;      // the largest value SQL Server stores
  int64_t maxRecords = int64_t{1} << 20;  // enough for a full-size value in 8040-byte pieces
};

struct RecordAddress {
  PageId page;
  uint16_t slot = 0;
  auto operator<=>(const RecordAddress&) const = default;
};

// The leaf bytes of a value, one piece per small root or data record, in value order.
struct GatheredValue {
  std::vector<std::vector<uint8_t>> pieces;
  int64_t size = 0;
  // Cleared when a reference could not be followed or a limit was reached.
  bool complete = true;
  // The structure type of the first record walked, if any.
  std::optional<uint16_t> topStructure;

  std::vector<uint8_t> joined() const;
};

class LobWalk {
 public:
  explicit LobWalk(const DatabaseFile& file, LobLimits limits = {});

  // The value under a record the caller holds; its address, when known, is not
  // followed again from below.
  void gatherRecord(const TextRecord& record, std::optional<RecordAddress> address = std::nullopt);
  // The value under the record at an address. With an expected blob id, a record that
  // carries another is not taken. False when the record could not be reached.
  bool gatherAt(RecordAddress address, std::optional<uint64_t> expectedBlobId = std::nullopt);

  GatheredValue take() { return std::move(value_); }

 private:
  bool follow(RecordAddress address, std::optional<uint64_t> expectedBlobId, int depth);
  void walk(const TextRecord& record, int depth);
  void walkLinks(const LobNode& node, int depth, bool stopAtFailure);
  void addPiece(std::vector<uint8_t> bytes);

  const DatabaseFile& file_;
  LobLimits limits_;
  std::set<RecordAddress> visited_;
  int64_t recordsWalked_ = 0;
  bool budgetSpent_ = false;
  GatheredValue value_;
};

}  // namespace orodorev
