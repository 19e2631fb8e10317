#include "ColourSpaces.h"

#include "Srgb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ColourSpaces {

namespace {

using Matrix = std::array<Triple, 3>;

using Srgb::LmsToOklab;
using Srgb::LmsToXyz;
using Srgb::OklabToLms;
using Srgb::SrgbToXyz;
using Srgb::XyzToLms;
using Srgb::XyzToSrgb;

Triple times(const Matrix& m, const Triple& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
        m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

// clang-format off
const Matrix P3ToXyz{{{608311.0 / 1250200, 189793.0 / 714400, 198249.0 / 1000160},
    {35783.0 / 156275, 247089.0 / 357200, 198249.0 / 2500400},
    {0.0, 32229.0 / 714400, 5220557.0 / 5000800}}};
const Matrix XyzToP3{{{446124.0 / 178915, -333277.0 / 357830, -72051.0 / 178915},
    {-14852.0 / 17905, 63121.0 / 35810, 423.0 / 17905},
    {11844.0 / 330415, -50337.0 / 660830, 316169.0 / 330415}}};
const Matrix A98ToXyz{{{573536.0 / 994567, 263643.0 / 1420810, 187206.0 / 994567},
    {591459.0 / 1989134, 6239551.0 / 9945670, 374412.0 / 4972835},
    {53769.0 / 1989134, 351524.0 / 4972835, 4929758.0 / 4972835}}};
const Matrix XyzToA98{{{1829569.0 / 896150, -506331.0 / 896150, -308931.0 / 896150},
    {-851781.0 / 878810, 1648619.0 / 878810, 36519.0 / 878810},
    {16779.0 / 1248040, -147721.0 / 1248040, 1266979.0 / 1248040}}};
const Matrix ProphotoToXyzD50{{{0.79776664490064230, 0.13518129740053308, 0.03134773412839220},
    {0.28807482881940130, 0.71183523424187300, 0.00008993693872564},
    {0.0, 0.0, 0.82510460251046020}}};
const Matrix XyzD50ToProphoto{{{1.34578688164715830, -0.25557208737979464, -0.05110186497554526},
    {-0.54463070512490190, 1.50824774284514680, 0.02052744743642139},
    {0.0, 0.0, 1.21196754563894520}}};
const Matrix Rec2020ToXyz{{{63426534.0 / 99577255, 20160776.0 / 139408157, 47086771.0 / 278816314},
    {26158966.0 / 99577255, 472592308.0 / 697040785, 8267143.0 / 139408157},
    {0.0, 19567812.0 / 697040785, 295819943.0 / 278816314}}};
const Matrix XyzToRec2020{{{30757411.0 / 17917100, -6372589.0 / 17917100, -4539589.0 / 17917100},
    {-19765991.0 / 29648200, 47925759.0 / 29648200, 467509.0 / 29648200},
    {792561.0 / 44930125, -1921689.0 / 44930125, 42328811.0 / 44930125}}};
// Bradford chromatic adaptation.
const Matrix D65ToD50{{{1.0479297925449969, 0.022946870601609652, -0.05019226628920524},
    {0.02962780877005599, 0.9904344267538799, -0.017073799063418826},
    {-0.009243040646204504, 0.015055191490298152, 0.7518742814281371}}};
const Matrix D50ToD65{{{0.955473421488075, -0.02309845494876471, 0.06325924320057072},
    {-0.0283697093338637, 1.0099953980813041, 0.021041441191917323},
    {0.012314014864481998, -0.020507649298898964, 1.330365926242124}}};
// clang-format on

const Triple WhiteD50{0.3457 / 0.3585, 1.0, (1.0 - 0.3457 - 0.3585) / 0.3585};

// The transfer functions, extended to negative values by symmetry as CSS does.
template <typename F> Triple each(const Triple& v, F f)
{
    return {f(v[0]), f(v[1]), f(v[2])};
}

double a98ToLinear(double v)
{
    return std::copysign(std::pow(std::abs(v), 563.0 / 256.0), v);
}

double a98FromLinear(double v)
{
    return std::copysign(std::pow(std::abs(v), 256.0 / 563.0), v);
}

double prophotoToLinear(double v)
{
    const double a = std::abs(v);
    return a <= 16.0 / 512.0 ? v / 16.0 : std::copysign(std::pow(a, 1.8), v);
}

double prophotoFromLinear(double v)
{
    const double a = std::abs(v);
    return a >= 1.0 / 512.0 ? std::copysign(std::pow(a, 1 / 1.8), v) : 16.0 * v;
}

constexpr double Rec2020Alpha = 1.09929682680944;
constexpr double Rec2020Beta = 0.018053968510807;

double rec2020ToLinear(double v)
{
    const double a = std::abs(v);
    return a < Rec2020Beta * 4.5 ? v / 4.5
                                 : std::copysign(std::pow((a + Rec2020Alpha - 1) / Rec2020Alpha, 1 / 0.45), v);
}

double rec2020FromLinear(double v)
{
    const double a = std::abs(v);
    return a > Rec2020Beta ? std::copysign(Rec2020Alpha * std::pow(a, 0.45) - (Rec2020Alpha - 1), v) : 4.5 * v;
}

constexpr double Kappa = 24389.0 / 27.0;
constexpr double Epsilon = 216.0 / 24389.0;

Triple labToXyzD50(const Triple& lab)
{
    const double f1 = (lab[0] + 16) / 116;
    const double f0 = lab[1] / 500 + f1;
    const double f2 = f1 - lab[2] / 200;
    const auto cube = [](double f) { return f * f * f > Epsilon ? f * f * f : (116 * f - 16) / Kappa; };
    const double y = lab[0] > Kappa * Epsilon ? f1 * f1 * f1 : lab[0] / Kappa;
    return {cube(f0) * WhiteD50[0], y * WhiteD50[1], cube(f2) * WhiteD50[2]};
}

Triple xyzD50ToLab(const Triple& xyz)
{
    const auto f = [](double v) { return v > Epsilon ? std::cbrt(v) : (Kappa * v + 16) / 116; };
    const double f0 = f(xyz[0] / WhiteD50[0]);
    const double f1 = f(xyz[1] / WhiteD50[1]);
    const double f2 = f(xyz[2] / WhiteD50[2]);
    return {116 * f1 - 16, 500 * (f0 - f1), 200 * (f1 - f2)};
}

Triple oklabToXyz(const Triple& lab)
{
    return times(LmsToXyz, each(times(OklabToLms, lab), [](double v) { return v * v * v; }));
}

Triple xyzToOklab(const Triple& xyz)
{
    return times(LmsToOklab, each(times(XyzToLms, xyz), [](double v) { return std::cbrt(v); }));
}

// Polar to rectangular and back; an achromatic colour gets no hue (NaN), which the mixer treats as
// missing.
Triple fromPolar(const Triple& lch)
{
    const double hue = std::isnan(lch[2]) ? 0.0 : lch[2] * std::numbers::pi / 180;
    return {lch[0], lch[1] * std::cos(hue), lch[1] * std::sin(hue)};
}

Triple toPolar(const Triple& lab, double achromatic)
{
    const double chroma = std::hypot(lab[1], lab[2]);
    double hue = std::atan2(lab[2], lab[1]) * 180 / std::numbers::pi;
    if (hue < 0)
        hue += 360;
    return {lab[0], chroma, chroma <= achromatic ? std::nan("") : hue};
}

double normalHue(double hue)
{
    if (std::isnan(hue))
        return 0;
    hue = std::fmod(hue, 360.0);
    return hue < 0 ? hue + 360 : hue;
}

Triple hslToSrgb(const Triple& hsl)
{
    const double hue = normalHue(hsl[0]);
    const double s = hsl[1], l = hsl[2];
    const double a = s * std::min(l, 1 - l);
    const auto f = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12.0);
        return l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    return {f(0), f(8), f(4)};
}

Triple srgbToHsl(const Triple& rgb)
{
    const double max = std::max({rgb[0], rgb[1], rgb[2]});
    const double min = std::min({rgb[0], rgb[1], rgb[2]});
    double hue = std::nan("");
    double saturation = 0;
    const double lightness = (min + max) / 2;
    const double d = max - min;
    if (d != 0) {
        saturation = (lightness == 0 || lightness == 1) ? 0 : (max - lightness) / std::min(lightness, 1 - lightness);
        if (max == rgb[0])
            hue = (rgb[1] - rgb[2]) / d + (rgb[1] < rgb[2] ? 6 : 0);
        else if (max == rgb[1])
            hue = (rgb[2] - rgb[0]) / d + 2;
        else
            hue = (rgb[0] - rgb[1]) / d + 4;
        hue *= 60;
    }
    if (saturation < 0) {
        hue += 180;
        saturation = std::abs(saturation);
    }
    if (hue >= 360)
        hue -= 360;
    return {hue, saturation, lightness};
}

Triple hwbToSrgb(const Triple& hwb)
{
    const double white = hwb[1], black = hwb[2];
    if (white + black >= 1) {
        const double grey = white / (white + black);
        return {grey, grey, grey};
    }
    return each(hslToSrgb({hwb[0], 1, 0.5}), [&](double v) { return v * (1 - white - black) + white; });
}

Triple srgbToHwb(const Triple& rgb)
{
    const double white = std::min({rgb[0], rgb[1], rgb[2]});
    const double black = 1 - std::max({rgb[0], rgb[1], rgb[2]});
    const double hue = white + black >= 1 ? std::nan("") : srgbToHsl(rgb)[0];
    return {hue, white, black};
}

Triple toXyzD65(Space space, const Triple& v)
{
    switch (space) {
    case Space::Srgb:
        return times(SrgbToXyz, each(v, Srgb::toLinear));
    case Space::SrgbLinear:
        return times(SrgbToXyz, v);
    case Space::DisplayP3:
        return times(P3ToXyz, each(v, Srgb::toLinear));
    case Space::A98Rgb:
        return times(A98ToXyz, each(v, a98ToLinear));
    case Space::ProphotoRgb:
        return times(D50ToD65, times(ProphotoToXyzD50, each(v, prophotoToLinear)));
    case Space::Rec2020:
        return times(Rec2020ToXyz, each(v, rec2020ToLinear));
    case Space::XyzD50:
        return times(D50ToD65, v);
    case Space::XyzD65:
        return v;
    case Space::Lab:
        return times(D50ToD65, labToXyzD50(v));
    case Space::Lch:
        return times(D50ToD65, labToXyzD50(fromPolar(v)));
    case Space::Oklab:
        return oklabToXyz(v);
    case Space::Oklch:
        return oklabToXyz(fromPolar(v));
    case Space::Hsl:
        return toXyzD65(Space::Srgb, hslToSrgb(v));
    case Space::Hwb:
        return toXyzD65(Space::Srgb, hwbToSrgb(v));
    }
    return v;
}

Triple fromXyzD65(Space space, const Triple& xyz)
{
    switch (space) {
    case Space::Srgb:
        return each(times(XyzToSrgb, xyz), Srgb::fromLinear);
    case Space::SrgbLinear:
        return times(XyzToSrgb, xyz);
    case Space::DisplayP3:
        return each(times(XyzToP3, xyz), Srgb::fromLinear);
    case Space::A98Rgb:
        return each(times(XyzToA98, xyz), a98FromLinear);
    case Space::ProphotoRgb:
        return each(times(XyzD50ToProphoto, times(D65ToD50, xyz)), prophotoFromLinear);
    case Space::Rec2020:
        return each(times(XyzToRec2020, xyz), rec2020FromLinear);
    case Space::XyzD50:
        return times(D65ToD50, xyz);
    case Space::XyzD65:
        return xyz;
    case Space::Lab:
        return xyzD50ToLab(times(D65ToD50, xyz));
    case Space::Lch:
        return toPolar(xyzD50ToLab(times(D65ToD50, xyz)), 1e-6);
    case Space::Oklab:
        return xyzToOklab(xyz);
    case Space::Oklch:
        return toPolar(xyzToOklab(xyz), 1e-8);
    case Space::Hsl:
        return srgbToHsl(fromXyzD65(Space::Srgb, xyz));
    case Space::Hwb:
        return srgbToHwb(fromXyzD65(Space::Srgb, xyz));
    }
    return xyz;
}

} // namespace

