// The sample database that make_sample_db writes: its pages, catalog, rows and module
// texts read back through the reader, and a whole scan of it. The expected values are
// stated here as SQL Server would show them, apart from the writer's own description.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ApplicationState.h"
#include "app/HeadlessFrame.h"
#include "app/HeadlessTree.h"
#include "app/Text.h"
#include "catalog/Catalog.h"
#include "catalog/SystemTableReader.h"
#include "rows/LargeObjectPage.h"
#include "rows/LargeObjectStructures.h"
#include "rows/RowReader.h"
#include "run/ScanWorker.h"
#include "storage/AllocationMap.h"
#include "storage/BootPage.h"
#include "storage/DatabaseFile.h"
#include "tests/TestFiles.h"
#include "tools/SampleDatabase.h"
#include "tools/ValueEncoding.h"

namespace orodorev {
namespace {

using Texts = std::vector<std::string>;

constexpr int32_t kSamplePages = 40;
constexpr int32_t kSampleCollation = 872468488;
constexpr int32_t kObjectValuesTable = 60;

class SampleDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetApplicationState();
    std::ifstream shipped(ORODOREV_SHIPPED_COLLATIONS, std::ios::binary);
    readCollationLines(shipped, appState().collations);
    path = dir.path() + "/Sample.mdf";
    sample::writeSampleDatabase(path);
  }
  void TearDown() override {
    resetApplicationState();
    appState().collations.clear();
  }

  // The catalog of the sample, loaded as a scan loads it.
  struct Loaded {
    std::unique_ptr<DatabaseFile> file;
    std::unique_ptr<Catalog> catalog;
  };
  Loaded load() {
    Loaded loaded;
    loaded.file = std::make_unique<DatabaseFile>(path, false, nullptr);
    EXPECT_TRUE(loaded.file->opened());
    loaded.catalog = std::make_unique<Catalog>(loaded.file.get());
    loadCatalog(*loaded.file, *loaded.catalog, path);
    return loaded;
  }

  // Every row of a table as value texts, in descriptor order.
  std::vector<Texts> rowsOf(const std::string& table) {
    Loaded loaded = load();
    Catalog& catalog = *loaded.catalog;
    std::vector<ColumnDescriptor> columns = catalog.prepareObjectSchema(table, "U ", {});
    std::vector<Texts> rows;
    for (const PageId& page : catalog.schema.dataPages) {
      for (const Row& row : readDataPageRows(*loaded.file, page, columns, usesRowsetReader(catalog))) {
        Texts texts;
        for (const ColumnDescriptor& column : row) texts.push_back(column.valueText);
        rows.push_back(texts);
      }
    }
    return rows;
  }

  test::TempDir dir;
  std::string path;
};

// The catalog load reads every page a system table's id names, its IAM page too; the
// IAM page's two records become rows of initial values, which these lists leave out.
std::vector<FileRow> storedFiles(const std::vector<FileRow>& rows) {
  std::vector<FileRow> files;
  for (const FileRow& row : rows)
    if (row.fileId != 0) files.push_back(row);
  return files;
}

std::vector<AllocUnitRow> storedUnits(const Catalog& catalog) {
  std::vector<AllocUnitRow> units;
  for (const AllocUnitRow& unit : catalog.allocUnits)
    if (unit.allocationUnitId != 0) units.push_back(unit);
  return units;
}

const ObjectRow* findObject(const Catalog& catalog, const std::string& name) {
  for (const ObjectRow& object : catalog.objects)
    if (object.name == name) return &object;
  return nullptr;
}

TEST_F(SampleDatabaseTest, BootPageNamesVersionNameAndCollation) {
  DatabaseFile file(path, false, nullptr);
  ASSERT_TRUE(file.opened());
  EXPECT_EQ(file.pageCount(), kSamplePages);
  EXPECT_EQ(file.dataOffset(), 0);
  auto boot = readDatabaseName(file);
  ASSERT_TRUE(boot.has_value());
  EXPECT_EQ(boot->version, 706);
  EXPECT_EQ(appState().databaseVersionText, " SQL Server 2012");
  EXPECT_EQ(file.databaseName, "Sample");
  EXPECT_EQ(boot->storedCollationId, kSampleCollation);
  EXPECT_EQ(appState().collationName, "SQL_Latin1_General_CP1_CI_AS");
  EXPECT_EQ(appState().currentCodePage, 1252);
}

TEST_F(SampleDatabaseTest, FileListNamesDataAndLogFile) {
  DatabaseFile file(path, false, nullptr);
  std::vector<FileRow> files = storedFiles(readFileRows(file));
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].fileId, 1);
  EXPECT_EQ(files[0].logicalName, "Sample");
  EXPECT_EQ(files[1].fileId, 2);
  EXPECT_EQ(files[1].logicalName, "Sample_log");
}

