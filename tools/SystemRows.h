#pragma once
// Records of the system base tables, in the SQL Server 2012 (version 706) layouts.
// Each layout lists the fixed part as offsets after the 4-byte record prefix, then the
// variable-length columns in order; every table's records carry all its columns in
// the column count and null bitmap.

#include <cstdint>
#include <optional>
#include <string>

#include "tools/ByteWriter.h"
#include "tools/ColumnTypes.h"
#include "tools/PageBuilder.h"

namespace orodorev::sample {

enum SystemTableId : int32_t {
  kSysRsCols = 3,
  kSysRowsets = 5,
  kSysAllocUnits = 7,
  kSysFiles1 = 8,
  kSysSchObjs = 34,
  kSysColPars = 41,
  kSysScalarTypes = 50,
  kSysIdxStats = 54,
  kSysIsCols = 55,
  kSysObjValues = 60,
  kSysClsObjs = 64,
};

constexpr int32_t kDboSchema = 1;
constexpr int32_t kSysSchema = 4;

// sysschobjs, 12 columns: 0 id | 4 nsid | 8 u8 nsclass | 9 status | 13 char(2) type |
// 15 pid | 19 u8 pclass | 20 intprop | 24 created | 32 modified | 40 status2 ; name
struct ObjectRow {
  int32_t id = 0;
  std::string name;
  int32_t schemaId = kDboSchema;
  int32_t status = 0;
  std::string type;
  int32_t parentId = 0;
  int32_t internalProperty = 0;  // a table's column count
};
Bytes objectRecord(const ObjectRow& row);

// syscolpars, 16 columns: 0 id | 4 i16 number | 6 colid | 10 u8 xtype | 11 utype |
// 15 i16 length | 17 u8 prec | 18 u8 scale | 19 collationid | 23 status |
// 27 i16 maxinrow | 29 xmlns | 33 dflt | 37 chk ; name | idtval
// status: bit 0 NOT NULL, bit 2 identity. idtval: u32 last value | u32 seed |
// u32 increment | u8 0.
struct ColumnParRow {
  int32_t objectId = 0;
  int16_t number = 0;
  int32_t columnId = 0;
  std::string name;
  StoredType type;
  int32_t collationId = 0;
  bool nullable = true;
  std::optional<int32_t> identityLastValue;  // identity(1,1) columns
};
Bytes columnParRecord(const ColumnParRow& row);

// sysscalartypes, 13 columns: 0 id | 4 schid | 8 u8 xtype | 9 i16 length | 11 u8 prec |
// 12 u8 scale | 13 collationid | 17 status | 21 created | 29 modified | 37 dflt | 41 chk ;
// name
Bytes scalarTypeRecord(const SystemScalarType& type, int32_t collationId);

// sysclsobjs, 8 columns: 0 u8 class | 1 id | 5 status | 9 char(2) type | 11 intprop |
// 15 created | 23 modified ; name
struct ClassObjectRow {
  uint8_t objectClass = 0;
  int32_t id = 0;
  std::string name;
  int32_t status = 0;
  std::string type = std::string(2, '\0');
};
Bytes classObjectRecord(const ClassObjectRow& row);

// sysrowsets, 18 columns: 0 i64 rowsetid | 8 u8 ownertype | 9 idmajor | 13 idminor |
// 17 numpart | 21 status | 25 i16 fgidfs | 27 i64 rcrows | 35 u8 cmprlevel |
// 36 u8 fillfact | 37 i16 maxnullbit | 39 maxleaf | 43 i16 maxint | 45 i16 minleaf |
// 47 i16 minint | 49 dbfragid ; rsguid, lockres (both NULL)
struct RowsetRow {
  int64_t rowsetId = 0;
  int32_t objectId = 0;
  int32_t indexId = 1;
  int64_t rowCount = 0;
  int16_t columnCount = 0;
  int32_t maxLeafRecord = 0;
  int16_t minLeafRecord = 0;
};
Bytes rowsetRecord(const RowsetRow& row);

// sysallocunits, 11 columns: 0 i64 auid | 8 u8 type | 9 i64 ownerid | 17 status |
// 21 i16 fgid | 23 first page | 29 root page | 35 first IAM page (u32 page, u16 file) |
// 41 i64 used pages | 49 i64 data pages | 57 i64 reserved pages
struct AllocUnitRow {
  int64_t unitId = 0;
  uint8_t type = 1;  // 1 in-row data, 2 large values
  int64_t ownerId = 0;
  PageAddress firstPage;
  PageAddress rootPage;
  PageAddress firstIamPage;
  int64_t usedPages = 0;
  int64_t dataPages = 0;
};
Bytes allocUnitRecord(const AllocUnitRow& row);

// sysrscols, 13 columns: 0 i64 rsid | 8 rscolid | 12 hbcolid | 16 i64 rcmodified |
// 24 ti | 28 collation id | 32 i16 key ordinal | 34 i16 maxinrowlen | 36 status |
// 40 offset | 44 nullbit | 48 i16 bitpos ; colguid (NULL)
// offset and nullbit: low 16 bits in the leaf record, high 16 bits in the upper levels'
// index records, where a clustered key column follows their 1-byte status.
struct RowsetColumnRow {
  int64_t rowsetId = 0;
  int32_t columnId = 0;
  int32_t typeInfo = 0;
  int32_t collationId = 0;
  int16_t keyOrdinal = 0;
  bool nullable = true;
  int16_t leafOffset = 0;
  int32_t nullBit = 0;
  int16_t bitPosition = 0;
};
Bytes rowsetColumnRecord(const RowsetColumnRow& row);

// sysidxstats, 11 columns: 0 id | 4 indid | 8 status | 12 intprop | 16 u8 fillfact |
// 17 u8 type | 18 u8 tinyprop | 19 dataspace | 23 lobds | 27 i64 rowset ; name
struct IndexRow {
  int32_t objectId = 0;
  int32_t indexId = 1;
  std::string name;
  int32_t status = 0;
  uint8_t type = 1;  // clustered
  int32_t lobDataSpace = 0;
  int64_t rowsetId = 0;
};
Bytes indexRecord(const IndexRow& row);

// sysiscols, 8 columns: 0 idmajor | 4 idminor | 8 subid | 12 status | 16 intprop
// (column id) | 20 u8 key ordinal | 21 u8 | 22 u8
struct IndexColumnRow {
  int32_t objectId = 0;
  int32_t indexId = 1;
  int32_t position = 1;
  int32_t columnId = 0;
  uint8_t keyOrdinal = 1;
};
Bytes indexColumnRecord(const IndexColumnRow& row);

// sysobjvalues, 6 columns: 0 u8 valclass | 1 objid | 5 subobjid | 9 valnum ;
// value (sql_variant) | imageval. A module's definition is valclass 1, its text in
// imageval as UTF-16LE, with value the int 0 (8-bit texts carry 2).
Bytes moduleTextRecord(int32_t objectId, int32_t number, const std::string& text);

// sysfiles1, 4 columns: 0 status | 4 i16 fileid | 6 nchar(128) name | 262 nchar(260)
// physical name, both filled with blanks
struct FileRow {
  int32_t status = 0;
  int16_t fileId = 0;
  std::string logicalName;
  std::string physicalName;
};
Bytes fileRecord(const FileRow& row);

}  // namespace orodorev::sample
