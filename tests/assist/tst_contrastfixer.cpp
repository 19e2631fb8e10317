#include "assist/ContrastFixer.h"
#include "colour/Apca.h"
#include "colour/ColourScheme.h"
#include "colour/Srgb.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

using ContrastFixer::Target;
Q_DECLARE_METATYPE(ContrastFixer::Target)

namespace {

// The checks below use their own luminance, ratio and Oklab (by way of CIE XYZ), so a fault in the
// program's versions cannot hide behind a shared helper.
double channelLight(double v)
{
    return v > 0.04045 ? std::pow((v + 0.055) / 1.055, 2.4) : v / 12.92;
}

double relativeLuminance(const QColor& c)
{
    return 0.2126 * channelLight(c.red() / 255.0) + 0.7152 * channelLight(c.green() / 255.0)
        + 0.0722 * channelLight(c.blue() / 255.0);
}

double contrast(double y1, double y2)
{
    return y1 > y2 ? (y1 + 0.05) / (y2 + 0.05) : (y2 + 0.05) / (y1 + 0.05);
}

struct Lab {
    double L, a, b;
    double chroma() const { return std::sqrt(a * a + b * b); }
    double hue() const { return std::atan2(b, a); }
};

Lab toOklab(const QColor& c)
{
    const double r = channelLight(c.red() / 255.0), g = channelLight(c.green() / 255.0),
                 b = channelLight(c.blue() / 255.0);
    // CSS Color 4's constants, which browsers paint with, to ten places: plenty for a check of hue.
    const double x = 0.4123907993 * r + 0.3575843394 * g + 0.1804807884 * b;
    const double y = 0.2126390059 * r + 0.7151686788 * g + 0.0721923154 * b;
    const double z = 0.0193308187 * r + 0.1191947798 * g + 0.9505321522 * b;
    const double l = std::cbrt(0.8190224380 * x + 0.3619062601 * y - 0.1288737815 * z);
    const double m = std::cbrt(0.0329836539 * x + 0.9292868616 * y + 0.0361446664 * z);
    const double s = std::cbrt(0.0481771894 * x + 0.2642395318 * y + 0.6335478285 * z);
    return {0.2104542683 * l + 0.7936177747 * m - 0.0040720430 * s,
        1.9779985324 * l - 2.4285922420 * m + 0.4505937096 * s, 0.0259040425 * l + 0.7827717125 * m - 0.8086757549 * s};
}

double hueTurnDegrees(const Lab& x, const Lab& y)
{
    double turn = std::abs(x.hue() - y.hue());
    if (turn > std::numbers::pi)
        turn = 2 * std::numbers::pi - turn;
    return turn * 180.0 / std::numbers::pi;
}

constexpr int Links[] = {Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};
constexpr int Foreground[] = {Slot::Text, Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};

void setColour(ColourScheme& scheme, int slot, const QColor& c)
{
    scheme.setChannel(slot, Channel::Red, static_cast<qint16>(c.red()));
    scheme.setChannel(slot, Channel::Green, static_cast<qint16>(c.green()));
    scheme.setChannel(slot, Channel::Blue, static_cast<qint16>(c.blue()));
}

QColor randomColour(QRandomGenerator& random, int kind)
{
    const auto channel = [&](int low, int high) { return low + static_cast<int>(random.bounded(high - low + 1)); };
    switch (kind) {
    case 1: { // near-grey: hue barely defined
        const int v = channel(0, 255);
        return QColor(std::clamp(v + channel(-6, 6), 0, 255), std::clamp(v + channel(-6, 6), 0, 255),
            std::clamp(v + channel(-6, 6), 0, 255));
    }
    case 2: { // grey
        const int v = channel(0, 255);
        return QColor(v, v, v);
    }
    default:
        return QColor(channel(0, 255), channel(0, 255), channel(0, 255));
    }
}

// CSS Color 4's luminance: the Y row of its sRGB to XYZ matrix, unrounded.
double cssLuminance(const QColor& c)
{
    return 0.21263900587151027 * channelLight(c.red() / 255.0) + 0.715168678767756 * channelLight(c.green() / 255.0)
        + 0.07219231536073371 * channelLight(c.blue() / 255.0);
}

// Whether a pair reaches `needed` by both luminances.
bool reaches(const QColor& x, const QColor& y, double needed)
{
    return contrast(relativeLuminance(x), relativeLuminance(y)) >= needed
        && contrast(cssLuminance(x), cssLuminance(y)) >= needed;
}

// The brute force: every colour a slot may take, found by walking its lightness line in steps of
// 1/16384 (the corners of the 8-bit cell around each point that keep the hue within 1.5 degrees or
// have chroma at most 0.019), each with its luminances and its Oklab distance from the original,
// cheapest first.
struct Option {
    QColor colour;
    Lab lab;
    double y; // WCAG 2 luminance
    double css; // CSS Color 4 luminance
    Apca::Powers apca; // APCA screen luminance, soft-clamped, with its powers
    double cost;
    double lightness; // OKLCH
};

constexpr int BruteSteps = 16384;

// The linear light of each 8-bit code and of each halfway point between codes.
struct Codes {
    std::array<double, 256> at{};
    std::array<double, 255> halfway{};
    Codes()
    {
        for (int k = 0; k < 256; ++k)
            at[static_cast<std::size_t>(k)] = channelLight(k / 255.0);
        for (int k = 0; k < 255; ++k)
            halfway[static_cast<std::size_t>(k)] = channelLight((k + 0.5) / 255.0);
    }
};

std::vector<Option> bruteOptions(const QColor& original)
{
    const auto lin = [](const QColor& c) {
        return Srgb::Linear{
            channelLight(c.red() / 255.0), channelLight(c.green() / 255.0), channelLight(c.blue() / 255.0)};
    };
    const Srgb::Oklab home = Srgb::oklab(lin(original));
    const double chroma = std::hypot(home.a, home.b);
    const double hue = std::atan2(home.b, home.a);
    const double cosHue = std::cos(hue);
    const double sinHue = std::sin(hue);
    const auto at = [&](double L, double c) { return Srgb::fromOklab({L, c * cosHue, c * sinHue}); };
    static const Codes codes;
    const auto inside = [](const Srgb::Linear& v) {
        return std::all_of(v.begin(), v.end(), [](double x) { return x >= -1e-12 && x <= 1 + 1e-12; });
    };
    const auto keepsHue = [&](const QColor& c) {
        const Srgb::Oklab lab = Srgb::oklab(lin(c));
        const double turn = std::abs(std::remainder(std::atan2(lab.b, lab.a) - hue, 2 * std::numbers::pi));
        return std::hypot(lab.a, lab.b) <= 0.019 || turn <= 1.5 * std::numbers::pi / 180.0;
    };
    std::vector<QColor> found{original};
    double edge = chroma;
    std::array<int, 9> last{-1};
    for (int k = 0; k <= BruteSteps; ++k) {
        const double L = static_cast<double>(k) / BruteSteps;
        Srgb::Linear v = at(L, chroma);
        if (!inside(v)) {
            // The edge moves little between steps: bracket it there, else from the grey axis.
            double low = std::max(0.0, edge - 0.0005);
            double high = std::min(chroma, edge + 0.0005);
            if (!inside(at(L, low)) || inside(at(L, high))) {
                low = 0.0;
                high = chroma;
            }
            while (high - low > 1e-9)
                (inside(at(L, 0.5 * (low + high))) ? low : high) = 0.5 * (low + high);
            edge = low;
            v = at(L, low);
        }
        // A channel on the edge of sRGB is 0 or 1, not a hair inside.
        std::array<int, 9> key{}; // nearest, rounded down, rounded up
        for (std::size_t i = 0; i < 3; ++i) {
            double x = v[i];
            x = x < 1e-8 ? 0.0 : x > 1 - 1e-8 ? 1.0 : x;
            key[i] = static_cast<int>(
                std::upper_bound(codes.halfway.begin(), codes.halfway.end(), x) - codes.halfway.begin());
            const int down
                = static_cast<int>(std::upper_bound(codes.at.begin(), codes.at.end(), x) - codes.at.begin()) - 1;
            key[3 + i] = down;
            key[6 + i] = codes.at[static_cast<std::size_t>(down)] == x ? down : down + 1;
        }
        if (key == last)
            continue;
        last = key;
        for (int corner = 0; corner < 8; ++corner) {
            const auto pick = [&](int i) { return key[static_cast<std::size_t>((corner >> i) & 1 ? 6 + i : 3 + i)]; };
            const QColor c(pick(0), pick(1), pick(2));
            if (keepsHue(c))
                found.push_back(c);
        }
    }
    std::vector<Option> options;
    QSet<QRgb> seen;
    for (const QColor& c : found) {
        if (seen.contains(c.rgb()))
            continue;
        seen.insert(c.rgb());
        const Srgb::Oklab lab = Srgb::oklab(lin(c));
        const double cost = std::sqrt((lab.L - home.L) * (lab.L - home.L) + (lab.a - home.a) * (lab.a - home.a)
            + (lab.b - home.b) * (lab.b - home.b));
        options.push_back({c, toOklab(c), relativeLuminance(c), cssLuminance(c), Apca::powers(Apca::screenLuminance(c)),
            c == original ? 0.0 : cost, lab.L});
    }
    std::sort(options.begin(), options.end(), [](const Option& x, const Option& y) { return x.cost < y.cost; });
    return options;
}

Option optionOf(const QColor& c)
{
    return {c, toOklab(c), relativeLuminance(c), cssLuminance(c), Apca::powers(Apca::screenLuminance(c)), 0.0,
        Srgb::oklab(Srgb::linear(c)).L};
}

bool optionReaches(const Option& x, const Option& y, double needed)
{
    return contrast(x.y, y.y) >= needed && contrast(x.css, y.css) >= needed;
}

// What text and links need against the background: a WCAG 2 ratio by both luminances, or |Lc|.
struct Need {
    bool apca;
    double level;
    bool met(const Option& fore, const Option& back) const
    {
        return apca ? std::abs(Apca::lightnessContrast(fore.apca, back.apca)) >= level
                    : optionReaches(fore, back, level);
    }
};

double labDistance(const Lab& x, const Lab& y)
{
    return std::sqrt((x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b));
}

// How the author told the link states apart: pairs that differed must stay different, and the active
// link must stand at least this far from the link in Oklab (0 when they were the same).
struct States {
    bool linkVisited;
    bool visitedActive;
    double activeFromLink;
};

States statesOf(const ColourScheme& scheme)
{
    const QColor link = scheme.colour(Slot::NewLink);
    const QColor visited = scheme.colour(Slot::VisitedLink);
    const QColor active = scheme.colour(Slot::ActiveLink);
    return {link != visited, visited != active,
        link == active ? 0.0 : std::min(0.02, labDistance(toOklab(link), toOklab(active)))};
}

bool keepsStates(const States& states, const Option& link, const Option& visited, const Option& active)
{
    return !(states.linkVisited && link.colour == visited.colour)
        && !(states.visitedActive && visited.colour == active.colour)
        && labDistance(link.lab, active.lab) >= states.activeFromLink - 1e-9;
}

bool keepsStates(const States& states, const ColourScheme& s)
{
    return keepsStates(states, optionOf(s.colour(Slot::NewLink)), optionOf(s.colour(Slot::VisitedLink)),
        optionOf(s.colour(Slot::ActiveLink)));
}

// The least total cost of text and link options on background `back`; infinity when nothing meets
// the rules. Texts are tried cheapest first; for each, every link, active and visited option that
// fits, cheapest first, until no cheaper total is left to find.
double bruteForce(const std::vector<std::vector<Option>>& fore,
    const Option& back,
    const Need& needed,
    bool apart,
    const States& states)
{
    constexpr double Infinite = std::numeric_limits<double>::infinity();
    std::array<std::vector<const Option*>, 4> fits;
    std::array<double, 4> darkest{};
    std::array<double, 4> lightest{};
    for (std::size_t i = 0; i < 4; ++i) {
        darkest[i] = Infinite;
        lightest[i] = -Infinite;
        for (const Option& o : fore[i]) {
            if (needed.met(o, back)) {
                fits[i].push_back(&o);
                darkest[i] = std::min(darkest[i], o.y);
                lightest[i] = std::max(lightest[i], o.y);
            }
        }
        if (fits[i].empty())
            return Infinite;
    }
    double best = Infinite;
    for (const Option* text : fits[0]) {
        if (text->cost >= best)
            break;
        const auto fitsText = [&](const Option* o) { return !apart || optionReaches(*o, *text, 3.0); };
        // No link of some state reaches 3:1 from this text at all.
        bool room = true;
        for (std::size_t i = 1; i < 4 && apart; ++i)
            room = room && (contrast(darkest[i], text->y) >= 3.0 || contrast(lightest[i], text->y) >= 3.0);
        if (!room)
            continue;
        const auto cheapest = [&](std::size_t i) {
            const auto it = std::find_if(fits[i].begin(), fits[i].end(), fitsText);
            return it == fits[i].end() ? Infinite : (*it)->cost;
        };
        const double leastVisited = cheapest(2);
        const double leastActive = cheapest(3);
        for (const Option* link : fits[1]) {
            if (text->cost + link->cost + leastVisited + leastActive >= best)
                break;
            if (!fitsText(link))
                continue;
            for (const Option* active : fits[3]) {
                if (text->cost + link->cost + active->cost + leastVisited >= best)
                    break;
                if (!fitsText(active))
                    continue;
                for (const Option* visited : fits[2]) {
                    const double total = text->cost + link->cost + active->cost + visited->cost;
                    if (total >= best)
                        break;
                    if (fitsText(visited) && keepsStates(states, *link, *visited, *active)) {
                        best = total;
                        break;
                    }
                }
            }
        }
        if (!apart)
            break; // the text is free of the links: its cheapest is the one
    }
    return best;
}

} // namespace

