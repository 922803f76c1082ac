#pragma once
// What the definition box shows for an object that is not a table: its stored text,
// or a statement made up for keys and checks.

#include <string>

#include "rows/ModuleValues.h"

namespace orodorev {

// The definition of the named object; nothing when no such object exists.
std::optional<std::string> definitionOf(Catalog& catalog, Definitions& definitions, const std::string& name);

// The statement for a check (or default) constraint of a table.
std::string checkStatement(const std::string& table, const std::string& constraint, const std::string& definition);

}  // namespace orodorev
