#include "rows/ValueRendering.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "app/Text.h"
#include "app/ApplicationState.h"
#include "rows/BinaryXml.h"
#include "rows/ValueCharacters.h"
#include "rows/ValueDates.h"
#include "rows/ValueNumbers.h"

namespace orodorev {
namespace {

constexpr int32_t kBitsPerByte = 8;
constexpr int32_t kVariantHeaderBytes = 8;  // what the module-text reader skips of a sql_variant
constexpr int16_t kNumericSpanBytes = 19;
// What an xml value that cannot be converted shows, so it differs from an empty document.
const std::string kUnconvertedXmlText = " ";

struct SpanShape {
  int16_t length;
  int16_t fixedSize;
  bool variable;
};

SpanShape shapeOf(const ColumnDescriptor& column, int32_t kind) {
  const int16_t declared = column.declaredLength;
  switch (kind) {
    case kBigInt: case kDateTime: case kDateTime2: case kFloat: return {8, 8, false};
    case kBinary: case kChar: case kDecimal: return {declared, declared, false};
    case kDate: return {3, 3, false};
    case kTime: return {5, 5, false};
    case kDateTimeOffset: return {10, 10, false};
    case kInt: return {4, 4, false};
    case kNChar: case kNVarChar: case kNText: case kSqlVariant: case kText:
    case kHierarchyId: case kGeometry: case kClrType:
      return {declared, declared, column.variable};
    case kSmallInt: return {2, 2, false};
    case kTinyInt: return {1, 1, false};
    case kUniqueIdentifier: return {16, 16, false};
    case kVarBinary: return {declared, 0, true};
    case kVarChar: return {declared, 0, column.variable};
    case kMoney: case kTimestamp: return {8, 8, false};
    case kNumeric: return {kNumericSpanBytes, kNumericSpanBytes, false};
    case kImage: return appState().isSql2000 ? SpanShape{declared, 0, true} : SpanShape{0, 0, false};
    case kSmallDateTime: case kReal: case kSmallMoney: return {4, 4, false};
    case kXml: return {declared, 0, true};
    default: return {0, 0, false};
  }
}

// The first `count` bytes of the value, when the span says they are all there.
std::optional<ValueBytes> bytesOf(const ValueSpan& span, const uint8_t* data, int64_t count) {
  if (span.length < 1 || count < 1 || count > span.available) return std::nullopt;
  return ValueBytes(data, static_cast<size_t>(count));
}

std::optional<ValueBytes> lengthBytes(const ValueSpan& span, const uint8_t* data) {
  return bytesOf(span, data, span.length);
}

// A type of fixed width. Row compression may have stored fewer bytes; the expanded
// record still holds the full width, zero-filled.
std::optional<ValueBytes> fixedWidthBytes(const ValueSpan& span, const uint8_t* data, int64_t width) {
  bool lengthFits = span.length == width || (span.compressed && span.length < width);
  if (!lengthFits) return std::nullopt;
  return bytesOf(span, data, width);
}

// time, datetime2, datetimeoffset, numeric and decimal take the type text's byte
// count. A compressed value shorter than that was stored in a form of its own, which
// this renderer cannot read.
std::optional<ValueBytes> consumedBytes(const ValueSpan& span, const uint8_t* data) {
  if (span.compressed && span.length < span.consumed) return std::nullopt;
  return bytesOf(span, data, span.consumed);
}

std::string orEmpty(const std::optional<ValueBytes>& bytes, std::string (*text)(ValueBytes)) {
  return bytes ? text(*bytes) : std::string();
}

std::string integerValue(const ValueSpan& span, const uint8_t* data, int64_t width) {
  auto bytes = fixedWidthBytes(span, data, width);
  if (!bytes) return {};
  if (width == 1) return integerText(static_cast<int64_t>(readUnsigned(*bytes)));
  return integerText(readSigned(*bytes));
}

std::string moneyValue(const ValueSpan& span, const uint8_t* data, int64_t width) {
  if (span.consumed != width) return {};
  auto bytes = bytesOf(span, data, width);
  return bytes ? moneyText(readSigned(*bytes)) : std::string();
}

std::string floatValue(const ValueSpan& span, const uint8_t* data) {
  if (span.compressed && span.length >= 1 && span.length < 8) {
    auto stored = lengthBytes(span, data);
    return stored ? floatText(floatFromHighBytes(*stored)) : std::string();
  }
  auto bytes = fixedWidthBytes(span, data, 8);
  return bytes ? floatText(readDouble(*bytes)) : std::string();
}

std::string realValue(const ValueSpan& span, const uint8_t* data) {
  if (span.compressed && span.length >= 1 && span.length < 4) {
    auto stored = lengthBytes(span, data);
    return stored ? realText(realFromHighBytes(*stored)) : std::string();
  }
  auto bytes = fixedWidthBytes(span, data, 4);
  return bytes ? realText(readSingle(*bytes)) : std::string();
}

std::string decimalValue(const ValueSpan& span, const uint8_t* data, const ColumnDescriptor& column) {
  auto bytes = consumedBytes(span, data);
  if (!bytes) return {};
  return decimalText((*bytes)[0], bytes->subspan(1), column.precision, column.scale);
}

std::string timeValue(const ValueSpan& span, const uint8_t* data, int scale,
                      std::string (*text)(ValueBytes, int)) {
  auto bytes = consumedBytes(span, data);
  return bytes ? text(*bytes, scale) : std::string();
}

std::string prefixedHex(ValueBytes bytes) { return "0x" + upperHex(bytes); }

std::string unicodeValue(const ValueSpan& span, const uint8_t* data) {
  auto bytes = lengthBytes(span, data);
  if (!bytes) return {};
  // Row compression keeps nchar/nvarchar in SCSU and gives such values an odd length;
  // an even length means the value was kept as UTF-16LE.
  if (span.compressed && bytes->size() % 2 == 1) return scsuText(*bytes);
  return utf16Text(*bytes);
}

std::string xmlValue(const ValueSpan& span, const uint8_t* data) {
  auto bytes = lengthBytes(span, data);
  if (!bytes) return {};
  std::string text = convertXmlValue(bytes->data(), static_cast<int32_t>(bytes->size()));
  return text.empty() ? kUnconvertedXmlText : text;
}

// What the module-text reader hands over of a sql_variant: the value after its
// 8-byte header, of unknown base type.
std::string variantTailValue(ValueSpan& span, const uint8_t* data) {
  int32_t remaining = span.length - kVariantHeaderBytes;
  span.length = static_cast<int16_t>(std::max(remaining, -1));
  if (remaining < 1) return {};
  return orEmpty(lengthBytes(span, data), halfZeroText);
}

std::string bitValue(ValueSpan& span, const uint8_t* data) {
  if (span.length <= 0) return "False";
  span.consumed = 0;
  BitCursor* cursor = span.bitCursor;
  if (span.length != 1 || cursor == nullptr) return {};
  if (cursor->nextBit < 0 || cursor->nextBit >= kBitsPerByte) cursor->loaded = false;
  bool loadsByte = !cursor->loaded;
  if (loadsByte) {
    if (span.available < 1) return {};
    cursor->currentByte = data[0];
    cursor->nextBit = 0;
    cursor->loaded = true;
  }
  cursor->newByte = loadsByte;
  span.fixedSize = loadsByte ? 1 : 0;
  span.consumed = loadsByte ? 1 : 0;
  bool bit = (cursor->currentByte >> cursor->nextBit) & 1;
  ++cursor->nextBit;
  return bit ? "True" : "False";
}

std::string renderByKind(ValueSpan& span, const uint8_t* data, const ColumnDescriptor& column) {
  switch (span.kind) {
    case kBigInt: return integerValue(span, data, 8);
    case kInt: return integerValue(span, data, 4);
    case kSmallInt: return integerValue(span, data, 2);
    case kTinyInt: return integerValue(span, data, 1);
    case kBit: return bitValue(span, data);
    case kBinary: case kTimestamp: case kHierarchyId: case kClrType:
      return orEmpty(lengthBytes(span, data), prefixedHex);
    case kVarBinary: case kGeometry: return orEmpty(lengthBytes(span, data), upperHex);
    case kChar: {
      auto bytes = lengthBytes(span, data);
      return bytes ? charColumnText(*bytes, column.collationId) : std::string();
    }
    case kVarChar: case kText: {
      auto bytes = lengthBytes(span, data);
      return bytes ? varcharColumnText(*bytes, column.collationId) : std::string();
    }
    case kNChar: case kNVarChar: return unicodeValue(span, data);
    case kNText: return orEmpty(lengthBytes(span, data), utf16Text);
    case kSqlVariant: return variantTailValue(span, data);
    case kDateTime: return orEmpty(fixedWidthBytes(span, data, 8), dateTimeText);
    case kSmallDateTime: return orEmpty(fixedWidthBytes(span, data, 4), smallDateTimeText);
    case kDate: return orEmpty(fixedWidthBytes(span, data, 3), dateText);
    case kTime: return timeValue(span, data, column.scale, timeText);
    case kDateTime2: return timeValue(span, data, column.scale, dateTime2Text);
    case kDateTimeOffset: return timeValue(span, data, column.scale, dateTimeOffsetText);
    case kUniqueIdentifier: return orEmpty(fixedWidthBytes(span, data, 16), guidText);
    case kMoney: return moneyValue(span, data, 8);
    case kSmallMoney: return moneyValue(span, data, 4);
    case kFloat: return floatValue(span, data);
    case kReal: return realValue(span, data);
    case kNumeric: case kDecimal: return decimalValue(span, data, column);
    case kXml: return xmlValue(span, data);
    default: return {};  // image values are read as large values; 12 and 18 never occur
  }
}

bool lengthBecomesConsumed(int32_t kind) {
  switch (kind) {
    case kDate: case kTime: case kDateTime2: case kDateTimeOffset: case kUniqueIdentifier:
    case kMoney: case kNumeric: case kDecimal: case kSmallMoney: case kTimestamp:
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t declaredByteCount(const std::string& typeText) {
  size_t open = typeText.find('(');
  size_t close = typeText.find(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return 0;
  std::string inside = typeText.substr(open + 1, close - open - 1);
  return static_cast<int32_t>(std::strtol(inside.c_str(), nullptr, 10));
}

ValueSpan initValueSpan(const ColumnDescriptor& column, int32_t kind, BitCursor* cursor) {
  ValueSpan span;
  span.kind = kind;
  SpanShape shape = shapeOf(column, kind);
  span.length = shape.length;
  span.fixedSize = shape.fixedSize;
  span.variable = shape.variable;
  if (kind == kBit) {
    span.length = 1;
    span.bitCursor = cursor;
    bool startsByte = cursor == nullptr || cursor->nextBit == kBitsPerByte;
    span.fixedSize = startsByte ? 1 : 0;
    if (cursor != nullptr) cursor->newByte = startsByte;
  }
  return span;
}

std::string renderValue(ValueSpan& span, const uint8_t* data, const ColumnDescriptor& column) {
  if (data == nullptr) return {};
  if (span.variable) span.available = span.length;
  if (span.consumed == 0) span.consumed = declaredByteCount(column.typeText);
  std::string text = renderByKind(span, data, column);
  if (lengthBecomesConsumed(span.kind)) span.length = static_cast<int16_t>(span.consumed);
  return text;
}

}  // namespace orodorev
