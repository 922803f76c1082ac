#include "rows/LargeObjectReader.h"

#include <algorithm>
#include <memory>

namespace orodorev {
namespace {

constexpr int16_t kLastPlausibleFileId = 1000;
constexpr int16_t kPrimaryFileId = 1;

void appendChunks(const GatheredValue& value, std::vector<XmlChunk>& chunks) {
  for (const auto& piece : value.pieces) {
    XmlChunk chunk;
    chunk.length = static_cast<int32_t>(piece.size());
    chunk.bytes = std::make_unique<uint8_t[]>(piece.size());
    std::copy(piece.begin(), piece.end(), chunk.bytes.get());
    chunks.push_back(std::move(chunk));
  }
}

std::string finishValue(const GatheredValue& value, LobFlags flags,
                        std::vector<XmlChunk>* chunks) {
  if (chunks) {
    appendChunks(value, *chunks);
    return {};
  }
  uint16_t top = value.topStructure.value_or(kNoStructureType);
  LargeValueShape shape{top == kSmallRootType || top == kDataType, top == kSmallRootType};
  return largeValueText(value.joined(), flags, shape);
}

}  // namespace

std::string readStructure(const TextRecord& record, const DatabaseFile& file, LobFlags flags,
                          std::vector<XmlChunk>* chunks, const LobLimits& limits) {
  if (!record.payload) return {};
  LobWalk walk(file, limits);
  walk.gatherRecord(record);
  return finishValue(walk.take(), flags, chunks);
}

std::string readTextPointer(const TextPointer& pointer, std::vector<XmlChunk>* chunks,
                            const LobLimits& limits) {
  if (!pointer.file) return {};
  LobWalk walk(*pointer.file, limits);
  if (!walk.gatherAt({pointer.page, pointer.slot}, pointer.timestamp)) return {};
  std::string text = finishValue(walk.take(), pointer.flags, chunks);
  return text.empty() ? " " : text;
}

std::string readRootPointer(const DatabaseFile& file, ByteView value, LobFlags flags,
                            std::vector<XmlChunk>* chunks, const LobLimits& limits) {
  auto pointer = parseRootPointer(value);
  if (!pointer) return {};
  LobWalk walk(file, limits);
  for (const LobLink& link : pointer->links) {
    if (link.offset == 0) continue;
    PageId page = link.page;
    if (static_cast<uint16_t>(page.fileId) > kLastPlausibleFileId) page.fileId = kPrimaryFileId;
    walk.gatherAt({page, link.slot});
  }
  return finishValue(walk.take(), flags, chunks);
}

}  // namespace orodorev
