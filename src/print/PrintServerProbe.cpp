#include "PrintServerProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

namespace {

// A descriptor of the system's own, closed when it goes.
struct Descriptor {
    int fd = -1;
    Descriptor() = default;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The addresses of `host`, looked up on a thread of its own: the system's resolver blocks without a
// time limit. Nothing when no answer came within `timeoutMs`, with the window painting meanwhile.
std::optional<std::vector<sockaddr_storage>> resolve(const QString& host, quint16 port, int timeoutMs)
{
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::vector<sockaddr_storage> addresses;
    };
    auto lookup = std::make_shared<Lookup>();
    // A name the resolver never answers for keeps its thread; it ends when the answer comes at last.
    std::thread([lookup, name = host.toUtf8(), service = QByteArray::number(port)] {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        std::vector<sockaddr_storage> addresses;
        if (::getaddrinfo(name.constData(), service.constData(), &hints, &found) == 0) {
            for (const addrinfo* at = found; at; at = at->ai_next) {
                sockaddr_storage address{};
                std::memcpy(&address, at->ai_addr, std::min<std::size_t>(at->ai_addrlen, sizeof address));
                addresses.push_back(address);
            }
            ::freeaddrinfo(found);
        }
        const std::lock_guard lock(lookup->mutex);
        lookup->addresses = std::move(addresses);
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();

    QElapsedTimer waited;
    waited.start();
    std::unique_lock lock(lookup->mutex);
    while (!lookup->finished && !waited.hasExpired(timeoutMs)) {
        if (lookup->done.wait_for(lock, std::chrono::milliseconds(20), [&] { return lookup->finished; }))
            break;
        lock.unlock();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        lock.lock();
    }
    if (!lookup->finished)
        return std::nullopt;
    return lookup->addresses;
}

socklen_t lengthOf(const sockaddr_storage& address)
{
    return address.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

// Waits up to 50 ms for `events` on `fd`: the events that came, or 0.
short waitBriefly(int fd, short events)
{
    pollfd wait{fd, events, 0};
    const int ready = ::poll(&wait, 1, 50);
    return ready > 0 ? wait.revents : 0;
}

} // namespace

PrintServerProbe::Result PrintServerProbe::probe(const Server& server, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    Descriptor socket;
    if (!server.socketPath.isEmpty()) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(server.socketPath);
        if (std::size_t(path.size()) >= sizeof address.sun_path)
            return Result::NoServer;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        socket.fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (socket.fd < 0
            || (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
                && errno != EINPROGRESS && errno != EAGAIN))
            return Result::NoServer;
    } else {
        const std::optional<std::vector<sockaddr_storage>> addresses = resolve(server.host, server.port, timeoutMs);
        if (!addresses)
            return Result::Silent;
        if (addresses->empty())
            return Result::NoServer;
        const sockaddr_storage& address = addresses->front();
        socket.fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (socket.fd < 0
            || (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), lengthOf(address)) != 0
                && errno != EINPROGRESS))
            return Result::NoServer;
    }

    // Short waits, with the window's painting in between; no nested event loop, so nothing else the
    // user started (a menu closing, a shortcut) is held up behind it.
    bool sent = false;
    while (!waited.hasExpired(timeoutMs)) {
        const short events = waitBriefly(socket.fd, sent ? POLLIN : POLLOUT);
        if (events & (POLLERR | POLLNVAL))
            return Result::NoServer;
        if (!sent && (events & POLLOUT)) {
            int error = 0;
            socklen_t length = sizeof error;
            if (::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
                return Result::NoServer;
            static const char request[] = "HEAD / HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
            if (::send(socket.fd, request, sizeof request - 1, MSG_NOSIGNAL) < 0)
                return Result::NoServer;
            sent = true;
        } else if (sent && (events & (POLLIN | POLLHUP))) {
            // Any reply will do, even a refusal: the server is there and talks. A server that hangs up
            // without a word is none.
            char first = 0;
            const ssize_t got = ::recv(socket.fd, &first, 1, 0);
            if (got > 0)
                return Result::Answered;
            if (got == 0 || (errno != EAGAIN && errno != EINTR))
                return Result::NoServer;
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return Result::Silent;
}