class TestContrastFixer : public QObject {
    Q_OBJECT
private slots:
    void randomSchemes();
    void darkCompanion();
    void knownSchemes_data();
    void knownSchemes();
};

void TestContrastFixer::randomSchemes()
{
    std::vector<ContrastFixer::Setting> settings;
    for (const Target target : ContrastFixer::Targets) {
        settings.push_back({target, false});
        settings.push_back({target, true});
    }
    QRandomGenerator random(1400);
    // Sanitizer builds run a fifth of the schemes (they are many times slower), as CTest tells them.
    const int schemes
        = qEnvironmentVariableIsSet("HUELOOM_SCHEMES") ? qEnvironmentVariableIntValue("HUELOOM_SCHEMES") : 500;
    // How many moved backgrounds per setting are checked against every nearer background.
    constexpr int NearerChecks = 5;
    std::vector<int> moved(settings.size(), 0);
    int compared = 0;
    for (int n = 0; n < schemes; ++n) {
        ColourScheme scheme;
        for (int slot = 0; slot < Slot::Count; ++slot)
            setColour(scheme, slot, randomColour(random, static_cast<int>(random.bounded(4))));
        const QString where = QStringLiteral("scheme %1: %2").arg(n).arg([&] {
            QStringList names;
            for (int slot = 0; slot < Slot::Count; ++slot)
                names << scheme.colour(slot).name();
            return names.join(QLatin1Char(' '));
        }());
        const std::vector<ContrastFixer::Proposal> proposals = ContrastFixer::proposeEach(scheme, settings);
        std::vector<std::vector<Option>> fore;
        for (int slot : Foreground)
            fore.push_back(bruteOptions(scheme.colour(slot)));
        const QColor from = scheme.colour(Slot::Background);
        const Option original = optionOf(from);
        const States states = statesOf(scheme);
        std::vector<Option> backgrounds;

        for (std::size_t k = 0; k < settings.size(); ++k) {
            const Target target = settings[k].target;
            const bool apart = !settings[k].linksUnderlined;
            const QString here = where + QStringLiteral(", ") + ContrastFixer::nameOf(target)
                + (apart ? QStringLiteral(", not underlined") : QStringLiteral(", underlined"));
            const ContrastFixer::Proposal& p = proposals[k];
            const ColourScheme& s = p.scheme;
            const bool apca = ContrastFixer::isApca(target);
            const double level = apca ? 60.0 + 15.0 * (static_cast<int>(target) - static_cast<int>(Target::ApcaLc60))
                                      : (target == Target::AAA ? 7.0 : 4.5);
            QCOMPARE(ContrastFixer::levelFor(target), level);
            const Need needed{apca, level};
            // With 7:1 or Lc 90 against the page, no two 8-bit colours both reach it and stand 3:1 apart
            // (7:1 needs a luminance of exactly 0.1 or 0.3 beside black or white; Lc 90 leaves dark text
            // below 0.08 and light text above 0.69), so those cases meet the page rules only.
            const bool solvable = !((target == Target::AAA || target == Target::ApcaLc90) && apart);
            const bool rulesApart = apart && solvable;
            QVERIFY2(p.solved == solvable, qPrintable(here));

            // Every rule, on the rounded colours: a ratio by both luminances, or |Lc|.
            const QColor back = s.colour(Slot::Background);
            for (int slot : Foreground) {
                const QColor c = s.colour(slot);
                QVERIFY2(apca ? std::abs(Apca::lightnessContrast(c, back)) >= level : reaches(c, back, level),
                    qPrintable(here));
                QCOMPARE(p.lc[static_cast<std::size_t>(slot)], Apca::lightnessContrast(c, back));
            }
            if (rulesApart) {
                for (int slot : Links)
                    QVERIFY2(reaches(s.colour(slot), s.colour(Slot::Text), 3.0), qPrintable(here));
            }
            // The link states stay as far apart as the author set them.
            QVERIFY2(keepsStates(states, s), qPrintable(here));

            // Hue holds wherever there is colour to hold it.
            for (int slot = 0; slot < Slot::Count; ++slot) {
                const Lab before = toOklab(scheme.colour(slot));
                const Lab after = toOklab(s.colour(slot));
                if (s.colour(slot) != scheme.colour(slot) && after.chroma() > 0.02)
                    QVERIFY2(
                        hueTurnDegrees(before, after) <= 2.0, qPrintable(here + QStringLiteral(" slot %1").arg(slot)));
            }

            // A colour that already meets its rules against the proposed others stays exactly.
            QCOMPARE(p.backgroundMoved, back != from);
            for (int slot : Foreground) {
                const QColor c = scheme.colour(slot);
                bool fine = apca ? std::abs(Apca::lightnessContrast(c, back)) >= level : reaches(c, back, level);
                if (rulesApart && slot == Slot::Text) {
                    for (int link : Links)
                        fine = fine && reaches(c, s.colour(link), 3.0);
                } else if (rulesApart) {
                    fine = fine && reaches(c, s.colour(Slot::Text), 3.0);
                }
                // ... and keeps the link states apart from the proposed others.
                ColourScheme with = s;
                setColour(with, slot, c);
                fine = fine && keepsStates(states, with);
                if (fine)
                    QVERIFY2(s.colour(slot) == c, qPrintable(here + QStringLiteral(" slot %1").arg(slot)));
            }

            // The least change: never more than the brute force's on the same background, and the
            // background kept whenever the brute force finds a solution with it.
            double total = 0.0;
            for (int slot : Foreground)
                total += Srgb::distance(
                    Srgb::oklab(Srgb::linear(s.colour(slot))), Srgb::oklab(Srgb::linear(scheme.colour(slot))));
            const double kept = bruteForce(fore, original, needed, rulesApart, states);
            if (!std::isinf(kept)) {
                QVERIFY2(!p.backgroundMoved, qPrintable(here));
                QVERIFY2(total <= kept + 1e-9, qPrintable(here + QStringLiteral(": %1 > %2").arg(total).arg(kept)));
                ++compared;
                continue;
            }
            // The search may keep a background the grid misses a solution for (a colour on a sliver of
            // a line); otherwise the proposal is held to the brute force on its own background.
            if (!p.backgroundMoved)
                continue;
            const double there = bruteForce(fore, optionOf(back), needed, rulesApart, states);
            QVERIFY2(total <= there + 1e-9, qPrintable(here + QStringLiteral(": %1 > %2").arg(total).arg(there)));
            ++compared;
            // ... and the background moves the least: the brute force's nearest workable one is no nearer.
            if (++moved[k] > NearerChecks)
                continue;
            if (backgrounds.empty())
                backgrounds = bruteOptions(from);
            const double shift = Srgb::distance(Srgb::oklab(Srgb::linear(back)), Srgb::oklab(Srgb::linear(from)));
            for (const Option& nearer : backgrounds) {
                if (nearer.cost > shift + 1e-12)
                    break;
                const double cost = bruteForce(fore, nearer, needed, rulesApart, states);
                // A nearer one works for none; one as near leaves the others no less change.
                if (nearer.cost < shift - 1e-12)
                    QVERIFY2(std::isinf(cost),
                        qPrintable(here + QStringLiteral(": nearer background ") + nearer.colour.name()));
                else
                    QVERIFY2(total <= cost + 1e-9,
                        qPrintable(here + QStringLiteral(": background as near ") + nearer.colour.name()));
            }
        }
    }
    QStringList counts;
    for (std::size_t k = 0; k < settings.size(); ++k)
        counts << QString::number(moved[k]);
    qInfo("moved backgrounds per setting: %s of %d", qPrintable(counts.join(QStringLiteral(", "))), schemes);
    qInfo("%d proposals held to the brute force", compared);
    QVERIFY(schemes < 500 || compared >= 500);
}

