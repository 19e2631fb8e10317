#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Parsed before the application starts, so --help and --version
// work without a display.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Error };

    Action action = Action::Run;
    // A scheme file to open once the window is up; empty for none.
    QString schemeFile;
    // The text to print for ShowHelp, ShowVersion and Error.
    QString output;

    static CommandLine parse(const QStringList& arguments);
};
