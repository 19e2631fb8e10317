#include "app/BriefNote.h"
#include "app/MainWindow.h"
#include "files/PrintableText.h"
#include "support/Modal.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>

// Every way into a command reaches one and the same action.
class TestCommands : public WindowTestCase {
    Q_OBJECT
private slots:

    void everyWayInRunsTheSameCommand_data();
    void everyWayInRunsTheSameCommand();
    void shortcutsWinInTheTagLine_data();
    void shortcutsWinInTheTagLine();
    void copySelection();
    void copyTagTakesWhatTheBoxHolds();
    void everyCopyAndSaveSaysSo_data();
    void everyCopyAndSaveSaysSo();
    void notesStandBesideAndOffThePointer();
    void darkModeCopyWarns();
    void popupTable_data();
    void popupTable();
    void tagLineButtons();
    void popupItemRunsItsCommand();

private:
    // Opens the pop-up of `control` with `button` and reports which menu opened (its object name).
    QString popupOf(QWidget* control, Qt::MouseButton button);
    // Answers whatever the command `item` will ask, so it can run to its end.
    void answerFor(const QString& item);
    void closeInfoWindows();
};

void TestCommands::answerFor(const QString& item)
{
    if (item == QLatin1String("ItemOpen") || item == QLatin1String("ItemSave") || item == QLatin1String("ItemColor")
        || item == QLatin1String("ItemPrint"))
        m_dialogs->answerCancel();
    if (item == QLatin1String("ItemChange"))
        m_dialogs->answerCancel();
}

void TestCommands::closeInfoWindows()
{
    for (const char* name : {"Form2", "Form3", "Form4"})
        if (auto* window = m_window->findChild<QWidget*>(QString::fromLatin1(name)))
            window->close();
    if (!m_window->isVisible())
        return;
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

QString TestCommands::popupOf(QWidget* control, Qt::MouseButton button)
{
    auto opened = std::make_shared<QString>();
    auto cancelled = std::make_shared<bool>(false);
    whenPopup(
        [opened](QMenu* menu) {
            *opened = menu->objectName();
            menu->close();
        },
        cancelled);
    // A menu runs its own loop inside the press, and the watch above closes it.
    QTest::mousePress(control, button, {}, QPoint(4, 4));
    QTest::mouseRelease(control, button, {}, QPoint(4, 4));
    if (opened->isEmpty())
        QTest::qWait(40);
    *cancelled = true;
    return *opened;
}

void TestCommands::everyWayInRunsTheSameCommand_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("popupOn"); // a control whose pop-up holds the item
    QTest::addColumn<QString>("menuKeys"); // the menu's access letter, then the item's
    const auto row = [](const char* item, QKeySequence shortcut, const char* button, const char* popupOn,
                         const char* keys) { QTest::newRow(item) << item << shortcut << button << popupOn << keys; };
    row("ItemOpen", QKeySequence(QStringLiteral("Ctrl+O")), "Command1", "Command5", "fo");
    row("ItemSave", QKeySequence(QStringLiteral("Ctrl+S")), "Command3", "Label4", "fs");
    row("ItemPrint", QKeySequence(QStringLiteral("Ctrl+P")), "Command5", "Frame4", "fp");
    row("ItemCopy", QKeySequence(QStringLiteral("Ctrl+C")), "Command2", "Title", "ec");
    row("ItemCopyTag", QKeySequence(QStringLiteral("Ctrl+T")), "Command7", "activelink", "et");
    row("ItemChange", QKeySequence(), "", "background", "eh");
    row("ItemDefault", QKeySequence(), "", "Frame2", "ed");
    row("ItemColor", QKeySequence(QStringLiteral("Ctrl+W")), "Command4", "cc(2)", "tw");
    row("ItemHelp", QKeySequence(QStringLiteral("F1")), "Command6", "Command8", "hh");
    row("ItemTrouble", QKeySequence(), "", "Command6", "ht");
    row("ItemAbout", QKeySequence(), "Command8", "Command6", "ha");
}

