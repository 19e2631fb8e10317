#pragma once

#include "colour/Rgb.h"
#include "css/CssParser.h"
#include "web/CustomProperties.h"

#include <QHash>
#include <QLatin1String>
#include <QList>
#include <QStringList>
#include <QStringView>
#include <optional>

// What an element shows, as the cascade computes it: for each property this program reads, the
// computed value, from the winning declaration's value (var() already resolved) and the parent's style.
//
// Each property is one entry of properties(): whether it inherits, how its initial value and its
// inherited value are set, how a declared value computes and which values a declaration may hold.
// Reading another property is adding its field and its entry.
struct ComputedStyle {
    Argb colour = argb(0, 0, 0);
    Argb background = argb(0, 0, 0, 0);
    double opacity = 1; // the element's opacity, which its whole painting is blended with
    double brightness = 1; // what filter: brightness() multiplies its whole painting by
    QStringList scheme; // the computed color-scheme; empty for normal
    bool dark = false; // the element's used colour scheme
    QStringList unusable; // values set that could not be read, such as "color: AccentColor"
    CustomValues customs; // the custom properties, var() resolved
    std::optional<CssValues> backgroundImage; // a single linear-gradient(), var() resolved
    // The margins the page's own declarations give, var() resolved; nothing where it gives none.
    std::optional<CssValues> marginLeft;
    std::optional<CssValues> marginTop;

    // What the judgement of every text reads besides the colours: sizes, whether the box is shown, and
    // what could put something other than its ancestors' backgrounds behind its text.
    enum class Display : quint8 { Inline, Block, None, Contents };
    enum class Position : quint8 { Static, Relative, Absolute, Fixed, Sticky };
    struct Box {
        double fontSize = 16; // in CSS pixels
        double rootFontSize = 16; // the root's, which rem is taken from
        int fontWeight = 400;
        Display display = Display::Inline;
        Position position = Position::Static;
        bool invisible = false; // visibility: hidden or collapse
        bool underlined = false; // text-decoration-line: underline
        bool bottomBorder = false; // a border-bottom that shows
        bool transformed = false;
        bool textShadow = false;
        bool picture = false; // a background-image: a gradient, or a picture whose colours are not known
        bool blendMode = false; // mix-blend-mode other than normal
        bool otherFilter = false; // a filter other than brightness() and opacity()
        bool clipped = false; // clip or clip-path that leaves nothing of it
        bool overflowHidden = false;
        bool offscreen = false; // moved far off the page: left or top of -999px or less
        bool indentedAway = false; // text-indent of -999px or less, which puts its text off the page
        bool negativeTop = false; // margin-top below 0, which may pull it over the box before
        std::optional<double> width; // in px, when set in px
        std::optional<double> height;
    };
    Box box;
    // Where the computed color and background-color came from: Cascade::Source.
    int colourFrom = -1;
    int backgroundFrom = -1;
    int colourLine = 0; // of the declarations in their text
    int backgroundLine = 0;

    // What computing an element's style reads besides its declarations.
    struct Context {
        const ComputedStyle* parent = nullptr; // none at the root
        bool preferDark = false; // the colour scheme the page is read in
        QStringView metaScheme; // the page's <meta name="color-scheme">
    };

    struct Property {
        QLatin1String name;
        bool inherited = false;
        bool bodyOnly = false; // read for the body alone: the program uses no other element's
        // Sets the initial value; for an inherited property at the root only.
        void (*initial)(ComputedStyle& style, const Context& context) = nullptr;
        // Takes the parent's value: for an inherited property, where the element has a parent.
        void (*inherit)(ComputedStyle& style, const ComputedStyle& parent) = nullptr;
        // Computes the winning declaration's value, var() resolved: an empty list when var() made it invalid.
        void (*compute)(ComputedStyle& style, const CssValues& value, const Context& context) = nullptr;
        // Works out what follows from the computed value for the properties after it, declared or not.
        void (*settle)(ComputedStyle& style, const Context& context) = nullptr;
        // Whether a declaration may hold the value (var() and the CSS-wide keywords aside): a browser
        // drops one that may not.
        bool (*valid)(const CssValues& value) = nullptr;
        QString key = {}; // the name, for looking declarations up by it
    };

    // In the order they compute: one may depend on those before it (currentcolor on color, color on
    // color-scheme).
    static const QList<Property>& properties();
    // The entries of what the judgement of every text reads, appended to the table.
    static void addBoxProperties(QList<Property>& table);
    static const Property* property(QStringView name);

    // The colour schemes the element names, else the page's <meta name="color-scheme">.
    static QStringList namedSchemes(const ComputedStyle& style, const Context& context);
    // A colour a browser takes for color or background-color, currentcolor aside.
    static bool isColour(const CssValues& values);
    // One side of a margin as a browser takes it: a length, a percentage, auto or a math function.
    static bool isMarginSide(const CssValue& value);
    // A length in CSS pixels, calc() of lengths included, em and rem taken at the browser's default
    // 16 px; nothing for a length or percentage that depends on the page, and for what is no length.
    static std::optional<double> pixels(const CssValue& value);
    // A margin side this program can tell apart: a length, a percentage, auto or a math function of
    // lengths. Stricter than isMarginSide, for what var() gave, which no parser has checked.
    static bool isMarginLength(const CssValue& value);
    // An opacity: a number or a percentage, calc() of one, clamped to 0..1.
    static std::optional<double> opacityOf(const CssValues& value);
};
