#include "app/MainWindow.h"
#include "app/SpinButton.h"
#include "files/SchemeFile.h"
#include "formats/BodyTag.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QRandomGenerator>
#include <QToolButton>
#include <QUndoStack>

namespace {

// Everything a user sees of the scheme, the margins and the tag.
struct Shown {
    SchemeState state;
    QString box;
    QList<int> bars;
    QStringList values;
    QList<QColor> sample;
    QList<bool> boxes;
    QList<bool> spins;
    QStringList marginLabels;
    QPoint preview;
    bool operator==(const Shown&) const = default;
};

Shown shown(MainWindow& window, const WindowProbe& p)
{
    Shown s{window.state(), p.taglineText(), p.bars(), p.valueTexts(), {},
        {p.box(0)->isChecked(), p.box(1)->isChecked()},
        {p.child(QStringLiteral("SpinButton2"))->isEnabled(), p.child(QStringLiteral("SpinButton1"))->isEnabled()},
        {p.child<QLabel>(QStringLiteral("leftlabel"))->text(), p.child<QLabel>(QStringLiteral("TopLabel"))->text()},
        p.child(QStringLiteral("Label7"))->pos()};
    s.sample << p.pageColour();
    for (const char* name : {"Title", "Normal", "newlink", "visitedlink", "activelink"})
        s.sample << p.back(QString::fromLatin1(name)) << p.fore(QString::fromLatin1(name));
    return s;
}

// The first part of `a` that differs from `b`, for the failure message.
QString difference(const Shown& a, const Shown& b)
{
    if (!(a.state == b.state))
        return QStringLiteral("state: tag %1 against %2").arg(a.state.tag(), b.state.tag());
    if (a.box != b.box)
        return QStringLiteral("tag box");
    if (a.bars != b.bars || a.values != b.values)
        return QStringLiteral("bars or their labels");
    if (a.sample != b.sample)
        return QStringLiteral("sample colours");
    if (a.boxes != b.boxes || a.spins != b.spins)
        return QStringLiteral("margin boxes or spin buttons");
    if (a.marginLabels != b.marginLabels)
        return QStringLiteral("margin labels %1 against %2").arg(a.marginLabels.join(','), b.marginLabels.join(','));
    if (a.preview != b.preview)
        return QStringLiteral("margin preview");
    return {};
}

QColor randomColour(QRandomGenerator& random)
{
    return QColor(random.bounded(256), random.bounded(256), random.bounded(256));
}

} // namespace

class TestUndo : public WindowTestCase {
    Q_OBJECT
private slots:
    void undoAllAndRedoAllAreExact();
    void oneGestureIsOneStep();
    void tagBoxUndoesItsOwnText();
    void exitAsksOnlyAboutChanges_data();
    void exitAsksOnlyAboutChanges();
    void exitAsksAboutUnappliedText_data();
    void exitAsksAboutUnappliedText();
    void undoKeysRightAfterApplyTagActOnTheScheme();
};