// OKLCH lightness as the search prices it.
static double lightnessOf(const QColor& c)
{
    return Srgb::oklab(Srgb::linear(c)).L;
}

// The dark companion, against the same brute force with each colour priced by its lightness distance
// from its mirrored lightness.
void TestContrastFixer::darkCompanion()
{
    QRandomGenerator random(2000);
    const int schemes
        = (qEnvironmentVariableIsSet("HUELOOM_SCHEMES") ? qEnvironmentVariableIntValue("HUELOOM_SCHEMES") : 500) / 5;
    for (int n = 0; n < schemes; ++n) {
        ColourScheme scheme;
        for (int slot = 0; slot < Slot::Count; ++slot)
            setColour(scheme, slot, randomColour(random, static_cast<int>(random.bounded(4))));
        std::vector<std::vector<Option>> fore;
        for (int slot : Foreground) {
            std::vector<Option> options = bruteOptions(scheme.colour(slot));
            const double mirrored = 1.0 - lightnessOf(scheme.colour(slot));
            for (Option& o : options)
                o.cost = std::abs(o.lightness - mirrored);
            std::sort(options.begin(), options.end(), [](const Option& x, const Option& y) { return x.cost < y.cost; });
            fore.push_back(std::move(options));
        }
        const Target target = ContrastFixer::Targets[n % 5];
        const bool underlined = n % 2 == 1;
        const bool apca = ContrastFixer::isApca(target);
        const double level = ContrastFixer::levelFor(target);
        // On a dark page only AA leaves room for links 3:1 from the text: light text that reaches Lc 60
        // has a screen luminance above 0.41, and no two such colours stand 3:1 apart.
        const bool rulesApart = !underlined && target == Target::AA;
        const ContrastFixer::Proposal p = ContrastFixer::proposeDark(scheme, target, underlined);
        const ColourScheme& s = p.scheme;
        const QString here
            = QStringLiteral("scheme %1, %2%3: ")
                  .arg(n)
                  .arg(ContrastFixer::nameOf(target), underlined ? QStringLiteral(", underlined") : QString())
            + [&] {
                  QStringList names;
                  for (int slot = 0; slot < Slot::Count; ++slot)
                      names << scheme.colour(slot).name();
                  return names.join(QLatin1Char(' '));
              }();
        QVERIFY2(p.solved == (underlined || rulesApart), qPrintable(here));

        // Dark, and every hue kept.
        const QColor back = s.colour(Slot::Background);
        QVERIFY2(Srgb::oklab(Srgb::linear(back)).L <= 0.25 + 1e-12, qPrintable(here));
        for (int slot = 0; slot < Slot::Count; ++slot) {
            const Lab after = toOklab(s.colour(slot));
            if (after.chroma() > 0.02)
                QVERIFY2(hueTurnDegrees(toOklab(scheme.colour(slot)), after) <= 2.0, qPrintable(here));
        }
        // Every rule.
        for (int slot : Foreground)
            QVERIFY2(apca ? std::abs(Apca::lightnessContrast(s.colour(slot), back)) >= level
                          : reaches(s.colour(slot), back, level),
                qPrintable(here));
        if (rulesApart) {
            for (int slot : Links)
                QVERIFY2(reaches(s.colour(slot), s.colour(Slot::Text), 3.0), qPrintable(here));
        }
        // The least lightness change from the mirrored lightnesses on that background.
        double total = 0.0;
        for (std::size_t i = 0; i < 4; ++i)
            total += std::abs(lightnessOf(s.colour(Foreground[i])) - (1.0 - lightnessOf(scheme.colour(Foreground[i]))));
        const States states = statesOf(scheme);
        QVERIFY2(keepsStates(states, s), qPrintable(here));
        const double best = bruteForce(fore, optionOf(back), {apca, level}, rulesApart, states);
        QVERIFY2(total <= best + 1e-9, qPrintable(here + QStringLiteral("%1 > %2").arg(total).arg(best)));

        // The background keeps its hue within a degree whenever a dark colour of its hue and chroma lets
        // the rules be met; only when none does may it lose it, and then the proposal says so.
        const Lab home = toOklab(scheme.colour(Slot::Background));
        const bool keptHue = home.chroma() < 0.002 || hueTurnDegrees(home, toOklab(back)) <= 1.0 + 1e-6;
        QCOMPARE(p.backgroundKeepsHue || home.chroma() < 0.002, keptHue);
        if (!keptHue) {
            for (const Option& dark : bruteOptions(scheme.colour(Slot::Background))) {
                if (dark.lightness > 0.25 || dark.lab.chroma() < 1e-6 || hueTurnDegrees(home, dark.lab) > 1.0)
                    continue;
                QVERIFY2(std::isinf(bruteForce(fore, dark, {apca, level}, rulesApart, states)),
                    qPrintable(here + QStringLiteral(": dark background ") + dark.colour.name()));
            }
        }
    }
}

