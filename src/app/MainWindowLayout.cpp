// The main window's fixed layout: the frames and controls at their places, the quick-access buttons,
// the keyboard order and the pop-up menu of each control.
#include "ColorChooser.h"
#include "GuideLines.h"
#include "MainActions.h"
#include "MainWindow.h"
#include "MarginPreview.h"
#include "MarginSelector.h"
#include "NoteLine.h"
#include "PopupMenus.h"
#include "SampleArea.h"
#include "SpinButton.h"
#include "TagBox.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"
#include "ui/Look.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>

using Controls::place;

void MainWindow::buildLayout()
{
    // After the menus, so that their pop-ups get the program's look too.
    Look::apply(this);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(669, 448);
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    m_chooser = place(new ColorChooser(client), QStringLiteral("Frame1"), QRect(8, 0, 401, 145));

    auto* tagFrame = place(new QGroupBox(tr("Tag"), client), QStringLiteral("Frame2"), QRect(8, 152, 481, 57));
    m_tagline = place(new TagBox(tagFrame), QStringLiteral("tagline"), QRect(8, 16, 465, 33));
    m_tagline->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Two lines fit (the longest tag needs no more); a scroll bar comes only for longer text.
    m_tagline->document()->setDocumentMargin(1);
    m_tagline->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_tagline->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tagline->setTabChangesFocus(true);
    m_tagline->setAccessibleName(tr("Body tag"));

    m_marginSelector = place(new MarginSelector(client), QStringLiteral("Frame3"), QRect(8, 216, 481, 57));
    place(buildQuickAccess(client), QStringLiteral("Frame4"), QRect(416, 0, 249, 145));

    m_sampleCaption = Controls::label(client, QStringLiteral("Label4"), tr("Sample"), {8, 280, 49, 17});
    m_sample = place(new SampleArea(client), QStringLiteral("background"), QRect(8, 296, 657, 145));

    // The corner of the page the margin preview is measured from: Line2 down its left edge, Line1 along
    // its top.
    new GuideLines(client, {QLine(503, 159, 503, 296), QLine(503, 159, 672, 159)});
    m_marginPreview = Controls::label(client, QStringLiteral("Label7"),
        tr("This is a sample of what your text borders in Internet Explorer 3.0 would look like."), {504, 160, 98, 81});
    m_marginPreview->setWordWrap(true);
    m_marginPreview->setAlignment(Qt::AlignLeft | Qt::AlignTop);

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
    m_tagline->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    m_notes = new NoteLine(this);
    setStatusBar(m_notes);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void MainWindow::followDocument()
{
    SchemeDocument& document = *m_document;
    m_tagline->setPlainText(document.tag().text());
    connect(&document, &SchemeDocument::tagWritten, m_tagline,
        [this] { m_tagline->setPlainText(m_document->tag().text()); });
    m_marginPreview->move(MarginPreview::position(document.margins()));
    connect(&document, &SchemeDocument::marginsChanged, m_marginPreview,
        [this] { m_marginPreview->move(MarginPreview::position(m_document->margins())); });
    m_marginSelector->follow(document);
    // A spin button can be pressed exactly while its margin is in the tag, whichever way the margin
    // came in or went out (a box, undo, an opened scheme).
    const auto enableSpins = [this] {
        const Margins& margins = m_document->margins();
        margins.useLeft() ? EnableLeft() : DisableLeft();
        margins.useTop() ? EnableTop() : DisableTop();
    };
    connect(&document, &SchemeDocument::marginsChanged, this, enableSpins);
    enableSpins();
    m_sample->follow(document);
    m_chooser->follow(document);
    // The bars start at 0; selecting the background shows its colour in them.
    document.selectSlot(Slot::Background);
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
    const MainActions& a = *m_actions;
    const ButtonLayout buttons[] = {
        {"Open HLM File", {8, 16}, a.open},
        {"Copy Selected", {128, 16}, a.copy},
        {"Save HLM File", {8, 48}, a.save},
        {"Color Chooser", {128, 48}, a.colour},
        {"Print RGB codes", {8, 80}, a.print},
        {"Help Screen", {128, 80}, a.help},
        {"Copy Tag", {8, 112}, a.copyTag},
        {"About HLM", {128, 112}, a.about},
    };
    int number = 1;
    for (const ButtonLayout& layout : buttons) {
        auto* button = place(new QPushButton(tr(layout.caption), frame), QStringLiteral("Command%1").arg(number++),
            QRect(layout.position, QSize(113, 25)));
        button->setFont(Fonts::serif(9));
        button->setAutoDefault(false);
        // One command, one operation: the button runs its menu item's action.
        connect(button, &QPushButton::clicked, this, [this, button, action = layout.action] {
            const QScopedValueRollback<QWidget*> triggering(m_triggeringButton, button);
            action->trigger();
        });
    }
    return frame;
}