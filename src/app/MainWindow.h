#pragma once

#include "dialogs/DialogBackend.h"
#include "document/SchemeDocument.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

class AboutWindow;
class CheckCommands;
class ColorChooser;
class ColourCommands;
class CommonDialog;
class FileCommands;
class GuideWindow;
class HelpWindow;
class MarginSelector;
class NoteLine;
class PopupMenus;
class QLabel;
class QMenu;
class SampleArea;
class ShortcutsWindow;
class TagBox;
class TitleCommands;
class TroubleWindow;
struct MainActions;

// Form1: the window around the scheme document. It lays out the views that show the document, the
// menus and buttons that reach the commands, and the pop-up menus; the document holds the scheme and
// the command groups do the work.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers every modal question; without one the window uses Qt's own dialogs.
    // Shown: the window is shown as soon as it is laid out and placed, and the rest of its making (the
    // commands, the document's values, the stored title) is done before its first paint, so the window
    // system maps it sooner. Hidden: shown by the caller.
    enum class Start { Hidden, Shown };
    // `storeSteps`, when given, is told of every change of the window's settings store.
    explicit MainWindow(std::unique_ptr<DialogBackend> dialogs = {},
        QWidget* parent = nullptr,
        Start start = Start::Hidden,
        StoreSteps* storeSteps = nullptr);
    ~MainWindow() override;

    // Stores the default sample title and reads it back as the start-up title.
    void CreateSettings();
    void EnableLeft();
    void DisableLeft();
    void EnableTop();
    void DisableTop();
    // Shows the window, or only raises it when it is shown already.
    void bringToFront();

    SchemeDocument& document() { return *m_document; }
    const ColourScheme& scheme() const { return m_document->scheme(); }
    BodyTag tag() const { return m_document->tag(); }
    const Margins& margins() const { return m_document->margins(); }
    int selectedSlot() const { return m_document->selectedSlot(); }
    SchemeState state() const { return m_document->state(); }
    QUndoStack& undoStack() { return m_document->undoStack(); }
    bool hasUnsavedChanges() const { return m_document->hasUnsavedChanges(); }
    // The tag box holds text the user typed, pasted or dropped that differs from the tag and was not
    // applied: closing the window asks before it is lost.
    bool holdsUnappliedText() const;
    CommonDialog& commonDialog() { return *m_commonDialog; }
    const MainActions& actions() const { return *m_actions; }
    QString titleCaption() const;

    // Opens a scheme file without asking for it, as Open Scheme does once a file is chosen (see
    // FileCommands::openSchemeFile for `shownName`). A missing file named on the command line is only
    // said to be missing.
    void openSchemeFile(const QString& path, const QString& shownName = {}, bool namedOnCommandLine = false);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_firstPainted = false;
    void createMenus();
    void buildLayout();
    QWidget* buildQuickAccess(QWidget* parent);
    void createPopupMenus();
    void createCommands();
    void connectActions();
    void followDocument();
    void followBarMode();
    template <typename Window> void showInfoWindow(QPointer<Window>& window);
    // The control a brief note on a command's result stands beside.
    QWidget* noteBeside() const;

    std::unique_ptr<DialogBackend> m_dialogs;
    SchemeDocument* m_document;
    CommonDialog* m_commonDialog = nullptr;
    SettingsStore m_store;
    std::unique_ptr<MainActions> m_actions;
    // The quick-access button whose click is running its command, if any.
    QWidget* m_triggeringButton = nullptr;

    FileCommands* m_files = nullptr;
    ColourCommands* m_colours = nullptr;
    CheckCommands* m_checks = nullptr;
    TitleCommands* m_title = nullptr;

    QPointer<HelpWindow> m_helpWindow;
    QPointer<GuideWindow> m_guideWindow;
    QPointer<TroubleWindow> m_troubleWindow;
    QPointer<AboutWindow> m_aboutWindow;
    QPointer<ShortcutsWindow> m_shortcutsWindow;

    ColorChooser* m_chooser = nullptr;
    MarginSelector* m_marginSelector = nullptr;
    SampleArea* m_sample = nullptr;
    TagBox* m_tagline = nullptr;
    QLabel* m_marginPreview = nullptr;
    QLabel* m_sampleCaption = nullptr;
    NoteLine* m_notes = nullptr;

    PopupMenus* m_popups = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
};
