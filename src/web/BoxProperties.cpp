#include "BoxProperties.h"

#include "ComputedStyle.h"
#include "CustomProperties.h"
#include "Shorthands.h"
#include "css/CssCalc.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace {

using Box = ComputedStyle::Box;
using Context = ComputedStyle::Context;
using Property = ComputedStyle::Property;

constexpr double DefaultSize = 16; // the browser's default font size, medium
constexpr double Width = 1280; // the window pages are read in, in CSS pixels
constexpr double Height = 800;

bool isKeyword(const CssValues& value, const char16_t* keyword)
{
    return value.size() == 1 && value[0].token.isIdent(keyword);
}

bool isWide(const CssValues& value)
{
    return CustomProperties::isWideKeyword(value);
}

QString identOf(const CssValues& value)
{
    return value.size() == 1 && value[0].token.is(CssToken::Ident) ? value[0].token.text.toLower() : QString();
}

// The font-size keywords, as the browser sizes them at its default 16 px.
std::optional<double> sizeKeyword(const QString& name)
{
    static const std::pair<const char*, double> sizes[] = {{"xx-small", 9}, {"x-small", 10}, {"small", 13},
        {"medium", 16}, {"large", 18}, {"x-large", 24}, {"xx-large", 32}, {"xxx-large", 48}};
    for (const auto& [keyword, size] : sizes) {
        if (name == QLatin1String(keyword))
            return size;
    }
    return std::nullopt;
}

CssCalc::Units unitsFor(double em, double rem)
{
    // ex and ch as the default serif font gives them, in proportion to the font size.
    return CssCalc::Units{em, rem, em * 0.5, em * 0.5, Width / 100, Height / 100, {}};
}

// A length in px, relative units taken from the font sizes given; percentages of `percent` when set.
std::optional<double> lengthOf(const CssValues& value, double em, double rem, std::optional<double> percent = {})
{
    const CssValues trimmed = CssParser::trimmed(value);
    if (trimmed.size() != 1)
        return std::nullopt;
    const CssToken& token = trimmed[0].token;
    if (token.is(CssToken::Number) && token.number == 0)
        return 0.0;
    CssCalc::Units units = unitsFor(em, rem);
    units.percent = percent;
    std::optional<CssCalc::Quantity> quantity;
    if (token.is(CssToken::Dimension) || token.is(CssToken::Percentage))
        quantity = CssCalc::evaluate(trimmed, units);
    else if (trimmed[0].isFunction(u"calc"))
        quantity = CssCalc::evaluate(trimmed[0].inside.values(), units);
    else if (token.is(CssToken::Function))
        quantity = CssCalc::evaluate(trimmed, units);
    if (!quantity || quantity->kind != CssCalc::Quantity::Length || std::isnan(quantity->value))
        return std::nullopt;
    return std::clamp(quantity->value, -1e7, 1e7);
}

std::optional<double> fontSizeOf(const CssValues& value, const ComputedStyle& style, const Context& context)
{
    const double parent = context.parent ? context.parent->box.fontSize : DefaultSize;
    const double rem = context.parent ? context.parent->box.rootFontSize : DefaultSize;
    const QString keyword = identOf(value);
    if (!keyword.isEmpty()) {
        if (keyword == QLatin1String("smaller"))
            return parent / 1.2;
        if (keyword == QLatin1String("larger"))
            return parent * 1.2;
        return sizeKeyword(keyword);
    }
    Q_UNUSED(style);
    // em and % of the parent's size; rem of the root's, which at the root is the initial one.
    const std::optional<double> size = lengthOf(value, parent, context.parent ? rem : DefaultSize, parent);
    if (!size || *size < 0)
        return std::nullopt;
    return *size;
}

void computeFontSize(ComputedStyle& style, const CssValues& value, const Context& context)
{
    if (isKeyword(value, u"initial"))
        style.box.fontSize = DefaultSize;
    else if (!value.isEmpty() && !isWide(value)) {
        if (const std::optional<double> size = fontSizeOf(value, style, context))
            style.box.fontSize = *size;
    }
}

void settleFontSize(ComputedStyle& style, const Context& context)
{
    style.box.rootFontSize = context.parent ? context.parent->box.rootFontSize : style.box.fontSize;
}

