#pragma once

#include <QChar>

// Whether a character shown in the window leaves its line as written: not a control other than a line
// end, and nothing that would reorder the line (embeddings, overrides, isolates, marks) or break it.
inline bool keepsLineOrder(QChar c)
{
    const char16_t u = c.unicode();
    if ((u < 0x20 && u != u'\n') || (u >= 0x7F && u <= 0x9F))
        return false;
    switch (c.direction()) {
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return false;
    default:
        return u != 0x2028 && u != 0x2029 && u != 0x200E && u != 0x200F && u != 0x061C;
    }
}
