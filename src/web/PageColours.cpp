#include "PageColours.h"

#include "Cascade.h"
#include "PageJudge.h"
#include "Painting.h"
#include "SlotNames.h"
#include "css/ColourText.h"
#include "css/CssCalc.h"
#include "html/HtmlNesting.h"
#include "html/PageTree.h"

#include <QCoreApplication>
#include <cmath>

namespace {

using Painting::over;

constexpr qint64 MinimumSteps = 200000; // enough for any small text
constexpr double Width = 1280; // the window pages are read in, in CSS pixels
constexpr double Height = 800;

// The colour a linear-gradient() paints at a point of a `width` × `height` box; nothing for one that
// cannot be read. Stops are interpolated in premultiplied sRGB, as for colours of the sRGB space.
std::optional<Argb> gradientAt(const CssValues& gradient, double x, double y, double width, double height, bool dark)
{
    QList<CssValues> parts{{}};
    for (const CssValue& value : gradient.first().inside) {
        if (value.token.is(CssToken::Comma))
            parts.append(CssValues{});
        else
            parts.last().append(value);
    }
    double angle = 180; // to bottom
    const CssValues first = CssParser::trimmed(parts.first());
    if (!first.isEmpty() && first[0].token.is(CssToken::Dimension)) {
        const std::optional<CssCalc::Quantity> degrees = CssCalc::evaluate(first);
        if (!degrees || degrees->kind != CssCalc::Quantity::Angle)
            return std::nullopt;
        angle = degrees->value;
        parts.removeFirst();
    } else if (!first.isEmpty() && first[0].token.isIdent(u"to")) {
        double dx = 0, dy = 0;
        for (const CssValue& value : first) {
            dx += value.token.isIdent(u"right") ? 1 : (value.token.isIdent(u"left") ? -1 : 0);
            dy += value.token.isIdent(u"bottom") ? 1 : (value.token.isIdent(u"top") ? -1 : 0);
        }
        // A corner: the angle whose line is perpendicular to the diagonal between the other two.
        angle
            = dx != 0 && dy != 0 ? std::atan2(dx * height, -dy * width) * 180 / M_PI : std::atan2(dx, -dy) * 180 / M_PI;
        parts.removeFirst();
    }
    const double radians = angle * M_PI / 180;
    const double length = std::abs(width * std::sin(radians)) + std::abs(height * std::cos(radians));
    const double t = ((x - width / 2) * std::sin(radians) - (y - height / 2) * std::cos(radians)) / length + 0.5;
    QList<Argb> colours;
    QList<std::optional<double>> positions;
    for (const CssValues& part : std::as_const(parts)) {
        QList<CssValue> words;
        for (const CssValue& value : part) {
            if (!value.token.is(CssToken::Whitespace))
                words.append(value);
        }
        if (words.isEmpty())
            return std::nullopt;
        const std::optional<Argb> colour = ColourText::readRgba(CssValues{words[0]}, ColourText::Context{dark, {}});
        if (!colour)
            return std::nullopt;
        for (qsizetype i = 1; i < words.size() || i == 1; ++i) {
            std::optional<double> position;
            if (i < words.size()) {
                const std::optional<CssCalc::Quantity> at = CssCalc::evaluate(CssValues{words[i]});
                if (!at)
                    return std::nullopt;
                position = at->kind == CssCalc::Quantity::Percent ? at->value / 100 : at->value / length;
            }
            colours.append(*colour);
            positions.append(position);
        }
    }
    if (colours.size() < 2)
        return std::nullopt;
    // Missing positions: the ends at 0 and 1, the rest spread evenly; none before an earlier one.
    if (!positions.first())
        positions.first() = 0.0;
    if (!positions.last())
        positions.last() = 1.0;
    for (qsizetype i = 1; i < positions.size(); ++i) {
        if (!positions[i]) {
            qsizetype next = i;
            while (!positions[next])
                ++next;
            for (qsizetype j = i; j < next; ++j)
                positions[j] = *positions[i - 1]
                    + (*positions[next] - *positions[i - 1]) * double(j - i + 1) / double(next - i + 1);
        }
        positions[i] = std::max(*positions[i], *positions[i - 1]);
    }
    qsizetype stop = 0;
    while (stop + 1 < positions.size() && *positions[stop + 1] < t)
        ++stop;
    if (t <= *positions.first())
        return colours.first();
    if (stop + 1 >= positions.size())
        return colours.last();
    const double span = *positions[stop + 1] - *positions[stop];
    const double f = span <= 0 ? 1 : std::clamp((t - *positions[stop]) / span, 0.0, 1.0);
    const Argb a = colours[stop];
    const Argb b = colours[stop + 1];
    const double alpha = alphaOf(a) / 255.0 * (1 - f) + alphaOf(b) / 255.0 * f;
    const auto channel = [&](int ca, int cb) {
        const double premultiplied = ca * alphaOf(a) / 255.0 * (1 - f) + cb * alphaOf(b) / 255.0 * f;
        // The browser keeps a gradient's 8-bit channels by truncation, not rounding.
        return alpha > 0 ? int(std::floor(premultiplied / alpha + 1e-9)) : 0;
    };
    return argb(channel(redOf(a), redOf(b)), channel(greenOf(a), greenOf(b)), channel(blueOf(a), blueOf(b)),
        int(std::floor(alpha * 255 + 0.5)));
}

// Whether a style sheet holds custom properties and nothing else, as this program's Tailwind shape and
// the :root rule of its custom-property shape write them: rules, possibly in @media, @supports, @layer
// or @theme, whose every declaration is a custom property.
class CustomsOnly : public CssContentsHandler {
public:
    explicit CustomsOnly(const std::stop_token& stop)
        : m_stop(stop)
    {
    }

