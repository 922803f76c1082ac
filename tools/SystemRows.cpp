#include "tools/SystemRows.h"

#include "tools/RecordBuilder.h"
#include "tools/ValueEncoding.h"

namespace orodorev::sample {
namespace {

constexpr const char* kCatalogDate = "2021-03-14 09:00:00";
constexpr int32_t kPrimaryFilegroup = 1;
constexpr int32_t kNotNullStatus = 0x01;
constexpr int32_t kIdentityStatus = 0x04;
constexpr int32_t kRowsetColumnNotNull = 0x80;
constexpr int32_t kIdentitySeed = 1;
constexpr int32_t kIdentityIncrement = 1;
constexpr int32_t kUpperLevelKeyPosition = 1;
constexpr int32_t kKeyColumnStatus = 0x03;
constexpr uint8_t kModuleTextClass = 1;
constexpr uint8_t kVariantIntType = 56;
constexpr uint8_t kVariantVersion = 1;
constexpr int32_t kUnicodeModuleText = 0;
constexpr uint8_t kSchemaNamespaceClass = 0;
constexpr uint8_t kObjectParentClass = 1;
constexpr uint8_t kOwnedByObject = 1;
constexpr int32_t kOnePartition = 1;
constexpr int32_t kPrimaryFileFragment = 1;
constexpr size_t kFileNameUnits = 128;
constexpr size_t kPhysicalNameUnits = 260;
constexpr uint16_t kBlank = 0x0020;

// Created and modified, both the moment the sample's catalog was made.
ByteWriter& catalogDates(ByteWriter& out) {
  return out.bytes(encodeDateTime(kCatalogDate)).bytes(encodeDateTime(kCatalogDate));
}

ByteWriter& pageAddress(ByteWriter& out, PageAddress address) { return out.i32(address.page).i16(address.file); }

VarValue unicode(const std::string& text) { return VarValue{utf16le(text), false}; }

}  // namespace

Bytes objectRecord(const ObjectRow& row) {
  ByteWriter fixed;
  fixed.i32(row.id).i32(row.schemaId).u8(kSchemaNamespaceClass).i32(row.status).typeCode(row.type);
  fixed.i32(row.parentId).u8(kObjectParentClass).i32(row.internalProperty);
  catalogDates(fixed).i32(0);
  return DataRecordBuilder(fixed.data(), 12).addVar(unicode(row.name)).build();
}

Bytes columnParRecord(const ColumnParRow& row) {
  int32_t status = (row.nullable ? 0 : kNotNullStatus) | (row.identityLastValue ? kIdentityStatus : 0);
  ByteWriter fixed;
  fixed.i32(row.objectId).i16(row.number).i32(row.columnId).u8(row.type.systemType).i32(row.type.systemType);
  fixed.i16(row.type.maxLength).u8(row.type.precision).u8(row.type.scale);
  fixed.i32(row.type.collated ? row.collationId : 0).i32(status).i16(row.type.maxLength);
  fixed.i32(0).i32(0).i32(0);
  DataRecordBuilder record(fixed.data(), 16);
  record.addVar(unicode(row.name));
  if (row.identityLastValue) {
    ByteWriter identity;
    identity.i32(*row.identityLastValue).i32(kIdentitySeed).i32(kIdentityIncrement).u8(0);
    record.addVar(VarValue{identity.data(), false});
  } else {
    record.setNull(16);
  }
  return record.build();
}

Bytes scalarTypeRecord(const SystemScalarType& type, int32_t collationId) {
  ByteWriter fixed;
  fixed.i32(type.id).i32(kSysSchema).u8(type.type.systemType).i16(type.type.maxLength);
  fixed.u8(type.type.precision).u8(type.type.scale).i32(type.type.collated ? collationId : 0).i32(0);
  catalogDates(fixed).i32(0).i32(0);
  return DataRecordBuilder(fixed.data(), 13).addVar(unicode(type.name)).build();
}

Bytes classObjectRecord(const ClassObjectRow& row) {
  ByteWriter fixed;
  fixed.u8(row.objectClass).i32(row.id).i32(row.status).typeCode(row.type).i32(0);
  catalogDates(fixed);
  return DataRecordBuilder(fixed.data(), 8).addVar(unicode(row.name)).build();
}

Bytes rowsetRecord(const RowsetRow& row) {
  ByteWriter fixed;
  fixed.i64(row.rowsetId).u8(kOwnedByObject).i32(row.objectId).i32(row.indexId).i32(kOnePartition).i32(0).i16(0);
  fixed.i64(row.rowCount).u8(0).u8(0).i16(row.columnCount).i32(row.maxLeafRecord);
  fixed.i16(0).i16(row.minLeafRecord).i16(0).i32(kPrimaryFileFragment);
  return DataRecordBuilder(fixed.data(), 18).setNull(16).setNull(17).build();
}

Bytes allocUnitRecord(const AllocUnitRow& row) {
  ByteWriter fixed;
  fixed.i64(row.unitId).u8(row.type).i64(row.ownerId).i32(0).i16(kPrimaryFilegroup);
  pageAddress(fixed, row.firstPage);
  pageAddress(fixed, row.rootPage);
  pageAddress(fixed, row.firstIamPage);
  fixed.i64(row.usedPages).i64(row.dataPages).i64(row.usedPages);
  return DataRecordBuilder(fixed.data(), 11).build();
}

Bytes rowsetColumnRecord(const RowsetColumnRow& row) {
  bool key = row.keyOrdinal > 0;
  uint32_t upper = key ? static_cast<uint32_t>(kUpperLevelKeyPosition) << 16 : 0;
  ByteWriter fixed;
  fixed.i64(row.rowsetId).i32(row.columnId).i32(row.columnId).i64(0).i32(row.typeInfo).i32(row.collationId);
  fixed.i16(row.keyOrdinal).i16(0).i32(row.nullable ? 0 : kRowsetColumnNotNull);
  fixed.u32(upper | static_cast<uint16_t>(row.leafOffset));
  fixed.u32(upper | static_cast<uint32_t>(row.nullBit));
  fixed.i16(row.bitPosition);
  return DataRecordBuilder(fixed.data(), 13).setNull(13).build();
}

Bytes indexRecord(const IndexRow& row) {
  ByteWriter fixed;
  fixed.i32(row.objectId).i32(row.indexId).i32(row.status).i32(0).u8(0).u8(row.type).u8(0);
  fixed.i32(kPrimaryFilegroup).i32(row.lobDataSpace).i64(row.rowsetId);
  return DataRecordBuilder(fixed.data(), 11).addVar(unicode(row.name)).build();
}

Bytes indexColumnRecord(const IndexColumnRow& row) {
  ByteWriter fixed;
  fixed.i32(row.objectId).i32(row.indexId).i32(row.position).i32(kKeyColumnStatus).i32(row.columnId);
  fixed.u8(row.keyOrdinal).u8(0).u8(0);
  return DataRecordBuilder(fixed.data(), 8).build();
}

Bytes moduleTextRecord(int32_t objectId, int32_t number, const std::string& text) {
  ByteWriter fixed;
  fixed.u8(kModuleTextClass).i32(objectId).i32(number).i32(0);
  ByteWriter variant;
  variant.u8(kVariantIntType).u8(kVariantVersion).i32(kUnicodeModuleText);
  DataRecordBuilder record(fixed.data(), 6);
  record.addVar(VarValue{variant.data(), false}).addVar(unicode(text));
  return record.build();
}

Bytes fileRecord(const FileRow& row) {
  ByteWriter fixed;
  fixed.i32(row.status).i16(row.fileId);
  fixed.paddedUtf16(row.logicalName, kFileNameUnits, kBlank);
  fixed.paddedUtf16(row.physicalName, kPhysicalNameUnits, kBlank);
  return DataRecordBuilder(fixed.data(), 4).build();
}

}  // namespace orodorev::sample
