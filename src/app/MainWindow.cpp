#include "MainWindow.h"

#include "ColorChooser.h"
#include "ContrastWindow.h"
#include "Controls.h"
#include "Fonts.h"
#include "MarginSelector.h"
#include "PopupMenus.h"
#include "SampleArea.h"
#include "SpinButton.h"
#include "WindowPlacement.h"
#include "dialogs/QtDialogBackend.h"
#include "info/AboutWindow.h"
#include "info/Artwork.h"
#include "info/HelpWindow.h"
#include "info/TroubleWindow.h"
#include "scheme/Contrast.h"
#include "scheme/ValueText.h"
#include "settings/TitleDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

using Controls::place;

namespace {

const QColor WindowGrey(0xC0, 0xC0, 0xC0);

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
    m_fileMenu->addActions({m_open, m_save, separator(this, QStringLiteral("Separator4")), m_print,
        separator(this, QStringLiteral("ItemFileSeparator")), m_exit});

    m_editMenu = menuBar()->addMenu(tr("&Edit"));
    m_editMenu->setObjectName(QStringLiteral("EditMenu"));
    m_editMenu->addActions(
        {m_copy, m_copyTag, m_copyCss, separator(this, QStringLiteral("ItemEditSeparate")), m_changeTitle, m_default});

    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_toolsMenu->addActions({m_colour, m_contrast});

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->setObjectName(QStringLiteral("HelpMenu"));
    m_helpMenu->addActions({m_help, m_trouble, separator(this, QStringLiteral("Helpseparator")), m_about});
}