bool validFontSize(const CssValues& value)
{
    const QString keyword = identOf(value);
    if (!keyword.isEmpty())
        return keyword == QLatin1String("smaller") || keyword == QLatin1String("larger") || sizeKeyword(keyword);
    const CssValues trimmed = CssParser::trimmed(value);
    return trimmed.size() == 1
        && (trimmed[0].token.is(CssToken::Dimension) || trimmed[0].token.is(CssToken::Percentage)
            || trimmed[0].token.is(CssToken::Function)
            || (trimmed[0].token.is(CssToken::Number) && trimmed[0].token.number == 0));
}

std::optional<int> weightOf(const CssValues& value, int parent)
{
    const QString keyword = identOf(value);
    if (keyword == QLatin1String("normal"))
        return 400;
    if (keyword == QLatin1String("bold"))
        return 700;
    if (keyword == QLatin1String("bolder"))
        return parent < 350 ? 400 : (parent < 550 ? 700 : 900);
    if (keyword == QLatin1String("lighter"))
        return parent < 550 ? 100 : (parent < 750 ? 400 : 700);
    const CssValues trimmed = CssParser::trimmed(value);
    if (trimmed.size() == 1 && (trimmed[0].token.is(CssToken::Number) || trimmed[0].isFunction(u"calc"))) {
        const std::optional<CssCalc::Quantity> number
            = CssCalc::evaluate(trimmed[0].token.is(CssToken::Number) ? trimmed : trimmed[0].inside.values());
        if (number && number->kind == CssCalc::Quantity::Number && number->value >= 1 && number->value <= 1000)
            return int(std::lround(number->value));
    }
    return std::nullopt;
}

void computeFontWeight(ComputedStyle& style, const CssValues& value, const Context& context)
{
    if (isKeyword(value, u"initial"))
        style.box.fontWeight = 400;
    else if (!value.isEmpty() && !isWide(value)) {
        if (const std::optional<int> weight = weightOf(value, context.parent ? context.parent->box.fontWeight : 400))
            style.box.fontWeight = *weight;
    }
}

bool validFontWeight(const CssValues& value)
{
    return weightOf(value, 400).has_value();
}

void computeDisplay(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (value.isEmpty() || isWide(value))
        return;
    const QList<CssValues> words = Shorthands::words(value, 3);
    QStringList names;
    for (const CssValues& word : words)
        names << identOf(word);
    if (names.contains(QLatin1String("none")))
        style.box.display = ComputedStyle::Display::None;
    else if (names.contains(QLatin1String("contents")))
        style.box.display = ComputedStyle::Display::Contents;
    else if (names.size() == 1
        && (names[0] == QLatin1String("inline") || names[0] == QLatin1String("ruby")
            || names[0].startsWith(QLatin1String("inline-"))))
        style.box.display = ComputedStyle::Display::Inline;
    else
        style.box.display = ComputedStyle::Display::Block;
}

bool validIdents(const CssValues& value)
{
    return std::all_of(value.begin(), value.end(),
        [](const CssValue& v) { return v.token.is(CssToken::Ident) || v.token.is(CssToken::Whitespace); });
}

bool validAny(const CssValues&)
{
    return true;
}

void computeVisibility(ComputedStyle& style, const CssValues& value, const Context&)
{
    const QString keyword = identOf(value);
    if (keyword == QLatin1String("initial"))
        style.box.invisible = false;
    else if (keyword == QLatin1String("hidden") || keyword == QLatin1String("collapse"))
        style.box.invisible = true;
    else if (keyword == QLatin1String("visible"))
        style.box.invisible = false;
}

bool validVisibility(const CssValues& value)
{
    const QString keyword = identOf(value);
    return keyword == QLatin1String("hidden") || keyword == QLatin1String("collapse")
        || keyword == QLatin1String("visible");
}

void computeDecoration(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (isWide(value))
        return;
    style.box.underlined = std::any_of(value.begin(), value.end(), [](const CssValue& v) {
        return v.token.isIdent(u"underline") || v.token.isIdent(u"spelling-error") || v.token.isIdent(u"grammar-error");
    });
}

void computeBorderStyle(ComputedStyle& style, const CssValues& value, const Context&)
{
    const QString keyword = identOf(value);
    // The width is computed after the style: a border whose style is none or hidden has none.
    style.box.bottomBorder = !keyword.isEmpty() && keyword != QLatin1String("none")
        && keyword != QLatin1String("hidden") && keyword != QLatin1String("initial") && !isWide(value);
}