// Thousands of random changes by every route there is: undoing all of them shows the start again to
// the last pixel-relevant detail, and redoing all of them shows the end again.
void TestUndo::undoAllAndRedoAllAreExact()
{
    const quint32 seed = qEnvironmentVariableIsSet("HUELOOM_SEED") ? qEnvironmentVariableIntValue("HUELOOM_SEED")
                                                                   : QRandomGenerator::global()->generate();
    qInfo("seed %u (set HUELOOM_SEED to repeat)", seed);
    QRandomGenerator random(seed);
    WindowProbe& p = *m_probe;
    const auto action = [this](const char* name) { return m_window->findChild<QAction*>(QString::fromLatin1(name)); };
    SpinButton* spins[]
        = {p.child<SpinButton>(QStringLiteral("SpinButton2")), p.child<SpinButton>(QStringLiteral("SpinButton1"))};
    const QString file = m_dir->filePath(QStringLiteral("scheme.hlm"));

    const Shown start = shown(*m_window, p);
    QVERIFY(!action("ItemUndo")->isEnabled());
    constexpr int Operations = 5000;
    for (int i = 0; i < Operations; ++i) {
        const int kind = random.bounded(100);
        const int which = random.bounded(3);
        if (kind < 10) {
            p.option(random.bounded(5))->click();
        } else if (kind < 40) {
            p.bar(which)->triggerAction(
                random.bounded(2) ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderPageStepSub);
        } else if (kind < 50) {
            p.bar(which)->setValue(random.bounded(256));
        } else if (kind < 58) {
            p.box(random.bounded(2))->click();
        } else if (kind < 75) {
            SpinButton* spin = spins[random.bounded(2)];
            (random.bounded(2) ? spin->upArrow() : spin->downArrow())->click();
        } else if (kind < 78) {
            action("ItemDefault")->trigger();
        } else if (kind < 83) {
            QGuiApplication::clipboard()->setText(randomColour(random).name());
            action("ItemPasteColor")->trigger();
        } else if (kind < 88) {
            m_dialogs->answerColour(randomColour(random));
            action("ItemColor")->trigger();
        } else if (kind < 93) {
            ColourScheme scheme;
            for (int field = 0; field < ColourScheme::ValueCount; ++field)
                scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
            Margins margins;
            margins.setLeft(random.bounded(51));
            margins.setTop(random.bounded(51));
            margins.setUseLeft(random.bounded(2));
            margins.setUseTop(random.bounded(2));
            p.tagline()->setPlainText(BodyTag::compose(scheme, margins));
            action("ItemApplyTag")->trigger();
        } else if (kind < 96) {
            ColourScheme scheme;
            for (int field = 0; field < ColourScheme::ValueCount; ++field)
                scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
            QVERIFY(SchemeFile::write(file, scheme));
            m_window->openSchemeFile(file);
        } else if (m_window->undoStack().canUndo()) {
            // Undoing in the middle of a run drops the steps that could be redone.
            m_window->undoStack().undo();
        }
        const QString broken = p.brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(QStringLiteral("after operation %1: %2").arg(i).arg(broken)));
    }
    const Shown end = shown(*m_window, p);
    const int endSlot = m_window->selectedSlot();
    // The run may have ended on an undo, with a step still there to redo.
    const int endIndex = m_window->undoStack().index();
    QUndoStack& stack = m_window->undoStack();
    QVERIFY(stack.count() > 100);
    while (stack.canUndo()) {
        // Each step has one name: the one undo gives it is the one redo gives it once undone.
        const QString step = action("ItemUndo")->text().remove(QStringLiteral("&Undo"));
        action("ItemUndo")->trigger();
        QCOMPARE(action("ItemRedo")->text().remove(QStringLiteral("&Redo")), step);
    }
    QVERIFY(p.brokenInvariant().isEmpty());
    // The slot follows the steps undone; selecting the one shown at the start changes nothing.
    p.option(Slot::Background)->click();
    QVERIFY(stack.canRedo());
    QCOMPARE(difference(shown(*m_window, p), start), QString());
    while (stack.index() < endIndex)
        action("ItemRedo")->trigger();
    QVERIFY(p.brokenInvariant().isEmpty());
    p.option(endSlot)->click();
    QCOMPARE(difference(shown(*m_window, p), end), QString());
}

