#pragma once

#include "colour/ColourScheme.h"
#include "formats/Margins.h"

#include <QString>

// The body tag the user takes away, composed whole from a scheme and margins. Its layout is fixed: the
// 85-character colour part, then a tail that depends on the margins in use. Positions are counted from
// 1, as they are quoted to users in the help text and in bug reports.
class BodyTag {
public:
    static constexpr int ColourPartLength = 85;
    static constexpr int LeftMarginPosition = 99;
    static constexpr int TopMarginPositionAlone = 98;
    static constexpr int TopMarginPositionAfterLeft = 114;

    // First digit of each slot's six-digit colour block.
    static int blockStart(int slot);
    // First digit of the pair of (slot, channel).
    static int channelPosition(int slot, int channel);
    // Where a margin's digits stand, or 0 while that margin is not in the tag.
    static int leftMarginPosition(const Margins& margins);
    static int topMarginPosition(const Margins& margins);

    static QString colourPart(const ColourScheme& scheme);
    static QString tail(const Margins& margins);
    // The whole tag for a scheme and margins: each channel's pair and each margin's digits stand where
    // the positions above say.
    static QString compose(const ColourScheme& scheme, const Margins& margins);

    BodyTag() = default;
    explicit BodyTag(QString text)
        : m_text(std::move(text))
    {
    }

    const QString& text() const { return m_text; }

private:
    QString m_text;
};
