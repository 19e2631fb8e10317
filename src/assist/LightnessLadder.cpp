#include "LightnessLadder.h"

#include "colour/Srgb.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>
#include <unordered_set>

namespace LightnessLadder {

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

    // The 8-bit colours a point stands for: every colour at the corners of the 8-bit cell around the
    // point that keeps the hue, the nearest one first. A colour beside the line is as much on the way
    // as the nearest one: leaving the other corners out lost cheaper colours (and nearer backgrounds).
    void colours(const Point& p, std::vector<Codes>& out) const
    {
        const Codes nearest{
            Srgb::nearestCode(p.linear[0]), Srgb::nearestCode(p.linear[1]), Srgb::nearestCode(p.linear[2])};
        offer(nearest, out);
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
            offer(c, out);
        }
    }

    // Adds `c` to `out` when it keeps the hue, each colour looked at once: neighbouring points share
    // most of their corners.
    void offer(const Codes& c, std::vector<Codes>& out) const
    {
        if (m_seen.insert((c[0] << 16) | (c[1] << 8) | c[2]).second && keepsHue(oklab(linear(c))))
            out.push_back(c);
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
    mutable std::unordered_set<int> m_seen;
};

} // namespace

Codes rgbOf(const Rgb& colour)
{
    const Rgb& c = colour;
    return {c.red(), c.green(), c.blue()};
}

// Every colour a slot may take, cheapest first.
std::vector<Candidate> ladderOf(const Codes& original, Pricing pricing)
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
            Apca::powers(Apca::screenLuminance(rgb[0], rgb[1], rgb[2])), lab, cost, lab.L - line.lab().L, true});
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
// A dark background that keeps the hue within this many degrees looks like the same colour at night;
// near black, 8-bit colours turn the hue of a pale background by far more than the ladder allows.
constexpr double DarkHueTolerance = 1.0;

bool keepsHueWithin(const Lab& original, const Lab& c, double degrees)
{
    const double chroma = std::hypot(original.a, original.b);
    // A grey has no hue to keep.
    if (chroma < 1e-6)
        return true;
    const double along = (c.a * original.a + c.b * original.b) / chroma;
    const double across = (c.b * original.a - c.a * original.b) / chroma;
    return along > 0 && std::atan2(std::abs(across), along) <= degrees * std::numbers::pi / 180.0;
}

std::vector<Candidate> darkBackgrounds(const Codes& original)
{
    std::vector<Candidate> all = ladderOf(original, Pricing::Mirrored);
    const Lab home = oklab(linear(original));
    const double aim = std::min(1.0 - home.L, DarkLimit);
    std::vector<Candidate> dark;
    for (Candidate c : all) {
        const double lightness = home.L + c.shift;
        if (lightness <= DarkLimit + 1e-12) {
            c.cost = std::abs(lightness - aim);
            c.keepsHue = keepsHueWithin(home, oklab(linear(c.rgb)), DarkHueTolerance);
            dark.push_back(c);
        }
    }
    // Those that keep the hue first: the others (black among them) only when none of those will do.
    std::stable_sort(dark.begin(), dark.end(), [](const Candidate& x, const Candidate& y) {
        return std::tuple(!x.keepsHue, x.cost, x.rgb) < std::tuple(!y.keepsHue, y.cost, y.rgb);
    });
    return dark;
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

} // namespace LightnessLadder
