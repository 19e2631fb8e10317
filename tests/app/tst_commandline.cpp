#include "cli/CommandLine.h"

#include <QTest>

using Action = CommandLine::Action;
Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void split_data();
    void split();
    void checkOptions_data();
    void checkOptions();
};

void TestCommandLine::split_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QByteArrayList>("qtArguments");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("saying");

    const QByteArrayList none;
    QTest::newRow("nothing") << none << Action::Run << none << QByteArray() << QString();
    QTest::newRow("-style Fusion") << QByteArrayList{"-style", "Fusion"} << Action::Run
                                   << QByteArrayList{"-style", "Fusion"} << QByteArray() << QString();
    QTest::newRow("-style=Fusion and a file") << QByteArrayList{"-style=Fusion", "a.hlm"} << Action::Run
                                              << QByteArrayList{"-style=Fusion"} << QByteArray("a.hlm") << QString();
    QTest::newRow("two dashes") << QByteArrayList{"--platform", "offscreen", "a.hlm"} << Action::Run
                                << QByteArrayList{"-platform", "offscreen"} << QByteArray("a.hlm") << QString();
    QTest::newRow("display, reverse, style sheet, geometry")
        << QByteArrayList{"-display", ":1", "-reverse", "-stylesheet", "x.qss", "-qwindowgeometry", "300x200+0+0"}
        << Action::Run
        << QByteArrayList{"-display", ":1", "-reverse", "-stylesheet", "x.qss", "-qwindowgeometry", "300x200+0+0"}
        << QByteArray() << QString();
    QTest::newRow("file named -reverse after --")
        << QByteArrayList{"--", "-reverse"} << Action::Run << none << QByteArray("-reverse") << QString();
    QTest::newRow("style sheet option after --")
        << QByteArrayList{"-style", "Fusion", "--", "-stylesheet=x.qss"} << Action::Run
        << QByteArrayList{"-style", "Fusion"} << QByteArray("-stylesheet=x.qss") << QString();
    QTest::newRow("a value that looks like a file is the option's")
        << QByteArrayList{"-platform", "a.hlm"} << Action::Run << QByteArrayList{"-platform", "a.hlm"} << QByteArray()
        << QString();
    QTest::newRow("name with byte 0xFF") << QByteArrayList{"\xff.hlm"} << Action::Run << none << QByteArray("\xff.hlm")
                                         << QString();
    QTest::newRow("Latin-1 name after --")
        << QByteArrayList{"--", "caf\xe9.hlm"} << Action::Run << none << QByteArray("caf\xe9.hlm") << QString();
    QTest::newRow("two files") << QByteArrayList{"a.hlm", "--", "-b"} << Action::Error << none << QByteArray()
                               << QStringLiteral("Only one");
    QTest::newRow("a Qt option without its value")
        << QByteArrayList{"-style"} << Action::Error << none << QByteArray() << QStringLiteral("-style");
    QTest::newRow("a form Qt does not read")
        << QByteArrayList{"-platform=offscreen"} << Action::Error << none << QByteArray() << QStringLiteral("platform");
    QTest::newRow("an unknown option") << QByteArrayList{"-nosuch"} << Action::Error << none << QByteArray()
                                       << QStringLiteral("nosuch");
    QTest::newRow("--help-all lists what is taken")
        << QByteArrayList{"--help-all"} << Action::ShowHelp << none << QByteArray() << QStringLiteral("-style <style>");
    QTest::newRow("-v") << QByteArrayList{"-v"} << Action::ShowVersion << none << QByteArray()
                        << QStringLiteral("hueloom ");
}

void TestCommandLine::split()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(Action, action);
    QFETCH(QByteArrayList, qtArguments);
    QFETCH(QByteArray, file);
    QFETCH(QString, saying);
    arguments.prepend("/usr/bin/hueloom");
    const CommandLine command = CommandLine::parse(arguments);
    QCOMPARE(command.action, action);
    QVERIFY2(command.output.contains(saying), qPrintable(command.output));
    if (action != Action::Run)
        return;
    qtArguments.prepend("/usr/bin/hueloom");
    QCOMPARE(command.qtArguments, qtArguments);
    QCOMPARE(command.schemeFile, file);
}

// The options of --check, in either form of a value; each out of place is refused by name.
void TestCommandLine::checkOptions_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QString>("saying"); // empty when the command line is taken
    QTest::addColumn<QString>("taken"); // target, then each flag set, then the schemes

    QTest::newRow("--target aaa") << QByteArrayList{"--check", "--target", "aaa", "a.html"} << QString()
                                  << QStringLiteral("AAA a.html");
    QTest::newRow("--target=apca75") << QByteArrayList{"--check", "--target=apca75", "a.html"} << QString()
                                     << QStringLiteral("APCA Lc 75 a.html");
    QTest::newRow("--color-scheme dark") << QByteArrayList{"--check", "--color-scheme", "dark", "a.html"} << QString()
                                         << QStringLiteral("AA dark a.html");
    QTest::newRow("--strict --allow-missing --sarif")
        << QByteArrayList{"--check", "--strict", "a.html", "--allow-missing", "--sarif", "b.css"} << QString()
        << QStringLiteral("AA strict allow-missing sarif a.html b.css");
    QTest::newRow("--target with nothing after")
        << QByteArrayList{"--check", "a.html", "--target"} << QStringLiteral("--target") << QString();
    QTest::newRow("--json with --sarif") << QByteArrayList{"--check", "--json", "--sarif", "a.html"}
                                         << QStringLiteral("--json and --sarif") << QString();
    QTest::newRow("--sarif with --fix") << QByteArrayList{"--fix", "--sarif", "a.html"}
                                        << QStringLiteral("--sarif goes with --check.") << QString();
    QTest::newRow("--strict alone") << QByteArrayList{"--strict", "a.hlm"}
                                    << QStringLiteral("--strict goes with --check.") << QString();
    QTest::newRow("--json and --allow-missing alone")
        << QByteArrayList{"--allow-missing", "--json", "a.hlm"}
        << QStringLiteral("--json and --allow-missing go with --check or --fix.") << QString();
}

void TestCommandLine::checkOptions()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(QString, saying);
    QFETCH(QString, taken);
    arguments.prepend("hueloom");
    const CommandLine command = CommandLine::parse(arguments);
    if (!saying.isEmpty()) {
        QCOMPARE(command.action, Action::Error);
        QVERIFY2(command.output.contains(saying), qPrintable(command.output));
        return;
    }
    QCOMPARE(command.action, Action::Check);
    const ContrastCommand::Options& options = command.contrast;
    QStringList words{ContrastFixer::nameOf(options.target)};
    if (options.darkScheme.value_or(false))
        words << QStringLiteral("dark");
    for (const auto& [set, word] : {std::pair{options.strict, "strict"},
             std::pair{options.allowMissing, "allow-missing"}, std::pair{options.sarif, "sarif"}})
        if (set)
            words << QLatin1String(word);
    for (const QByteArray& scheme : options.schemes)
        words << QString::fromUtf8(scheme);
    QCOMPARE(words.join(u' '), taken);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
