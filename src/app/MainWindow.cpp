#include "MainWindow.h"

#include "BriefNote.h"
#include "CheckCommands.h"
#include "ColorChooser.h"
#include "ColourCommands.h"
#include "ColourDrag.h"
#include "CopyCommands.h"
#include "FileCommands.h"
#include "MainActions.h"
#include "MarginSelector.h"
#include "NoteLine.h"
#include "PickCommands.h"
#include "SampleArea.h"
#include "SampleTitle.h"
#include "SpinButton.h"
#include "TagBox.h"
#include "TitleCommands.h"
#include "dialogs/CommonDialog.h"
#include "dialogs/EscapingDialogs.h"
#include "dialogs/QtDialogBackend.h"
#include "info/AboutWindow.h"
#include "info/GuideWindow.h"
#include "info/HelpWindow.h"
#include "info/ShortcutsWindow.h"
#include "info/TroubleWindow.h"
#include "ui/Artwork.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QTextDocument>
#include <QTimer>
#include <xcb/xcb.h>

namespace {

QAction* separator(QObject* parent, const QString& name)
{
    auto* action = new QAction(parent);
    action->setObjectName(name);
    action->setSeparator(true);
    return action;
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<DialogBackend> dialogs, QWidget* parent, Start start, StoreSteps* storeSteps)
    : QMainWindow(parent)
    , m_dialogs(std::make_unique<EscapingDialogs>(dialogs ? std::move(dialogs) : std::make_unique<QtDialogBackend>()))
    , m_document(new SchemeDocument(this))
    , m_store(storeSteps)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Hueloom"));
    m_commonDialog = new CommonDialog(*m_dialogs, this);
    m_actions = std::make_unique<MainActions>(this, m_document->undoStack());

    createMenus();
    buildLayout();
    WindowPlacement::centreOnScreen(this);
    if (start == Start::Shown) {
        show();
        // Qt sends what it asked of X at its next event, after the rest of this; the map goes now.
        if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>(); x11 && x11->connection())
            xcb_flush(x11->connection());
    }

    createPopupMenus();
    createCommands();
    connectActions();
    followDocument();
    followBarMode();
    if (!m_title->readStoredTitle())
        CreateSettings();
    m_title->showStartupTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::paintEvent(QPaintEvent* event)
{
    QMainWindow::paintEvent(event);
    // What the first window does not need waits until it is on screen and painted: the icon (decoding
    // it and sending every size would hold up the window's first appearance) and the tidying of files
    // left behind.
    if (!m_firstPainted) {
        m_firstPainted = true;
        QTimer::singleShot(0, this, [this] {
            setWindowIcon(Artwork::mainIcon());
            m_files->removeLeftovers();
        });
    }
}

void MainWindow::createMenus()
{
    const MainActions& a = *m_actions;
    m_fileMenu = menuBar()->addMenu(tr("&File"));
    m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
    m_fileMenu->addActions({a.open, a.save});
    m_recentMenu = m_fileMenu->addMenu(tr("&Recent Schemes"));
    m_recentMenu->setObjectName(QStringLiteral("RecentMenu"));
    m_recentMenu->menuAction()->setObjectName(QStringLiteral("ItemRecent"));
    m_fileMenu->addActions({a.openPage, separator(this, QStringLiteral("Separator4")), a.print,
        separator(this, QStringLiteral("ItemFileSeparator")), a.exit});

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    m_editMenu->addActions({a.undo, a.redo, separator(this, QStringLiteral("ItemUndoSeparator")), a.copy, a.copyTag});
    QMenu* copyColour = m_editMenu->addMenu(tr("Copy Color &As"));
    copyColour->setObjectName(QStringLiteral("CopyColorMenu"));
    copyColour->menuAction()->setObjectName(QStringLiteral("ItemCopyColorAs"));
    copyColour->addActions({a.copyHex, a.copyRgb, a.copyHsl, a.copyOklch});
    QMenu* copyScheme = m_editMenu->addMenu(tr("Copy Scheme A&s"));
    copyScheme->setObjectName(QStringLiteral("CopySchemeMenu"));
    copyScheme->menuAction()->setObjectName(QStringLiteral("ItemCopySchemeAs"));
    copyScheme->addActions({a.copyCss, a.copyProperties, a.copyTailwind, a.copyTokens, a.copyTokensHex});
    m_editMenu->addActions({separator(this, QStringLiteral("ItemPasteSeparator")), a.pasteColour, a.applyTag,
        separator(this, QStringLiteral("ItemEditSeparate")), a.changeTitle, a.defaultColours});

    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_toolsMenu->addActions({a.colour, a.pickScreen, a.contrast, a.pageCheck, a.fixContrast, a.darkScheme, a.oklchBars,
        separator(this, QStringLiteral("ItemToolsSeparator"))});
    // Pick from Screen says in its tooltip why it is greyed.
    m_toolsMenu->setToolTipsVisible(true);
    m_checks = new CheckCommands({*m_document, *m_dialogs, *m_commonDialog, this});
    m_checks->createVisionMenu(m_toolsMenu);

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    m_helpMenu->addActions(
        {a.help, a.guide, a.trouble, a.shortcuts, separator(this, QStringLiteral("Helpseparator")), a.about});
}

