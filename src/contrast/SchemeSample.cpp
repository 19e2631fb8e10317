#include "SchemeSample.h"

#include "ui/Fonts.h"

#include <QPainter>

SchemeSample::SchemeSample(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SchemeSample::setScheme(const ColourScheme& scheme)
{
    if (scheme == m_scheme)
        return;
    m_scheme = scheme;
    update();
}

void SchemeSample::setLinksUnderlined(bool underlined)
{
    if (underlined == m_linksUnderlined)
        return;
    m_linksUnderlined = underlined;
    update();
}

QSize SchemeSample::sizeHint() const
{
    return {250, 112};
}

void SchemeSample::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_scheme.colour(Slot::Background));
    struct Line {
        int slot;
        QString text;
        qreal points;
        int height;
    };
    const Line lines[] = {
        {Slot::Text, QStringLiteral("Hueloom"), 13.5, 32},
        {Slot::Text, tr("Normal text"), 9.75, 18},
        {Slot::NewLink, tr("New link"), 9.75, 18},
        {Slot::VisitedLink, tr("Visited link"), 9.75, 18},
        {Slot::ActiveLink, tr("Active link"), 9.75, 18},
    };
    int y = 4;
    for (const Line& line : lines) {
        QFont font = Fonts::sansSerif(line.points);
        font.setUnderline(m_linksUnderlined && line.slot != Slot::Text);
        painter.setFont(font);
        painter.setPen(m_scheme.colour(line.slot));
        painter.drawText(QRect(0, y, width(), line.height), Qt::AlignHCenter | Qt::AlignVCenter, line.text);
        y += line.height;
    }
}
