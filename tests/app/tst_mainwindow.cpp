#include "app/MainWindow.h"
#include "app/SpinButton.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QUndoStack>
#include <array>
#include <functional>

namespace {

const QString DefaultTag
    = QStringLiteral(R"(<BODY BGCOLOR="#CECEFF" TEXT="#0055AA" LINK="#007C00" VLINK="#003C00" ALINK="#00B500">)");

} // namespace

class TestMainWindow : public WindowTestCase {
    Q_OBJECT
private slots:
    void marginPreviewFollowsMargins();

    void startUpState();
    void layout_data();
    void layout();
    void guideLinesAreDrawnNotControls();
    void menusAndButtons_data();
    void menusAndButtons();
    void tabOrderFollowsTheLayout();

    void selectingASlotMovesOnlyChangedBars();
    void barEdgesAndTrough();
    void thumbDragSettlesOnce();
    void channelChangeColoursOnlyItsSlot();

    void marginBoxStates_data();
    void marginBoxStates();
    void spinOperationsReachTheirButton_data();
    void spinOperationsReachTheirButton();
    void spinArrowsMoveDigitsLabelAndPreview();
    void spinClampsStillRewriteEverything();
    void marginDigitsKeepTwoPlaces();
    void spinButtonRepeatsAndTakesKeys();

    void defaultColours();
    void typedTextStaysUntilTheTagIsShown();
    void exitFromTheTagLine();
    void copyShortcutDoesNotCutInTheTagLine();

private:
};

void TestMainWindow::marginPreviewFollowsMargins()
{
    Margins margins;
    QCOMPARE(MarginPreview::position(margins), QPoint(514, 170));
    for (int i = 0; i < 60; ++i)
        margins.stepLeft(+1);
    for (int i = 0; i < 60; ++i)
        margins.stepTop(-1);
    QCOMPARE(MarginPreview::position(margins), QPoint(554, 160));
}

void TestMainWindow::startUpState()
{
    WindowProbe& p = *m_probe;
    QCOMPARE(m_window->windowTitle(), QStringLiteral("  Hueloom"));
    QCOMPARE(m_window->centralWidget()->size(), QSize(669, 448));
    QCOMPARE(m_window->centralWidget()->y(), m_window->menuBar()->height());
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());

    QCOMPARE(m_window->selectedSlot(), 0);
    QVERIFY(p.option(0)->isChecked());
    QCOMPARE(p.bars(), (QList<int>{206, 206, 255}));
    QCOMPARE(p.valueTexts(), (QStringList{" 206", " 206", " 255"}));
    QCOMPARE(m_window->tag().text(), DefaultTag);
    QCOMPARE(p.taglineText(), DefaultTag);
    QCOMPARE(DefaultTag.size(), 86);
    QVERIFY(!p.box(0)->isChecked());
    QVERIFY(!p.box(1)->isChecked());
    QVERIFY(!p.child(QStringLiteral("SpinButton1"))->isEnabled());
    QVERIFY(!p.child(QStringLiteral("SpinButton2"))->isEnabled());
    QCOMPARE(p.child(QStringLiteral("Label7"))->pos(), QPoint(514, 170));
    QCOMPARE(p.child<QLabel>(QStringLiteral("TopLabel"))->text(), QStringLiteral("10"));
    QCOMPARE(p.child<QLabel>(QStringLiteral("leftlabel"))->text(), QStringLiteral("10"));
    QCOMPARE(p.child<QLabel>(QStringLiteral("Title"))->text(), QStringLiteral("Hueloom"));

