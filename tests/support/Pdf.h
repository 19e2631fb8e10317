#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>

// Reads PDFs with poppler's command-line tools, as a person would look at a printout.
namespace Pdf {

// The text of a PDF, laid out as on the page.
inline QString text(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed on %1>").arg(path);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pages(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                           .match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// What a page of the chart must say: the title, the header and each slot with its three values.
// Returns what is wrong, or an empty text.
inline QString checkChart(const QString& page, const QList<QList<int>>& values)
{
    static const char* const labels[]
        = {"Background Color", "Text Color", "New Link Color", "Visited Link Color", "Active Link Color"};
    if (!page.contains(QStringLiteral("Hueloom RGB Chart")))
        return QStringLiteral("no title in:\n") + page;
    const QStringList lines = page.split(QLatin1Char('\n'));
    const auto header = std::find_if(lines.begin(), lines.end(), [](const QString& line) {
        return QRegularExpression(QStringLiteral("^\\s+Red\\s+Green\\s+Blue\\s*$")).match(line).hasMatch();
    });
    if (header == lines.end())
        return QStringLiteral("no header line in:\n") + page;
    const qsizetype red = header->indexOf(QStringLiteral("Red"));
    const qsizetype green = header->indexOf(QStringLiteral("Green"));
    const qsizetype blue = header->indexOf(QStringLiteral("Blue"));
    for (int slot = 0; slot < 5; ++slot) {
        const QString wanted = QStringLiteral("^%1\\s+%2\\s+%3\\s+%4\\s*$")
                                   .arg(QLatin1String(labels[slot]))
                                   .arg(values[slot][0])
                                   .arg(values[slot][1])
                                   .arg(values[slot][2]);
        const auto line = std::find_if(lines.begin(), lines.end(),
            [&](const QString& text) { return QRegularExpression(wanted).match(text).hasMatch(); });
        if (line == lines.end())
            return QStringLiteral("no line %1 in:\n%2").arg(wanted, page);
        // Each value stands under its header word (one space in, for the sign).
        const QStringList parts
            = line->mid(qsizetype(qstrlen(labels[slot]))).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        qsizetype from = qstrlen(labels[slot]);
        const qsizetype columns[] = {red, green, blue};
        for (int c = 0; c < 3; ++c) {
            const qsizetype at = line->indexOf(parts.at(c), from);
            if (qAbs(at - columns[c]) > 2)
                return QStringLiteral("value %1 of %2 is at %3, its header at %4:\n%5")
                    .arg(c)
                    .arg(QLatin1String(labels[slot]))
                    .arg(at)
                    .arg(columns[c])
                    .arg(page);
            from = at + parts.at(c).size();
        }
    }
    return {};
}

} // namespace Pdf
