#pragma once
// Helpers for the value renderer tests: byte builders, columns made the way the catalog
// makes them, and values held in exact-size heap blocks so that the sanitizer catches
// any read past a value's last byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationState.h"
#include "catalog/Catalog.h"
#include "rows/ValueRendering.h"

namespace orodorev::test {

using Bytes = std::vector<uint8_t>;

inline Bytes le(uint64_t value, size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  return bytes;
}

inline Bytes join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline Bytes doubleBytes(double value) {
  Bytes bytes(8);
  std::memcpy(bytes.data(), &value, 8);
  return bytes;
}

inline Bytes singleBytes(float value) {
  Bytes bytes(4);
  std::memcpy(bytes.data(), &value, 4);
  return bytes;
}

inline Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A copy of the bytes in a block of exactly their size.
class ExactBlock {
 public:
  explicit ExactBlock(const Bytes& bytes) : data_(new uint8_t[bytes.size()]) {
    if (!bytes.empty()) std::memcpy(data_.get(), bytes.data(), bytes.size());
  }
  const uint8_t* data() const { return data_.get(); }

 private:
  std::unique_ptr<uint8_t[]> data_;
};

struct Column {
  int32_t kind = 0;
  std::string typeText;
  uint8_t precision = 0;
  uint8_t scale = 0;
  int32_t collationId = 0;
};

inline ColumnDescriptor describe(const Column& column) {
  ColumnDescriptor d = makeDescriptor("value", column.typeText, column.kind);
  d.precision = column.precision;
  d.scale = column.scale;
  d.collationId = column.collationId;
  return d;
}

// Renders the bytes as the row reader does: a fresh span, the actual length for a
// variable-length value, and the bytes present from the value's start as available.
inline std::string render(const Column& column, const Bytes& bytes, bool compressed = false) {
  ColumnDescriptor d = describe(column);
  ValueSpan span = initValueSpan(d, column.kind, nullptr);
  if (span.variable || compressed) span.length = static_cast<int16_t>(bytes.size());
  span.available = static_cast<int64_t>(bytes.size());
  span.compressed = compressed;
  ExactBlock block(bytes);
  return renderValue(span, block.data(), d);
}

struct Case {
  const char* what;
  Column column;
  Bytes bytes;
  std::string text;
};

inline void expectTexts(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(render(c.column, c.bytes), c.text) << c.what;
}

// Saves the application fields the renderer reads and puts them back afterwards.
class ValueStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplicationState& s = appState();
    savedCollations_ = s.collations;
    savedListing_ = s.listing.load();
    savedFound_ = s.collationFound;
    savedId_ = s.currentCollationId;
    savedCodePage_ = s.currentCodePage;
    savedSql2000_ = s.isSql2000;
    s.listing = false;
    s.collationFound = false;
    s.currentCollationId = -1;
    s.currentCodePage = 1252;
    s.isSql2000 = false;
  }

  void TearDown() override {
    ApplicationState& s = appState();
    s.collations = savedCollations_;
    s.listing = savedListing_;
    s.collationFound = savedFound_;
    s.currentCollationId = savedId_;
    s.currentCodePage = savedCodePage_;
    s.isSql2000 = savedSql2000_;
  }

 private:
  CollationTable savedCollations_;
  bool savedListing_ = false;
  bool savedFound_ = false;
  int64_t savedId_ = -1;
  int32_t savedCodePage_ = 1252;
  bool savedSql2000_ = false;
};

}  // namespace orodorev::test
