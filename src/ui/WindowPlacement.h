#pragma once

class QWidget;

namespace WindowPlacement {

// Places a window, by its outer size, in the middle of the screen it is on.
void centreOnScreen(QWidget* window);

} // namespace WindowPlacement
