#include "app/ColorChooser.h"
#include "app/MainActions.h"
#include "assist/ContrastMarker.h"
#include "contrast/FixContrastWindow.h"
#include "support/TestApp.h"
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
    void switchesAndComesBack();
    void barsKeepTheirPlace();
    void tracksShowTheWay();
    void otherChangesTakeThePlace();

private:
    ColorChooser* chooser() const { return m_window->findChild<ColorChooser*>(QStringLiteral("Frame1")); }
    QAction* mode() const { return m_window->actions().oklchBars; }
    TrackBar* bar(int c) const { return chooser()->bar(c); }
    static inline const QString Captions[]
        = {QStringLiteral("Lightness"), QStringLiteral("Chroma"), QStringLiteral("Hue")};
    Rgb selected() const { return m_window->scheme().colour(m_window->selectedSlot()); }
    void press(int c, Qt::Key key, int times = 1)
    {
        bar(c)->setFocus();
        for (int i = 0; i < times; ++i)
            QTest::keyClick(bar(c), key);
    }
};

// Everything of the frame a screen reader can read, beyond what the window's pixels show.
QStringList frameLook(QWidget* frame)
{
    QStringList look;
    for (const QWidget* w : frame->findChildren<QWidget*>()) {
        QString entry;
        QDebug(&entry) << w->objectName() << w->accessibleName() << w->accessibleDescription();
        if (const auto* b = qobject_cast<const QScrollBar*>(w))
            QDebug(&entry) << b->minimum() << b->maximum() << b->singleStep() << b->pageStep();
        look << entry;
    }
    return look;
}

