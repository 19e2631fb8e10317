#include "TagBox.h"

#include "PastedText.h"

#include <QMimeData>

TagBox::TagBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    // Lines break between words only. The text box's own mode (at a word boundary, or anywhere when
    // none fits) looks for a boundary up to the end of the paragraph once for every line it lays out:
    // one unbroken megabyte (a minified page, a data URL) then takes minutes to lay out. A line with
    // no word boundary now runs on past the right edge as one line, in linear time; tags of words
    // break exactly as before.
    setWordWrapMode(QTextOption::WordWrap);
}

bool TagBox::canInsertFromMimeData(const QMimeData* source) const
{
    // An X selection with no owner comes as no data at all.
    return source && source->formats().contains(QLatin1String("text/plain"));
}

void TagBox::insertFromMimeData(const QMimeData* source)
{
    const QString text = PastedText::of(source);
    if (text.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    const qsizetype replaced = cursor.selectionEnd() - cursor.selectionStart();
    // characterCount() counts the final paragraph separator too.
    const qsizetype length = document()->characterCount() - 1 - replaced + text.size();
    if (length > MaxLength) {
        emit pasteRefused();
        return;
    }
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}
