#pragma once

#include "SettingsStore.h"

// The sample title in the settings store (section "Settings"). Start-up reads it as "TitleText";
// the default is created as "Titletext"; the store matches the two without regard to case.
class StoredTitle {
public:
    static inline const QString DefaultTitle = QStringLiteral("Hueloom");

    explicit StoredTitle(SettingsStore& store);

    // The stored title, empty when there is none.
    QString read() const;
    // Stores the default title; false when it could not be stored.
    bool createDefault();
    // The default as read back, or the default itself when the store cannot give it.
    QString readDefault() const;
    // Stores a confirmed title; false when it could not be stored.
    bool write(const QString& title);

private:
    SettingsStore& m_store;
};
