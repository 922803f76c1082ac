#include "cli/PageCommand.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/ApplicationState.h"
#include "cli/CliFrame.h"
#include "cli/OpenDatabase.h"
#include "storage/RecordExpander.h"

namespace orodorev::cli {
namespace {

using Json = nlohmann::ordered_json;

struct PageOptions {
  std::string path;
  std::string address;
  bool json = false;
  bool showDeleted = false;
  bool showAdvancedDeleted = false;
};

// Inspecting a page knows no table: anchor values are shown for every anchor column
// and records stay as they are stored.
class InspectionExpander : public RecordExpander {
 public:
  size_t columnCount() const override { return kMaxColumns; }
  void expand(CPrimaryRecord&, const PrimaryRecordPage&) const override {}
};

std::optional<PageId> parseAddress(const std::string& text) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  try {
    size_t used = 0;
    int fileId = std::stoi(text.substr(0, colon), &used);
    if (used != colon) return std::nullopt;
    std::string page = text.substr(colon + 1);
    long long number = std::stoll(page, &used);
    if (used != page.size() || fileId < 0 || fileId > 32767 || number < 0 || number > INT32_MAX)
      return std::nullopt;
    return PageId{static_cast<int16_t>(fileId), static_cast<int32_t>(number)};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::string hex(const std::optional<std::vector<uint8_t>>& bytes) {
  if (!bytes) return {};
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (uint8_t b : *bytes) {
    text.push_back(digits[b >> 4]);
    text.push_back(digits[b & 15]);
  }
  return text;
}

Json headerJson(const CPage_Header& h) {
  return {{"page_type", h.pageType},        {"header_version", h.headerVersion},
          {"type_flag_bits", h.typeFlagBits}, {"level", h.level},
          {"flag_bits", h.flagBits},          {"index_id", h.indexId},
          {"object_id", h.objectId},          {"this_page", h.thisPage.text()},
          {"prev_page", h.prevPage.text()},   {"next_page", h.nextPage.text()},
          {"slot_count", h.slotCount},        {"ghost_record_count", h.ghostRecordCount},
          {"free_count", h.freeCount},        {"free_data_offset", h.freeDataOffset},
          {"fixed_length_min", h.fixedLengthMin}, {"reserved_count", h.reservedCount},
          {"xact_reserved", h.xactReserved},  {"lsn", h.lsnText},
          {"xdes", h.xdesText},               {"torn_bits", h.tornBits}};
}

Json recordJson(const CPrimaryRecord& r) {
  Json varLengths = Json::array();
  for (const VarColumn& column : r.varColumns) varLengths.push_back(column.length);
  Json record = {{"type", r.recordType},         {"ghost", r.ghost},
                 {"error", r.error},             {"compressed", r.isCompressed},
                 {"fixed_length", r.fixedLength}, {"column_count", r.columnCount},
                 {"null_bitmap", hex(r.nullBitmap)}, {"var_lengths", varLengths},
                 {"length", r.cursor}};
  if (r.isCompressed) record["descriptor_codes"] = r.descriptorCodes;
  return record;
}

Json valuesJson(const std::vector<AnchorValue>& values) {
  Json list = Json::array();
  for (const AnchorValue& value : values) list.push_back({{"length", value.length}, {"hex", hex(value.data)}});
  return list;
}

Json pageJson(const CDataPage& page) {
  Json out = {{"page", page.header().thisPage.text()}, {"header", headerJson(page.header())}};
  Json slots = Json::array();
  for (size_t i = 0; i < page.records().size(); ++i) {
    Json slot = {{"slot", i}, {"offset", i < page.slots().size() ? page.slots()[i] : 0}};
    if (const CPrimaryRecord* record = page.record(i)) slot["record"] = recordJson(*record);
    slots.push_back(slot);
  }
  out["slots"] = slots;
  if (page.header().typeFlagBits & kCompressedPageFlag) {
    out["compression"] = {{"flags", page.ciFlags},
                          {"length", page.ciLength},
                          {"dictionary_offset", page.ciDictionaryOffset},
                          {"anchor_values", valuesJson(page.anchorValues)},
                          {"dictionary_entries", valuesJson(page.dictionaryEntries)}};
  }
  return out;
}

void printText(const Json& page) {
  std::cout << "page " << page["page"].get<std::string>() << '\n';
  for (const auto& [key, value] : page["header"].items())
    std::cout << "  " << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << '\n';
  for (const Json& slot : page["slots"]) {
    std::cout << "slot " << slot["slot"] << " offset " << slot["offset"];
    if (slot.contains("record")) {
      for (const auto& [key, value] : slot["record"].items()) std::cout << ' ' << key << '=' << value.dump();
    } else {
      std::cout << " (no record)";
    }
    std::cout << '\n';
  }
  if (page.contains("compression")) std::cout << "compression " << page["compression"].dump() << '\n';
}

int printPage(const PageOptions& options) {
  auto address = parseAddress(options.address);
  if (!address) {
    std::cerr << "page address must be FILEID:PAGE, for example 1:9\n";
    return kExitUsage;
  }
  auto database = openDatabase(options.path);
  if (!database) return kExitInputUnreadable;
  appState().showDeleted = options.showDeleted;
  appState().showAdvancedDeleted = options.showAdvancedDeleted;
  InspectionExpander expander;
  setRecordExpander(&expander);
  auto page = database->file->loadDataPage(*address);
  setRecordExpander(nullptr);
  if (!page) {
    std::cerr << "page " << address->text() << " cannot be read\n";
    return kExitInputUnreadable;
  }
  Json out = pageJson(*page);
  if (options.json) {
    std::cout << out.dump(2) << '\n';
  } else {
    printText(out);
  }
  return kExitOk;
}

}  // namespace

void addPageCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<PageOptions>();
  CLI::App* command = app.add_subcommand("page", "decoded header and records of one page");
  command->add_option("FILE", options->path, "primary data file (.mdf)")->required();
  command->add_option("PAGE", options->address, "page address FILEID:PAGE")->required();
  command->add_flag("--json", options->json, "print JSON");
  command->add_flag("--show-deleted", options->showDeleted, "take ghost records too");
  command->add_flag("--show-advanced-deleted", options->showAdvancedDeleted,
                    "with --show-deleted: also records the slot array no longer lists");
  command->callback([options, &exitCode] { exitCode = printPage(*options); });
}

}  // namespace orodorev::cli
