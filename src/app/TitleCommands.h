#pragma once

#include <QObject>
#include <QString>

class DialogBackend;
class QLabel;
class QWidget;
class SettingsStore;

// The sample title kept in the settings store: read at start, created when there is none, and changed
// through the title dialog. A store that cannot keep it is said once a run.
class TitleCommands : public QObject {
    Q_OBJECT
public:
    TitleCommands(SettingsStore& store, DialogBackend& dialogs, QWidget* window, QLabel* title);

    // Reads the stored title as the start-up title; false when none is stored.
    bool readStoredTitle();
    void showStartupTitle();
    // Stores the default sample title and reads it back as the start-up title.
    void CreateSettings();
    void changeTitle();

signals:
    // Something the user should know that needs no answer, for the window's note line.
    void noted(const QString& text);

private:
    void reportUnstoredTitle();

    SettingsStore& m_store;
    DialogBackend& m_dialogs;
    QWidget* m_window;
    QLabel* m_title;
    QString m_startupTitle;
    // The last title confirmed in the title dialog; kept for the whole run.
    QString m_pendingTitle;
};
