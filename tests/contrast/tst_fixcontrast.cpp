#include "assist/ContrastFixer.h"
#include "colour/ColourScheme.h"
#include "colour/Srgb.h"
#include "contrast/DarkSchemeWindow.h"
#include "contrast/FixContrastWindow.h"
#include "contrast/SchemeSample.h"
#include "support/TestApp.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

using ContrastFixer::Target;

namespace {

ColourScheme greyBackground()
{
    // Black text and links on mid-grey: each passes AA alone, but links cannot also stand 3:1 from the text.
    ColourScheme scheme;
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
    void widgetsStandApartAndShowTheirFigures_data();
    void widgetsStandApartAndShowTheirFigures();
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
    const ColourScheme current = ColourScheme::defaults();
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
    const ColourScheme expected = ContrastFixer::propose(current, aaa ? Target::AAA : Target::AA, underlined).scheme;
    QCOMPARE(part<SchemeSample>(window, "proposedSample")->scheme(), expected);
    QCOMPARE(part<SchemeSample>(window, "currentSample")->scheme(), current);

    QTest::mouseClick(part<QPushButton>(window, "applyButton"), Qt::LeftButton);
    QCOMPARE(applied.count(), 1);
    QCOMPARE(applied.at(0).at(0).value<ColourScheme>(), expected);
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(!window.isVisible());
}

void TestFixContrast::cancelChangesNothing()
{
    FixContrastWindow window(ColourScheme::defaults());
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
    FixContrastWindow window(ColourScheme::defaults());
    auto* proposed = part<SchemeSample>(window, "proposedSample");
    auto* ratios = part<QLabel>(window, "proposedRatios");
    const ColourScheme aa = proposed->scheme();
    const QString aaRatios = ratios->text();
    QVERIFY(aaRatios.contains(QStringLiteral("from text")));

    QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    QVERIFY(proposed->scheme() != aa);
    QVERIFY(!ratios->text().contains(QStringLiteral("from text")));
    const ColourScheme underlined = proposed->scheme();

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
        QCOMPARE(proposed->scheme(), ContrastFixer::propose(ColourScheme::defaults(), target, false).scheme);
        QVERIFY(ratios->text().startsWith(QStringLiteral("Text Lc ")));
        QVERIFY(ratios->text().contains(QStringLiteral("from text")));
    }

    QTest::mouseClick(part<QRadioButton>(window, "targetAA"), Qt::LeftButton);
    QCOMPARE(proposed->scheme(), aa);
    QCOMPARE(ratios->text(), aaRatios);

    // A text that passes against the page still moves when links cannot stand 3:1 from it; the note
    // says why, and that underlined links would keep it.
    ColourScheme scheme;
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
    QCOMPARE(proposed->scheme().colour(Slot::Text), QColor(QStringLiteral("#340052")));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* note = part<QLabel>(window, "note");
    QVERIFY2(note->text().contains(QStringLiteral("3:1")) && note->text().contains(QStringLiteral("#711EA3 to #340052"))
            && note->text().contains(QStringLiteral("\"Links are underlined on my pages\" would keep it")),
        qPrintable(note->text()));
    QVERIFY2(note->heightForWidth(note->width()) <= note->height(), "the note is cut");
    QTest::mouseClick(part<QCheckBox>(window, "linksUnderlined"), Qt::LeftButton);
    QCOMPARE(proposed->scheme().colour(Slot::Text), QColor(QStringLiteral("#711ea3")));
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
    FixContrastWindow window(ColourScheme::defaults());
    window.setScheme(greyBackground());
    QCOMPARE(part<SchemeSample>(window, "currentSample")->scheme(), greyBackground());
    QCOMPARE(part<SchemeSample>(window, "proposedSample")->scheme(),
        ContrastFixer::propose(greyBackground(), Target::AA, false).scheme);
}

