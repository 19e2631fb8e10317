#pragma once

#include <QString>

class QSaveFile;

// Finishing a save so that it survives a power cut, not just a kill: the new file's data reaches the
// disk before the file is renamed over the old one (QSaveFile::commit syncs the new file first), and the
// folder is synced after the rename, or the rename itself may be lost and the old file come back.
namespace DurableSave {

// Commits `file` and syncs its folder; false when the commit failed. A folder that cannot be synced
// (a file system that does not support it) does not fail the save: the file is in place either way.
bool commit(QSaveFile& file);

// The same in two steps, for a writer that holds a lock over the rename: commit under the lock, sync the
// folder once the lock is released, so that others do not wait for it.
bool commitWithoutFolderSync(QSaveFile& file);
void syncFolderOf(const QString& path);

} // namespace DurableSave
