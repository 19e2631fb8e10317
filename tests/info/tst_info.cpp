#include "app/MainWindow.h"
#include "info/GuideWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextBrowser>

class TestInfo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void windowsOpenOnceAndCloseWithOk_data();
    void windowsOpenOnceAndCloseWithOk();
    void helpTexts();
    void aboutClosesOnAClickAnywhere_data();
    void aboutClosesOnAClickAnywhere();
    void aboutShowsTheAddressOneLineBelowTheOther();
    void closingTheMainWindowClosesThemAll();
    void guideOpensFromTheMenuAndNamesEveryCommand();

private:
    QWidget* open(const char* item, const char* name);

    MainWindow* m_window = nullptr;
};

void TestInfo::init()
{
    m_window = new MainWindow(std::make_unique<ScriptedDialogs>());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestInfo::cleanup()
{
    delete m_window;
}

QWidget* TestInfo::open(const char* item, const char* name)
{
    m_window->findChild<QAction*>(QString::fromLatin1(item))->trigger();
    return m_window->findChild<QWidget*>(QString::fromLatin1(name));
}

void TestInfo::windowsOpenOnceAndCloseWithOk_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("ok");
    QTest::newRow("Help") << "ItemHelp"
                          << "Form3"
                          << "Help for Hueloom 2.0" << QSize(711, 532) << QRect(336, 496, 65, 25);
    QTest::newRow("Trouble Shooting") << "ItemTrouble"
                                      << "Form4"
                                      << "Trouble Shooting Guide for Hueloom 2.0" << QSize(499, 189)
                                      << QRect(368, 16, 65, 25);
    QTest::newRow("About") << "ItemAbout"
                           << "Form2"
                           << "About Hueloom version 2.2" << QSize(488, 281) << QRect();
}

void TestInfo::windowsOpenOnceAndCloseWithOk()
{
    QFETCH(QString, item);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QRect, ok);
    QWidget* window = open(qPrintable(item), qPrintable(name));
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), size);
    QVERIFY(window->windowIcon().cacheKey() != m_window->windowIcon().cacheKey());
    const QRect screen = window->screen()->geometry();
    // Centred by its outer size; a frame the window system adds after showing may shift it a little.
    QVERIFY(qAbs(window->frameGeometry().center().x() - screen.center().x()) <= 4);
    QVERIFY(qAbs(window->frameGeometry().center().y() - screen.center().y()) <= 4);

    // Asking again brings the same window forward.
    open(qPrintable(item), qPrintable(name));
    QCOMPARE(m_window->findChildren<QWidget*>(name).size(), 1);
    // The main window stays usable meanwhile.
    QVERIFY(!window->isModal());

    QSignalSpy gone(window, &QObject::destroyed);
    if (ok.isValid()) {
        auto* button = window->findChild<QPushButton*>(QStringLiteral("Command1"));
        QCOMPARE(button->geometry(), ok);
        QCOMPARE(button->text(), QStringLiteral("&OK"));
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(300, 230));
    }
    QTRY_COMPARE(gone.count(), 1);
    QTRY_COMPARE(QApplication::activeWindow(), m_window);
    QVERIFY(m_window->isVisible());

    // A new one is made next time, centred again.
    QWidget* again = open(qPrintable(item), qPrintable(name));
    QVERIFY(again);
    again->close();
}

void TestInfo::helpTexts()
{
    QWidget* help = open("ItemHelp", "Form3");
    auto text = [help](int n) { return help->findChild<QLabel*>(QStringLiteral("Label%1").arg(n)); };
    QCOMPARE(text(1)->text(), QStringLiteral("File Menu"));
    // 12 pt and 8.25 pt at 96 dpi, set in pixels.
    QCOMPARE(text(1)->font().pixelSize(), 16);
    QCOMPARE(text(2)->font().pixelSize(), 11);
    QVERIFY(text(2)->font().bold());
    QVERIFY(!text(3)->font().bold());
    QCOMPARE(text(7)->text(), QStringLiteral("We have all used windows enough to know what  this option does."));
    QCOMPARE(text(19)->geometry(), QRect(64, 456, 633, 33));
    QVERIFY(text(10)->text().startsWith(QStringLiteral("The Copy feature will copy the portion of the Tag that is "
                                                       "currently selected to the windows clipboard.  This")));
    QWidget* trouble = open("ItemTrouble", "Form4");
    QCOMPARE(trouble->findChild<QLabel*>(QStringLiteral("Label1"))->font().pixelSize(), 18);
    QCOMPARE(trouble->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
        QStringLiteral("The File I/O will not load my previously saved color scheme."));
}

