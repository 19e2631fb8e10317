#include "BodyTag.h"

#include "scheme/ValueText.h"

#include <array>

namespace {

constexpr std::array<int, Slot::Count> BlockStarts{17, 32, 47, 63, 79};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString colourAttribute(const char* name, const ColorScheme& scheme, int slot)
{
    const QString digits = ValueText::hexColour(
        scheme.channel(slot, Channel::Red), scheme.channel(slot, Channel::Green), scheme.channel(slot, Channel::Blue));
    return QLatin1String(name) + quoted(QLatin1Char('#') + digits);
}

} // namespace

int BodyTag::blockStart(int slot)
{
    return BlockStarts[static_cast<std::size_t>(slot)];
}

int BodyTag::channelPosition(int slot, int channel)
{
    return blockStart(slot) + 2 * channel;
}

int BodyTag::leftMarginPosition(const Margins& margins)
{
    return margins.useLeft() ? LeftMarginPosition : 0;
}

int BodyTag::topMarginPosition(const Margins& margins)
{
    if (!margins.useTop())
        return 0;
    return margins.useLeft() ? TopMarginPositionAfterLeft : TopMarginPositionAlone;
}

QString BodyTag::colourPart(const ColorScheme& scheme)
{
    return colourAttribute("<BODY BGCOLOR=", scheme, Slot::Background) + colourAttribute(" TEXT=", scheme, Slot::Text)
        + colourAttribute(" LINK=", scheme, Slot::NewLink) + colourAttribute(" VLINK=", scheme, Slot::VisitedLink)
        + colourAttribute(" ALINK=", scheme, Slot::ActiveLink);
}

QString BodyTag::tail(const Margins& margins)
{
    QString text;
    if (margins.useLeft())
        text += QStringLiteral(" LEFTMARGIN=") + quoted(ValueText::marginPair(margins.left()));
    if (margins.useTop())
        text += QStringLiteral(" TOPMARGIN=") + quoted(ValueText::marginPair(margins.top()));
    return text + QLatin1Char('>');
}

QString BodyTag::compose(const ColorScheme& scheme, const Margins& margins)
{
    return colourPart(scheme) + tail(margins);
}

void BodyTag::writePair(int position, const QString& pair)
{
    Q_ASSERT(pair.size() == 2);
    const qsizetype at = position - 1;
    if (at < 0 || at + 2 > m_text.size())
        return;
    m_text.replace(at, 2, pair);
}

void BodyTag::writeChannel(int slot, int channel, int value)
{
    writePair(channelPosition(slot, channel), ValueText::hexPair(value));
}

void BodyTag::writeColour(int slot, const Rgb& colour)
{
    writeChannel(slot, Channel::Red, colour.red());
    writeChannel(slot, Channel::Green, colour.green());
    writeChannel(slot, Channel::Blue, colour.blue());
}

void BodyTag::writeLeftMargin(const Margins& margins)
{
    if (const int position = leftMarginPosition(margins))
        writePair(position, ValueText::marginPair(margins.left()));
}

void BodyTag::writeTopMargin(const Margins& margins)
{
    if (const int position = topMarginPosition(margins))
        writePair(position, ValueText::marginPair(margins.top()));
}
