#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// page FILE FILEID:PAGE: the decoded header and every slot's record, for recovery work.
void addPageCommand(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
