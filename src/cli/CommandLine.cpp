#include "CommandLine.h"

#include "files/PrintableText.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace {

// The options every Qt program takes, handed on to the application. `value` names the argument an
// option takes, as the next argument or joined as "-option=value"; `onlyJoined` ones take it joined only.
struct QtOption {
    const char* name;
    const char* value;
    bool onlyJoined;
    const char* description;
};

constexpr QtOption QtOptions[] = {
    {"platform", "name", false, "The platform plugin (xcb, wayland, offscreen, ...)."},
    {"platformpluginpath", "path", false, "Where to look for platform plugins."},
    {"platformtheme", "name", false, "The platform theme."},
    {"plugin", "plugin", false, "An extra plugin to load, such as an input device."},
    {"display", "display", false, "The X display to use instead of $DISPLAY."},
    {"qwindowgeometry", "geometry", false, "The main window's geometry (WxH+X+Y)."},
    {"geometry", "geometry", false, "The same as -qwindowgeometry, on X11."},
    {"qwindowtitle", "title", false, "The main window's caption."},
    {"title", "title", false, "The same as -qwindowtitle, on X11."},
    {"qwindowicon", "icon", false, "The main window's icon."},
    {"icon", "icon", false, "The same as -qwindowicon, on X11."},
    {"name", "name", false, "The application's resource name, on X11."},
    {"session", "session", false, "A session to restore."},
    {"style", "style", false, "The widget style, such as Fusion or Windows."},
    {"stylesheet", "file", false, "A style sheet file to apply."},
    {"reverse", nullptr, false, "Lays the window out from right to left."},
    {"widgetcount", nullptr, false, "Prints the number of widgets left at the end."},
    {"qmljsdebugger", "settings", true, "Settings for the QML debugger (only as -qmljsdebugger=...)."},
};

// The Qt option `argument` starts, with one dash or two; nullptr for none. `joinedValue` tells whether
// the value came with it, as "-platform=xcb".
const QtOption* qtOption(const QByteArray& argument, bool* joinedValue)
{
    const QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
    *joinedValue = false;
    for (const QtOption& option : QtOptions) {
        if (name == option.name && !option.onlyJoined)
            return &option;
        if (option.value && name.startsWith(option.name) && name.mid(qstrlen(option.name)).startsWith('=')) {
            *joinedValue = true;
            return &option;
        }
    }
    return nullptr;
}

QString qtOptionsHelp()
{
    QString text = QCoreApplication::translate("CommandLine", "\nQt options:\n");
    for (const QtOption& option : QtOptions) {
        QString name = QStringLiteral("-") + QLatin1StringView(option.name);
        if (option.value)
            name += (option.onlyJoined ? QStringLiteral("=<%1>") : QStringLiteral(" <%1>"))
                        .arg(QLatin1StringView(option.value));
        text += QStringLiteral("  %1  %2\n").arg(name, -30).arg(QLatin1StringView(option.description));
    }
    return text;
}

} // namespace

CommandLine CommandLine::parse(const QList<QByteArray>& arguments)
{
    CommandLine result = read(arguments);
    if (result.action != Action::Error)
        return result;
    // --check --json and --fix --json promise one JSON object on standard output, a wrong command line
    // included; --sarif, which cannot go with --json, is given no JSON.
    bool json = false;
    bool check = false;
    bool fix = false;
    bool sarif = false;
    for (const QByteArray& argument : arguments.mid(1)) {
        if (argument == "--")
            break;
        const QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
        json = json || name == "json";
        check = check || name == "check";
        fix = fix || name == "fix";
        sarif = sarif || name == "sarif";
    }
    if (json && (check || fix) && !sarif) {
        const QJsonObject object{{QStringLiteral("error"), QStringLiteral("usage")},
            {QStringLiteral("message"), result.output},
            {check && !fix ? QStringLiteral("pass") : QStringLiteral("solved"), false}};
        result.jsonError = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + u'\n';
    }
    return result;
}

