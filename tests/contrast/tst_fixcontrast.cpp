#include "assist/ContrastFixer.h"
#include "colour/ColorScheme.h"
#include "contrast/FixContrastWindow.h"
#include "contrast/SchemeSample.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using ContrastFixer::Target;

namespace {

ColorScheme greyBackground()
{
    // Black text and links on mid-grey: each passes AA alone, but links cannot also stand 3:1 from the text.
    ColorScheme scheme;
    for (int c = 0; c < Channel::Count; ++c)
        scheme.setChannel(Slot::Background, c, 128);
    return scheme;
}

template <typename W> W* part(const QWidget& window, const char* name)
{
    W* widget = window.findChild<W*>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s in the window", name);
    return widget;
}

} // namespace

class TestFixContrast : public QObject {
    Q_OBJECT
private slots:
    void applyHandsOverTheProposalForTheChoices_data();
    void applyHandsOverTheProposalForTheChoices();
    void cancelChangesNothing();
    void choicesChangeTheProposal();
    void saysWhenTheBackgroundMoves();
    void followsANewCurrentScheme();
    void samplesShowExactColours();
};

void TestFixContrast::applyHandsOverTheProposalForTheChoices_data()
{
    QTest::addColumn<bool>("aaa");
    QTest::addColumn<bool>("underlined");
    QTest::newRow("AA, not underlined (the defaults)") << false << false;
    QTest::newRow("AA, underlined") << false << true;
    QTest::newRow("AAA, not underlined") << true << false;
    QTest::newRow("AAA, underlined") << true << true;
}

void TestFixContrast::applyHandsOverTheProposalForTheChoices()
{
    QFETCH(bool, aaa);
    QFETCH(bool, underlined);
    const ColorScheme current = ColorScheme::defaults();
    FixContrastWindow window(current);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy applied(&window, &FixContrastWindow::applied);
    QCOMPARE(window.windowTitle(), QStringLiteral("Fix Contrast"));
    QVERIFY(part<QRadioButton>(window, "targetAA")->isChecked());
    QVERIFY(!part<QCheckBox>(window, "linksUnderlined")->isChecked());

    if (aaa)
        QTest::mouseClick(part<QRadioButton>(window, "targetAAA"), Qt::LeftButton);
    const QImage plain = part<SchemeSample>(window, "currentSample")->grab().toImage();
    if (underlined)
        QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    // The samples show links as the author's pages do: underlined only when they are.
    QCOMPARE(part<SchemeSample>(window, "currentSample")->grab().toImage() != plain, underlined);
    const ColorScheme expected = ContrastFixer::propose(current, aaa ? Target::AAA : Target::AA, underlined).scheme;
    QCOMPARE(part<SchemeSample>(window, "proposedSample")->scheme(), expected);
    QCOMPARE(part<SchemeSample>(window, "currentSample")->scheme(), current);

    QTest::mouseClick(part<QPushButton>(window, "applyButton"), Qt::LeftButton);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(applied.at(0).at(0).value<ColorScheme>(), expected);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.isVisible());
}

void TestFixContrast::cancelChangesNothing()
{
    FixContrastWindow window(ColorScheme::defaults());
    window.show();
    QSignalSpy applied(&window, &FixContrastWindow::applied);
    QTest::mouseClick(part<QRadioButton>(window, "targetAAA"), Qt::LeftButton);
    QTest::mouseClick(part<QPushButton>(window, "cancelButton"), Qt::LeftButton);
    QCOMPARE(applied.count(), 0);
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QVERIFY(!window.isVisible());
}

