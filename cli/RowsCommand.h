#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// rows FILE NAME: a table's rows as the readers decode them, from its mapped data pages.
void addRowsCommand(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
