#include "ContrastFixer.h"

#include "Contrast.h"
#include "Srgb.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <tuple>
#include <vector>

namespace ContrastFixer {

namespace {

// Lightness is tried in steps of 1/2048: finer than one step of an 8-bit channel anywhere on the way
// from black to white, so every colour the rounding can give on that way is among the candidates.
constexpr int Steps = 2048;
// Rounding to 8 bits turns the hue of dark, weakly coloured colours a little; candidates that turn it
// further than this (with chroma above MinChroma) are not offered.
constexpr double HueTolerance = 1.5 * std::numbers::pi / 180.0;
constexpr double MinChroma = 0.019;
const double CosTolerance = std::cos(HueTolerance);
constexpr double Unset = std::numeric_limits<double>::infinity();

using Lab = Srgb::Oklab;
using Srgb::distance;
using Srgb::fromOklab;
using Srgb::oklab;

using Rgb = std::array<int, 3>;
using Linear = Srgb::Linear;

// The same transfer and weights as the rest of the program, so the search compares exactly the ratios
// it shows.
Linear linear(const Rgb& rgb)
{
    return Srgb::linear(rgb[0], rgb[1], rgb[2]);
}

double luminance(const Rgb& rgb)
{
    return Srgb::luminance(linear(rgb));
}

bool passes(double y1, double y2, double needed)
{
    return (std::max(y1, y2) + 0.05) / (std::min(y1, y2) + 0.05) >= needed;
}

bool inGamut(const Linear& c)
{
    constexpr double Slack = 1e-9;
    return std::all_of(c.begin(), c.end(), [](double v) { return v >= -Slack && v <= 1.0 + Slack; });
}

double encoded(double linearValue)
{
    return 255.0 * Srgb::fromLinear(std::clamp(linearValue, 0.0, 1.0));
}

int nearestCode(double linearValue)
{
    return Srgb::nearestCode(linearValue);
}

Rgb rgbOf(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return {c.red(), c.green(), c.blue()};
}

// One colour's way through lightness: its hue and chroma, and where it starts.
class Path {
public:
    explicit Path(const Rgb& rgb)
        : m_rgb(rgb)
        , m_lab(oklab(linear(rgb)))
        , m_chroma(std::hypot(m_lab.a, m_lab.b))
        , m_hue(std::atan2(m_lab.b, m_lab.a))
        , m_cos(std::cos(m_hue))
        , m_sin(std::sin(m_hue))
    {
    }

    const Rgb& rgb() const { return m_rgb; }
    const Lab& lab() const { return m_lab; }

    // The 8-bit colour at `lightness`, or false when rounding cannot keep the hue. `edge`, when given,
    // carries the most chroma sRGB allowed at the previous, nearby lightness: the edge moves little
    // from one step to the next, so a narrow bracket around it saves most of the bisection.
    bool at(double lightness, Rgb& out, Lab& outLab, double* edge = nullptr) const
    {
        double chroma = m_chroma;
        Linear c = fromOklab(polar(lightness, chroma));
        if (!inGamut(c)) {
            // Gamut mapping at constant lightness and hue: the most chroma sRGB can show, by bisection.
            double inside = 0.0;
            double outside = chroma;
            int rounds = 24;
            if (edge && *edge > 0.0) {
                constexpr double Bracket = 0.004;
                const double low = std::max(0.0, *edge - Bracket);
                const double high = std::min(chroma, *edge + Bracket);
                if (inGamut(fromOklab(polar(lightness, low))) && !inGamut(fromOklab(polar(lightness, high)))) {
                    inside = low;
                    outside = high;
                    rounds = 12;
                }
            }
            for (int i = 0; i < rounds; ++i) {
                const double mid = 0.5 * (inside + outside);
                (inGamut(fromOklab(polar(lightness, mid))) ? inside : outside) = mid;
            }
            chroma = inside;
            c = fromOklab(polar(lightness, chroma));
        }
        if (edge)
            *edge = chroma < m_chroma ? chroma : 0.0;
        const Rgb rounded{nearestCode(c[0]), nearestCode(c[1]), nearestCode(c[2])};
        outLab = oklab(linear(rounded));
        if (keepsHue(outLab)) {
            out = rounded;
            return true;
        }
        const Lab aim = polar(lightness, chroma);
        const Linear e{encoded(c[0]), encoded(c[1]), encoded(c[2])};
        // Round the other way on some channels: the nearest 8-bit neighbour that keeps the hue.
        double best = Unset;
        for (int corner = 0; corner < 8; ++corner) {
            Rgb candidate{};
            for (std::size_t i = 0; i < 3; ++i) {
                const double v = (corner >> i) & 1 ? std::ceil(e[i]) : std::floor(e[i]);
                candidate[i] = std::clamp(static_cast<int>(v), 0, 255);
            }
            const Lab lab = oklab(linear(candidate));
            const double d = distance(lab, aim);
            if (keepsHue(lab) && d < best) {
                best = d;
                out = candidate;
                outLab = lab;
            }
        }
        return best < Unset;
    }

private:
    Lab polar(double lightness, double chroma) const { return {lightness, chroma * m_cos, chroma * m_sin}; }

