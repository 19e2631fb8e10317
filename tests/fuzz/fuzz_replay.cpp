// Times the inputs a fuzzing run kept, in a build without instrumentation, the way the program runs
// them: each input five times, its fastest run counting, so that a page fault or a cache gone cold
// does not count against it. Exits with 1 when any input takes longer than the budget.
//
//     fuzz_replay colour|tag BUDGET_MS FILE_OR_FOLDER...
#include "TimeBudget.h"
#include "css/ColourText.h"
#include "web/TagReader.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const bool colour = QByteArray(argv[1]) == "colour";
    const double budget = QByteArray(argv[2]).toDouble();
    QStringList files;
    for (int i = 3; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(path).isDir()) {
            for (QDirIterator it(path, QDir::Files); it.hasNext();)
                files << it.next();
        } else if (QFileInfo::exists(path)) {
            files << path;
        }
    }
    double slowest = 0;
    QString slowestFile;
    for (const QString& path : std::as_const(files)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        double fastest = 1e9;
        for (int run = 0; run < 5; ++run) {
            const double start = threadMilliseconds();
            if (colour)
                ColourText::read(text);
            else
                TagReader::readExplained(text);
            fastest = std::min(fastest, threadMilliseconds() - start);
        }
        if (fastest > slowest) {
            slowest = fastest;
            slowestFile = path;
        }
    }
    std::printf("%s reader: %lld inputs, slowest %.3f ms (%s), budget %g ms\n", colour ? "colour" : "tag",
        static_cast<long long>(files.size()), slowest, qPrintable(slowestFile), budget);
    return slowest > budget ? 1 : 0;
}
