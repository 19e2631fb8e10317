#include "ContrastFixer.h"

#include "colour/Apca.h"
#include "colour/Contrast.h"
#include "colour/Srgb.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <tuple>
#include <vector>

namespace ContrastFixer {

namespace {

// The lightness line is first sampled on this grid; between samples it is split further wherever a
// channel crosses more than one rounding boundary, so no colour on the way is skipped.
constexpr int GridSteps = 2048;
// Splitting stops here: two boundaries closer than this in lightness are taken as crossed at once.
constexpr double Finest = 1e-13;
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

using Codes = std::array<int, 3>;
using Linear = Srgb::Linear;

Linear linear(const Codes& rgb)
{
    return Srgb::linear(rgb[0], rgb[1], rgb[2]);
}

bool inGamut(const Linear& c)
{
    constexpr double Slack = 1e-12;
    return std::all_of(c.begin(), c.end(), [](double v) { return v >= -Slack && v <= 1.0 + Slack; });
}

Codes rgbOf(const Rgb& colour)
{
    const Rgb& c = colour;
    return {c.red(), c.green(), c.blue()};
}

// Every linear value where a channel's rounding changes: the 8-bit codes themselves (where rounding
// down and up part) and the halfway points between them (where the nearest code changes), in order.
const std::array<double, 511>& boundaries()
{
    static const std::array<double, 511> table = [] {
        std::array<double, 511> t{};
        for (std::size_t i = 0; i < 256; ++i)
            t[2 * i] = Srgb::linearTable()[i];
        for (std::size_t i = 0; i < 255; ++i)
            t[2 * i + 1] = Srgb::halfwayTable()[i];
        return t;
    }();
    return table;
}

// Where a linear value lies among the boundaries; the colours a point rounds to change only where
// one of its channels changes this.
int zone(double v)
{
    const auto& b = boundaries();
    return static_cast<int>(std::upper_bound(b.begin(), b.end(), v) - b.begin());
}

struct Point {
    double lightness;
    Linear linear;
    std::array<int, 3> zones;
    // Channels resting exactly on an 8-bit code, as one on the edge of sRGB rests on 0 or 1. Such a
    // channel has that code for both corners of its cell; a hair off it, the next code is a corner
    // too, so the colours the point stands for differ though its zone does not.
    std::array<bool, 3> onCode;
};

int zoneSteps(const Point& x, const Point& y)
{
    int steps = 0;
    for (std::size_t i = 0; i < 3; ++i)
        steps += std::abs(x.zones[i] - y.zones[i]) + (x.onCode[i] != y.onCode[i] ? 1 : 0);
    return steps;
}

struct Candidate {
    Codes rgb;
    double wcag; // WCAG 2 luminance + 0.05
    double css; // luminance with CSS Color 4's unrounded weights + 0.05
    Apca::Powers apca;
    double cost; // Oklab distance from the original colour
    double shift; // OKLCH lightness, candidate minus original
};

// One colour's line through lightness: its hue, the chroma it keeps where sRGB allows, and every
// 8-bit colour on the way.
class Line {
public:
    explicit Line(const Codes& rgb)
        : m_lab(oklab(linear(rgb)))
        , m_chroma(std::hypot(m_lab.a, m_lab.b))
        , m_cos(m_chroma > 0 ? m_lab.a / m_chroma : 1.0)
        , m_sin(m_chroma > 0 ? m_lab.b / m_chroma : 0.0)
    {
    }

    const Lab& lab() const { return m_lab; }

    // The line's point at `lightness`, chroma lowered to the sRGB edge where needed. `edge` carries the
    // edge chroma of a nearby lightness, where the search for the new one starts.
    Point at(double lightness, double* edge = nullptr) const
    {
        Linear c = fromOklab(polar(lightness, m_chroma));
        if (!inGamut(c)) {
            const double chroma = edgeChroma(lightness, edge && *edge > 0.0 ? *edge : 0.5 * m_chroma);
            if (edge)
                *edge = chroma;
            c = fromOklab(polar(lightness, chroma));
        } else if (edge) {
            *edge = 0.0;
        }
        Point p{lightness, {}, {}, {}};
        const auto& codes = Srgb::linearTable();
        for (std::size_t i = 0; i < 3; ++i) {
            // The channel that holds chroma back rests on 0 or 1 exactly, whatever the search left over.
            constexpr double Rest = 1e-8;
            p.linear[i] = c[i] < Rest ? 0.0 : c[i] > 1.0 - Rest ? 1.0 : c[i];
            p.zones[i] = zone(p.linear[i]);
            p.onCode[i] = std::binary_search(codes.begin(), codes.end(), p.linear[i]);
        }
        return p;
    }

