// The time the judgement of every text takes in process, without the program's start: each page read
// in both colour schemes with and without the judgement, the fastest of a few runs. As `--check` does,
// the dark scheme is read only when the light reading says it could read otherwise. With --dump, the
// judged elements as lines of JSON instead. Prints figures; asserts nothing.
//     bench_pagecheck [--dump] PAGE...
#include "files/LinkedSheets.h"
#include "web/TagReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
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

QList<TagReader::Reading> read(const QString& path, const QString& text, bool judge)
{
    QList<TagReader::Reading> readings;
    const auto shared = std::make_shared<PageColours::Shared>();
    for (const bool dark : {false, true}) {
        TagReader::Options options;
        options.kind = TagReader::kindOfFile(path);
        options.dark = dark;
        options.fileName = path;
        options.loader = LocalSheets::loader();
        options.shared = shared;
        if (judge)
            options.judge = PageJudgement::Needs::aa();
        readings.append(TagReader::readExplained(text, options));
        if (!readings.last().schemeSensitive)
            break;
    }
    return readings;
}

QString hex(Argb colour)
{
    return Rgb::fromArgb(colour).name().toUpper();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList paths = app.arguments().mid(1);
    const bool dump = paths.removeAll(QStringLiteral("--dump")) > 0;
    for (const QString& path : std::as_const(paths)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        if (dump) {
            const QList<TagReader::Reading> readings = read(path, text, true);
            for (qsizetype scheme = 0; scheme < readings.size(); ++scheme) {
                for (const PageJudgement::Element& e : readings[scheme].judgement->elements) {
                    const QJsonObject line{{QStringLiteral("scheme"), scheme ? "dark" : "light"},
                        {QStringLiteral("index"), e.index}, {QStringLiteral("tag"), e.tag},
                        {QStringLiteral("line"), e.line}, {QStringLiteral("check"), PageJudgement::checkName(e.check)},
                        {QStringLiteral("verdict"), PageJudgement::verdictName(e.verdict)},
                        {QStringLiteral("ratio"), std::round(e.ratio * 100) / 100},
                        {QStringLiteral("fg"), hex(e.foreground)}, {QStringLiteral("bg"), hex(e.background)},
                        {QStringLiteral("size"), e.fontSize}, {QStringLiteral("weight"), e.fontWeight},
                        {QStringLiteral("why"), e.why}, {QStringLiteral("text"), e.text},
                        {QStringLiteral("selector"), e.selector},
                        {QStringLiteral("from"),
                            e.foregroundFrom.text() + QStringLiteral(" / ") + e.backgroundFrom.text()}};
                    std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
                }
            }
            continue;
        }
        double plain = 1e9;
        double judged = 1e9;
        qsizetype elements = 0;
        for (int run = 0; run < 5; ++run) {
            double start = cpuMilliseconds();
            read(path, text, false);
            plain = std::min(plain, cpuMilliseconds() - start);
            start = cpuMilliseconds();
            const QList<TagReader::Reading> readings = read(path, text, true);
            judged = std::min(judged, cpuMilliseconds() - start);
            elements = readings.first().judgement ? readings.first().judgement->elements.size() : 0;
        }
        std::printf("%8.2f ms every text  %8.2f ms five colours  %6lld judged  %s\n", judged, plain,
            static_cast<long long>(elements), qPrintable(path));
    }
    return 0;
}
