#pragma once
// The system's own code for how a column's bytes are laid out and shown.

#include <cstdint>
#include <string>

namespace orodorev {

enum ValueKind : int32_t {
  kBigInt = 0,
  kBinary = 1,
  kBit = 2,
  kChar = 3,
  kDateTime = 4,
  kDate = 5,
  kTime = 6,
  kDateTime2 = 7,
  kDateTimeOffset = 8,
  kInt = 9,
  kNChar = 10,
  kNVarChar = 11,
  kSmallInt = 13,
  kTinyInt = 14,
  kUniqueIdentifier = 15,
  kVarBinary = 16,
  kVarChar = 17,
  kNoSqlType = 18,
  kNText = 19,
  kSqlVariant = 20,
  kMoney = 21,
  kFloat = 22,
  kNumeric = 23,
  kDecimal = 24,
  kImage = 25,
  kText = 26,
  kSmallDateTime = 27,
  kReal = 28,
  kSmallMoney = 29,
  kTimestamp = 30,
  kHierarchyId = 31,
  kGeometry = 32,
  kClrType = 33,
  kXml = 34,
};

// The kind of a system type id (syscolpars / syscolumns type byte); unknown ids are char.
ValueKind kindForSystemType(uint8_t systemType);

// The kind a descriptor stores for a column: image columns are 25, CLR columns of
// hierarchyid (user type 128) 31 and geometry (129) 32, kind 18 is stored as 11.
ValueKind storedKind(uint8_t systemType, int32_t userType);

// Whether a descriptor of this kind takes its declared length from the type text.
bool kindHasDeclaredLength(int32_t kind);
bool kindIsVariable(int32_t kind);

// The number between the brackets of a type text such as varchar(50); 0 without one.
int32_t declaredLengthOf(const std::string& typeText);

}  // namespace orodorev