    QCOMPARE(p.pageColour(), QColor(206, 206, 255));
    QCOMPARE(p.fore(QStringLiteral("Title")), QColor(0, 85, 170));
    QCOMPARE(p.fore(QStringLiteral("Normal")), QColor(0, 85, 170));
    QCOMPARE(p.fore(QStringLiteral("newlink")), QColor(0, 124, 0));
    QCOMPARE(p.fore(QStringLiteral("visitedlink")), QColor(0, 60, 0));
    QCOMPARE(p.fore(QStringLiteral("activelink")), QColor(0, 181, 0));
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    const auto row = [](const char* name, QRect geometry, const char* text, qreal points = 8.25, bool bold = true) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry << QString::fromLatin1(text) << points << bold;
    };
    row("Frame1", {8, 0, 401, 145}, "Color Chooser");
    row("Frame2", {8, 152, 481, 57}, "Tag");
    row("background", {8, 296, 657, 145}, "");
    row("Frame3", {8, 216, 481, 57}, "Margin Selector");
    row("Frame4", {416, 0, 249, 145}, "Quick Access Buttons");
    row("cc(0)", {16, 24, 121, 17}, "Bacground Color");
    row("cc(1)", {16, 48, 81, 17}, "Text Color");
    row("cc(2)", {16, 72, 113, 17}, "New Link Color");
    row("cc(3)", {16, 96, 121, 17}, "Visited Link Color");
    row("cc(4)", {16, 120, 121, 17}, "Active Link Color");
    row("Label1", {168, 16, 41, 17}, "Red");
    row("Label2", {168, 56, 41, 17}, "Green");
    row("Label3", {168, 96, 41, 17}, "Blue");
    row("redscroll", {168, 32, 217, 17}, "");
    row("greenscroll", {168, 72, 217, 17}, "");
    row("bluescroll", {168, 112, 217, 17}, "");
    row("Red", {352, 16, 33, 17}, " 206");
    row("tagline", {8, 16, 465, 33}, "");
    row("Label5", {8, 24, 73, 17}, "Top Margin");
    row("TopLabel", {80, 24, 25, 17}, "10");
    row("SpinButton1", {120, 16, 17, 33}, "");
    row("Label6", {160, 24, 73, 17}, "Left Margin");
    row("leftlabel", {232, 24, 25, 17}, "10");
    row("SpinButton2", {272, 16, 17, 33}, "");
    row("Check1(0)", {328, 16, 129, 17}, "Use Left Margin");
    row("Check1(1)", {328, 32, 129, 17}, "Use Right Margin");
    row("Title", {8, 16, 641, 49}, "Hueloom", 13.5);
    row("Normal", {8, 72, 641, 17}, "Normal text will appear like this", 9.75);
    row("newlink", {8, 88, 641, 17}, "New link text will appear like this", 9.75);
    row("visitedlink", {8, 104, 641, 17}, "Visited links will be this color", 9.75);
    row("activelink", {8, 120, 641, 17}, "Links will flash this color briefly when clicked", 9.75);
    row("Label4", {8, 280, 49, 17}, "Sample");
    row("Label7", {514, 170, 98, 81},
        "This is a sample of what your text borders in Internet Explorer 3.0 would look like.");
    row("Command1", {8, 16, 113, 25}, "Open HLM File", 9, false);
    row("Command8", {128, 112, 113, 25}, "About HLM", 9, false);
}

void TestMainWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QWidget* widget = m_probe->child(name);
    QCOMPARE(widget->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        QCOMPARE(label->text(), text);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(frame->title(), text);
    }
    // Sizes are the layout's points at 96 dpi, set in pixels.
    QCOMPARE(widget->font().pixelSize(), qRound(points * 96 / 72));
    QCOMPARE(widget->font().bold(), bold);
    const QString family = bold || points != 9 ? QStringLiteral("MS Sans Serif") : QStringLiteral("Times New Roman");
    QCOMPARE(widget->font().family(), family);
}

// The corner of the margin preview's page: Line2 down x = 503 from y = 159 to the sample, Line1 along
// y = 159 from x = 503 to the window's edge, in the window's text colour. They are painted on the
// window, so no control (and nothing a screen reader lists) stands there.
void TestMainWindow::guideLinesAreDrawnNotControls()
{
    QWidget* client = m_window->centralWidget();
    const QImage image = client->grab().toImage();
    const QRgb ink = client->palette().color(QPalette::WindowText).rgb();
    const QRgb grey = client->palette().color(QPalette::Window).rgb();
    QStringList wrong;
    const auto expect = [&](int x, int y, QRgb colour) {
        if (image.pixel(x, y) != colour)
            wrong << QStringLiteral("%1,%2").arg(x).arg(y);
    };
    for (int y = 159; y < 296; ++y) {
        expect(503, y, ink);
        expect(502, y, grey);
    }
    for (int x = 503; x < client->width(); ++x) {
        expect(x, 159, ink);
        expect(x, 158, grey);
        expect(x, 160, x == 503 ? ink : grey);
    }
    expect(504, 161, grey);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char(' '))));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(client);
    for (int i = 0; i < accessible->childCount(); ++i) {
        const QRect area = accessible->child(i)->rect();
        QVERIFY(!area.contains(client->mapToGlobal(QPoint(503, 200))));
        QVERIFY(!area.contains(client->mapToGlobal(QPoint(600, 159))));
    }
}

