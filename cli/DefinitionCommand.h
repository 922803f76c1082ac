#pragma once

#include <CLI/CLI.hpp>

namespace orodorev::cli {

// definition FILE NAME: the text the definition box shows for a view, procedure,
// function, trigger, default, check or key.
void addDefinitionCommand(CLI::App& app, int& exitCode);

}  // namespace orodorev::cli
