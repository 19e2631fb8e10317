#include "CssText.h"

#include "formats/ValueText.h"

namespace CssText {

namespace {

QString hash(const ColourScheme& scheme, int slot)
{
    return QLatin1Char('#')
        + ValueText::hexColour(scheme.channel(slot, Channel::Red), scheme.channel(slot, Channel::Green),
            scheme.channel(slot, Channel::Blue));
}

} // namespace

QString compose(const ColourScheme& scheme, const Margins& margins)
{
    QString body = QStringLiteral("body { background-color: %1; color: %2;")
                       .arg(hash(scheme, Slot::Background), hash(scheme, Slot::Text));
    if (margins.useLeft())
        body += QStringLiteral(" margin-left: %1px;").arg(margins.left());
    if (margins.useTop())
        body += QStringLiteral(" margin-top: %1px;").arg(margins.top());
    return body + QStringLiteral(" }\n") + QStringLiteral("a:link { color: %1; }\n").arg(hash(scheme, Slot::NewLink))
        + QStringLiteral("a:visited { color: %1; }\n").arg(hash(scheme, Slot::VisitedLink))
        + QStringLiteral("a:active { color: %1; }\n").arg(hash(scheme, Slot::ActiveLink));
}

} // namespace CssText
