#include "app/MainWindow.h"
#include "cli/CommandLine.h"
#include "support/ChildProcess.h"
#include "support/LineOrder.h"
#include "support/TestApp.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QClipboard>
#include <QDir>

// Every refusal names what it was given and why it could not be used. The cases and the words their
// messages must hold are in data/messages.tsv.
class TestMessages : public WindowTestCase {
    Q_OBJECT
private slots:
    void refusalSaysWhatAndWhy_data();
    void refusalSaysWhatAndWhy();
};

namespace {

// "\n" and "\xNN" written in the data file, as bytes.
QByteArray unescaped(const QByteArray& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            bytes += '\n';
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'r') {
            bytes += '\r';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

} // namespace

void TestMessages::refusalSaysWhatAndWhy_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("words");
    QFile data(qEnvironmentVariable("HUELOOM_TEST_SOURCE_DIR") + QStringLiteral("/app/data/messages.tsv"));
    QVERIFY2(data.open(QIODevice::ReadOnly), qPrintable(data.fileName()));
    int rows = 0;
    while (!data.atEnd()) {
        const QByteArray line = data.readLine().chopped(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> columns = line.split('\t');
        QCOMPARE(columns.size(), 3);
        QTest::addRow("%s %s", columns[0].constData(), columns[1].left(40).constData()) << QString::fromUtf8(
            columns[0]) << unescaped(columns[1]) << QString::fromUtf8(unescaped(columns[2])).split(QLatin1Char('|'));
        ++rows;
    }
    QVERIFY(rows >= 20);
}

void TestMessages::refusalSaysWhatAndWhy()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, words);
    const SchemeState before = m_window->state();
    QString said;
    if (action == QLatin1String("option")) {
        QList<QByteArray> arguments = input.split(' ');
        arguments.prepend("hueloom");
        const CommandLine command = CommandLine::parse(arguments);
        QCOMPARE(command.action, CommandLine::Action::Error);
        said = command.output;
    } else {
        if (action == QLatin1String("paste")) {
            m_probe->option(Slot::Text)->click();
            QGuiApplication::clipboard()->setText(QString::fromUtf8(input));
            m_window->findChild<QAction*>(QStringLiteral("ItemPasteColor"))->trigger();
        } else if (action == QLatin1String("tag")) {
            m_probe->tagline()->setPlainText(QString::fromUtf8(input));
            m_window->findChild<QAction*>(QStringLiteral("ItemApplyTag"))->trigger();
        } else {
            QString path;
            if (input == "missing") {
                path = m_dir->filePath(QStringLiteral("gone.hlm"));
            } else if (input.startsWith("missing:")) {
                path = m_dir->filePath(QString::fromUtf8(input.mid(8)));
            } else if (input == "loop") {
                path = m_dir->filePath(QStringLiteral("loop.hlm"));
                QVERIFY(QFile::link(path, path));
            } else if (input == "folder") {
                path = m_dir->filePath(QStringLiteral("folder.hlm"));
                QVERIFY(QDir().mkpath(path));
            } else {
                QVERIFY(input.startsWith("file:"));
                path = m_dir->filePath(input.size() == 5 ? QStringLiteral("empty.hlm") : QStringLiteral("bad.hlm"));
                put(path, input.mid(5));
            }
            if (action == QLatin1String("open")) {
                m_dialogs->answerFile(path);
                m_window->findChild<QAction*>(QStringLiteral("ItemOpen"))->trigger();
            } else {
                m_window->openSchemeFile(path, {}, true);
            }
        }
        QCOMPARE(m_dialogs->messages.size(), 1);
        said = m_dialogs->messages.first();
        if (!m_dialogs->messageReasons.first().isEmpty())
            said += u'\n' + m_dialogs->messageReasons.first();
        // A margin kept within its range is the one refusal that still applies the rest.
        if (!said.contains(QLatin1String("was limited")))
            QCOMPARE(m_window->state(), before);
    }
    // Whatever the input held, the message reads in the order it is written, one line where it means one.
    for (const QChar c : std::as_const(said))
        QVERIFY2(keepsLineOrder(c), qPrintable(said));
    for (const QString& word : std::as_const(words)) {
        if (word.startsWith(u'!'))
            QVERIFY2(!said.contains(word.mid(1)), qPrintable(said));
        else
            QVERIFY2(said.contains(word), qPrintable(said));
    }
}

HUELOOM_TEST_MAIN(TestMessages)
#include "tst_messages.moc"
