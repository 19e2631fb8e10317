#include "assist/ContrastMarker.h"
#include "colour/Srgb.h"

#include <QRandomGenerator>
#include <QTest>
#include <algorithm>

// The tick on the OKLCH lightness bar: at random places, pairs and targets, the marked lightness meets the
// target as the contrast audit reads it, and one step towards the pair (darker beside a dark pair, lighter
// beside a light one) does not.
class TestContrastMarker : public QObject {
    Q_OBJECT
private slots:
    void markerMeetsAndStepBesideFails();
};

void TestContrastMarker::markerMeetsAndStepBesideFails()
{
    QRandomGenerator random(61);
    int marked = 0;
    for (int i = 0; i < 300; ++i) {
        const OklchPosition place{random.bounded(1001), random.bounded(401), random.bounded(3600)};
        const Rgb pair = Rgb::fromArgb(random.generate());
        const auto target = ContrastAudit::Targets[random.bounded(5)];
        const int slot = random.bounded(5);
        const std::optional<int> marker = ContrastMarker::lightness(slot, place, pair, target);
        if (!marker)
            continue;
        ++marked;
        OklchPosition at = place, beside = place;
        at.lightness = *marker;
        // As the audit reads it, with the slot and its pair in a scheme.
        ColourScheme scheme = ColourScheme::defaults();
        scheme.setColour(slot == Slot::Background ? Slot::Text : Slot::Background, pair);
        scheme.setColour(slot, at.colour());
        const int fore = slot == Slot::Background ? Slot::Text : slot;
        const auto audit = ContrastAudit::audit(scheme, target, true);
        QVERIFY2(std::ranges::any_of(audit,
                     [&](const auto& p) { return p.kind.fore == fore && p.kind.back == Slot::Background && p.passes; }),
            qPrintable(QStringLiteral("case %1").arg(i)));
        // The step towards the pair fails.
        beside.lightness = *marker + (Srgb::luminance(pair) > Srgb::luminance(at.colour()) ? 1 : -1);
        QVERIFY2(beside.lightness < 0 || beside.lightness > OklchPosition::MaxLightness
                || !ContrastMarker::meets(slot, beside.colour(), pair, target),
            qPrintable(QStringLiteral("case %1: L %2 beside %3").arg(i).arg(*marker).arg(pair.name())));
    }
    qInfo("%d of 300 places marked", marked);
    QVERIFY(marked > 100);
}

QTEST_GUILESS_MAIN(TestContrastMarker)
#include "tst_contrastmarker.moc"
