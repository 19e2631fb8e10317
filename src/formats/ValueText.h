#pragma once

#include <QString>

// The small texts the window shows for numbers.
namespace ValueText {

// Decimal digits after one space, where a minus sign would stand: 0 -> " 0", 206 -> " 206".
QString value(int v);

// Two upper-case hex digits, zero-padded: 5 -> "05", 171 -> "AB".
QString hexPair(int v);

// Six hex digits of a colour, red pair first.
QString hexColour(int red, int green, int blue);

// Two decimal digits of a margin (0..50): 7 -> "07".
QString marginPair(int margin);

} // namespace ValueText
