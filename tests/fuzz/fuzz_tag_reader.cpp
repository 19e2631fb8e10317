// libFuzzer target for the tag and style sheet reader: safe on any text; what it finds is margins
// within 0..50 (and opaque colours, which is all their type holds), and once applied, the tag and the
// CSS the program writes for the result read back to the same scheme and margins.
#include "TimeBudget.h"
#include "formats/BodyTag.h"
#include "formats/CssText.h"
#include "formats/FoundText.h"
#include "web/TagReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double start = threadMilliseconds();
    const TagReader::Reading reading = TagReader::readExplained(text);
    noteSlowest(data, size, threadMilliseconds() - start);
    const TagReader::Found& found = reading.found;
    for (const std::optional<int>& margin : {found.leftMargin, found.topMargin}) {
        if (margin && (*margin < Margins::Minimum || *margin > Margins::Maximum))
            __builtin_trap();
    }
    ColourScheme scheme = ColourScheme::defaults();
    Margins margins;
    FoundText::apply(found, scheme, margins);
    for (const QString& written : {BodyTag::compose(scheme, margins), CssText::compose(scheme, margins)}) {
        ColourScheme again = ColourScheme::defaults();
        Margins marginsAgain;
        FoundText::apply(TagReader::read(written), again, marginsAgain);
        if (!(again == scheme) || !(marginsAgain == margins))
            __builtin_trap();
    }
    return 0;
}
