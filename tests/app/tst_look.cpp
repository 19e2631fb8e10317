#include "app/MainWindow.h"
#include "colour/ColourScheme.h"
#include "contrast/ContrastWindow.h"
#include "dialogs/TitleDialog.h"
#include "info/AboutWindow.h"
#include "info/HelpWindow.h"
#include "info/TroubleWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"

#include <QFont>
#include <QImage>
#include <QPalette>
#include <functional>
#include <memory>

// How the program looks: the sample page in exactly the chosen colour, the same windows whatever the
// desktop's palette and font, the keyboard focus on the colour bars, the tag box's scroll bar.
class TestLook : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void samplePageIsExactlyTheBackground_data();
    void samplePageIsExactlyTheBackground();
    void windowsIgnoreTheDesktopPaletteAndFont_data();
    void windowsIgnoreTheDesktopPaletteAndFont();
    void focusedBarShowsIt_data();
    void focusedBarShowsIt();
    void tagBoxScrollsOnlyWhenItMust_data();
    void tagBoxScrollsOnlyWhenItMust();

private:
    std::unique_ptr<MainWindow> makeWindow();

    QPalette m_palette;
    QFont m_font;
};

using WindowMaker = std::function<QWidget*()>;
Q_DECLARE_METATYPE(WindowMaker)

void TestLook::init()
{
    m_palette = QApplication::palette();
    m_font = QApplication::font();
}

void TestLook::cleanup()
{
    QApplication::setPalette(m_palette);
    QApplication::setFont(m_font);
}

std::unique_ptr<MainWindow> TestLook::makeWindow()
{
    auto window = std::make_unique<MainWindow>(std::make_unique<ScriptedDialogs>());
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the main window did not become active");
    return window;
}

void TestLook::samplePageIsExactlyTheBackground_data()
{
    QTest::addColumn<QColor>("page");
    for (const char* name : {"#CECEFF", "#FFFFFF", "#000000", "#808080"})
        QTest::newRow(name) << QColor(QString::fromLatin1(name));
}

void TestLook::samplePageIsExactlyTheBackground()
{
    QFETCH(QColor, page);
    const auto window = makeWindow();
    WindowProbe probe(*window);
    QTest::mouseClick(probe.option(Slot::Background), Qt::LeftButton);
    probe.bar(0)->setValue(page.red());
    probe.bar(1)->setValue(page.green());
    probe.bar(2)->setValue(page.blue());

    QWidget* sample = probe.child(QStringLiteral("background"));
    const QImage shot = window->grab(QRect(sample->mapTo(window.get(), QPoint()), sample->size())).toImage();
    QCOMPARE(shot.size(), sample->size());

    // Where the text of each line can be (its label's top rows, across the text's width and a little
    // more for overhang), anything may be; everywhere else is page.
    QList<QRect> textBoxes;
    for (const char* name : {"Title", "Normal", "newlink", "visitedlink", "activelink"}) {
        const auto* label = probe.child<QLabel>(QString::fromLatin1(name));
        const QFontMetrics metrics = label->fontMetrics();
        const int width = metrics.horizontalAdvance(label->text());
        const int left = label->x() + (label->width() - width) / 2;
        textBoxes << QRect(left - 3, label->y(), width + 6, metrics.height() + 1);
    }
    int checked = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (std::any_of(textBoxes.cbegin(), textBoxes.cend(), [&](const QRect& box) { return box.contains(x, y); }))
                continue;
            const QColor pixel = shot.pixelColor(x, y);
            if (pixel.rgb() != page.rgb())
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 of the page is %3").arg(x).arg(y).arg(pixel.name())));
            ++checked;
        }
    // Most of the page is free of text: the margins, the rows between the lines and beside them.
    QVERIFY(checked > shot.width() * shot.height() * 3 / 4);
}

void TestLook::windowsIgnoreTheDesktopPaletteAndFont_data()
{
    QTest::addColumn<WindowMaker>("make");
    QTest::newRow("main window") << WindowMaker([] { return new MainWindow(std::make_unique<ScriptedDialogs>()); });
    QTest::newRow("Help") << WindowMaker([] { return new HelpWindow; });
    QTest::newRow("Trouble Shooting") << WindowMaker([] { return new TroubleWindow; });
    QTest::newRow("About") << WindowMaker([] { return new AboutWindow; });
    QTest::newRow("title dialog") << WindowMaker([] { return new TitleDialog; });
    QTest::newRow("Contrast Check") << WindowMaker([] {
        auto* window = new ContrastWindow;
        window->showScheme(ColourScheme::defaults());
        return window;
    });
}

void TestLook::windowsIgnoreTheDesktopPaletteAndFont()
{
    QFETCH(WindowMaker, make);
    const auto grab = [&make] {
        const std::unique_ptr<QWidget> window(make());
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
        return window->grab().toImage();
    };
    const QImage usual = grab();

    // A dark desktop with a large font of another family, as a platform theme sets them.
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x10, 0x10, 0x10));
    QApplication::setPalette(dark);
    QFont large(QStringLiteral("Liberation Serif"), 15);
    large.setItalic(true);
    QApplication::setFont(large);
    const QImage themed = grab();

    QCOMPARE(themed.size(), usual.size());
    QVERIFY2(themed == usual, "the window changed with the application's palette or font");
}

void TestLook::focusedBarShowsIt_data()
{
    QTest::addColumn<QString>("bar");
    for (const char* name : {"redscroll", "greenscroll", "bluescroll"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestLook::focusedBarShowsIt()
{
    QFETCH(QString, bar);
    const auto window = makeWindow();
    WindowProbe probe(*window);
    QWidget* focused = probe.child(bar);
    const QRect area(focused->mapTo(window.get(), QPoint()), focused->size());

    focused->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(focused->hasFocus());
    const QImage with = window->grab(area).toImage();
    probe.tagline()->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(!focused->hasFocus());
    const QImage without = window->grab(area).toImage();
    QVERIFY2(with != without, "the bar looks the same with and without the keyboard focus");
}

void TestLook::tagBoxScrollsOnlyWhenItMust_data()
{
    QTest::addColumn<bool>("leftMargin");
    QTest::addColumn<bool>("topMargin");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("default tag") << false << false << QString() << 86 << false;
    QTest::newRow("longest tag") << true << true << QString() << 117 << false;
    QTest::newRow("three lines typed") << true << true << QStringLiteral("\nmore\nand more") << 131 << true;
}

void TestLook::tagBoxScrollsOnlyWhenItMust()
{
    QFETCH(bool, leftMargin);
    QFETCH(bool, topMargin);
    QFETCH(QString, typed);
    QFETCH(int, length);
    QFETCH(bool, scrolls);
    const auto window = makeWindow();
    WindowProbe probe(*window);
    if (leftMargin)
        QTest::mouseClick(probe.box(0), Qt::LeftButton);
    if (topMargin)
        QTest::mouseClick(probe.box(1), Qt::LeftButton);
    QPlainTextEdit* box = probe.tagline();
    if (!typed.isEmpty()) {
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(typed);
    }
    QCOMPARE(box->toPlainText().size(), length);
    QTRY_COMPARE(box->verticalScrollBar()->isVisible(), scrolls);
    QVERIFY(!box->horizontalScrollBar()->isVisible());
}

HUELOOM_TEST_MAIN(TestLook)
#include "tst_look.moc"
