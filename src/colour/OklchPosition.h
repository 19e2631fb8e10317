#pragma once

#include "colour/ColourSpaces.h"
#include "colour/Rgb.h"

// A place on the OKLCH bars, in whole steps: lightness in tenths of a percent (0..1000), chroma in
// thousandths (0..400) and hue in tenths of a degree (0..3599, going round). Its colour is what CSS
// paints for oklch() at that place on an 8-bit sRGB page: gamut-mapped, then each channel rounded.
//
// The steps are coarser than 8 bits near sRGB's edges (no place on them gives #0105f0, for one), so a
// place taken from a colour keeps how far the colour lies off the steps, and the bars move it by whole
// steps from there: the colour comes back exactly when a bar comes back.
struct OklchPosition {
    static constexpr int MaxLightness = 1000;
    static constexpr int MaxChroma = 400;
    static constexpr int HueSteps = 3600;

    int lightness = 0;
    int chroma = 0;
    int hue = 0;
    // How far off the steps, in steps (within half a step): zero for a place set by the bars alone.
    ColourSpaces::Triple offset{0, 0, 0};

    // Lightness 0..1, chroma, hue in degrees.
    ColourSpaces::Triple oklch() const;
    Rgb colour() const;
    // Whether the place lies outside sRGB, so that its colour is the mapped one.
    bool mapped() const;

    // The place of `colour`, on the nearest steps to its OKLCH. A grey has no hue of its own and keeps
    // `hue`.
    static OklchPosition of(const Rgb& colour, int hue = 0);
    // A hue in steps brought into 0..3599, round the circle.
    static int wrappedHue(int hue);

    friend bool operator==(const OklchPosition&, const OklchPosition&) = default;
};