    // The 8-bit colours a point stands for: the nearest one when it keeps the hue, otherwise every
    // colour at the corners of the 8-bit cell around the point that does.
    void colours(const Point& p, std::vector<Codes>& out) const
    {
        const Codes nearest{
            Srgb::nearestCode(p.linear[0]), Srgb::nearestCode(p.linear[1]), Srgb::nearestCode(p.linear[2])};
        if (keepsHue(oklab(linear(nearest)))) {
            out.push_back(nearest);
            return;
        }
        const auto& codes = Srgb::linearTable();
        std::array<int, 3> low{};
        std::array<int, 3> high{};
        for (std::size_t i = 0; i < 3; ++i) {
            const auto above = std::lower_bound(codes.begin(), codes.end(), p.linear[i]);
            high[i] = static_cast<int>(above - codes.begin());
            low[i] = *above == p.linear[i] ? high[i] : high[i] - 1;
        }
        for (int corner = 0; corner < 8; ++corner) {
            Codes c{};
            for (std::size_t i = 0; i < 3; ++i)
                c[i] = (corner >> i) & 1 ? high[i] : low[i];
            if (c != nearest && keepsHue(oklab(linear(c))))
                out.push_back(c);
        }
    }

    // Every colour the line passes through, each once, with the original colour first.
    std::vector<Codes> walk() const
    {
        std::vector<Point> points;
        points.reserve(GridSteps + 16);
        double edge = 0.0;
        for (int step = 0; step <= GridSteps; ++step)
            points.push_back(at(static_cast<double>(step) / GridSteps, &edge));
        addTurns(points);
        std::vector<Codes> found;
        found.reserve(4 * GridSteps);
        for (std::size_t i = 0; i < points.size(); ++i) {
            colours(points[i], found);
            if (i + 1 < points.size())
                split(points[i], points[i + 1], found);
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        return found;
    }

private:
    Lab polar(double lightness, double chroma) const { return {lightness, chroma * m_cos, chroma * m_sin}; }

    // The most chroma sRGB shows at `lightness` on this hue. Each linear channel is a cubic in chroma
    // there, so Newton's method steps to the first channel that reaches 0 or 1; bisection takes over
    // in the rare case it does not settle.
    double edgeChroma(double lightness, double guess) const
    {
        const auto& M = Srgb::LmsToLinear;
        const auto& toLms = Srgb::OklabToLms;
        double k[3];
        for (std::size_t j = 0; j < 3; ++j)
            k[j] = toLms[j][1] * m_cos + toLms[j][2] * m_sin;
        double chroma = std::clamp(guess, 0.0, m_chroma);
        for (int round = 0; round < 30; ++round) {
            double cone[3];
            double slope[3];
            for (int j = 0; j < 3; ++j) {
                const double x = lightness + chroma * k[j];
                cone[j] = x * x * x;
                slope[j] = 3 * x * x * k[j];
            }
            // Inside: the step to the nearest bound ahead. Outside: the longest step back in.
            double step = Unset;
            double back = 0.0;
            for (int i = 0; i < 3; ++i) {
                const double v = M[i][0] * cone[0] + M[i][1] * cone[1] + M[i][2] * cone[2];
                const double dv = M[i][0] * slope[0] + M[i][1] * slope[1] + M[i][2] * slope[2];
                const double bound = v > 1.0 || (v >= 0.0 && dv > 0) ? 1.0 : 0.0;
                if (dv == 0.0)
                    continue;
                const double t = (bound - v) / dv;
                if (v < 0.0 || v > 1.0)
                    back = std::min(back, t);
                else if (t >= 0.0)
                    step = std::min(step, t);
            }
            const double move = back < 0.0 ? back : step;
            if (move == Unset)
                break;
            const double next = std::clamp(chroma + move, 0.0, m_chroma);
            if (std::abs(next - chroma) <= 1e-14 * (1.0 + m_chroma)) {
                chroma = next;
                if (inGamut(fromOklab(polar(lightness, chroma))))
                    return chroma;
                break;
            }
            chroma = next;
        }
        double inside = 0.0;
        double outside = m_chroma;
        while (outside - inside > 1e-13) {
            const double mid = 0.5 * (inside + outside);
            (inGamut(fromOklab(polar(lightness, mid))) ? inside : outside) = mid;
        }
        return inside;
    }

    bool keepsHue(const Lab& lab) const
    {
        const double chroma2 = lab.a * lab.a + lab.b * lab.b;
        if (chroma2 <= MinChroma * MinChroma)
            return true;
        // The angle to the original hue, by its cosine: no arc tangent per candidate.
        const double along = lab.a * m_cos + lab.b * m_sin;
        return along > 0 && along * along >= CosTolerance * CosTolerance * chroma2;
    }

    // Between two points each channel runs one way, so when the points differ by one boundary the
    // colours on the way are theirs; otherwise the middle is looked at too.
    void split(const Point& x, const Point& y, std::vector<Codes>& found) const
    {
        if (zoneSteps(x, y) <= 1 || y.lightness - x.lightness < Finest)
            return;
        const Point middle = at(0.5 * (x.lightness + y.lightness));
        colours(middle, found);
        split(x, middle, found);
        split(middle, y, found);
    }

    // A channel may rise and fall again between two grid samples (the line is a cubic in lightness
    // while in gamut). Where a channel turns, its turning point joins the samples, so each stretch
    // between samples runs one way in every channel.
    void addTurns(std::vector<Point>& points) const
    {
        std::vector<double> turns;
        for (std::size_t i = 1; i + 1 < points.size(); ++i) {
            for (std::size_t ch = 0; ch < 3; ++ch) {
                const double before = points[i].linear[ch] - points[i - 1].linear[ch];
                const double after = points[i + 1].linear[ch] - points[i].linear[ch];
                if (before * after < 0 && std::min(std::abs(before), std::abs(after)) > 1e-12
                    && nearBoundary(points[i], ch, 2 * std::max(std::abs(before), std::abs(after))))
                    turns.push_back(turnOf(ch, points[i - 1].lightness, points[i + 1].lightness, after < 0));
            }
        }
        if (turns.empty())
            return;
        for (double t : turns)
            points.push_back(at(t));
        std::sort(
            points.begin(), points.end(), [](const Point& x, const Point& y) { return x.lightness < y.lightness; });
    }

    // Whether a boundary lies within `reach` of the point's channel `ch`: a turn farther from every
    // boundary cannot cross one.
    static bool nearBoundary(const Point& p, std::size_t ch, double reach)
    {
        const auto& b = boundaries();
        const auto z = static_cast<std::size_t>(p.zones[ch]);
        const double v = p.linear[ch];
        return (z > 0 && v - b[z - 1] <= reach) || (z < b.size() && b[z] - v <= reach);
    }

    // Where channel `ch` peaks (or bottoms out) within [low, high], by golden-section search.
    double turnOf(std::size_t ch, double low, double high, bool peak) const
    {
        const double sign = peak ? 1.0 : -1.0;
        const auto value = [&](double t) { return sign * at(t).linear[ch]; };
        constexpr double Ratio = 0.6180339887498949;
        double a = low;
        double b = high;
        double c = b - Ratio * (b - a);
        double d = a + Ratio * (b - a);
        double fc = value(c);
        double fd = value(d);
        while (b - a > 1e-12) {
            if (fc > fd) {
                b = d;
                d = c;
                fd = fc;
                c = b - Ratio * (b - a);
                fc = value(c);
            } else {
                a = c;
                c = d;
                fc = fd;
                d = a + Ratio * (b - a);
                fd = value(d);
            }
        }
        return 0.5 * (a + b);
    }

    Lab m_lab;
    double m_chroma;
    double m_cos;
    double m_sin;
};

// Every colour a slot may take, cheapest first; the original colour leads at no cost.
// How a ladder prices its colours: by the Oklab distance from the original colour (which leads at no
// cost), or, for a dark companion, by the lightness distance from the original's mirrored lightness.
enum class Pricing { Nearest, Mirrored };

// Every colour a slot may take, cheapest first.
std::vector<Candidate> ladderOf(const Codes& original, Pricing pricing = Pricing::Nearest)
{
    const Line line(original);
    const double mirrored = 1.0 - line.lab().L;
    std::vector<Candidate> items;
    const auto add = [&](const Codes& rgb) {
        const Linear c = linear(rgb);
        const Lab lab = oklab(c);
        const double cost = pricing == Pricing::Mirrored ? std::abs(lab.L - mirrored)
            : rgb == original                            ? 0.0
                                                         : distance(lab, line.lab());
        items.push_back({rgb, Srgb::luminance(c) + 0.05, Srgb::luminanceUnrounded(c) + 0.05,
            Apca::powers(Apca::screenLuminance(rgb[0], rgb[1], rgb[2])), cost, lab.L - line.lab().L});
    };
    if (pricing == Pricing::Nearest)
        add(original);
    for (const Codes& rgb : line.walk()) {
        if (pricing == Pricing::Mirrored || rgb != original)
            add(rgb);
    }
    std::stable_sort(items.begin(), items.end(),
        [](const Candidate& x, const Candidate& y) { return std::tie(x.cost, x.rgb) < std::tie(y.cost, y.rgb); });
    return items;
}

// The dark backgrounds a dark companion may take: the background's own hue at OKLCH lightness
// DarkLimit or below, nearest first to its mirrored lightness (or to that limit).
constexpr double DarkLimit = 0.25;

std::vector<Candidate> darkBackgrounds(const Codes& original)
{
    std::vector<Candidate> all = ladderOf(original, Pricing::Mirrored);
    const double home = oklab(linear(original)).L;
    const double aim = std::min(1.0 - home, DarkLimit);
    std::vector<Candidate> dark;
    for (Candidate c : all) {
        const double lightness = home + c.shift;
        if (lightness <= DarkLimit + 1e-12) {
            c.cost = std::abs(lightness - aim);
            dark.push_back(c);
        }
    }
    std::stable_sort(dark.begin(), dark.end(),
        [](const Candidate& x, const Candidate& y) { return std::tie(x.cost, x.rgb) < std::tie(y.cost, y.rgb); });
    return dark;
}

// Both luminance formulas must agree that the pair reaches `needed`, so no checker reads it short.
bool passes(const Candidate& x, const Candidate& y, double needed)
{
    const auto reaches = [needed](double p, double q) { return p >= needed * q || q >= needed * p; };
    return reaches(x.wcag, y.wcag) && reaches(x.css, y.css);
}

// What text and links need against the background.
struct Rule {
    bool apca;
    double level;