    bool keepsHue(const Lab& lab) const
    {
        const double chroma2 = lab.a * lab.a + lab.b * lab.b;
        if (chroma2 <= MinChroma * MinChroma)
            return true;
        // The angle to the original hue, by its cosine: no arc tangent per candidate.
        const double along = lab.a * m_cos + lab.b * m_sin;
        return along > 0 && along * along >= CosTolerance * CosTolerance * chroma2;
    }

    Rgb m_rgb;
    Lab m_lab;
    double m_chroma;
    double m_hue;
    double m_cos;
    double m_sin;
};

struct Candidate {
    Rgb rgb;
    double luminance;
    double cost; // Oklab distance from the original colour
    double shift; // OKLCH lightness, candidate minus original
};

// Every 8-bit colour a slot may take, by luminance, with a sparse table for the cheapest one in a
// run of luminances: the colours that pass against a given colour leave out one run around it.
class Ladder {
public:
    explicit Ladder(const Rgb& original)
    {
        const Path path(original);
        m_items.push_back({original, luminance(original), 0.0, 0.0});
        double edge = 0.0;
        for (int step = 0; step <= Steps; ++step) {
            Rgb rgb{};
            Lab lab{};
            if (path.at(static_cast<double>(step) / Steps, rgb, lab, &edge))
                m_items.push_back({rgb, luminance(rgb), distance(lab, path.lab()), lab.L - path.lab().L});
        }
        // One entry per colour; the original stays first among equals, so it is never replaced.
        std::stable_sort(m_items.begin(), m_items.end(), [](const Candidate& x, const Candidate& y) {
            return std::tie(x.luminance, x.rgb) < std::tie(y.luminance, y.rgb);
        });
        m_items.erase(std::unique(m_items.begin(), m_items.end(),
                          [](const Candidate& x, const Candidate& y) { return x.rgb == y.rgb; }),
            m_items.end());
        m_luminances.reserve(m_items.size());
        for (const Candidate& item : m_items)
            m_luminances.push_back(item.luminance);
        buildTable();
    }

    int size() const { return static_cast<int>(m_items.size()); }
    const Candidate& item(int index) const { return m_items[static_cast<std::size_t>(index)]; }
    const std::vector<Candidate>& items() const { return m_items; }

    struct Range {
        int first;
        int last; // one past
    };

    // The candidates that fall short of `needed` against luminance `other`: one run, maybe empty.
    Range failing(double other, double needed) const
    {
        const auto begin = m_luminances.begin();
        const auto middle = std::lower_bound(begin, m_luminances.end(), other);
        const auto first = std::partition_point(begin, middle, [&](double y) { return passes(y, other, needed); });
        const auto last
            = std::partition_point(middle, m_luminances.end(), [&](double y) { return !passes(y, other, needed); });
        return {static_cast<int>(first - begin), static_cast<int>(last - begin)};
    }

