#pragma once

#include <QString>

// The per-user settings store: texts by application, section and key, kept in an INI file in the
// user's configuration folder ($XDG_CONFIG_HOME/Hueloom/hueloom.ini). Names match without regard to
// letter case, so a value written as "Titletext" is read back as "TitleText" and the other way round.
class SettingsStore {
public:
    SettingsStore();
    explicit SettingsStore(QString filePath);

    static QString defaultFilePath();
    const QString& filePath() const { return m_filePath; }

    // The stored text as written, commas included, or `fallback` when there is none or the store
    // cannot be read. A store that cannot be parsed, or holds something other than a text, is left
    // as it is for the rest of the run: later writes to it fail.
    QString read(
        const QString& application, const QString& section, const QString& key, const QString& fallback = {}) const;
    // Creates or replaces a value; false when it could not be stored. Waits well under a second for
    // another writer and takes over a lock left by a killed one.
    bool write(const QString& application, const QString& section, const QString& key, const QString& value);

private:
    QString m_filePath;
};
