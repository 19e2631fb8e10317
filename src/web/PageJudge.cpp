#include "PageJudge.h"

#include "Painting.h"
#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "css/ColourText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>

namespace PageJudge {

namespace {

using Style = ComputedStyle;
using Display = ComputedStyle::Display;
using Position = ComputedStyle::Position;
using Element = PageJudgement::Element;
using Origin = PageJudgement::Origin;
using Verdict = PageJudgement::Verdict;

QString tr(const char* text)
{
    return QCoreApplication::translate("PageJudge", text);
}

bool isOpaque(const Style& style)
{
    return alphaOf(style.background) == 255 && !style.backgroundImage && !style.box.picture;
}

bool isLink(const PageTree::Element& element)
{
    return element.html && (element.tag == QLatin1String("a") || element.tag == QLatin1String("area"))
        && std::any_of(element.attributes.begin(), element.attributes.end(),
            [](const auto& attribute) { return attribute.first == QLatin1String("href"); });
}

// Large text by WCAG 2: 18 pt, or 14 pt and bold, as the checkers round the computed size in points.
bool isLarge(const Style& style)
{
    const double points = std::ceil(style.box.fontSize * 72) / 96;
    return points >= 18 || (points >= 14 && style.box.fontWeight >= 700);
}

// The controls whose text WCAG exempts while they are disabled, and what makes them so.
bool isDisabled(const PageTree& tree, int element)
{
    static const QStringList controls{QStringLiteral("button"), QStringLiteral("input"), QStringLiteral("select"),
        QStringLiteral("textarea"), QStringLiteral("option"), QStringLiteral("optgroup"), QStringLiteral("fieldset")};
    for (int up = element; up >= 0; up = tree.at(up).parent) {
        const PageTree::Element& e = tree.at(up);
        if (e.html && controls.contains(e.tag) && tree.attribute(up, u"disabled"))
            return true;
        const std::optional<QString> aria = tree.attribute(up, u"aria-disabled");
        if (aria && aria->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isIdentifier(const QString& text)
{
    static const QRegularExpression identifier(QStringLiteral("^-?[A-Za-z_][A-Za-z0-9_-]*$"));
    return identifier.match(text).hasMatch();
}

// A selector path that finds the element: from the nearest ancestor with an id (or the root), each
// step its tag and, among siblings of the same tag, its place.
QString selectorPath(const PageTree& tree, int element)
{
    QStringList steps;
    for (int at = element; at >= 0; at = tree.at(at).parent) {
        const PageTree::Element& e = tree.at(at);
        if (!e.id.isEmpty() && isIdentifier(e.id)) {
            steps.prepend(QLatin1Char('#') + e.id);
            break;
        }
        QString step = e.tag;
        if (e.parent >= 0) {
            int place = 0;
            int of = 0;
            for (int sibling = tree.at(e.parent).firstChild; sibling >= 0; sibling = tree.at(sibling).next) {
                if (tree.at(sibling).tag == e.tag) {
                    ++of;
                    if (sibling <= at)
                        ++place;
                }
            }
            if (of > 1)
                step += QStringLiteral(":nth-of-type(%1)").arg(place);
        }
        steps.prepend(step);
    }
    return steps.join(QStringLiteral(" > "));
}

} // namespace

PageJudgement judge(const PageTree& tree, Cascade& cascade, const QString& fileName, const PageJudgement::Needs& needs)
{
    PageJudgement result;
    const QList<Style> styles = cascade.allStyles();
    const qsizetype count = styles.size();
    const int root = tree.root();
    const int body = tree.body();
    const bool model = tree.made(root);

    const auto origin = [&](int source, int line, int element, bool background) {
        Origin from;
        if (source == Cascade::FromStyleAttribute) {
            from.kind = Origin::Kind::Attribute;
            from.file = fileName;
            from.line = tree.at(element).line;
            from.selector = QStringLiteral("style");
        } else if (source == Cascade::FromAttribute) {
            from.kind = Origin::Kind::Attribute;
            from.file = fileName;
            from.line = tree.at(body).line;
            from.selector = background ? QStringLiteral("bgcolor") : QStringLiteral("text");
        } else if (const RuleSet::Rule* rule = cascade.ruleOf(source)) {
            from.kind = Origin::Kind::Sheet;
            from.file = rule->sheet.isEmpty() ? fileName : rule->sheet;
            from.line = line > 0 ? line + rule->firstLine - 1 : 0;
            from.selector = rule->selectorText;
        }
        return from;
    };

    // The canvas: the root's background, or the body's when the root has none, over the scheme's own.
    const Style& rootStyle = styles[root];
    const bool propagated = alphaOf(rootStyle.background) == 0 && !rootStyle.backgroundImage;
    const int canvasElement = propagated ? body : root;
    const Argb base = *ColourText::systemColour(u"canvas", rootStyle.dark);
    const Argb canvas = Painting::over(styles[canvasElement].background, base);
    const bool canvasImage = styles[canvasElement].backgroundImage.has_value() || styles[canvasElement].box.picture;

    // What hides each element and everything in it, worked out down the tree.
    QList<bool> hidden(count, false);
    QList<int> index(count, -1);
    int next = 0;
    for (int at = 0; at < count; ++at) {
        const PageTree::Element& e = tree.at(at);
        const Style& style = styles[at];
        const bool hiddenAbove = e.parent >= 0 && hidden[e.parent];
        const bool visuallyHidden = (style.box.clipped
                                        && (style.box.position == Position::Absolute
                                            || style.box.position == Position::Fixed || style.box.overflowHidden))
            || (style.box.overflowHidden && style.box.width && *style.box.width <= 1 && style.box.height
                && *style.box.height <= 1)
            || (style.box.offscreen && style.box.position != Position::Static) || style.box.indentedAway
            || style.opacity == 0;
        hidden[at] = hiddenAbove || style.box.display == Display::None || e.inNoscript || visuallyHidden;
        if (!e.inNoscript && !tree.made(at))
            index[at] = next++;
    }

    for (int at = 0; at < count; ++at) {
        const PageTree::Element& e = tree.at(at);
        const bool probe = model && (at == body || at == tree.link());
        if (hidden[at] || (!probe && (tree.made(at) || e.text.isEmpty())))
            continue;
        const Style& style = styles[at];
        if (style.box.invisible || style.box.fontSize <= 0 || isDisabled(tree, at))
            continue;
        if (e.tag == QLatin1String("option") || e.tag == QLatin1String("title"))
            continue;

        // What lies beneath each element of the chain, from the root down, and what it paints.
        QList<int> chain;
        for (int up = at; up >= 0; up = tree.at(up).parent)
            chain.prepend(up);
        double brightness = 1;
        const auto bright = [&brightness](Argb colour) { return Painting::brightened(colour, brightness); };
        QList<Argb> below; // by place in the chain: what lay beneath the element
        Argb beneath = canvas;
        int backdrop = canvasElement; // the element whose background shows behind the text
        for (const int up : std::as_const(chain)) {
            below.append(beneath);
            brightness *= styles[up].brightness;
            if (up == root || (up == body && propagated))
                continue;
            if (alphaOf(styles[up].background) > 0) {
                beneath = Painting::over(bright(styles[up].background), beneath);
                backdrop = up;
            }
        }
        Argb foreground = Painting::over(bright(style.colour), beneath);
        Argb background = beneath;
        for (qsizetype i = chain.size() - 1; i >= 0; --i) {
            const double opacity = styles[chain[i]].opacity;
            if (opacity < 1) {
                foreground = Painting::blended(foreground, below[i], opacity);
                background = Painting::blended(background, below[i], opacity);
            }
        }

        // What could put something else behind the text, which only layout would tell.
        QString review;
        int opaqueAt = -1; // the nearest element of the chain with an opaque background of its own
        for (qsizetype i = chain.size() - 1; i >= 0 && opaqueAt < 0; --i) {
            if (isOpaque(styles[chain[i]]) && chain[i] != root && !(chain[i] == body && propagated))
                opaqueAt = int(i);
        }
        for (qsizetype i = chain.size() - 1; i >= 0 && review.isEmpty(); --i) {
            const Style& up = styles[chain[i]];
            const bool aboveBackdrop = opaqueAt < 0 || i > opaqueAt;
            if ((up.backgroundImage || up.box.picture) && (aboveBackdrop || i == opaqueAt))
                review = tr("a background image or gradient lies behind the text");
            else if (aboveBackdrop && (up.box.position == Position::Absolute || up.box.position == Position::Fixed))
                review = tr("position: %1 may move it off the boxes it sits in")
                             .arg(up.box.position == Position::Fixed ? QStringLiteral("fixed")
                                                                     : QStringLiteral("absolute"));
            else if (aboveBackdrop && up.box.transformed)
                review = tr("a transform may move it over another box");
            else if (aboveBackdrop && up.box.negativeTop && tree.at(chain[i]).previous >= 0)
                review = tr("a negative margin may pull it over the box before it");
            else if (up.box.blendMode)
                review = tr("mix-blend-mode blends it with what lies behind");
            else if (up.box.otherFilter)
                review = tr("a filter changes its colours");
        }
        if (review.isEmpty() && opaqueAt < 0 && canvasImage)
            review = tr("a background image or gradient lies behind the text");
        if (review.isEmpty() && style.box.textShadow)
            review = tr("text-shadow changes how the text stands out");

        Element judged;
        judged.index = index[at];
        judged.tag = e.tag;
        judged.file = fileName;
        judged.line = e.line;
        judged.column = e.column;
        judged.selector = selectorPath(tree, at);
        judged.text = e.text;
        judged.foreground = foreground;
        judged.background = background;
        const Rgb fore = Rgb::fromArgb(foreground);
        const Rgb back = Rgb::fromArgb(background);
        judged.ratio = Contrast::ratio(fore, back);
        judged.lc = Apca::lightnessContrast(fore, back);
        judged.large = isLarge(style);
        judged.fontSize = style.box.fontSize;
        judged.fontWeight = style.box.fontWeight;
        judged.foregroundFrom = origin(style.colourFrom, style.colourLine, at, false);
        const int backdropElement = opaqueAt >= 0 ? chain[opaqueAt] : backdrop;
        judged.backgroundFrom = origin(
            styles[backdropElement].backgroundFrom, styles[backdropElement].backgroundLine, backdropElement, true);
        if (needs.lc) {
            judged.needed = *needs.lc;
            judged.verdict = std::abs(judged.lc) >= *needs.lc ? Verdict::Pass : Verdict::Fail;
        } else {
            judged.needed = judged.large ? needs.large : needs.normal;
            judged.verdict = judged.ratio >= judged.needed ? Verdict::Pass : Verdict::Fail;
        }
        if (!review.isEmpty()) {
            judged.verdict = Verdict::Review;
            judged.why = review;
        }
        result.elements.append(judged);

        // A link in a block of text must stand apart from the text by more than colour alone.
        if (!isLink(e))
            continue;
        int block = e.parent;
        while (block >= 0 && styles[block].box.display != Display::Block && block != body)
            block = tree.at(block).parent;
        if (block < 0 || tree.at(block).text.isEmpty())
            continue;
        const Style& around = styles[block];
        Element link = judged;
        link.check = PageJudgement::Check::LinkInText;
        link.background = Painting::over(bright(around.colour), background);
        link.foregroundFrom = judged.foregroundFrom;
        link.backgroundFrom = origin(around.colourFrom, around.colourLine, block, false);
        link.ratio = Contrast::ratio(fore, Rgb::fromArgb(link.background));
        link.lc = Apca::lightnessContrast(fore, Rgb::fromArgb(link.background));
        link.needed = Contrast::LinkFromText;
        link.why.clear();
        const bool distinct = needs.linksUnderlined || style.box.underlined != around.box.underlined
            || style.box.bottomBorder || style.box.picture || style.box.fontWeight != around.box.fontWeight
            || std::abs(style.box.fontSize - around.box.fontSize) > 0.01;
        if (distinct || link.ratio >= Contrast::LinkFromText) {
            link.verdict = Verdict::Pass;
        } else {
            link.verdict = Verdict::Fail;
            link.why = tr("only its colour tells it from the text around it");
        }
        result.elements.append(link);
    }
    return result;
}

} // namespace PageJudge
