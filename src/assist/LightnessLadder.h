#pragma once

#include "colour/Apca.h"
#include "colour/Rgb.h"
#include "colour/Srgb.h"

#include <array>
#include <optional>
#include <vector>

// The colours one colour may become while it keeps its hue: every 8-bit colour its OKLCH lightness line
// passes through, chroma lowered only where sRGB runs out, each with what the contrast search reads of it.
namespace LightnessLadder {

using Codes = std::array<int, 3>;

struct Candidate {
    Codes rgb;
    double wcag; // WCAG 2 luminance + 0.05
    double css; // luminance with CSS Color 4's unrounded weights + 0.05
    Apca::Powers apca;
    Srgb::Oklab lab;
    double cost; // Oklab distance from the original colour
    double shift; // OKLCH lightness, candidate minus original
    bool keepsHue = true; // for a dark background: its hue within a degree of the original's
};

Codes rgbOf(const Rgb& colour);

// How a ladder prices its colours: by the Oklab distance from the original colour (which leads at no
// cost), or, for a dark companion, by the lightness distance from the original's mirrored lightness.
enum class Pricing { Nearest, Mirrored };

// Every colour a slot may take, cheapest first.
std::vector<Candidate> ladderOf(const Codes& original, Pricing pricing = Pricing::Nearest);

// The dark backgrounds a dark companion may take: the background's own hue and chroma at OKLCH lightness
// 0.25 or below, nearest first to its mirrored lightness (or to that limit). Those whose hue stays within a
// degree of the original's come first; the rest (near black, where 8 bits hold no hue) after them.
std::vector<Candidate> darkBackgrounds(const Codes& original);

// See ContrastFixer::atLightness.
std::optional<Rgb> atLightness(const Rgb& colour, double lightness);

} // namespace LightnessLadder