    static bool holds(QStringView css, const std::stop_token& stop)
    {
        CustomsOnly check(stop);
        CssParser::contents(CssParser::values(css, stop), false, check);
        return check.m_only && check.m_customs > 0 && !stop.stop_requested();
    }

    void atRule(const CssRule& rule) override
    {
        const QString& name = rule.atName;
        if (name == QLatin1String("theme") && rule.hasBlock) {
            for (const CssDeclaration& declaration : CssParser::declarations(rule.block))
                custom(declaration.name);
        } else if ((name == QLatin1String("media") || name == QLatin1String("supports")
                       || name == QLatin1String("layer"))
            && rule.hasBlock) {
            CssParser::contents(rule.block, false, *this);
        } else if (!(name == QLatin1String("layer") || name == QLatin1String("charset"))) {
            m_only = false;
        }
    }

    void qualifiedRule(const CssValues& block, qsizetype, qsizetype end) override
    {
        CssParser::contents(block[end].inside, true, *this);
    }

    void declaration(const CssValues& block, qsizetype at, qsizetype end) override
    {
        while (at < end && block[at].token.is(CssToken::Whitespace))
            ++at;
        custom(at < end && block[at].token.is(CssToken::Ident) ? block[at].token.text.toString() : QString());
    }

    bool readOn() const override { return m_only && !m_stop.stop_requested(); }

private:
    void custom(const QString& name)
    {
        if (name.startsWith(QLatin1String("--")))
            ++m_customs;
        else
            m_only = false;
    }

    std::stop_token m_stop;
    bool m_only = true;
    int m_customs = 0;
};

// A text that is one <body …> tag and nothing else.
bool bodyTagAlone(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("<body"), Qt::CaseInsensitive) && trimmed.endsWith(u'>')
        && trimmed.count(u'<') == 1;
}

} // namespace

