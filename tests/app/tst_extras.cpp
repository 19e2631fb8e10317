#include "app/SpinButton.h"
#include "contrast/ContrastWindow.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

// What Hueloom offers beyond the classic tool: contrast check, CSS, accessible names.
class TestExtras : public WindowTestCase {
    Q_OBJECT
private slots:
    void contrastWindowFollowsTheScheme();
    void sampleLinesTellTheirContrast();
    void copyAsCss();
    void everyControlHasAnAccessibleName();
    void marginsReadAsSpinButtons_data();
    void marginsReadAsSpinButtons();
    void windowsAreDialogs();
    void contrastIsATableWithHeaders();
};

void TestExtras::contrastWindowFollowsTheScheme()
{
    QTest::keyClick(m_window, Qt::Key_K, Qt::ControlModifier);
    auto* contrast = m_window->findChild<ContrastWindow*>(QStringLiteral("ContrastWindow"));
    QVERIFY(contrast);
    QCOMPARE(contrast->windowTitle(), QStringLiteral("Contrast Check"));
    QCOMPARE(contrast->rowTexts(0),
        (QStringList{"4.82:1", "58.4", "\u2713 pass", "\u2713 pass", "\u2717 fail", "\u2713 pass"}));
    QCOMPARE(contrast->rowTexts(1),
        (QStringList{"3.57:1", "50.0", "\u2717 fail", "\u2713 pass", "\u2717 fail", "\u2717 fail"}));
    QCOMPARE(contrast->rowTexts(3).first(), QStringLiteral("1.82:1"));
    QVERIFY(contrast->rowTexts(4).at(2).startsWith(QStringLiteral("\u2717 fail")));

    // Black text: the row follows at once.
    QTest::mouseClick(m_probe->option(1), Qt::LeftButton);
    m_probe->bar(1)->setValue(0);
    m_probe->bar(2)->setValue(0);
    QCOMPARE(contrast->rowTexts(0).first(), QStringLiteral("13.89:1"));
    QCOMPARE(contrast->rowTexts(0).at(4), QStringLiteral("\u2713 pass"));
    m_window->findChild<QAction*>(QStringLiteral("ItemDefault"))->trigger();
    QCOMPARE(contrast->rowTexts(0).first(), QStringLiteral("4.82:1"));

    // At most one; OK closes it.
    m_window->findChild<QAction*>(QStringLiteral("ItemContrast"))->trigger();
    QCOMPARE(m_window->findChildren<ContrastWindow*>().size(), 1);
    QPointer<ContrastWindow> gone(contrast);
    QTest::mouseClick(contrast->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(gone.isNull());
}

void TestExtras::sampleLinesTellTheirContrast()
{
    QCOMPARE(m_probe->child(QStringLiteral("Normal"))->toolTip(),
        QStringLiteral("Contrast against the background: 4.82:1, reaches AA"));
    QCOMPARE(m_probe->child(QStringLiteral("activelink"))->toolTip(),
        QStringLiteral("Contrast against the background: 1.82:1, reaches none"));
    QTest::mouseClick(m_probe->option(4), Qt::LeftButton);
    m_probe->bar(1)->setValue(0);
    QCOMPARE(m_probe->child(QStringLiteral("activelink"))->toolTip(),
        QStringLiteral("Contrast against the background: 13.89:1, reaches AAA"));
}

void TestExtras::copyAsCss()
{
    QTest::mouseClick(m_probe->box(0), Qt::LeftButton);
    QTest::mouseClick(m_probe->box(1), Qt::LeftButton);
    // From inside the tag line too: the shortcut is the window's.
    m_probe->tagline()->setFocus();
    QTest::keyClick(m_probe->tagline(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(),
        QStringLiteral("body { background-color: #CECEFF; color: #0055AA; margin-left: 10px; margin-top: 10px; }\n"
                       "a:link { color: #007C00; }\na:visited { color: #003C00; }\na:active { color: #00B500; }\n"));
    QCOMPARE(m_probe->tagline()->toPlainText(), m_window->tag().text());
}

void TestExtras::everyControlHasAnAccessibleName()
{
    QStringList unnamed;
    for (QWidget* widget : m_window->centralWidget()->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSlider*>(widget)
            || qobject_cast<QLabel*>(widget) || qobject_cast<QPlainTextEdit*>(widget)
            || qobject_cast<QGroupBox*>(widget) || widget->inherits("SpinButton");
        if (!control || !widget->isVisibleTo(m_window) || widget->objectName().isEmpty())
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << widget->objectName();
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char(' '))));
    // The value labels and bars say which channel they are.
    QCOMPARE(QAccessible::queryAccessibleInterface(m_probe->valueLabel(1))->text(QAccessible::Name),
        QStringLiteral("Green value"));
    QCOMPARE(QAccessible::queryAccessibleInterface(m_probe->bar(2))->text(QAccessible::Name),
        QStringLiteral("Blue channel"));
}

void TestExtras::marginsReadAsSpinButtons_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("spin");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::newRow("left") << 0 << "SpinButton2"
                          << "leftlabel"
                          << "Left margin value %1";
    QTest::newRow("top") << 1 << "SpinButton1"
                         << "TopLabel"
                         << "Top margin value %1";
}

