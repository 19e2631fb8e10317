#include "MainWindow.h"
#include "MainWindowNames.h"

#include "ColorChooser.h"
#include "SampleArea.h"
#include "contrast/ContrastWindow.h"
#include "dialogs/QtDialogBackend.h"
#include "info/AboutWindow.h"
#include "info/HelpWindow.h"
#include "info/TroubleWindow.h"
#include "settings/TitleDialog.h"
#include "ui/Artwork.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUndoStack>

using namespace MainWindowNames;

namespace {

QAction* separator(QObject* parent, const QString& name)
{
    auto* action = new QAction(parent);
    action->setObjectName(name);
    action->setSeparator(true);
    return action;
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<DialogBackend> dialogs, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogBackend>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Hueloom"));
    setWindowIcon(Artwork::mainIcon());
    m_commonDialog = new CommonDialog(*m_dialogs, this);

    createActions();
    createMenus();
    buildLayout();
    createPopupMenus();
    startUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::createActions()
{
    const auto make = [this](const QString& name, const QString& text, const QKeySequence& shortcut = {}) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setShortcut(shortcut);
        // The shortcuts act anywhere in the main window, the tag line included.
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    m_open = make(QStringLiteral("ItemOpen"), tr("&Open Scheme"), QKeySequence(Qt::CTRL | Qt::Key_O));
    m_save = make(QStringLiteral("ItemSave"), tr("&Save Scheme"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m_print = make(QStringLiteral("ItemPrint"), tr("&Print RGB Values"), QKeySequence(Qt::CTRL | Qt::Key_P));
    m_exit = make(QStringLiteral("ItemExit"), tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));
    m_copy = make(QStringLiteral("ItemCopy"), tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    m_copyTag = make(QStringLiteral("ItemCopyTag"), tr("Copy &Tag"), QKeySequence(Qt::CTRL | Qt::Key_T));
    m_changeTitle = make(QStringLiteral("ItemChange"), tr("C&hange Title"));
    m_default = make(QStringLiteral("ItemDefault"), tr("&Default Colors"));
    m_colour = make(QStringLiteral("ItemColor"), tr("&Windows Color Dialog"), QKeySequence(Qt::CTRL | Qt::Key_W));
    m_help = make(QStringLiteral("ItemHelp"), tr("&Help Screen"), QKeySequence(Qt::Key_F1));
    m_trouble = make(QStringLiteral("ItemTrouble"), tr("&Trouble Shooting"));
    m_about = make(QStringLiteral("ItemAbout"), tr("&About"));
    // Beyond the classic commands. "S" marks Copy as CSS, so Alt+E, C still means Copy.
    m_copyCss = make(QStringLiteral("ItemCopyCss"), tr("Copy as C&SS"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    m_contrast = make(QStringLiteral("ItemContrast"), tr("&Contrast Check"), QKeySequence(Qt::CTRL | Qt::Key_K));

    // Undo and redo name the step they take back ("&Undo Text Color") and are greyed with nothing to do.
    m_undoStack = new QUndoStack(this);
    m_undo = m_undoStack->createUndoAction(this, tr("&Undo"));
    m_undo->setObjectName(QStringLiteral("ItemUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_undo->setShortcutContext(Qt::WindowShortcut);
    m_redo = m_undoStack->createRedoAction(this, tr("&Redo"));
    m_redo->setObjectName(QStringLiteral("ItemRedo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    m_redo->setShortcutContext(Qt::WindowShortcut);
    m_pasteColour
        = make(QStringLiteral("ItemPasteColor"), tr("&Paste Color"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    m_applyTag = make(QStringLiteral("ItemApplyTag"), tr("&Apply Tag"), QKeySequence(Qt::CTRL | Qt::Key_Return));
    m_fixContrast
        = make(QStringLiteral("ItemFixContrast"), tr("&Fix Contrast"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    connect(m_fixContrast, &QAction::triggered, this, &MainWindow::fixContrast);
    connect(m_pasteColour, &QAction::triggered, this, &MainWindow::pasteColour);
    connect(m_applyTag, &QAction::triggered, this, &MainWindow::applyTag);

    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    connect(m_default, &QAction::triggered, this, &MainWindow::defaultColours);
    connect(m_changeTitle, &QAction::triggered, this, &MainWindow::changeTitle);
    connect(m_open, &QAction::triggered, this, &MainWindow::openScheme);
    connect(m_save, &QAction::triggered, this, &MainWindow::saveScheme);
    connect(m_colour, &QAction::triggered, this, &MainWindow::windowsColourDialog);
    connect(m_print, &QAction::triggered, this, &MainWindow::printRgbChart);
    connect(m_copy, &QAction::triggered, this, &MainWindow::copySelection);
    connect(m_copyTag, &QAction::triggered, this, &MainWindow::copyTag);
    connect(m_copyCss, &QAction::triggered, this, &MainWindow::copyCss);
    connect(m_contrast, &QAction::triggered, this, &MainWindow::showContrastCheck);
    connect(m_help, &QAction::triggered, this, &MainWindow::showHelp);
    connect(m_trouble, &QAction::triggered, this, &MainWindow::showTroubleShooting);
    connect(m_about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createMenus()
{
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    m_fileMenu->addActions({m_open, m_save});
    m_recentMenu = m_fileMenu->addMenu(tr("&Recent Schemes"));
    m_recentMenu->setObjectName(QStringLiteral("RecentMenu"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("ItemRecent"));
    m_fileMenu->addActions({separator(this, QStringLiteral("Separator4")), m_print,
        separator(this, QStringLiteral("ItemFileSeparator")), m_exit});

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    m_editMenu->addActions({m_undo, m_redo, separator(this, QStringLiteral("ItemUndoSeparator")), m_copy, m_copyTag,
        m_copyCss, separator(this, QStringLiteral("ItemPasteSeparator")), m_pasteColour, m_applyTag,
        separator(this, QStringLiteral("ItemEditSeparate")), m_changeTitle, m_default});

    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_toolsMenu->addActions(
        {m_colour, m_contrast, m_fixContrast, separator(this, QStringLiteral("ItemToolsSeparator"))});
    createVisionMenu();

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    m_helpMenu->addActions({m_help, m_trouble, separator(this, QStringLiteral("Helpseparator")), m_about});
}

void MainWindow::startUp()
{
    WindowPlacement::centreOnScreen(this);

    m_margins = Margins{};
    m_marginPreview->move(m_margins.previewPosition());

    // The tag starts as the default scheme's own tag, so it never disagrees with what the sample shows.
    m_tag.setText(BodyTag::compose(ColorScheme::defaults(), m_margins));
    showTag();

    // The bars still stand at 0, like the all-zero model: selecting the background moves nothing.
    m_chooser->select(Slot::Background);
    m_scheme = ColorScheme::defaults();
    m_savedScheme = m_scheme;
    showStoredTitle();
    readRecentSchemes();

    setBars(m_scheme.colour(Slot::Background));
    recolourWholeSample();
}

namespace {
const QString DefaultTitle = QStringLiteral("Hueloom");
} // namespace

void MainWindow::showStoredTitle()
{
    m_startupTitle = m_store.read(StoreApplication, SettingsSection, QStringLiteral("TitleText"));
    if (m_startupTitle.isEmpty())
        CreateSettings();
    m_sample->title()->setText(m_startupTitle);
}

void MainWindow::CreateSettings()
{
    if (!m_store.write(StoreApplication, SettingsSection, QStringLiteral("Titletext"), DefaultTitle))
        reportUnstoredTitle();
    m_startupTitle = m_store.read(StoreApplication, SettingsSection, QStringLiteral("Titletext"));
    // A store that cannot be read back still leaves the sample its default title.
    if (m_startupTitle.isEmpty())
        m_startupTitle = DefaultTitle;
}

void MainWindow::changeTitle()
{
    TitleDialog dialog(this);
    dialog.exec();
    if (!dialog.confirmedTitle().isEmpty())
        m_pendingTitle = dialog.confirmedTitle();
    if (m_pendingTitle.isEmpty())
        return;
    if (!m_store.write(StoreApplication, SettingsSection, QStringLiteral("TitleText"), m_pendingTitle))
        reportUnstoredTitle();
    m_sample->title()->setText(m_pendingTitle);
}

QString MainWindow::titleCaption() const
{
    return m_sample->title()->text();
}

void MainWindow::reportUnstoredTitle()
{
    // Said once a run: the title still works for this run, it just will not be there next time.
    if (m_toldStoreFailure)
        return;
    m_toldStoreFailure = true;
    const QString text = tr("The sample title could not be stored in %1.  It is used for this session only.")
                             .arg(QDir::toNativeSeparators(m_store.filePath()));
    // At start-up the window is not on screen yet; the message waits until it is.
    QMetaObject::invokeMethod(
        this, [this, text] { m_dialogs->message(this, Caption, text); }, Qt::QueuedConnection);
}

template <typename Window> void MainWindow::showInfoWindow(QPointer<Window>& window)
{
    if (!window) {
        window = new Window(this);
        connect(window, &InfoWindow::dismissed, this, &MainWindow::bringToFront);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::showHelp()
{
    showInfoWindow(m_helpWindow);
}

void MainWindow::showTroubleShooting()
{
    showInfoWindow(m_troubleWindow);
}

void MainWindow::showAbout()
{
    showInfoWindow(m_aboutWindow);
}

void MainWindow::showContrastCheck()
{
    const bool made = !m_contrastWindow;
    showInfoWindow(m_contrastWindow);
    if (made) {
        connect(this, &MainWindow::schemeChanged, m_contrastWindow, [this] { m_contrastWindow->showScheme(m_scheme); });
        m_contrastWindow->setSimulation(m_vision, m_scheme);
    }
}

void MainWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    // Leaving the program takes every window it opened along.
    for (InfoWindow* window : findChildren<InfoWindow*>())
        window->close();
    event->accept();
}

bool MainWindow::mayClose()
{
    if (!hasUnsavedChanges())
        return true;
    const QString question = tr("The colour scheme has changed since it was last saved or opened.  Do you want "
                                "to save it before Hueloom ends?");
    switch (m_dialogs->askToSave(this, Caption, question)) {
    case DialogBackend::SaveChoice::Save:
        return saveScheme();
    case DialogBackend::SaveChoice::Discard:
        return true;
    case DialogBackend::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A file dragged over the tag line is a scheme for the window, not text for the box.
    if (watched == m_tagline->viewport()
        && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)) {
        const auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() && drag->mimeData()->hasUrls())
            return handleDrag(event);
    }
    if (watched == m_tagline && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        // Undo and redo keys edit the text while the tag line has the focus, as in any text box.
        if (m_undo->shortcuts().contains(pressed) || m_redo->shortcuts().contains(pressed)) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (m_undo->shortcuts().contains(pressed))
                m_tagline->undo();
            else
                m_tagline->redo();
            return true;
        }
        // The tag line would take Ctrl+X and Ctrl+C for cut and copy; the window's commands win there.
        if (event->type() == QEvent::ShortcutOverride) {
            for (const QAction* action : findChildren<QAction*>()) {
                if (action->shortcuts().contains(pressed)) {
                    event->ignore();
                    return true;
                }
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