void MainWindow::createCommands()
{
    const CommandContext context{*m_document, *m_dialogs, *m_commonDialog, this};
    m_files = new FileCommands(context, m_store, m_recentMenu);
    m_colours = new ColourCommands(context, m_tagline);
    m_files->setPageDropped([this](const QString& path) { m_colours->applyFile(path); });
    connect(m_colours, &ColourCommands::pageJudged, m_checks, &CheckCommands::pageJudged);
    m_checks->setOpenPage(m_actions->openPage);
    new CopyCommands(context, *m_actions);
    new PickCommands(context, m_actions->pickScreen);
    new ColourDrag(*m_document, this, [this](QEvent* event) { return m_files->handleDrag(event); });
    m_checks->showOn(m_sample, m_sampleCaption);
    m_title = new TitleCommands(m_store, *m_dialogs, this, m_sample->title());
    connect(m_files, &FileCommands::noted, m_notes, &NoteLine::say);
    connect(m_title, &TitleCommands::noted, m_notes, &NoteLine::say);
    connect(m_files, &FileCommands::saved, this, [this](const QString& path) {
        BriefNote::show(noteBeside(), tr("Saved to %1").arg(QDir::toNativeSeparators(path)), BriefNote::Long);
    });
}

void MainWindow::connectActions()
{
    const MainActions& a = *m_actions;
    connect(a.exit, &QAction::triggered, this, &QWidget::close);
    connect(a.open, &QAction::triggered, m_files, &FileCommands::openScheme);
    connect(a.openPage, &QAction::triggered, m_files, &FileCommands::openPage);
    connect(a.save, &QAction::triggered, m_files, [this] {
        m_files->saveScheme(m_triggeringButton && m_triggeringButton->objectName() == QLatin1String("Command3"));
    });
    connect(a.print, &QAction::triggered, m_files, &FileCommands::printRgbChart);
    connect(a.defaultColours, &QAction::triggered, m_colours, &ColourCommands::defaultColours);
    connect(a.colour, &QAction::triggered, m_colours, &ColourCommands::windowsColourDialog);
    connect(a.pasteColour, &QAction::triggered, m_colours, &ColourCommands::pasteColour);
    connect(a.applyTag, &QAction::triggered, m_colours, &ColourCommands::applyTag);
    connect(a.copy, &QAction::triggered, m_colours, &ColourCommands::copySelection);
    connect(a.copyTag, &QAction::triggered, m_colours, &ColourCommands::copyTag);
    // After the copy itself, which every copy command's own connection has made by now.
    for (QAction* copy : {a.copy, a.copyTag, a.copyHex, a.copyRgb, a.copyHsl, a.copyOklch, a.copyCss, a.copyProperties,
             a.copyTailwind, a.copyTokens, a.copyTokensHex})
        connect(copy, &QAction::triggered, this, [this] { BriefNote::show(noteBeside(), tr("Copied")); });
    connect(a.contrast, &QAction::triggered, m_checks, &CheckCommands::showContrastCheck);
    connect(a.pageCheck, &QAction::triggered, m_checks, &CheckCommands::showPageCheck);
    connect(a.fixContrast, &QAction::triggered, m_checks, &CheckCommands::fixContrast);
    connect(a.darkScheme, &QAction::triggered, m_checks, &CheckCommands::makeDarkScheme);
    // The OKLCH lightness bar marks the target the scheme was last fixed for.
    connect(m_checks, &CheckCommands::targetChosen, m_chooser, &ColorChooser::setContrastTarget);
    connect(a.changeTitle, &QAction::triggered, m_title, &TitleCommands::changeTitle);
    connect(a.help, &QAction::triggered, this, [this] { showInfoWindow(m_helpWindow); });
    connect(a.guide, &QAction::triggered, this, [this] { showInfoWindow(m_guideWindow); });
    connect(a.trouble, &QAction::triggered, this, [this] { showInfoWindow(m_troubleWindow); });
    connect(a.about, &QAction::triggered, this, [this] { showInfoWindow(m_aboutWindow); });
    connect(a.shortcuts, &QAction::triggered, this, [this] {
        if (!m_shortcutsWindow) {
            // Every command of the menus: the window's own actions and the simulations.
            // In menu order: the simulations follow the other Tools.
            QList<QAction*> actions = m_actions->all();
            const qsizetype afterTools = actions.indexOf(m_actions->oklchBars) + 1;
            actions = actions.first(afterTools) + findChild<QMenu*>(QStringLiteral("VisionMenu"))->actions()
                + actions.sliced(afterTools);
            m_shortcutsWindow = new ShortcutsWindow(actions, this);
            connect(m_shortcutsWindow, &InfoWindow::dismissed, this, &MainWindow::bringToFront);
        }
        m_shortcutsWindow->show();
        m_shortcutsWindow->raise();
        m_shortcutsWindow->activateWindow();
    });
}