void TestInfo::aboutClosesOnAClickAnywhere_data()
{
    QTest::addColumn<QString>("target");
    for (const char* name : {"Image1", "Label1", "Label2", "Label3", "Label4", "Label5", "Form2"})
        QTest::newRow(name) << name;
}

void TestInfo::aboutClosesOnAClickAnywhere()
{
    QFETCH(QString, target);
    QWidget* about = open("ItemAbout", "Form2");
    QWidget* where = target == QLatin1String("Form2") ? about : about->findChild<QWidget*>(target);
    QVERIFY(where);
    QSignalSpy gone(about, &QObject::destroyed);
    QTest::mouseClick(where, Qt::LeftButton, {}, target == QLatin1String("Form2") ? QPoint(470, 200) : QPoint(3, 3));
    QTRY_COMPARE(gone.count(), 1);
}

void TestInfo::aboutShowsTheAddressOneLineBelowTheOther()
{
    QWidget* about = open("ItemAbout", "Form2");
    auto* address = about->findChild<QLabel*>(QStringLiteral("Label2"));
    QCOMPARE(address->text().split(QLatin1Char('\n')).size(), 5);
    auto* hint = about->findChild<QLabel*>(QStringLiteral("Label3"));
    QCOMPARE(hint->text(), QStringLiteral("Just click anywhere in this window to return to the Hueloom Main Screen."));
    QCOMPARE(hint->palette().color(QPalette::Window), QColor(0xC0, 0xFF, 0xFF));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().size(), QSize(135, 216));
    about->close();
}

void TestInfo::closingTheMainWindowClosesThemAll()
{
    QPointer<QWidget> windows[] = {open("ItemHelp", "Form3"), open("ItemTrouble", "Form4"), open("ItemAbout", "Form2"),
        open("ItemContrast", "ContrastWindow"), open("ItemGuide", "GuideWindow")};
    m_window->close();
    for (const auto& window : windows)
        QTRY_VERIFY(window.isNull());
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
}

// The guide is made only when asked for, from the Help menu, and shows the Markdown file it ships: its
// first heading first, as a heading, and every section of it. Between them, the guide and the classic
// Help name every command of the menus.
void TestInfo::guideOpensFromTheMenuAndNamesEveryCommand()
{
    QFile source(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/../docs/guide.md"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(source.readAll()).split(u'\n');
    QVERIFY(lines.first().startsWith(QStringLiteral("# ")));

    QVERIFY(!m_window->findChild<GuideWindow*>());
    QAction* item = m_window->findChild<QAction*>(QStringLiteral("ItemGuide"));
    QVERIFY(m_window->findChild<QMenu*>(QStringLiteral("HelpMenu"))->actions().contains(item));
    QVERIFY(item->shortcut().isEmpty()); // F1 stays with the Help Screen
    auto* guide = qobject_cast<GuideWindow*>(open("ItemGuide", "GuideWindow"));
    QVERIFY(guide && guide->isVisible());
    QCOMPARE(open("ItemGuide", "GuideWindow"), guide);
    const QTextDocument* text = guide->browser()->document();
    QCOMPARE(text->firstBlock().text(), lines.first().mid(2));
    QCOMPARE(text->firstBlock().blockFormat().headingLevel(), 1);
    const QString shown = text->toPlainText();
    for (const QString& line : lines)
        if (line.startsWith(QStringLiteral("## ")))
            QVERIFY2(shown.contains(line.mid(3)), qPrintable(line));

    QString classic;
    for (QLabel* label : open("ItemHelp", "Form3")->findChildren<QLabel*>())
        classic += label->text() + u'\n';
    for (QAction* action : m_window->findChildren<QAction*>()) {
        if (action->isSeparator() || action->text().isEmpty() || action->associatedObjects().isEmpty())
            continue;
        // "&Hex  #RRGGBB" is Hex; the recent files are the user's own.
        const QString name = action->text().remove(u'&').section(QStringLiteral("  "), 0, 0);
        if (action->parent()->objectName() == QLatin1String("RecentMenu") && name != QLatin1String("Clear List"))
            continue;
        QVERIFY2(
            shown.contains(name, Qt::CaseInsensitive) || classic.contains(name, Qt::CaseInsensitive), qPrintable(name));
    }
    guide->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    QTRY_VERIFY(!m_window->findChild<GuideWindow*>());
}

HUELOOM_TEST_MAIN(TestInfo)
#include "tst_info.moc"