void TestMainWindow::menusAndButtons_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("shortcuts");
    QTest::newRow("File") << "FileMenu"
                          << QStringList{"&Open Scheme", "&Save Scheme", "&Recent Schemes", "Open Pa&ge…", "",
                                 "&Print RGB Values", "", "E&xit"}
                          << QStringList{"Ctrl+O", "Ctrl+S", "", "Ctrl+Shift+O", "", "Ctrl+P", "", "Ctrl+X"};
    QTest::newRow("Edit") << "EditMenu"
                          << QStringList{"&Undo", "&Redo", "", "&Copy", "Copy &Tag", "Copy Color &As",
                                 "Copy Scheme A&s", "", "&Paste Color", "&Apply Tag", "", "C&hange Title",
                                 "&Default Colors"}
                          << QStringList{"Ctrl+Z", "Ctrl+Shift+Z", "", "Ctrl+C", "Ctrl+T", "", "", "", "Ctrl+Shift+V",
                                 "Ctrl+Return", "", "", ""};
    QTest::newRow("Tools") << "ToolsMenu"
                           << QStringList{"&Windows Color Dialog", "Pick from &Screen", "&Contrast Check",
                                  "&Page Check", "&Fix Contrast", "Make &Dark Scheme", "Bars in &OKLCH", "",
                                  "Simulate Color &Vision"}
                           << QStringList{
                                  "Ctrl+W", "Ctrl+Shift+P", "Ctrl+K", "", "Ctrl+Shift+K", "", "Ctrl+Shift+L", "", ""};
    QTest::newRow("Help") << "HelpMenu"
                          << QStringList{"&Help Screen", "User &Guide", "&Trouble Shooting", "&Keyboard Shortcuts", "",
                                 "&About"}
                          << QStringList{"F1", "", "", "", "", ""};
}

void TestMainWindow::menusAndButtons()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    QFETCH(QStringList, shortcuts);
    const auto* found = m_window->findChild<QMenu*>(menu);
    QVERIFY(found);
    const QList<QAction*> actions = found->actions();
    QCOMPARE(actions.size(), items.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        QCOMPARE(actions.at(i)->isSeparator(), items.at(i).isEmpty());
        QCOMPARE(actions.at(i)->text(), items.at(i));
        QCOMPARE(actions.at(i)->shortcut().toString(), shortcuts.at(i));
        QVERIFY(!actions.at(i)->objectName().isEmpty());
    }
    const QStringList titles{"&File", "&Edit", "&Tools", "&Help"};
    QStringList barTitles;
    for (QAction* action : m_window->menuBar()->actions())
        barTitles << action->text();
    QCOMPARE(barTitles, titles);
}

void TestMainWindow::tabOrderFollowsTheLayout()
{
    const QStringList expected{"redscroll", "greenscroll", "bluescroll", "tagline", "cc(0)", "cc(1)", "cc(2)", "cc(3)",
        "cc(4)", "SpinButton1", "SpinButton2", "Check1(0)", "Check1(1)", "Command1", "Command2", "Command3", "Command4",
        "Command5", "Command6", "Command7", "Command8"};
    // Walk the chain as Tab does: widgets that take no Tab focus (labels, frames) are passed over.
    QWidget* widget = m_probe->child(expected.first());
    for (qsizetype i = 1; i < expected.size(); ++i) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        QCOMPARE(widget->objectName(), expected.at(i));
    }
}

