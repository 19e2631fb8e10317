#pragma once

#include "colour/ColourScheme.h"

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// The one name each slot has in the shapes web authors keep colours in: custom properties
// (--page-text, or --color-page-text in a Tailwind theme) and design tokens.
namespace SlotNames {

inline QString name(int slot)
{
    static const std::array<const char*, Slot::Count> names{
        "page-background", "page-text", "link", "link-visited", "link-active"};
    return QString::fromLatin1(names[std::size_t(slot)]);
}

// The slot a name stands for, in any letter case; nothing for another name.
inline std::optional<int> slotOf(QStringView text)
{
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (text.compare(name(slot), Qt::CaseInsensitive) == 0)
            return slot;
    }
    return std::nullopt;
}

} // namespace SlotNames
