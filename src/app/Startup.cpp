#include "Startup.h"

#include "Application.h"
#include "MainWindow.h"
#include "cli/CommandLine.h"
#include "files/ByteName.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// While the application connects to the display: Qt's platform messages are held back, and a failure
// to start the platform ends the program with one line saying why, instead of Qt's plugin text and
// an abort.
QtMessageHandler qtHandler = nullptr;
QByteArray displayProblem;
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void startUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "hueloom: %s\n", displayProblem.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (context.category && qstrncmp(context.category, "qt.qpa", 6) == 0) {
        heldMessages.push_back({type, context.category, text});
        return;
    }
    qtHandler(type, context, text);
}

// The value of Qt option `name` (-platform, -display) among `arguments`, or `fallback`.
QByteArray qtOptionValue(const QList<QByteArray>& arguments, const char* name, const QByteArray& fallback)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments.at(i) == QByteArray("-") + name)
            return arguments.at(i + 1);
    return fallback;
}

// What to tell the user when no platform plugin could start.
QByteArray describeDisplayProblem(const QList<QByteArray>& qtArguments)
{
    const QByteArray platform = qtOptionValue(qtArguments, "platform", qgetenv("QT_QPA_PLATFORM"));
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return "cannot start the display platform \"" + platform + '"';
    const QByteArray display = qtOptionValue(qtArguments, "display", qgetenv("DISPLAY"));
    if (display.isEmpty())
        return "no display: DISPLAY is not set";
    return "cannot connect to the X display \"" + display + '"';
}

} // namespace

int runWindow(const CommandLine& command)
{
    // The application sees Qt's options only: a file named "-reverse" after "--" stays a file name.
    std::vector<QByteArray> qtArguments(command.qtArguments.begin(), command.qtArguments.end());
    std::vector<char*> qtArgv;
    for (QByteArray& argument : qtArguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArguments.size());

    displayProblem = describeDisplayProblem(command.qtArguments);
    qtHandler = qInstallMessageHandler(startUpMessages);
    // The layout is fixed in pixels: the style's indicators and arrows are measured at 96 dpi like the
    // fonts, so a desktop font DPI (Xft.dpi) cannot grow them out of place while Qt's scaling is off.
    // With scaling on, Qt scales the whole window as before.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication app(qtArgc, qtArgv.data());
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qtHandler(message.type, context, message.text);
    }
    heldMessages.clear();

    QByteArray style = qtOptionValue(command.qtArguments, "style", {});
    for (const QByteArray& argument : command.qtArguments)
        if (argument.startsWith("-style="))
            style = argument.mid(7);
    configureApplication(app, QString::fromUtf8(style));
    quitOnTerminationSignals(app);
    MainWindow window({}, nullptr, MainWindow::Start::Shown);
    if (!command.schemeFile.isEmpty()) {
        // Opened once the window is on screen, so a bad file's message has a window to stand over. A name
        // that is not UTF-8 is opened through a descriptor, held until then; the dialogs are offered the
        // name as well as Qt can spell it.
        const auto file = std::make_shared<const ByteName>(command.schemeFile);
        QTimer::singleShot(0, &window, [&window, file] {
            window.openSchemeFile(file->path(),
                file->throughDescriptor() ? QFileInfo(file->shown()).absoluteFilePath() : QString(), true);
        });
    }
    const int status = QApplication::exec();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Qt 6.4's Wayland client can hang or abort while it takes its display connection down: the
        // display waits for its event thread, which may sit in wl_display_read_events for good (a
        // SIGTERM right after start shows it). Everything of the program's own is finished by now, and
        // a Wayland clipboard goes with its client anyway, so the program ends here.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

extern "C" __attribute__((visibility("default"))) int hueloomRunWindow(const CommandLine* command)
{
    return runWindow(*command);
}
