#include "html/HtmlNesting.h"
#include "html/PageTree.h"
#include "web/Cascade.h"
#include "web/PageColours.h"
#include "web/Selectors.h"

#include <QColor>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <functional>
#include <numeric>
#include <ranges>

// The cascade over real shapes of text: every shape is read in time linear in its length (counted in
// work steps, never in seconds), and layers and importance rank as CSS Cascade 5 ranks them.
class TestCascade : public QObject {
    Q_OBJECT

private slots:
    void hostileShapesStayLinear_data();
    void hostileShapesStayLinear();
    void layersAndImportanceRank();
    void declarationsOfOneRuleRank();
    void selectorsMatchAsAPlainReadingOfThemDoes();
    void rulesIndexedMatchAsAPlainReadingDoes();
    void sharedWorkReadsAsFreshWork();
    void rulesPastTheMostReadAreLeftOutWithANote();
    void longValuesReadAsTheirShortForms();
};

namespace {

using Shape = std::function<QString(int)>;

QString repeated(const QString& text, int count)
{
    return text.repeated(count);
}

QString hex(QRgb rgb)
{
    return QColor(rgb).name().toUpper();
}

} // namespace

void TestCascade::hostileShapesStayLinear_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("page");
    QTest::newRow("<rb> repeated") << Shape([](int n) { return repeated(QStringLiteral("<rb>"), n); }) << 4000 << true;
    QTest::newRow("<div></x> repeated") << Shape([](int n) { return repeated(QStringLiteral("<div></x>"), n); }) << 2000
                                        << true;
    QTest::newRow("one class many times") << Shape([](int n) {
        return QStringLiteral("<style>") + repeated(QStringLiteral(".x"), n)
            + QStringLiteral("{color:red}</style><body class=\"") + repeated(QStringLiteral("x "), n)
            + QStringLiteral("\"><a href=y>y</a>");
    }) << 2000 << true;
    QTest::newRow("many nested & rules") << Shape([](int n) {
        return QStringLiteral("body{") + repeated(QStringLiteral("&{color:red}&{}"), n) + QStringLiteral("}");
    }) << 2000 << false;
    QTest::newRow(":has() over a deep tree") << Shape([](int n) {
        return QStringLiteral("<style>") + repeated(QStringLiteral("body:has(div div a) a:has(~ b), :has(> p) "), 8)
            + QStringLiteral("p {color:red}</style>") + repeated(QStringLiteral("<div>"), n)
            + QStringLiteral("<a href=x>x</a>");
    }) << 1000 << true;
    QTest::newRow("var() chain") << Shape([](int n) {
        QString css = QStringLiteral(":root{--v0:red;");
        for (int i = 1; i < n; ++i)
            css += QStringLiteral("--v%1:var(--v%2);").arg(i).arg(i - 1);
        return css + QStringLiteral("} body{color:var(--v%1)}").arg(n - 1);
    }) << 100 << false;
    QTest::newRow("var() fan-out") << Shape([](int n) {
        QString css = QStringLiteral(":root{--v0:red;");
        for (int i = 1; i < n; ++i)
            css += QStringLiteral("--v%1:var(--v%2) var(--v%2);").arg(i).arg(i - 1);
        return css + QStringLiteral("} body{background:var(--v%1, blue)}").arg(n - 1);
    }) << 400 << false;
    QTest::newRow("rules one after another")
        << Shape([](int n) { return repeated(QStringLiteral("a{color:red}a:hover{color:#00f;background:red}"), n); })
        << 2000 << false;
    QTest::newRow("a long selector list")
        << Shape([](int n) { return repeated(QStringLiteral("a:not(.x),"), n) + QStringLiteral("a{color:red}"); })
        << 2000 << false;
    QTest::newRow("a tag with many attributes") << Shape([](int n) {
        QString tag = QStringLiteral("<body");
        for (int i = 0; i < n; ++i)
            tag += QStringLiteral(" a%1=x").arg(i % 300);
        return tag + QStringLiteral("><style>[a1]{color:red}</style><a href=x>x</a>");
    }) << 2000 << true;
    QTest::newRow("deep nesting of rules") << Shape([](int n) {
        return repeated(QStringLiteral("a{"), n) + QStringLiteral("color:red") + repeated(QStringLiteral("}"), n);
    }) << 30 << false;
}

