#pragma once

#include "css/CssParser.h"

#include <QStringView>
#include <optional>
#include <utility>

// Which declarations the cascade reads, and which of their values a browser takes, for the rules of
// style sheets and for style attributes alike: the properties of ComputedStyle, the custom ones, and
// the shorthands that set them (background, margin, all).
namespace DeclaredValues {

bool holdsVar(const CssValues& values);
bool isWideKeyword(const CssValues& values);
// The colour in a background shorthand, currentcolor included; nothing when the value is invalid.
std::optional<CssValues> backgroundColour(const CssValues& values);
// margin's top and left; nothing when the value is invalid.
std::optional<std::pair<CssValues, CssValues>> marginSides(const CssValues& values);
// `name` as a declaration gives it: lower case, except a custom property's.
bool isRead(QStringView name, Qt::CaseSensitivity sensitivity = Qt::CaseSensitive);
// Whether a style rule's {} block holds anything the cascade reads: a declaration of a property it
// reads, or a rule nested in it. A rule holding neither is passed over without reading its selectors.
bool holdsAnythingRead(const CssValues& inside);
// A value a browser takes for the property, var() aside: one that fails drops its declaration.
bool isValid(const QString& name, const CssValues& value);
// The value block[first, last) of a declaration of `name` as the cascade keeps it, told before it is
// copied out of its rule (it may be as long as the text): nothing when it holds more words than the
// property takes, and of a long background only what the cascade reads of it, its colour and its last
// image, in that order.
std::optional<CssValues> readValue(const QString& name, const CssValues& block, qsizetype first, qsizetype last);

} // namespace DeclaredValues
