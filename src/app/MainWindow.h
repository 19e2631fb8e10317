#pragma once

#include "SchemeCommand.h"
#include "dialogs/CommonDialog.h"
#include "scheme/BodyTag.h"
#include "scheme/ColorScheme.h"
#include "scheme/ColourVision.h"
#include "scheme/Margins.h"
#include "settings/SettingsStore.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class AboutWindow;
class ColorChooser;
class ContrastWindow;
class HelpWindow;
class TroubleWindow;
class DialogBackend;
class MarginSelector;
class PopupMenus;
class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QUndoStack;
class SampleArea;

// Form1: the scheme, the sample, the tag and every command. It owns the fifteen channel values, the
// selected slot, the margins and the tag text for the life of the program.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers every modal question; without one the window uses Qt's own dialogs.
    explicit MainWindow(std::unique_ptr<DialogBackend> dialogs = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Public operations of the window.
    // Stores the default sample title and reads it back as the start-up title.
    void CreateSettings();
    void EnableLeft();
    void DisableLeft();
    void EnableTop();
    void DisableTop();
    // Shows the window, or only raises it when it is shown already.
    void bringToFront();

    const ColorScheme& scheme() const { return m_scheme; }
    const BodyTag& tag() const { return m_tag; }
    const Margins& margins() const { return m_margins; }
    int selectedSlot() const;
    CommonDialog& commonDialog() { return *m_commonDialog; }

    // Commands (each menu item, shortcut and button reaches one of these through its action).
    void defaultColours();
    void changeTitle();
    void openScheme();
    // True when the scheme was written.
    bool saveScheme();
    void windowsColourDialog();
    void printRgbChart();
    void copySelection();
    void copyTag();
    void copyCss();
    void showContrastCheck();
    void pasteColour();
    void fixContrast();
    // Shows the sample as a reader with `deficiency` sees it.
    void simulateVision(ColourVision::Deficiency deficiency);
    void applyTag();
    void showHelp();
    void showTroubleShooting();
    void showAbout();
    // Opens a scheme file without asking for it, as Open Scheme does once a file is chosen.
    // `shownName` stands for a path the dialogs cannot name (a file reached through an open descriptor,
    // whose name is not valid UTF-8): the dialogs offer it, and the recent list leaves the file out.
    void openSchemeFile(const QString& path, const QString& shownName = {});

    QString titleCaption() const;

    // The scheme, margins and tag as shown now.
    SchemeState state() const;
    QUndoStack& undoStack() { return *m_undoStack; }
    // The fifteen values differ from the scheme last saved or opened (at start, the defaults).
    bool hasUnsavedChanges() const;

signals:
    // The fifteen channel values changed.
    void schemeChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createPopupMenus();
    void buildLayout();
    QWidget* buildQuickAccess(QWidget* parent);
    void startUp();

    // The scheme.
    void selectSlot(int slot);
    void channelChange(int channel, int value);
    void recolourSample(int slot);
    void recolourWholeSample();
    void refreshContrastHints();
    void setBars(const QColor& colour);
    // Writes all five colours of the scheme into the tag and shows it.
    void showWholeScheme();

    // Undo: runs `change` and records what it did as one step named `text`; steps of one `gesture`
    // that follow each other quickly merge.
    void recordChange(const QString& text, int gesture, const std::function<void()>& change);
    void recordChange(const QString& text, const std::function<void()>& change)
    {
        recordChange(text, SchemeCommand::NoMerge, change);
    }
    // Shows a recorded state again, with `slot` selected.
    void showState(const SchemeState& shown, int slot);
    void showMargins();
    QString slotCaption(int slot) const;
    void createVisionMenu();
    // A colour as the simulation in use shows it on the sample.
    QColor seen(const QColor& colour) const;
    // Gives `slot` a colour from outside the bars, as one undo step named `step`.
    void giveSlotColour(int slot, const QColor& colour, const QString& step);

    // Dropped files; true when `event` was a drag or drop and has been answered.
    bool handleDrag(QEvent* event);

    // The recent scheme files, newest first, kept in the settings store.
    QStringList recentSchemes() const;
    void readRecentSchemes();
    void storeRecentSchemes(const QStringList& files);
    void rememberScheme(const QString& path);
    void rebuildRecentMenu();
    void openRecentScheme(const QString& path);
    // Asks whether to save a changed scheme before the program ends; true when it may end.
    bool mayClose();

    // Settings the file dialogs share.
    void prepareFileDialog(const QString& title, quint32 flags);

    // The stored title.
    void showStoredTitle();
    void reportUnstoredTitle();
    template <typename Window> void showInfoWindow(QPointer<Window>& window);

    // The tag and the margins.
    void showTag();
    void stepLeftMargin(int delta);
    void stepTopMargin(int delta);
    void marginBoxClicked();
    void applyMarginBoxes();

    std::unique_ptr<DialogBackend> m_dialogs;
    // The quick-access button whose click is running its command, if any.
    const QObject* m_triggeringButton = nullptr;
    CommonDialog* m_commonDialog = nullptr;

    SettingsStore m_store;
    QString m_startupTitle;
    // The last title confirmed in the title dialog; kept for the whole run.
    QString m_pendingTitle;
    bool m_toldStoreFailure = false;

    QPointer<HelpWindow> m_helpWindow;
    QPointer<TroubleWindow> m_troubleWindow;
    QPointer<AboutWindow> m_aboutWindow;
    QPointer<ContrastWindow> m_contrastWindow;

    ColorScheme m_scheme;
    // The scheme last saved or opened, which Exit compares against.
    ColorScheme m_savedScheme;
    BodyTag m_tag;
    Margins m_margins;

    QUndoStack* m_undoStack = nullptr;
    // Set while a recorded change runs, and while a recorded state is shown again.
    bool m_changing = false;
    bool m_restoring = false;

    ColorChooser* m_chooser = nullptr;
    MarginSelector* m_marginSelector = nullptr;
    SampleArea* m_sample = nullptr;
    QPlainTextEdit* m_tagline = nullptr;
    QLabel* m_marginPreview = nullptr;

    PopupMenus* m_popups = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_toolsMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_recentMenu = nullptr;
    QStringList m_recentSchemes;
    QMenu* m_visionMenu = nullptr;
    QLabel* m_sampleCaption = nullptr;
    ColourVision::Deficiency m_vision = ColourVision::Deficiency::Normal;

    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_print = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_copy = nullptr;
    QAction* m_copyTag = nullptr;
    QAction* m_changeTitle = nullptr;
    QAction* m_default = nullptr;
    QAction* m_colour = nullptr;
    QAction* m_help = nullptr;
    QAction* m_trouble = nullptr;
    QAction* m_about = nullptr;
    QAction* m_copyCss = nullptr;
    QAction* m_contrast = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QAction* m_pasteColour = nullptr;
    QAction* m_applyTag = nullptr;
    QAction* m_fixContrast = nullptr;
};