void TestMainWindow::selectingASlotMovesOnlyChangedBars()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.option(2), Qt::LeftButton);
    QCOMPARE(m_changes->count(), 3);
    QCOMPARE(p.bars(), (QList<int>{0, 124, 0}));
    QCOMPARE(p.valueTexts(), (QStringList{" 0", " 124", " 0"}));
    QCOMPARE(p.taglineText().mid(46, 6), QStringLiteral("007C00"));

    // New link 0,124,0 to visited link 0,60,0: only green differs.
    m_changes->clear();
    QTest::mouseClick(p.option(3), Qt::LeftButton);
    QCOMPARE(m_changes->count(), 1);

    // Give the visited link the active link's colour; then switching between them moves nothing.
    p.bar(1)->setValue(181);
    m_changes->clear();
    QTest::mouseClick(p.option(4), Qt::LeftButton);
    QCOMPARE(m_changes->count(), 0);
    QCOMPARE(p.valueTexts(), (QStringList{" 0", " 181", " 0"}));
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::barEdgesAndTrough()
{
    WindowProbe& p = *m_probe;
    QScrollBar* blue = p.bar(2);
    QCOMPARE(blue->value(), 255);
    p.tagline()->setPlainText(QStringLiteral("typed"));
    WindowProbe::clickBar(blue, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(m_changes->count(), 0);
    QCOMPARE(p.taglineText(), QStringLiteral("typed")); // nothing ran, so nothing was shown

    QScrollBar* red = p.bar(0);
    red->setValue(0);
    m_changes->clear();
    WindowProbe::clickBar(red, QStyle::SC_ScrollBarSubLine);
    QCOMPARE(m_changes->count(), 0);
    WindowProbe::clickBar(red, QStyle::SC_ScrollBarAddLine);
    QCOMPARE(red->value(), 1);
    red->setValue(250);
    m_changes->clear();
    WindowProbe::clickBar(red, QStyle::SC_ScrollBarAddPage);
    QCOMPARE(red->value(), 255);
    QCOMPARE(m_changes->count(), 1);
    WindowProbe::clickBar(red, QStyle::SC_ScrollBarSubPage);
    QCOMPARE(red->value(), 235);
    QCOMPARE(p.valueLabel(0)->text(), QStringLiteral(" 235"));
    QCOMPARE(p.taglineText().mid(16, 2), QStringLiteral("EB"));
    QCOMPARE(p.brokenInvariant(), QString());

    // Keys: arrows step by one, Page keys by twenty.
    red->setFocus();
    QTest::keyClick(red, Qt::Key_Left);
    QCOMPARE(red->value(), 234);
    QTest::keyClick(red, Qt::Key_Right);
    QTest::keyClick(red, Qt::Key_Right);
    QCOMPARE(red->value(), 236);
    QTest::keyClick(red, Qt::Key_PageDown);
    QCOMPARE(red->value(), 216);
    QTest::keyClick(red, Qt::Key_End);
    QCOMPARE(red->value(), 255);
    QCOMPARE(p.valueLabel(0)->text(), QStringLiteral(" 255"));
}

void TestMainWindow::thumbDragSettlesOnce()
{
    WindowProbe& p = *m_probe;
    QScrollBar* green = p.bar(1);
    const QString tag = p.taglineText();
    green->setSliderDown(true);
    for (int position : {190, 120, 40, 10})
        green->setSliderPosition(position);
    QCOMPARE(m_changes->count(), 0);
    QCOMPARE(p.valueLabel(1)->text(), QStringLiteral(" 206"));
    QCOMPARE(p.taglineText(), tag);
    QCOMPARE(p.pageColour(), QColor(206, 206, 255));
    green->setSliderDown(false);
    QCOMPARE(m_changes->count(), 1);
    QCOMPARE(p.valueLabel(1)->text(), QStringLiteral(" 10"));
    QCOMPARE(p.taglineText().mid(18, 2), QStringLiteral("0A"));
    QCOMPARE(p.pageColour(), QColor(206, 10, 255));
}

void TestMainWindow::channelChangeColoursOnlyItsSlot()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.option(1), Qt::LeftButton);
    WindowProbe::clickBar(p.bar(0), QStyle::SC_ScrollBarAddLine);
    QCOMPARE(m_window->scheme().channel(Slot::Text, Channel::Red), 1);
    QCOMPARE(p.fore(QStringLiteral("Title")), QColor(1, 85, 170));
    QCOMPARE(p.fore(QStringLiteral("Normal")), QColor(1, 85, 170));
    QCOMPARE(p.pageColour(), QColor(206, 206, 255));
    QCOMPARE(p.taglineText().mid(31, 6), QStringLiteral("0155AA"));
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::marginBoxStates_data()
{
    QTest::addColumn<QList<int>>("clicks"); // box indexes, in order
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("leftSpin");
    QTest::addColumn<bool>("topSpin");
    QTest::newRow("left") << QList<int>{0} << 102 << true << false;
    QTest::newRow("top") << QList<int>{1} << 101 << false << true;
    QTest::newRow("both") << QList<int>{0, 1} << 117 << true << true;
    QTest::newRow("both, then left off") << QList<int>{1, 0, 0} << 101 << false << true;
    QTest::newRow("on and off again") << QList<int>{1, 1} << 86 << false << false;
}

