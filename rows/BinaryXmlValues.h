#pragma once
// Atomic values of binary XML: reads one value after its token byte and gives its
// text in the lexical form of its XML Schema type.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "rows/BinaryXmlFormat.h"

namespace orodorev::binxml {

struct QNameText {
  std::string uri;
  std::string prefix;
  std::string local;

  std::string qualified() const { return prefix.empty() ? local : prefix + ":" + local; }
};

struct AtomicValue {
  std::string text;
  // Character data (the char and nchar families) joins its neighbours directly;
  // typed values side by side form a list and are separated by a space.
  bool isCharacterData = false;
};

struct ValueContext {
  // Version 2 date and time tokens are refused in version 1 documents.
  int version = 1;
  // Resolves the qname index of an XSD-QNAME value; nothing for an undefined index.
  std::function<std::optional<QNameText>(uint32_t)> qname;
};

bool isAtomicValueToken(uint8_t token);

// Reads the value that follows `token` (already consumed). Nothing when the bytes are
// cut short or hold no valid value of that type.
std::optional<AtomicValue> readAtomicValue(uint8_t token, Cursor& cursor,
                                           const ValueContext& context);

}  // namespace orodorev::binxml