void TestUndo::oneGestureIsOneStep()
{
    WindowProbe& p = *m_probe;
    auto* undo = m_window->findChild<QAction*>(QStringLiteral("ItemUndo"));
    QCOMPARE(undo->text(), QStringLiteral("&Undo"));
    QVERIFY(!undo->isEnabled());
    const Shown start = shown(*m_window, p);

    p.option(Slot::Text)->click();
    p.bar(Channel::Green)->setFocus();
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(p.bar(Channel::Green), Qt::Key_Right);
    QCOMPARE(m_window->undoStack().count(), 1);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Text Color"));
    // Another bar is another gesture.
    QTest::keyClick(p.bar(Channel::Blue), Qt::Key_Left);
    QCOMPARE(m_window->undoStack().count(), 2);

    // A margin arrow held down is one step, and the slot follows the step being undone.
    p.box(0)->click();
    p.option(Slot::NewLink)->click();
    for (int i = 0; i < 8; ++i)
        p.child<SpinButton>(QStringLiteral("SpinButton2"))->upArrow()->click();
    QCOMPARE(m_window->undoStack().count(), 4);
    QCOMPARE(undo->text(), QStringLiteral("&Undo Left Margin"));
    undo->trigger();
    undo->trigger();
    QCOMPARE(m_window->selectedSlot(), Slot::Text);
    undo->trigger();
    undo->trigger();
    QVERIFY(!undo->isEnabled());
    p.option(Slot::Background)->click();
    QCOMPARE(difference(shown(*m_window, p), start), QString());
    // A box's step is named by its caption, however historical.
    p.box(1)->click();
    QCOMPARE(undo->text(), QStringLiteral("&Undo Use Right Margin"));
}