void TestFixContrast::choicesChangeTheProposal()
{
    FixContrastWindow window(ColorScheme::defaults());
    auto* proposed = part<SchemeSample>(window, "proposedSample");
    auto* ratios = part<QLabel>(window, "proposedRatios");
    const ColorScheme aa = proposed->scheme();
    const QString aaRatios = ratios->text();
    QVERIFY(aaRatios.contains(QStringLiteral("from text")));

    QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    QVERIFY(proposed->scheme() != aa);
    QVERIFY(!ratios->text().contains(QStringLiteral("from text")));
    const ColorScheme underlined = proposed->scheme();

    QTest::mouseClick(part<QRadioButton>(window, "targetAAA"), Qt::LeftButton);
    QVERIFY(proposed->scheme() != underlined);
    QCOMPARE(window.proposal().scheme, proposed->scheme());
    QCOMPARE(window.target(), Target::AAA);

    // The APCA targets: the proposal for each, its figures in Lc, the 3:1 rule from the text kept.
    QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    const std::pair<const char*, Target> apca[]
        = {{"targetApca60", Target::ApcaLc60}, {"targetApca75", Target::ApcaLc75}, {"targetApca90", Target::ApcaLc90}};
    for (const auto& [name, target] : apca) {
        QTest::mouseClick(part<QRadioButton>(window, name), Qt::LeftButton);
        QCOMPARE(window.target(), target);
        QCOMPARE(proposed->scheme(), ContrastFixer::propose(ColorScheme::defaults(), target, false).scheme);
        QVERIFY(ratios->text().startsWith(QStringLiteral("Text Lc ")));
        QVERIFY(ratios->text().contains(QStringLiteral("from text")));
    }

    QTest::mouseClick(part<QRadioButton>(window, "targetAA"), Qt::LeftButton);
    QCOMPARE(proposed->scheme(), aa);
    QCOMPARE(ratios->text(), aaRatios);

    // A text that passes against the page still moves when links cannot stand 3:1 from it; the note
    // says why.
    ColorScheme scheme;
    const char* colours[] = {"#fce7b0", "#711ea3", "#95e16c", "#d09426", "#f2cda8"};
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const QColor c{QLatin1StringView(colours[slot])};
        for (int channel = 0; channel < Channel::Count; ++channel)
            scheme.setChannel(slot, channel,
                static_cast<qint16>(channel == 0 ? c.red()
                        : channel == 1           ? c.green()
                                                 : c.blue()));
    }
    window.setScheme(scheme);
    QCOMPARE(proposed->scheme().colour(Slot::Text), QColor(QStringLiteral("#340050")));
    QVERIFY(part<QLabel>(window, "note")->text().contains(QStringLiteral("not 3:1 from the text")));
}

void TestFixContrast::saysWhenTheBackgroundMoves()
{
    FixContrastWindow window(greyBackground());
    auto* note = part<QLabel>(window, "note");
    QVERIFY(window.proposal().backgroundMoved);
    QVERIFY2(note->text().contains(QStringLiteral("background changes")), qPrintable(note->text()));
    QVERIFY(note->text().contains(QStringLiteral("#808080")));
    QCOMPARE(note->textFormat(), Qt::PlainText);

    QVERIFY(part<QPushButton>(window, "applyButton")->isEnabled());

    // Underlined, black text and links already pass on this grey: nothing to apply.
    QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    QVERIFY(!window.proposal().backgroundMoved);
    QCOMPARE(window.proposal().scheme, greyBackground());
    QVERIFY(note->text().contains(QStringLiteral("already meets")));
    QVERIFY(!part<QPushButton>(window, "applyButton")->isEnabled());
}

void TestFixContrast::followsANewCurrentScheme()
{
    FixContrastWindow window(ColorScheme::defaults());
    window.setScheme(greyBackground());
    QCOMPARE(part<SchemeSample>(window, "currentSample")->scheme(), greyBackground());
    QCOMPARE(part<SchemeSample>(window, "proposedSample")->scheme(),
        ContrastFixer::propose(greyBackground(), Target::AA, false).scheme);
}

void TestFixContrast::samplesShowExactColours()
{
    FixContrastWindow window(ColorScheme::defaults());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char* name : {"currentSample", "proposedSample"}) {
        auto* sample = part<SchemeSample>(window, name);
        const QImage image = sample->grab().toImage();
        const QColor back = sample->scheme().colour(Slot::Background);
        // Corners are page, flat: no frame, no shading.
        for (const QPoint& p :
            {QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1), QPoint(image.width() - 1, 0)})
            QCOMPARE(
                image.pixelColor(p.x() * image.width() / sample->width(), p.y() * image.height() / sample->height()),
                back);
        // The title is drawn in the text colour, exactly, somewhere.
        bool textSeen = false;
        const QColor text = sample->scheme().colour(Slot::Text);
        for (int y = 0; y < image.height() && !textSeen; ++y) {
            for (int x = 0; x < image.width() && !textSeen; ++x)
                textSeen = image.pixelColor(x, y) == text;
        }
        QVERIFY(textSeen);
    }
}

HUELOOM_TEST_MAIN(TestFixContrast)
#include "tst_fixcontrast.moc"
