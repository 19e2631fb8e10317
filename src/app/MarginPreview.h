#pragma once

#include "formats/Margins.h"

#include <QPoint>

// Where the margin preview text sits in the main window: one pixel inside the drawn page corner
// (503, 159), then the margins.
namespace MarginPreview {

inline constexpr QPoint Origin{504, 160};

inline QPoint position(const Margins& margins)
{
    return Origin + QPoint(margins.left(), margins.top());
}

} // namespace MarginPreview
