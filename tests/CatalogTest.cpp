#include <gtest/gtest.h>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "catalog/Catalog.h"
#include "storage/ByteOrder.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"

namespace orodorev {
namespace {

TEST(ValueKinds, SystemTypesAndTheCatalogsAdjustments) {
  const std::pair<int, int> kinds[] = {{127, 0}, {173, 1}, {104, 2}, {175, 3}, {200, 3}, {61, 4},
                                       {40, 5},  {41, 6},  {42, 7},  {43, 8},  {56, 9},  {239, 10},
                                       {231, 11}, {52, 13}, {48, 14}, {36, 15}, {165, 16}, {167, 17},
                                       {232, 18}, {99, 19}, {98, 20}, {60, 21}, {62, 22}, {108, 23},
                                       {106, 24}, {34, 26}, {35, 26}, {58, 27}, {59, 28}, {122, 29},
                                       {189, 30}, {240, 33}, {241, 34}};
  for (auto [type, kind] : kinds) EXPECT_EQ(kindForSystemType(static_cast<uint8_t>(type)), kind) << type;
  EXPECT_EQ(storedKind(34, 34), kImage);
  EXPECT_EQ(storedKind(240, 128), kHierarchyId);
  EXPECT_EQ(storedKind(240, 129), kGeometry);
  EXPECT_EQ(storedKind(240, 130), kClrType);
  EXPECT_EQ(storedKind(232, 0), kNVarChar);
}

TEST(ValueKinds, DescriptorPropertiesFollowTheKind) {
  struct Case {
    const char* typeText;
    int32_t kind;
    int16_t declared;
    bool variable;
  };
  const Case cases[] = {{"char(10)", kChar, 10, false},          {"varchar(50)", kVarChar, 0, true},
                        {"nvarchar(-1)", kNVarChar, -1, true},    {"uniqueidentifier(16)", kUniqueIdentifier, 0, true},
                        {"decimal(9)", kDecimal, 9, false},       {"int(4)", kInt, 0, false},
                        {"text(16)", kText, 16, true},            {"xml(-1)", kXml, -1, true}};
  for (const Case& c : cases) {
    ColumnDescriptor d = makeDescriptor("c", c.typeText, c.kind);
    EXPECT_EQ(d.declaredLength, c.declared) << c.typeText;
    EXPECT_EQ(d.variable, c.variable) << c.typeText;
    EXPECT_EQ(d.kind, c.kind);
  }
  EXPECT_EQ(makeDescriptor("c", "x(4)", kNoSqlType).kind, kNVarChar);
}

// A small catalog of one table, dbo.Orders (id 500), built by hand.
class SchemaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetApplicationState();
    catalog.objects = {object(500, "dbo.Orders", "U ", 0), object(501, "dbo.PK_Orders", "PK", 500),
                       object(502, "dbo.UQ_Orders", "UQ", 500), object(503, "dbo.FK_Orders", "F ", 500),
                       object(504, "dbo.OrdersView", "V ", 0), object(505, "dbo.Orders", "S ", 0)};
    catalog.types = {type(56, 4, "int", 56), type(167, 4, "varchar", 167), type(257, 1, "orderno", 167),
                     type(231, 4, "nvarchar", 231)};
    catalog.rowsets = {rowset(1000, 500, 1), rowset(2000, 500, 1), rowset(3000, 500, 2)};
    catalog.columns = {column(500 | (1 << 24), 2, "note", 231, 231, 200), column(500, 1, "id", 56, 56, 4),
                       column(500, 3, "code", 167, 257, 10), column(500, 1, "duplicate", 56, 56, 4),
                       column(500, 4, "computed", 56, 56, 4)};
    catalog.rowsetColumns = {layout(2000, 1, 1, 4, 1), layout(2000, 2, 2, -1, 2), layout(2000, 3, 3, -2, 3),
                             layout(1000, 1, 9, 99, 9)};
    catalog.indexes = {index(500, 1, 1 | 32), index(500, 2, 1 | 64)};
    catalog.indexColumns = {indexColumn(500, 1, 1, 1), indexColumn(500, 1, 3, 2), indexColumn(500, 2, 2, 1)};
  }
  void TearDown() override { resetApplicationState(); }