// Twice the text takes at most three times the work, and the reading finishes within its allowance.
void TestCascade::hostileShapesStayLinear()
{
    QFETCH(Shape, shape);
    QFETCH(int, size);
    QFETCH(bool, page);
    const auto kind = page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet;
    const PageColours small = PageColours::read(shape(size), kind, {});
    const PageColours large = PageColours::read(shape(size * 2), kind, {});
    QVERIFY2(small.notes.isEmpty() && large.notes.isEmpty(), qPrintable(large.notes.join(u' ')));
    QVERIFY2(large.steps <= 3 * std::max<qint64>(small.steps, 1000),
        qPrintable(QStringLiteral("%1 steps, then %2").arg(small.steps).arg(large.steps)));
}

// Runs of declarations in one rule, some !important, some of the shorthand, some revert-layer, with a
// rule before them: the last important one wins, else the last normal one; background and
// background-color count in the order written.
void TestCascade::declarationsOfOneRuleRank()
{
    QRandomGenerator random(2609);
    for (int run = 0; run < 300; ++run) {
        QString rule = QStringLiteral("body{background-color:#000001;color:#000001}body{");
        QString text = QStringLiteral("#000001");
        QString background = QStringLiteral("#000001");
        bool textImportant = false;
        bool backgroundImportant = false;
        const int count = random.bounded(1, 12);
        for (int i = 0; i < count; ++i) {
            const QString colour = QStringLiteral("#0000%1").arg(i + 2, 2, 10, QLatin1Char('0'));
            const bool important = random.bounded(3) == 0;
            const int property = random.bounded(3);
            const QString name = property == 0 ? QStringLiteral("color")
                : property == 1                ? QStringLiteral("background-color")
                                               : QStringLiteral("background");
            rule += QStringLiteral("%1:%2%3;").arg(name, colour, important ? QStringLiteral("!important") : QString());
            QString& wins = property == 0 ? text : background;
            bool& winsImportant = property == 0 ? textImportant : backgroundImportant;
            if (important || !winsImportant) {
                wins = colour;
                winsImportant = important;
            }
        }
        rule += u'}';
        const PageColours colours = PageColours::read(rule, PageColours::Kind::StyleSheet, {});
        QVERIFY2(hex(colours.colours[Slot::Text]) == text.toUpper(), qPrintable(rule));
        QVERIFY2(hex(colours.colours[Slot::Background]) == background.toUpper(), qPrintable(rule));
    }
}

// Random rules for the body's colour, in random layers declared in a random order, some !important:
// normal declarations rank by layer order with unlayered ones last, important ones the other way round,
// and within a rank the later declaration wins.
void TestCascade::layersAndImportanceRank()
{
    QRandomGenerator random(26);
    for (int run = 0; run < 400; ++run) {
        const int layers = random.bounded(1, 5);
        QList<int> order(layers); // the layer each rank has
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        QStringList names;
        for (const int layer : std::as_const(order))
            names << QStringLiteral("l%1").arg(layer);
        QString css = QStringLiteral("@layer ") + names.join(QStringLiteral(", ")) + QStringLiteral(";\n");
        std::tuple<int, int, int> best{-1, 0, 0}; // important, rank, order
        int winner = -1;
        const int rules = random.bounded(1, 9);
        for (int rule = 0; rule < rules; ++rule) {
            const int layer = random.bounded(-1, layers); // -1: unlayered
            const bool important = random.bounded(3) == 0;
            const QString declaration = QStringLiteral("body { color: #0000%1%2 }")
                                            .arg(rule + 1, 2, 10, QLatin1Char('0'))
                                            .arg(important ? QStringLiteral(" !important") : QString());
            css += layer < 0 ? declaration + u'\n' : QStringLiteral("@layer l%1 { %2 }\n").arg(layer).arg(declaration);
            const int rank = layer < 0 ? layers : int(order.indexOf(layer));
            const std::tuple<int, int, int> key{important, important ? layers - rank : rank, rule};
            if (key > best) {
                best = key;
                winner = rule + 1;
            }
        }
        const PageColours colours = PageColours::read(css, PageColours::Kind::StyleSheet, {});
        QVERIFY2(hex(colours.colours[Slot::Text]) == QStringLiteral("#0000%1").arg(winner, 2, 10, QLatin1Char('0')),
            qPrintable(css));
    }
}

