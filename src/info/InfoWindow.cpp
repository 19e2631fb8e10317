#include "InfoWindow.h"

#include "ui/Controls.h"
#include "ui/Look.h"
#include "ui/WindowPlacement.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// Qt names only QDialog a dialog; to a screen reader these windows are dialogs too, read by caption.
QAccessibleInterface* accessibleInfoWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("InfoWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Dialog);
    return nullptr;
}

} // namespace

InfoWindow::InfoWindow(
    const QString& name, const QString& caption, const QSize& clientSize, const QIcon& icon, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleInfoWindow);
        return true;
    }();
    Q_UNUSED(accessible);
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setWindowIcon(icon);
    Look::apply(this);
    setFixedSize(clientSize);
    setAutoFillBackground(true);
    WindowPlacement::centreOnScreen(this);
}

void InfoWindow::dismiss()
{
    close();
    emit dismissed();
}

QLabel* InfoWindow::addLabel(const QString& name, const QRect& geometry, const QString& text, const QFont& font)
{
    QLabel* label = Controls::label(this, name, text, geometry);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* InfoWindow::addOkButton(const QRect& geometry)
{
    m_ok = Controls::place(new QPushButton(tr("&OK"), this), QStringLiteral("Command1"), geometry);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &InfoWindow::dismiss);
    return m_ok;
}

void InfoWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_ok && (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        m_ok->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