  static ObjectRow object(int32_t id, const std::string& name, const std::string& type, int32_t parent) {
    ObjectRow row;
    row.id = id;
    row.name = name;
    row.type = type;
    row.parentId = parent;
    return row;
  }
  static ScalarTypeRow type(int32_t id, int32_t schemaId, const std::string& name, uint8_t systemType) {
    ScalarTypeRow row;
    row.typeId = id;
    row.schemaId = schemaId;
    row.name = name;
    row.systemType = systemType;
    return row;
  }
  static RowsetRow rowset(int64_t id, int32_t objectId, int32_t indexId) {
    RowsetRow row;
    row.rowsetId = id;
    row.objectId = objectId;
    row.indexId = indexId;
    return row;
  }
  static ColumnRow column(int32_t objectId, int32_t columnId, const std::string& name, uint8_t systemType,
                          int32_t userType, int16_t length) {
    ColumnRow row;
    row.objectId = objectId;
    row.number = 0;
    row.columnId = columnId;
    row.name = name;
    row.systemType = systemType;
    row.userType = userType;
    row.length = length;
    row.status = columnId == 1 ? 1 : 0;
    return row;
  }
  static RowsetColumnRow layout(int64_t rowsetId, int32_t columnId, int32_t hobtColumnId, int32_t offset,
                                int32_t nullBit) {
    RowsetColumnRow row;
    row.rowsetId = rowsetId;
    row.rowsetColumnId = columnId;
    row.hobtColumnId = hobtColumnId;
    row.offset = offset & 0xFFFF;
    row.nullBit = nullBit;
    return row;
  }
  static IndexRow index(int32_t objectId, int32_t indexId, int32_t status) {
    IndexRow row;
    row.objectId = objectId;
    row.indexId = indexId;
    row.status = status;
    return row;
  }
  static IndexColumnRow indexColumn(int32_t objectId, int32_t indexId, int32_t columnId, uint8_t ordinal) {
    IndexColumnRow row;
    row.objectId = objectId;
    row.indexId = indexId;
    row.internalProperty = columnId;
    row.firstSmallProperty = ordinal;
    return row;
  }

  Catalog catalog;
};

TEST_F(SchemaTest, FindObjectMatchesTypeOrAnyNonTableType) {
  EXPECT_EQ(catalog.findObject("dbo.Orders", "U ").id, 500);
  EXPECT_EQ(catalog.findObject("dbo.Orders", "S ").id, 505);
  EXPECT_EQ(catalog.findObject("dbo.OrdersView", "U ").id, 504);
  EXPECT_EQ(catalog.findObject("dbo.orders", "U ").id, -1);
  EXPECT_EQ(catalog.findObject("dbo.Missing", "U ").id, -1);
}

TEST_F(SchemaTest, TypeLookupPrefersTheDboAlias) {
  EXPECT_EQ(catalog.typeLookup(167, 257).name, "orderno");
  EXPECT_EQ(catalog.typeLookup(167, 167).name, "varchar");
  EXPECT_EQ(catalog.typeLookup(56, 999).name, "int");
  EXPECT_EQ(catalog.typeLookup(99, 99).name, "");
}

TEST_F(SchemaTest, TableDescriptorsInColumnOrderWithLayoutAndKeys) {
  auto descriptors = catalog.prepareObjectSchema("dbo.Orders", "U ", {});
  EXPECT_EQ(catalog.schema.rowset.rowsetId, 2000);  // the later of two index-1 rowsets
  ASSERT_EQ(descriptors.size(), 4u);
  EXPECT_EQ(descriptors[0].name, "id");
  EXPECT_EQ(descriptors[0].typeText, "int(4)");
  EXPECT_FALSE(descriptors[0].nullable);
  EXPECT_EQ(descriptors[0].leafOffset, 4);
  EXPECT_TRUE(descriptors[0].hasLayout);
  EXPECT_TRUE(descriptors[0].primaryKey);
  EXPECT_EQ(descriptors[1].name, "note");  // object id with bit 24 set
  EXPECT_EQ(descriptors[1].typeText, "nvarchar(200)");
  EXPECT_TRUE(descriptors[1].uniqueConstraint);
  EXPECT_EQ(descriptors[1].uniqueKeyOrdinal, 1);
  EXPECT_EQ(descriptors[2].typeText, "orderno(10)");
  EXPECT_EQ(descriptors[2].leafOffset, -2);
  EXPECT_TRUE(descriptors[2].primaryKey);
  EXPECT_EQ(descriptors[3].name, "computed");
  EXPECT_FALSE(descriptors[3].hasLayout);
  const auto& keys = catalog.schema.primaryKeyColumns;
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].columnName, "id");
  EXPECT_EQ(keys[0].keyOrdinal, 1);
  EXPECT_EQ(keys[1].columnName, "code");
  EXPECT_EQ(keys[1].keyOrdinal, 2);
  ASSERT_EQ(catalog.schema.constraints.size(), 3u);
  EXPECT_TRUE(catalog.schema.constraints[0].primaryKey);
  EXPECT_TRUE(catalog.schema.constraints[1].unique);
  EXPECT_TRUE(catalog.schema.constraints[2].foreignKey);
  EXPECT_EQ(catalog.schema.constraints[2].id, 503);
}

