#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

// Writes `bytes` to a new file at `path`.
inline void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs `job` in a child process and returns its exit status, or -1 when the child did not end by
// itself (killed by the alarm it sets, or by a signal): what would block or crash here stays in the child.
inline int inChild(const std::function<int()>& job)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(5);
        _exit(job());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
