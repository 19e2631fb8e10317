#include "PrintServerProbe.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace {

// `text` ("/run/cups/cups.sock", "printhost", "printhost:8631", "[::1]:631") as a server.
PrintServerProbe::Server parseServer(QString text)
{
    PrintServerProbe::Server server;
    text = text.trimmed();
    if (text.startsWith(u'/')) {
        server.socketPath = text;
        return server;
    }
    // "host:port/version=1.1": the version part is the client's business.
    text = text.section(u'/', 0, 0);
    qsizetype colon = text.lastIndexOf(u':');
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        colon = text.indexOf(u':', close);
        server.host = text.mid(1, close - 1);
    } else {
        server.host = colon > 0 ? text.left(colon) : text;
    }
    if (colon > 0) {
        bool ok = false;
        const ushort port = text.mid(colon + 1).toUShort(&ok);
        if (ok && port > 0)
            server.port = port;
    }
    return server;
}

// The value of the ServerName line in a client.conf, or an empty text.
QString serverNameIn(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& rawLine : file.read(64 * 1024).split('\n')) {
        const QString line = QString::fromUtf8(rawLine).simplified();
        if (line.section(u' ', 0, 0).compare(QStringLiteral("ServerName"), Qt::CaseInsensitive) == 0)
            return line.section(u' ', 1, 1);
    }
    return {};
}

} // namespace

PrintServerProbe::Server PrintServerProbe::locate()
{
    QString name = qEnvironmentVariable("CUPS_SERVER");
    if (name.isEmpty())
        name = serverNameIn(QDir::homePath() + QStringLiteral("/.cups/client.conf"));
    if (name.isEmpty())
        name = serverNameIn(QStringLiteral("/etc/cups/client.conf"));
    if (name.isEmpty() && QFileInfo::exists(QStringLiteral("/run/cups/cups.sock")))
        name = QStringLiteral("/run/cups/cups.sock");
    if (name.isEmpty())
        name = QStringLiteral("localhost");
    return parseServer(name);
}

PrintServerProbe::Result PrintServerProbe::probe(const Server& server, int timeoutMs)
{
    std::unique_ptr<QIODevice> socket;
    QEventLoop loop;
    Result result = Result::Silent;
    const auto finish = [&loop, &result](Result reached) {
        result = reached;
        loop.quit();
    };
    const QByteArray request = "HEAD / HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";

    if (!server.socketPath.isEmpty()) {
        auto local = std::make_unique<QLocalSocket>();
        QObject::connect(local.get(), &QLocalSocket::connected, local.get(),
            [device = local.get(), &request] { device->write(request); });
        QObject::connect(local.get(), &QLocalSocket::errorOccurred, &loop,
            [&finish](QLocalSocket::LocalSocketError) { finish(Result::NoServer); });
        local->connectToServer(server.socketPath);
        socket = std::move(local);
    } else {
        auto tcp = std::make_unique<QTcpSocket>();
        QObject::connect(
            tcp.get(), &QTcpSocket::connected, tcp.get(), [device = tcp.get(), &request] { device->write(request); });
        QObject::connect(tcp.get(), &QTcpSocket::errorOccurred, &loop,
            [&finish](QAbstractSocket::SocketError) { finish(Result::NoServer); });
        tcp->connectToHost(server.host, server.port);
        socket = std::move(tcp);
    }
    // Any reply will do, even a refusal: the server is there and talks.
    QObject::connect(socket.get(), &QIODevice::readyRead, &loop, [&finish] { finish(Result::Answered); });
    QTimer::singleShot(timeoutMs, &loop, [&finish] { finish(Result::Silent); });
    // A connection that fails at once fails before the loop starts; its signal is queued or direct.
    if (result == Result::Silent)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (result == Result::NoServer && socket->bytesAvailable() > 0)
        result = Result::Answered;
    return result;
}