TEST_F(SchemaTest, ColumnsWithoutStorageGetTheirModuleText) {
  // "a+b" in UTF-16LE, and "x" as 8-bit text, for column 4 of object 500.
  std::vector<ModuleValue> values = {{"500", "4", "0x61002B006200"}, {"500", "4", ""}, {"501", "4", "0x7A"},
                                     {"500", "4", "0x78"}};
  auto descriptors = catalog.prepareObjectSchema("dbo.Orders", "U ", values);
  ASSERT_EQ(descriptors.size(), 4u);
  EXPECT_EQ(descriptors[3].valueText, "a+bx");
  EXPECT_EQ(descriptors[0].valueText, "");
}

TEST_F(SchemaTest, HobtColumnsWithoutAColumnBecomeLayoutOnly) {
  catalog.rowsetColumns.clear();
  HobtColumnRow uniquifier;
  uniquifier.hobtId = 2000;
  uniquifier.hobtColumnId = 0;
  uniquifier.leafOffset = -1;
  HobtColumnRow id;
  id.hobtId = 2000;
  id.hobtColumnId = 1;
  id.leafOffset = 4;
  id.nullBit = 1;
  catalog.hobtColumns = {uniquifier, id};
  catalog.columnMaps = {{2000, 1, 7}};
  auto descriptors = catalog.prepareObjectSchema("dbo.Orders", "U ", {{"500", "0", "0x41"}});
  ASSERT_EQ(descriptors.size(), 5u);
  EXPECT_EQ(descriptors[0].ordinal, 7);
  EXPECT_EQ(descriptors[0].leafOffset, 4);
  EXPECT_TRUE(descriptors[0].hasLayout);
  EXPECT_EQ(descriptors[4].columnId, 0);
  EXPECT_EQ(descriptors[4].ordinal, kDroppedColumnOrdinal);
  EXPECT_EQ(descriptors[4].valueText, "A");
}

TEST_F(SchemaTest, ModulesGiveIdTypeAndName) {
  auto descriptors = catalog.prepareObjectSchema("dbo.OrdersView", "V ", {});
  ASSERT_EQ(descriptors.size(), 3u);
  EXPECT_EQ(descriptors[0].valueText, "504");
  EXPECT_EQ(descriptors[1].valueText, "V ");
  EXPECT_EQ(descriptors[2].valueText, "dbo.OrdersView");
  EXPECT_FALSE(catalog.schema.hasRowset);
  EXPECT_TRUE(catalog.prepareObjectSchema("dbo.Nothing", "U ", {}).empty());
}

TEST_F(SchemaTest, DataPagesComeFromTheInRowAllocationUnit) {
  test::TempDir dir;
  auto bytes = test::makeDatabaseBytes(16);
  for (int position : {12, 14}) {
    auto page = test::makePage(77, 1, position);
    std::copy(page.begin(), page.end(), bytes.begin() + position * 8192);
  }
  HeadlessFrame frame;
  DatabaseFile file(dir.write("pages.mdf", bytes), false, &frame);
  ASSERT_TRUE(file.opened());
  catalog.setFile(&file);
  AllocUnitRow unit;
  unit.allocationUnitId = int64_t{77} << 16;
  unit.ownerId = 2000;
  unit.type = 1;
  catalog.allocUnits = {unit};
  catalog.prepareObjectSchema("dbo.Orders", "U ", {});
  EXPECT_EQ(catalog.schema.dataPages, (std::vector<PageId>{{1, 12}, {1, 14}}));
  EXPECT_EQ(catalog.schema.inRowAllocUnit.allocationUnitId, int64_t{77} << 16);
}

}  // namespace
}  // namespace orodorev
