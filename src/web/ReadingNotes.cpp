#include "ReadingNotes.h"

#include <QCoreApplication>
#include <QHash>

void ReadingNotes::add(Reason reason, const QString& note, bool namesOneSheet)
{
    if (!m_reasons.contains(reason))
        m_reasons.append(reason);
    const size_t hash = qHash(note);
    if (note.isEmpty() || m_seen.contains(hash))
        return;
    m_seen.insert(hash);
    // Notes that name a style sheet can be as many as the links: past the first few they are counted.
    const bool namesSheet = namesOneSheet || reason == Reason::SheetNotRead;
    if (namesSheet && m_namedSheets == MaximumNamed) {
        ++m_moreSheets;
        return;
    }
    if (namesSheet)
        ++m_namedSheets;
    m_named.append(note);
}

QStringList ReadingNotes::lines() const
{
    QStringList result = m_named;
    if (m_moreSheets == 1)
        result << QCoreApplication::translate("ReadingNotes", "1 more style sheet could not be read.");
    else if (m_moreSheets > 1)
        result << QCoreApplication::translate("ReadingNotes", "%L1 more style sheets could not be read.")
                      .arg(m_moreSheets);
    return result;
}

QString ReadingNotes::quoted(const QString& address)
{
    return address.size() > MaximumAddress ? address.first(MaximumAddress - 1) + QChar(0x2026) : address;
}

QString ReadingNotes::code(Reason reason)
{
    switch (reason) {
    case Reason::SheetNotRead:
        return QStringLiteral("sheet-not-read");
    case Reason::SheetsLeftOut:
        return QStringLiteral("sheets-left-out");
    case Reason::TooComplex:
        return QStringLiteral("too-complex");
    case Reason::QueryNotAnswered:
        return QStringLiteral("query-not-answered");
    case Reason::TooLarge:
        break;
    }
    return QStringLiteral("too-large");
}

QString ReadingNotes::words(Reason reason)
{
    switch (reason) {
    case Reason::SheetNotRead:
        return QCoreApplication::translate("ReadingNotes", "a style sheet it links could not be read");
    case Reason::SheetsLeftOut:
        return QCoreApplication::translate("ReadingNotes", "it links more style sheets than Hueloom reads");
    case Reason::TooComplex:
        return QCoreApplication::translate("ReadingNotes", "it is too complex to read to the end");
    case Reason::QueryNotAnswered:
        return QCoreApplication::translate("ReadingNotes", "it asks container queries Hueloom cannot answer");
    case Reason::TooLarge:
        break;
    }
    return QCoreApplication::translate("ReadingNotes", "it holds more than Hueloom reads");
}
