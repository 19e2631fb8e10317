#include "ColourScheme.h"

ColourScheme ColourScheme::defaults()
{
    // The new-link green is 124 (#007C00).
    static constexpr std::array<qint16, ValueCount> values{206, 206, 255, 0, 85, 170, 0, 124, 0, 0, 60, 0, 0, 181, 0};
    ColourScheme scheme;
    scheme.m_values = values;
    return scheme;
}

quint32 ColourScheme::colourValue(int slot) const
{
    const auto part = [&](int c) { return static_cast<quint32>(static_cast<quint16>(channel(slot, c)) & 0xFFu); };
    return part(Channel::Red) + 256u * part(Channel::Green) + 65536u * part(Channel::Blue);
}

Rgb ColourScheme::colour(int slot) const
{
    const quint32 value = colourValue(slot);
    return Rgb(
        static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF), static_cast<int>((value >> 16) & 0xFF));
}
