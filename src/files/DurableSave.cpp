#include "DurableSave.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace DurableSave {

bool commitWithoutFolderSync(QSaveFile& file)
{
    return file.commit();
}

void syncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool commit(QSaveFile& file)
{
    const QString target = file.fileName();
    if (!commitWithoutFolderSync(file))
        return false;
    syncFolderOf(target);
    return true;
}

} // namespace DurableSave
