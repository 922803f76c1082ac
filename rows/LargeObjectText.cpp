#include "rows/LargeObjectText.h"

#include <algorithm>
#include <vector>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "storage/ByteOrder.h"

namespace orodorev {
namespace {

using lob::kSystemAnsiCodePage;

enum VariantBaseType : uint8_t {
  kVarbinaryBase = 165,
  kVarcharBase = 167,
  kBinaryBase = 173,
  kCharBase = 175,
  kNvarcharBase = 231,
  kNcharBase = 239,
};
constexpr size_t kVariantBinaryHeader = 4;  // base type, version, u16 maximum length
constexpr size_t kVariantStringHeader = 8;  // base type, version, u32 collation, u16 maximum length
constexpr size_t kVariantCollationOffset = 2;

int32_t codePageOfCollation(int64_t collationId) {
  const ApplicationState& state = appState();
  int32_t databaseCodePage = state.collationFound ? state.currentCodePage : kSystemAnsiCodePage;
  if (collationId == 0 || collationId == -1) return databaseCodePage;
  if (state.collationFound && collationId == state.currentCollationId) return state.currentCodePage;
  if (const CollationEntry* entry = findCollation(state.collations, collationId)) return entry->codePage;
  return kSystemAnsiCodePage;
}

}  // namespace

namespace lob {


std::string codePageText(std::span<const uint8_t> bytes, int32_t codePage) {
  auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  size_t length = static_cast<size_t>(end - bytes.begin());
  if (length == 0) return {};
  return codePageToUtf8(bytes.data(), length, codePage);
}

std::string utf16Text(std::span<const uint8_t> bytes) {
  if (bytes.size() % 2 == 0) return utf16leToUtf8(bytes.data(), bytes.size() / 2, true);
  std::vector<uint8_t> padded(bytes.begin(), bytes.end());
  padded.push_back(0);
  return utf16leToUtf8(padded.data(), padded.size() / 2, true);
}

bool looksLikeUtf16(std::span<const uint8_t> bytes) {
  size_t zeros = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), uint8_t{0}));
  return bytes.size() / 2 > 0 && zeros == bytes.size() / 2;
}

std::string variantText(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return {};
  switch (bytes[0]) {
    case kVarbinaryBase:
    case kBinaryBase:
      if (bytes.size() <= kVariantBinaryHeader) return {};
      return upperHex(bytes.subspan(kVariantBinaryHeader));
    case kVarcharBase:
    case kCharBase:
      if (bytes.size() <= kVariantStringHeader) return {};
      return codePageText(bytes.subspan(kVariantStringHeader),
                          codePageOfCollation(readU32(bytes.data() + kVariantCollationOffset)));
    case kNvarcharBase:
    case kNcharBase:
      if (bytes.size() <= kVariantStringHeader) return {};
      return utf16Text(bytes.subspan(kVariantStringHeader));
    default:
      // Only character and binary values are long enough to leave their row; any
      // other base type here means the bytes are not what the header claims.
      return {};
  }
}

}  // namespace lob

int32_t largeValueCodePage() { return codePageOfCollation(appState().currentLargeValueCollation); }

std::string largeValueText(std::span<const uint8_t> bytes, LobFlags flags, LargeValueShape shape) {
  if (flags.variant && shape.leafAtTop) return lob::variantText(bytes);
  if (flags.binary) return upperHex(bytes);
  if (flags.unicode || (shape.smallRoot && lob::looksLikeUtf16(bytes))) return lob::utf16Text(bytes);
  return lob::codePageText(bytes, largeValueCodePage());
}

}  // namespace orodorev
