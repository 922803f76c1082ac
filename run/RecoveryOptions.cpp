#include "run/RecoveryOptions.h"

namespace orodorev {

void applyRecoveryOptions(const RecoveryOptions& options) {
  ApplicationState& state = appState();
  state.databaseFilePath = options.databasePath;
  state.logFolder = options.logFolder;
  if (!state.logFolder.empty() && state.logFolder.back() != '/') state.logFolder += '/';
  state.recoveryMode = options.recoveryMode;
  state.isSql2000 = options.isSql2000;
  state.showDeleted = options.showDeleted;
  state.showAdvancedDeleted = options.showAdvancedDeleted;
  state.autoCollation = !options.manualCollationId.has_value();
  if (options.manualCollationId) state.manualCollationId = *options.manualCollationId;
}

}  // namespace orodorev
