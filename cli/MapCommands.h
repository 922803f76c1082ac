#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// info and pages: what opening a file and mapping its pages found.
void addMapCommands(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
