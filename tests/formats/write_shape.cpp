#include "css/ColourText.h"
#include "formats/SchemeFormats.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

// Writes schemes in one shape of Copy Scheme As, as the program copies them, for the tests that hand
// them to real tools:
//     write_shape SHAPE FOLDER SCHEME...
// SHAPE is css, properties, tailwind, tokens or tokens-hex; each SCHEME is five colours,
// "#CECEFF,#0055AA,#007C00,#003C00,#00B500", and is written to FOLDER/N.txt, N counting from 1.
int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const QStringList names{"css", "properties", "tailwind", "tokens", "tokens-hex"};
    const qsizetype shape = arguments.size() > 2 ? names.indexOf(arguments.at(1)) : -1;
    if (shape < 0) {
        std::fprintf(stderr, "usage: write_shape %s FOLDER SCHEME...\n", qPrintable(names.join(u'|')));
        return 2;
    }
    for (qsizetype n = 3; n < arguments.size(); ++n) {
        const QStringList colours = arguments.at(n).split(u',');
        ColourScheme scheme = ColourScheme::defaults();
        for (int slot = 0; slot < Slot::Count && slot < colours.size(); ++slot) {
            const std::optional<Rgb> colour = ColourText::parse(colours.at(slot));
            if (!colour) {
                std::fprintf(stderr, "write_shape: not a colour: %s\n", qPrintable(colours.at(slot)));
                return 2;
            }
            scheme.setColour(slot, *colour);
        }
        QFile file(QStringLiteral("%1/%2.txt").arg(arguments.at(2)).arg(n - 2));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(
                   SchemeFormats::write(SchemeFormats::shapes.at(static_cast<std::size_t>(shape)), scheme, {}).toUtf8())
                < 0)
            return 2;
    }
    return 0;
}