CommandLine CommandLine::read(const QList<QByteArray>& arguments)
{
    CommandLine result;
    result.qtArguments << (arguments.isEmpty() ? QByteArray("hueloom") : arguments.first());

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Compose the colours of a web page body and copy its tag."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption check(QStringLiteral("check"),
        QCoreApplication::translate("CommandLine",
            "Judge every text of each page or style sheet against what is painted behind it, and print each pair's "
            "WCAG 2 ratio, APCA Lc and pass or fail for each SCHEME, without a window. Exits 0 when all pass, 1 when "
            "any fails, 2 on input it cannot read or judge."));
    const QCommandLineOption fix(QStringLiteral("fix"),
        QCoreApplication::translate("CommandLine",
            "Print the Fix Contrast proposal for one SCHEME: background, text, link, visited and active link as "
            "#RRGGBB on one line. Exits 0 when it meets every rule, 1 when no colours can, 2 on bad input."));
    const QCommandLineOption target(QStringLiteral("target"),
        QCoreApplication::translate("CommandLine",
            "What --check and --fix hold to: aa (the default), aaa, apca60, "
            "apca75 or apca90."),
        QStringLiteral("target"), QStringLiteral("aa"));
    const QCommandLineOption underlined(QStringLiteral("underlined"),
        QCoreApplication::translate("CommandLine", "Links are underlined, so they need not stand 3:1 from the text."));
    const QCommandLineOption json(
        QStringLiteral("json"), QCoreApplication::translate("CommandLine", "Print one JSON object instead."));
    const QCommandLineOption sarif(QStringLiteral("sarif"),
        QCoreApplication::translate(
            "CommandLine", "With --check: print a SARIF 2.1.0 log instead, for code scanning."));
    const QCommandLineOption strict(QStringLiteral("strict"),
        QCoreApplication::translate("CommandLine",
            "With --check: a text left for review fails the check too (exit 1), as a failing one does."));
    const QCommandLineOption allowMissing(QStringLiteral("allow-missing"),
        QCoreApplication::translate("CommandLine",
            "With --check: judge a page whose linked or imported style sheets cannot all be read on those that "
            "can, rather than exit 2. The sheets not read are still named on standard error."));
    const QCommandLineOption dark(QStringLiteral("dark"),
        QCoreApplication::translate("CommandLine", "With --fix: propose the dark companion of the scheme instead."));
    const QCommandLineOption colourScheme(QStringLiteral("color-scheme"),
        QCoreApplication::translate("CommandLine",
            "Read pages and style sheets in the light or dark colour scheme. Without it --check reports light, and "
            "dark too where it differs."),
        QStringLiteral("scheme"));
    const QList<QCommandLineOption> own{
        check, fix, target, underlined, json, sarif, strict, allowMissing, dark, colourScheme};
    parser.addOptions(own);
    // Those that take a value, which --help shows as "--target <target>".
    QList<QCommandLineOption> ownValues;
    std::copy_if(own.begin(), own.end(), std::back_inserter(ownValues),
        [](const QCommandLineOption& option) { return !option.valueName().isEmpty(); });
    parser.addPositionalArgument(QStringLiteral("file"),
        QCoreApplication::translate("CommandLine",
            "A scheme file (.hlm) to open. With --check or --fix: a scheme, page or style sheet file, five colours, "
            "or - for a page or style sheet on standard input."),
        QStringLiteral("[file]"));

    // Qt's options go to the application; the program's own options go to the parser; every other
    // argument, and every one after "--", is a file name, kept as the bytes it is.
    QStringList ownOptions{QStringLiteral("hueloom")};
    QList<QByteArray> files;
    bool onlyFiles = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments.at(i);
        bool joined = false;
        if (onlyFiles || argument == "-" || !argument.startsWith('-')) {
            files << argument;
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (const QtOption* option = qtOption(argument, &joined)) {
            // Qt reads its options with one dash, and most of them only with the value as the next argument:
            // each is handed on so, whichever way it was given.
            const QByteArray given = argument.startsWith("--") ? argument.mid(1) : argument;
            if (joined && !option->onlyJoined)
                result.qtArguments << given.left(given.indexOf('=')) << given.mid(given.indexOf('=') + 1);
            else
                result.qtArguments << given;
            if (option->value && !joined) {
                if (i + 1 == arguments.size()) {
                    result.action = Action::Error;
                    result.output = QCoreApplication::translate("CommandLine", "Missing value after '%1'.")
                                        .arg(PrintableText::escaped(QFile::decodeName(argument)));
                    return result;
                }
                result.qtArguments << arguments.at(++i);
            }
        } else {
            ownOptions << QFile::decodeName(argument);
            // An option of the program's own that takes a value takes the next argument as it, as in
            // "--target aaa", whatever that argument looks like; or joined, as in "--target=aaa".
            const QString name = QFile::decodeName(argument.mid(argument.startsWith("--") ? 2 : 1));
            const bool takesValue = std::any_of(ownValues.begin(), ownValues.end(),
                [&](const QCommandLineOption& valueOption) { return valueOption.names().contains(name); });
            if (takesValue && i + 1 < arguments.size())
                ownOptions << QFile::decodeName(arguments.at(++i));
        }
    }

    if (!parser.parse(ownOptions)) {
        result.action = Action::Error;
        // The parser quotes the option it did not know, as typed.
        result.output = PrintableText::escaped(parser.errorText());
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = Action::ShowHelp;
        // Parsed before the application exists, the parser cannot know the program's name.
        result.output = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("hueloom"));
        if (parser.isSet(QStringLiteral("help-all")))
            result.output += qtOptionsHelp();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::ShowVersion;
        result.output = QStringLiteral("hueloom %1\n").arg(QStringLiteral(HUELOOM_VERSION));
        return result;
    }
    if (parser.isSet(check) || parser.isSet(fix)) {
        const bool checking = parser.isSet(check);
        result.action = Action::Error;
        if (checking && parser.isSet(fix)) {
            result.output = QCoreApplication::translate("CommandLine", "--check and --fix cannot go together.");
            return result;
        }
        if (!ContrastCommand::targetNamed(parser.value(target), &result.contrast.target)) {
            result.output = QCoreApplication::translate(
                "CommandLine", "Unknown value '%1' for --target: use aa, aaa, apca60, apca75 or apca90.")
                                .arg(PrintableText::escaped(parser.value(target)));
            return result;
        }
        if (files.isEmpty() || (!checking && files.size() > 1)) {
            result.output = checking
                ? QCoreApplication::translate("CommandLine", "--check needs a scheme, a file or - for standard input.")
                : QCoreApplication::translate("CommandLine", "--fix takes one scheme.");
            return result;
        }
        result.action = checking ? Action::Check : Action::Fix;
        result.contrast.linksUnderlined = parser.isSet(underlined);
        result.contrast.json = parser.isSet(json);
        result.contrast.dark = parser.isSet(dark);
        if (checking && result.contrast.dark) {
            result.action = Action::Error;
            result.output = QCoreApplication::translate("CommandLine", "--dark goes with --fix.");
            return result;
        }
        result.contrast.sarif = parser.isSet(sarif);
        result.contrast.strict = parser.isSet(strict);
        result.contrast.allowMissing = parser.isSet(allowMissing);
        if (!checking) {
            QStringList checkOnly;
            for (const QCommandLineOption* option : {&sarif, &strict, &allowMissing})
                if (parser.isSet(*option))
                    checkOnly << QStringLiteral("--") + option->names().first();
            if (!checkOnly.isEmpty()) {
                result.action = Action::Error;
                result.output = QCoreApplication::translate("CommandLine", "%1 %2 with --check.")
                                    .arg(checkOnly.join(QStringLiteral(", ")),
                                        checkOnly.size() == 1 ? QCoreApplication::translate("CommandLine", "goes")
                                                              : QCoreApplication::translate("CommandLine", "go"));
                return result;
            }
        }
        if (result.contrast.json && result.contrast.sarif) {
            result.action = Action::Error;
            result.output = QCoreApplication::translate("CommandLine", "--json and --sarif cannot go together.");
            return result;
        }
        if (parser.isSet(colourScheme)) {
            const QString value = parser.value(colourScheme).toLower();
            if (value != QLatin1String("light") && value != QLatin1String("dark")) {
                result.action = Action::Error;
                result.output = QCoreApplication::translate(
                    "CommandLine", "Unknown value '%1' for --color-scheme: use light or dark.")
                                    .arg(PrintableText::escaped(parser.value(colourScheme)));
                return result;
            }
            result.contrast.darkScheme = value == QLatin1String("dark");
        }
        result.contrast.schemes = files;
        return result;
    }
    // Each option given that needs --check or --fix is named, and only those.
    QStringList misplaced;
    for (const QCommandLineOption* option :
        {&target, &underlined, &json, &sarif, &strict, &allowMissing, &colourScheme, &dark})
        if (parser.isSet(*option))
            misplaced << QStringLiteral("--") + option->names().first();
    if (!misplaced.isEmpty()) {
        result.action = Action::Error;
        const bool onlyDark = misplaced == QStringList{QStringLiteral("--dark")};
        const bool onlyCheck = std::all_of(misplaced.begin(), misplaced.end(), [&](const QString& name) {
            return name.mid(2) == sarif.names().first() || name.mid(2) == strict.names().first()
                || name.mid(2) == allowMissing.names().first();
        });
        const QString names = misplaced.size() == 1
            ? misplaced.first()
            : QCoreApplication::translate("CommandLine", "%1 and %2")
                  .arg(misplaced.first(misplaced.size() - 1).join(QStringLiteral(", ")), misplaced.last());
        result.output = onlyDark ? QCoreApplication::translate("CommandLine", "--dark goes with --fix.")
                                 : QCoreApplication::translate(
                                     "CommandLine", onlyCheck ? "%1 %2 with --check." : "%1 %2 with --check or --fix.")
                                       .arg(names,
                                           misplaced.size() == 1 ? QCoreApplication::translate("CommandLine", "goes")
                                                                 : QCoreApplication::translate("CommandLine", "go"));
        return result;
    }
    if (files.contains("-")) {
        result.action = Action::Error;
        result.output = QCoreApplication::translate(
            "CommandLine", "Standard input (-) is read by --check and --fix; the window opens scheme files.");
        return result;
    }
    if (files.size() > 1) {
        result.action = Action::Error;
        result.output = QCoreApplication::translate("CommandLine", "Only one scheme file can be opened.");
        return result;
    }
    if (!files.isEmpty())
        result.schemeFile = files.first();
    return result;
}