// A screen reader meets each margin as a spin button holding the margin, with its range, whose
// increase and decrease actions step it like the arrows; the value label's name says the number.
void TestExtras::marginsReadAsSpinButtons()
{
    QFETCH(int, box);
    QFETCH(QString, spin);
    QFETCH(QString, label);
    QFETCH(QString, name);
    auto* button = m_probe->child<SpinButton>(spin);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QAccessibleInterface* number = QAccessible::queryAccessibleInterface(m_probe->child(label));
    QCOMPARE(accessible->role(), QAccessible::SpinBox);
    QAccessibleValueInterface* value = accessible->valueInterface();
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(value && actions);
    const auto margin = [&] { return box == 0 ? m_window->margins().left() : m_window->margins().top(); };
    const auto reads = [&](int expected) {
        return value->currentValue().toInt() == expected && margin() == expected
            && accessible->text(QAccessible::Value) == QString::number(expected)
            && number->text(QAccessible::Name) == name.arg(expected);
    };
    QCOMPARE(value->minimumValue().toInt(), 0);
    QCOMPARE(value->maximumValue().toInt(), 50);
    QVERIFY(reads(10));

    // A disabled spin button ignores its actions, as its arrows do.
    actions->doAction(QAccessibleActionInterface::increaseAction());
    QVERIFY(reads(10));

    // A screen reader's toggle sets the box without a click; the margin goes into the tag all the same.
    QAccessible::queryAccessibleInterface(m_probe->box(box))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(button->isEnabled());
    actions->doAction(QAccessibleActionInterface::increaseAction());
    QVERIFY(reads(11));
    QVERIFY(m_window->tag().text().contains(QStringLiteral("=\"11\"")));
    for (int i = 0; i < 60; ++i)
        actions->doAction(QAccessibleActionInterface::decreaseAction());
    QVERIFY(reads(0));
    value->setCurrentValue(37);
    QVERIFY(reads(37));
    value->setCurrentValue(99);
    QVERIFY(reads(50));
    // The arrows themselves report as well.
    QTest::mouseClick(button->downArrow(), Qt::LeftButton);
    QVERIFY(reads(49));
}

void TestExtras::windowsAreDialogs()
{
    const struct {
        const char* item;
        const char* name;
        const char* caption;
    } windows[] = {{"ItemHelp", "Form3", "Help for Hueloom 2.0"},
        {"ItemTrouble", "Form4", "Trouble Shooting Guide for Hueloom 2.0"},
        {"ItemAbout", "Form2", "About Hueloom version 2.2"}, {"ItemContrast", "ContrastWindow", "Contrast Check"}};
    for (const auto& [item, name, caption] : windows) {
        m_window->findChild<QAction*>(QString::fromLatin1(item))->trigger();
        auto* window = m_window->findChild<QWidget*>(QString::fromLatin1(name));
        QVERIFY(window);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window);
        QCOMPARE(accessible->role(), QAccessible::Dialog);
        QCOMPARE(accessible->text(QAccessible::Name), QString::fromUtf8(caption));
    }
}

// The name of the first of `headers`. Header cells come new with each call and belong to the caller,
// who hands them to the accessibility cache to be deleted.
static QString headerText(const QList<QAccessibleInterface*>& headers)
{
    const QString text = headers.isEmpty() ? QString() : headers.first()->text(QAccessible::Name);
    for (QAccessibleInterface* header : headers)
        QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(header));
    return text;
}

// Every verdict of Contrast Check sits under the heading of its level and beside the name of its pair.
void TestExtras::contrastIsATableWithHeaders()
{
    m_window->findChild<QAction*>(QStringLiteral("ItemContrast"))->trigger();
    auto* contrast = m_window->findChild<ContrastWindow*>(QStringLiteral("ContrastWindow"));
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(contrast->table())->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 7);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QStringList texts = contrast->rowTexts(row);
        for (int column = 0; column < texts.size(); ++column) {
            QAccessibleTableCellInterface* cell = table->cellAt(row, column)->tableCellInterface();
            const QString header = headerText(cell->rowHeaderCells());
            QCOMPARE(header, table->rowDescription(row));
            QCOMPARE(table->cellAt(row, column)->text(QAccessible::Name), texts.at(column));
        }
    }
    QCOMPARE(table->rowDescription(4), QStringLiteral("New link from text"));
    QCOMPARE(table->columnDescription(0), QStringLiteral("Ratio"));
    QCOMPARE(table->columnDescription(1), QStringLiteral("APCA Lc (advisory)"));
    QCOMPARE(table->columnDescription(4), QStringLiteral("AAA normal (7)"));
    QCOMPARE(
        headerText(table->cellAt(0, 4)->tableCellInterface()->columnHeaderCells()), QStringLiteral("AAA normal (7)"));
    QCOMPARE(table->cellAt(0, 4)->text(QAccessible::Name), QStringLiteral("\u2717 fail"));
    // Nothing in it can be edited.
    QCOMPARE(contrast->table()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

HUELOOM_TEST_MAIN(TestExtras)
#include "tst_extras.moc"
