// How long one Fix Contrast proposal takes, over random schemes, for each target and underline choice.
#include "scheme/ColorScheme.h"
#include "scheme/ContrastFixer.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

int main()
{
    constexpr int Schemes = 200;
    QRandomGenerator random(14);
    std::vector<ColorScheme> schemes(Schemes);
    for (ColorScheme& scheme : schemes) {
        for (int field = 0; field < ColorScheme::ValueCount; ++field)
            scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
    }

    double totalMs = 0.0;
    int proposals = 0;
    int moved = 0;
    for (const auto target : {ContrastFixer::Target::AA, ContrastFixer::Target::AAA}) {
        for (const bool underlined : {false, true}) {
            QElapsedTimer timer;
            timer.start();
            for (const ColorScheme& scheme : schemes)
                moved += ContrastFixer::propose(scheme, target, underlined).backgroundMoved ? 1 : 0;
            const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            std::printf("fix contrast, %s, links %s: %.2f ms mean over %d random schemes\n",
                target == ContrastFixer::Target::AA ? "AA" : "AAA", underlined ? "underlined" : "not underlined",
                ms / Schemes, Schemes);
            totalMs += ms;
            proposals += Schemes;
        }
    }
    std::printf("fix contrast, one proposal: %.2f ms mean over %d proposals (%d moved the background)\n",
        totalMs / proposals, proposals, moved);
    return 0;
}
