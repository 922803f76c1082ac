#pragma once
// The value texts of module rows (sysobjvalues, syscomments): "0x" and hex digit pairs.

#include <string>

namespace orodorev {

// The bytes as text: UTF-16LE when a zero byte follows the first byte, else 8-bit text
// in the system code page.
struct DecodedModuleText {
  std::string text;
  bool wide = false;
};
DecodedModuleText decodeModuleValue(const std::string& value);

}  // namespace orodorev
