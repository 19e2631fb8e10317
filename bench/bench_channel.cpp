// How long one channel change takes: the label, the tag, the model, the sample and the tag line,
// first without painting, then with the repaint the event loop does after it.
#include "app/Application.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <cstdio>
#include <ctime>

namespace {

// The thread's own processor time, in microseconds: on a busy machine the wall clock also counts the
// time other programs had the processor.
double cpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    configureApplication(app);
    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QApplication::processEvents();
    auto* bar = window.findChild<QScrollBar*>(QStringLiteral("greenscroll"));

    constexpr int Changes = 20000;
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMicroseconds();
    for (int i = 0; i < Changes; ++i)
        bar->setValue(i % 2 ? 40 : 200);
    const double withoutPaint = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / Changes;
    const double withoutPaintCpu = (cpuMicroseconds() - cpuStart) / Changes;
    QApplication::processEvents();

    constexpr int Painted = 1000;
    timer.restart();
    for (int i = 0; i < Painted; ++i) {
        bar->setValue(i % 2 ? 40 : 200);
        QApplication::processEvents();
    }
    const double withPaint = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / Painted;

    std::printf("channel change, no painting: %.1f us mean over %d changes (%.1f us of processor time)\n", withoutPaint,
        Changes, withoutPaintCpu);
    std::printf("channel change with repaint: %.1f us mean over %d changes\n", withPaint, Painted);
    return 0;
}