void MainWindow::buildLayout()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(669, 448);
    client->setAutoFillBackground(true);
    QPalette grey = client->palette();
    grey.setColor(QPalette::Window, WindowGrey);
    grey.setColor(QPalette::Button, grey.color(QPalette::Button));
    client->setPalette(grey);
    setCentralWidget(client);

    m_chooser = place(new ColorChooser(client), QStringLiteral("Frame1"), QRect(8, 0, 401, 145));

    auto* tagFrame = place(new QGroupBox(tr("Tag"), client), QStringLiteral("Frame2"), QRect(8, 152, 481, 57));
    m_tagline = place(new QPlainTextEdit(tagFrame), QStringLiteral("tagline"), QRect(8, 16, 465, 33));
    m_tagline->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_tagline->setTabChangesFocus(true);
    m_tagline->setAccessibleName(tr("Body tag"));

    m_marginSelector = place(new MarginSelector(client), QStringLiteral("Frame3"), QRect(8, 216, 481, 57));
    place(buildQuickAccess(client), QStringLiteral("Frame4"), QRect(416, 0, 249, 145));

    Controls::label(client, QStringLiteral("Label4"), tr("Sample"), {8, 280, 49, 17});
    m_sample = place(new SampleArea(client), QStringLiteral("background"), QRect(8, 296, 657, 145));

    // The corner of the page the margin preview is measured from.
    for (const auto& [name, geometry] : {std::pair{QStringLiteral("Line2"), QRect(503, 159, 1, 138)},
             std::pair{QStringLiteral("Line1"), QRect(503, 159, 170, 1)}}) {
        auto* line = place(new QFrame(client), name, geometry);
        // Presses on a guide line are presses on the window.
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setAutoFillBackground(true);
        QPalette ink = line->palette();
        ink.setColor(QPalette::Window, ink.color(QPalette::WindowText));
        line->setPalette(ink);
    }
    m_marginPreview = Controls::label(client, QStringLiteral("Label7"),
        tr("This is a sample of what your text borders in Internet Explorer 3.0 would look like."), {504, 160, 98, 81});
    m_marginPreview->setWordWrap(true);
    m_marginPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(m_chooser, &ColorChooser::slotSelected, this, &MainWindow::selectSlot);
    connect(m_chooser, &ColorChooser::channelChanged, this, &MainWindow::channelChange);
    connect(m_marginSelector, &MarginSelector::leftStepped, this, &MainWindow::stepLeftMargin);
    connect(m_marginSelector, &MarginSelector::topStepped, this, &MainWindow::stepTopMargin);
    connect(m_marginSelector, &MarginSelector::boxClicked, this, &MainWindow::marginBoxClicked);

    // Keyboard order: bars, tag line, slot options, spin buttons, margin boxes, quick-access buttons.
    QList<QWidget*> order{m_chooser->bar(0), m_chooser->bar(1), m_chooser->bar(2), m_tagline};
    for (int slot = 0; slot < Slot::Count; ++slot)
        order << m_chooser->option(slot);
    order << m_marginSelector->topSpin() << m_marginSelector->leftSpin() << m_marginSelector->leftBox()
          << m_marginSelector->topBox();
    for (int i = 1; i <= 8; ++i)
        order << client->findChild<QPushButton*>(QStringLiteral("Command%1").arg(i));
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order.at(i), order.at(i + 1));

    m_tagline->installEventFilter(this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::createPopupMenus()
{
    m_popups = new PopupMenus(this);
    const std::pair<QMenu*, QStringList> menus[] = {
        {m_fileMenu, {"client", "Frame4", "Command1", "Command3", "Command5", "Label4", "Label7"}},
        {m_editMenu,
            {"Frame2", "Command2", "Command7", "background", "Title", "Normal", "newlink", "visitedlink",
                "activelink"}},
        {m_toolsMenu,
            {"Frame1", "cc(0)", "cc(1)", "cc(2)", "cc(3)", "cc(4)", "Red", "Green", "Blue", "Label1", "Label2",
                "Label3", "Command4"}},
        {m_helpMenu, {"Command6", "Command8"}},
    };
    for (const auto& [menu, controls] : menus)
        for (const QString& control : controls) {
            QWidget* widget = findChild<QWidget*>(control);
            Q_ASSERT(widget);
            if (widget)
                m_popups->add(widget, menu);
        }

    // In the tag line the left button opens the Edit menu; the right one opens nothing.
    m_popups->add(m_tagline->viewport(), m_editMenu, Qt::LeftButton, true);
    m_popups->addQuiet(m_tagline);
    m_popups->addQuiet(m_tagline->verticalScrollBar());
    m_popups->addQuiet(m_tagline->horizontalScrollBar());
    // The margin selector, everything in it, and the scroll bars open no menu at all.
    m_popups->addQuiet(m_marginSelector);
    for (QWidget* inside : m_marginSelector->findChildren<QWidget*>())
        m_popups->addQuiet(inside);
    for (int channel = 0; channel < Channel::Count; ++channel)
        m_popups->addQuiet(m_chooser->bar(channel));
}

QWidget* MainWindow::buildQuickAccess(QWidget* parent)
{
    auto* frame = new QGroupBox(tr("Quick Access Buttons"), parent);
    struct ButtonLayout {
        const char* caption;
        QPoint position;
        QAction* action;
    };
    const ButtonLayout buttons[] = {
        {"Open HLM File", {8, 16}, m_open},
        {"Copy Selected", {128, 16}, m_copy},
        {"Save HLM File", {8, 48}, m_save},
        {"Color Chooser", {128, 48}, m_colour},
        {"Print RGB codes", {8, 80}, m_print},
        {"Help Screen", {128, 80}, m_help},
        {"Copy Tag", {8, 112}, m_copyTag},
        {"About HLM", {128, 112}, m_about},
    };
    int number = 1;
    for (const ButtonLayout& layout : buttons) {
        auto* button = place(new QPushButton(tr(layout.caption), frame), QStringLiteral("Command%1").arg(number++),
            QRect(layout.position, QSize(113, 25)));
        button->setFont(Fonts::serif(9));
        button->setAutoDefault(false);
        // One command, one operation: the button runs its menu item's action.
        connect(button, &QPushButton::clicked, this, [this, button, action = layout.action] {
            const QScopedValueRollback<const QObject*> triggering(m_triggeringButton, button);
            action->trigger();
        });
    }
    return frame;
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
    showStoredTitle();

    setBars(m_scheme.colour(Slot::Background));
    recolourWholeSample();
}

int MainWindow::selectedSlot() const
{
    return m_chooser->selectedSlot();
}

void MainWindow::selectSlot(int slot)
{
    for (int c = 0; c < Channel::Count; ++c) {
        const int value = m_scheme.channel(slot, c);
        m_chooser->setBarValue(c, value);
        m_chooser->setValueText(c, ValueText::value(value));
    }
}

void MainWindow::channelChange(int channel, int value)
{
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    m_chooser->setValueText(channel, ValueText::value(value));
    m_tag.writeChannel(slot, channel, value);
    m_scheme.setChannel(slot, channel, static_cast<qint16>(value));
    recolourSample(slot);
    showTag();
    emit schemeChanged();
}

void MainWindow::recolourSample(int slot)
{
    m_sample->recolour(slot, m_scheme.colour(slot));
    refreshContrastHints();
}

void MainWindow::refreshContrastHints()
{
    const QColor page = m_scheme.colour(Slot::Background);
    for (int slot = Slot::Text; slot < Slot::Count; ++slot) {
        const double ratio = Contrast::ratio(m_scheme.colour(slot), page);
        const QString hint = tr("Contrast against the background: %1:1, reaches %2")
                                 .arg(Contrast::ratioText(ratio), Contrast::levelReached(ratio));
        m_sample->line(slot)->setToolTip(hint);
        if (slot == Slot::Text)
            m_sample->title()->setToolTip(hint);
    }
}

void MainWindow::recolourWholeSample()
{
    for (int slot = 0; slot < Slot::Count; ++slot)
        recolourSample(slot);
}

void MainWindow::setBars(const QColor& colour)
{
    // Each bar that moves runs its channel change before the next one is set.
    m_chooser->setBarValue(Channel::Red, colour.red());
    m_chooser->setBarValue(Channel::Green, colour.green());
    m_chooser->setBarValue(Channel::Blue, colour.blue());
}

void MainWindow::defaultColours()
{
    m_scheme = ColorScheme::defaults();
    m_chooser->select(Slot::Background);
    setBars(m_scheme.colour(Slot::Background));
    recolourWholeSample();
    showWholeScheme();
}

void MainWindow::showWholeScheme()
{
    // Every colour goes into the tag, not only the background pairs a moving bar rewrote.
    for (int slot = 0; slot < Slot::Count; ++slot)
        m_tag.writeColour(slot, m_scheme.colour(slot));
    showTag();
    emit schemeChanged();
}

namespace {
const QString StoreApplication = QStringLiteral("HLM");
const QString StoreSection = QStringLiteral("Settings");
const QString DefaultTitle = QStringLiteral("Hueloom");
} // namespace

void MainWindow::showStoredTitle()
{
    m_startupTitle = m_store.read(StoreApplication, StoreSection, QStringLiteral("TitleText"));
    if (m_startupTitle.isEmpty())
        CreateSettings();
    m_sample->title()->setText(m_startupTitle);
}

void MainWindow::CreateSettings()
{
    if (!m_store.write(StoreApplication, StoreSection, QStringLiteral("Titletext"), DefaultTitle))
        reportUnstoredTitle();
    m_startupTitle = m_store.read(StoreApplication, StoreSection, QStringLiteral("Titletext"));
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
    if (!m_store.write(StoreApplication, StoreSection, QStringLiteral("TitleText"), m_pendingTitle))
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
        this, [this, text] { m_dialogs->message(this, QStringLiteral("Hueloom"), text); }, Qt::QueuedConnection);
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
        m_contrastWindow->showScheme(m_scheme);
    }
}