Triple convert(Space from, Space to, const Triple& channels)
{
    if (from == to)
        return channels;
    // The sRGB family converts directly, so that a legacy colour keeps its exact values.
    if (from == Space::Hsl && to == Space::Srgb)
        return hslToSrgb(channels);
    if (from == Space::Hwb && to == Space::Srgb)
        return hwbToSrgb(channels);
    if (from == Space::Srgb && to == Space::Hsl)
        return srgbToHsl(channels);
    if (from == Space::Srgb && to == Space::Hwb)
        return srgbToHwb(channels);
    if ((from == Space::Hsl || from == Space::Hwb) && (to == Space::Hsl || to == Space::Hwb))
        return convert(Space::Srgb, to, convert(from, Space::Srgb, channels));
    return fromXyzD65(to, toXyzD65(from, channels));
}

int hueIndex(Space space)
{
    switch (space) {
    case Space::Hsl:
    case Space::Hwb:
        return 0;
    case Space::Lch:
    case Space::Oklch:
        return 2;
    default:
        return -1;
    }
}

Argb paint(Space space, const Triple& channels)
{
    const Triple rgb = convert(space, Space::Srgb, channels);
    const auto code = [](double v) {
        return std::isnan(v) ? 0 : static_cast<int>(std::floor(std::clamp(v, 0.0, 1.0) * 255 + 0.5));
    };
    return argb(code(rgb[0]), code(rgb[1]), code(rgb[2]));
}

} // namespace ColourSpaces
