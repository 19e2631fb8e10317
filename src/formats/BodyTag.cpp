#include "BodyTag.h"

#include "formats/ValueText.h"

#include <array>

namespace {

constexpr std::array<int, Slot::Count> BlockStarts{17, 32, 47, 63, 79};

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString colourAttribute(const char* name, const ColourScheme& scheme, int slot)
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

QString BodyTag::colourPart(const ColourScheme& scheme)
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

QString BodyTag::compose(const ColourScheme& scheme, const Margins& margins)
{
    return colourPart(scheme) + tail(margins);
}