namespace {

// A selector drawn at random, kept as parts so that a plain matcher here can read it too.
struct Simple {
    enum Kind { Type, Class, Id, Attribute, AttributeValue, FirstChild, LastChild, Root, Not, Is } kind;
    QString name;
    QList<Simple> arguments; // :not() and :is(): one simple selector each
};
struct Step {
    QList<Simple> compound;
    char combinator = 0; // to the step before it
};

const QStringList tags{QStringLiteral("div"), QStringLiteral("span"), QStringLiteral("em"), QStringLiteral("b")};
const QStringList words{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};

Simple randomSimple(QRandomGenerator& random, int depth)
{
    Simple simple{Simple::Kind(random.bounded(depth > 0 ? 8 : 10)), words[random.bounded(3)], {}};
    if (simple.kind == Simple::Type)
        simple.name = tags[random.bounded(tags.size())];
    if (simple.kind == Simple::Not || simple.kind == Simple::Is) {
        for (int i = 0; i < (simple.kind == Simple::Is ? 2 : 1); ++i)
            simple.arguments.append(randomSimple(random, depth + 1));
    }
    return simple;
}

QString text(const Simple& simple)
{
    switch (simple.kind) {
    case Simple::Type:
        return simple.name;
    case Simple::Class:
        return u'.' + simple.name;
    case Simple::Id:
        return u'#' + simple.name;
    case Simple::Attribute:
        return QStringLiteral("[data-%1]").arg(simple.name);
    case Simple::AttributeValue:
        return QStringLiteral("[title|=\"%1\"]").arg(simple.name);
    case Simple::FirstChild:
        return QStringLiteral(":first-child");
    case Simple::LastChild:
        return QStringLiteral(":last-child");
    case Simple::Root:
        return QStringLiteral(":root");
    case Simple::Not:
        return QStringLiteral(":not(%1)").arg(text(simple.arguments[0]));
    case Simple::Is:
        return QStringLiteral(":is(%1, %2)").arg(text(simple.arguments[0]), text(simple.arguments[1]));
    }
    return {};
}

bool plainMatch(const Simple& simple, const PageTree& tree, int at)
{
    const PageTree::Element& e = tree.at(at);
    const auto attributeWords = [&](QStringView name) {
        return tree.attribute(at, name).value_or(QString()).split(u' ', Qt::SkipEmptyParts);
    };
    switch (simple.kind) {
    case Simple::Type:
        return e.tag == simple.name;
    case Simple::Class:
        return attributeWords(u"class").contains(simple.name);
    case Simple::Id:
        return tree.attribute(at, u"id") == simple.name;
    case Simple::Attribute:
        return tree.attribute(at, QStringLiteral("data-") + simple.name).has_value();
    case Simple::AttributeValue: {
        const QString title = tree.attribute(at, u"title").value_or(QStringLiteral("\x01"));
        return title == simple.name || title.startsWith(simple.name + u'-');
    }
    case Simple::FirstChild:
        return e.previous < 0; // the root too, as in Selectors 4
    case Simple::LastChild:
        return e.next < 0;
    case Simple::Root:
        return at == tree.root();
    case Simple::Not:
        return !plainMatch(simple.arguments[0], tree, at);
    case Simple::Is:
        return plainMatch(simple.arguments[0], tree, at) || plainMatch(simple.arguments[1], tree, at);
    }
    return false;
}

// Every way the steps could lie on the tree, tried one by one.
bool plainMatch(const QList<Step>& steps, qsizetype last, const PageTree& tree, int at)
{
    for (const Simple& simple : steps[last].compound) {
        if (!plainMatch(simple, tree, at))
            return false;
    }
    if (last == 0)
        return true;
    const PageTree::Element& e = tree.at(at);
    switch (steps[last].combinator) {
    case '>':
        return e.parent >= 0 && plainMatch(steps, last - 1, tree, e.parent);
    case '+':
        return e.previous >= 0 && plainMatch(steps, last - 1, tree, e.previous);
    case '~':
        for (int s = e.previous; s >= 0; s = tree.at(s).previous) {
            if (plainMatch(steps, last - 1, tree, s))
                return true;
        }
        return false;
    default:
        for (int up = e.parent; up >= 0; up = tree.at(up).parent) {
            if (plainMatch(steps, last - 1, tree, up))
                return true;
        }
        return false;
    }
}

QString randomPage(QRandomGenerator& random)
{
    QString page = QStringLiteral("<body>");
    QStringList open;
    for (int i = 0; i < 14; ++i) {
        if (!open.isEmpty() && random.bounded(3) == 0) {
            page += QStringLiteral("</") + open.takeLast() + u'>';
            continue;
        }
        const QString tag = tags[random.bounded(tags.size())];
        page += u'<' + tag;
        if (random.bounded(2))
            page += QStringLiteral(" class=\"%1 %2\"").arg(words[random.bounded(3)], words[random.bounded(3)]);
        if (random.bounded(4) == 0)
            page += QStringLiteral(" id=%1").arg(words[random.bounded(3)]);
        if (random.bounded(3) == 0)
            page += QStringLiteral(" data-%1").arg(words[random.bounded(3)]);
        if (random.bounded(3) == 0)
            page += QStringLiteral(" title=%1-%2").arg(words[random.bounded(3)], words[random.bounded(3)]);
        page += u'>';
        open.append(tag);
    }
    return page;
}

// A complex selector drawn at random, as text and as the steps plainMatch() reads.
QString randomSelector(QRandomGenerator& random, QList<Step>& steps)
{
    static const char combinators[] = {' ', '>', '+', '~'};
    QString selector;
    const int length = random.bounded(1, 4);
    for (int i = 0; i < length; ++i) {
        Step step;
        step.combinator = i ? combinators[random.bounded(4)] : 0;
        for (int j = random.bounded(1, 3); j > 0; --j)
            step.compound.append(randomSimple(random, 0));
        // A type selector comes first in its compound.
        std::stable_partition(step.compound.begin(), step.compound.end(),
            [](const Simple& simple) { return simple.kind == Simple::Type; });
        if (step.compound.size() == 2 && step.compound[1].kind == Simple::Type)
            step.compound.removeLast();
        if (i)
            selector += step.combinator == ' ' ? QStringLiteral(" ") : QStringLiteral(" %1 ").arg(step.combinator);
        for (const Simple& simple : std::as_const(step.compound))
            selector += text(simple);
        steps.append(step);
    }
    return selector;
}

} // namespace

