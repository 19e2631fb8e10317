// How long one channel change takes: the label, the tag, the model, the sample and the tag line,
// first without painting, then with the repaint the event loop does after it.
#include "app/Application.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <cstdio>

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
    for (int i = 0; i < Changes; ++i)
        bar->setValue(i % 2 ? 40 : 200);
    const double withoutPaint = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / Changes;
    QApplication::processEvents();

    constexpr int Painted = 1000;
    timer.restart();
    for (int i = 0; i < Painted; ++i) {
        bar->setValue(i % 2 ? 40 : 200);
        QApplication::processEvents();
    }
    const double withPaint = static_cast<double>(timer.nsecsElapsed()) / 1000.0 / Painted;

    std::printf("channel change, no painting: %.1f us mean over %d changes\n", withoutPaint, Changes);
    std::printf("channel change with repaint: %.1f us mean over %d changes\n", withPaint, Painted);
    return 0;
}
