#pragma once
// The process-wide values that the user-interface thread and the single worker share.
// The busy flag keeps workers from overlapping; the stop request is polled by every
// long loop once per page or row.

#include <atomic>
#include <cstdint>
#include <string>

#include "app/CollationTable.h"

namespace orodorev {

enum class RecoveryMode : int32_t { None = 0, Standard = 1, Advanced = 2 };

struct ApplicationState {
  int32_t applicationLook = 0;
  std::atomic<int32_t> busy{0};
  std::atomic<bool> stopRequest{false};
  int32_t outputLineCounter = 0;
  std::atomic<bool> listing{false};
  int64_t currentLargeValueCollation = 0;

  // Recovery options of the current run.
  bool isSql2000 = false;  // also the SQL 2000 catalog mode of the loaded database
  bool showDeleted = false;
  bool showAdvancedDeleted = false;
  RecoveryMode recoveryMode = RecoveryMode::None;
  std::string databaseFilePath;
  std::string logFolder;
  std::string logFilePath;

  // Identity of the open database.
  std::string databaseVersionText;
  CollationTable collations;
  bool collationFound = false;
  int64_t currentCollationId = -1;
  int32_t currentCodePage = 1252;
  std::string collationName;
  bool autoCollation = true;
  int64_t manualCollationId = 0;

  // Page mapping loaded from a snapshot file instead of a scan.
  bool snapshotMode = false;
  std::string snapshotPath;
  std::string snapshotDatabasePath;
  bool snapshotAdvanced = false;
};

ApplicationState& appState();

// Puts every field but the collation table back to its initial value.
void resetApplicationState();

inline bool stopRequested() { return appState().stopRequest.load(std::memory_order_relaxed); }

}  // namespace orodorev
