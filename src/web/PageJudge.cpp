#include "PageJudge.h"

#include "Painting.h"
#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "css/ColourText.h"

#include <QCoreApplication>
#include <QHash>
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
    const PageTree::Element& e = tree.at(element);
    if (e.attributes.isEmpty())
        return false;
    if (e.html && controls.contains(e.tag) && tree.attribute(element, u"disabled"))
        return true;
    const std::optional<QString> aria = tree.attribute(element, u"aria-disabled");
    return aria && aria->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

// A form control whose own text, its value, is shown in it: judged whether or not it holds any yet.
bool isTextControl(const PageTree& tree, int element)
{
    const PageTree::Element& e = tree.at(element);
    if (!e.html)
        return false;
    if (e.tag == QLatin1String("select") || e.tag == QLatin1String("textarea"))
        return true;
    if (e.tag != QLatin1String("input"))
        return false;
    static const QStringList pictures{QStringLiteral("hidden"), QStringLiteral("range"), QStringLiteral("color"),
        QStringLiteral("checkbox"), QStringLiteral("radio"), QStringLiteral("image")};
    return !pictures.contains(tree.attribute(element, u"type").value_or(QString()).toLower());
}

bool isIdentifier(const QString& text)
{
    static const QRegularExpression identifier(QStringLiteral("^-?[A-Za-z_][A-Za-z0-9_-]*$"));
    return identifier.match(text).hasMatch();
}

// Each element's place among its siblings of the same tag, and how many they are, for selector paths:
// worked out for the whole page at once.
struct Places {
    QList<int> place;
    QList<int> of;

    explicit Places(const PageTree& tree)
    {
        const qsizetype count = tree.elements().size();
        place.resize(count);
        of.resize(count);
        QHash<std::pair<int, QString>, int> seen;
        for (int at = 0; at < count; ++at)
            place[at] = ++seen[{tree.at(at).parent, tree.at(at).tag}];
        for (int at = 0; at < count; ++at)
            of[at] = seen.value({tree.at(at).parent, tree.at(at).tag});
    }
};

// Selector paths that find elements: from the nearest ancestor with an id (or the root), each step
// its tag and, among siblings of the same tag, its place. Each element's is made once, from its
// parent's.
class SelectorPaths {
public:
    SelectorPaths(const PageTree& tree, const Places& places)
        : m_tree(tree)
        , m_places(places)
        , m_paths(tree.elements().size())
    {
    }

    const QString& of(int element)
    {
        // Up to the nearest ancestor whose path is known or needs none before it, then down again.
        QList<int> down;
        int at = element;
        for (; at >= 0 && m_paths[at].isEmpty(); at = m_tree.at(at).parent) {
            down.append(at);
            const PageTree::Element& e = m_tree.at(at);
            if (!e.id.isEmpty() && isIdentifier(e.id))
                break;
        }
        for (qsizetype i = down.size() - 1; i >= 0; --i) {
            const int one = down[i];
            const PageTree::Element& e = m_tree.at(one);
            if (!e.id.isEmpty() && isIdentifier(e.id)) {
                m_paths[one] = QLatin1Char('#') + e.id;
                continue;
            }
            QString& path = m_paths[one];
            if (e.parent >= 0) {
                path.reserve(m_paths[e.parent].size() + e.tag.size() + 24);
                path += m_paths[e.parent];
                path += QLatin1String(" > ");
            }
            path += e.tag;
            if (e.parent >= 0 && m_places.of[one] > 1) {
                path += QLatin1String(":nth-of-type(");
                path += QString::number(m_places.place[one]);
                path += u')';
            }
        }
        return m_paths[element];
    }

private:
    const PageTree& m_tree;
    const Places& m_places;
    QList<QString> m_paths;
};

} // namespace

