// libFuzzer target for the scheme file reader: it must be safe on any bytes, never accept a value
// outside 0..255, say why exactly when it refuses, and whatever it accepts must write back to a file that reads the
// same.
#include "files/SchemeFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const bool complete : {true, false}) {
        const std::optional<ColourScheme> scheme = SchemeFile::parse(bytes, complete);
        // A reason is given exactly when there is no scheme.
        if (SchemeFile::problem(bytes, complete).isEmpty() != scheme.has_value())
            __builtin_trap();
        if (!scheme)
            continue;
        for (int field = 0; field < ColourScheme::ValueCount; ++field)
            if (scheme->value(field) < 0 || scheme->value(field) > 255)
                __builtin_trap();
        const std::optional<ColourScheme> again = SchemeFile::parse(SchemeFile::format(*scheme));
        if (!again || !(*again == *scheme))
            __builtin_trap();
    }
    return 0;
}
