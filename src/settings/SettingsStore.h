#pragma once

#include "StoreSteps.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>

// The per-user settings store: texts by application, section and key, kept in an INI file in the
// user's configuration folder ($XDG_CONFIG_HOME/Hueloom/hueloom.ini). Names match without regard to
// letter case, so a value written as "Titletext" is read back as "TitleText" and the other way round.
//
// Every change is one atomic replacement of the file, made under the file's lock ("hueloom.ini.lock",
// the lock QSettings itself takes) from the file as it is at that moment: what another running
// Hueloom stored a moment ago is kept, and a kill at any point leaves the old file or the new one.
class SettingsStore {
public:
    // A section's texts in the order the file holds them, with their names as first written.
    using Entries = QList<std::pair<QString, QString>>;

    // `steps`, when given, is told of every change's steps and must outlive the store.
    explicit SettingsStore(StoreSteps* steps = nullptr);
    explicit SettingsStore(QString filePath, StoreSteps* steps = nullptr);

    static QString defaultFilePath();
    const QString& filePath() const { return m_filePath; }

    // The stored text as written, commas included, or `fallback` when there is none or the store
    // cannot be read. A store that cannot be parsed, or holds something other than a text, is left
    // as it is for the rest of the run: later writes to it fail.
    QString read(
        const QString& application, const QString& section, const QString& key, const QString& fallback = {}) const;
    // Every text of one section, read in one pass over the file; empty when the store cannot be read.
    Entries readSection(const QString& application, const QString& section) const;

    // Creates or replaces a value; false when it could not be stored.
    bool write(const QString& application, const QString& section, const QString& key, const QString& value);
    // Replaces a section with what `edit` makes of the section as the file holds it now (names in the
    // result that match a stored one but for case keep the stored spelling; names left out are
    // removed). False when it could not be stored, and then the file is as it was.
    bool update(const QString& application, const QString& section, const std::function<Entries(const Entries&)>& edit);

    // Removes what a killed write left beside the file. Done by every change as well.
    void removeLeftovers();

    // True the first time it is asked for this store: a store that cannot be written is said once a run,
    // whichever change found it out, since one cause (a read-only or full folder) fails them all.
    bool firstFailureNotice() { return !std::exchange(m_failureTold, true); }

    // How long a change waits for another running writer that holds the lock. Changes run on the
    // window's thread, and a writer needs milliseconds; a lock that cannot be made at all (a read-only,
    // full or foreign folder) is not waited for.
    static constexpr int LockWaitMs = 250;

private:
    QString m_filePath;
    StoreSteps* m_steps;
    bool m_failureTold = false;
};