// Random selectors on random trees match exactly where a plain reading of them, trying every way they
// could lie on the tree, says they do, with the specificity Selectors 4 gives.
void TestCascade::selectorsMatchAsAPlainReadingOfThemDoes()
{
    QRandomGenerator random(4);
    for (int run = 0; run < 300; ++run) {
        const QString page = randomPage(random);
        const PageTree tree = PageTree::fromPage(page);
        QList<Step> steps;
        const QString selector = randomSelector(random, steps);
        const std::optional<Selectors> parsed = Selectors::parse(CssParser::values(selector));
        QVERIFY2(parsed, qPrintable(selector));
        WorkBudget budget(1 << 24);
        Selectors::Matcher matcher(tree, {}, budget);
        for (int at = 0; at < tree.elements().size(); ++at) {
            const bool expected = plainMatch(steps, steps.size() - 1, tree, at);
            QVERIFY2(parsed->match(at, matcher).has_value() == expected,
                qPrintable(QStringLiteral("%1 on element %2 of %3").arg(selector).arg(at).arg(page)));
        }
    }
}

// The cascade tries only the rules whose selectors' rightmost compounds (or the selectors of an :is()
// there) an element's classes, id, attributes, type or being the root can satisfy. Many random rules on random trees,
// each marking the elements it matches with a custom property of its own that is not inherited, mark exactly those a
// plain reading of the selectors matches: the index never leaves out a rule that matches, whatever the list's shape.
// The styles of every element at once mark the same, though they share declarations between siblings alike and pass
// over selectors whose ancestors an element lacks.
void TestCascade::rulesIndexedMatchAsAPlainReadingDoes()
{
    QRandomGenerator random(26);
    for (int run = 0; run < 200; ++run) {
        const PageTree tree = PageTree::fromPage(randomPage(random));
        QList<QList<QList<Step>>> rules; // each a selector list
        QString css;
        for (int rule = 0; rule < 40; ++rule) {
            QStringList selectors;
            QList<QList<Step>> list;
            for (int i = random.bounded(1, 3); i > 0; --i) {
                list.append(QList<Step>());
                selectors << randomSelector(random, list.last());
                // A box other than the element's, which matches no element.
                if (random.bounded(10) == 0) {
                    selectors.last() += QStringLiteral("::placeholder");
                    list.removeLast();
                }
            }
            // A universal rule now and then, which no key can index.
            if (random.bounded(8) == 0) {
                list.append({Step{{Simple{Simple::Not, {}, {Simple{Simple::Id, QStringLiteral("none"), {}}}}}, 0}});
                selectors << QStringLiteral(":not(#none)");
            }
            rules.append(list);
            css += QStringLiteral("@property --r%1 { syntax: '*'; inherits: false }\n%2 { --r%1: 1; --h%1: 1 }\n")
                       .arg(rule)
                       .arg(selectors.join(QStringLiteral(", ")));
        }
        WorkBudget budget(1 << 24);
        Cascade cascade(tree, {}, budget);
        cascade.addStyleSheet(css, {}, {}, {});
        const QList<Cascade::Style> all = cascade.allStyles();
        for (int at = 0; at < tree.elements().size(); ++at) {
            const Cascade::Style style = cascade.stylesDownTo(at, {}).last();
            for (qsizetype rule = 0; rule < rules.size(); ++rule) {
                const bool expected = std::any_of(rules[rule].begin(), rules[rule].end(),
                    [&](const QList<Step>& steps) { return plainMatch(steps, steps.size() - 1, tree, at); });
                const QString mark = QStringLiteral("--r%1").arg(rule);
                QVERIFY2(style.customs.value(mark).has_value() == expected,
                    qPrintable(QStringLiteral("rule %1 on element %2 of\n%3").arg(rule).arg(at).arg(css)));
                // --h…, which inherits, is on the element or below one it matches.
                bool inherited = false;
                for (int up = at; up >= 0 && !inherited; up = tree.at(up).parent)
                    inherited = std::any_of(rules[rule].begin(), rules[rule].end(),
                        [&](const QList<Step>& steps) { return plainMatch(steps, steps.size() - 1, tree, up); });
                const QString held = QStringLiteral("--h%1").arg(rule);
                QVERIFY2(all[at].customs.value(held).has_value() == inherited
                        && all[at].customs.value(mark).has_value() == expected,
                    qPrintable(QStringLiteral("all at once: rule %1 on element %2 of\n%3").arg(rule).arg(at).arg(css)));
            }
        }
    }
}

