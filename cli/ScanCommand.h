#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// scan FILE [options]: a whole recovery run; its output lines, then the object tree.
void addScanCommand(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