    bool met(const Candidate& fore, const Candidate& back) const
    {
        return apca ? std::abs(Apca::lightnessContrast(fore.apca, back.apca)) >= level : passes(fore, back, level);
    }
    // Met by the rule's own luminance alone: what a ladder's extremes are tested with.
    bool roughlyMet(const Candidate& fore, const Candidate& back) const
    {
        return apca ? met(fore, back) : fore.wcag >= level * back.wcag || back.wcag >= level * fore.wcag;
    }
};

constexpr std::array<int, 4> Foreground{Slot::Text, Slot::NewLink, Slot::VisitedLink, Slot::ActiveLink};
using Ladders = std::array<std::vector<Candidate>, 4>;

struct Choice {
    std::array<std::size_t, 4> index{};
    double cost = Unset;
};

// Whether any luminances at all can meet the rules on a background (with x = Y + 0.05 from 0.05 to
// 1.05, each side of the background holds x <= B/T or x >= T*B): text and link on opposite sides,
// or both on one side 3:1 apart. A cheap test that lets the search skip backgrounds.
bool roomForLinksApart(double b, double needed)
{
    constexpr double Slack = 1e-9;
    const bool darkSide = b / needed >= 0.05 - Slack;
    const bool lightSide = needed * b <= 1.05 + Slack;
    return (darkSide && lightSide) || Contrast::LinkFromText * needed * b <= 1.05 + Slack
        || b / needed >= Contrast::LinkFromText * 0.05 - Slack;
}

// The same for an APCA level. The screen luminances that reach it on the background are found by
// bisection (|Lc| only grows away from the background); between them, the WCAG luminance of a colour
// lies at least at its screen luminance (the sRGB curve runs above the plain power) and at most at
// that of a grey of the same screen luminance (the curve, read against the power, is concave).
bool roomForLinksApartApca(const Candidate& back, double level)
{
    const auto reaches
        = [&](double y) { return std::abs(Apca::lightnessContrast(Apca::powers(y), back.apca)) >= level; };
    const auto edge = [&](double passing, double failing) {
        for (int i = 0; i < 40; ++i) {
            const double mid = 0.5 * (passing + failing);
            (reaches(mid) ? passing : failing) = mid;
        }
        return passing;
    };
    const double b = std::clamp(back.apca.y, 0.0, 1.0);
    const bool dark = reaches(0.0);
    const bool light = reaches(1.0);
    if (!dark && !light)
        return false;
    const double darkest = dark ? 0.0 : edge(1.0, b);
    const double lightest = light ? 1.0 : edge(0.0, b);
    constexpr double Slack = 1e-3;
    const double most = Srgb::toLinear(std::pow(lightest, 1.0 / 2.4)) * (1 + Slack) + 0.05;
    const double least = darkest * (1 - Slack) + 0.05;
    return most >= Contrast::LinkFromText * least;
}

// The darkest and lightest colours of a ladder, by the luminance the rule reads: contrast against a
// background only falls towards the background's own luminance, so when neither reaches the level,
// nothing in the ladder does.
struct Reach {
    const Candidate* darkest = nullptr;
    const Candidate* lightest = nullptr;
};

Reach reachOf(const std::vector<Candidate>& ladder, bool apca)
{
    const auto key = [apca](const Candidate& c) { return apca ? c.apca.y : c.wcag; };
    const auto [low, high] = std::minmax_element(
        ladder.begin(), ladder.end(), [&](const Candidate& x, const Candidate& y) { return key(x) < key(y); });
    return {&*low, &*high};
}

constexpr std::size_t None = static_cast<std::size_t>(-1);

// The colours of one link ladder that meet the rule on a background, in order of WCAG luminance,
// with the cheapest of every run from either end: the cheapest link 3:1 from a text by WCAG
// luminance is two look-ups away.
class Fitting {
public:
    void build(const std::vector<std::size_t>& byLuminance, const std::vector<Candidate>& ladder, const char* fits)
    {
        m_wcag.clear();
        m_low.clear();
        for (std::size_t k : byLuminance) {
            if (fits[k]) {
                m_wcag.push_back(ladder[k].wcag);
                // Ladders are in order of cost, so the cheapest of a run is its lowest index.
                m_low.push_back(m_low.empty() ? k : std::min(m_low.back(), k));
            }
        }
        m_high.assign(m_low.size(), None);
        std::size_t j = m_low.size();
        for (auto it = byLuminance.rbegin(); it != byLuminance.rend(); ++it) {
            if (fits[*it]) {
                --j;
                m_high[j] = j + 1 < m_high.size() ? std::min(m_high[j + 1], *it) : *it;
            }
        }
    }

