#include "ReadFile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ReadFile {

namespace {

std::function<void(const QByteArray&)>& openHook()
{
    static std::function<void(const QByteArray&)> hook;
    return hook;
}

// Closes the descriptor whatever way the read ends.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads `fd` into `result` up to `limit` bytes, and says whether that was all of it. The buffer starts
// at `expected` bytes (a file's size, one more to see its end) and doubles while more comes.
void readAll(int fd, qsizetype limit, qsizetype expected, Result& result)
{
    result.data.resize(std::max<qsizetype>(1, std::min(expected, limit)));
    qsizetype filled = 0;
    while (filled < limit) {
        if (filled == result.data.size())
            result.data.resize(std::min(limit, 2 * filled));
        const ssize_t got = ::read(fd, result.data.data() + filled, static_cast<size_t>(result.data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.error = errno;
            result.data.clear();
            return;
        }
        if (got == 0) {
            result.complete = true;
            break;
        }
        filled += got;
    }
    result.data.truncate(filled);
    // A file exactly `limit` long is whole when nothing follows.
    if (!result.complete) {
        char extra = 0;
        ssize_t got = 0;
        do
            got = ::read(fd, &extra, 1);
        while (got < 0 && errno == EINTR);
        result.complete = got == 0;
    }
}

} // namespace

QString Result::reason() const
{
    if (error != 0)
        return QString::fromLocal8Bit(std::strerror(error));
    if (notOrdinary)
        return QCoreApplication::translate("ReadFile", "Not an ordinary file");
    return {};
}

Result read(const QString& path, qsizetype limit)
{
    Result result;
    const QByteArray name = QFile::encodeName(path);
    if (openHook())
        openHook()(name);
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        result.error = errno;
        return result;
    }
    struct stat info = {};
    if (::fstat(file.get(), &info) != 0) {
        result.error = errno;
        return result;
    }
    if (!S_ISREG(info.st_mode)) {
        result.notOrdinary = true;
        return result;
    }
    result.size = info.st_size;
    readAll(file.get(), limit, qsizetype(std::min<qint64>(info.st_size, limit)) + 1, result);
    return result;
}

Result readStandardInput(qsizetype limit)
{
    Result result;
    readAll(STDIN_FILENO, limit, 64 * 1024, result);
    result.size = result.data.size();
    return result;
}

void setOpenHook(std::function<void(const QByteArray& name)> hook)
{
    openHook() = std::move(hook);
}

} // namespace ReadFile
