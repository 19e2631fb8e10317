#include "app/ColorChooser.h"
#include "app/MainActions.h"
#include "app/MainWindow.h"
#include "assist/ContrastMarker.h"
#include "contrast/FixContrastWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QUndoStack>

// The chooser's bars as OKLCH lightness, chroma and hue, driven with keys as a user drives them.
class TestOklchBars : public WindowTestCase {
    Q_OBJECT
private slots:
    void rgbWindowIsAsItWas();
    void switchesAndComesBack();
    void barsKeepTheirPlace();
    void hueGoesRound();
    void tracksShowTheWay();
    void otherChangesTakeThePlace();
    void undoNamesTheBar_data();
    void undoNamesTheBar();

private:
    ColorChooser* chooser() const { return m_window->findChild<ColorChooser*>(QStringLiteral("Frame1")); }
    QAction* mode() const { return m_window->actions().oklchBars; }
    TrackBar* bar(int c) const { return chooser()->bar(c); }
    Rgb selected() const { return m_window->scheme().colour(m_window->selectedSlot()); }
    void press(int c, Qt::Key key, int times = 1)
    {
        bar(c)->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(bar(c), key);
    }
};

// Everything of the frame a user can see or a screen reader can read.
QStringList frameLook(QWidget* frame)
{
    QStringList look;
    for (const QWidget* w : frame->findChildren<QWidget*>()) {
        QString entry = w->objectName() + QLatin1Char(' ') + QString::number(w->geometry().x()) + QLatin1Char(',')
            + QString::number(w->geometry().width()) + QLatin1Char(' ') + w->accessibleName() + QLatin1Char(' ')
            + w->accessibleDescription();
        if (const auto* label = qobject_cast<const QLabel*>(w))
            entry += QLatin1Char(' ') + label->text() + QString::number(label->alignment());
        if (const auto* b = qobject_cast<const QScrollBar*>(w))
            entry += QStringLiteral(" %1..%2 by %3/%4")
                         .arg(b->minimum())
                         .arg(b->maximum())
                         .arg(b->singleStep())
                         .arg(b->pageStep());
        look << entry;
    }
    return look;
}

// In RGB mode the window is pixel for pixel the one recorded before the bars could turn to OKLCH:
// two colour boxes clicked, the tag box at its longest tag.
void TestOklchBars::rgbWindowIsAsItWas()
{
    MainWindow window(std::make_unique<ScriptedDialogs>());
    window.actions().oklchBars->setChecked(false);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    WindowProbe probe(window);
    QTest::mouseClick(probe.box(0), Qt::LeftButton);
    QTest::mouseClick(probe.box(1), Qt::LeftButton);
    probe.tagline()->moveCursor(QTextCursor::End);
    const QImage expected
        = QImage(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/app/data/rgb-window.png"))
              .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!expected.isNull());
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), expected.size());
    qsizetype differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            differing += shown.pixel(x, y) != expected.pixel(x, y);
    }
    if (differing)
        shown.save(QDir::temp().filePath(QStringLiteral("rgb-window-shown.png")));
    QVERIFY2(differing == 0,
        qPrintable(QStringLiteral("%1 pixels differ; the window as shown is in %2")
                       .arg(differing)
                       .arg(QDir::temp().filePath(QStringLiteral("rgb-window-shown.png")))));
}

