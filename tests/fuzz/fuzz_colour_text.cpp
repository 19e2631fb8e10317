// libFuzzer target for the colour reader: safe on any text; whatever it takes is an opaque 8-bit
// colour that its own hex form reads back as; a refusal always says why.
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
        if (reading.colour->spec() != QColor::Rgb || reading.colour->alpha() != 255)
            __builtin_trap();
        const std::optional<QColor> again = ColourText::parse(reading.colour->name());
        if (!again || again->rgb() != reading.colour->rgb())
            __builtin_trap();
    }
    return 0;
}