// What one reading keeps for the next (the parsed sheets, what their rules read as, each element's
// style between the link's states) changes nothing: random pages and style sheets read in both
// colour schemes sharing all they can, and in the link's states in any order, read as they do
// from scratch.
void TestCascade::sharedWorkReadsAsFreshWork()
{
    static const QStringList selectors{QStringLiteral("html"), QStringLiteral("body"), QStringLiteral(":root"),
        QStringLiteral("a"), QStringLiteral("p a"), QStringLiteral("a:hover"), QStringLiteral("a:visited"),
        QStringLiteral(":root:hover"), QStringLiteral("body:active"), QStringLiteral(".x"),
        QStringLiteral("html:has(a:hover)"), QStringLiteral("a:is(:active, .y)")};
    static const QStringList declarations{QStringLiteral("color: var(--c, teal)"), QStringLiteral("--c: #%1%1%1"),
        QStringLiteral("background: #%1 url(x)"), QStringLiteral("background-color: rgb(%1 0 0 / 50%)"),
        QStringLiteral("color-scheme: light dark"), QStringLiteral("color: light-dark(#%1, #eee)"),
        QStringLiteral("--c: var(--d)"), QStringLiteral("--d: #%1"), QStringLiteral("opacity: 0.%1"),
        QStringLiteral("color: red !important"), QStringLiteral("content: '%1'")};
    QRandomGenerator random(2026);
    const auto block = [&] {
        QString text;
        for (int i = random.bounded(1, 4); i > 0; --i)
            text += QString(declarations[random.bounded(declarations.size())])
                        .replace(QStringLiteral("%1"), QString::number(random.bounded(10)))
                + u';';
        return text;
    };
    for (int run = 0; run < 150; ++run) {
        QString css;
        for (int rule = random.bounded(2, 12); rule > 0; --rule) {
            QString text = selectors[random.bounded(selectors.size())] + u'{' + block();
            if (random.bounded(3) == 0) // a nested rule
                text += QStringLiteral("& %1 {%2}").arg(selectors[random.bounded(selectors.size())], block());
            text += u'}';
            if (random.bounded(3) == 0)
                text = QStringLiteral("@media (prefers-color-scheme: %1) {%2}")
                           .arg(random.bounded(2) ? QStringLiteral("dark") : QStringLiteral("light"), text);
            css += text;
        }
        const bool page = random.bounded(2);
        const QString text
            = page ? QStringLiteral("<style>%1</style><body class=x><p><a class=y href=#>a</a>").arg(css) : css;
        const PageColours::Kind kind = page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet;
        PageColours::Options options;
        options.shared = std::make_shared<PageColours::Shared>();
        std::optional<PageColours> light;
        for (const bool dark : {false, true}) {
            options.dark = dark;
            PageColours::Options alone;
            alone.dark = dark;
            const PageColours shared = PageColours::read(text, kind, options);
            const PageColours fresh = PageColours::read(text, kind, alone);
            QVERIFY2(shared.colours == fresh.colours && shared.unusable == fresh.unusable
                    && shared.schemeSensitive == fresh.schemeSensitive,
                qPrintable(
                    QStringLiteral("%1 in %2").arg(text, dark ? QStringLiteral("dark") : QStringLiteral("light"))));
            // A reading that says the other scheme reads alike is taken at its word: the dark one is then
            // never read.
            if (light && !light->schemeSensitive)
                QVERIFY2(fresh.colours == light->colours && fresh.unusable == light->unusable, qPrintable(text));
            light = fresh;
        }
        // The link's states in a random order on one cascade, each against a cascade of its own.
        const PageTree tree = page ? PageTree::fromPage(text) : PageTree::model();
        WorkBudget budget(1 << 24);
        Cascade cascade(tree, {}, budget);
        cascade.addStyleSheet(page ? tree.sheets().first().text : css, {}, {}, {});
        for (int i = 0; i < 4; ++i) {
            const Selectors::State state{tree.link(), random.bounded(2) == 1, random.bounded(2) == 1};
            WorkBudget own(1 << 24);
            Cascade alone(tree, {}, own);
            alone.addStyleSheet(page ? tree.sheets().first().text : css, {}, {}, {});
            const QList<Cascade::Style> kept = cascade.stylesDownTo(tree.link(), state);
            const QList<Cascade::Style> fresh = alone.stylesDownTo(tree.link(), state);
            for (qsizetype at = 0; at < kept.size(); ++at) {
                QVERIFY2(kept[at].colour == fresh[at].colour && kept[at].background == fresh[at].background
                        && kept[at].opacity == fresh[at].opacity && kept[at].customs.keys() == fresh[at].customs.keys(),
                    qPrintable(QStringLiteral("element %1 of the link's path, state %2%3, in %4")
                                   .arg(at)
                                   .arg(state.visited)
                                   .arg(state.pressed)
                                   .arg(text)));
            }
        }
    }
}