    bool empty() const { return m_wcag.empty(); }

    // The cheapest with a WCAG luminance 3:1 from `wcag` (or a hair short of it, so that nothing is
    // left out by rounding), or None.
    std::size_t cheapestApart(double wcag) const
    {
        constexpr double Hair = 1e-12;
        const double darkEnough = wcag / Contrast::LinkFromText * (1 + Hair);
        const double lightEnough = wcag * Contrast::LinkFromText * (1 - Hair);
        const auto low = std::upper_bound(m_wcag.begin(), m_wcag.end(), darkEnough) - m_wcag.begin();
        const auto high = std::lower_bound(m_wcag.begin(), m_wcag.end(), lightEnough) - m_wcag.begin();
        std::size_t best = None;
        if (low > 0)
            best = m_low[static_cast<std::size_t>(low - 1)];
        if (static_cast<std::size_t>(high) < m_high.size())
            best = std::min(best, m_high[static_cast<std::size_t>(high)]);
        return best;
    }

private:
    std::vector<double> m_wcag;
    std::vector<std::size_t> m_low;
    std::vector<std::size_t> m_high;
};

// The cheapest text and link colours on `back`, each ladder tried cheapest first, a branch given up
// as soon as it costs as much as the best so far.
Choice solveOn(const Candidate& back,
    const Rule& rule,
    bool linksApart,
    const Ladders& ladders,
    const std::array<std::vector<std::size_t>, 4>& byLuminance,
    const std::array<Reach, 4>& reach)
{
    for (const Reach& r : reach) {
        if (!rule.roughlyMet(*r.darkest, back) && !rule.roughlyMet(*r.lightest, back))
            return {};
    }
    if (linksApart && !(rule.apca ? roomForLinksApartApca(back, rule.level) : roomForLinksApart(back.wcag, rule.level)))
        return {};
    Choice choice;
    if (!linksApart) {
        double total = 0.0;
        for (std::size_t i = 0; i < 4; ++i) {
            const auto& ladder = ladders[i];
            const auto it
                = std::find_if(ladder.begin(), ladder.end(), [&](const Candidate& c) { return rule.met(c, back); });
            if (it == ladder.end())
                return {};
            choice.index[i] = static_cast<std::size_t>(it - ladder.begin());
            total += it->cost;
        }
        choice.cost = total;
        return choice;
    }
    // Which colours meet the rule here; for the links, in order of luminance too, so that the cheapest
    // link 3:1 from a text is found without trying them one by one.
    std::array<std::vector<char>, 4> fits;
    std::array<Fitting, 4> fitting;
    for (std::size_t i = 0; i < 4; ++i) {
        fits[i].resize(ladders[i].size());
        bool any = false;
        for (std::size_t k = 0; k < ladders[i].size(); ++k) {
            fits[i][k] = rule.met(ladders[i][k], back) ? 1 : 0;
            any = any || fits[i][k];
        }
        if (!any)
            return {};
        if (i > 0)
            fitting[i].build(byLuminance[i], ladders[i], fits[i].data());
    }
    const auto& texts = ladders[0];
    for (std::size_t t = 0; t < texts.size() && texts[t].cost < choice.cost; ++t) {
        const Candidate& text = texts[t];
        if (!fits[0][t])
            continue;
        double total = text.cost;
        std::array<std::size_t, 4> picked{t, 0, 0, 0};
        for (std::size_t i = 1; i < 4 && total < choice.cost; ++i) {
            const auto& links = ladders[i];
            std::size_t k = fitting[i].cheapestApart(text.wcag);
            // By WCAG luminance alone the look-up is exact; when CSS Color 4's weights disagree, the
            // next ones are tried in order of cost (nothing cheaper passes even the look-up).
            while (k < links.size() && total + links[k].cost < choice.cost
                && !(fits[i][k] && passes(links[k], text, Contrast::LinkFromText)))
                ++k;
            if (k >= links.size() || total + links[k].cost >= choice.cost) {
                total = Unset;
                break;
            }
            picked[i] = k;
            total += links[k].cost;
        }
        if (total < choice.cost) {
            choice.index = picked;
            choice.cost = total;
        }
    }
    return choice;
}

void setColour(ColorScheme& scheme, int slot, const Codes& rgb)
{
    for (int c = 0; c < Channel::Count; ++c)
        scheme.setChannel(slot, c, static_cast<qint16>(rgb[static_cast<std::size_t>(c)]));
}

// The work one scheme needs whatever the target: each colour's ladder, the background's on demand.
class Search {
public:
    explicit Search(const ColorScheme& scheme, Pricing pricing = Pricing::Nearest)
        : m_scheme(scheme)
        , m_back(rgbOf(scheme.colour(Slot::Background)))
        , m_pricing(pricing)
    {
        for (std::size_t i = 0; i < 4; ++i) {
            m_ladders[i] = ladderOf(rgbOf(scheme.colour(Foreground[i])), pricing);
            m_reach[0][i] = reachOf(m_ladders[i], false);
            m_reach[1][i] = reachOf(m_ladders[i], true);
            auto& order = m_byLuminance[i];
            order.resize(m_ladders[i].size());
            for (std::size_t k = 0; k < order.size(); ++k)
                order[k] = k;
            std::sort(order.begin(), order.end(),
                [&](std::size_t x, std::size_t y) { return m_ladders[i][x].wcag < m_ladders[i][y].wcag; });
        }
    }

