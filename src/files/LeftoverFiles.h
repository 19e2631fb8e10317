#pragma once

#include <QString>

// What a killed save leaves behind: QSaveFile writes "NAME.XXXXXX" (six letters or digits) beside
// "NAME" and renames it over NAME when it is done, so a kill before the rename keeps the temporary.
namespace LeftoverFiles {

// A temporary older than this is no save still running.
inline constexpr int StaleSeconds = 30;

// Removes the stale temporaries of `path` ("NAME.XXXXXX" beside it, ordinary files only, older than
// StaleSeconds) and returns how many went. Nothing else in the folder is touched.
int removeStale(const QString& path, int staleSeconds = StaleSeconds);

// Removes the stale temporaries of every scheme save in `folder` ("NAME.hlm.XXXXXX", under the same
// rules) and returns how many went. Done before each save, and at start for the recent schemes' folders.
int removeStaleSchemeTemporaries(const QString& folder, int staleSeconds = StaleSeconds);

// Removes what a writer of `path` that was killed left behind, for a file written as QSettings writes
// one: under the lock "PATH.lock" (QLockFile's, which names its maker's process, program and machine),
// through a QSaveFile. The lock goes when its maker's process has ended on this machine, or when it names
// no one and is older than `staleSeconds`; never for its age alone, since a running program may hold it
// as long as it likes. Only with the lock taken do the stale temporaries of `path` go: beside a live
// writer's lock they may be its save in progress. Other users' files, links and anything else in the
// folder are left alone. Returns how many files went.
int removeDeadWriters(const QString& path, int staleSeconds = StaleSeconds);

// Whether `fileName` is a temporary of `targetName` as QSaveFile names them.
bool isTemporaryOf(const QString& fileName, const QString& targetName);

} // namespace LeftoverFiles