void TestCommands::everyWayInRunsTheSameCommand()
{
    QFETCH(QString, item);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, button);
    QFETCH(QString, popupOn);
    QFETCH(QString, menuKeys);
    auto* action = m_window->findChild<QAction*>(item);
    QSignalSpy runs(action, &QAction::triggered);
    int expected = 0;

    // The menu bar, by its access letters.
    answerFor(item);
    QTest::keyClick(m_window, menuKeys.at(0).toLatin1(), Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), menuKeys.at(1).toLatin1());
    ++expected;
    QTRY_COMPARE(runs.count(), expected);
    closeInfoWindows();

    if (!shortcut.isEmpty()) {
        answerFor(item);
        QTest::keySequence(m_window, shortcut);
        ++expected;
        QCOMPARE(runs.count(), expected);
        closeInfoWindows();
    }
    if (!button.isEmpty()) {
        answerFor(item);
        QTest::mouseClick(m_probe->child<QPushButton>(button), Qt::LeftButton);
        ++expected;
        QCOMPARE(runs.count(), expected);
        closeInfoWindows();
    }
    // A pop-up menu, choosing the item by its access letter.
    answerFor(item);
    whenPopup([&menuKeys](QMenu* menu) { QTest::keyClick(menu, menuKeys.at(1).toLatin1()); });
    QTest::mousePress(m_probe->child(popupOn), Qt::RightButton, {}, QPoint(2, 2));
    ++expected;
    QTRY_COMPARE(runs.count(), expected);
    closeInfoWindows();
}

void TestCommands::shortcutsWinInTheTagLine_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("shortcut");
    for (const auto& [item, keys] : {std::pair{"ItemCopy", "Ctrl+C"}, std::pair{"ItemCopyTag", "Ctrl+T"},
             std::pair{"ItemOpen", "Ctrl+O"}, std::pair{"ItemSave", "Ctrl+S"}, std::pair{"ItemPrint", "Ctrl+P"},
             std::pair{"ItemColor", "Ctrl+W"}, std::pair{"ItemHelp", "F1"}, std::pair{"ItemExit", "Ctrl+X"}})
        QTest::newRow(item) << QString::fromLatin1(item) << QKeySequence(QString::fromLatin1(keys));
}

void TestCommands::shortcutsWinInTheTagLine()
{
    QFETCH(QString, item);
    QFETCH(QKeySequence, shortcut);
    auto* action = m_window->findChild<QAction*>(item);
    QSignalSpy runs(action, &QAction::triggered);
    answerFor(item);
    QPlainTextEdit* tagline = m_probe->tagline();
    tagline->setFocus();
    tagline->selectAll();
    const QString text = tagline->toPlainText();
    QTest::keySequence(tagline, shortcut);
    QCOMPARE(runs.count(), 1);
    QCOMPARE(tagline->toPlainText(), text); // nothing was cut
    if (item == QLatin1String("ItemExit"))
        QVERIFY(!m_window->isVisible());
    closeInfoWindows();
}