PageJudgement judge(const PageTree& tree, Cascade& cascade, const QString& fileName, const PageJudgement::Needs& needs)
{
    PageJudgement result;
    const QList<Style> styles = cascade.allStyles();
    const QList<bool> generated = cascade.generatedBackgrounds();
    const qsizetype count = styles.size();
    const int root = tree.root();
    const int body = tree.body();
    // A style sheet on its own shows no text of its own: the five colours the model page shows are
    // what is judged of it, as pairs.
    if (tree.made(root))
        return result;

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

    const Places places(tree);
    SelectorPaths paths(tree, places);
    // What hides each element and everything in it, worked out down the tree.
    // And what lies beneath each element's text, painted down the tree.
    QList<bool> hidden(count, false);
    QList<int> index(count, -1);
    QList<Argb> beneath(count, canvas);
    QList<double> brightness(count, 1.0);
    QList<int> backdrop(count, canvasElement); // the element whose background shows behind its text
    QList<bool> faded(count, false); // it or an element it is in has opacity
    QList<bool> blended(count, false);
    QList<bool> filtered(count, false);
    QList<bool> disabled(count, false);
    int next = 0;
    for (int at = 0; at < count; ++at) {
        const PageTree::Element& e = tree.at(at);
        const Style& style = styles[at];
        const int parent = e.parent;
        const bool hiddenAbove = parent >= 0 && hidden[parent];
        if (parent >= 0) {
            beneath[at] = beneath[parent];
            brightness[at] = brightness[parent];
            backdrop[at] = backdrop[parent];
            faded[at] = faded[parent];
            blended[at] = blended[parent];
            filtered[at] = filtered[parent];
            disabled[at] = disabled[parent];
        }
        brightness[at] *= style.brightness;
        if (at != root && !(at == body && propagated) && alphaOf(style.background) > 0) {
            beneath[at] = Painting::over(Painting::brightened(style.background, brightness[at]), beneath[at]);
            backdrop[at] = at;
        }
        faded[at] = faded[at] || (style.opacity < 1 && at != root);
        blended[at] = blended[at] || style.box.blendMode;
        filtered[at] = filtered[at] || style.box.otherFilter;
        disabled[at] = disabled[at] || isDisabled(tree, at);
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
        const bool control = isTextControl(tree, at);
        if (hidden[at] || tree.made(at) || (e.text.isEmpty() && !control))
            continue;
        const Style& style = styles[at];
        if (style.box.invisible || style.box.fontSize <= 0 || disabled[at])
            continue;
        if (e.tag == QLatin1String("option") || e.tag == QLatin1String("title"))
            continue;

        // What lies beneath the text: worked out down the tree, except under opacity, where each layer
        // is blended over what lay beneath it.
        Argb foreground = Painting::over(Painting::brightened(style.colour, brightness[at]), beneath[at]);
        Argb background = beneath[at];
        if (faded[at]) {
            QList<int> chain;
            for (int up = at; up >= 0; up = tree.at(up).parent)
                chain.prepend(up);
            for (qsizetype i = chain.size() - 1; i >= 0; --i) {
                const int up = chain[i];
                const double opacity = styles[up].opacity;
                if (opacity < 1) {
                    const int parent = tree.at(up).parent;
                    const Argb under = parent >= 0 ? beneath[parent] : canvas;
                    foreground = Painting::blended(foreground, under, opacity);
                    background = Painting::blended(background, under, opacity);
                }
            }
        }

        // What could put something else behind the text, which only layout would tell: up to the
        // nearest box with an opaque background of its own. A ::before or ::after box of the root or
        // the body is left out: pages draw their backdrops so, behind everything (a fixed grid or
        // gradient), as browser-based checkers take them.
        QString review;
        int opaque = -1;
        for (int up = at; up >= 0 && review.isEmpty() && opaque < 0; up = tree.at(up).parent) {
            const Style& box = styles[up];
            const bool painted = up != root && !(up == body && propagated);
            if (painted && (box.backgroundImage || box.box.picture))
                review = tr("a background image or gradient lies behind the text");
            else if (generated[up] && up != root && up != body)
                review = tr("a ::before or ::after box with a background may lie behind the text");
            else if (painted && isOpaque(box))
                opaque = up;
            else if (box.box.position == Position::Absolute || box.box.position == Position::Fixed)
                review = tr("position: %1 may move it off the boxes it sits in")
                             .arg(box.box.position == Position::Fixed ? QStringLiteral("fixed")
                                                                      : QStringLiteral("absolute"));
            else if (box.box.transformed)
                review = tr("a transform may move it over another box");
            else if (box.box.negativeTop && tree.at(up).previous >= 0)
                review = tr("a negative margin may pull it over the box before it");
        }
        if (review.isEmpty() && blended[at])
            review = tr("mix-blend-mode blends it with what lies behind");
        if (review.isEmpty() && filtered[at])
            review = tr("a filter changes its colours");
        if (review.isEmpty() && opaque < 0 && canvasImage)
            review = tr("a background image or gradient lies behind the text");
        if (review.isEmpty() && style.box.textShadow)
            review = tr("text-shadow changes how the text stands out");

        Element judged;
        judged.index = index[at];
        judged.tag = e.tag;
        judged.file = fileName;
        judged.line = e.line;
        judged.column = e.column;
        judged.selector = paths.of(at);
        judged.text = control && e.text.isEmpty()
            ? tree.attribute(at, u"value")
                  .value_or(tree.attribute(at, u"placeholder").value_or(QString()))
                  .simplified()
                  .left(PageTree::MaximumText)
            : e.text;
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
        const int backdropElement = opaque >= 0 ? opaque : backdrop[at];
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
        link.background = Painting::over(Painting::brightened(around.colour, brightness[at]), background);
        link.foregroundFrom = judged.foregroundFrom;
        link.backgroundFrom = origin(around.colourFrom, around.colourLine, block, false);
        link.ratio = Contrast::ratio(fore, Rgb::fromArgb(link.background));
        link.lc = Apca::lightnessContrast(fore, Rgb::fromArgb(link.background));
        link.needed = Contrast::LinkFromText;
        link.why.clear();
        const bool distinct = needs.linksUnderlined || style.box.underlined != around.box.underlined
            || style.box.bottomBorder || style.box.picture || style.box.fontWeight != around.box.fontWeight
            || std::abs(style.box.fontSize - around.box.fontSize) > 0.01;
        // A link in the very colour of its text does not lean on colour at all: it passes, as the
        // checkers pass it.
        if (distinct || link.ratio >= Contrast::LinkFromText || link.foreground == link.background) {
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
