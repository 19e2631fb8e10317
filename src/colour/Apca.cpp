#include "Apca.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace Apca {

namespace {

// The G-4g constants, as published with the reference.
constexpr double Red = 0.2126729;
constexpr double Green = 0.7151522;
constexpr double Blue = 0.0721750;
constexpr double NormalBackground = 0.56;
constexpr double NormalText = 0.57;
constexpr double ReverseText = 0.62;
constexpr double ReverseBackground = 0.65;
constexpr double BlackThreshold = 0.022;
constexpr double BlackClamp = 1.414;
constexpr double Scale = 1.14;
constexpr double Offset = 0.027;
constexpr double LowClip = 0.1;
constexpr double MinDelta = 0.0005;

// Near-black levels are lifted softly, as a screen's flare lifts them.
double softClamp(double y)
{
    return y > BlackThreshold ? y : y + std::pow(BlackThreshold - y, BlackClamp);
}

const std::array<double, 256>& powered()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = std::pow(static_cast<double>(i) / 255.0, 2.4);
        return t;
    }();
    return table;
}

double channel(int code)
{
    return powered()[static_cast<std::size_t>(std::clamp(code, 0, 255))];
}

} // namespace

double screenLuminance(int red, int green, int blue)
{
    return Red * channel(red) + Green * channel(green) + Blue * channel(blue);
}

double screenLuminance(const Rgb& colour)
{
    const Rgb& c = colour;
    return screenLuminance(c.red(), c.green(), c.blue());
}

Powers powers(double screenY)
{
    const double y = softClamp(screenY);
    return {y, std::pow(y, NormalText), std::pow(y, ReverseText), std::pow(y, NormalBackground),
        std::pow(y, ReverseBackground)};
}

double lightnessContrast(const Powers& text, const Powers& background)
{
    if (std::abs(background.y - text.y) < MinDelta)
        return 0.0;
    if (background.y > text.y) {
        const double s = (background.backgroundNormal - text.textNormal) * Scale;
        return s < LowClip ? 0.0 : (s - Offset) * 100.0;
    }
    const double s = (background.backgroundReverse - text.textReverse) * Scale;
    return s > -LowClip ? 0.0 : (s + Offset) * 100.0;
}

double lightnessContrast(double text, double background)
{
    // Out of range input has no meaningful contrast.
    if (!(text >= 0.0 && text <= 1.1 && background >= 0.0 && background <= 1.1))
        return 0.0;
    return lightnessContrast(powers(text), powers(background));
}

double lightnessContrast(const Rgb& text, const Rgb& background)
{
    return lightnessContrast(screenLuminance(text), screenLuminance(background));
}

} // namespace Apca
