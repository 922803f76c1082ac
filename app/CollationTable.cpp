#include "app/CollationTable.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "app/ApplicationState.h"

namespace orodorev {
namespace {

// Decimal conversion as strtol does it, saturated to the 32-bit range.
int32_t toInt32Saturated(const std::string& text) {
  errno = 0;
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// The file is 8-bit text, one byte per character; keep our strings valid UTF-8.
std::string latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace

std::optional<std::pair<int64_t, CollationEntry>> parseCollationLine(std::string_view line) {
  if (line.empty()) return std::nullopt;
  size_t firstTab = line.find('\t');
  if (firstTab == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(firstTab + 1);
  size_t secondTab = rest.find('\t');
  if (rest.empty() || secondTab == std::string_view::npos) return std::nullopt;

  CollationEntry entry;
  entry.name = latin1ToUtf8(line.substr(0, firstTab));
  int32_t id = toInt32Saturated(std::string(rest.substr(0, secondTab)));
  entry.codePage = toInt32Saturated(std::string(rest.substr(secondTab + 1)));
  return std::make_pair(static_cast<int64_t>(id), std::move(entry));
}

void readCollationLines(std::istream& in, CollationTable& table) {
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto parsed = parseCollationLine(line)) table[parsed->first] = std::move(parsed->second);
  }
}

void readCollationTable(const std::string& folder, CollationTable& table) {
  std::ifstream in(folder + "collation.txt", std::ios::binary);
  if (!in) return;
  readCollationLines(in, table);
}

std::string executableFolder() {
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  std::string path(buffer, static_cast<size_t>(length));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void readCollationTable() { readCollationTable(executableFolder(), appState().collations); }

const CollationEntry* findCollation(const CollationTable& table, int64_t id) {
  auto it = table.find(id);
  return it == table.end() ? nullptr : &it->second;
}

}  // namespace orodorev
