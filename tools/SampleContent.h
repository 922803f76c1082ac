#pragma once
// What the sample database holds, as SQL would state it: tables with their columns and
// rows, the primary keys, a view and a procedure. Values are literal texts (NULL is
// nothing); how they are stored is decided by the table layout and the value encoders.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orodorev::sample {

enum class ColumnType { Int, Bit, Money, DateTime, Decimal, NVarChar, VarChar, NText };

struct ColumnDefinition {
  std::string name;
  ColumnType type = ColumnType::Int;
  int16_t declaredLength = 0;  // characters of nvarchar(n) and varchar(n)
  uint8_t precision = 0;       // decimal only
  uint8_t scale = 0;           // decimal only
  bool nullable = false;
  bool identity = false;       // IDENTITY(1,1)
};

using Cell = std::optional<std::string>;
using RowValues = std::vector<Cell>;

struct PrimaryKeyDefinition {
  int32_t objectId = 0;
  std::string name;
  int column = 1;  // the one key column, counted from 1; the key is clustered
};

struct TableDefinition {
  int32_t objectId = 0;
  std::string name;  // in schema dbo
  std::vector<ColumnDefinition> columns;
  PrimaryKeyDefinition primaryKey;
  std::vector<RowValues> rows;  // in key order
};

struct ModuleDefinition {
  int32_t objectId = 0;
  std::string name;  // in schema dbo
  std::string type;  // "V " or "P "
  // A procedure's definition is kept under procedure number 1, a view's under 0.
  int32_t number = 0;
  std::vector<ColumnDefinition> columns;  // a view's output columns or a procedure's parameters
  std::string text;                 // the CREATE statement as written
};

struct SampleContent {
  std::string databaseName;
  uint16_t version = 0;
  int32_t collationId = 0;
  std::vector<TableDefinition> tables;
  std::vector<ModuleDefinition> modules;
};

const SampleContent& sampleContent();

}  // namespace orodorev::sample
