#pragma once

#include <QString>
#include <cstdint>

class QColor;

// A colour with its alpha, packed 0xAARRGGBB: what a page paints, before its layers are composited.
using Argb = std::uint32_t;

constexpr Argb argb(int red, int green, int blue, int alpha = 255)
{
    return ((static_cast<Argb>(alpha) & 0xFFu) << 24) | ((static_cast<Argb>(red) & 0xFFu) << 16)
        | ((static_cast<Argb>(green) & 0xFFu) << 8) | (static_cast<Argb>(blue) & 0xFFu);
}
constexpr int alphaOf(Argb value)
{
    return static_cast<int>(value >> 24);
}
constexpr int redOf(Argb value)
{
    return static_cast<int>((value >> 16) & 0xFFu);
}
constexpr int greenOf(Argb value)
{
    return static_cast<int>((value >> 8) & 0xFFu);
}
constexpr int blueOf(Argb value)
{
    return static_cast<int>(value & 0xFFu);
}

// An opaque colour as the screen shows it, 8 bits a channel. Everything below the windows keeps its
// colours so: translucency is composited away before a colour is stored.
class Rgb {
public:
    constexpr Rgb() = default;
    // Each channel is taken modulo 256, as a packed value would hold it.
    constexpr Rgb(int red, int green, int blue)
        : m_red(red & 0xFF)
        , m_green(green & 0xFF)
        , m_blue(blue & 0xFF)
    {
    }
    // The colour of a packed value, its alpha ignored.
    static constexpr Rgb fromArgb(Argb value) { return {redOf(value), greenOf(value), blueOf(value)}; }

    constexpr int red() const { return m_red; }
    constexpr int green() const { return m_green; }
    constexpr int blue() const { return m_blue; }
    constexpr Argb argb() const { return ::argb(m_red, m_green, m_blue); }

    // A channel as a fraction of full, computed as the windows' colours compute it from their
    // 16-bit channels, so that both give the same number.
    float redF() const { return fraction(m_red); }
    float greenF() const { return fraction(m_green); }
    float blueF() const { return fraction(m_blue); }

    // "#rrggbb", in lower case.
    QString name() const;

    // The windows' colour type: defined only in the libraries that draw, so that nothing below them
    // can come to need the GUI libraries. A translucent colour loses its alpha.
    Rgb(const QColor& colour);
    operator QColor() const;
    friend bool operator==(const Rgb& colour, const QColor& other);

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;

private:
    static float fraction(int code) { return static_cast<float>(code * 0x101) / 65535.0f; }

    int m_red = 0;
    int m_green = 0;
    int m_blue = 0;
};