// In RGB mode the window is pixel for pixel the one recorded before the bars could turn to OKLCH (two colour
// boxes clicked, the tag box at its longest tag), and again after a turn to OKLCH by the shortcut and back.
// The turn shows the bars' captions, ranges and texts, and is stored for the next window.
void TestOklchBars::switchesAndComesBack()
{
    // The mode is stored: whatever the test before left, this one starts in RGB.
    mode()->setChecked(false);
    QTest::mouseClick(m_probe->box(0), Qt::LeftButton);
    QTest::mouseClick(m_probe->box(1), Qt::LeftButton);
    m_probe->tagline()->moveCursor(QTextCursor::End);
    const QImage recorded
        = QImage(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/app/data/rgb-window.png"))
              .convertToFormat(QImage::Format_ARGB32);
    const QString saved = QDir::temp().filePath(QStringLiteral("rgb-window-shown.png"));
    const auto asRecorded = [&] {
        const QImage shown = m_window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        if (shown != recorded)
            shown.save(saved);
        return !recorded.isNull() && shown == recorded;
    };
    QVERIFY2(asRecorded(), qPrintable(QStringLiteral("the window as shown is in ") + saved));
    const QStringList rgb = frameLook(chooser());
    const SchemeState state = m_window->state();
    QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(chooser()->isOklch());
    const int maxima[] = {1000, 400, 3599}, pageSteps[] = {100, 50, 150};
    const char* texts[] = {"^L \\d+\\.\\d%$", "^C 0\\.\\d{3}( mapped)?$", "^H \\d+\\.\\d\u00B0$"};
    for (int c = 0; c < 3; ++c) {
        const QString text = chooser()->valueLabel(c)->text();
        QCOMPARE(m_window->findChild<QLabel*>(QStringLiteral("Label%1").arg(c + 1))->text(), Captions[c]);
        QCOMPARE(bar(c)->maximum(), maxima[c]);
        QCOMPARE(bar(c)->pageStep(), pageSteps[c]);
        QVERIFY2(QRegularExpression(QString::fromUtf8(texts[c])).match(text).hasMatch(), qPrintable(text));
        QCOMPARE(bar(c)->accessibleDescription(), text);
    }
    QVERIFY(MainWindow().findChild<ColorChooser*>(QStringLiteral("Frame1"))->isOklch());
    mode()->trigger();
    QCOMPARE(frameLook(chooser()), rgb);
    QVERIFY(bar(0)->accessibleDescription().isEmpty() && bar(2)->accessibleDescription().isEmpty());
    QVERIFY2(asRecorded(), qPrintable(QStringLiteral("the window as shown is in ") + saved));
    QCOMPARE(m_window->state(), state);
    QVERIFY(!MainWindow().findChild<ColorChooser*>(QStringLiteral("Frame1"))->isOklch());
}

// Random colours, random walks of the hue bar and back by the same keys in reverse: the colour comes back
// exactly, even where the walk went out of sRGB or through colours 8 bits cannot hold; the hue goes round.
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
    // Steps and pages of the hue bar across its seam, each way.
    bar(1)->setValue(100);
    bar(2)->setValue(3590);
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_Right, 0}, {Qt::Key_Left, 3590}, {Qt::Key_PageUp, 140},
        {Qt::Key_PageDown, 3590}, {Qt::Key_PageUp, 140}};
    for (const auto& [key, hue] : steps) {
        press(2, key);
        QCOMPARE(bar(2)->value(), hue);
    }
    QCOMPARE(chooser()->valueLabel(2)->text(), QStringLiteral("H 14.0\u00B0"));
    QCOMPARE(selected(), (OklchPosition{bar(0)->value(), 100, 140}.colour()));
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
    // The lightness bar's tick: where the background meets AA against the text, and, fixed for AAA (the
    // scheme is meant to meet AAA), where it meets AAA.
    const auto marked = [this](ContrastAudit::Target target) {
        return ContrastMarker::lightness(
            Slot::Background, chooser()->oklchPlace(), m_window->scheme().colour(Slot::Text), target);
    };
    QVERIFY(bar(0)->marker());
    QCOMPARE(bar(0)->marker(), marked(ContrastAudit::Target::AA));
    m_window->actions().fixContrast->trigger();
    auto* fix = m_window->findChild<FixContrastWindow*>();
    QVERIFY(fix);
    fix->findChild<QAbstractButton*>(QStringLiteral("targetAAA"))->click();
    fix->findChild<QAbstractButton*>(QStringLiteral("applyButton"))->click();
    QTRY_VERIFY(!m_window->findChild<FixContrastWindow*>());
    QCOMPARE(bar(0)->marker(), marked(ContrastAudit::Target::AAA));
    mode()->setChecked(false);
    QVERIFY(!bar(0)->marker());
}

// Paste, undo, the RGB bars: the place is taken from the new colour; a grey keeps the hue. Keys on each bar
// make one undo step named for it.
void TestOklchBars::otherChangesTakeThePlace()
{
    mode()->setChecked(true);
    bar(2)->setValue(2584);
    const Rgb grey(0x40, 0x40, 0x40), blue(0x12, 0x80, 0xc0);
    m_window->document().setColour(m_window->selectedSlot(), grey, QStringLiteral("Paste"));
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(grey, 2584));
    QCOMPARE(bar(2)->value(), 2584);
    m_window->document().setColour(m_window->selectedSlot(), blue, QStringLiteral("Paste"));
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(blue));
    const int steps = m_window->undoStack().count();
    for (int c = 0; c < 3; ++c) {
        press(c, Qt::Key_Left, 5);
        QCOMPARE(m_window->undoStack().count(), steps + 1);
        QCOMPARE(m_window->undoStack().undoText(), Captions[c]);
        m_window->undoStack().undo();
        QCOMPARE(selected(), blue);
    }
    m_window->undoStack().undo();
    QCOMPARE(chooser()->oklchPlace(), OklchPosition::of(grey, chooser()->oklchPlace().hue));
    QCOMPARE(selected(), grey);
    press(1, Qt::Key_End);
    QCOMPARE(chooser()->valueLabel(1)->text(), QStringLiteral("C 0.400 mapped"));
}

HUELOOM_TEST_MAIN(TestOklchBars)
#include "tst_oklchbars.moc"
