#include "Look.h"

#include "Fonts.h"

#include <QMenu>
#include <QPalette>
#include <QWidget>

namespace Look {

namespace {

struct RoleColours {
    QPalette::ColorRole role;
    QRgb normal; // active and inactive
    QRgb disabled;
};

// Fusion's light colours, with the classic grey window behind them.
constexpr RoleColours Colours[] = {
    {QPalette::Window, 0xFFC0C0C0, 0xFFC0C0C0},
    {QPalette::WindowText, 0xFF000000, 0xFFBEBEBE},
    {QPalette::Base, 0xFFFFFFFF, 0xFFEFEFEF},
    {QPalette::AlternateBase, 0xFFF7F7F7, 0xFFF7F7F7},
    {QPalette::Text, 0xFF000000, 0xFFBEBEBE},
    {QPalette::PlaceholderText, 0x80000000, 0x80000000},
    {QPalette::Button, 0xFFEFEFEF, 0xFFEFEFEF},
    {QPalette::ButtonText, 0xFF000000, 0xFFBEBEBE},
    {QPalette::BrightText, 0xFFFFFFFF, 0xFFFFFFFF},
    {QPalette::Light, 0xFFFFFFFF, 0xFFFFFFFF},
    {QPalette::Midlight, 0xFFCACACA, 0xFFCACACA},
    {QPalette::Mid, 0xFFB8B8B8, 0xFFB8B8B8},
    {QPalette::Dark, 0xFF9F9F9F, 0xFFBEBEBE},
    {QPalette::Shadow, 0xFF767676, 0xFFB1B1B1},
    {QPalette::Highlight, 0xFF308CC6, 0xFF919191},
    {QPalette::HighlightedText, 0xFFFFFFFF, 0xFFFFFFFF},
    {QPalette::Link, 0xFF0000FF, 0xFF0000FF},
    {QPalette::LinkVisited, 0xFFFF00FF, 0xFFFF00FF},
    {QPalette::ToolTipBase, 0xFFFFFFDC, 0xFFFFFFDC},
    {QPalette::ToolTipText, 0xFF000000, 0xFF000000},
    {QPalette::NoRole, 0xFF000000, 0xFF000000},
};

} // namespace

QPalette palette()
{
    QPalette palette;
    for (const RoleColours& colours : Colours) {
        const QColor normal = QColor::fromRgba(colours.normal);
        palette.setColor(QPalette::Active, colours.role, normal);
        palette.setColor(QPalette::Inactive, colours.role, normal);
        palette.setColor(QPalette::Disabled, colours.role, QColor::fromRgba(colours.disabled));
    }
    return palette;
}

void apply(QWidget* window)
{
    const QPalette colours = palette();
    const QFont font = Fonts::sansSerif(8.25);
    window->setPalette(colours);
    window->setFont(font);
    // Pop-up menus are windows of their own and inherit nothing from the window they belong to.
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        menu->setPalette(colours);
        menu->setFont(font);
    }
}

} // namespace Look