void TestMainWindow::marginBoxStates()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, length);
    QFETCH(bool, leftSpin);
    QFETCH(bool, topSpin);
    WindowProbe& p = *m_probe;
    // A changed text colour must survive the rebuild of the tag.
    QTest::mouseClick(p.option(1), Qt::LeftButton);
    p.bar(0)->setValue(0x12);
    const QString link = p.taglineText().mid(31, 6);
    for (int index : clicks)
        QTest::mouseClick(p.box(index), Qt::LeftButton);
    QCOMPARE(p.taglineText().size(), length);
    QCOMPARE(p.taglineText().mid(31, 6), link);
    QCOMPARE(p.child(QStringLiteral("SpinButton2"))->isEnabled(), leftSpin);
    QCOMPARE(p.child(QStringLiteral("SpinButton1"))->isEnabled(), topSpin);
    QCOMPARE(p.child(QStringLiteral("Label7"))->pos(), QPoint(514, 170));
    QCOMPARE(p.brokenInvariant(), QString());

    // Undo takes the margins out of the tag without a click: the spin buttons must follow it too.
    while (m_window->undoStack().canUndo())
        m_window->undoStack().undo();
    QCOMPARE(p.taglineText(), DefaultTag);
    QVERIFY(!p.child(QStringLiteral("SpinButton2"))->isEnabled());
    QVERIFY(!p.child(QStringLiteral("SpinButton1"))->isEnabled());
}

void TestMainWindow::spinOperationsReachTheirButton_data()
{
    QTest::addColumn<int>("operation"); // EnableLeft, DisableLeft, EnableTop, DisableTop
    QTest::addColumn<bool>("leftSpin");
    QTest::addColumn<bool>("topSpin");
    QTest::newRow("EnableLeft") << 0 << true << false;
    QTest::newRow("EnableTop") << 2 << false << true;
    QTest::newRow("DisableLeft after both") << 1 << false << true;
    QTest::newRow("DisableTop after both") << 3 << true << false;
}

void TestMainWindow::spinOperationsReachTheirButton()
{
    QFETCH(int, operation);
    QFETCH(bool, leftSpin);
    QFETCH(bool, topSpin);
    WindowProbe& p = *m_probe;
    if (operation == 1 || operation == 3) {
        m_window->EnableLeft();
        m_window->EnableTop();
    }
    MainWindow& window = *m_window;
    const std::array<std::function<void()>, 4> operations{[&window] { window.EnableLeft(); },
        [&window] { window.DisableLeft(); }, [&window] { window.EnableTop(); }, [&window] { window.DisableTop(); }};
    operations[static_cast<size_t>(operation)]();
    QCOMPARE(p.child(QStringLiteral("SpinButton2"))->isEnabled(), leftSpin);
    QCOMPARE(p.child(QStringLiteral("SpinButton1"))->isEnabled(), topSpin);
}