PageColours PageColours::read(QStringView text, Kind kind, const Options& options)
{
    PageColours result;
    Shared* const shared = options.shared.get();
    std::shared_ptr<const PageTree> built;
    if (kind == Kind::Page && shared && shared->tree && shared->page == text) {
        built = shared->tree;
    } else {
        built = std::make_shared<const PageTree>(
            kind == Kind::Page ? PageTree::fromPage(text, options.stop) : PageTree::model());
        if (kind == Kind::Page && shared && !options.stop.stop_requested()) {
            shared->page = text.toString();
            shared->tree = built;
        }
    }
    const PageTree& tree = *built;
    // The allowance grows with each style sheet file read (Cascade::addSheetAt).
    WorkBudget budget(std::max(MinimumSteps, qint64(text.size()) * WorkBudget::StepsPerCharacter), options.stop);
    MediaQueries::Environment environment;
    environment.dark = options.dark;
    Cascade cascade(tree, environment, budget, shared ? &shared->sheets : nullptr);
    if (kind == Kind::Page) {
        for (const PageTree::Sheet& sheet : tree.sheets()) {
            // Told to stop, or past its allowance, the reading reads no more sheets.
            if (budget.exhausted() || options.stop.stop_requested())
                break;
            if (sheet.href.isEmpty())
                cascade.addStyleSheet(sheet.text, options.fileName, sheet.media, options.loader, sheet.line);
            else
                cascade.addLinkedSheet(sheet.href, options.fileName, sheet.media, options.loader);
        }
    } else {
        cascade.addStyleSheet(text, options.fileName, {}, options.loader);
    }

    const int link = tree.link();
    QList<int> chain;
    for (int up = link; up >= 0; up = tree.at(up).parent)
        chain.prepend(up);
    const qsizetype bodyAt = chain.indexOf(tree.body());
    const auto paint = [&](const QList<Cascade::Style>& styles, bool forLink, Argb* canvasOut) {
        const Cascade::Style& root = styles.first();
        const Cascade::Style& body = styles[bodyAt];
        // The canvas shows the root's background, or the body's when the root has none.
        const Argb base = *ColourText::systemColour(u"canvas", root.dark);
        const bool propagated = alphaOf(root.background) == 0 && !root.backgroundImage;
        Argb canvas = over(propagated ? body.background : root.background, base);
        // A gradient over it, as the browser paints it at the canvas's corner, which is what it shows.
        const std::optional<CssValues>& image = propagated ? body.backgroundImage : root.backgroundImage;
        if (image) {
            if (const std::optional<Argb> colour
                = gradientAt(*image, Width - 1.5, Height - 1.5, Width, Height, root.dark))
                canvas = over(*colour, canvas);
        }
        if (canvasOut)
            *canvasOut = canvas;
        // Each element from the body down paints its background over what lies beneath; one with
        // opacity paints it and all inside it into a layer of its own, composited over what lay beneath.
        // filter: brightness() scales all an element paints, its descendants' colours included.
        double brightness = 1;
        const auto bright = [&brightness](Argb colour) { return Painting::brightened(colour, brightness); };
        for (qsizetype i = 0; i <= bodyAt; ++i)
            brightness *= styles[i].brightness;
        const qsizetype last = forLink ? styles.size() - 1 : bodyAt;
        QList<Painting::Premultiplied> beneath; // what lay beneath each layer, innermost last
        Painting::Premultiplied pixel = Painting::premultiplied(canvas);
        for (qsizetype i = bodyAt; i <= last; ++i) {
            if (i > bodyAt)
                brightness *= styles[i].brightness;
            if (styles[i].opacity < 1) {
                beneath.append(pixel);
                pixel = {};
            }
            if (i > bodyAt || !propagated)
                pixel = Painting::paintedOver(bright(styles[i].background), pixel);
        }
        pixel = Painting::paintedOver(bright(styles[last].colour), pixel);
        for (qsizetype i = last; i >= bodyAt; --i) {
            if (styles[i].opacity < 1)
                pixel = Painting::composited(pixel, beneath.takeLast(), styles[i].opacity);
        }
        return Painting::shown(pixel);
    };
    const QList<Cascade::Style> plain = cascade.stylesDownTo(link, Selectors::State{link, false, false});
    result.authored = false;
    Argb canvas = 0;
    result.colours[Slot::Text] = paint(plain, false, &canvas);
    result.colours[Slot::Background] = canvas;
    result.colours[Slot::NewLink] = paint(plain, true, nullptr);
    result.colours[Slot::VisitedLink]
        = paint(cascade.stylesDownTo(link, Selectors::State{link, true, false}), true, nullptr);
    result.colours[Slot::ActiveLink]
        = paint(cascade.stylesDownTo(link, Selectors::State{link, false, true}), true, nullptr);
    // This program's own copy shapes name each slot's colour in a custom property (--page-text, or
    // --color-page-text in a Tailwind theme): where the body's computed value names an opaque colour, it
    // names that slot. A property declared where the cascade does not take it (a comment, a print rule) is
    // not the body's. The names give the slots' colours only in a style sheet of custom properties and
    // nothing else, as the shapes are copied, and in a lone <body> tag, as the tag reader reads one;
    // anywhere else a page's rules decide what it shows, and --link is one more of its custom properties.
    const Cascade::Style& body = plain[bodyAt];
    std::optional<bool> customsOnly;
    for (std::size_t slot = 0; slot < Slot::Count; ++slot) {
        for (const QString& prefix : {QStringLiteral("--color-"), QStringLiteral("--")}) {
            const std::optional<CssValues> value = body.customs.value(prefix + SlotNames::name(int(slot)));
            if (!value)
                continue;
            const std::optional<Argb> rgba = ColourText::readRgba(*value, ColourText::Context{body.dark, {}});
            if (rgba && alphaOf(*rgba) == 255) {
                result.named[slot] = *rgba;
                if (!customsOnly)
                    customsOnly
                        = kind == Kind::StyleSheet ? CustomsOnly::holds(text, options.stop) : bodyTagAlone(text);
                if (*customsOnly) {
                    result.colours[slot] = *rgba;
                    result.authored = true;
                }
                break;
            }
        }
    }
    for (const qsizetype at : {qsizetype(0), bodyAt, chain.size() - 1})
        result.unusable += plain[at].unusable;
    result.unusable.removeDuplicates();
    result.bodyAttributes = tree.at(tree.body()).attributes;
    // The margins the cascade gave stand as the body's own declarations over its margin attributes.
    QList<CssDeclaration> margins;
    if (plain[bodyAt].marginLeft)
        margins.append({QStringLiteral("margin-left"), CssParser::trimmed(*plain[bodyAt].marginLeft), false});
    if (plain[bodyAt].marginTop)
        margins.append({QStringLiteral("margin-top"), CssParser::trimmed(*plain[bodyAt].marginTop), false});
    const TagStyle bodyStyle(result.bodyAttributes, margins);
    result.marginLeft = bodyStyle.margin(true);
    result.marginTop = bodyStyle.margin(false);
    if (options.judge)
        result.judgement = PageJudge::judge(tree, cascade, options.fileName, *options.judge);
    ReadingNotes notes = cascade.notes();
    if (tree.cut())
        notes.add(ReadingNotes::Reason::TooLarge,
            QCoreApplication::translate("PageColours",
                "The page holds more than Hueloom reads (%L1 elements or %L2 attributes): the rest was left out.")
                .arg(HtmlNesting::MaxElements)
                .arg(HtmlNesting::MaxAttributesInAll));
    result.notes = notes.lines();
    result.shortfalls = notes.reasons();
    result.authored = result.authored || cascade.authored();
    result.schemeSensitive = cascade.schemeSensitive();
    result.steps = budget.spent();
    return result;
}
