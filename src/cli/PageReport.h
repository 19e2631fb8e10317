#pragma once

#include "web/PageJudgement.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// How `hueloom --check` tells the judgement of every text of a page: compiler-style lines for a
// terminal and an editor, objects for --json, and a SARIF log for code-scanning tools. Each takes a
// PageJudgement as the reading gives it, and the names to print, so that it can be tried on any.
namespace PageReport {

// Where the elements of one reading are told as being: the page as the user named it, and the file the
// reading was given (an absolute path), which an element's own file names when it is the page itself.
struct Page {
    QString shown; // "site/index.html", "-"
    QString file; // the reading's file name; empty for standard input
    QString colourScheme; // "light" or "dark"; "dark" is said on each line of the dark reading
    bool apca = false; // the target is an APCA |Lc|, which an element's contrast is told in
};

// `file` as a line names it: the page as the user named it, a file below the current folder relative
// to it, any other as it is.
QString fileShown(const QString& file, const Page& page, const QString& currentFolder);

// One element's line, "page.html:3:5: 2.84:1 (needs 4.5:1) "Read more" #8A8A8A on #FFFFFF (color from
// theme.css:212 .muted)", or, for a review, "page.html:3:5: review: <why> ...".
QString elementLine(const PageJudgement::Element& element, const Page& page, const QString& currentFolder);
// The lines of every failing element, in document order, then those of every one for review.
QStringList elementLines(const PageJudgement& judgement, const Page& page, const QString& currentFolder);
// "12 pass, 2 fail, 1 review".
QString countsText(const PageJudgement& judgement);

// The judged elements as a compact JSON array of objects, their keys in alphabetical order, as
// QJsonDocument writes them: background, check, column, file, foreground, from (its background and
// foreground), index, large, lc, line, needed, ratio, selector, tag, text, verdict, why.
QByteArray elementsJson(const PageJudgement& judgement, const Page& page, const QString& currentFolder);
// `value` as compact JSON text, with each string value that is a key of `raw` written as the JSON text
// it maps to: how a document of a few objects takes the elements written above.
QByteArray compactJson(const QJsonValue& value, const QHash<QString, QByteArray>& raw);
// {"pass": 12, "fail": 2, "review": 1}
QJsonObject countsJson(const PageJudgement& judgement);

// The SARIF log of a run of --check.
struct Sarif {
    struct Result {
        QString ruleId; // "contrast", "link-in-text", "scheme-pair"
        QString level; // "error", "warning" or "note"
        QString message;
        QString file; // the file it is in, as fileShown names it; empty for five colours given as such
        int line = 0; // 1-based; 0 for none
        int column = 0;
    };
    QString version; // the program's
    QString currentFolder; // what relative file names are relative to
    QList<Result> results;
    QStringList errors; // what could not be read or judged, each a notification of the run
    bool successful = true; // false when the run ended with status 2

    // The results of a judged page: a failing element an error, one for review a note.
    void add(const PageJudgement& judgement, const Page& page);
    QJsonObject log() const;
};

// The URI SARIF names a file by: relative to `currentFolder` when it is below it, else a file: URI.
QString artifactUri(const QString& file, const QString& currentFolder);

// Whether `data` is not text: a NUL byte, or invalid UTF-8 and control bytes in bulk (more than one
// byte in ten of the first 64 KiB), where a Latin-1 page's few accented letters are not.
bool looksBinary(const QByteArray& data);
// Whether `text` holds nothing but white space.
bool blank(QStringView text);

} // namespace PageReport
