#pragma once

#include <QVarLengthArray>

#include "css/CssParser.h"
#include "html/PageTree.h"

#include <QList>
#include <QStringList>
#include <optional>
#include <utility>

// The shorthands that set what the judgement of every text reads: font (its size and weight),
// text-decoration (its line), and border and border-bottom (the bottom border's style and width).
namespace BoxProperties {

// The longhands the shorthand sets, whatever its value; empty for a name that is no such shorthand.
const QStringList& longhandsOf(QStringView shorthand);
// Each longhand's value in the shorthand's value, every longhand it sets included (reset to its
// initial value where the value does not name it); nothing for a value that is invalid.
std::optional<QList<std::pair<QString, CssValues>>> longhands(QStringView shorthand, const CssValues& value);

// What the browser's own style sheet gives the element of what the judgement reads: how it is shown,
// its font size and weight, a link's underline, and a form control's colours.
// Each lives as long as the program, so that what is worked out of one can be kept by its address.
QVarLengthArray<const CssDeclaration*, 16> browserDeclarations(const PageTree& tree, int element, bool isLink);

} // namespace BoxProperties