void computeBorderWidth(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (value.isEmpty() || isWide(value) || !style.box.bottomBorder)
        return;
    const QString keyword = identOf(value);
    if (keyword == QLatin1String("thin") || keyword == QLatin1String("medium") || keyword == QLatin1String("thick"))
        return;
    const std::optional<double> width = lengthOf(value, style.box.fontSize, style.box.rootFontSize);
    style.box.bottomBorder = width && *width > 0;
}

void computePosition(ComputedStyle& style, const CssValues& value, const Context&)
{
    using Position = ComputedStyle::Position;
    const QString keyword = identOf(value);
    if (keyword == QLatin1String("static") || keyword == QLatin1String("initial"))
        style.box.position = Position::Static;
    else if (keyword == QLatin1String("relative"))
        style.box.position = Position::Relative;
    else if (keyword == QLatin1String("absolute"))
        style.box.position = Position::Absolute;
    else if (keyword == QLatin1String("fixed"))
        style.box.position = Position::Fixed;
    else if (keyword == QLatin1String("sticky") || keyword == QLatin1String("-webkit-sticky"))
        style.box.position = Position::Sticky;
}

// A value other than none (and normal), for what only matters when it is set at all.
bool isSet(const CssValues& value)
{
    const QString keyword = identOf(value);
    return !value.isEmpty() && !isWide(value) && keyword != QLatin1String("none") && keyword != QLatin1String("normal");
}

void computeTransform(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.box.transformed = isSet(value);
}

void computeShadow(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (isKeyword(value, u"initial") || isKeyword(value, u"none"))
        style.box.textShadow = false;
    else if (!value.isEmpty() && !isWide(value))
        style.box.textShadow = true;
}

void computeBlend(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.box.blendMode = isSet(value);
}

void computeClip(ComputedStyle& style, const CssValues& value, const Context&)
{
    // clip: rect() of no area, as the visually hidden utilities write it.
    if (value.size() != 1 || !value[0].isFunction(u"rect"))
        return;
    QList<double> sides;
    for (const CssValue& part : value[0].inside.values()) {
        if (part.token.is(CssToken::Comma) || part.token.is(CssToken::Whitespace))
            continue;
        const std::optional<double> length = lengthOf(CssValues{part}, style.box.fontSize, style.box.rootFontSize);
        sides << (length ? *length : (part.token.isIdent(u"auto") ? 1e9 : 0));
    }
    if (sides.size() == 4 && (sides[2] - sides[0] <= 1 || sides[1] - sides[3] <= 1))
        style.box.clipped = true;
}

void computeClipPath(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (value.size() != 1 || !value[0].token.is(CssToken::Function))
        return;
    const CssValues inside = CssParser::trimmed(value[0].inside.values());
    if (value[0].isFunction(u"inset") && !inside.isEmpty() && inside[0].token.is(CssToken::Percentage)
        && inside[0].token.number >= 50)
        style.box.clipped = true;
    if ((value[0].isFunction(u"circle") || value[0].isFunction(u"ellipse")) && !inside.isEmpty()
        && ((inside[0].token.is(CssToken::Number) || inside[0].token.is(CssToken::Dimension)
                || inside[0].token.is(CssToken::Percentage))
            && inside[0].token.number == 0))
        style.box.clipped = true;
}

void computeOverflow(ComputedStyle& style, const CssValues& value, const Context&)
{
    style.box.overflowHidden = std::any_of(value.begin(), value.end(),
        [](const CssValue& v) { return v.token.isIdent(u"hidden") || v.token.isIdent(u"clip"); });
}

void computeSize(std::optional<double>& into, const ComputedStyle& style, const CssValues& value)
{
    into
        = value.isEmpty() || isWide(value) ? std::nullopt : lengthOf(value, style.box.fontSize, style.box.rootFontSize);
}

// left, top and text-indent far below 0 put the text off the page, as the hiding utilities do.
void computeOffset(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (const std::optional<double> offset = lengthOf(value, style.box.fontSize, style.box.rootFontSize, Width))
        style.box.offscreen = style.box.offscreen || *offset <= -999;
}