TEST_F(SampleDatabaseTest, EveryPageCarriesItsOwnAddress) {
  DatabaseFile file(path, false, nullptr);
  for (int32_t n = 1; n < kSamplePages; ++n) {
    auto header = file.loadPageHeader({1, n});
    ASSERT_NE(header, nullptr);
    if (header->pageType == 0) continue;  // never allocated
    EXPECT_EQ(header->thisPage.pageNumber, n);
    EXPECT_EQ(header->thisPage.fileId, 1);
  }
}

// Unit ids since SQL Server 2005: (header index id << 48) | (header object id << 16).
TEST_F(SampleDatabaseTest, PagesOfEachUnitCarryTheIdsOfItsUnitId) {
  Loaded loaded = load();
  std::vector<AllocUnitRow> units = storedUnits(*loaded.catalog);
  ASSERT_EQ(units.size(), 14u);
  for (const AllocUnitRow& unit : units) {
    SCOPED_TRACE(unit.allocationUnitId);
    auto objectId = static_cast<int32_t>((static_cast<uint64_t>(unit.allocationUnitId) >> 16) & 0xFFFFFFFF);
    auto indexId = static_cast<int16_t>(static_cast<uint64_t>(unit.allocationUnitId) >> 48);
    for (PageId page : {unit.firstPage, unit.firstIamPage}) {
      auto header = loaded.file->loadPageHeader(page);
      ASSERT_NE(header, nullptr);
      EXPECT_EQ(header->objectId, objectId);
      EXPECT_EQ(header->indexId, indexId);
    }
    EXPECT_EQ(loaded.file->loadPageHeader(unit.firstIamPage)->pageType, kIamPageType);
    EXPECT_EQ(loaded.file->loadPageHeader(unit.firstPage)->pageType, unit.type == 1 ? kDataPageType : kTextMixPageType);
  }
}

TEST_F(SampleDatabaseTest, AllocationMapsListTheUsedExtentsAndPages) {
  Loaded loaded = load();
  auto gam = loaded.file->readPage({1, 2});
  ASSERT_TRUE(gam.has_value());
  ExtentAllocationMap map(std::move(*gam), loaded.file.get());
  ASSERT_EQ(map.bitCount, kExtentsPerInterval);
  for (int extent = 0; extent < 5; ++extent) EXPECT_EQ(map.bits[static_cast<size_t>(extent)], 0) << extent;
  EXPECT_EQ(map.bits[5], 1);
  for (const AllocUnitRow& unit : storedUnits(*loaded.catalog)) {
    auto iam = loaded.file->loadIamPage(unit.firstIamPage);
    ASSERT_NE(iam, nullptr);
    EXPECT_EQ(iam->singlePages[0], unit.firstPage);
    EXPECT_EQ(iam->mappedInterval, (PageId{1, 0}));
  }
}

TEST_F(SampleDatabaseTest, CatalogHoldsTablesKeysViewAndProcedure) {
  Loaded loaded = load();
  const Catalog& catalog = *loaded.catalog;
  EXPECT_FALSE(appState().isSql2000);
  struct Expected {
    std::string name;
    std::string type;
    std::string parent;
  };
  const Expected objects[] = {{"dbo.Customers", "U ", ""},      {"dbo.PK_Customers", "PK", "dbo.Customers"},
                              {"dbo.Orders", "U ", ""},         {"dbo.PK_Orders", "PK", "dbo.Orders"},
                              {"dbo.CustomerCities", "V ", ""}, {"dbo.GetCustomer", "P ", ""},
                              {"sys.sysschobjs", "S ", ""}};
  for (const Expected& expected : objects) {
    SCOPED_TRACE(expected.name);
    const ObjectRow* object = findObject(catalog, expected.name);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->type, expected.type);
    if (expected.parent.empty()) {
      EXPECT_EQ(object->parentId, 0);
    } else {
      ASSERT_NE(findObject(catalog, expected.parent), nullptr);
      EXPECT_EQ(object->parentId, findObject(catalog, expected.parent)->id);
    }
  }
}

struct ExpectedColumn {
  std::string name;
  std::string typeText;
  int32_t kind;
  bool nullable;
  bool primaryKey;
  std::string identity;
};

void expectColumns(const std::vector<ColumnDescriptor>& columns, const std::vector<ExpectedColumn>& expected) {
  ASSERT_EQ(columns.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(expected[k].name);
    EXPECT_EQ(columns[k].columnId, static_cast<int32_t>(k + 1));
    EXPECT_EQ(columns[k].name, expected[k].name);
    EXPECT_EQ(columns[k].typeText, expected[k].typeText);
    EXPECT_EQ(columns[k].kind, expected[k].kind);
    EXPECT_EQ(columns[k].nullable, expected[k].nullable);
    EXPECT_EQ(columns[k].primaryKey, expected[k].primaryKey);
    EXPECT_EQ(columns[k].identityText, expected[k].identity);
    EXPECT_TRUE(columns[k].hasLayout);
  }
}

