#include "NoteLine.h"

#include "files/PrintableText.h"

#include <QEvent>
#include <QLabel>

NoteLine::NoteLine(QWidget* parent)
    : QStatusBar(parent)
    , m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("NoteLine"));
    // The window has a fixed size, so there is nothing to drag.
    setSizeGripEnabled(false);
    m_text->setObjectName(QStringLiteral("NoteText"));
    m_text->setTextFormat(Qt::PlainText);
    // The window keeps its width whatever the note's length: a note too long for the line is cut in its
    // middle, where a folder's name is, and shown whole in its tooltip.
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->installEventFilter(this);
    addWidget(m_text, 1);
    hide();
}

void NoteLine::say(const QString& text)
{
    m_note = PrintableText::shown(text);
    m_text->setToolTip(m_note);
    m_text->setAccessibleName(m_note);
    show();
    fit();
}

bool NoteLine::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::Resize)
        fit();
    return QStatusBar::eventFilter(watched, event);
}

void NoteLine::fit()
{
    m_text->setText(m_text->fontMetrics().elidedText(m_note, Qt::ElideMiddle, m_text->width()));
}