void TestCommands::copySelection()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    QPlainTextEdit* tagline = m_probe->tagline();
    // The whole LINK attribute: positions 39 to 53.
    QTextCursor cursor = tagline->textCursor();
    cursor.setPosition(38);
    cursor.setPosition(53, QTextCursor::KeepAnchor);
    tagline->setTextCursor(cursor);
    tagline->setFocus();
    clipboard->setText(QStringLiteral("before"));
    QTest::keyClick(tagline, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral(R"( LINK="#007C00")"));

    // After the focus moved to a button the box keeps its selection, and so does the copy.
    auto* button = m_probe->child<QPushButton>(QStringLiteral("Command2"));
    button->setFocus();
    clipboard->setText(QStringLiteral("before"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(clipboard->text(), QStringLiteral(R"( LINK="#007C00")"));
    QCOMPARE(tagline->textCursor().selectionStart(), 38);
    QCOMPARE(tagline->textCursor().selectionEnd(), 53);
    QVERIFY(button->hasFocus());

    // Nothing selected: the empty text goes to the clipboard.
    cursor.clearSelection();
    tagline->setTextCursor(cursor);
    clipboard->setText(QStringLiteral("before"));
    m_window->findChild<QAction*>(QStringLiteral("ItemCopy"))->trigger();
    QCOMPARE(clipboard->text(), QString());
    QCOMPARE(tagline->textCursor().position(), 53);
}

void TestCommands::copyTagTakesWhatTheBoxHolds()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    QTest::keyClick(m_window, Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), m_window->tag().text());
    QTest::mouseClick(m_probe->box(0), Qt::LeftButton);
    m_probe->tagline()->setFocus();
    m_probe->tagline()->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_probe->tagline(), QStringLiteral(" <!-- mine -->"));
    QTest::mouseClick(m_probe->child<QPushButton>(QStringLiteral("Command7")), Qt::LeftButton);
    QCOMPARE(clipboard->text(), m_window->tag().text() + QStringLiteral(" <!-- mine -->"));
    QVERIFY(clipboard->text().contains(QStringLiteral(R"(LEFTMARGIN="10">)")));
}

void TestCommands::popupTable_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("menu"); // empty: opens nothing
    const std::pair<QString, QStringList> table[] = {
        {"FileMenu", {"client", "Frame4", "Command1", "Command3", "Command5", "Label4", "Label7"}},
        {"EditMenu",
            {"Frame2", "Command2", "Command7", "background", "Title", "Normal", "newlink", "visitedlink",
                "activelink"}},
        {"ToolsMenu", {"Frame1", "cc(0)", "cc(4)", "Red", "Green", "Blue", "Label1", "Label2", "Label3", "Command4"}},
        {"HelpMenu", {"Command6", "Command8"}},
        {"",
            {"Frame3", "Check1(0)", "Check1(1)", "SpinButton1", "SpinButton2", "TopLabel", "leftlabel", "Label5",
                "Label6", "redscroll", "greenscroll", "bluescroll", "tagline"}},
    };
    for (const auto& [menu, controls] : table)
        for (const QString& control : controls)
            QTest::newRow(qPrintable(control)) << control << menu;
}

void TestCommands::popupTable()
{
    QFETCH(QString, control);
    QFETCH(QString, menu);
    QWidget* widget = m_probe->child(control);
    if (control == QLatin1String("tagline"))
        widget = m_probe->tagline()->viewport();
    QCOMPARE(popupOf(widget, Qt::RightButton), menu);
    // The middle button opens nothing anywhere.
    QCOMPARE(popupOf(widget, Qt::MiddleButton), QString());
}

void TestCommands::tagLineButtons()
{
    QWidget* viewport = m_probe->tagline()->viewport();
    QTextCursor cursor = m_probe->tagline()->textCursor();
    cursor.setPosition(1);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    m_probe->tagline()->setTextCursor(cursor);
    m_probe->child(QStringLiteral("Command1"))->setFocus();
    QCOMPARE(popupOf(viewport, Qt::LeftButton), QStringLiteral("EditMenu"));
    // The box has the focus now, with its selection as it was.
    QTRY_VERIFY(m_probe->tagline()->hasFocus());
    QCOMPARE(m_probe->tagline()->textCursor().selectedText(), QStringLiteral("BODY"));
    QCOMPARE(popupOf(viewport, Qt::RightButton), QString());
    // No context menu of the box's own either.
    QCOMPARE(m_probe->tagline()->contextMenuPolicy(), Qt::PreventContextMenu);
    // A right press on a button opens its menu and does not run the button.
    auto* about = m_window->findChild<QAction*>(QStringLiteral("ItemAbout"));
    QSignalSpy runs(about, &QAction::triggered);
    QCOMPARE(popupOf(m_probe->child(QStringLiteral("Command8")), Qt::RightButton), QStringLiteral("HelpMenu"));
    QCOMPARE(runs.count(), 0);
}

void TestCommands::popupItemRunsItsCommand()
{
    // Copy Tag chosen in the pop-up over the title copies the whole tag.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    whenPopup([](QMenu* menu) { QTest::keyClick(menu, Qt::Key_T); });
    QTest::mousePress(m_probe->child(QStringLiteral("Title")), Qt::RightButton, {}, QPoint(5, 5));
    QTRY_COMPARE(QGuiApplication::clipboard()->text(), m_window->tag().text());
}

namespace {

// Whether `note` stands beside `control`: off it, within a few pixels of it.
bool standsBeside(const QWidget* note, const QWidget* control)
{
    const QRect beside(control->mapToGlobal(QPoint(0, 0)), control->size());
    return !note->geometry().intersects(beside) && note->geometry().adjusted(-8, -8, 8, 8).intersects(beside);
}

} // namespace

// The rows are in data/notes.tsv.
void TestCommands::everyCopyAndSaveSaysSo_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("button"); // the quick-access button that runs it, if any
    QTest::addColumn<bool>("pointerBeside"); // the pointer rests where a note would go first
    QTest::addColumn<QString>("saveAs"); // the file Save is told to write
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/app/data/notes.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        QStringList cells = line.split(u'\t').replaceInStrings(QRegularExpression(QStringLiteral("^-$")), {});
        if (cells.size() == 4 && !line.startsWith(u'#'))
            QTest::newRow(qPrintable(line.simplified()))
                << cells[0] << cells[1] << (cells[2] == u"beside")
                << cells[3].replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    }
}

