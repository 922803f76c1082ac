#include "rows/LargeObjectStructures.h"

#include <algorithm>
#include <span>

#include "app/Text.h"
#include "rows/LargeObjectText.h"
#include "storage/ByteView.h"

namespace orodorev {
namespace {

constexpr int kSmallRootLengthOffset = 10;
constexpr int kSmallRootDataOffset = 16;
constexpr int kNodeHeaderOffset = 10;
constexpr int kNodeHeaderSize = 6;
constexpr int kInternalLinksOffset = 16;
constexpr int kInternalLinkSize = 16;
constexpr int kLargeRootLinksOffset = 20;
constexpr int kLargeRootLinkSize = 12;

ByteView payloadView(const TextRecord& record) {
  if (!record.payload) return {};
  return ByteView(record.payload->data(), static_cast<int64_t>(record.payload->size()));
}

// Fills the node's header fields and the links that lie within the payload.
template <typename ReadLink>
bool decodeNode(LobNode& node, ByteView payload, int firstLink, int linkSize, ReadLink readLink) {
  if (!payload.holds(kNodeHeaderOffset, kNodeHeaderSize)) return false;
  node.maxLinks = payload.u16(kNodeHeaderOffset);
  node.curLinks = payload.u16(kNodeHeaderOffset + 2);
  node.level = payload.u16(kNodeHeaderOffset + 4);
  for (int k = 0; k < node.curLinks; ++k) {
    int64_t at = firstLink + static_cast<int64_t>(k) * linkSize;
    if (!payload.holds(at, linkSize)) {
      node.complete = false;
      break;
    }
    node.links.push_back(readLink(payload, at));
  }
  return true;
}

}  // namespace

std::optional<SmallRoot> SmallRoot::decode(const TextRecord& record, const DatabaseFile* file) {
  ByteView payload = payloadView(record);
  if (record.structureType != kSmallRootType || !payload.holds(kSmallRootLengthOffset, 2))
    return std::nullopt;
  int64_t length = payload.u16(kSmallRootLengthOffset);
  if (length > kMaxLobPieceSize) return std::nullopt;
  auto data = payload.copy(kSmallRootDataOffset, length);
  if (!data) return std::nullopt;
  SmallRoot root(file, record.blobId);
  root.data = std::move(*data);
  return root;
}

std::optional<Internal> Internal::decode(const TextRecord& record, const DatabaseFile* file) {
  if (record.structureType != kInternalType) return std::nullopt;
  Internal node(file, record.blobId);
  auto readLink = [](ByteView bytes, int64_t at) {
    return LobLink{bytes.u32(at), {bytes.i16(at + 12), bytes.i32(at + 8)}, bytes.u16(at + 14)};
  };
  if (!decodeNode(node, payloadView(record), kInternalLinksOffset, kInternalLinkSize, readLink))
    return std::nullopt;
  return node;
}

std::optional<LargeRootYukon> LargeRootYukon::decode(const TextRecord& record,
                                                     const DatabaseFile* file) {
  if (!isLargeRootType(record.structureType)) return std::nullopt;
  LargeRootYukon node(file, record.blobId);
  auto readLink = [](ByteView bytes, int64_t at) {
    return LobLink{bytes.u32(at), {bytes.i16(at + 8), bytes.i32(at + 4)}, bytes.u16(at + 10)};
  };
  if (!decodeNode(node, payloadView(record), kLargeRootLinksOffset, kLargeRootLinkSize, readLink))
    return std::nullopt;
  return node;
}

std::optional<LobSData> LobSData::decode(const TextRecord& record, const DatabaseFile* file) {
  ByteView payload = payloadView(record);
  if (record.structureType != kDataType || !payload.holds(0, kLobHeaderSize)) return std::nullopt;
  LobSData leaf(file, record.blobId);
  if (auto data = payload.copy(kLobHeaderSize, record.dataLength)) leaf.data = std::move(*data);
  return leaf;
}

std::string LobSData::ansiText() const { return lob::codePageText(data, lob::kSystemAnsiCodePage); }

std::string LobSData::hexText(size_t n) const {
  return upperHex(std::span<const uint8_t>(data).first(std::min(n, data.size())));
}

bool isLargeRootType(uint16_t structureType) {
  return structureType >= kFirstLargeRootType && structureType <= kLastLargeRootType;
}

}  // namespace orodorev
