// Start-up time, from process start to the main window shown and painted, against an empty Qt main
// window of the same size with a menu bar. Run without arguments: it starts itself repeatedly in
// each role and reports the means.
#include "app/Application.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QProcess>
#include <QTest>
#include <cstdio>

namespace {

QtMessageHandler g_qtMessageHandler = nullptr;

// The offscreen platform says so for every fixed-size window; it is noise in a report of figures.
void dropSizeHintsNotice(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    g_qtMessageHandler(type, context, message);
}

int showAndQuit(QWidget& window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QApplication::processEvents();
    return 0;
}

int runRole(int argc, char* argv[], const QByteArray& role)
{
    g_qtMessageHandler = qInstallMessageHandler(dropSizeHintsNotice);
    QApplication app(argc, argv);
    if (role == "hueloom") {
        configureApplication(app);
        MainWindow window;
        return showAndQuit(window);
    }
    QMainWindow window;
    for (const char* title : {"&File", "&Edit", "&Tools", "&Help"})
        window.menuBar()->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Item"));
    auto* client = new QWidget(&window);
    client->setFixedSize(669, 448);
    window.setCentralWidget(client);
    return showAndQuit(window);
}

double meanMilliseconds(const QString& program, const QString& role, int runs)
{
    qint64 total = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (QProcess::execute(program, {role}) != 0)
            return -1;
        total += timer.nsecsElapsed();
    }
    return static_cast<double>(total) / 1e6 / runs;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1)
        return runRole(argc, argv, QByteArray(argv[1]));

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    constexpr int Runs = 20;
    meanMilliseconds(self, QStringLiteral("empty"), 2); // warm the caches
    meanMilliseconds(self, QStringLiteral("hueloom"), 2);
    const double empty = meanMilliseconds(self, QStringLiteral("empty"), Runs);
    const double hueloom = meanMilliseconds(self, QStringLiteral("hueloom"), Runs);
    std::printf("start-up, empty Qt main window: %.1f ms mean over %d runs\n", empty, Runs);
    std::printf("start-up, Hueloom main window:  %.1f ms mean over %d runs\n", hueloom, Runs);
    std::printf("ratio: %.2f\n", hueloom / empty);
    return 0;
}
