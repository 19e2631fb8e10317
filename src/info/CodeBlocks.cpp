#include "CodeBlocks.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>

CodeBlocks::CodeBlocks(QTextBrowser* browser)
    : QObject(browser)
    , m_browser(browser)
    , m_viewport(browser->viewport())
{
    // The code boxes scroll instead; anything else wraps.
    m_browser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    find();
    m_viewport->installEventFilter(this);
    connect(m_browser->verticalScrollBar(), &QScrollBar::valueChanged, this, &CodeBlocks::place);
    connect(m_browser->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
        &CodeBlocks::place);
    place();
}

bool CodeBlocks::isCode(const QTextBlock& block)
{
    // Markdown's reader marks the blocks of a code block, fenced or indented, with its language (empty
    // when none is given).
    return block.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage);
}

QList<QPlainTextEdit*> CodeBlocks::boxes() const
{
    QList<QPlainTextEdit*> list;
    for (const Code& code : m_codes)
        list << code.box;
    return list;
}

void CodeBlocks::find()
{
    QTextDocument* document = m_browser->document();
    const int scrollBar = m_browser->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_browser);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!isCode(block))
            continue;
        Code code{block, block, nullptr};
        QStringList lines{block.text()};
        while (code.last.next().isValid() && isCode(code.last.next())) {
            code.last = code.last.next();
            lines << code.last.text();
        }
        block = code.last;

        // A line of code is a line in the document too (Markdown's reader lets the lines of an indented
        // block break), with room under the last for the box's scroll bar.
        for (QTextBlock line = code.first; line.isValid() && line.blockNumber() <= code.last.blockNumber();
             line = line.next()) {
            QTextBlockFormat format = line.blockFormat();
            format.setNonBreakableLines(true);
            if (line == code.last)
                format.setBottomMargin(format.bottomMargin() + scrollBar);
            QTextCursor(line).setBlockFormat(format);
        }

        code.box = new QPlainTextEdit(m_browser->viewport());
        code.box->setObjectName(QStringLiteral("CodeBlock%1").arg(m_codes.size() + 1));
        code.box->setReadOnly(true);
        code.box->setFrameShape(QFrame::NoFrame);
        code.box->setLineWrapMode(QPlainTextEdit::NoWrap);
        code.box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        code.box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        code.box->setPalette(m_browser->palette());
        code.box->setFont(QTextCursor(code.first).charFormat().font().resolve(document->defaultFont()));
        code.box->document()->setDocumentMargin(0);
        // Keys scroll the guide; the box is for the mouse, and its text is in the guide for the keys.
        code.box->setFocusPolicy(Qt::NoFocus);
        // A line separator within a block is a line of the code too.
        code.box->setPlainText(lines.join(u'\n').replace(QChar::LineSeparator, u'\n'));
        code.box->setAccessibleName(tr("Code"));
        m_codes << code;
    }
}

void CodeBlocks::place()
{
    const QPoint scrolled(m_browser->horizontalScrollBar()->value(), m_browser->verticalScrollBar()->value());
    const int right = m_browser->viewport()->width();
    const int scrollBar = m_browser->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_browser);
    for (const Code& code : std::as_const(m_codes)) {
        const QTextLayout* first = code.first.layout();
        const QTextLayout* last = code.last.layout();
        if (first->lineCount() == 0 || last->lineCount() == 0)
            continue; // not laid out yet
        // From the first line's top left (after the block's margin and list indent) to the last line's
        // foot, and the room below it for the scroll bar.
        const QTextLine top = first->lineAt(0);
        const QTextLine foot = last->lineAt(last->lineCount() - 1);
        const QPointF from = first->position() + QPointF(top.x(), top.y());
        const qreal bottom = last->position().y() + foot.y() + foot.height() + scrollBar;
        const QRect at = QRectF(from, QPointF(right + scrolled.x(), bottom)).toAlignedRect();
        code.box->setGeometry(at.translated(-scrolled));
        code.box->show();
    }
}

bool CodeBlocks::eventFilter(QObject* watched, QEvent* event)
{
    // Not m_browser->viewport(): the viewport is also told of its end while the browser is being
    // destroyed, when the browser is no longer one.
    if (watched == m_viewport && event->type() == QEvent::Resize)
        QTimer::singleShot(0, this, &CodeBlocks::place);
    return QObject::eventFilter(watched, event);
}
