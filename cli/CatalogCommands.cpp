#include "cli/CatalogCommands.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/CliFrame.h"
#include "cli/OpenDatabase.h"

namespace orodorev::cli {
namespace {

using Json = nlohmann::ordered_json;

struct CatalogOptions {
  std::string path;
  std::string name;
  std::string type = "U ";
  bool json = false;
};

Json objectJson(const ObjectRow& object) {
  return {{"id", object.id},
          {"name", object.name},
          {"type", object.type},
          {"parent_id", object.parentId},
          {"schema_id", object.schemaId}};
}

Json columnJson(const ColumnDescriptor& d) {
  return {{"column_id", d.columnId},     {"name", d.name},
          {"type_text", d.typeText},     {"kind", d.kind},
          {"nullable", d.nullable},      {"sparse", d.sparse},
          {"primary_key", d.primaryKey}, {"unique", d.uniqueIndex || d.uniqueConstraint},
          {"ordinal", d.ordinal},        {"has_layout", d.hasLayout},
          {"leaf_offset", d.leafOffset}, {"null_bit", d.nullBit},
          {"identity", d.identityText}};
}

std::string plain(const Json& value) { return value.is_string() ? value.get<std::string>() : value.dump(); }

void printRow(const Json& row) {
  bool first = true;
  for (const auto& [key, value] : row.items()) {
    std::cout << (first ? "" : "\t") << plain(value);
    first = false;
  }
  std::cout << '\n';
}

int printObjects(const CatalogOptions& options) {
  auto loaded = openCatalog(options.path);
  if (!loaded) return kExitInputUnreadable;
  Json objects = Json::array();
  for (const ObjectRow& object : loaded->catalog->objects) objects.push_back(objectJson(object));
  if (options.json) {
    std::cout << objects.dump(2) << '\n';
  } else {
    for (const Json& object : objects) printRow(object);
  }
  return kExitOk;
}

int printSchema(const CatalogOptions& options) {
  auto loaded = openCatalog(options.path);
  if (!loaded) return kExitInputUnreadable;
  Catalog& catalog = *loaded->catalog;
  auto descriptors = catalog.prepareObjectSchema(options.name, options.type, {});
  if (catalog.schema.object.id == -1) {
    std::cerr << "no object named " << options.name << '\n';
    return kExitInputUnreadable;
  }
  Json out = {{"object", objectJson(catalog.schema.object)}};
  // Columns that exist only in the physical record (a uniquifier, a dropped column)
  // have no name and no value; they are listed apart.
  Json columns = Json::array();
  Json layoutOnly = Json::array();
  for (const ColumnDescriptor& d : descriptors)
    (d.ordinal == kDroppedColumnOrdinal ? layoutOnly : columns).push_back(columnJson(d));
  out["columns"] = columns;
  out["layout_only_columns"] = layoutOnly;
  Json constraints = Json::array();
  for (const ConstraintEntry& c : catalog.schema.constraints)
    constraints.push_back({{"name", c.name}, {"type", c.type}, {"id", c.id}});
  out["constraints"] = constraints;
  if (options.json) {
    std::cout << out.dump(2) << '\n';
    return kExitOk;
  }
  printRow(out["object"]);
  for (const Json& column : out["columns"]) printRow(column);
  for (const Json& column : out["layout_only_columns"]) printRow(column);
  for (const Json& constraint : out["constraints"]) printRow(constraint);
  return kExitOk;
}

}  // namespace

void addCatalogCommands(CLI::App& app, int& exitCode) {
  auto objects = std::make_shared<CatalogOptions>();
  CLI::App* objectsCommand = app.add_subcommand("objects", "the catalog's objects: id, name, type, parent, schema");
  objectsCommand->add_option("FILE", objects->path, "primary data file (.mdf)")->required();
  objectsCommand->add_flag("--json", objects->json, "print JSON");
  objectsCommand->callback([objects, &exitCode] { exitCode = printObjects(*objects); });

  auto schema = std::make_shared<CatalogOptions>();
  CLI::App* schemaCommand = app.add_subcommand("schema", "the column descriptors and constraints of an object");
  schemaCommand->add_option("FILE", schema->path, "primary data file (.mdf)")->required();
  schemaCommand->add_option("NAME", schema->name, "object name as the catalog shows it, e.g. dbo.Orders")->required();
  schemaCommand->add_option("--type", schema->type, "two-character type code, \"U \" by default");
  schemaCommand->add_flag("--json", schema->json, "print JSON");
  schemaCommand->callback([schema, &exitCode] { exitCode = printSchema(*schema); });
}

}  // namespace orodorev::cli