void TestUndo::tagBoxUndoesItsOwnText()
{
    WindowProbe& p = *m_probe;
    p.bar(Channel::Red)->triggerAction(QAbstractSlider::SliderSingleStepSub);
    const SchemeState changed = m_window->state();
    p.tagline()->setFocus();
    QTest::keyClicks(p.tagline(), QStringLiteral("xyz"));
    const QString typed = p.taglineText();
    QTest::keyClick(p.tagline(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(p.taglineText() != typed);
    QCOMPARE(m_window->state(), changed);
    QTest::keyClick(p.tagline(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(p.taglineText(), typed);
    // Outside the box the keys act on the scheme, and the menu item always does.
    p.bar(Channel::Red)->setFocus();
    QTest::keyClick(p.bar(Channel::Red), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->scheme(), ColourScheme::defaults());
    QTest::keyClick(p.bar(Channel::Red), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_window->state(), changed);
}

void TestUndo::exitAsksOnlyAboutChanges_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("undoChange");
    QTest::addColumn<int>("choice"); // -1: no question expected
    QTest::addColumn<int>("saveAnswer"); // 0 cancel the save dialog, 1 a good file, 2 a file that cannot be written
    QTest::addColumn<bool>("closes");
    using C = DialogBackend::SaveChoice;
    QTest::newRow("unchanged") << false << false << -1 << 0 << true;
    QTest::newRow("changed back by undo") << true << true << -1 << 0 << true;
    QTest::newRow("cancel") << true << false << int(C::Cancel) << 0 << false;
    QTest::newRow("discard") << true << false << int(C::Discard) << 0 << true;
    QTest::newRow("save") << true << false << int(C::Save) << 1 << true;
    QTest::newRow("save dialog cancelled") << true << false << int(C::Save) << 0 << false;
    QTest::newRow("save fails") << true << false << int(C::Save) << 2 << false;
}

void TestUndo::exitAsksOnlyAboutChanges()
{
    QFETCH(bool, change);
    QFETCH(bool, undoChange);
    QFETCH(int, choice);
    QFETCH(int, saveAnswer);
    QFETCH(bool, closes);
    WindowProbe& p = *m_probe;
    if (change)
        p.bar(Channel::Blue)->triggerAction(QAbstractSlider::SliderPageStepSub);
    if (undoChange)
        m_window->undoStack().undo();
    const QString good = m_dir->filePath(QStringLiteral("kept.hlm"));
    if (choice >= 0) {
        m_dialogs->answerSaveQuestion(DialogBackend::SaveChoice(choice));
        if (choice == int(DialogBackend::SaveChoice::Save)) {
            if (saveAnswer == 0)
                m_dialogs->answerCancel();
            else
                m_dialogs->answerFile(saveAnswer == 1 ? good : m_dir->filePath(QStringLiteral("no/such/folder.hlm")));
        }
    }
    m_window->findChild<QAction*>(QStringLiteral("ItemExit"))->trigger();
    QCOMPARE(m_dialogs->saveQuestions.size(), choice >= 0 ? 1 : 0);
    QCOMPARE(m_window->isVisible(), !closes);
    QCOMPARE(m_dialogs->messages.size(), saveAnswer == 2 ? 1 : 0);
    if (saveAnswer == 1)
        QCOMPARE(SchemeFile::read(good), m_window->scheme());
    // Once saved, nothing is asked any more.
    if (saveAnswer == 1)
        QVERIFY(!m_window->hasUnsavedChanges());
}

// Text in the tag box that is neither the tag nor applied is work the question on exit names; the
// scheme part of the question, and its Save button, come only with a changed scheme.
void TestUndo::exitAsksAboutUnappliedText_data()
{
    QTest::addColumn<QString>("typed"); // appended to the tag, then Backspace for each "\b"
    QTest::addColumn<bool>("apply");
    QTest::addColumn<bool>("change");
    QTest::addColumn<int>("asked"); // 0 nothing, 1 the text only, 2 the scheme only, 3 both
    const QString page = QStringLiteral("<body bgcolor=#102030>");
    QTest::newRow("typed") << QStringLiteral(" x") << false << false << 1;
    QTest::newRow("typed and deleted again") << QStringLiteral(" x\b\b") << false << false << 0;
    QTest::newRow("typed, scheme changed") << QStringLiteral(" x") << false << true << 3;
    QTest::newRow("applied") << page << true << false << 2;
    QTest::newRow("applied with no colours in it") << QStringLiteral(" h1{}") << true << false << 1;
    QTest::newRow("scheme changed only") << QString() << false << true << 2;
}

void TestUndo::exitAsksAboutUnappliedText()
{
    QFETCH(QString, typed);
    QFETCH(bool, apply);
    QFETCH(bool, change);
    QFETCH(int, asked);
    WindowProbe& p = *m_probe;
    if (change)
        p.bar(Channel::Blue)->triggerAction(QAbstractSlider::SliderPageStepSub);
    QPlainTextEdit* box = p.tagline();
    box->setFocus();
    if (apply)
        box->selectAll();
    else
        box->moveCursor(QTextCursor::End);
    for (const QChar c : typed) {
        if (c == u'\b')
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, QString(c));
    }
    if (apply)
        m_window->findChild<QAction*>(QStringLiteral("ItemApplyTag"))->trigger();
    const QString kept = p.taglineText();

    // Cancel keeps the window and the text; Discard ends.
    for (const auto choice : {DialogBackend::SaveChoice::Cancel, DialogBackend::SaveChoice::Discard}) {
        if (asked)
            m_dialogs->answerSaveQuestion(choice);
        m_window->findChild<QAction*>(QStringLiteral("ItemExit"))->trigger();
        if (!asked)
            break;
        QCOMPARE(m_window->isVisible(), choice == DialogBackend::SaveChoice::Cancel);
        QCOMPARE(p.taglineText(), kept);
    }
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_dialogs->saveQuestions.size(), asked ? 2 : 0);
    if (!asked)
        return;
    const QString question = m_dialogs->saveQuestions.first();
    QCOMPARE(question.contains(QStringLiteral("The tag box holds text that was not applied")), (asked & 1) != 0);
    QCOMPARE(question.contains(QStringLiteral("The colour scheme has changed")), (asked & 2) != 0);
    QCOMPARE(m_dialogs->saveOffered.first(), (asked & 2) != 0);
}

void TestUndo::undoKeysRightAfterApplyTagActOnTheScheme()
{
    WindowProbe& p = *m_probe;
    const SchemeState start = m_window->state();
    QPlainTextEdit* box = p.tagline();
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("<body bgcolor=#102030 text=#F0E0D0>"));
    QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
    const SchemeState applied = m_window->state();
    QVERIFY(applied != start);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->state(), start);
    QCOMPARE(p.taglineText(), start.tag());
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_window->state(), applied);
    // Typed text is the box's own to take back again, and the scheme stays.
    QTest::keyClicks(box, QStringLiteral("x"));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->state(), applied);
    QCOMPARE(p.taglineText(), applied.tag());
}

HUELOOM_TEST_MAIN(TestUndo)
#include "tst_undo.moc"