// Past the most rules, or selectors, read, the rest of the sheet is left out and a note says so; what
// came before still reads.
void TestCascade::rulesPastTheMostReadAreLeftOutWithANote()
{
    const QString first = QStringLiteral("body{color:#010203}");
    const QString last = QStringLiteral("body{color:#040506}");
    const QString manyRules = first + repeated(QStringLiteral("a{color:red}"), int(Cascade::MaximumRules)) + last;
    const QString manySelectors = first + repeated(QStringLiteral("a,"), int(Cascade::MaximumSelectors))
        + QStringLiteral("a{color:red}") + last;
    const QString longSelector = first + repeated(QStringLiteral(".x"), int(Cascade::MaximumSelectorTokens / 2))
        + QStringLiteral("{color:red}") + last;
    // And a page past the most elements read, the style element after them left out with them.
    const QString manyElements = QStringLiteral("<style>") + first + QStringLiteral("</style>")
        + repeated(QStringLiteral("<b></b>"), HtmlNesting::MaxElements) + QStringLiteral("<style>") + last
        + QStringLiteral("</style>");
    const QString manyDeclarations = first + QStringLiteral("a{")
        + repeated(QStringLiteral("color:red;"), int(Cascade::MaximumDeclarations)) + QStringLiteral("}") + last;
    const QString manyTokens = first + repeated(QStringLiteral("!"), int(CssParser::MaximumTokens)) + last;
    for (const QString& text : {manyRules, manySelectors, longSelector, manyElements, manyDeclarations, manyTokens}) {
        const auto kind = text == manyElements ? PageColours::Kind::Page : PageColours::Kind::StyleSheet;
        const PageColours colours = PageColours::read(text, kind, {});
        QCOMPARE(hex(colours.colours[Slot::Text]), QStringLiteral("#010203"));
        QVERIFY(colours.notes.join(u' ').contains(QLatin1String("left out")));
    }
    const PageColours under
        = PageColours::read(first + repeated(QStringLiteral("a,"), 1000) + QStringLiteral("a{color:red}") + last,
            PageColours::Kind::StyleSheet, {});
    QCOMPARE(hex(under.colours[Slot::Text]), QStringLiteral("#040506"));
    QVERIFY(under.notes.isEmpty());
}

