#pragma once

#include "cli/ContrastCommand.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What the command line asks for. Parsed before the application starts, so --help and --version
// work without a display. Arguments stay the bytes they were given: a file name need not be UTF-8.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Error, Check, Fix };

    Action action = Action::Run;
    // A scheme file to open once the window is up, as given; empty for none.
    QByteArray schemeFile;
    // For Check and Fix: the target, the links and the schemes.
    ContrastCommand::Options contrast;
    // The text to print for ShowHelp, ShowVersion and Error.
    QString output;
    // For an Error of a command that asked for JSON (--check --json, --fix --json): the object to print on
    // standard output, naming the error "usage".
    QString jsonError;
    // Qt's own options (-style Fusion, -platform offscreen, ...), for the application, program name
    // first. Never anything that followed "--".
    QList<QByteArray> qtArguments;

    // `arguments` as main() has them, the program's name first.
    static CommandLine parse(const QList<QByteArray>& arguments);

private:
    static CommandLine read(const QList<QByteArray>& arguments);
};
