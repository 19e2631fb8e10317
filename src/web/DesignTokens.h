#pragma once

#include "colour/ColourScheme.h"

#include "colour/Rgb.h"
#include <QStringView>
#include <array>
#include <optional>

// Design tokens as JSON (the Design Tokens Community Group's format): the colour tokens named after
// the slots, found anywhere in the tree by their own key or by their group's path ({"page":
// {"background": …}} is page-background). A token's $value is a colour text, or an object with sRGB
// components or a hex text; tokens of another $type are passed over.
namespace DesignTokens {

using Colours = std::array<std::optional<Rgb>, Slot::Count>; // in Slot order

// Nothing when the text is no JSON object; a slot no token names stays empty.
std::optional<Colours> read(QStringView text);

} // namespace DesignTokens
