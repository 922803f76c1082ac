#include "cli/DefinitionCommand.h"

#include <iostream>

#include "browser/Definition.h"
#include "cli/CliFrame.h"
#include "cli/OpenDatabase.h"

namespace orodorev::cli {
namespace {

struct DefinitionOptions {
  std::string path;
  std::string name;
};

int printDefinition(const DefinitionOptions& options) {
  auto loaded = openCatalog(options.path);
  if (!loaded) return kExitInputUnreadable;
  Definitions definitions(*loaded->file, *loaded->catalog, *loaded->frame);
  auto text = definitionOf(*loaded->catalog, definitions, options.name);
  if (!text) {
    std::cerr << "no object named " << options.name << '\n';
    return kExitInputUnreadable;
  }
  std::cout << *text << '\n';
  return kExitOk;
}

}  // namespace

void addDefinitionCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<DefinitionOptions>();
  CLI::App* command = app.add_subcommand("definition", "the definition text of a view, procedure, key or check");
  command->add_option("FILE", options->path, "primary data file (.mdf)")->required();
  command->add_option("NAME", options->name, "object name as the catalog shows it, e.g. dbo.titleview")->required();
  command->callback([options, &exitCode] { exitCode = printDefinition(*options); });
}

}  // namespace orodorev::cli
