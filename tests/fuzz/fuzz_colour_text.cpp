// libFuzzer target for the colour reader: safe on any text; whatever it takes (an opaque 8-bit colour,
// which is all its type holds) its own hex form reads back as; a refusal always says why.
#include "TimeBudget.h"
#include "css/ColourText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double start = threadMilliseconds();
    const ColourText::Reading reading = ColourText::read(text);
    noteSlowest(data, size, threadMilliseconds() - start);
    if (reading.colour.has_value() != (reading.refusal == ColourText::Refusal::None))
        __builtin_trap();
    if (reading.colour) {
        const std::optional<Rgb> again = ColourText::parse(reading.colour->name());
        if (!again || *again != *reading.colour)
            __builtin_trap();
    }
    return 0;
}
