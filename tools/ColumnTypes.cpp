#include "tools/ColumnTypes.h"

#include "tools/ValueEncoding.h"

namespace orodorev::sample {
namespace {

enum SystemTypeId : uint8_t {
  kImage = 34, kText = 35, kUniqueIdentifier = 36, kDate = 40, kTime = 41, kDateTime2 = 42,
  kDateTimeOffset = 43, kTinyInt = 48, kSmallInt = 52, kInt = 56, kSmallDateTime = 58, kReal = 59,
  kMoney = 60, kDateTime = 61, kFloat = 62, kSqlVariant = 98, kNText = 99, kBit = 104, kDecimal = 106,
  kNumeric = 108, kSmallMoney = 122, kBigInt = 127, kVarBinary = 165, kVarChar = 167, kBinary = 173,
  kChar = 175, kTimestamp = 189, kNVarChar = 231, kNChar = 239, kXml = 241,
};

constexpr int32_t kSysnameId = 256;
constexpr int16_t kTextPointerLength = 16;

}  // namespace

StoredType storedTypeOf(const ColumnDefinition& column) {
  switch (column.type) {
    case ColumnType::Int: return {kInt, 4, 10, 0, false};
    case ColumnType::Bit: return {kBit, 1, 1, 0, false};
    case ColumnType::Money: return {kMoney, 8, 19, 4, false};
    case ColumnType::DateTime: return {kDateTime, 8, 23, 3, false};
    case ColumnType::Decimal:
      return {kDecimal, decimalStorageBytes(column.precision), column.precision, column.scale, false};
    case ColumnType::NVarChar: return {kNVarChar, static_cast<int16_t>(2 * column.declaredLength), 0, 0, true};
    case ColumnType::VarChar: return {kVarChar, column.declaredLength, 0, 0, true};
    case ColumnType::NText: return {kNText, kTextPointerLength, 0, 0, true};
  }
  return {};
}

int32_t rowsetTypeInfo(const ColumnDefinition& column) {
  StoredType type = storedTypeOf(column);
  if (column.type == ColumnType::Decimal) return type.systemType | (type.precision << 8) | (type.scale << 16);
  if (fixedWidth(column) > 0 || column.type == ColumnType::Bit) return type.systemType;
  return type.systemType | (type.maxLength << 8);
}

const std::vector<SystemScalarType>& systemScalarTypes() {
  static const std::vector<SystemScalarType> types = {
      {kImage, "image", {kImage, 16, 0, 0, false}},
      {kText, "text", {kText, 16, 0, 0, true}},
      {kUniqueIdentifier, "uniqueidentifier", {kUniqueIdentifier, 16, 0, 0, false}},
      {kDate, "date", {kDate, 3, 10, 0, false}},
      {kTime, "time", {kTime, 5, 16, 7, false}},
      {kDateTime2, "datetime2", {kDateTime2, 8, 27, 7, false}},
      {kDateTimeOffset, "datetimeoffset", {kDateTimeOffset, 10, 34, 7, false}},
      {kTinyInt, "tinyint", {kTinyInt, 1, 3, 0, false}},
      {kSmallInt, "smallint", {kSmallInt, 2, 5, 0, false}},
      {kInt, "int", {kInt, 4, 10, 0, false}},
      {kSmallDateTime, "smalldatetime", {kSmallDateTime, 4, 16, 0, false}},
      {kReal, "real", {kReal, 4, 24, 0, false}},
      {kMoney, "money", {kMoney, 8, 19, 4, false}},
      {kDateTime, "datetime", {kDateTime, 8, 23, 3, false}},
      {kFloat, "float", {kFloat, 8, 53, 0, false}},
      {kSqlVariant, "sql_variant", {kSqlVariant, 8016, 0, 0, false}},
      {kNText, "ntext", {kNText, 16, 0, 0, true}},
      {kBit, "bit", {kBit, 1, 1, 0, false}},
      {kDecimal, "decimal", {kDecimal, 17, 38, 38, false}},
      {kNumeric, "numeric", {kNumeric, 17, 38, 38, false}},
      {kSmallMoney, "smallmoney", {kSmallMoney, 4, 10, 4, false}},
      {kBigInt, "bigint", {kBigInt, 8, 19, 0, false}},
      {kVarBinary, "varbinary", {kVarBinary, 8000, 0, 0, false}},
      {kVarChar, "varchar", {kVarChar, 8000, 0, 0, true}},
      {kBinary, "binary", {kBinary, 8000, 0, 0, false}},
      {kChar, "char", {kChar, 8000, 0, 0, true}},
      {kTimestamp, "timestamp", {kTimestamp, 8, 0, 0, false}},
      {kNVarChar, "nvarchar", {kNVarChar, 8000, 0, 0, true}},
      {kNChar, "nchar", {kNChar, 8000, 0, 0, true}},
      {kXml, "xml", {kXml, -1, 0, 0, false}},
      {kSysnameId, "sysname", {kNVarChar, 256, 0, 0, true}},
  };
  return types;
}

}  // namespace orodorev::sample
