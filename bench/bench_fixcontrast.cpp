// How long one Fix Contrast proposal takes, over random schemes, for each target and underline choice:
// the mean and the slowest; then the same for the dark companion.
#include "assist/ContrastFixer.h"
#include "colour/ColourScheme.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    constexpr int Schemes = 1000;
    QRandomGenerator random(14);
    std::vector<ColourScheme> schemes(Schemes);
    for (ColourScheme& scheme : schemes) {
        for (int field = 0; field < ColourScheme::ValueCount; ++field)
            scheme.setValue(field, static_cast<qint16>(random.bounded(256)));
    }

    for (const auto target : ContrastFixer::Targets) {
        for (const bool underlined : {false, true}) {
            double totalMs = 0.0;
            double worstMs = 0.0;
            int moved = 0;
            for (const ColourScheme& scheme : schemes) {
                QElapsedTimer timer;
                timer.start();
                moved += ContrastFixer::propose(scheme, target, underlined).backgroundMoved ? 1 : 0;
                const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                totalMs += ms;
                worstMs = std::max(worstMs, ms);
            }
            std::printf("fix contrast, %s, links %s: %.2f ms mean, %.2f ms worst over %d random schemes "
                        "(%d moved the background)\n",
                qPrintable(ContrastFixer::nameOf(target)), underlined ? "underlined" : "not underlined",
                totalMs / Schemes, worstMs, Schemes, moved);
        }
    }
    // The dark companion, likewise.
    for (const auto target : ContrastFixer::Targets) {
        for (const bool underlined : {false, true}) {
            double totalMs = 0.0;
            double worstMs = 0.0;
            for (const ColourScheme& scheme : schemes) {
                QElapsedTimer timer;
                timer.start();
                ContrastFixer::proposeDark(scheme, target, underlined);
                const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                totalMs += ms;
                worstMs = std::max(worstMs, ms);
            }
            std::printf("dark companion, %s, links %s: %.2f ms mean, %.2f ms worst over %d random schemes\n",
                qPrintable(ContrastFixer::nameOf(target)), underlined ? "underlined" : "not underlined",
                totalMs / Schemes, worstMs, Schemes);
        }
    }
    return 0;
}
