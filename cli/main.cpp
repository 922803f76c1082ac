// orodorev-cli: the scriptable face of the reader. Data to stdout, errors to stderr.

#include <CLI/CLI.hpp>

#include "app/CollationTable.h"
#include "cli/CatalogCommands.h"
#include "cli/CliFrame.h"
#include "cli/DefinitionCommand.h"
#include "cli/MapCommands.h"
#include "cli/PageCommand.h"
#include "cli/RowsCommand.h"
#include "cli/ScanCommand.h"

int main(int argc, char** argv) {
  using namespace orodorev::cli;
  CLI::App app{"Reads SQL Server data files (.mdf, .ndf) without a server"};
  app.require_subcommand(1);
  int exitCode = kExitOk;
  addMapCommands(app, exitCode);
  addPageCommand(app, exitCode);
  addScanCommand(app, exitCode);
  addCatalogCommands(app, exitCode);
  addRowsCommand(app, exitCode);
  addDefinitionCommand(app, exitCode);

  orodorev::readCollationTable();
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitUsage;
  }
  return exitCode;
}