void computeMarginTop(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (const std::optional<double> margin = lengthOf(value, style.box.fontSize, style.box.rootFontSize, Width))
        style.box.negativeTop = *margin < 0;
}

void computeFilter(ComputedStyle& style, const CssValues& value, const Context&)
{
    if (isWide(value))
        return;
    for (const CssValue& item : value) {
        if (item.token.is(CssToken::Whitespace) || item.isFunction(u"brightness") || item.isFunction(u"opacity")
            || item.token.isIdent(u"none"))
            continue;
        style.box.otherFilter = true;
    }
}

Property entry(const char* name, bool inherited, decltype(Property::compute) compute, decltype(Property::valid) valid)
{
    Property property{QLatin1String(name), inherited};
    property.compute = compute;
    property.valid = valid;
    return property;
}

// The shorthand's words, or nothing when one of them is a function this program cannot tell apart.
QList<CssValues> wordsOf(const CssValues& value)
{
    return Shorthands::words(value, 64);
}

} // namespace

void ComputedStyle::addBoxProperties(QList<Property>& table)
{
    // font-size first: lengths in em are of it.
    Property size = entry("font-size", true, computeFontSize, validFontSize);
    size.initial = [](ComputedStyle& style, const Context&) { style.box.fontSize = DefaultSize; };
    size.inherit = [](ComputedStyle& style, const ComputedStyle& parent) {
        style.box.fontSize = parent.box.fontSize;
        style.box.rootFontSize = parent.box.rootFontSize;
    };
    size.settle = settleFontSize;
    table << size;

    Property weight = entry("font-weight", true, computeFontWeight, validFontWeight);
    weight.initial = [](ComputedStyle& style, const Context&) { style.box.fontWeight = 400; };
    weight.inherit
        = [](ComputedStyle& style, const ComputedStyle& parent) { style.box.fontWeight = parent.box.fontWeight; };
    table << weight;

    Property visibility = entry("visibility", true, computeVisibility, validVisibility);
    visibility.initial = [](ComputedStyle& style, const Context&) { style.box.invisible = false; };
    visibility.inherit
        = [](ComputedStyle& style, const ComputedStyle& parent) { style.box.invisible = parent.box.invisible; };
    table << visibility;

    Property shadow = entry("text-shadow", true, computeShadow, validAny);
    shadow.initial = [](ComputedStyle& style, const Context&) { style.box.textShadow = false; };
    shadow.inherit
        = [](ComputedStyle& style, const ComputedStyle& parent) { style.box.textShadow = parent.box.textShadow; };
    table << shadow;

    table << entry("display", false, computeDisplay, validIdents);
    table << entry("text-decoration-line", false, computeDecoration, validIdents);
    table << entry("border-bottom-style", false, computeBorderStyle, validIdents);
    table << entry("border-bottom-width", false, computeBorderWidth, validAny);
    table << entry("position", false, computePosition, validIdents);
    table << entry("transform", false, computeTransform, validAny);
    table << entry("mix-blend-mode", false, computeBlend, validIdents);
    table << entry("clip", false, computeClip, validAny);
    table << entry("clip-path", false, computeClipPath, validAny);
    table << entry("overflow", false, computeOverflow, validIdents);
    table << entry(
        "width", false,
        [](ComputedStyle& style, const CssValues& value, const Context&) {
            computeSize(style.box.width, style, value);
        },
        validAny);
    table << entry(
        "height", false,
        [](ComputedStyle& style, const CssValues& value, const Context&) {
            computeSize(style.box.height, style, value);
        },
        validAny);
    table << entry("left", false, computeOffset, validAny);
    table << entry("top", false, computeOffset, validAny);
    table << entry(
        "text-indent", false,
        [](ComputedStyle& style, const CssValues& value, const Context&) {
            const std::optional<double> indent = lengthOf(value, style.box.fontSize, style.box.rootFontSize, Width);
            style.box.indentedAway = indent && *indent <= -999;
        },
        validAny);
    // margin-top is the body's margin too: the judgement reads it under its own name.
    table << entry("-hueloom-margin-top", false, computeMarginTop, validAny);
    // filter is read once for its brightness(); the judgement's entry reads what else it holds.
    table << entry("-hueloom-filter", false, computeFilter, validAny);
}

