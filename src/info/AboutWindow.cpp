#include "AboutWindow.h"

#include "ProjectContact.h"
#include "ui/Artwork.h"
#include "ui/Controls.h"
#include "ui/Fonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

AboutWindow::AboutWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("Form2"), tr("About Hueloom version 2.2"), {488, 281}, Artwork::aboutIcon(), parent)
{
    const QFont normal = Fonts::sansSerif(8.25);
    QLabel* picture = Controls::label(this, QStringLiteral("Image1"), QString(), {0, 0, 135, 216});
    picture->setPixmap(Artwork::aboutPicture(devicePixelRatioF()));

    QLabel* terms = addLabel(QStringLiteral("Label1"), {144, 8, 337, 97}, QString(), normal);
    addLabel(QStringLiteral("Label4"), {144, 112, 65, 17}, tr("Snail Mail:"), normal);
    QLabel* address = addLabel(QStringLiteral("Label2"), {208, 112, 121, 65}, QString(), normal);
    addLabel(QStringLiteral("Label5"), {144, 184, 345, 57},
        tr("E-mail: %1  Please write to this address with your wishes for future versions of Hueloom; it is "
           "not the place for technical-support questions.")
            .arg(QLatin1String(ProjectContact::EMail)),
        normal);
    QLabel* hint = addLabel(QStringLiteral("Label3"), {0, 248, 481, 25}, QString(), normal);
    hint->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    hint->setAutoFillBackground(true);
    QPalette cyan = hint->palette();
    cyan.setColor(QPalette::Window, QColor(0xC0, 0xFF, 0xFF));
    hint->setPalette(cyan);

    terms->setText(tr("Hueloom is free software from the Hueloom project.  You may use, copy and give it away "
                      "without charge under the terms of the MIT License that comes with it.  It is offered as it "
                      "is, without warranty of any kind."));
    // The lines are kept joined by a carriage return alone; a label breaks lines at line feeds.
    address->setText(QString::fromLatin1(ProjectContact::PostalAddress).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    hint->setText(tr("Just click anywhere in this window to return to the Hueloom Main Screen."));
    // No control here takes the focus, so the window itself does, to hear Escape and Return.
    setFocusPolicy(Qt::StrongFocus);
}

void AboutWindow::mousePressEvent(QMouseEvent* event)
{
    // Labels pass presses on to the window, so this sees clicks on the picture and every label too.
    event->accept();
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        dismiss();
}

void AboutWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        dismiss();
        return;
    }
    InfoWindow::keyPressEvent(event);
}