    Proposal run(const Rule& rule, bool linksApart)
    {
        Proposal proposal;
        proposal.scheme = m_scheme;
        const Candidate& original = backgrounds().front();
        // A dark companion has no background to keep: it takes the first dark one that works.
        Choice choice = m_pricing == Pricing::Mirrored
            ? Choice{}
            : solveOn(original, rule, linksApart, m_ladders, m_byLuminance, m_reach[rule.apca ? 1 : 0]);
        if (choice.cost == Unset) {
            // Nothing works on this background: move it, the least first (the ladder is in that order).
            for (const Candidate& back : backgrounds()) {
                choice = solveOn(back, rule, linksApart, m_ladders, m_byLuminance, m_reach[rule.apca ? 1 : 0]);
                if (choice.cost < Unset) {
                    setColour(proposal.scheme, Slot::Background, back.rgb);
                    proposal.backgroundMoved = back.rgb != m_back;
                    proposal.backgroundShift = back.shift;
                    break;
                }
            }
            if (choice.cost == Unset)
                return proposal;
        }
        for (std::size_t i = 0; i < 4; ++i)
            setColour(proposal.scheme, Foreground[i], m_ladders[i][choice.index[i]].rgb);
        proposal.solved = true;
        return proposal;
    }

private:
    const std::vector<Candidate>& backgrounds()
    {
        if (!m_backgrounds)
            m_backgrounds = m_pricing == Pricing::Mirrored ? darkBackgrounds(m_back) : ladderOf(m_back);
        return *m_backgrounds;
    }

