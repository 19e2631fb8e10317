#pragma once

#include "CommandContext.h"
#include "settings/RecentSchemes.h"

#include <QObject>
#include <QStringList>
#include <functional>

class QEvent;
class QMenu;
class SettingsStore;

// Scheme files and printing: Open and Save Scheme, opening a named or dropped file, the recent scheme
// files, the RGB chart, and the question before a changed scheme is left.
class FileCommands : public QObject {
    Q_OBJECT
public:
    FileCommands(const CommandContext& context, SettingsStore& store, QMenu* recentMenu);

    // Removes what saves killed halfway left behind: beside the settings, beside the file dialog's own
    // settings, and in the recent schemes' folders. Done once the window is up, since those folders may
    // be slow to list.
    void removeLeftovers();

    void openScheme();
    // File > Open Page: a page or a style sheet chosen in the open dialog, read and applied as a
    // dropped one is.
    void openPage();
    // True when the scheme was written. The quick-access button words a failure slightly differently.
    bool saveScheme(bool fromButton = false);
    // Opens a scheme file without asking for it, as Open Scheme does once a file is chosen.
    // `shownName` stands for a path the dialogs cannot name (a file reached through an open descriptor,
    // whose name is not valid UTF-8): the dialogs offer it, and the recent list leaves the file out.
    // A file named on the command line that does not exist is only said to be missing.
    enum class Origin { Chosen, CommandLine };
    void openSchemeFile(const QString& path, const QString& shownName = {}, Origin origin = Origin::Chosen);
    void printRgbChart();
    // Asks whether to save a changed scheme, and whether to lose the tag box's unapplied text
    // (`unappliedText`), before the program ends; true when it may end.
    bool mayClose(bool unappliedText = false);

    // A file dragged over or dropped on the window; true when `event` was one and is answered. A scheme
    // is opened; a page or a style sheet (.html, .htm, .css) is handed to `pageDropped`.
    bool handleDrag(QEvent* event);
    void setPageDropped(std::function<void(const QString& path)> pageDropped)
    {
        m_pageDropped = std::move(pageDropped);
    }

signals:
    // Something the user should know that needs no answer, for the window's note line.
    void noted(const QString& text);
    // The scheme was written to `path`, as the user named it.
    void saved(const QString& path);

private:
    // Says once a run that the recent list could not be stored, when `stored` is false.
    void recentStored(bool stored);
    void rebuildRecentMenu();
    void openRecentScheme(const QString& path);

    CommandContext m_context;
    SettingsStore& m_store;
    QMenu* m_recentMenu;
    RecentSchemes m_recent;
    std::function<void(const QString& path)> m_pageDropped;
};
