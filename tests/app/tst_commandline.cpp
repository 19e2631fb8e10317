#include "cli/CommandLine.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
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
    void everyValueOptionTakesEitherForm();
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
                                              << QByteArrayList{"-style", "Fusion"} << QByteArray("a.hlm") << QString();
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
    QTest::newRow("-qmljsdebugger only joined") << QByteArrayList{"-qmljsdebugger=port:1"} << Action::Run
                                                << QByteArrayList{"-qmljsdebugger=port:1"} << QByteArray() << QString();
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

namespace {

// Everything a parse decides, in words: the target, each flag set and the schemes, then the action,
// Qt's arguments, the scheme file and the output.
QString decided(const CommandLine& line)
{
    const ContrastCommand::Options& c = line.contrast;
    QStringList words{ContrastFixer::nameOf(c.target)};
    for (const auto& [set, word] :
        std::initializer_list<std::pair<bool, const char*>>{{c.linksUnderlined, "underlined"}, {c.json, "json"},
            {c.sarif, "sarif"}, {c.strict, "strict"}, {c.allowMissing, "allow-missing"}, {c.dark, "dark"},
            {c.darkScheme == true, "dark-scheme"}, {c.darkScheme == false, "light-scheme"}})
        if (set)
            words << QLatin1String(word);
    for (const QByteArray& scheme : c.schemes)
        words << QString::fromUtf8(scheme);
    return words.join(u' ')
        + QStringLiteral(" | %1 | %2 | %3 | %4")
              .arg(int(line.action))
              .arg(QString::fromUtf8(line.qtArguments.join('\x1f')), QString::fromUtf8(line.schemeFile), line.output);
}

} // namespace

// The options of --check, in either form of a value; each out of place is refused by name. The cases are
// in data/checkoptions.tsv.
void TestCommandLine::checkOptions_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QString>("saying"); // empty when the command line is taken
    QTest::addColumn<QString>("taken"); // target, then each flag set, then the schemes
    QFile file(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/app/data/checkoptions.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const QByteArray& row : file.readAll().split('\n')) {
        const QByteArrayList cells = row.split('\t');
        if (cells.size() == 3 && !row.startsWith('#'))
            QTest::newRow(cells[0]) << cells[0].split(' ') << QString::fromUtf8(cells[1])
                                    << QString::fromUtf8(cells[2]);
    }
}

void TestCommandLine::checkOptions()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(QString, saying);
    QFETCH(QString, taken);
    arguments.prepend("hueloom");
    const CommandLine command = CommandLine::parse(arguments);
    QCOMPARE(command.action, saying.isEmpty() ? Action::Check : Action::Error);
    QVERIFY2(command.output.contains(saying), qPrintable(command.output));
    if (saying.isEmpty())
        QCOMPARE(decided(command).section(QStringLiteral(" | "), 0, 0), taken);
}

// Each option that --help or --help-all shows taking a value ("--target <target>", "-platform <name>")
// reads "--option value" exactly as "--option=value", wherever it stands among other arguments and
// whatever the value looks like: a differential test of the two forms over random command lines.
void TestCommandLine::everyValueOptionTakesEitherForm()
{
    const QString help = CommandLine::parse({"hueloom", "--help-all"}).output;
    static const QRegularExpression shown(
        QStringLiteral(R"((?:^|[\s,])(--?[a-z][a-z-]*) <[a-z]+>)"), QRegularExpression::MultilineOption);
    QStringList options;
    for (const QRegularExpressionMatch& match : shown.globalMatch(help))
        options << match.captured(1);
    for (const char* expected : {"--target", "--color-scheme", "-platform", "-style", "-display"})
        QVERIFY2(options.contains(QLatin1String(expected)), expected);

    const QList<QByteArray> values{"aaa", "AA", "apca75", "light", "DARK", "bogus", "", "-", "--json", "=", "a=b",
        "x.hlm", "offscreen", "Fusion", "--", "#CECEFF,#0055AA,#007C00,#003C00,#00B500"};
    const QList<QByteArray> others{"--check", "--fix", "--json", "--sarif", "--underlined", "--dark", "--strict",
        "page.css", "-", "x.hlm", "--target=aaa", "-reverse", "--bogus"};
    QRandomGenerator random(36);
    int agreed = 0;
    for (int round = 0; round < 20000; ++round) {
        const QByteArray option = options.at(random.bounded(options.size())).toUtf8();
        const QByteArray value = values.at(random.bounded(values.size()));
        QList<QByteArray> before{"hueloom"};
        QList<QByteArray> after;
        for (int n = random.bounded(4); n > 0; --n)
            before << others.at(random.bounded(others.size()));
        for (int n = random.bounded(3); n > 0; --n)
            after << others.at(random.bounded(others.size()));
        // One dash or two, as either is taken.
        const QByteArray name = random.bounded(2) ? option : (option.startsWith("--") ? option.mid(1) : "-" + option);
        const CommandLine spaced = CommandLine::parse(before + QList<QByteArray>{name, value} + after);
        const CommandLine joined = CommandLine::parse(before + QList<QByteArray>{name + "=" + value} + after);
        QVERIFY2(decided(spaced) == decided(joined), qPrintable(decided(spaced) + " versus " + decided(joined)));
        agreed += spaced.action != CommandLine::Action::Error ? 1 : 0;
    }
    // Most of the command lines were good ones, so the agreement is not that of two errors alone.
    qInfo("%d of 20000 command lines were read without an error", agreed);
    QVERIFY(agreed > 2000);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
