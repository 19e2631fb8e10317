// The CPU time `hueloom --check` takes to read real style sheets: Bulma's 760 KB, and the median of the
// real-world corpus. Prints figures; asserts nothing.
//     bench_cascade CACHE   (the folder tests/realworld/fetch.sh fills)
#include "files/LinkedSheets.h"
#include "web/TagReader.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The fastest of a few readings in both colour schemes, as --check reads a file.
double readingTime(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromUtf8(file.readAll());
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double start = cpuMilliseconds();
        const auto shared = std::make_shared<PageColours::Shared>();
        for (const bool dark : {false, true}) {
            TagReader::Options options;
            options.kind = TagReader::Options::Kind::StyleSheet;
            options.dark = dark;
            options.fileName = path;
            options.loader = LocalSheets::loader();
            options.shared = shared;
            TagReader::readExplained(text, options);
        }
        best = std::min(best, cpuMilliseconds() - start);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_cascade CACHE\n");
        return 2;
    }
    const QString cache = QString::fromLocal8Bit(argv[1]);
    QList<double> times;
    QDirIterator sheets(cache, {QStringLiteral("*.css")}, QDir::Files, QDirIterator::Subdirectories);
    QFile listing(QStringLiteral(HUELOOM_SOURCE_DIR "/tests/realworld/stylesheets.tsv"));
    listing.open(QIODevice::ReadOnly);
    for (const QByteArray& line : listing.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4 || line.startsWith('#'))
            continue;
        const QString path = QStringLiteral("%1/%2@%3/%4")
                                 .arg(cache, QString::fromUtf8(fields[1]).replace(u'/', u'_'),
                                     QString::fromUtf8(fields[2]), QString::fromUtf8(fields[3]));
        const double time = readingTime(path);
        if (time >= 0)
            times.append(time);
        if (path.contains(QLatin1String("bulma@")) && path.endsWith(QLatin1String("css/bulma.css")))
            std::printf("bulma.css: %.1f ms of CPU for both colour schemes\n", time);
    }
    std::sort(times.begin(), times.end());
    if (!times.isEmpty())
        std::printf("median of %d sheets: %.1f ms, slowest %.1f ms\n", int(times.size()), times[times.size() / 2],
            times.last());
    return 0;
}
