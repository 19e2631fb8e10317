#include "TroubleWindow.h"

#include "ProjectContact.h"
#include "ui/Artwork.h"
#include "ui/Fonts.h"

TroubleWindow::TroubleWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("Form4"),
        tr("Trouble Shooting Guide for Hueloom 2.0"),
        {499, 189},
        Artwork::troubleIcon(),
        parent)
{
    const QFont normal = Fonts::sansSerif(8.25);
    addLabel(QStringLiteral("Label1"), {8, 8, 281, 33}, tr("Trouble Shooting"), Fonts::sansSerif(13.5));
    addLabel(QStringLiteral("Label2"), {8, 48, 457, 17},
        tr("The File I/O will not load my previously saved color scheme."), normal);
    addLabel(QStringLiteral("Label3"), {32, 72, 441, 49},
        tr("Send me an email and attach the file that won't load to the email.  Describe the conditions in "
           "which you were working when you saved the file.  I will get back to you on the problem"),
        normal);
    addLabel(QStringLiteral("Label4"), {8, 136, 473, 41},
        tr("Other troubleshooting questions are welcome at %1.  The Hueloom project will try to correct "
           "each problem, and otherwise add it to this guide.")
            .arg(QLatin1String(ProjectContact::EMail)),
        normal);
    addOkButton({368, 16, 65, 25});
}
