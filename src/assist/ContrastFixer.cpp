#include "ContrastFixer.h"

#include "LightnessLadder.h"
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

using LightnessLadder::Candidate;
using LightnessLadder::Codes;
using LightnessLadder::darkBackgrounds;
using LightnessLadder::ladderOf;
using LightnessLadder::Pricing;
using LightnessLadder::rgbOf;

constexpr double Unset = std::numeric_limits<double>::infinity();

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

// How the author told the link states apart, which a proposal keeps: two states that differed stay
// different colours, and the active link, which flashes on a click, stays at least a just-noticeable
// difference from the link (or as far as it was, when the author set it nearer).
struct LinkStates {
    bool linkVisited = false;
    bool visitedActive = false;
    double activeFromLink = 0.0; // least Oklab distance; 0 when the two were the same colour
};

constexpr double JustNoticeable = 0.02;

LinkStates linkStatesOf(const ColourScheme& scheme)
{
    const auto lab = [&](int slot) { return Srgb::oklab(Srgb::linear(scheme.colour(slot))); };
    const Rgb link = scheme.colour(Slot::NewLink);
    const Rgb visited = scheme.colour(Slot::VisitedLink);
    const Rgb active = scheme.colour(Slot::ActiveLink);
    LinkStates states;
    states.linkVisited = link != visited;
    states.visitedActive = visited != active;
    if (link != active)
        states.activeFromLink = std::min(JustNoticeable, Srgb::distance(lab(Slot::NewLink), lab(Slot::ActiveLink)));
    return states;
}

struct Links {
    std::array<std::size_t, 3> index{};
    double cost = Unset;
};

// The cheapest link, visited and active colours (ladders 1 to 3) that keep the link states apart and
// cost less than `bound` together. `next(i, k, limit)` gives the first colour of ladder i at or after k
// that the rules allow and that costs less than `limit`, or None.
template <typename Next> Links cheapestLinks(const Ladders& ladders, const LinkStates& states, Next next, double bound)
{
    // Each ladder's allowed colours in order of cost, found as far as they are asked for.
    std::array<std::vector<std::size_t>, 3> found;
    const auto at = [&](std::size_t i, std::size_t n) -> const Candidate* {
        while (found[i].size() <= n) {
            const std::size_t from = found[i].empty() ? 0 : found[i].back() + 1;
            const std::size_t k = next(i + 1, from, bound);
            if (k == None)
                return nullptr;
            found[i].push_back(k);
        }
        return &ladders[i + 1][found[i][n]];
    };
    const auto farEnough = [&](const Candidate& link, const Candidate& active) {
        return states.activeFromLink == 0.0
            || Srgb::distance(link.lab, active.lab) >= states.activeFromLink * (1 - 1e-12);
    };
    const Candidate* link = at(0, 0);
    const Candidate* visited = at(1, 0);
    const Candidate* active = at(2, 0);
    if (!link || !visited || !active)
        return {};
    const double least = link->cost + visited->cost + active->cost;
    if (least >= bound)
        return {};
    // Most often the cheapest of each already stand apart.
    if ((!states.linkVisited || link->rgb != visited->rgb) && (!states.visitedActive || visited->rgb != active->rgb)
        && farEnough(*link, *active))
        return {{found[0][0], found[1][0], found[2][0]}, least};
    Links best;
    best.cost = bound;
    const double cheapestVisited = visited->cost;
    const double cheapestActive = active->cost;
    for (std::size_t n = 0; (link = at(0, n)) && link->cost + cheapestVisited + cheapestActive < best.cost; ++n) {
        // The visited link rules out at most one colour for each active link it must differ from, so
        // only the first two active links far enough from this link can lead to the cheapest.
        int tried = 0;
        for (std::size_t m = 0;
             tried < 2 && (active = at(2, m)) && link->cost + active->cost + cheapestVisited < best.cost; ++m) {
            if (!farEnough(*link, *active))
                continue;
            ++tried;
            for (std::size_t j = 0; (visited = at(1, j)); ++j) {
                const double total = link->cost + active->cost + visited->cost;
                if (total >= best.cost)
                    break;
                if ((states.linkVisited && visited->rgb == link->rgb)
                    || (states.visitedActive && visited->rgb == active->rgb))
                    continue;
                best = {{found[0][n], found[1][j], found[2][m]}, total};
                break;
            }
        }
    }
    return best.cost < bound ? best : Links{};
}

