#pragma once

#include "colour/ColorScheme.h"
#include "scheme/Margins.h"
#include "web/TagReader.h"

#include <QString>
#include <QStringView>
#include <array>
#include <stop_token>

// The whole scheme in the shapes web authors keep colours in, and the reader that takes those shapes
// back. Each slot has one name in all of them: page-background, page-text, link, link-visited and
// link-active.
namespace SchemeFormats {

enum class Shape {
    CssRules, // the four rules of CssText
    CustomProperties, // :root { --page-background: #FFFFFF; … } and the rules that use them
    Tailwind, // @theme { --color-page-background: oklch(…); … } for Tailwind CSS v4
    Tokens, // design tokens as JSON, one colour token per slot
};
inline constexpr std::array<Shape, 4> shapes{Shape::CssRules, Shape::CustomProperties, Shape::Tailwind, Shape::Tokens};

// The name of a slot in every shape ("page-background").
QString slotName(int slot);

QString write(Shape shape, const ColorScheme& scheme, const Margins& margins);

// `found` with every slot colour that `text` gives in one of these shapes put over it: colour tokens
// in JSON, or custom properties named after the slots (with or without Tailwind's color- prefix).
TagReader::Found readOver(TagReader::Found found, QStringView text, const std::stop_token& stop = {});

// A text read as Apply Tag reads the tag box: the tag reader's reading, with these shapes put over it.
// It touches nothing else, so it may run on any thread; `stop` ends it early, with nothing found.
TagReader::Reading readTagText(QStringView text, const std::stop_token& stop = {});
TagReader::Reading readTagText(QStringView text, const TagReader::Options& options);

} // namespace SchemeFormats
