#include "storage/BootPage.h"

#include "app/ApplicationState.h"
#include "app/Text.h"
#include "storage/ByteOrder.h"
#include "storage/ByteView.h"
#include "storage/DatabaseFile.h"

namespace orodorev {
namespace {

constexpr int kVersionOffset = 100;
constexpr int kNameOffset = 148;
constexpr int kNameUnits = 128;
constexpr int kCollationOffset = 488;
constexpr int32_t kAllocationUnitsObject = 7;
constexpr int32_t kColumnsObject = 41;

struct VersionRange {
  uint16_t first;
  uint16_t last;
  const char* text;
};

constexpr VersionRange kVersions[] = {
    {408, 408, " SQL Server 6.5"},
    {515, 515, " SQL Server 7.0"},
    {539, 539, " SQL Server 2000"},
    {611, 611, " SQL Server 2005"},
    {612, 612, " SQL Server 2005 SP2+ with VarDecimal enabled"},
    {655, 655, " SQL Server 2008"},
    {660, 661, " SQL Server 2008 R2"},
    {684, 684, " SQL Server 2012 CTP1"},
    {706, 706, " SQL Server 2012"},
    {782, 782, " SQL Server 2014"},
    {852, 852, " SQL Server 2016"},
    {868, 869, " SQL Server 2017"},
    {895, 904, " SQL Server 2019"},
    {950, 957, " SQL Server 2022"},
};

const CollationEntry* lookUpCollation(int32_t storedId, int64_t& foundKey) {
  const CollationTable& table = appState().collations;
  ApplicationState& state = appState();
  if (!state.autoCollation) {
    foundKey = state.manualCollationId;
    return findCollation(table, foundKey);
  }
  foundKey = storedId;
  if (const CollationEntry* entry = findCollation(table, foundKey)) return entry;
  foundKey = static_cast<uint16_t>(storedId);
  return findCollation(table, foundKey);
}

// The name field is nchar(128) filled up with 0x20 bytes, so its padding units read
// as U+2020 (or U+0020). A name may itself hold blanks: only the padding at its end
// is removed.
std::string decodeName(const uint8_t* field) {
  size_t units = 0;
  while (units < kNameUnits && readU16(field + 2 * units) != 0) ++units;
  while (units > 0) {
    uint16_t last = readU16(field + 2 * (units - 1));
    if (last != 0x2020 && last != 0x0020) break;
    --units;
  }
  return utf16leToUtf8(field, units);
}

}  // namespace

std::string versionText(uint16_t version) {
  for (const VersionRange& range : kVersions)
    if (version >= range.first && version <= range.last) return range.text;
  return "Unknown SQL Version";
}

CBootPage::CBootPage(const uint8_t* page) {
  ByteView view(page, kPageSize);
  version = view.u16(kVersionOffset);
  appState().databaseVersionText = versionText(version);
  databaseName = decodeName(page + kNameOffset);

  ApplicationState& state = appState();
  storedCollationId = view.i32(kCollationOffset);
  if (state.autoCollation) collationId = storedCollationId;
  int64_t key = 0;
  if (const CollationEntry* entry = lookUpCollation(storedCollationId, key)) {
    state.currentCollationId = key;
    state.collationFound = true;
    state.currentCodePage = entry->codePage;
    state.collationName = entry->name;
  }
}

std::optional<CBootPage> readDatabaseName(DatabaseFile& file) {
  file.databaseName.clear();
  const std::vector<MappedPage>* pages = nullptr;
  for (int32_t objectId : {kAllocationUnitsObject, kColumnsObject}) {
    auto it = file.systemPageMap.find(objectId);
    if (it != file.systemPageMap.end() && !it->second.empty()) {
      pages = &it->second;
      break;
    }
  }
  int64_t displacement = 0;
  if (pages) {
    const MappedPage& first = pages->front();
    if (auto header = file.loadPageHeader({first.fileId, first.pageNumber}))
      displacement = static_cast<int64_t>(header->thisPage.pageNumber) - first.pageNumber;
  }
  int64_t bootPosition = kBootPageNumber - displacement;
  if (bootPosition <= 0 || bootPosition >= file.pageCount()) return std::nullopt;
  auto buffer = file.readRawPage(bootPosition);
  if (!buffer) return std::nullopt;
  CBootPage boot(buffer->data());
  file.databaseName = boot.databaseName;
  return boot;
}

}  // namespace orodorev