TEST_F(SampleDatabaseTest, CustomersSchemaDescribesEveryColumn) {
  Loaded loaded = load();
  auto columns = loaded.catalog->prepareObjectSchema("dbo.Customers", "U ", {});
  expectColumns(columns, {{"id", "int(4)", kInt, false, true, "identity(1,1)"},
                          {"name", "nvarchar(80)", kNVarChar, false, false, ""},
                          {"city", "varchar(30)", kVarChar, true, false, ""},
                          {"balance", "decimal(9)", kDecimal, false, false, ""},
                          {"created", "datetime(8)", kDateTime, false, false, ""},
                          {"active", "bit(1)", kBit, false, false, ""},
                          {"notes", "ntext(16)", kNText, true, false, ""}});
  EXPECT_EQ(columns[3].precision, 10);
  EXPECT_EQ(columns[3].scale, 2);
  EXPECT_EQ(columns[2].collationId, kSampleCollation);
  const TableSchema& schema = loaded.catalog->schema;
  ASSERT_EQ(schema.constraints.size(), 1u);
  EXPECT_EQ(schema.constraints[0].name, "dbo.PK_Customers");
  EXPECT_TRUE(schema.constraints[0].primaryKey);
  ASSERT_EQ(schema.primaryKeyColumns.size(), 1u);
  EXPECT_EQ(schema.primaryKeyColumns[0].columnName, "id");
  EXPECT_EQ(schema.dataPages.size(), 1u);
}

TEST_F(SampleDatabaseTest, OrdersSchemaDescribesEveryColumn) {
  Loaded loaded = load();
  auto columns = loaded.catalog->prepareObjectSchema("dbo.Orders", "U ", {});
  expectColumns(columns, {{"order_id", "int(4)", kInt, false, true, ""},
                          {"customer_id", "int(4)", kInt, false, false, ""},
                          {"amount", "money(8)", kMoney, false, false, ""},
                          {"shipped", "datetime(8)", kDateTime, true, false, ""}});
}

TEST_F(SampleDatabaseTest, CustomersRowsDecodeToTheValuesWritten) {
  EXPECT_EQ(rowsOf("dbo.Customers"),
            (std::vector<Texts>{
                {"1", "Anna Kowalska", "Warszawa", "1520.75", "2021-03-14 09:26:53", "True",
                 "Prefers e-mail; pays on time."},
                {"2", "J\u00FCrgen Gro\u00DFmann", "K\u00F6ln", "0.00", "2020-02-29 12:00:00", "False", "NULL"},
                {"3", "\u03A3\u03BF\u03C6\u03AF\u03B1 \u03A0\u03B1\u03C0\u03B1\u03B4\u03AC\u03BA\u03B7", "NULL",
                 "-42.50", "1999-12-31 23:59:59", "True", "NULL"},
                {"4", "\u0141ukasz \u017B\u00F3\u0142\u0107", "Krak\u00F3w", "99999999.99", "1753-01-01 00:00:00",
                 "False", "NULL"},
            }));
}

TEST_F(SampleDatabaseTest, OrdersRowsDecodeToTheValuesWritten) {
  EXPECT_EQ(rowsOf("dbo.Orders"), (std::vector<Texts>{
                                      {"1001", "1", "250.0000", "2021-04-01 10:00:00"},
                                      {"1002", "1", "19.9900", "NULL"},
                                      {"1003", "2", "1234.5678", "2022-01-15 08:30:15"},
                                      {"1004", "3", "-5.2500", "2023-07-04 00:00:00"},
                                  }));
}

// The first customer's note lives on a text page, as a small root the row's 16-byte
// text pointer names by page, slot and blob id.
TEST_F(SampleDatabaseTest, NoteIsASmallRootBehindATextPointer) {
  Loaded loaded = load();
  loaded.catalog->prepareObjectSchema("dbo.Customers", "U ", {});
  auto page = loaded.file->loadRowDataPage(loaded.catalog->schema.dataPages.at(0));
  ASSERT_NE(page, nullptr);
  const CPrimaryRecord* first = page->record(0);
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(first->varColumns.size(), 3u);
  const VarColumn& pointer = first->varColumns[2];
  ASSERT_TRUE(pointer.data.has_value());
  EXPECT_EQ(pointer.length, 16);
  EXPECT_EQ(pointer.complex, 1);
  ByteView bytes(pointer.data->data(), 16);
  auto textPage = loadTextPage(*loaded.file, {bytes.i16(12), bytes.i32(8)});
  ASSERT_NE(textPage, nullptr);
  EXPECT_EQ(textPage->header().pageType, kTextMixPageType);
  const TextRecord* root = textPage->record(bytes.u16(14));
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->structureType, kSmallRootType);
  EXPECT_EQ(root->blobId, readU64(pointer.data->data()));
  auto smallRoot = SmallRoot::decode(*root, loaded.file.get());
  ASSERT_TRUE(smallRoot.has_value());
  EXPECT_EQ(utf16leToUtf8(smallRoot->data.data(), smallRoot->data.size() / 2), "Prefers e-mail; pays on time.");
}

