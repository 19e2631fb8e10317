#include "colour/OklchPosition.h"

#include <cstdio>

// The colour of each OKLCH place read from the standard input, one "lightness chroma hue" a line in the
// bars' steps, written as "#rrggbb mapped|inside" a line: what colorjs.sh holds against colorjs.io.
int main()
{
    OklchPosition place;
    while (std::scanf("%d %d %d", &place.lightness, &place.chroma, &place.hue) == 3)
        std::printf("%s %s\n", qPrintable(place.colour().name()), place.mapped() ? "mapped" : "inside");
    return 0;
}
