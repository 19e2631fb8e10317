#pragma once

#include "colour/Rgb.h"
#include <QStringView>
#include <optional>

// A colour attribute of a tag (bgcolor, text, link, vlink, alink) read by the HTML Standard's rules
// for parsing a legacy colour value: any text but "transparent" and the empty string gives a colour,
// "chucknorris" included, exactly as every browser reads it.
namespace LegacyColour {

std::optional<Rgb> parse(QStringView value);

} // namespace LegacyColour
