#include "app/ApplicationState.h"

namespace orodorev {

ApplicationState& appState() {
  static ApplicationState state;
  return state;
}

void resetApplicationState() {
  ApplicationState& s = appState();
  s.applicationLook = 0;
  s.busy = 0;
  s.stopRequest = false;
  s.outputLineCounter = 0;
  s.listing = false;
  s.currentLargeValueCollation = 0;
  s.isSql2000 = false;
  s.showDeleted = false;
  s.showAdvancedDeleted = false;
  s.recoveryMode = RecoveryMode::None;
  s.databaseFilePath.clear();
  s.logFolder.clear();
  s.logFilePath.clear();
  s.databaseVersionText.clear();
  s.collationFound = false;
  s.currentCollationId = -1;
  s.currentCodePage = 1252;
  s.collationName.clear();
  s.autoCollation = true;
  s.manualCollationId = 0;
  s.snapshotMode = false;
  s.snapshotPath.clear();
  s.snapshotDatabasePath.clear();
  s.snapshotAdvanced = false;
}

}  // namespace orodorev
