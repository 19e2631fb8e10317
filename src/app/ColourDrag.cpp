#include "ColourDrag.h"

#include "colour/ColourFormats.h"
#include "css/ColourText.h"
#include "document/SchemeDocument.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

constexpr char SlotProperty[] = "hueloomColourSlot";

} // namespace

ColourDrag::ColourDrag(SchemeDocument& document, QWidget* window, std::function<bool(QEvent*)> otherDrops)
    : QObject(window)
    , m_document(document)
    , m_otherDrops(std::move(otherDrops))
{
    const std::pair<const char*, int> parts[] = {{"cc(0)", Slot::Background}, {"cc(1)", Slot::Text},
        {"cc(2)", Slot::NewLink}, {"cc(3)", Slot::VisitedLink}, {"cc(4)", Slot::ActiveLink},
        {"background", Slot::Background}, {"Title", Slot::Text}, {"Normal", Slot::Text}, {"newlink", Slot::NewLink},
        {"visitedlink", Slot::VisitedLink}, {"activelink", Slot::ActiveLink}};
    for (const auto& [name, slot] : parts) {
        auto* part = window->findChild<QWidget*>(QLatin1String(name));
        Q_ASSERT(part);
        if (!part)
            continue;
        part->setProperty(SlotProperty, slot);
        part->setAcceptDrops(true);
        part->installEventFilter(this);
    }
}

QMimeData* ColourDrag::mimeData(const QColor& colour)
{
    auto* data = new QMimeData;
    data->setText(ColourFormats::write(colour, ColourFormats::Format::Hex));
    data->setColorData(colour);
    return data;
}

std::optional<QColor> ColourDrag::colourOf(const QMimeData* data)
{
    if (!data || data->hasUrls())
        return std::nullopt;
    if (data->hasColor()) {
        const QColor colour = qvariant_cast<QColor>(data->colorData());
        if (colour.isValid())
            return colour.toRgb();
    }
    if (data->hasText())
        return ColourText::parse(data->text());
    return std::nullopt;
}

bool ColourDrag::eventFilter(QObject* watched, QEvent* event)
{
    auto* part = static_cast<QWidget*>(watched);
    const int slot = part->property(SlotProperty).toInt();
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        // A press a sample line passes on reaches the page behind it too; the line keeps it.
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton && !m_source) {
            m_source = part;
            m_pressedAt = press->globalPosition().toPoint();
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        m_source = nullptr;
        break;
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (m_source != part || !(move->buttons() & Qt::LeftButton)
            || (move->globalPosition().toPoint() - m_pressedAt).manhattanLength() < QApplication::startDragDistance())
            break;
        m_source = nullptr;
        const QColor colour = m_document.scheme().colour(slot);
        auto* drag = new QDrag(part);
        drag->setMimeData(mimeData(colour));
        QPixmap swatch(24, 24);
        swatch.fill(colour);
        QPainter(&swatch).drawRect(swatch.rect().adjusted(0, 0, -1, -1));
        drag->setPixmap(swatch);
        emit dragStarting(drag->mimeData());
        drag->exec(Qt::CopyAction);
        // The press that began the drag never ends in a click: the option keeps its state.
        if (auto* down = qobject_cast<QAbstractButton*>(part))
            down->setDown(false);
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Anything but a colour is the window's, which opens a dropped scheme file from anywhere on it.
        if (!colourOf(drag->mimeData()))
            return m_otherDrops(event);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QColor> colour = colourOf(drop->mimeData());
        if (!colour)
            return m_otherDrops(event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        m_document.setColour(slot, *colour, tr("Drop Color"));
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
