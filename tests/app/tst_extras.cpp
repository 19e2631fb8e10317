#include "contrast/ContrastWindow.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAccessible>
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QPushButton>
#include <QToolButton>

// What Hueloom offers beyond the classic tool: contrast check, CSS, accessible names.
class TestExtras : public WindowTestCase {
    Q_OBJECT
private slots:
    void contrastWindowFollowsTheScheme();
    void sampleLinesTellTheirContrast();
    void copyAsCss();
    void everyControlHasAnAccessibleName();
};

void TestExtras::contrastWindowFollowsTheScheme()
{
    QTest::keyClick(m_window, Qt::Key_K, Qt::ControlModifier);
    auto* contrast = m_window->findChild<ContrastWindow*>(QStringLiteral("ContrastWindow"));
    QVERIFY(contrast);
    QCOMPARE(contrast->windowTitle(), QStringLiteral("Contrast Check"));
    QCOMPARE(
        contrast->rowTexts(0), (QStringList{"4.82:1", "\u2713 pass", "\u2713 pass", "\u2717 fail", "\u2713 pass"}));
    QCOMPARE(
        contrast->rowTexts(1), (QStringList{"3.57:1", "\u2717 fail", "\u2713 pass", "\u2717 fail", "\u2717 fail"}));
    QCOMPARE(contrast->rowTexts(3).first(), QStringLiteral("1.82:1"));
    QVERIFY(contrast->rowTexts(4).at(1).startsWith(QStringLiteral("\u2717 fail")));

    // Black text: the row follows at once.
    QTest::mouseClick(m_probe->option(1), Qt::LeftButton);
    m_probe->bar(1)->setValue(0);
    m_probe->bar(2)->setValue(0);
    QCOMPARE(contrast->rowTexts(0).first(), QStringLiteral("13.89:1"));
    QCOMPARE(contrast->rowTexts(0).at(3), QStringLiteral("\u2713 pass"));
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

HUELOOM_TEST_MAIN(TestExtras)
#include "tst_extras.moc"