// The bars' mode is kept in the settings store ("BarsInOklch" in section "Settings"), as the title is.
void MainWindow::followBarMode()
{
    const QString application = QStringLiteral("HLM"), section = QStringLiteral("Settings");
    const QString key = QStringLiteral("BarsInOklch");
    m_actions->oklchBars->setChecked(m_store.read(application, section, key) == QLatin1String("1"));
    m_chooser->setOklch(m_actions->oklchBars->isChecked());
    connect(m_actions->oklchBars, &QAction::toggled, this, [this, application, section, key](bool on) {
        m_chooser->setOklch(on);
        m_store.write(application, section, key, on ? QStringLiteral("1") : QStringLiteral("0"));
    });
}

void MainWindow::CreateSettings()
{
    m_title->CreateSettings();
}

void MainWindow::EnableLeft()
{
    m_marginSelector->leftSpin()->setEnabled(true);
}

void MainWindow::DisableLeft()
{
    m_marginSelector->leftSpin()->setEnabled(false);
}

void MainWindow::EnableTop()
{
    m_marginSelector->topSpin()->setEnabled(true);
}

void MainWindow::DisableTop()
{
    m_marginSelector->topSpin()->setEnabled(false);
}

QWidget* MainWindow::noteBeside() const
{
    // The quick-access button clicked; for a key or a menu item, the tag box, which holds what the
    // commands copy and save.
    return m_triggeringButton ? m_triggeringButton : m_tagline;
}

QString MainWindow::titleCaption() const
{
    return m_sample->title()->text();
}

void MainWindow::openSchemeFile(const QString& path, const QString& shownName, bool namedOnCommandLine)
{
    m_files->openSchemeFile(
        path, shownName, namedOnCommandLine ? FileCommands::Origin::CommandLine : FileCommands::Origin::Chosen);
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

void MainWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

bool MainWindow::holdsUnappliedText() const
{
    // Text handed to an Apply Tag still being read is applied already: the box shows the tag when it is.
    return !m_colours->isReadingTag() && m_tagline->toPlainText() != m_document->tag().text();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!m_files->mayClose(holdsUnappliedText())) {
        event->ignore();
        return;
    }
    // Leaving the program takes every window it opened along.
    for (InfoWindow* window : findChildren<InfoWindow*>())
        window->close();
    event->accept();
}

bool MainWindow::event(QEvent* event)
{
    // The note line keeps its note for the session: a menu item's status tip does not cover it.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A file dragged over the tag line is a scheme for the window, not text for the box.
    if (watched == m_tagline->viewport()
        && (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)) {
        const auto* drag = static_cast<QDropEvent*>(event);
        if (drag->mimeData() && drag->mimeData()->hasUrls())
            return m_files->handleDrag(event);
    }
    if (watched == m_tagline && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        const QAction* undo = m_actions->undo;
        const QAction* redo = m_actions->redo;
        // Undo and redo keys edit the text while the tag line has the focus and text of its own to take
        // back, as in any text box. With none (nothing typed since the box last showed the tag, as right
        // after Apply Tag) they act on the scheme, as the Edit menu says.
        const QTextDocument* text = m_tagline->document();
        const bool undoText = undo->shortcuts().contains(pressed) && text->isUndoAvailable();
        const bool redoText = redo->shortcuts().contains(pressed) && text->isRedoAvailable();
        if (undoText || redoText) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (undoText)
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

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    m_files->handleDrag(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    m_files->handleDrag(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    m_files->handleDrag(event);
}
