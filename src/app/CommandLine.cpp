#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Compose the colours of a web page body and copy its tag."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
        QCoreApplication::translate("CommandLine", "A scheme file (.hlm) to open."), QStringLiteral("[file]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = Action::Error;
        result.output = parser.errorText();
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = Action::ShowHelp;
        // Parsed before the application exists, the parser cannot know the program's name.
        result.output = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("hueloom"));
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.output = QStringLiteral("hueloom %1\n").arg(QStringLiteral(HUELOOM_VERSION));
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = Action::Error;
        result.output = QCoreApplication::translate("CommandLine", "Only one scheme file can be opened.");
        return result;
    }
    if (!files.isEmpty())
        result.schemeFile = files.first();
    return result;
}
