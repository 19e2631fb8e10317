// Prints through a real CUPS scheduler (started by the test fixture, see cups.sh) to a cups-pdf queue.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "support/Pdf.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <unistd.h>

namespace {

QString setting(const char* name)
{
    return qEnvironmentVariable(name);
}

// The ids of the queue's completed jobs.
QList<int> completedJobs(const QString& queue)
{
    QProcess lpstat;
    lpstat.start(
        QStringLiteral("lpstat"), {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"), queue});
    lpstat.waitForFinished(10000);
    QList<int> ids;
    const QRegularExpression id(QStringLiteral("^%1-(\\d+)\\s").arg(queue), QRegularExpression::MultilineOption);
    for (auto match = id.globalMatch(QString::fromUtf8(lpstat.readAllStandardOutput())); match.hasNext();)
        ids << match.next().captured(1).toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The PDFs cups-pdf says it made, in order.
QStringList madePdfs()
{
    QFile log(setting("HUELOOM_TEST_PDF_LOG"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    const QRegularExpression made(
        QStringLiteral("output filename created: (.*)$"), QRegularExpression::MultilineOption);
    for (auto match = made.globalMatch(QString::fromUtf8(log.readAll())); match.hasNext();)
        files << match.next().captured(1).trimmed();
    return files;
}

// What the scheduler says about a job of the queue it could not carry out, with the end of its error
// log; nothing while every job is fine. Such a job is stopped, not completed, and would be waited for
// in vain.
QString failedJobs(const QString& queue)
{
    QProcess lpstat;
    lpstat.start(QStringLiteral("lpstat"),
        {QStringLiteral("-l"), QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o"), queue});
    lpstat.waitForFinished(10000);
    const QString jobs = QString::fromUtf8(lpstat.readAllStandardOutput());
    static const QRegularExpression failed(QStringLiteral("^\\s*Alerts: .*with-errors"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    if (!failed.match(jobs).hasMatch())
        return {};
    QFile log(setting("HUELOOM_TEST_LOG") + QStringLiteral("/error_log"));
    QString logged;
    if (log.open(QIODevice::ReadOnly))
        logged = QString::fromUtf8(log.readAll().right(3000));
    return QStringLiteral("the scheduler could not print:\n%1\n%2").arg(jobs, logged);
}

const QList<QList<int>> DefaultValues{{206, 206, 255}, {0, 85, 170}, {0, 124, 0}, {0, 60, 0}, {0, 181, 0}};

} // namespace

class TestPrintCups : public QObject {
    Q_OBJECT
private slots:
    void eachCopyIsAJobOfItsOwn_data();
    void eachCopyIsAJobOfItsOwn();
};

void TestPrintCups::eachCopyIsAJobOfItsOwn_data()
{
    QTest::addColumn<int>("copies");
    QTest::newRow("one copy") << 1;
    QTest::newRow("three copies") << 3;
}

void TestPrintCups::eachCopyIsAJobOfItsOwn()
{
    QFETCH(int, copies);
    const QString queue = setting("HUELOOM_TEST_QUEUE");
    if (queue.isEmpty() && geteuid() != 0)
        QSKIP("printing through CUPS is tested as root only");
    QVERIFY2(!queue.isEmpty(), "the CUPS fixture did not run");
    const QList<int> before = completedJobs(queue);
    const qsizetype pdfsBefore = madePdfs().size();

    auto* dialogs = new ScriptedDialogs;
    MainWindow window{std::unique_ptr<DialogBackend>(dialogs)};
    dialogs->answerPrint(copies, [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(queue);
        QCOMPARE(printer.printerName(), queue);
    });
    window.findChild<QAction*>(QStringLiteral("ItemPrint"))->trigger();
    QVERIFY2(dialogs->messages.isEmpty(), qPrintable(dialogs->messages.join(QLatin1Char('\n'))));

    QString trouble;
    QTRY_VERIFY_WITH_TIMEOUT(
        completedJobs(queue).size() >= before.size() + copies || !(trouble = failedJobs(queue)).isEmpty(), 60000);
    QVERIFY2(trouble.isEmpty(), qPrintable(trouble));
    QCOMPARE(completedJobs(queue).size(), before.size() + copies);
    const QList<int> jobs = completedJobs(queue).mid(before.size());
    for (int job : jobs) {
        // The document the scheduler received for the job: Hueloom's chart, one page.
        const QString document
            = QStringLiteral("%1/d%2-001").arg(setting("HUELOOM_TEST_SPOOL")).arg(job, 5, 10, QLatin1Char('0'));
        QVERIFY2(QFile::exists(document), qPrintable(document));
        QCOMPARE(Pdf::pages(document), 1);
        QCOMPARE(Pdf::checkChart(Pdf::text(document), DefaultValues), QString());
        // The queue lists the job by the chart's name: the scheduler's record of it holds the name
        // as its job-name attribute.
        QFile control(QStringLiteral("%1/c%2").arg(setting("HUELOOM_TEST_SPOOL")).arg(job, 5, 10, QLatin1Char('0')));
        QVERIFY2(control.open(QIODevice::ReadOnly), qPrintable(control.fileName()));
        const QByteArray attributes = control.readAll();
        const qsizetype name = attributes.indexOf("job-name");
        QVERIFY(name >= 0);
        // After the attribute's name: a two-byte length, then the value.
        QCOMPARE(attributes.mid(name + 10, 17), QByteArray("Hueloom RGB Chart"));
    }
    // What came out of the queue: one single-page PDF a copy, so nothing multiplied the copies again.
    // (cups-pdf re-distils through Ghostscript, which drops the text mapping of subset fonts, so the
    // text is read from the documents above.)
    QTRY_COMPARE_WITH_TIMEOUT(madePdfs().size(), pdfsBefore + copies, 30000);
    for (const QString& pdf : madePdfs().mid(pdfsBefore))
        QTRY_COMPARE_WITH_TIMEOUT(Pdf::pages(pdf), 1, 10000);
}

int main(int argc, char* argv[])
{
    // The fixture's scheduler must be known before anything asks CUPS.
    QFile env(qEnvironmentVariable("HUELOOM_CUPS_ENV"));
    if (env.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : env.readAll().split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                qputenv(line.left(equals).constData(), line.mid(equals + 1));
        }
    }
    QApplication app(argc, argv);
    configureApplication(app);
    TestPrintCups test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printcups.moc"
