#include "rows/ValueCharacters.h"

#include <algorithm>

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "rows/Scsu.h"

namespace orodorev {
namespace {

constexpr int32_t kNoCollation = 0;
constexpr int32_t kNoCollationEither = -1;

bool hasCollation(int32_t collationId) {
  return collationId != kNoCollation && collationId != kNoCollationEither;
}

// The database's own code page, once its collation is known; else the system's.
int32_t databaseCodePage() {
  const ApplicationState& state = appState();
  return state.collationFound ? state.currentCodePage : kSystemAnsiCodePage;
}

// Every zero byte shown as "_", the runs between them read in the code page.
std::string textWithMarkedZeros(ValueBytes bytes, int32_t codePage) {
  std::string text;
  size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] == 0) {
      text += '_';
      ++i;
      continue;
    }
    size_t end = std::find(bytes.begin() + i, bytes.end(), uint8_t{0}) - bytes.begin();
    text += codePageToUtf8(bytes.data() + i, end - i, codePage);
    i = end;
  }
  return text;
}

// 8-bit text is read in the code page of the column's collation, whoever reads it: a
// Polish column read in code page 1252 would show wrong letters with confidence.
int32_t varcharCodePage(int32_t collationId) {
  if (!hasCollation(collationId)) return databaseCodePage();
  const ApplicationState& state = appState();
  if (state.collationFound && collationId == state.currentCollationId) return state.currentCodePage;
  return listedCodePageOr(collationId, databaseCodePage());
}

}  // namespace

int32_t listedCodePageOr(int64_t collationId, int32_t fallback) {
  const CollationEntry* entry = findCollation(appState().collations, collationId);
  return entry != nullptr ? entry->codePage : fallback;
}

std::string textUpToZero(ValueBytes bytes, int32_t codePage) {
  size_t length = std::find(bytes.begin(), bytes.end(), uint8_t{0}) - bytes.begin();
  return codePageToUtf8(bytes.data(), length, codePage);
}

std::string charColumnText(ValueBytes bytes, int32_t collationId) {
  if (!hasCollation(collationId)) return textUpToZero(bytes, databaseCodePage());
  const CollationEntry* entry = findCollation(appState().collations, collationId);
  if (entry == nullptr) return textUpToZero(bytes, databaseCodePage());
  if (appState().collationFound) return textWithMarkedZeros(bytes, entry->codePage);
  return textUpToZero(bytes, entry->codePage);
}

std::string varcharColumnText(ValueBytes bytes, int32_t collationId) {
  return textUpToZero(bytes, varcharCodePage(collationId));
}

std::string utf16Text(ValueBytes bytes) {
  return utf16leToUtf8(bytes.data(), bytes.size() / 2, /*stopAtNul=*/true);
}

std::string scsuText(ValueBytes bytes) {
  std::string text = decodeScsu(bytes);
  text.erase(std::min(text.find('\0'), text.size()));
  return text;
}

std::string halfZeroText(ValueBytes bytes) {
  size_t zeros = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), uint8_t{0}));
  if (zeros == bytes.size() / 2) return utf16Text(bytes);
  return textUpToZero(bytes, kSystemAnsiCodePage);
}

}  // namespace orodorev
