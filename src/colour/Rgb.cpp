#include "Rgb.h"

QString Rgb::name() const
{
    static constexpr char digits[] = "0123456789abcdef";
    char text[8] = {'#'};
    const int channels[] = {m_red, m_green, m_blue};
    for (int i = 0; i < 3; ++i) {
        text[1 + 2 * i] = digits[channels[i] >> 4];
        text[2 + 2 * i] = digits[channels[i] & 0xF];
    }
    return QString::fromLatin1(text, 7);
}
