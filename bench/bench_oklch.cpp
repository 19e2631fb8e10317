// How long one settled step of the OKLCH hue bar takes to reach the screen: the colour mapped into sRGB,
// the document, the sample, the tag, the lightness and chroma tracks and the contrast tick worked out again
// and all three bars painted. A frame at 60 Hz is 16.7 ms.
#include "app/Application.h"
#include "app/ColorChooser.h"
#include "app/MainActions.h"
#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The mode is stored: in a settings folder of the benchmark's own, not the user's.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    configureApplication(app);
    MainWindow window;
    window.actions().oklchBars->setChecked(true);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* chooser = window.findChild<ColorChooser*>(QStringLiteral("Frame1"));
    // A vivid colour, so that much of each track lies outside sRGB and is mapped.
    chooser->bar(0)->setValue(650);
    chooser->bar(1)->setValue(250);
    QApplication::processEvents();

    constexpr int Steps = 720;
    std::vector<double> times;
    times.reserve(Steps);
    QElapsedTimer timer;
    for (int i = 0; i < Steps; ++i) {
        timer.start();
        chooser->bar(2)->setValue((i * 50) % 3600);
        QApplication::processEvents();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "hue step with repaint of the sample and three tracks: median %.2f ms, 95th %.2f ms, worst %.2f ms over "
        "%d steps\n",
        times[times.size() / 2], times[times.size() * 95 / 100], times.back(), Steps);
    return 0;
}
