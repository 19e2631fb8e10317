#pragma once

#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class RgbChart;

// Lays the RGB chart out on a page and prints it.
namespace ChartPrinter {

// The title's size: a printer's customary default, fixed so every copy and every run looks alike.
inline constexpr qreal TitlePoints = 12;
// The table's size.
inline constexpr qreal TablePoints = 11;

// Draws one chart on the current page of `painter`: the title, two empty lines, the header and the
// five slot rows, the cells at their character columns.
void drawChart(QPainter& painter, const RgbChart& chart);

// Prints `copies` copies. To a printer each copy is a document (a job) of its own; to a PDF file the
// copies are that many pages of the one file. Fewer than one copy prints nothing. On failure returns
// false with the reason in `error`.
bool print(QPrinter& printer, const RgbChart& chart, int copies, QString* error);

} // namespace ChartPrinter