// A value of a read property is weighed before it is copied out of its rule, and of a long background
// only its colour and last image are kept: whatever its length, a value reads as a short one with the
// same colour, image and layers does. The rules are in data/long-values.txt.
void TestCascade::longValuesReadAsTheirShortForms()
{
    QFile rules(QFINDTESTDATA("data/long-values.txt"));
    QVERIFY(rules.open(QIODevice::ReadOnly | QIODevice::Text));
    const auto lines = QString::fromUtf8(rules.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& rule : lines) {
        if (rule.startsWith(u'#'))
            continue;
        const auto read = [&rule](const QString& word, int count) {
            const PageColours colours
                = PageColours::read(rule.arg(repeated(word, count).trimmed()), PageColours::Kind::StyleSheet, {});
            return std::tuple(hex(colours.colours[Slot::Background]), hex(colours.colours[Slot::Text]),
                colours.unusable, colours.marginLeft, colours.marginTop);
        };
        for (const QString& word : {QStringLiteral("1 "), QStringLiteral("1,"), QStringLiteral("center ")}) {
            const auto few = read(word, 2);
            for (const int many : {5, 1001, 20'000})
                QVERIFY2(read(word, many) == few, qPrintable(rule.arg(word) + QString::number(many)));
        }
    }
}

QTEST_GUILESS_MAIN(TestCascade)
#include "tst_cascade.moc"
