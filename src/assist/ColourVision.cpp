#include "ColourVision.h"

#include "colour/Srgb.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace ColourVision {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// Dichromacy at severity 1.0, for linear-light sRGB, from the table published with
// G. M. Machado, M. M. Oliveira and L. A. F. Fernandes, "A Physiologically-based Model for Simulation
// of Color Vision Deficiency", IEEE TVCG 15(6), 2009, pp. 1291-1298; supplementary matrices at
// https://www.inf.ufrgs.br/~oliveira/pubs_files/CVD_Simulation/CVD_Simulation.html
// Checked value by value against the copy of the same table in the colour-science library
// (colour/blindness/datasets/machado2010.py, CVD_MATRICES_MACHADO2010, severity 1.0).
constexpr Matrix Protanopia{{
    {0.152286, 1.052583, -0.204868},
    {0.114503, 0.786281, 0.099216},
    {-0.003882, -0.048116, 1.051998},
}};
constexpr Matrix Deuteranopia{{
    {0.367322, 0.860646, -0.227968},
    {0.280085, 0.672501, 0.047413},
    {-0.011820, 0.042940, 0.968881},
}};
constexpr Matrix Tritanopia{{
    {1.255528, -0.076749, -0.178779},
    {-0.078411, 0.930809, 0.147602},
    {0.004733, 0.691367, 0.303900},
}};

double decode(int channel)
{
    return Srgb::linearTable()[static_cast<std::size_t>(channel)];
}

int encode(double linear)
{
    return static_cast<int>(std::lround(Srgb::fromLinear(std::clamp(linear, 0.0, 1.0)) * 255.0));
}

Rgb throughMatrix(const Matrix& matrix, const Rgb& colour)
{
    const std::array<double, 3> in{decode(colour.red()), decode(colour.green()), decode(colour.blue())};
    std::array<int, 3> out{};
    for (std::size_t row = 0; row < 3; ++row)
        out[row] = encode(matrix[row][0] * in[0] + matrix[row][1] * in[1] + matrix[row][2] * in[2]);
    return Rgb(out[0], out[1], out[2]);
}

// The grey a reader without colour vision sees: the same WCAG relative luminance, in linear light.
Rgb grey(const Rgb& colour)
{
    const int value
        = encode(0.2126 * decode(colour.red()) + 0.7152 * decode(colour.green()) + 0.0722 * decode(colour.blue()));
    return Rgb(value, value, value);
}

} // namespace

Rgb simulate(Deficiency deficiency, const Rgb& colour)
{
    const Rgb& rgb = colour;
    switch (deficiency) {
    case Deficiency::Protanopia:
        return throughMatrix(Protanopia, rgb);
    case Deficiency::Deuteranopia:
        return throughMatrix(Deuteranopia, rgb);
    case Deficiency::Tritanopia:
        return throughMatrix(Tritanopia, rgb);
    case Deficiency::Achromatopsia:
        return grey(rgb);
    case Deficiency::Normal:
        break;
    }
    return Rgb(rgb.red(), rgb.green(), rgb.blue());
}

ColourScheme simulate(Deficiency deficiency, const ColourScheme& scheme)
{
    ColourScheme seen = scheme;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        const Rgb colour = simulate(deficiency, scheme.colour(slot));
        seen.setColour(slot, colour);
    }
    return seen;
}

QString displayName(Deficiency deficiency)
{
    switch (deficiency) {
    case Deficiency::Protanopia:
        return QCoreApplication::translate("ColourVision", "Protanopia");
    case Deficiency::Deuteranopia:
        return QCoreApplication::translate("ColourVision", "Deuteranopia");
    case Deficiency::Tritanopia:
        return QCoreApplication::translate("ColourVision", "Tritanopia");
    case Deficiency::Achromatopsia:
        return QCoreApplication::translate("ColourVision", "Achromatopsia");
    case Deficiency::Normal:
        break;
    }
    return QCoreApplication::translate("ColourVision", "Normal Vision");
}

} // namespace ColourVision