namespace BoxProperties {

const QStringList& longhandsOf(QStringView shorthand)
{
    static const QList<std::pair<QString, QStringList>> shorthands{
        {QStringLiteral("font"), {QStringLiteral("font-size"), QStringLiteral("font-weight")}},
        {QStringLiteral("text-decoration"), {QStringLiteral("text-decoration-line")}},
        {QStringLiteral("border"), {QStringLiteral("border-bottom-style"), QStringLiteral("border-bottom-width")}},
        {QStringLiteral("border-bottom"),
            {QStringLiteral("border-bottom-style"), QStringLiteral("border-bottom-width")}},
        {QStringLiteral("overflow-x"), {QStringLiteral("overflow")}},
        {QStringLiteral("overflow-y"), {QStringLiteral("overflow")}},
        {QStringLiteral("margin-top"), {QStringLiteral("-hueloom-margin-top")}},
        {QStringLiteral("filter"), {QStringLiteral("-hueloom-filter")}},
    };
    static const QStringList none;
    // Every shorthand starts with one of these letters: most names are passed over at once.
    if (shorthand.isEmpty() || !QStringView(u"fbtom").contains(shorthand[0].toLower()))
        return none;
    for (const auto& [name, longhands] : shorthands) {
        if (shorthand.compare(name, Qt::CaseInsensitive) == 0)
            return longhands;
    }
    return none;
}

std::optional<QList<std::pair<QString, CssValues>>> longhands(QStringView shorthand, const CssValues& value)
{
    using Result = QList<std::pair<QString, CssValues>>;
    const QList<CssValues> words = wordsOf(value);
    if (shorthand == u"font") {
        // [style || variant || weight || stretch]? size [/ line-height]? family
        CssValues weight = CssParser::values(u"normal");
        for (qsizetype i = 0; i < words.size(); ++i) {
            const CssValues& word = words[i];
            const QString name = identOf(word);
            const CssToken& token = word[0].token;
            const bool size = token.is(CssToken::Dimension) || token.is(CssToken::Percentage)
                || (token.is(CssToken::Function) && !word[0].isFunction(u"var")) || sizeKeyword(name)
                || name == QLatin1String("larger") || name == QLatin1String("smaller");
            if (size) {
                if (i + 1 >= words.size() || !validFontSize(word))
                    return std::nullopt; // a family must follow
                return Result{{QStringLiteral("font-size"), word}, {QStringLiteral("font-weight"), weight}};
            }
            if (validFontWeight(word) && name != QLatin1String("normal"))
                weight = word;
        }
        return std::nullopt; // a system font, or no size: not read
    }
    if (shorthand == u"text-decoration") {
        CssValues line;
        for (const CssValues& word : words) {
            if (word[0].token.isIdent(u"underline") || word[0].token.isIdent(u"overline")
                || word[0].token.isIdent(u"line-through")) {
                line += word;
                line += CssParser::values(u" ");
            }
        }
        return Result{{QStringLiteral("text-decoration-line"),
            line.isEmpty() ? CssParser::values(u"none") : CssParser::trimmed(line)}};
    }
    if (shorthand == u"border" || shorthand == u"border-bottom") {
        static const QStringList styles{QStringLiteral("none"), QStringLiteral("hidden"), QStringLiteral("dotted"),
            QStringLiteral("dashed"), QStringLiteral("solid"), QStringLiteral("double"), QStringLiteral("groove"),
            QStringLiteral("ridge"), QStringLiteral("inset"), QStringLiteral("outset")};
        CssValues style = CssParser::values(u"none");
        CssValues width = CssParser::values(u"medium");
        for (const CssValues& word : words) {
            const QString name = identOf(word);
            if (styles.contains(name))
                style = word;
            else if (name == QLatin1String("thin") || name == QLatin1String("medium") || name == QLatin1String("thick")
                || word[0].token.is(CssToken::Dimension)
                || (word[0].token.is(CssToken::Number) && word[0].token.number == 0) || word[0].isFunction(u"calc"))
                width = word;
        }
        return Result{{QStringLiteral("border-bottom-style"), style}, {QStringLiteral("border-bottom-width"), width}};
    }
    if (shorthand == u"overflow-x" || shorthand == u"overflow-y")
        return Result{{QStringLiteral("overflow"), value}};
    if (shorthand == u"margin-top")
        return Result{{QStringLiteral("-hueloom-margin-top"), value}};
    if (shorthand == u"filter")
        return Result{{QStringLiteral("-hueloom-filter"), value}};
    return std::nullopt;
}

namespace {

QList<CssDeclaration> declarations(const char* text)
{
    const CssValues values = CssParser::values(QString::fromLatin1(text));
    return CssParser::declarations(values, 0, values.size());
}

using Sheet = QHash<QString, QList<CssDeclaration>>;

constexpr const char* Button
    = "color: light-dark(#000000, #FFFFFF); background-color: light-dark(#EFEFEF, #6B6B6B); display: inline-block";

// By tag: the browser's rules for the elements of HTML.
Sheet makeSheet()
{
    Sheet sheet;
    const auto rule = [&sheet](const char* tags, const char* text) {
        const QList<CssDeclaration> read = declarations(text);
        for (const QString& tag : QString::fromLatin1(tags).split(u' '))
            sheet[tag] += read;
    };
    rule("html body address blockquote center dialog div figure figcaption footer form header hr legend listing "
         "main p plaintext pre search xmp article aside h1 h2 h3 h4 h5 h6 hgroup nav section dir dd dl dt menu ol "
         "ul li details summary fieldset table caption thead tbody tfoot tr td th colgroup col optgroup option "
         "frameset frame",
        "display: block");
    rule("head link meta script style title base template area datalist param rp noscript noembed noframes",
        "display: none");
    rule("h1", "font-size: 2em; font-weight: bold");
    rule("h2", "font-size: 1.5em; font-weight: bold");
    rule("h3", "font-size: 1.17em; font-weight: bold");
    rule("h4", "font-size: 1em; font-weight: bold");
    rule("h5", "font-size: .83em; font-weight: bold");
    rule("h6", "font-size: .67em; font-weight: bold");
    rule("small sub sup", "font-size: smaller");
    rule("big", "font-size: larger");
    rule("b strong", "font-weight: bolder");
    rule("th optgroup", "font-weight: bold");
    rule("u ins", "text-decoration-line: underline");
    rule("mark", "background-color: #FFFF00; color: #000000");
    // The system colours of form controls, in the light and the dark scheme, as the browser has them.
    rule("input textarea select",
        "color: light-dark(#000000, #FFFFFF); background-color: light-dark(#FFFFFF, #3B3B3B); display: inline-block");
    rule("button", Button);
    return sheet;
}

} // namespace

QVarLengthArray<const CssDeclaration*, 16> browserDeclarations(const PageTree& tree, int element, bool isLink)
{
    static const Sheet sheet = makeSheet();
    static const QList<CssDeclaration> none = declarations("display: none");
    static const QList<CssDeclaration> underline = declarations("text-decoration-line: underline");
    static const QList<CssDeclaration> button
        = declarations("color: buttontext; background-color: buttonface; display: inline-block");
    QVarLengthArray<const CssDeclaration*, 16> result;
    const auto add = [&result](const QList<CssDeclaration>& list) {
        for (const CssDeclaration& declaration : list)
            result.append(&declaration);
    };
    const PageTree::Element& e = tree.at(element);
    if (!e.html)
        return result;
    if (const auto found = sheet.constFind(e.tag); found != sheet.constEnd())
        add(*found);
    if (isLink)
        add(underline);
    if (e.tag == QLatin1String("input")) {
        const QString type = tree.attribute(element, u"type").value_or(QString()).toLower();
        if (type == QLatin1String("hidden"))
            add(none);
        else if (type == QLatin1String("button") || type == QLatin1String("submit") || type == QLatin1String("reset"))
            add(button);
    }
    if (e.tag == QLatin1String("dialog") && !tree.attribute(element, u"open"))
        add(none);
    // A closed details shows its first summary alone.
    if (e.parent >= 0 && tree.at(e.parent).tag == QLatin1String("details") && !tree.attribute(e.parent, u"open")) {
        int summary = tree.at(e.parent).firstChild;
        while (summary >= 0 && tree.at(summary).tag != QLatin1String("summary"))
            summary = tree.at(summary).next;
        if (summary != element)
            add(none);
    }
    if (const std::optional<QString> hidden = tree.attribute(element, u"hidden");
        hidden && hidden->compare(QLatin1String("until-found"), Qt::CaseInsensitive) != 0)
        add(none);
    return result;
}

} // namespace BoxProperties
