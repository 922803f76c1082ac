#pragma once
// The choices of the recovery options dialog for one run.

#include <cstdint>
#include <optional>
#include <string>

#include "app/ApplicationState.h"

namespace orodorev {

struct RecoveryOptions {
  std::string databasePath;
  std::string logFolder;  // with or without a trailing '/'; empty: the current folder
  RecoveryMode recoveryMode = RecoveryMode::Standard;
  bool showDeleted = false;
  bool showAdvancedDeleted = false;
  bool isSql2000 = false;
  // Nothing: the collation is detected from the boot page.
  std::optional<int64_t> manualCollationId;
};

// Stores the options in the application state, where the scan and every later reader
// find them. The log folder is kept with a trailing '/'; without a manual collation
// the previous manual id stays.
void applyRecoveryOptions(const RecoveryOptions& options);

}  // namespace orodorev
