#include "PastedText.h"

#include <QMimeData>

QString PastedText::of(const QMimeData* data)
{
    if (!data)
        return {};
    // Once an owner has answered, Qt keeps its list of formats; one that never answered is not asked
    // a second time, because the text is only asked for when the list names it.
    if (!data->formats().contains(QLatin1String("text/plain")))
        return {};
    return data->text();
}
