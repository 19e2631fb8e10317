#include "ByteName.h"

#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool spellable(const QByteArray& name)
{
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString descriptorPath(int fd)
{
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

} // namespace

ByteName::ByteName(const QByteArray& name)
    : m_shown(QFile::decodeName(name))
{
    const QString absolute = QFileInfo(m_shown).absoluteFilePath();
    m_path = absolute;
    m_linkBase = absolute;
    if (spellable(name))
        return;
    // Without blocking: a FIFO with no writer must not hold the program up; it is refused when read.
    m_file = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_file >= 0)
        m_path = descriptorPath(m_file);
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.first(slash);
    if (spellable(folder))
        return;
    m_folder = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_folder >= 0)
        m_linkBase = descriptorPath(m_folder) + QLatin1Char('/') + QFileInfo(m_shown).fileName();
}

ByteName::~ByteName()
{
    if (m_file >= 0)
        ::close(m_file);
    if (m_folder >= 0)
        ::close(m_folder);
}
