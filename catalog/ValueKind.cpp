#include "catalog/ValueKind.h"

#include <cstdlib>

namespace orodorev {

ValueKind kindForSystemType(uint8_t systemType) {
  switch (systemType) {
    case 127: return kBigInt;
    case 173: return kBinary;
    case 104: return kBit;
    case 61: return kDateTime;
    case 40: return kDate;
    case 41: return kTime;
    case 42: return kDateTime2;
    case 43: return kDateTimeOffset;
    case 56: return kInt;
    case 239: return kNChar;
    case 231: return kNVarChar;
    case 52: return kSmallInt;
    case 48: return kTinyInt;
    case 36: return kUniqueIdentifier;
    case 165: return kVarBinary;
    case 167: return kVarChar;
    case 232: return kNoSqlType;
    case 99: return kNText;
    case 98: return kSqlVariant;
    case 60: return kMoney;
    case 62: return kFloat;
    case 108: return kNumeric;
    case 106: return kDecimal;
    case 34: return kText;
    case 35: return kText;
    case 58: return kSmallDateTime;
    case 59: return kReal;
    case 122: return kSmallMoney;
    case 189: return kTimestamp;
    case 240: return kClrType;
    case 241: return kXml;
    default: return kChar;
  }
}

ValueKind storedKind(uint8_t systemType, int32_t userType) {
  if (systemType == 34) return kImage;
  ValueKind kind = kindForSystemType(systemType);
  if (kind == kClrType && userType == 128) return kHierarchyId;
  if (kind == kClrType && userType == 129) return kGeometry;
  if (kind == kNoSqlType) return kNVarChar;
  return kind;
}

bool kindHasDeclaredLength(int32_t kind) {
  switch (kind) {
    case kBinary: case kChar: case kNChar: case kNumeric: case kDecimal:
    case kNVarChar: case kNoSqlType: case kText: case kClrType: case kXml:
      return true;
    default:
      return false;
  }
}

bool kindIsVariable(int32_t kind) {
  switch (kind) {
    case kNVarChar: case kNoSqlType: case kText: case kClrType: case kXml:
    case kUniqueIdentifier: case kVarBinary: case kVarChar: case kNText: case kSqlVariant:
    case kImage: case kHierarchyId: case kGeometry:
      return true;
    default:
      return kind > kXml;
  }
}

int32_t declaredLengthOf(const std::string& typeText) {
  size_t open = typeText.find('(');
  if (open == std::string::npos) return 0;
  return static_cast<int32_t>(std::strtol(typeText.c_str() + open + 1, nullptr, 10));
}

}  // namespace orodorev