void TestContrastFixer::knownSchemes_data()
{
    QTest::addColumn<QStringList>("colours");
    QTest::addColumn<Target>("target");
    QTest::addColumn<bool>("underlined");
    QTest::addColumn<bool>("backgroundMoves");
    QTest::addColumn<QString>("unchanged"); // slot digits that must stay exactly

    const QStringList defaults{"#ceceff", "#0055aa", "#007c00", "#003c00", "#00b500"};
    QTest::newRow("default, AA underlined: text and visited link already pass")
        << defaults << Target::AA << true << false << "013";
    QTest::newRow("default, AA not underlined: only the text can make room")
        << defaults << Target::AA << false << false << "0";
    const QStringList blackOnWhite{"#ffffff", "#000000", "#000000", "#000000", "#000000"};
    QTest::newRow("black on white, AAA underlined") << blackOnWhite << Target::AAA << true << false << "01234";
    const QStringList plain{"#ffffff", "#000000", "#0000ee", "#551a8b", "#ee0000"};
    QTest::newRow("browser colours, AA underlined") << plain << Target::AA << true << false << "01234";
    QTest::newRow("browser colours, AA not underlined: blue and purple too close to black text")
        << plain << Target::AA << false << false << "014";
    const QStringList grey{"#808080", "#000000", "#000000", "#000000", "#000000"};
    QTest::newRow("mid-grey, AA underlined: black text passes") << grey << Target::AA << true << false << "01234";
    QTest::newRow("mid-grey, AA not underlined: no room for both; one text move beats three link moves")
        << grey << Target::AA << false << true << "234";
    // Of the backgrounds nearest this ochre, two lie beside its lightness line rather than on it.
    const QStringList ochre{"#c19d12", "#1dd999", "#589674", "#0404d9", "#366e97"};
    QTest::newRow("ochre, AA not underlined: the nearest background is beside the line")
        << ochre << Target::AA << false << true << "";
    const QStringList darkGrey{"#777777", "#000000", "#ffffff", "#ffffff", "#ffffff"};
    QTest::newRow("#777777, AAA: neither black nor white reaches 7:1; lighter is the shorter way")
        << darkGrey << Target::AAA << true << true << "1";
}

void TestContrastFixer::knownSchemes()
{
    QFETCH(QStringList, colours);
    QFETCH(Target, target);
    QFETCH(bool, underlined);
    QFETCH(bool, backgroundMoves);
    QFETCH(QString, unchanged);
    ColourScheme scheme;
    for (int slot = 0; slot < Slot::Count; ++slot)
        setColour(scheme, slot, QColor(colours.at(slot)));
    const ContrastFixer::Proposal p = ContrastFixer::propose(scheme, target, underlined);
    QVERIFY(p.solved);
    QCOMPARE(p.backgroundMoved, backgroundMoves);
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const bool same = p.scheme.colour(slot) == scheme.colour(slot);
        QCOMPARE(same, unchanged.contains(QString::number(slot)));
    }
    if (backgroundMoves)
        QVERIFY(p.backgroundShift != 0.0);
}

QTEST_GUILESS_MAIN(TestContrastFixer)
#include "tst_contrastfixer.moc"
