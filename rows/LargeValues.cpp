#include "rows/LargeValues.h"

#include "rows/BinaryXml.h"
#include "rows/LargeObjectReader.h"

namespace orodorev {
namespace {

ByteView viewOf(const std::vector<uint8_t>& bytes) {
  return ByteView(bytes.data(), static_cast<int64_t>(bytes.size()));
}

}  // namespace

std::string textPointerValue(const DatabaseFile& file, const std::vector<uint8_t>& pointer, LobFlags flags) {
  auto parsed = parseTextPointer(file, viewOf(pointer), flags);
  return parsed ? readTextPointer(*parsed, nullptr) : std::string();
}

std::string textPointerXml(const DatabaseFile& file, const std::vector<uint8_t>& pointer) {
  auto parsed = parseTextPointer(file, viewOf(pointer), LobFlags{});
  if (!parsed) return {};
  std::vector<XmlChunk> chunks;
  readTextPointer(*parsed, &chunks);
  return convertXmlChunks(chunks);
}

std::string rootPointerValue(const DatabaseFile& file, const std::vector<uint8_t>& root, LobFlags flags) {
  return readRootPointer(file, viewOf(root), flags, nullptr);
}

std::string rootPointerXml(const DatabaseFile& file, const std::vector<uint8_t>& root) {
  std::vector<XmlChunk> chunks;
  readRootPointer(file, viewOf(root), LobFlags{}, &chunks);
  return convertXmlChunks(chunks);
}

}  // namespace orodorev
