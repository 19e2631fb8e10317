#include "TagBox.h"

#include "ClipboardReader.h"
#include "PastedText.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextBlock>

namespace {

bool hasLongLine(QStringView text)
{
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator)
            lineStart = i + 1;
        else if (i - lineStart >= TagBox::LongLine)
            return true;
    }
    return false;
}

} // namespace

TagBox::TagBox(QWidget* parent)
    : QPlainTextEdit(parent)
    , m_reader(new ClipboardReader(this))
{
    // The text box's own mode (at a word boundary, or anywhere when none fits) looks for a boundary up
    // to the end of the paragraph once for every line it lays out: one unbroken megabyte (a minified
    // page, a data URL) takes minutes. Between words only, it is one line as wide as its text, laid
    // out in linear time but drawn whole, a third of a second a megabyte, at every blink of the
    // cursor. Breaking anywhere is linear and draws only the lines in view, but would break a tag in
    // the middle of a word, so it is kept for boxes that hold a long line.
    setWordWrapMode(QTextOption::WordWrap);
    connect(document(), &QTextDocument::contentsChange, this, [this] {
        // Set back by the tag being written, or by the user deleting the text.
        if (document()->characterCount() <= LongLine)
            breakAnywhere(false);
    });
}

void TagBox::breakAnywhere(bool anywhere)
{
    if (anywhere == (wordWrapMode() == QTextOption::WrapAnywhere))
        return;
    // A long line needs the scroll bar; showing it at once spares laying the text out again when it comes.
    setVerticalScrollBarPolicy(anywhere ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    setWordWrapMode(anywhere ? QTextOption::WrapAnywhere : QTextOption::WordWrap);
}

bool TagBox::canInsertFromMimeData(const QMimeData* source) const
{
    // An X selection with no owner comes as no data at all.
    return source && source->formats().contains(QLatin1String("text/plain"));
}

void TagBox::insertFromMimeData(const QMimeData* source)
{
    insertPasted(PastedText::of(source));
}

void TagBox::keyPressEvent(QKeyEvent* event)
{
    if (m_reader->readsInBackground() && !isReadOnly() && event->matches(QKeySequence::Paste)) {
        // Ctrl+Shift+Insert pastes the selection, as in Qt's own text boxes.
        const bool selection
            = event->key() == Qt::Key_Insert && event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        pasteInBackground(selection ? QClipboard::Selection : QClipboard::Clipboard);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TagBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_reader->readsInBackground() && !isReadOnly() && event->button() == Qt::MiddleButton) {
        setTextCursor(cursorForPosition(event->position().toPoint()));
        pasteInBackground(QClipboard::Selection);
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void TagBox::pasteInBackground(QClipboard::Mode mode)
{
    // A paste given while the last one has no answer yet replaces it. The text goes where the cursor
    // is when it comes.
    m_reader->read(mode, MaxLength, [this](const ClipboardReader::Answer& answer) {
        if (answer.tooLong)
            emit pasteRefused();
        else
            insertPasted(answer.text);
    });
}

void TagBox::insertPasted(const QString& text)
{
    if (text.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    const qsizetype replaced = cursor.selectionEnd() - cursor.selectionStart();
    // characterCount() counts the final paragraph separator too.
    const qsizetype length = document()->characterCount() - 1 - replaced + text.size();
    if (TextLimit::tooLong(length)) {
        emit pasteRefused();
        return;
    }
    // Chosen before the text is laid out, so that it is laid out once.
    if (hasLongLine(text))
        breakAnywhere(true);
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}
