// libFuzzer target for the style sheets a page links and imports: the input is a page and up to four
// style sheets, apart at NUL bytes, written into a scratch folder as index.html, s0.css, sub/s1.css,
// s2.css and sub/s3.css, and read as a dropped file is, with the real loader, in both colour schemes.
// Safe on any files; a reading says why whenever it stops short and only then, in a handful of notes
// however many sheets it could not read; and it keeps within the most sheets a reading applies.
#include "TimeBudget.h"
#include "files/LinkedSheets.h"
#include "web/ReadingNotes.h"
#include "web/TagReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const char* const Names[] = {"index.html", "s0.css", "sub/s1.css", "s2.css", "sub/s3.css"};

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    static const bool made = QDir(dir.path()).mkpath(QStringLiteral("sub"));
    Q_UNUSED(made);
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray> parts
        = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0');
    QTemporaryDir& dir = folder();
    for (qsizetype at = 0; at < qsizetype(std::size(Names)); ++at) {
        QFile file(dir.filePath(QLatin1String(Names[at])));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(parts.value(at)) < 0)
            __builtin_trap();
    }
    const QString page = dir.filePath(QLatin1String(Names[0]));
    const QString text = QString::fromUtf8(parts.value(0));
    const auto shared = std::make_shared<PageColours::Shared>();
    const double start = threadMilliseconds();
    for (const bool dark : {false, true}) {
        TagReader::Options options;
        options.kind = TagReader::Options::Kind::Page;
        options.dark = dark;
        options.fileName = page;
        options.loader = LocalSheets::loader();
        options.shared = shared;
        const TagReader::Reading reading = TagReader::readExplained(text, options);
        // Every note is a shortfall, and every shortfall has its note.
        if (reading.notes.isEmpty() != reading.shortfalls.isEmpty())
            __builtin_trap();
        // Sheets by name, a count of the rest, and the fixed notes of a limit, a reading too complex, one too
        // large, and container queries of a size and of a style not answered.
        if (reading.notes.size() > ReadingNotes::MaximumNamed + 1 + 6)
            __builtin_trap();
        for (const std::optional<int>& margin : {reading.found.leftMargin, reading.found.topMargin}) {
            if (margin && (*margin < TagReader::MarginMinimum || *margin > TagReader::MarginMaximum))
                __builtin_trap();
        }
    }
    noteSlowest(data, size, threadMilliseconds() - start);
    return 0;
}