// The cheapest text and link colours on `back`, each ladder tried cheapest first, a branch given up
// as soon as it costs as much as the best so far.
Choice solveOn(const Candidate& back,
    const Rule& rule,
    bool linksApart,
    const LinkStates& states,
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
        const auto& texts = ladders[0];
        const auto text
            = std::find_if(texts.begin(), texts.end(), [&](const Candidate& c) { return rule.met(c, back); });
        if (text == texts.end())
            return {};
        const auto next = [&](std::size_t i, std::size_t k, double limit) {
            for (; k < ladders[i].size() && ladders[i][k].cost < limit; ++k) {
                if (rule.met(ladders[i][k], back))
                    return k;
            }
            return None;
        };
        const Links links = cheapestLinks(ladders, states, next, Unset);
        if (links.cost == Unset)
            return {};
        choice.index = {static_cast<std::size_t>(text - texts.begin()), links.index[0], links.index[1], links.index[2]};
        choice.cost = text->cost + links.cost;
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
        std::array<std::size_t, 4> start{};
        for (std::size_t i = 1; i < 4; ++i)
            start[i] = fitting[i].cheapestApart(text.wcag);
        // By WCAG luminance alone the look-up is exact; when CSS Color 4's weights disagree, the next
        // ones are tried in order of cost (nothing cheaper passes even the look-up).
        const auto next = [&](std::size_t i, std::size_t k, double limit) {
            if (start[i] == None)
                return None;
            const auto& links = ladders[i];
            for (k = std::max(k, start[i]); k < links.size() && links[k].cost < limit; ++k) {
                if (fits[i][k] && passes(links[k], text, Contrast::LinkFromText))
                    return k;
            }
            return None;
        };
        const Links links = cheapestLinks(ladders, states, next, choice.cost - text.cost);
        if (links.cost < Unset) {
            choice.index = {t, links.index[0], links.index[1], links.index[2]};
            choice.cost = text.cost + links.cost;
        }
    }
    return choice;
}

void setColour(ColourScheme& scheme, int slot, const Codes& rgb)
{
    for (int c = 0; c < Channel::Count; ++c)
        scheme.setChannel(slot, c, static_cast<qint16>(rgb[static_cast<std::size_t>(c)]));
}

// The work one scheme needs whatever the target: each colour's ladder, the background's on demand.
class Search {
public:
    explicit Search(const ColourScheme& scheme, Pricing pricing = Pricing::Nearest)
        : m_scheme(scheme)
        , m_back(rgbOf(scheme.colour(Slot::Background)))
        , m_pricing(pricing)
        , m_states(linkStatesOf(scheme))
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
            : solveOn(original, rule, linksApart, m_states, m_ladders, m_byLuminance, m_reach[rule.apca ? 1 : 0]);
        if (choice.cost == Unset) {
            // Nothing works on this background: move it, the least first (the ladder is in that order).
            // Of backgrounds equally near, the one that leaves the others the least change wins.
            const auto& all = backgrounds();
            const Candidate* chosen = nullptr;
            for (const Candidate& back : all) {
                if (chosen && (back.cost > chosen->cost || back.keepsHue != chosen->keepsHue))
                    break;
                const Choice here
                    = solveOn(back, rule, linksApart, m_states, m_ladders, m_byLuminance, m_reach[rule.apca ? 1 : 0]);
                if (here.cost < choice.cost) {
                    choice = here;
                    chosen = &back;
                }
            }
            if (chosen) {
                setColour(proposal.scheme, Slot::Background, chosen->rgb);
                proposal.backgroundMoved = chosen->rgb != m_back;
                proposal.backgroundShift = chosen->shift;
                proposal.backgroundKeepsHue = chosen->keepsHue;
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

    ColourScheme m_scheme;
    Codes m_back;
    Pricing m_pricing;
    LinkStates m_states;
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
    const ColourScheme& s = proposal.scheme;
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

Proposal propose(const ColourScheme& scheme, Target target, bool linksUnderlined)
{
    Search search(scheme);
    return proposeWith(search, target, linksUnderlined);
}

Proposal proposeDark(const ColourScheme& scheme, Target target, bool linksUnderlined)
{
    Search search(scheme, Pricing::Mirrored);
    return proposeWith(search, target, linksUnderlined);
}

std::vector<Proposal> proposeEach(const ColourScheme& scheme, const std::vector<Setting>& settings)
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
    return LightnessLadder::atLightness(colour, lightness);
}

} // namespace ContrastFixer
