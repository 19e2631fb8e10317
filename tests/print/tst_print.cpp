#include "app/MainWindow.h"
#include "dialogs/DialogFlags.h"
#include "dialogs/QtDialogBackend.h"
#include "print/ChartPrinter.h"
#include "print/PrintServerProbe.h"
#include "print/RgbChart.h"
#include "support/Modal.h"
#include "support/Pdf.h"
#include "support/ScriptedDialogs.h"
#include "support/TestApp.h"
#include "support/WindowProbe.h"
#include "support/WindowTestCase.h"

#include <QAction>
#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const QList<QList<int>> DefaultValues{{206, 206, 255}, {0, 85, 170}, {0, 124, 0}, {0, 60, 0}, {0, 181, 0}};

// A print server on a Unix socket, in a thread of its own: it takes every connection and either never
// says a word, like a hung network print server, or answers each request and hangs up. It gives up
// after 20 seconds, so a test that waits for it fails instead of hanging.
class FakePrintServer {
public:
    FakePrintServer(const QString& path, bool answers)
    {
        const QByteArray name = QFile::encodeName(path);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, name.constData(), sizeof(address.sun_path));
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
            || ::listen(m_listener, 16) != 0)
            qFatal("the fake print server cannot listen");
        m_thread = std::thread([this, answers] { serve(answers); });
    }
    // The same on TCP, on a port of the loopback address the system picks (port()).
    explicit FakePrintServer(bool answers)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
            || ::listen(m_listener, 16) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("the fake print server cannot listen");
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this, answers] { serve(answers); });
    }
    quint16 port() const { return m_port; }
    ~FakePrintServer()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void serve(bool answers)
    {
        std::vector<int> held;
        for (int round = 0; round < 400 && !m_stop; ++round) {
            pollfd wait{m_listener, POLLIN, 0};
            if (::poll(&wait, 1, 50) != 1)
                continue;
            const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0)
                continue;
            if (!answers) {
                held.push_back(connection);
                continue;
            }
            char request[4096];
            pollfd readable{connection, POLLIN, 0};
            if (::poll(&readable, 1, 1000) == 1)
                (void)::read(connection, request, sizeof(request));
            const char reply[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            (void)::write(connection, reply, sizeof(reply) - 1);
            ::close(connection);
        }
        // From now on connections are refused.
        ::close(m_listener);
        for (int connection : held)
            ::close(connection);
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

} // namespace

class TestPrint : public WindowTestCase {
    Q_OBJECT
private slots:
    void chartRows();
    void pdfChartText();
    void copiesBecomePagesOfOnePdf_data();
    void copiesBecomePagesOfOnePdf();
    void unsavedChangesPrintAndRunsRepeat();
    void cancelPrintsNothing();
    void failureIsReportedAndLeavesNothingBehind();
    void realPrintDialog();
    void silentPrintServerIsReported_data();
    void silentPrintServerIsReported();
    void probeTellsAnswerSilenceAndAbsence_data();
    void probeTellsAnswerSilenceAndAbsence();

private:
    void printThroughWindow(int copies, const QString& pdf, bool viaButton = false);
};