void TestOklchBars::switchesAndComesBack()
{
    // The mode is stored: whatever the test before left, this one starts in RGB.
    mode()->setChecked(false);
    const QStringList rgb = frameLook(chooser());
    const QImage picture = m_window->grab().toImage();
    const SchemeState state = m_window->state();
    QCOMPARE(mode()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+L")));
    QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(chooser()->isOklch());
    QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Lightness"));
    QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label3"))->text(), QStringLiteral("Hue"));
    QCOMPARE(bar(1)->maximum(), 400);
    QCOMPARE(bar(2)->pageStep(), 150);
    const QRegularExpression texts[] = {QRegularExpression(QStringLiteral("^L \\d+\\.\\d%$")),
        QRegularExpression(QStringLiteral("^C 0\\.\\d{3}( mapped)?$")),
        QRegularExpression(QStringLiteral("^H \\d+\\.\\d\u00B0$"))};
    for (int c = 0; c < 3; ++c) {
        QVERIFY2(
            texts[c].match(chooser()->valueLabel(c)->text()).hasMatch(), qPrintable(chooser()->valueLabel(c)->text()));
        QCOMPARE(bar(c)->accessibleDescription(), chooser()->valueLabel(c)->text());
    }
    QCOMPARE(m_window->state(), state);
    // Stored: a window opened now starts with the OKLCH bars.
    {
        MainWindow second;
        QVERIFY(second.findChild<ColorChooser*>(QStringLiteral("Frame1"))->isOklch());
    }
    mode()->trigger();
    QCOMPARE(frameLook(chooser()), rgb);
    // Pixel for pixel the window it was.
    QCOMPARE(m_window->grab().toImage(), picture);
    QCOMPARE(m_window->state(), state);
    MainWindow third;
    QVERIFY(!third.findChild<ColorChooser*>(QStringLiteral("Frame1"))->isOklch());
}

// Random colours, random walks of the hue bar and back by the same keys in reverse: the colour comes back
// exactly, even where the walk went out of sRGB or through colours 8 bits cannot hold.
void TestOklchBars::barsKeepTheirPlace()
{
    mode()->setChecked(true);
    QRandomGenerator random(58);
    const Qt::Key keys[] = {Qt::Key_Right, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_PageDown};
    for (int round = 0; round < 40; ++round) {
        m_window->document().setColour(random.bounded(5), QColor::fromRgb(random.generate()), QStringLiteral("Paste"));
        m_window->document().selectSlot(random.bounded(5));
        const Rgb start = selected();
        const OklchPosition place = chooser()->oklchPlace();
        QCOMPARE(place.colour(), start);
        QList<int> walk;
        for (int i = random.bounded(1, 30); i > 0; --i) {
            walk.prepend(random.bounded(4));
            press(2, keys[walk.first()]);
        }
        for (const int k : walk)
            press(2, keys[k ^ 1]);
        QCOMPARE(selected(), start);
        QCOMPARE(chooser()->oklchPlace(), place);
        // Lightness and chroma moved and set back.
        const int lightness = bar(0)->value(), chroma = bar(1)->value();
        bar(0)->setValue(random.bounded(1001));
        bar(1)->setValue(random.bounded(401));
        bar(0)->setValue(lightness);
        bar(1)->setValue(chroma);
        QCOMPARE(selected(), start);
    }
}

void TestOklchBars::hueGoesRound()
{
    mode()->setChecked(true);
    bar(1)->setValue(100);
    bar(2)->setValue(3595);
    press(2, Qt::Key_Right);
    QCOMPARE(bar(2)->value(), 5);
    press(2, Qt::Key_Left);
    QCOMPARE(bar(2)->value(), 3595);
    press(2, Qt::Key_PageUp);
    QCOMPARE(bar(2)->value(), 3595 + 150 - 3600);
    press(2, Qt::Key_PageDown);
    QCOMPARE(bar(2)->value(), 3595);
    press(2, Qt::Key_PageUp);
    QCOMPARE(chooser()->valueLabel(2)->text(), QStringLiteral("H 14.5\u00B0"));
    QCOMPARE(selected(), (OklchPosition{bar(0)->value(), 100, 145}.colour()));
}

// Each track shows the colours its bar would give, the other two held: black to white along lightness at
// no chroma, and hatching only where a place lies outside sRGB.
void TestOklchBars::tracksShowTheWay()
{
    mode()->setChecked(true);
    m_window->document().setColour(m_window->selectedSlot(), QColor(0x80, 0x80, 0x80), QStringLiteral("Paste"));
    bar(1)->setValue(0);
    bar(0)->setValue(1000);
    const auto groove = [this](int c) {
        QStyleOptionSlider option;
        option.initFrom(bar(c));
        option.orientation = Qt::Horizontal;
        option.minimum = bar(c)->minimum();
        option.maximum = bar(c)->maximum();
        option.sliderPosition = bar(c)->sliderPosition();
        option.pageStep = bar(c)->pageStep();
        return bar(c)->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar(c));
    };
    QImage lightness = bar(0)->grab().toImage();
    const QRect track = groove(0);
    QCOMPARE(QColor(lightness.pixel(track.left() + 1, track.center().y())), QColor(Qt::black));
    // The thumb stands at the right end; a third of the way along is a grey.
    const QColor third(lightness.pixel(track.left() + track.width() / 3, track.center().y()));
    QVERIFY(third.red() == third.green() && third.green() == third.blue() && third.red() > 0);
    // Full chroma at mid lightness is outside sRGB for every hue: the chroma track's right end is hatched,
    // its left end (grey) is not.
    bar(0)->setValue(500);
    bar(1)->setValue(0);
    bar(2)->setValue(1500);
    const QImage chroma = bar(1)->grab().toImage();
    const QRect chromaTrack = groove(1);
    const auto column = [&](int x) {
        QSet<QRgb> colours;
        for (int y = chromaTrack.top(); y <= chromaTrack.bottom(); ++y)
            colours << chroma.pixel(x, y);
        return colours.size();
    };
    QCOMPARE(column(chromaTrack.right() - 1), 2);
    QCOMPARE(column(chromaTrack.left() + chromaTrack.width() / 2), 2);
    QCOMPARE(column(chromaTrack.left() + chromaTrack.width() / 8 + 8), 1);
    // The lightness bar's tick: where the background meets AA against the text.
    QCOMPARE(bar(0)->marker(),
        ContrastMarker::lightness(Slot::Background, chooser()->oklchPlace(), m_window->scheme().colour(Slot::Text),
            ContrastAudit::Target::AA));
    QVERIFY(bar(0)->marker());
    // Fixed for AAA, the scheme is meant to meet AAA: the tick moves to where it does.
    m_window->actions().fixContrast->trigger();
    auto* fix = m_window->findChild<FixContrastWindow*>();
    QVERIFY(fix);
    fix->findChild<QAbstractButton*>(QStringLiteral("targetAAA"))->click();
    fix->findChild<QAbstractButton*>(QStringLiteral("applyButton"))->click();
    QTRY_VERIFY(!m_window->findChild<FixContrastWindow*>());
    QCOMPARE(bar(0)->marker(),
        ContrastMarker::lightness(Slot::Background, chooser()->oklchPlace(), m_window->scheme().colour(Slot::Text),
            ContrastAudit::Target::AAA));
    mode()->setChecked(false);
    QVERIFY(!bar(0)->marker());
}

