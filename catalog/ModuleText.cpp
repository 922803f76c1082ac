#include "catalog/ModuleText.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "app/Text.h"

namespace orodorev {

DecodedModuleText decodeModuleValue(const std::string& value) {
  if (value.size() < 2) return {};
  std::vector<uint8_t> bytes;
  for (size_t i = 2; i + 1 < value.size(); i += 2) {
    char pair[3] = {value[i], value[i + 1], 0};
    bytes.push_back(static_cast<uint8_t>(std::strtoul(pair, nullptr, 16)));
  }
  bool wide = bytes.size() > 1 && std::find(bytes.begin() + 1, bytes.end(), 0) != bytes.end();
  if (wide) return {utf16leToUtf8(bytes.data(), bytes.size() / 2), true};
  return {codePageToUtf8(bytes.data(), bytes.size(), 1252), false};
}

}  // namespace orodorev
