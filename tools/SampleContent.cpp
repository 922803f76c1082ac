#include "tools/SampleContent.h"

namespace orodorev::sample {
namespace {

constexpr uint16_t kSql2012Version = 706;
constexpr int32_t kLatin1GeneralCp1CiAs = 872468488;

// Object ids as a fresh SQL Server database hands them out, one step apart.
constexpr int32_t kFirstUserObjectId = 245575913;
constexpr int32_t kObjectIdStep = 16000057;
constexpr int32_t objectId(int n) { return kFirstUserObjectId + n * kObjectIdStep; }

ColumnDefinition column(std::string name, ColumnType type, bool nullable = false) {
  ColumnDefinition definition;
  definition.name = std::move(name);
  definition.type = type;
  definition.nullable = nullable;
  return definition;
}

ColumnDefinition text(std::string name, ColumnType type, int16_t length, bool nullable = false) {
  ColumnDefinition definition = column(std::move(name), type, nullable);
  definition.declaredLength = length;
  return definition;
}

ColumnDefinition decimal(std::string name, uint8_t precision, uint8_t scale) {
  ColumnDefinition definition = column(std::move(name), ColumnType::Decimal);
  definition.precision = precision;
  definition.scale = scale;
  return definition;
}

TableDefinition customers() {
  TableDefinition table;
  table.objectId = objectId(0);
  table.name = "Customers";
  ColumnDefinition id = column("id", ColumnType::Int);
  id.identity = true;
  table.columns = {id,
                   text("name", ColumnType::NVarChar, 40),
                   text("city", ColumnType::VarChar, 30, true),
                   decimal("balance", 10, 2),
                   column("created", ColumnType::DateTime),
                   column("active", ColumnType::Bit),
                   column("notes", ColumnType::NText, true)};
  table.primaryKey = {objectId(1), "PK_Customers", 1};
  table.rows = {
      {"1", "Anna Kowalska", "Warszawa", "1520.75", "2021-03-14 09:26:53", "1", "Prefers e-mail; pays on time."},
      {"2", "Jürgen Großmann", "Köln", "0.00", "2020-02-29 12:00:00", "0", std::nullopt},
      {"3", "Σοφία Παπαδάκη", std::nullopt, "-42.50", "1999-12-31 23:59:59", "1", std::nullopt},
      {"4", "Łukasz Żółć", "Kraków", "99999999.99", "1753-01-01 00:00:00", "0", std::nullopt},
  };
  return table;
}

TableDefinition orders() {
  TableDefinition table;
  table.objectId = objectId(2);
  table.name = "Orders";
  table.columns = {column("order_id", ColumnType::Int), column("customer_id", ColumnType::Int),
                   column("amount", ColumnType::Money), column("shipped", ColumnType::DateTime, true)};
  table.primaryKey = {objectId(3), "PK_Orders", 1};
  table.rows = {
      {"1001", "1", "250.00", "2021-04-01 10:00:00"},
      {"1002", "1", "19.99", std::nullopt},
      {"1003", "2", "1234.5678", "2022-01-15 08:30:15"},
      {"1004", "3", "-5.25", "2023-07-04 00:00:00"},
  };
  return table;
}

ModuleDefinition customerCities() {
  ModuleDefinition view;
  view.objectId = objectId(4);
  view.name = "CustomerCities";
  view.type = "V ";
  view.columns = {text("name", ColumnType::NVarChar, 40), text("city", ColumnType::VarChar, 30, true)};
  view.text =
      "CREATE VIEW dbo.CustomerCities\r\n"
      "AS\r\n"
      "SELECT name, city FROM dbo.Customers WHERE city IS NOT NULL\r\n";
  return view;
}

ModuleDefinition getCustomer() {
  ModuleDefinition procedure;
  procedure.objectId = objectId(5);
  procedure.name = "GetCustomer";
  procedure.type = "P ";
  procedure.number = 1;
  procedure.columns = {column("@id", ColumnType::Int, true)};
  procedure.text =
      "CREATE PROCEDURE dbo.GetCustomer @id int\r\n"
      "AS\r\n"
      "-- one customer, with the balance in złoty\r\n"
      "SELECT id, name, city, balance FROM dbo.Customers WHERE id = @id\r\n";
  return procedure;
}

}  // namespace

const SampleContent& sampleContent() {
  static const SampleContent content{"Sample", kSql2012Version, kLatin1GeneralCp1CiAs,
                                     {customers(), orders()}, {customerCities(), getCustomer()}};
  return content;
}

}  // namespace orodorev::sample