// sysobjvalues: valclass 1, the object, the procedure number, valnum 0, and the
// CREATE text in imageval as UTF-16LE.
TEST_F(SampleDatabaseTest, ModuleTextsAreKeptAsUnicodeDefinitions) {
  Loaded loaded = load();
  std::map<std::string, std::pair<int32_t, std::string>> texts;
  forEachSystemRecord(*loaded.file, kObjectValuesTable, SkippedRecords::TypeFourOnly, true,
                      [&](const CPrimaryRecord& record, const CDataPage&) {
                        ASSERT_TRUE(record.fixedData.has_value());
                        ByteView fixed(record.fixedData->data(), static_cast<int64_t>(record.fixedData->size()));
                        ASSERT_EQ(fixed.u8(0), 1);
                        EXPECT_EQ(fixed.i32(9), 0);
                        ASSERT_EQ(record.varColumns.size(), 2u);
                        const std::vector<uint8_t>& image = *record.varColumns[1].data;
                        const ObjectRow* owner = nullptr;
                        for (const ObjectRow& object : loaded.catalog->objects)
                          if (object.id == fixed.i32(1)) owner = &object;
                        ASSERT_NE(owner, nullptr);
                        texts[owner->name] = {fixed.i32(5), utf16leToUtf8(image.data(), image.size() / 2)};
                      });
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts["dbo.CustomerCities"],
            std::make_pair(0, std::string("CREATE VIEW dbo.CustomerCities\r\nAS\r\n"
                                          "SELECT name, city FROM dbo.Customers WHERE city IS NOT NULL\r\n")));
  EXPECT_EQ(texts["dbo.GetCustomer"],
            std::make_pair(1, std::string("CREATE PROCEDURE dbo.GetCustomer @id int\r\nAS\r\n"
                                          "-- one customer, with the balance in z\u0142oty\r\n"
                                          "SELECT id, name, city, balance FROM dbo.Customers WHERE id = @id\r\n")));
}

TEST_F(SampleDatabaseTest, ScanCompletesWithBothTablesHoldingData) {
  HeadlessFrame frame;
  HeadlessTree tree;
  RunLog log;
  ScanController controller(frame, tree, log);
  RecoveryOptions options;
  options.databasePath = path;
  options.logFolder = dir.path();
  options.recoveryMode = RecoveryMode::Standard;
  ASSERT_TRUE(controller.open(options));
  controller.waitForWorker();
  EXPECT_EQ(controller.outcome(), ScanOutcome::Completed);
  auto boxes = frame.callsOf(FrameCallKind::MessageBox);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "Scanning process completed.");
  std::string printed = tree.print();
  EXPECT_NE(printed.find("dbo.Customers *"), std::string::npos) << printed;
  EXPECT_NE(printed.find("dbo.Orders *"), std::string::npos) << printed;
  EXPECT_NE(printed.find("dbo.CustomerCities"), std::string::npos) << printed;
  EXPECT_NE(printed.find("dbo.GetCustomer"), std::string::npos) << printed;
}

TEST(SampleValueEncoding, DatetimeCountsDaysFrom1900AndTicksOfAThirdOfAHundredthSecond) {
  EXPECT_EQ(sample::encodeDateTime("1900-01-01 00:00:00"), (sample::Bytes{0, 0, 0, 0, 0, 0, 0, 0}));
  // 1900-01-02 00:00:01: 300 ticks, day 1.
  EXPECT_EQ(sample::encodeDateTime("1900-01-02 00:00:01"), (sample::Bytes{0x2C, 0x01, 0, 0, 1, 0, 0, 0}));
  // 1899-12-31: day -1.
  EXPECT_EQ(sample::encodeDateTime("1899-12-31 00:00:00"), (sample::Bytes{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(SampleValueEncoding, DecimalIsSignByteAndUnscaledMagnitude) {
  EXPECT_EQ(sample::encodeDecimal("-1.5", 5, 2), (sample::Bytes{0, 150, 0, 0, 0}));
  EXPECT_EQ(sample::encodeDecimal("2", 10, 2), (sample::Bytes{1, 200, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_THROW(sample::encodeDecimal("1.234", 10, 2), std::invalid_argument);
}

}  // namespace
}  // namespace orodorev
