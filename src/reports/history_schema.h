#pragma once
// The history's tables and their versions. `PRAGMA user_version` holds the
// version a file is at; opening runs each step above it, in order, each in
// one transaction with its version, so that a file is never half migrated.
#include "reports/sqlite_db.h"

namespace velt {

// The version this program writes.
int HistorySchemaVersion();
// The oldest version whose minutes and events read as this program reads
// them (later steps add what readers do not use): a reader takes a file
// from there on, before the writer has migrated it.
inline constexpr int kHistoryReadableVersion = 5;

// Brings the file to HistorySchemaVersion(). A file of a newer version is
// left as it is and refused (SQLITE_MISMATCH): an older program must not
// write rows a newer one does not expect.
void MigrateHistory(SqliteDb& db);

}  // namespace velt
