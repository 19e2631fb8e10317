#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// What a reading says about what it did not read, and why. Every note is a shortfall: a reading with
// none read the whole text and every style sheet it links. The notes are said in a few lines however
// many there are: a page linking 100,000 style sheets that cannot be followed gets the first few by
// name and a count of the rest, so that neither a message box nor standard error drowns in them.
class ReadingNotes {
public:
    // Why a reading stopped short of all it was given, in the order of the codes --json gives.
    enum class Reason {
        SheetNotRead, // a linked or imported style sheet could not be read
        SheetsLeftOut, // more style sheets, or more of their text, than are read
        TooComplex, // the work the reading may take was spent
        TooLarge, // more elements, rules, selectors or declarations than are read
        QueryNotAnswered, // an @container query asked what the reading does not know, and was taken not to hold
    };

    // Of the notes that name one style sheet, those said; the rest are counted.
    static constexpr qsizetype MaximumNamed = 5;
    // The longest address a note quotes in full.
    static constexpr qsizetype MaximumAddress = 100;

    // A note said once however often it is added. One that names a single style sheet (as every note of
    // a sheet not read does) is among those counted past the first few; a note of the whole reading,
    // such as the one of a limit reached, is always said.
    void add(Reason reason, const QString& note, bool namesOneSheet = false);
    bool isEmpty() const { return m_reasons.isEmpty(); }
    // Why the reading stopped short, each reason once, in the order first met; empty when it did not.
    const QList<Reason>& reasons() const { return m_reasons; }
    // The notes to show: each once, no more than MaximumNamed of those that name one style sheet, and
    // then a line counting the others ("412 more style sheets could not be read.").
    QStringList lines() const;

    // `address` as a note quotes it: cut short past MaximumAddress characters.
    static QString quoted(const QString& address);
    // The code --json gives for a reason: "sheet-not-read", "sheets-left-out", "too-complex", "too-large",
    // "query-not-answered".
    static QString code(Reason reason);
    // The reason in a few words, after "read in part: ".
    static QString words(Reason reason);

private:
    QStringList m_named;
    QSet<size_t> m_seen; // by the hash of each note added, so that a note repeated is said once
    qsizetype m_namedSheets = 0;
    qsizetype m_moreSheets = 0;
    QList<Reason> m_reasons;
};