    // The cheapest candidate outside both runs, or -1.
    int cheapestOutside(Range a, Range b) const
    {
        if (b.first < a.first)
            std::swap(a, b);
        int best = -1;
        int start = 0;
        for (const Range& r : {a, b}) {
            if (r.first >= r.last)
                continue;
            best = cheaper(best, cheapest(start, r.first));
            start = std::max(start, r.last);
        }
        return cheaper(best, cheapest(start, size()));
    }

private:
    int cheaper(int x, int y) const
    {
        if (x < 0)
            return y;
        if (y < 0)
            return x;
        return item(y).cost < item(x).cost ? y : x;
    }

    // The cheapest in [first, last), or -1 when that is empty.
    int cheapest(int first, int last) const
    {
        if (first >= last)
            return -1;
        const int level = std::bit_width(static_cast<unsigned>(last - first)) - 1;
        const auto& row = m_table[static_cast<std::size_t>(level)];
        return cheaper(row[static_cast<std::size_t>(first)], row[static_cast<std::size_t>(last - (1 << level))]);
    }

    void buildTable()
    {
        const int n = size();
        m_table.emplace_back(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            m_table[0][static_cast<std::size_t>(i)] = i;
        for (int span = 2; span <= n; span *= 2) {
            const auto& previous = m_table.back();
            std::vector<int> row(static_cast<std::size_t>(n - span + 1));
            for (int i = 0; i + span <= n; ++i)
                row[static_cast<std::size_t>(i)]
                    = cheaper(previous[static_cast<std::size_t>(i)], previous[static_cast<std::size_t>(i + span / 2)]);
            m_table.push_back(std::move(row));
        }
    }

    std::vector<Candidate> m_items;
    std::vector<double> m_luminances;
    std::vector<std::vector<int>> m_table;
};

constexpr std::array<int, 4> Foreground{Slot::Text, Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};
struct Choice {
    std::array<int, 4> index{-1, -1, -1, -1}; // into the text and link ladders
    double cost = Unset;
};

// Whether any text and link luminances at all can meet the rules on a background of luminance
// `back` (with x = Y + 0.05 from 0.05 to 1.05, each side of the background holds x <= B/T or
// x >= T*B): text and link on opposite sides, or both on one side 3:1 apart. A cheap test that lets the
// search skip backgrounds before trying the candidates.
bool roomForLinksApart(double back, double needed)
{
    constexpr double Slack = 1e-9;
    const double b = back + 0.05;
    const bool darkSide = b / needed >= 0.05 - Slack;
    const bool lightSide = needed * b <= 1.05 + Slack;
    return (darkSide && lightSide) || Contrast::LinkFromText * needed * b <= 1.05 + Slack
        || b / needed >= Contrast::LinkFromText * 0.05 - Slack;
}

// The cheapest text and link colours on a background of luminance `back`.
Choice solveOn(double back, double needed, bool linksApart, const std::array<Ladder, 4>& ladders)
{
    std::array<Ladder::Range, 4> againstBack{};
    for (std::size_t i = 0; i < 4; ++i)
        againstBack[i] = ladders[i].failing(back, needed);
    constexpr Ladder::Range None{0, 0};
    Choice choice;
    if (!linksApart) {
        double total = 0.0;
        for (std::size_t i = 0; i < 4; ++i) {
            choice.index[i] = ladders[i].cheapestOutside(againstBack[i], None);
            if (choice.index[i] < 0)
                return {};
            total += ladders[i].item(choice.index[i]).cost;
        }
        choice.cost = total;
        return choice;
    }
    const Ladder& text = ladders[0];
    const auto tryText = [&](int t) {
        double total = text.item(t).cost;
        if (total >= choice.cost)
            return;
        std::array<int, 4> picked{t, -1, -1, -1};
        for (std::size_t i = 1; i < 4; ++i) {
            const Ladder::Range apart = ladders[i].failing(text.item(t).luminance, Contrast::LinkFromText);
            picked[i] = ladders[i].cheapestOutside(againstBack[i], apart);
            if (picked[i] < 0)
                return;
            total += ladders[i].item(picked[i]).cost;
            if (total >= choice.cost)
                return;
        }
        choice.index = picked;
        choice.cost = total;
    };
    for (int t = 0; t < againstBack[0].first; ++t)
        tryText(t);
    for (int t = againstBack[0].last; t < text.size(); ++t)
        tryText(t);
    return choice;
}

void setColour(ColorScheme& scheme, int slot, const Rgb& rgb)
{
    for (int c = 0; c < Channel::Count; ++c)
        scheme.setChannel(slot, c, static_cast<qint16>(rgb[static_cast<std::size_t>(c)]));
}

Proposal search(const ColorScheme& scheme,
    double needed,
    bool linksApart,
    const std::array<Ladder, 4>& ladders,
    std::optional<Ladder>& backgrounds)
{
    Proposal proposal;
    proposal.scheme = scheme;
    const Rgb back = rgbOf(scheme.colour(Slot::Background));
    Choice choice = solveOn(luminance(back), needed, linksApart, ladders);
    if (choice.cost == Unset) {
        // Nothing works on this background: move it, the least lightness first.
        if (!backgrounds)
            backgrounds.emplace(back);
        std::vector<Candidate> order = backgrounds->items();
        std::stable_sort(order.begin(), order.end(),
            [](const Candidate& x, const Candidate& y) { return std::abs(x.shift) < std::abs(y.shift); });
        for (const Candidate& candidate : order) {
            if (linksApart && !roomForLinksApart(candidate.luminance, needed))
                continue;
            choice = solveOn(candidate.luminance, needed, linksApart, ladders);
            if (choice.cost < Unset) {
                setColour(proposal.scheme, Slot::Background, candidate.rgb);
                proposal.backgroundMoved = candidate.rgb != back;
                proposal.backgroundShift = candidate.shift;
                break;
            }
        }
        if (choice.cost == Unset)
            return proposal;
    }
    for (std::size_t i = 0; i < 4; ++i)
        setColour(proposal.scheme, Foreground[i], ladders[i].item(choice.index[i]).rgb);
    proposal.solved = true;
    return proposal;
}

} // namespace

double ratioFor(Target target)
{
    return target == Target::AAA ? Contrast::AaaNormal : Contrast::AaNormal;
}

Proposal propose(const ColorScheme& scheme, Target target, bool linksUnderlined)
{
    const double needed = ratioFor(target);
    const std::array<Ladder, 4> ladders{Ladder(rgbOf(scheme.colour(Slot::Text))),
        Ladder(rgbOf(scheme.colour(Slot::NewLink))), Ladder(rgbOf(scheme.colour(Slot::VisitedLink))),
        Ladder(rgbOf(scheme.colour(Slot::ActiveLink)))};
    std::optional<Ladder> backgrounds;
    Proposal proposal = search(scheme, needed, !linksUnderlined, ladders, backgrounds);
    if (!proposal.solved && !linksUnderlined) {
        // No background lets links stand 3:1 from the text at this level: meet the background rules.
        proposal = search(scheme, needed, false, ladders, backgrounds);
        proposal.solved = false;
    }
    // The ratios as the rest of the program computes them, from the rounded colours.
    const ColorScheme& s = proposal.scheme;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        proposal.onBackground[static_cast<std::size_t>(slot)]
            = Contrast::ratio(s.colour(slot), s.colour(Slot::Background));
        proposal.fromText[static_cast<std::size_t>(slot)]
            = slot > Slot::Text ? Contrast::ratio(s.colour(slot), s.colour(Slot::Text)) : 1.0;
    }
    proposal.onBackground[Slot::Background] = 1.0;
    if (proposal.solved) {
        for (int slot : Foreground) {
            const auto i = static_cast<std::size_t>(slot);
            const bool link = slot != Slot::Text;
            if (proposal.onBackground[i] < needed
                || (link && !linksUnderlined && proposal.fromText[i] < Contrast::LinkFromText))
                proposal.solved = false;
        }
    }
    return proposal;
}

QColor atLightness(const QColor& colour, double lightness)
{
    Rgb rgb{};
    Lab lab{};
    if (!Path(rgbOf(colour)).at(std::clamp(lightness, 0.0, 1.0), rgb, lab))
        return {};
    return QColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace ContrastFixer