// Paste, undo, the RGB bars: the place is taken from the new colour; a grey keeps the hue.
void TestOklchBars::otherChangesTakeThePlace()
{
    mode()->setChecked(true);
    bar(2)->setValue(2584);
    m_window->document().setColour(m_window->selectedSlot(), QColor(0x40, 0x40, 0x40), QStringLiteral("Paste"));
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(Rgb(0x40, 0x40, 0x40), 2584));
    QCOMPARE(bar(2)->value(), 2584);
    m_window->document().setColour(m_window->selectedSlot(), QColor(0x12, 0x80, 0xc0), QStringLiteral("Paste"));
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(Rgb(0x12, 0x80, 0xc0)));
    m_window->undoStack().undo();
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(Rgb(0x40, 0x40, 0x40), chooser()->oklchPlace().hue));
    QCOMPARE(selected(), Rgb(0x40, 0x40, 0x40));
}

void TestOklchBars::undoNamesTheBar_data()
{
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("name");
    QTest::newRow("lightness") << 0 << "Lightness";
    QTest::newRow("chroma") << 1 << "Chroma";
    QTest::newRow("hue") << 2 << "Hue";
}

void TestOklchBars::undoNamesTheBar()
{
    QFETCH(int, bar);
    QFETCH(QString, name);
    mode()->setChecked(true);
    m_window->document().setColour(m_window->selectedSlot(), QColor(0x80, 0x50, 0x30), QStringLiteral("Paste"));
    const int steps = m_window->undoStack().count();
    press(bar, Qt::Key_Left, 5);
    QCOMPARE(m_window->undoStack().count(), steps + 1);
    QCOMPARE(m_window->undoStack().undoText(), name);
    m_window->undoStack().undo();
    QCOMPARE(selected(), Rgb(0x80, 0x50, 0x30));
}

HUELOOM_TEST_MAIN(TestOklchBars)
#include "tst_oklchbars.moc"
