#include "app/MainWindow.h"
#include "assist/ColourVision.h"
#include "assist/ContrastFixer.h"
#include "colour/Contrast.h"
#include "contrast/ContrastWindow.h"
#include "contrast/DarkSchemeWindow.h"
#include "contrast/FixContrastWindow.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QUndoStack>

using ColourVision::Deficiency;

// The accessibility checks as the main window offers them: the simulated sample and Fix Contrast.
class TestChecks : public WindowTestCase {
    Q_OBJECT
private slots:
    void simulationChangesOnlyTheSample_data();
    void simulationChangesOnlyTheSample();
    void fixContrastIsOneUndoStep();
    void darkSchemeIsOneUndoStep();

private:
    QAction* action(const QString& name) const { return m_window->findChild<QAction*>(name); }
};

void TestChecks::simulationChangesOnlyTheSample_data()
{
    QTest::addColumn<int>("index");
    for (Deficiency deficiency : ColourVision::All)
        if (deficiency != Deficiency::Normal)
            QTest::newRow(qPrintable(ColourVision::displayName(deficiency))) << int(deficiency);
}

void TestChecks::simulationChangesOnlyTheSample()
{
    QFETCH(int, index);
    const auto deficiency = Deficiency(index);
    WindowProbe& p = *m_probe;
    const SchemeState before = m_window->state();
    action(QStringLiteral("ItemContrast"))->trigger();
    auto* table = m_window->findChild<QTableWidget*>(QStringLiteral("ContrastTable"));
    const int columns = table->columnCount();
    const QString name = ColourVision::displayName(deficiency);
    action(QStringLiteral("ItemVision") + QString(name).remove(' '))->trigger();

    QCOMPARE(p.child<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Sample (%1)").arg(name));
    const ColourScheme seen = ColourVision::simulate(deficiency, m_window->scheme());
    // Every pixel of the page above the title is the simulated background, exactly.
    const QImage page = p.child(QStringLiteral("background"))->grab().toImage();
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < page.width(); ++x)
            QCOMPARE(page.pixelColor(x, y), seen.colour(Slot::Background));
    QCOMPARE(p.fore(QStringLiteral("newlink")), seen.colour(Slot::NewLink));
    // Contrast Check gains the ratios as seen; everything else keeps the true colours.
    QCOMPARE(table->columnCount(), columns + 1);
    QVERIFY(table->horizontalHeaderItem(columns)->text().contains(name));
    QCOMPARE(table->item(0, columns)->text(),
        Contrast::ratioText(Contrast::ratio(seen.colour(Slot::Text), seen.colour(Slot::Background)))
            + QStringLiteral(":1"));
    QCOMPARE(m_window->state(), before);
    QVERIFY(!m_window->undoStack().canUndo());

    // A change of a colour reaches the sample simulated too.
    p.option(Slot::Text)->click();
    p.bar(Channel::Red)->setValue(200);
    QCOMPARE(
        p.fore(QStringLiteral("Normal")), ColourVision::simulate(deficiency, m_window->scheme().colour(Slot::Text)));

    action(QStringLiteral("ItemVisionNormalVision"))->trigger();
    QCOMPARE(p.child<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Sample"));
    QCOMPARE(table->columnCount(), columns);
    QCOMPARE(p.brokenInvariant(), QString());
}

void TestChecks::fixContrastIsOneUndoStep()
{
    const SchemeState before = m_window->state();
    for (const bool apply : {false, true}) {
        action(QStringLiteral("ItemFixContrast"))->trigger();
        auto* window = m_window->findChild<FixContrastWindow*>();
        QVERIFY(window && window->isVisible());
        QVERIFY(window->isModal());
        window->findChild<QPushButton*>(apply ? QStringLiteral("applyButton") : QStringLiteral("cancelButton"))
            ->click();
        QTRY_VERIFY(!m_window->findChild<FixContrastWindow*>());
    }
    const ColourScheme proposed
        = ContrastFixer::propose(ColourScheme::defaults(), ContrastFixer::Target::AA, false).scheme;
    QVERIFY(proposed != before.scheme);
    QCOMPARE(m_window->scheme(), proposed);
    QCOMPARE(m_probe->brokenInvariant(), QString());
    QCOMPARE(m_window->undoStack().count(), 1);
    QCOMPARE(action(QStringLiteral("ItemUndo"))->text(), QStringLiteral("&Undo Fix Contrast"));
    action(QStringLiteral("ItemUndo"))->trigger();
    QCOMPARE(m_window->state(), before);
}

// Make Dark Scheme: Copy CSS with Dark Mode puts both schemes on the clipboard, Cancel changes
// nothing, Apply sets the dark scheme as one undo step.
void TestChecks::darkSchemeIsOneUndoStep()
{
    const SchemeState before = m_window->state();
    QCOMPARE(action(QStringLiteral("ItemDarkScheme"))->text(), QStringLiteral("Make &Dark Scheme"));
    action(QStringLiteral("ItemDarkScheme"))->trigger();
    auto* window = m_window->findChild<DarkSchemeWindow*>();
    QVERIFY(window && window->isVisible() && window->isModal());
    window->findChild<QRadioButton*>(QStringLiteral("targetAPCALc75"))->click();
    const ColourScheme dark = ContrastFixer::proposeDark(before.scheme, ContrastFixer::Target::ApcaLc75, false).scheme;
    QCOMPARE(window->proposal().scheme, dark);
    window->findChild<QPushButton*>(QStringLiteral("copyCssButton"))->click();
    const QString css = QGuiApplication::clipboard()->text();
    const qsizetype media = css.indexOf(QStringLiteral("@media (prefers-color-scheme: dark) {\n"));
    QVERIFY2(media > 0, qPrintable(css));
    QVERIFY(css.left(media).contains(before.scheme.colour(Slot::Background).name(), Qt::CaseInsensitive));
    QVERIFY(css.mid(media).contains(dark.colour(Slot::Background).name(), Qt::CaseInsensitive));
    QVERIFY(css.endsWith(QStringLiteral("}\n")));
    QCOMPARE(m_window->state(), before);

    window->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
    QTRY_VERIFY(!m_window->findChild<DarkSchemeWindow*>());
    QCOMPARE(m_window->state(), before);
    action(QStringLiteral("ItemDarkScheme"))->trigger();
    window = m_window->findChild<DarkSchemeWindow*>();
    window->findChild<QPushButton*>(QStringLiteral("applyButton"))->click();
    QTRY_VERIFY(!m_window->findChild<DarkSchemeWindow*>());
    QCOMPARE(m_window->scheme(), ContrastFixer::proposeDark(before.scheme, ContrastFixer::Target::AA, false).scheme);
    QCOMPARE(m_window->undoStack().count(), 1);
    QCOMPARE(action(QStringLiteral("ItemUndo"))->text(), QStringLiteral("&Undo Make Dark Scheme"));
    action(QStringLiteral("ItemUndo"))->trigger();
    QCOMPARE(m_window->state(), before);
    QCOMPARE(m_probe->brokenInvariant(), QString());
}

HUELOOM_TEST_MAIN(TestChecks)
#include "tst_checks.moc"
