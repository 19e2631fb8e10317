#include "TextLimit.h"

#include <QCoreApplication>

QString TextLimit::tooLongMessage()
{
    return QCoreApplication::translate(
        "TextLimit", "too long: Hueloom reads at most %L1 characters of a tag, page or style sheet")
        .arg(MaxCharacters);
}
