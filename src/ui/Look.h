#pragma once

class QPalette;
class QWidget;

// The program's own look: a light grey window with black text, and its own fonts. Every window sets
// it on itself, so neither a desktop theme nor an application-wide palette or font reaches it.
namespace Look {

// Every colour role of every colour group, fixed.
QPalette palette();

// Gives a window the program's palette and default font, and so every control in it that sets none
// of its own; the pop-up menus the window owns by then get them too.
void apply(QWidget* window);

} // namespace Look
