#include "HelpWindow.h"

#include "ui/Artwork.h"
#include "ui/Fonts.h"

namespace {

enum class Role { Heading, ItemTitle, Description };

struct HelpLabel {
    QRect geometry;
    Role role;
    const char* text;
};

// The help text, one label a row, Label1 first. Double spaces are part of the text.
const HelpLabel Labels[] = {
    {{8, 8, 129, 17}, Role::Heading, "File Menu"},
    {{32, 32, 113, 17}, Role::ItemTitle, "Open Scheme"},
    {{64, 48, 633, 41}, Role::Description,
        "The Open Scheme menu option allows users to open previously saved Hueloom files.  These files have the "
        "extension HLM and they contain a valid set 15 of RGB values.  Three values for each of the BackGround Color, "
        "Text Color, New Link Color, Visited Link Color, and Active Link Color"},
    {{32, 96, 113, 17}, Role::ItemTitle, "Save Scheme"},
    {{64, 120, 649, 17}, Role::Description,
        "Creates a file and saves all the settings for your scheme in that one file.  This does not include the title "
        "change."},
    {{32, 144, 113, 17}, Role::ItemTitle, "Exit"},
    {{64, 160, 409, 17}, Role::Description, "We have all used windows enough to know what  this option does."},
    {{8, 192, 89, 17}, Role::Heading, "Edit Menu"},
    {{32, 216, 97, 17}, Role::ItemTitle, "Copy -- CTRL-C"},
    {{64, 232, 633, 33}, Role::Description,
        "The Copy feature will copy the portion of the Tag that is currently selected to the windows clipboard.  This "
        "feature may be accessed through its short-cut key CTRL-C."},
    {{32, 264, 137, 17}, Role::ItemTitle, "Copy Tag -- CTRL-T"},
    {{64, 280, 633, 33}, Role::Description,
        "The Copy Tag feature will copy the entire Tag to the windows clipboard.  This feature may be accessed through "
        "its shortcut key CTRL-T"},
    {{32, 312, 73, 17}, Role::ItemTitle, "Change Title"},
    {{64, 328, 633, 33}, Role::Description,
        "This feature allows you to change the title that appears in the sample.  The title can be Hueloom (default) "
        "or "
        "it can be anything you desire."},
    {{32, 360, 89, 17}, Role::ItemTitle, "Default Colors"},
    {{64, 376, 633, 33}, Role::Description,
        "This option allows you to change the color scheme back to the default colors.  The default colors are the "
        "colors that Hueloom started up with."},
    {{8, 416, 97, 17}, Role::Heading, "Tools Menu"},
    {{32, 440, 137, 17}, Role::ItemTitle, "Windows Color Dialog"},
    {{64, 456, 633, 33}, Role::Description,
        "This option allows you to go to the Color Dialog and create a color for a particular section directly from "
        "the "
        "Windows Color Dialog box.  Create Custom Colors is accessed this way."},
};

QFont fontFor(Role role)
{
    switch (role) {
    case Role::Heading:
        return Fonts::sansSerif(12);
    case Role::Description:
        return Fonts::sansSerif(8.25, false);
    case Role::ItemTitle:
        break;
    }
    return Fonts::sansSerif(8.25);
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("Form3"), tr("Help for Hueloom 2.0"), {711, 532}, Artwork::helpIcon(), parent)
{
    int number = 1;
    for (const HelpLabel& label : Labels)
        addLabel(QStringLiteral("Label%1").arg(number++), label.geometry, QString::fromLatin1(label.text),
            fontFor(label.role));
    addOkButton({336, 496, 65, 25});
}
