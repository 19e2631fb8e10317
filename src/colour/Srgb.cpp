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

int encodedCode(double encoded)
{
    return static_cast<int>(std::floor(std::clamp(encoded, 0.0, 1.0) * 255.0 + 0.5));
}

Linear linear(int red, int green, int blue)
{
    const auto& t = linearTable();
    const auto at = [&t](int code) { return t[static_cast<std::size_t>(std::clamp(code, 0, 255))]; };
    return {at(red), at(green), at(blue)};
}

Linear linear(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return linear(rgb.red(), rgb.green(), rgb.blue());
}

double luminance(const Linear& c)
{
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
}

double luminance(const QColor& colour)
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

double contrastRatio(const QColor& a, const QColor& b)
{
    return contrastRatio(luminance(a), luminance(b));
}

Oklab oklab(const Linear& c)
{
    const double l = std::cbrt(0.4122214708 * c[0] + 0.5363325363 * c[1] + 0.0514459929 * c[2]);
    const double m = std::cbrt(0.2119034982 * c[0] + 0.6806995451 * c[1] + 0.1073969566 * c[2]);
    const double s = std::cbrt(0.0883024619 * c[0] + 0.2817188376 * c[1] + 0.6299787005 * c[2]);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
        1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s, 0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

Linear fromOklab(const Oklab& lab)
{
    const auto cube = [](double v) { return v * v * v; };
    const double l = cube(lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b);
    const double m = cube(lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b);
    const double s = cube(lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b);
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
        -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
        -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

double distance(const Oklab& x, const Oklab& y)
{
    return std::sqrt((x.L - y.L) * (x.L - y.L) + (x.a - y.a) * (x.a - y.a) + (x.b - y.b) * (x.b - y.b));
}

} // namespace Srgb
