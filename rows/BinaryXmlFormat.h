#pragma once
// Token bytes of SQL Server binary XML and a bounded reader over the stored bytes.
// Every read checks the remaining length first and reports failure instead of
// reading past the end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orodorev::binxml {

// Atomic values: the SQL Server types.
constexpr uint8_t kSqlSmallInt = 0x01;
constexpr uint8_t kSqlInt = 0x02;
constexpr uint8_t kSqlReal = 0x03;
constexpr uint8_t kSqlFloat = 0x04;
constexpr uint8_t kSqlMoney = 0x05;
constexpr uint8_t kSqlBit = 0x06;
constexpr uint8_t kSqlTinyInt = 0x07;
constexpr uint8_t kSqlBigInt = 0x08;
constexpr uint8_t kSqlUuid = 0x09;
constexpr uint8_t kSqlDecimal = 0x0A;
constexpr uint8_t kSqlNumeric = 0x0B;
constexpr uint8_t kSqlBinary = 0x0C;
constexpr uint8_t kSqlChar = 0x0D;
constexpr uint8_t kSqlNChar = 0x0E;
constexpr uint8_t kSqlVarBinary = 0x0F;
constexpr uint8_t kSqlVarChar = 0x10;
constexpr uint8_t kSqlNVarChar = 0x11;
constexpr uint8_t kSqlDateTime = 0x12;
constexpr uint8_t kSqlSmallDateTime = 0x13;
constexpr uint8_t kSqlSmallMoney = 0x14;
constexpr uint8_t kSqlText = 0x16;
constexpr uint8_t kSqlImage = 0x17;
constexpr uint8_t kSqlNText = 0x18;
constexpr uint8_t kSqlUdt = 0x1B;

// Atomic values: the date and time forms that only version 2 documents carry.
constexpr uint8_t kXsdTimeOffset = 0x7A;
constexpr uint8_t kXsdDateTimeOffset = 0x7B;
constexpr uint8_t kXsdDateOffset = 0x7C;
constexpr uint8_t kXsdTime2 = 0x7D;
constexpr uint8_t kXsdDateTime2 = 0x7E;
constexpr uint8_t kXsdDate2 = 0x7F;

// Atomic values: the XML Schema types.
constexpr uint8_t kXsdTime = 0x81;
constexpr uint8_t kXsdDateTime = 0x82;
constexpr uint8_t kXsdDate = 0x83;
constexpr uint8_t kXsdBinHex = 0x84;
constexpr uint8_t kXsdBase64 = 0x85;
constexpr uint8_t kXsdBoolean = 0x86;
constexpr uint8_t kXsdDecimal = 0x87;
constexpr uint8_t kXsdByte = 0x88;
constexpr uint8_t kXsdUnsignedShort = 0x89;
constexpr uint8_t kXsdUnsignedInt = 0x8A;
constexpr uint8_t kXsdUnsignedLong = 0x8B;
constexpr uint8_t kXsdQName = 0x8C;

// Structure.
constexpr uint8_t kFlushNames = 0xE9;
constexpr uint8_t kExtension = 0xEA;
constexpr uint8_t kEndNest = 0xEB;
constexpr uint8_t kNest = 0xEC;
constexpr uint8_t kQNameDef = 0xEF;
constexpr uint8_t kNameDef = 0xF0;
constexpr uint8_t kCdataEnd = 0xF1;
constexpr uint8_t kCdata = 0xF2;
constexpr uint8_t kComment = 0xF3;
constexpr uint8_t kProcessingInstruction = 0xF4;
constexpr uint8_t kEndAttributes = 0xF5;
constexpr uint8_t kAttribute = 0xF6;
constexpr uint8_t kEndElement = 0xF7;
constexpr uint8_t kElement = 0xF8;
constexpr uint8_t kSubset = 0xF9;
constexpr uint8_t kPublic = 0xFA;
constexpr uint8_t kSystem = 0xFB;
constexpr uint8_t kDocType = 0xFC;
constexpr uint8_t kEncoding = 0xFD;
constexpr uint8_t kXmlDecl = 0xFE;

// Name and qname definitions, extensions and table flushes may appear between
// almost any two tokens.
inline bool isMetadataToken(uint8_t token) {
  return token == kNameDef || token == kQNameDef || token == kExtension || token == kFlushNames;
}

class Cursor {
 public:
  explicit Cursor(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t remaining() const { return bytes_.size() - pos_; }
  std::optional<uint8_t> peekByte() const;
  std::optional<uint8_t> readByte();
  std::optional<std::span<const uint8_t>> readBytes(uint64_t count);
  std::optional<uint16_t> readU16();
  std::optional<uint32_t> readU32();
  std::optional<uint64_t> readU64();
  // Seven bits a byte, lowest group first, high bit set while more bytes follow;
  // mb32 takes at most 5 bytes and fits a signed 32-bit value, mb64 at most 10 and 64.
  std::optional<uint32_t> readMb32();
  std::optional<uint64_t> readMb64();
  // UTF-16LE text whose length in code units comes first as mb32 (or mb64), as UTF-8.
  std::optional<std::string> readText32();
  std::optional<std::string> readText64();

 private:
  std::optional<uint64_t> readMultiByte(int maxBytes, uint64_t maxValue);
  std::optional<std::string> readUtf16(uint64_t units);

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

}  // namespace orodorev::binxml
