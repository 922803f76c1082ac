#pragma once
// The sample's storage plan and the records of every table: which allocation unit
// owns which page, the user tables' data and large-value records, and the system
// tables' rows that describe all of it.
//
// Ids follow SQL Server 2005 and later: a unit id is (header index id << 48) |
// (header object id << 16), and the pages of the unit carry those two numbers in their
// headers. System tables use their object id with index id 0 (the tables read to
// bootstrap the catalog) or 1, and their rowset id equals the unit id; user units
// take index id 256 and object ids counted apart from the objects' own ids.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "tools/ByteWriter.h"
#include "tools/SampleContent.h"
#include "tools/SystemRows.h"
#include "tools/TableLayout.h"

namespace orodorev::sample {

enum UnitType : uint8_t { kInRowData = 1, kLargeValueData = 2 };

struct UnitPlan {
  int32_t ownerObjectId = 0;
  int64_t rowsetId = 0;
  uint8_t unitType = kInRowData;
  int32_t headerObjectId = 0;
  uint16_t headerIndexId = 0;
  int32_t iamPage = 0;
  int32_t page = 0;
  uint8_t pageType = kDataPage;

  int64_t unitId() const {
    return static_cast<int64_t>((static_cast<uint64_t>(headerIndexId) << 48) |
                                (static_cast<uint64_t>(static_cast<uint32_t>(headerObjectId)) << 16));
  }
};

class SampleCatalog {
 public:
  // Units get their IAM page and data page from firstPage on, two each.
  SampleCatalog(const SampleContent& content, int32_t firstPage);

  const SampleContent& content() const { return content_; }
  const std::vector<UnitPlan>& units() const { return units_; }
  const std::vector<Bytes>& recordsOf(const UnitPlan& unit) const { return records_.at(unit.unitId()); }
  const FileRow& dataFile() const { return files_.front(); }

 private:
  struct UserTable {
    const TableDefinition* table;
    TableLayout layout;
    size_t inRowUnit;
    std::optional<size_t> largeValueUnit;
  };

  void planUnits(int32_t firstPage);
  size_t addUnit(UnitPlan unit, int32_t& nextPage);
  void writeUserTables();
  void writeSystemTables();

  std::vector<Bytes> schemaRecords() const;
  std::vector<Bytes> objectRecords() const;
  std::vector<Bytes> columnParRecords() const;
  std::vector<Bytes> scalarTypeRecords() const;
  std::vector<Bytes> allocUnitRecords() const;
  std::vector<Bytes> rowsetRecords() const;
  std::vector<Bytes> rowsetColumnRecords() const;
  std::vector<Bytes> indexRecords() const;
  std::vector<Bytes> indexColumnRecords() const;
  std::vector<Bytes> moduleRecords() const;
  std::vector<Bytes> fileRecords() const;

  int16_t columnCountOf(int32_t objectId) const;
  void setRecords(int32_t systemTable, std::vector<Bytes> records);
  const UnitPlan& systemUnit(int32_t systemTable) const;

  const SampleContent& content_;
  std::vector<UnitPlan> units_;
  std::vector<UserTable> userTables_;
  std::vector<FileRow> files_;
  std::map<int64_t, std::vector<Bytes>> records_;
};

}  // namespace orodorev::sample
