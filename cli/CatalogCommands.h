#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// objects and schema: what the catalog load found.
void addCatalogCommands(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