void TestMainWindow::spinArrowsMoveDigitsLabelAndPreview()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    QTest::mouseClick(p.box(1), Qt::LeftButton);
    auto* left = p.child<SpinButton>(QStringLiteral("SpinButton2"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(left->downArrow(), Qt::LeftButton);
    const QString tag = p.taglineText();
    QCOMPARE(tag.mid(98, 2), QStringLiteral("07"));
    QCOMPARE(tag.mid(113, 2), QStringLiteral("10"));
    QCOMPARE(p.child<QLabel>(QStringLiteral("leftlabel"))->text(), QStringLiteral(" 7"));
    QCOMPARE(p.child(QStringLiteral("Label7"))->pos(), QPoint(511, 170));

    auto* top = p.child<SpinButton>(QStringLiteral("SpinButton1"));
    QTest::mouseClick(top->upArrow(), Qt::LeftButton);
    QCOMPARE(p.taglineText().mid(113, 2), QStringLiteral("11"));
    QCOMPARE(p.child<QLabel>(QStringLiteral("TopLabel"))->text(), QStringLiteral(" 11"));
    QCOMPARE(p.child(QStringLiteral("Label7"))->pos(), QPoint(511, 171));

    // Top margin alone writes its digits at 98.
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    QTest::mouseClick(top->downArrow(), Qt::LeftButton);
    QCOMPARE(p.taglineText().mid(97, 2), QStringLiteral("10"));
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::spinClampsStillRewriteEverything()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    QTest::mouseClick(p.box(1), Qt::LeftButton);
    auto* left = p.child<SpinButton>(QStringLiteral("SpinButton2"));
    auto* top = p.child<SpinButton>(QStringLiteral("SpinButton1"));
    for (int i = 0; i < 45; ++i) {
        QTest::mouseClick(left->upArrow(), Qt::LeftButton);
        QTest::mouseClick(top->upArrow(), Qt::LeftButton);
    }
    QCOMPARE(m_window->margins().left(), 50);
    QCOMPARE(p.child(QStringLiteral("Label7"))->geometry(), QRect(554, 210, 98, 81));
    QVERIFY(p.child(QStringLiteral("Label7"))->geometry().bottom() < 296);

    // An arrow at the limit still runs every step: the tag line and the label are written again.
    p.tagline()->setPlainText(QStringLiteral("typed"));
    p.child<QLabel>(QStringLiteral("leftlabel"))->setText(QStringLiteral("x"));
    QTest::mouseClick(left->upArrow(), Qt::LeftButton);
    QCOMPARE(p.taglineText(), m_window->tag().text());
    QCOMPARE(p.child<QLabel>(QStringLiteral("leftlabel"))->text(), QStringLiteral(" 50"));
    QCOMPARE(p.taglineText().mid(98, 2), QStringLiteral("50"));

    for (int i = 0; i < 55; ++i) {
        QTest::mouseClick(left->downArrow(), Qt::LeftButton);
        QTest::mouseClick(top->downArrow(), Qt::LeftButton);
    }
    QCOMPARE(p.child(QStringLiteral("Label7"))->pos(), QPoint(504, 160));
    QCOMPARE(p.taglineText().mid(98, 2), QStringLiteral("00"));
    QCOMPARE(p.taglineText().mid(113, 2), QStringLiteral("00"));
    QCOMPARE(p.child<QLabel>(QStringLiteral("TopLabel"))->text(), QStringLiteral(" 0"));
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::marginDigitsKeepTwoPlaces()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    auto* left = p.child<SpinButton>(QStringLiteral("SpinButton2"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(left->downArrow(), Qt::LeftButton);
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    QCOMPARE(p.taglineText().size(), 86);
    QTest::mouseClick(p.box(0), Qt::LeftButton);
    QCOMPARE(p.taglineText().mid(85), QStringLiteral(R"( LEFTMARGIN="07">)"));
}

void TestMainWindow::spinButtonRepeatsAndTakesKeys()
{
    WindowProbe& p = *m_probe;
    QTest::mouseClick(p.box(1), Qt::LeftButton);
    auto* top = p.child<SpinButton>(QStringLiteral("SpinButton1"));
    QSignalSpy ups(top, &SpinButton::upClicked);
    QSignalSpy downs(top, &SpinButton::downClicked);
    QVERIFY(top->upArrow()->autoRepeat());
    // Held down, the arrow repeats until it is let go.
    QTest::mousePress(top->upArrow(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(ups.count() >= 2, 3000);
    QTest::mouseRelease(top->upArrow(), Qt::LeftButton);
    const auto held = ups.count();
    QCOMPARE(m_window->margins().top(), 10 + held);
    top->setFocus();
    QTest::keyClick(top, Qt::Key_Down);
    QCOMPARE(downs.count(), 1);
    QCOMPARE(m_window->margins().top(), 10 + held - 1);

    // A disabled pair reports nothing.
    auto* left = p.child<SpinButton>(QStringLiteral("SpinButton2"));
    QSignalSpy leftUps(left, &SpinButton::upClicked);
    QTest::mouseClick(left->upArrow(), Qt::LeftButton);
    QCOMPARE(leftUps.count(), 0);
    QCOMPARE(m_window->margins().left(), 10);
}

void TestMainWindow::defaultColours()
{
    WindowProbe& p = *m_probe;
    auto* item = m_window->findChild<QAction*>(QStringLiteral("ItemDefault"));

    // Nothing to restore: no bar moves, the sample is recoloured, the tag stays.
    p.tagline()->setPlainText(QStringLiteral("typed"));
    item->trigger();
    QCOMPARE(m_changes->count(), 0);
    QCOMPARE(m_window->tag().text(), BodyTag::compose(ColourScheme::defaults(), Margins{}));

    // After edits in several slots, every colour comes back, in the sample and in the tag.
    QTest::mouseClick(p.option(1), Qt::LeftButton);
    p.bar(0)->setValue(0);
    p.bar(1)->setValue(0);
    p.bar(2)->setValue(0);
    QTest::mouseClick(p.option(3), Qt::LeftButton);
    p.bar(0)->setValue(99);
    QTest::mouseClick(p.box(1), Qt::LeftButton);
    item->trigger();
    QCOMPARE(m_window->selectedSlot(), 0);
    QCOMPARE(p.bars(), (QList<int>{206, 206, 255}));
    QCOMPARE(m_window->scheme(), ColourScheme::defaults());
    QCOMPARE(p.fore(QStringLiteral("Normal")), QColor(0, 85, 170));
    QCOMPARE(p.taglineText(), BodyTag::compose(ColourScheme::defaults(), m_window->margins()));
    QCOMPARE(p.taglineText().size(), 101);
    QCOMPARE(p.brokenInvariant(), QString());

    // From another slot with the background changed: the background comes back through the bars.
    p.bar(2)->setValue(3);
    QTest::mouseClick(p.option(4), Qt::LeftButton);
    m_changes->clear();
    item->trigger();
    QCOMPARE(m_changes->count(), 3); // 0,181,0 to 206,206,255
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestMainWindow::typedTextStaysUntilTheTagIsShown()
{
    WindowProbe& p = *m_probe;
    p.tagline()->setFocus();
    QTest::keyClicks(p.tagline(), QStringLiteral(" extra"));
    QVERIFY(p.taglineText().contains(QStringLiteral("extra")));
    QVERIFY(!m_window->tag().text().contains(QStringLiteral("extra")));
    QTest::mouseClick(p.option(1), Qt::LeftButton); // three bars move: the tag is shown again
    QCOMPARE(p.taglineText(), m_window->tag().text());
}

void TestMainWindow::exitFromTheTagLine()
{
    WindowProbe& p = *m_probe;
    p.tagline()->setFocus();
    QVERIFY(p.tagline()->hasFocus());
    const QString before = p.taglineText();
    p.tagline()->selectAll();
    QTest::keyClick(p.tagline(), Qt::Key_X, Qt::ControlModifier);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(p.taglineText(), before); // nothing was cut
}

void TestMainWindow::copyShortcutDoesNotCutInTheTagLine()
{
    WindowProbe& p = *m_probe;
    auto* copy = m_window->findChild<QAction*>(QStringLiteral("ItemCopy"));
    QSignalSpy triggered(copy, &QAction::triggered);
    p.tagline()->setFocus();
    p.tagline()->selectAll();
    QTest::keyClick(p.tagline(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    QVERIFY(m_window->isVisible());
}

HUELOOM_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
