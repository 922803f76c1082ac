#include "rows/LargeObjectWalk.h"

#include "storage/DatabaseFile.h"

namespace orodorev {

std::vector<uint8_t> GatheredValue::joined() const {
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(size));
  for (const auto& piece : pieces) bytes.insert(bytes.end(), piece.begin(), piece.end());
  return bytes;
}

LobWalk::LobWalk(const DatabaseFile& file, LobLimits limits) : file_(file), limits_(limits) {}

void LobWalk::gatherRecord(const TextRecord& record, std::optional<RecordAddress> address) {
  if (address) visited_.insert(*address);
  walk(record, 0);
}

bool LobWalk::gatherAt(RecordAddress address, std::optional<uint64_t> expectedBlobId) {
  bool reached = follow(address, expectedBlobId, 0);
  if (!reached) value_.complete = false;
  return reached;
}

bool LobWalk::follow(RecordAddress address, std::optional<uint64_t> expectedBlobId, int depth) {
  if (budgetSpent_ || depth > limits_.maxDepth) return false;
  if (!visited_.insert(address).second) return false;
  if (recordsWalked_ >= limits_.maxRecords) {
    budgetSpent_ = true;
    return false;
  }
  auto page = loadTextPage(file_, address.page);
  if (!page || !isTextPage(page->header())) return false;
  std::unique_ptr<CRecord> owned = page->takeRecord(address.slot);
  page.reset();
  const auto* record = static_cast<const TextRecord*>(owned.get());
  if (!record || !record->payload) return false;
  // Every record of a value carries its root's blob id; another id means the
  // reference leads into a different value.
  if (expectedBlobId && record->blobId != *expectedBlobId) return false;
  walk(*record, depth);
  return true;
}

void LobWalk::walk(const TextRecord& record, int depth) {
  ++recordsWalked_;
  if (depth == 0 && !value_.topStructure) value_.topStructure = record.structureType;
  if (!record.payload) {
    value_.complete = false;
    return;
  }
  uint16_t type = record.structureType;
  if (type == kSmallRootType) {
    auto root = SmallRoot::decode(record, &file_);
    if (root) addPiece(std::move(root->data));
    else value_.complete = false;
  } else if (type == kDataType) {
    if (auto leaf = LobSData::decode(record, &file_)) addPiece(std::move(leaf->data));
  } else if (type == kInternalType) {
    auto node = Internal::decode(record, &file_);
    if (node) walkLinks(*node, depth, true);
    else value_.complete = false;
  } else if (isLargeRootType(type)) {
    auto node = LargeRootYukon::decode(record, &file_);
    if (node) walkLinks(*node, depth, false);
    else value_.complete = false;
  }
}

// A child that cannot be followed ends an Internal node's walk; a large root goes on
// with its other children.
void LobWalk::walkLinks(const LobNode& node, int depth, bool stopAtFailure) {
  if (!node.complete) value_.complete = false;
  for (const LobLink& link : node.links) {
    if (budgetSpent_) break;
    if (!follow({link.page, link.slot}, node.blobId(), depth + 1)) {
      value_.complete = false;
      if (stopAtFailure) break;
    }
  }
}

void LobWalk::addPiece(std::vector<uint8_t> bytes) {
  if (bytes.empty()) return;
  if (value_.size + static_cast<int64_t>(bytes.size()) > limits_.maxValueBytes) {
    budgetSpent_ = true;
    value_.complete = false;
    return;
  }
  value_.size += static_cast<int64_t>(bytes.size());
  value_.pieces.push_back(std::move(bytes));
}

}  // namespace orodorev
