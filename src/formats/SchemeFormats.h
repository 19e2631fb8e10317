#pragma once

#include "colour/ColourScheme.h"
#include "formats/Margins.h"

#include <QString>
#include <array>

// The whole scheme in the shapes web authors keep colours in; the tag reader takes each of them back.
// Each slot has one name in all of them: page-background, page-text, link, link-visited and
// link-active (SlotNames).
namespace SchemeFormats {

enum class Shape {
    CssRules, // the four rules of CssText
    CustomProperties, // :root { --page-background: #FFFFFF; … } and the rules that use them
    Tailwind, // @theme { --color-page-background: oklch(…); … } for Tailwind CSS v4
    Tokens, // design tokens as JSON, one colour token per slot, its $value a colour object
    TokensHex, // the same with "#RRGGBB" strings for $value, which tools older than the colour objects read
};
inline constexpr std::array<Shape, 5> shapes{
    Shape::CssRules, Shape::CustomProperties, Shape::Tailwind, Shape::Tokens, Shape::TokensHex};

// The name of a slot in every shape ("page-background").
QString slotName(int slot);

QString write(Shape shape, const ColourScheme& scheme, const Margins& margins);

} // namespace SchemeFormats