void MainWindow::showTag()
{
    m_tagline->setPlainText(m_tag.text());
}

void MainWindow::stepLeftMargin(int delta)
{
    m_margins.stepLeft(delta);
    m_marginPreview->move(m_margins.previewPosition().x(), m_marginPreview->y());
    m_tag.writeLeftMargin(m_margins);
    showTag();
    m_marginSelector->leftLabel()->setText(ValueText::value(m_margins.left()));
}

void MainWindow::stepTopMargin(int delta)
{
    m_margins.stepTop(delta);
    m_marginPreview->move(m_marginPreview->x(), m_margins.previewPosition().y());
    m_tag.writeTopMargin(m_margins);
    showTag();
    m_marginSelector->topLabel()->setText(ValueText::value(m_margins.top()));
}

void MainWindow::marginBoxClicked()
{
    m_margins.setUseLeft(m_marginSelector->leftTicked());
    m_margins.setUseTop(m_marginSelector->topTicked());
    // The colour part comes from the scheme in use, so ticking a box never brings back old colours.
    m_tag.setText(BodyTag::compose(m_scheme, m_margins));
    const bool left = m_margins.useLeft();
    const bool top = m_margins.useTop();
    if (left && top) {
        EnableTop();
        EnableLeft();
    } else if (left) {
        DisableTop();
        EnableLeft();
    } else if (top) {
        DisableLeft();
        EnableTop();
    } else {
        DisableTop();
        DisableLeft();
    }
    showTag();
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

void MainWindow::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Leaving the program takes every window it opened along; nothing is saved or asked.
    for (InfoWindow* window : findChildren<InfoWindow*>())
        window->close();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The tag line would take Ctrl+X and Ctrl+C for cut and copy; the window's commands win there.
    if (watched == m_tagline && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : findChildren<QAction*>()) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