// A copy or a save changes nothing on screen, so a brief note says it happened ("Copied", "Saved to"
// the file): beside the button that ran it, or beside the tag box for a key or a menu item; never under
// the pointer, never taking the focus or a click. A save that failed says so in its message and shows
// no note; other commands show none.
void TestCommands::everyCopyAndSaveSaysSo()
{
    QFETCH(QString, item);
    QFETCH(QString, button);
    QFETCH(bool, pointerBeside);
    QFETCH(QString, saveAs);
    QWidget* control = button.isEmpty() ? static_cast<QWidget*>(m_probe->tagline()) : m_probe->child(button);
    const QRect beside(control->mapToGlobal(QPoint(0, 0)), control->size());
    QCursor::setPos(pointerBeside ? QPoint(beside.right() + 20, beside.center().y())
                                  : m_window->geometry().bottomRight() + QPoint(200, 200));
    m_window->findChild<QAction*>(QStringLiteral("ItemDefault"))->trigger();
    QVERIFY(!m_window->findChild<BriefNote*>());
    const QString path = m_dir->filePath(saveAs);
    if (!saveAs.isEmpty())
        m_dialogs->answerFile(path);
    QWidget* focus = QApplication::focusWidget();
    if (button.isEmpty())
        m_window->findChild<QAction*>(item)->trigger();
    else
        QTest::mouseClick(static_cast<QPushButton*>(control), Qt::LeftButton);
    auto* note = m_window->findChild<BriefNote*>();
    const bool fails = saveAs.startsWith(QLatin1String("gone/"));
    QCOMPARE(m_dialogs->messages.size(), fails ? 1 : 0);
    if (fails) {
        QVERIFY(!note || !note->isVisible());
        return;
    }
    QVERIFY(note);
    QTRY_VERIFY(note->isVisible());
    if (saveAs.isEmpty())
        QCOMPARE(note->text(), QStringLiteral("Copied"));
    else
        QCOMPARE(note->note(), QStringLiteral("Saved to ") + PrintableText::shown(QDir::toNativeSeparators(path)));
    QVERIFY(saveAs.isEmpty() || QFile::exists(path));
    QVERIFY(!note->note().contains(u'\n'));
    QVERIFY2(standsBeside(note, control), "the note is not beside it");
    QVERIFY2(!note->geometry().contains(QCursor::pos()), "the note is under the pointer");
    QVERIFY(note->windowFlags().testFlag(Qt::WindowTransparentForInput));
    QVERIFY(note->testAttribute(Qt::WA_TransparentForMouseEvents));
    // Where a click or the keys left it.
    QCOMPARE(QApplication::focusWidget(), button.isEmpty() ? focus : control);
    QVERIFY(m_window->isActiveWindow());
    QTRY_VERIFY_WITH_TIMEOUT(!note->isVisible(), 7000);
}

// Wherever the pointer and the control are, a note goes beside the control on the screen, and never under
// the pointer while some side is free of it.
void TestCommands::notesStandBesideAndOffThePointer()
{
    QRandomGenerator random(36);
    const QRect screen(0, 0, 1280, 1024);
    for (int n = 0; n < 20000; ++n) {
        const QSize size(random.bounded(20, 400), random.bounded(10, 40));
        const QRect control(
            random.bounded(-50, 1300), random.bounded(-50, 1050), random.bounded(1, 700), random.bounded(1, 200));
        const QPoint pointer(random.bounded(-10, 1290), random.bounded(-10, 1034));
        const QRect at(BriefNote::placeBeside(control, size, pointer, screen), size);
        QString where;
        QDebug(&where) << control << pointer << at;
        QVERIFY2(screen.contains(at), qPrintable(where));
        bool sideFree = false;
        for (const int left : {control.right() + 7, control.left() - 6 - size.width()}) {
            const QRect side(left, control.center().y() - size.height() / 2, size.width(), size.height());
            sideFree = sideFree || (screen.contains(side) && !side.contains(pointer));
        }
        QVERIFY2(!sideFree || (!at.contains(pointer) && !at.intersects(control)), qPrintable(where));
    }
}

// Copy CSS with Dark Mode says "Copied" beside its button, and warns when the light or the dark half
// misses the target the window was set to.
void TestCommands::darkModeCopyWarns()
{
    // On white, with links 5.7:1 against it and 3.7:1 against black; the text meets AA, then fails it.
    for (const auto& [text, said] :
        {std::pair{"#000000", "Copied"}, {"#BBBBBB", "Copied. The light scheme does not meet AA."}}) {
        SchemeDocument& document = m_window->document();
        document.setColour(Slot::Background, Qt::white, QStringLiteral("test"));
        document.setColour(Slot::Text, QColor(text), QStringLiteral("test"));
        for (const int link : {Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink})
            document.setColour(link, QColor(0xD0, 0x00, 0x00), QStringLiteral("test"));
        m_window->findChild<QAction*>(QStringLiteral("ItemDarkScheme"))->trigger();
        auto* dark = m_window->findChild<QDialog*>(QStringLiteral("DarkSchemeWindow"));
        auto* copy = dark->findChild<QPushButton*>(QStringLiteral("copyCssButton"));
        copy->click();
        auto* note = dark->findChild<BriefNote*>();
        QVERIFY(note && note->isVisible());
        QCOMPARE(note->note(), QLatin1String(said));
        QVERIFY(standsBeside(note, copy));
        delete dark;
    }
}

HUELOOM_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
