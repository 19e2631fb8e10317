#pragma once

#include "colour/Rgb.h"
#include <QString>
#include <array>

// The five colour slots of a page body, in the order the chooser, the tag and the scheme file all use.
namespace Slot {
inline constexpr int Background = 0;
inline constexpr int Text = 1;
inline constexpr int NewLink = 2;
inline constexpr int VisitedLink = 3;
inline constexpr int ActiveLink = 4;
inline constexpr int Count = 5;
// The caption of each slot's chooser option, which also names the undo steps of its bars.
inline QString caption(int slot)
{
    static const char* const captions[Count]
        = {"Bacground Color", "Text Color", "New Link Color", "Visited Link Color", "Active Link Color"};
    return QString::fromLatin1(captions[slot]);
}
} // namespace Slot

namespace Channel {
inline constexpr int Red = 0;
inline constexpr int Green = 1;
inline constexpr int Blue = 2;
inline constexpr int Count = 3;
} // namespace Channel

// Fifteen channel values, three per slot. The scroll bars only ever write 0..255, so the model keeps
// whatever it is given and leaves range checks to whoever reads values from outside (scheme files).
class ColourScheme {
public:
    static constexpr int ValueCount = Slot::Count * Channel::Count;

    static ColourScheme defaults();

    qint16 channel(int slot, int channel) const { return m_values[index(slot, channel)]; }
    void setChannel(int slot, int channel, qint16 value) { m_values[index(slot, channel)] = value; }

    // Field order of scheme files: slot by slot, red, green, blue within each.
    qint16 value(int field) const { return m_values[static_cast<std::size_t>(field)]; }
    void setValue(int field, qint16 value) { m_values[static_cast<std::size_t>(field)] = value; }

    // The packed colour value red + 256 * green + 65536 * blue.
    quint32 colourValue(int slot) const;
    Rgb colour(int slot) const;
    void setColour(int slot, const Rgb& colour)
    {
        setChannel(slot, Channel::Red, static_cast<qint16>(colour.red()));
        setChannel(slot, Channel::Green, static_cast<qint16>(colour.green()));
        setChannel(slot, Channel::Blue, static_cast<qint16>(colour.blue()));
    }

    bool operator==(const ColourScheme&) const = default;

private:
    static std::size_t index(int slot, int channel)
    {
        return static_cast<std::size_t>(slot * Channel::Count + channel);
    }

    std::array<qint16, ValueCount> m_values{};
};