void TestFixContrast::samplesShowExactColours()
{
    FixContrastWindow window(ColourScheme::defaults());
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

void TestFixContrast::widgetsStandApartAndShowTheirFigures_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("page"); // the default colours, but for a grey or cream background
    for (const bool dark : {false, true})
        for (const QString& page : {QStringLiteral("default"), QStringLiteral("grey"), QStringLiteral("cream")})
            QTest::addRow("%s, %s", dark ? "Make Dark Scheme" : "Fix Contrast", qPrintable(page)) << dark << page;
}

// Under every target and underlining, no visible widget touches or overlaps another (a gap of at
// least a pixel between any two that are not inside one another), every one lies inside the window,
// and both samples' figures are the audit's for the target, with WCAG targets named by their ratio.
void TestFixContrast::widgetsStandApartAndShowTheirFigures()
{
    QFETCH(bool, dark);
    QFETCH(QString, page);
    ColourScheme scheme = page == u"grey" ? greyBackground() : ColourScheme::defaults();
    if (page == u"cream")
        scheme.setColour(Slot::Background, Rgb(0xff, 0xff, 0xe7));
    const auto lab = [](const Rgb& colour) { return Srgb::oklab(Srgb::linear(colour)); };
    std::unique_ptr<ProposalWindow> window;
    if (dark)
        window = std::make_unique<DarkSchemeWindow>(scheme, Margins());
    else
        window = std::make_unique<FixContrastWindow>(scheme);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QString proposedRatios = dark ? QStringLiteral("darkRatios") : QStringLiteral("proposedRatios");

    for (QRadioButton* target : window->findChildren<QRadioButton*>()) {
        for (const bool underlined : {false, true}) {
            target->click();
            part<QCheckBox>(*window, "linksUnderlined")->setChecked(underlined);
            const QString choice = target->text() + (underlined ? QStringLiteral(", underlined") : QString());
            if (!ContrastFixer::isApca(window->target()))
                QVERIFY2(target->text().contains(QStringLiteral(":1)")), qPrintable(choice));

            QList<QWidget*> shown;
            for (QWidget* widget : window->findChildren<QWidget*>())
                if (widget->isVisible() && !widget->isWindow())
                    shown << widget;
            const auto rect = [&window](const QWidget* widget) {
                return QRect(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
            };
            for (QWidget* a : shown) {
                QVERIFY2(window->rect().contains(rect(a)),
                    qPrintable(a->objectName() + QStringLiteral(" leaves the window")));
                for (QWidget* b : shown) {
                    if (a == b || a->isAncestorOf(b) || b->isAncestorOf(a))
                        continue;
                    QVERIFY2(!rect(a).adjusted(-1, -1, 1, 1).intersects(rect(b)),
                        qPrintable(QStringLiteral("%1 touches %2 (%3)").arg(a->objectName(), b->objectName(), choice)));
                }
            }
            QCOMPARE(part<QLabel>(*window, "currentRatios")->text(),
                ProposalWindow::ratioText(scheme, window->target(), underlined));
            const QString figures = window->findChild<QLabel*>(proposedRatios)->text();
            QCOMPARE(figures, ProposalWindow::ratioText(window->proposal().scheme, window->target(), underlined));
            QCOMPARE(figures.contains(QStringLiteral("Lc ")), ContrastFixer::isApca(window->target()));
            // Cream's mirrored lightness is all but black, where 8 bits hold no hue: the dark page takes the
            // nearest lightness that still shows cream's hue and chroma.
            if (dark && underlined && page == u"cream") {
                const Srgb::Oklab home = lab(scheme.colour(Slot::Background));
                const Srgb::Oklab night = lab(window->proposal().scheme.colour(Slot::Background));
                const double turn
                    = std::abs(std::remainder(std::atan2(night.b, night.a) - std::atan2(home.b, home.a), 2 * M_PI));
                QVERIFY2(turn * 180 / M_PI <= 1.0 && std::hypot(night.a, night.b) > 0.02 && night.L <= 0.25,
                    qPrintable(choice));
                QVERIFY(window->proposal().backgroundKeepsHue);
                QVERIFY(part<QLabel>(*window, "note")->text().contains(QStringLiteral("keeps its hue")));
            }
        }
    }
}

HUELOOM_TEST_MAIN(TestFixContrast)
#include "tst_fixcontrast.moc"