void TestPrint::printThroughWindow(int copies, const QString& pdf, bool viaButton)
{
    m_dialogs->answerPrint(copies, [pdf](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    if (viaButton)
        QTest::mouseClick(m_window->findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
    else
        m_window->findChild<QAction*>(QStringLiteral("ItemPrint"))->trigger();
}

void TestPrint::chartRows()
{
    ColourScheme scheme = ColourScheme::defaults();
    scheme.setChannel(Slot::ActiveLink, Channel::Blue, 255);
    const RgbChart chart(scheme);
    QCOMPARE(chart.rows().size(), 6);
    QCOMPARE(chart.rows().at(0).label, QString());
    QCOMPARE(chart.rows().at(0).cells, (std::array<QString, 3>{"Red", "Green", "Blue"}));
    QCOMPARE(chart.rows().at(1).label, QStringLiteral("Background Color"));
    QCOMPARE(chart.rows().at(1).cells, (std::array<QString, 3>{" 206", " 206", " 255"}));
    QCOMPARE(chart.rows().at(3).cells, (std::array<QString, 3>{" 0", " 124", " 0"}));
    QCOMPARE(chart.rows().at(5).label, QStringLiteral("Active Link Color"));
    QCOMPARE(chart.rows().at(5).cells, (std::array<QString, 3>{" 0", " 181", " 255"}));
}

void TestPrint::pdfChartText()
{
    const QString pdf = m_dir->filePath(QStringLiteral("chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QString error;
    QVERIFY(ChartPrinter::print(printer, RgbChart(ColourScheme::defaults()), 1, &error));
    QCOMPARE(Pdf::pages(pdf), 1);
    const QString text = Pdf::text(pdf);
    QCOMPARE(Pdf::checkChart(text, DefaultValues), QString());
    // Nothing stands before the header words; the title comes first, two empty lines later the header.
    const QStringList lines = text.split(QLatin1Char('\n'));
    QVERIFY(lines.first().trimmed() == QStringLiteral("Hueloom RGB Chart"));
}

void TestPrint::copiesBecomePagesOfOnePdf_data()
{
    QTest::addColumn<int>("copies");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("three") << 3;
}

void TestPrint::copiesBecomePagesOfOnePdf()
{
    QFETCH(int, copies);
    const QString pdf = m_dir->filePath(QStringLiteral("copies.pdf"));
    printThroughWindow(copies, pdf);
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    if (copies == 0) {
        QVERIFY(!QFile::exists(pdf));
        return;
    }
    QCOMPARE(Pdf::pages(pdf), copies);
    const QStringList pages = Pdf::text(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), copies);
    for (const QString& page : pages)
        QCOMPARE(Pdf::checkChart(page, DefaultValues), QString());
    QCOMPARE(m_dialogs->printRequests.first(),
        DialogFlags::NoSelection | DialogFlags::NoPageNumbers | DialogFlags::DisablePrintToFile
            | DialogFlags::HidePrintToFile);
}

void TestPrint::unsavedChangesPrintAndRunsRepeat()
{
    WindowProbe probe(*m_window);
    QTest::mouseClick(probe.option(4), Qt::LeftButton);
    probe.bar(2)->setValue(255);
    probe.bar(0)->setValue(0);
    const QString first = m_dir->filePath(QStringLiteral("first.pdf"));
    const QString second = m_dir->filePath(QStringLiteral("second.pdf"));
    printThroughWindow(1, first, true);
    printThroughWindow(1, second);
    QList<QList<int>> values = DefaultValues;
    values[4] = {0, 181, 255};
    QCOMPARE(Pdf::checkChart(Pdf::text(first), values), QString());
    QCOMPARE(Pdf::text(first), Pdf::text(second));
    QCOMPARE(Pdf::text(second).count(QStringLiteral("Color")), 5);
    // Printing changes nothing on screen.
    QCOMPARE(m_window->tag().text(), BodyTag::compose(m_window->scheme(), m_window->margins()));
    QCOMPARE(m_window->selectedSlot(), 4);
}

void TestPrint::cancelPrintsNothing()
{
    m_dialogs->answerCancel();
    m_window->findChild<QAction*>(QStringLiteral("ItemPrint"))->trigger();
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

void TestPrint::failureIsReportedAndLeavesNothingBehind()
{
    printThroughWindow(2, QStringLiteral("/proc/hueloom/chart.pdf"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messageCaptions.first(), QStringLiteral("Hueloom"));
    QVERIFY(m_dialogs->messages.first().startsWith(QStringLiteral("The RGB chart could not be printed.")));
    // The next run prints the same full chart as ever.
    const QString pdf = m_dir->filePath(QStringLiteral("after.pdf"));
    printThroughWindow(1, pdf);
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(Pdf::checkChart(Pdf::text(pdf), DefaultValues), QString());
}

void TestPrint::realPrintDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(m_dir->filePath(QStringLiteral("dialog.pdf")));
    QtDialogBackend backend;
    using namespace DialogFlags;
    whenModal<QPrintDialog>([](QPrintDialog* dialog) {
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintSelection));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintPageRange));
        // Print to a PDF file stays offered: it is how a user without a printer prints.
        QVERIFY(dialog->testOption(QAbstractPrintDialog::PrintToFile));
        QVERIFY(!dialog->testOption(QAbstractPrintDialog::PrintCurrentPage));
        // Even or odd pages of a one-page chart: never offered.
        auto* pageSet = dialog->findChild<QComboBox*>(QStringLiteral("pageSetCombo"));
        QVERIFY(pageSet);
        QVERIFY(!pageSet->isEnabled());
        QCOMPARE(pageSet->count(), 1);
        auto* copies = dialog->findChild<QSpinBox*>(QStringLiteral("copies"));
        QVERIFY(copies);
        copies->setValue(2);
        dialog->accept();
    });
    const std::optional<int> chosen
        = backend.choosePrinter(nullptr, printer, NoSelection | NoPageNumbers | DisablePrintToFile | HidePrintToFile);
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, 2);
    whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
    QCOMPARE(backend.choosePrinter(nullptr, printer, NoSelection), std::nullopt);
}

