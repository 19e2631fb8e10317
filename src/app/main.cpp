#include "Application.h"
#include "CommandLine.h"
#include "MainWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The name shown in --help, whatever the program file is called.
    if (!arguments.isEmpty())
        arguments.first() = QStringLiteral("hueloom");

    const CommandLine command = CommandLine::parse(arguments);
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(command.output.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "hueloom: %s\n", command.output.toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    configureApplication(app);
    quitOnTerminationSignals(app);
    MainWindow window;
    window.show();
    if (!command.schemeFile.isEmpty()) {
        // Opened once the window is on screen, so a bad file's message has a window to stand over.
        const QString path = QFileInfo(command.schemeFile).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, path] { window.openSchemeFile(path); });
    }
    return QApplication::exec();
}
