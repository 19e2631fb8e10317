#include "MainWindow.h"

#include "ColorChooser.h"
#include "Controls.h"
#include "Fonts.h"
#include "MarginSelector.h"
#include "SampleArea.h"
#include "SpinButton.h"
#include "dialogs/QtDialogBackend.h"
#include "scheme/ValueText.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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
    : QMainWindow(parent), m_dialogs(dialogs ? std::move(dialogs) : std::make_unique<QtDialogBackend>())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("  Hueloom"));
    m_commonDialog = new CommonDialog(*m_dialogs, this);

    createActions();
    createMenus();
    buildLayout();
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

    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    connect(m_default, &QAction::triggered, this, &MainWindow::defaultColours);
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
        {m_copy, m_copyTag, separator(this, QStringLiteral("ItemEditSeparate")), m_changeTitle, m_default});

    m_toolsMenu = menuBar()->addMenu(tr("&Tools"));
    m_toolsMenu->setObjectName(QStringLiteral("ToolsMenu"));
    m_toolsMenu->addAction(m_colour);

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
    for (const auto& [name, geometry] :
         {std::pair{QStringLiteral("Line2"), QRect(503, 159, 1, 138)}, std::pair{QStringLiteral("Line1"), QRect(503, 159, 170, 1)}}) {
        auto* line = place(new QFrame(client), name, geometry);
        line->setAutoFillBackground(true);
        QPalette ink = line->palette();
        ink.setColor(QPalette::Window, ink.color(QPalette::WindowText));
        line->setPalette(ink);
    }
    m_marginPreview = Controls::label(
        client, QStringLiteral("Label7"),
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

QWidget* MainWindow::buildQuickAccess(QWidget* parent)
{
    auto* frame = new QGroupBox(tr("Quick Access Buttons"), parent);
    struct ButtonSpec {
        const char* caption;
        QPoint position;
        QAction* action;
    };
    const ButtonSpec buttons[] = {
        {"Open HLM File", {8, 16}, m_open},    {"Copy Selected", {128, 16}, m_copy},
        {"Save HLM File", {8, 48}, m_save},    {"Color Chooser", {128, 48}, m_colour},
        {"Print RGB codes", {8, 80}, m_print}, {"Help Screen", {128, 80}, m_help},
        {"Copy Tag", {8, 112}, m_copyTag},     {"About HLM", {128, 112}, m_about},
    };
    int number = 1;
    for (const ButtonSpec& spec : buttons) {
        auto* button = place(new QPushButton(tr(spec.caption), frame), QStringLiteral("Command%1").arg(number++),
                             QRect(spec.position, QSize(113, 25)));
        button->setFont(Fonts::serif(9));
        button->setAutoDefault(false);
        // One command, one operation: the button runs its menu item's action.
        connect(button, &QPushButton::clicked, spec.action, &QAction::trigger);
    }
    return frame;
}

void MainWindow::centreOnScreen()
{
    adjustSize();
    const QRect screenArea = screen()->geometry();
    const QSize outer = frameGeometry().size();
    move(screenArea.x() + (screenArea.width() - outer.width()) / 2,
         screenArea.y() + (screenArea.height() - outer.height()) / 2);
}

void MainWindow::startUp()
{
    centreOnScreen();

    m_margins = Margins{};
    m_marginPreview->move(m_margins.previewPosition());

    // The tag starts as the default scheme's own tag, so it never disagrees with what the sample shows.
    m_tag.setText(BodyTag::compose(ColorScheme::defaults(), m_margins));
    showTag();

    // The bars still stand at 0, like the all-zero model: selecting the background moves nothing.
    m_chooser->select(Slot::Background);
    m_scheme = ColorScheme::defaults();

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
}

void MainWindow::recolourSample(int slot)
{
    m_sample->recolour(slot, m_scheme.colour(slot));
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
    // The tag carries the restored colours too, not only the background pairs a moving bar rewrote.
    for (int slot = 0; slot < Slot::Count; ++slot)
        m_tag.writeColour(slot, m_scheme.colour(slot));
    showTag();
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
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The tag line would take Ctrl+X and Ctrl+C for cut and copy; the window's commands win there.
    if (watched == m_tagline && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : actions() + m_fileMenu->actions() + m_editMenu->actions()
                                         + m_toolsMenu->actions() + m_helpMenu->actions()) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