void TestPrint::silentPrintServerIsReported_data()
{
    QTest::addColumn<bool>("answers");
    QTest::newRow("a server that never answers") << false;
    QTest::newRow("a server that answers") << true;
}

void TestPrint::silentPrintServerIsReported()
{
    QFETCH(bool, answers);
    const QString socket = m_dir->filePath(QStringLiteral("cups.sock"));
    const FakePrintServer server(socket, answers);
    const QByteArray before = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(socket));
    const QString pdf = m_dir->filePath(QStringLiteral("chart.pdf"));
    if (answers)
        printThroughWindow(1, pdf);
    else
        m_window->findChild<QAction*>(QStringLiteral("ItemPrint"))->trigger();
    if (before.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", before);

    const QString silent = QStringLiteral("The print system did not answer within 3 seconds.  Nothing was printed.");
    if (answers) {
        QCOMPARE(m_dialogs->printRequests.size(), 1);
        QVERIFY(!m_dialogs->messages.contains(silent));
        QCOMPARE(Pdf::checkChart(Pdf::text(pdf), DefaultValues), QString());
    } else {
        QCOMPARE(m_dialogs->messages, QStringList{silent});
        QCOMPARE(m_dialogs->printRequests.size(), 0);
        QVERIFY(!QFile::exists(pdf));
    }
}

void TestPrint::probeTellsAnswerSilenceAndAbsence_data()
{
    QTest::addColumn<QString>("transport");
    QTest::addColumn<QString>("server"); // what listens: "answers", "silent" or "nothing"
    QTest::addColumn<int>("expected");
    using Result = PrintServerProbe::Result;
    for (const QString& transport : {QStringLiteral("socket"), QStringLiteral("address"), QStringLiteral("name")}) {
        QTest::addRow("%s, answers", qPrintable(transport)) << transport << "answers" << int(Result::Answered);
        QTest::addRow("%s, silent", qPrintable(transport)) << transport << "silent" << int(Result::Silent);
        QTest::addRow("%s, nothing", qPrintable(transport)) << transport << "nothing" << int(Result::NoServer);
    }
}

// Asks each kind of server over each way of reaching it: a silent one is given up on, and a refusal is
// not taken for silence.
void TestPrint::probeTellsAnswerSilenceAndAbsence()
{
    QFETCH(QString, transport);
    QFETCH(QString, server);
    QFETCH(int, expected);
    PrintServerProbe::Server where;
    std::optional<FakePrintServer> listening;
    if (transport == QLatin1String("socket")) {
        where.socketPath = m_dir->filePath(QStringLiteral("probe-%1.sock").arg(server));
        if (server != QLatin1String("nothing"))
            listening.emplace(where.socketPath, server == QLatin1String("answers"));
    } else {
        where.host = transport == QLatin1String("name") ? QStringLiteral("localhost") : QStringLiteral("127.0.0.1");
        listening.emplace(server == QLatin1String("answers"));
        where.port = listening->port();
        if (server == QLatin1String("nothing"))
            listening.reset(); // the port is closed again: connections are refused
    }
    QCOMPARE(int(PrintServerProbe::probe(where, 400)), expected);
}

HUELOOM_TEST_MAIN(TestPrint)
#include "tst_print.moc"
