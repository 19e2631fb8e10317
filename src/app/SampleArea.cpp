#include "SampleArea.h"

#include "SampleTitle.h"
#include "colour/ColourScheme.h"
#include "colour/Contrast.h"
#include "document/SchemeDocument.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"

#include <QLabel>
#include <QPainter>

namespace {

template <typename Label = QLabel>
Label* sampleLine(QWidget* parent, const QString& name, const QString& text, int y, int height, qreal points)
{
    auto* label = Controls::place(new Label(parent), name, QRect(8, y, 641, height));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(Fonts::sansSerif(points));
    label->setAutoFillBackground(true);
    return label;
}

void setRole(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

} // namespace

SampleArea::SampleArea(QWidget* parent)
    : QGroupBox(parent)
    , m_title(sampleLine<SampleTitle>(this, QStringLiteral("Title"), QStringLiteral("Hueloom"), 16, 49, 13.5))
    , m_normal(sampleLine(this, QStringLiteral("Normal"), tr("Normal text will appear like this"), 72, 17, 9.75))
    , m_newLink(sampleLine(this, QStringLiteral("newlink"), tr("New link text will appear like this"), 88, 17, 9.75))
    , m_visitedLink(
          sampleLine(this, QStringLiteral("visitedlink"), tr("Visited links will be this color"), 104, 17, 9.75))
    , m_activeLink(sampleLine(
          this, QStringLiteral("activelink"), tr("Links will flash this color briefly when clicked"), 120, 17, 9.75))
{
    setObjectName(QStringLiteral("background"));
    setAutoFillBackground(true);
    setAccessibleName(tr("Sample page"));
}

void SampleArea::paintEvent(QPaintEvent* /*event*/)
{
    QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
}

QLabel* SampleArea::line(int slot) const
{
    switch (slot) {
    case Slot::NewLink:
        return m_newLink;
    case Slot::VisitedLink:
        return m_visitedLink;
    case Slot::ActiveLink:
        return m_activeLink;
    default:
        return m_normal;
    }
}

void SampleArea::recolour(int slot, const QColor& colour)
{
    switch (slot) {
    case Slot::Background:
        // The lines never set a background of their own, so they fill with the one they inherit.
        setRole(this, QPalette::Window, colour);
        break;
    case Slot::Text:
        setRole(m_title, QPalette::WindowText, colour);
        setRole(m_normal, QPalette::WindowText, colour);
        break;
    default:
        setRole(line(slot), QPalette::WindowText, colour);
        break;
    }
}

void SampleArea::follow(const SchemeDocument& document)
{
    m_document = &document;
    connect(&document, &SchemeDocument::schemeChanged, this, &SampleArea::show);
    show(SchemeDocument::SeveralSlots);
}

void SampleArea::setSimulation(ColourVision::Deficiency deficiency)
{
    m_simulation = deficiency;
    show(SchemeDocument::SeveralSlots);
}

void SampleArea::show(int slot)
{
    if (!m_document)
        return;
    const ColourScheme& scheme = m_document->scheme();
    if (slot == SchemeDocument::SeveralSlots) {
        for (int each = 0; each < Slot::Count; ++each)
            recolour(each, ColourVision::simulate(m_simulation, scheme.colour(each)));
    } else {
        recolour(slot, ColourVision::simulate(m_simulation, scheme.colour(slot)));
    }
    refreshContrastHints();
}

void SampleArea::refreshContrastHints()
{
    const ColourScheme& scheme = m_document->scheme();
    const QColor page = scheme.colour(Slot::Background);
    for (int slot = Slot::Text; slot < Slot::Count; ++slot) {
        const double ratio = Contrast::ratio(scheme.colour(slot), page);
        const QString hint = tr("Contrast against the background: %1:1, reaches %2")
                                 .arg(Contrast::ratioText(ratio), Contrast::levelReached(ratio));
        line(slot)->setToolTip(hint);
        if (slot == Slot::Text)
            m_title->setToolTip(hint);
    }
}
