#include "PrintServerProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QLocalSocket>
#include <QTcpSocket>
#include <QThread>
#include <memory>
#include <optional>

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
    if (!server.socketPath.isEmpty()) {
        auto local = std::make_unique<QLocalSocket>();
        local->connectToServer(server.socketPath);
        if (local->state() == QLocalSocket::UnconnectedState)
            return Result::NoServer;
        socket = std::move(local);
    } else {
        // The socket would look a host name up inside its waits, blocking without a time limit, so a
        // name is resolved first, with the window's events running meanwhile.
        QString host = server.host;
        if (QHostAddress(host).isNull() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0) {
            QObject context;
            std::optional<QHostInfo> found;
            QHostInfo::lookupHost(host, &context, [&found](const QHostInfo& info) { found = info; });
            QElapsedTimer looking;
            looking.start();
            while (!found && !looking.hasExpired(timeoutMs)) {
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                QThread::msleep(20);
            }
            if (!found)
                return Result::Silent;
            if (found->addresses().isEmpty())
                return Result::NoServer;
            host = found->addresses().first().toString();
        }
        auto tcp = std::make_unique<QTcpSocket>();
        tcp->connectToHost(host, server.port);
        socket = std::move(tcp);
    }
    socket->write("HEAD / HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");

    // Short blocking waits, with the window's painting in between; no nested event loop, so nothing
    // else the user started (a menu closing, a shortcut) is held up behind it.
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(timeoutMs)) {
        // Any reply will do, even a refusal: the server is there and talks.
        if (socket->bytesAvailable() > 0 || socket->waitForReadyRead(50))
            return Result::Answered;
        if (auto* local = qobject_cast<QLocalSocket*>(socket.get());
            local && local->state() == QLocalSocket::UnconnectedState)
            return Result::NoServer;
        if (auto* tcp = qobject_cast<QTcpSocket*>(socket.get());
            tcp && tcp->state() == QAbstractSocket::UnconnectedState)
            return Result::NoServer;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return Result::Silent;
}
