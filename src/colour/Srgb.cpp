#include "Srgb.h"

#include <algorithm>
#include <cmath>

namespace Srgb {

double toLinear(double encoded)
{
    const double magnitude = std::abs(encoded);
    const double value = magnitude <= 0.04045 ? magnitude / 12.92 : std::pow((magnitude + 0.055) / 1.055, 2.4);
    return std::copysign(value, encoded);
}

double fromLinear(double linear)
{
    const double magnitude = std::abs(linear);
    const double value = magnitude <= 0.0031308 ? 12.92 * magnitude : 1.055 * std::pow(magnitude, 1.0 / 2.4) - 0.055;
    return std::copysign(value, linear);
}

const std::array<double, 256>& linearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = toLinear(static_cast<double>(i) / 255.0);
        return t;
    }();
    return table;
}

const std::array<double, 255>& halfwayTable()
{
    static const std::array<double, 255> table = [] {
        std::array<double, 255> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = toLinear((static_cast<double>(i) + 0.5) / 255.0);
        return t;
    }();
    return table;
}

int nearestCode(double linear)
{
    const auto& halfway = halfwayTable();
    return static_cast<int>(std::upper_bound(halfway.begin(), halfway.end(), linear) - halfway.begin());
}

Linear linear(int red, int green, int blue)
{
    const auto& t = linearTable();
    const auto at = [&t](int code) { return t[static_cast<std::size_t>(std::clamp(code, 0, 255))]; };
    return {at(red), at(green), at(blue)};
}

Linear linear(const Rgb& colour)
{
    const Rgb& rgb = colour;
    return linear(rgb.red(), rgb.green(), rgb.blue());
}

double luminance(const Linear& c)
{
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
}

double luminance(const Rgb& colour)
{
    return luminance(linear(colour));
}

double luminanceUnrounded(const Linear& c)
{
    return 0.21263900587151027 * c[0] + 0.715168678767756 * c[1] + 0.07219231536073371 * c[2];
}

double contrastRatio(double luminanceA, double luminanceB)
{
    return (std::max(luminanceA, luminanceB) + 0.05) / (std::min(luminanceA, luminanceB) + 0.05);
}

double contrastRatio(const Rgb& a, const Rgb& b)
{
    return contrastRatio(luminance(a), luminance(b));
}

namespace {

Linear times(const Matrix& m, const Linear& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2], m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
        m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

} // namespace

Oklab oklab(const Linear& c)
{
    const Linear lms = times(LinearToLms, c);
    const Linear lab = times(LmsToOklab, {std::cbrt(lms[0]), std::cbrt(lms[1]), std::cbrt(lms[2])});
    return {lab[0], lab[1], lab[2]};
}

Linear fromOklab(const Oklab& lab)
{
    const Linear lms = times(OklabToLms, {lab.L, lab.a, lab.b});
    return times(LmsToLinear, {lms[0] * lms[0] * lms[0], lms[1] * lms[1] * lms[1], lms[2] * lms[2] * lms[2]});
}

double distance(const Oklab& x, const Oklab& y)
{
    return std::sqrt((x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b));
}

} // namespace Srgb
