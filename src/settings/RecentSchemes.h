#pragma once

#include "SettingsStore.h"

#include <QStringList>

// The last scheme files opened or saved, newest first, kept in the settings store (section
// "Recent Schemes", keys File1 to File5, read in any letter case). Each change starts from the list
// as the store holds it at that moment, so files another running Hueloom added meanwhile stay; the
// list this object shows holds for the session even when the store cannot be written.
class RecentSchemes {
public:
    static constexpr int Count = 5;

    explicit RecentSchemes(SettingsStore& store);

    // The list as last read or changed.
    const QStringList& files() const { return m_files; }
    // Reads the list from the store.
    void load();
    // Puts `path` at the top. False when the store could not keep the change.
    bool remember(const QString& path);
    // Takes `path` out of the list.
    bool forget(const QString& path);
    bool clear();

private:
    // Applies `change` to the stored list (or, when the store cannot be read, to this session's).
    bool change(const std::function<QStringList(QStringList)>& edit);
    static QStringList fromEntries(const SettingsStore::Entries& entries);

    SettingsStore& m_store;
    QStringList m_files;
};