    ColorScheme m_scheme;
    Codes m_back;
    Pricing m_pricing;
    Ladders m_ladders;
    std::array<std::vector<std::size_t>, 4> m_byLuminance;
    std::array<std::array<Reach, 4>, 2> m_reach{}; // by WCAG luminance, by APCA's
    std::optional<std::vector<Candidate>> m_backgrounds;
};

Proposal proposeWith(Search& search, Target target, bool linksUnderlined)
{
    const Rule rule{isApca(target), levelFor(target)};
    Proposal proposal = search.run(rule, !linksUnderlined);
    if (!proposal.solved && !linksUnderlined) {
        // No background lets links stand 3:1 from the text at this level: meet the background rules.
        proposal = search.run(rule, false);
        proposal.solved = false;
    }
    // The figures and the verdict as the rest of the program has them, from the rounded colours.
    const ColorScheme& s = proposal.scheme;
    for (const ContrastAudit::Pair& pair : ContrastAudit::audit(s, target, false)) {
        const auto i = static_cast<std::size_t>(pair.kind.fore);
        if (pair.kind.fromText()) {
            proposal.fromText[i] = pair.ratio;
        } else {
            proposal.onBackground[i] = pair.ratio;
            proposal.lc[i] = pair.lc;
        }
    }
    proposal.onBackground[Slot::Background] = 1.0;
    proposal.fromText[Slot::Background] = proposal.fromText[Slot::Text] = 1.0;
    proposal.lc[Slot::Background] = 0.0;
    if (proposal.solved)
        proposal.solved = ContrastAudit::allPass(ContrastAudit::audit(s, target, linksUnderlined));
    return proposal;
}

} // namespace

Proposal propose(const ColorScheme& scheme, Target target, bool linksUnderlined)
{
    Search search(scheme);
    return proposeWith(search, target, linksUnderlined);
}

Proposal proposeDark(const ColorScheme& scheme, Target target, bool linksUnderlined)
{
    Search search(scheme, Pricing::Mirrored);
    return proposeWith(search, target, linksUnderlined);
}

std::vector<Proposal> proposeEach(const ColorScheme& scheme, const std::vector<Setting>& settings)
{
    Search search(scheme);
    std::vector<Proposal> proposals;
    proposals.reserve(settings.size());
    for (const Setting& setting : settings)
        proposals.push_back(proposeWith(search, setting.target, setting.linksUnderlined));
    return proposals;
}

std::optional<Rgb> atLightness(const Rgb& colour, double lightness)
{
    const Line line(rgbOf(colour));
    std::vector<Codes> found;
    line.colours(line.at(std::clamp(lightness, 0.0, 1.0)), found);
    if (found.empty())
        return std::nullopt;
    return Rgb(found[0][0], found[0][1], found[0][2]);
}

} // namespace ContrastFixer
