#include "ChartPrinter.h"

#include "RgbChart.h"
#include "ui/Fonts.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace ChartPrinter {

namespace {

// A line printer over a painter: text at the print position, moves to character columns, and line
// feeds by the height of the current font.
class LinePrinter {
public:
    explicit LinePrinter(QPainter& painter)
        : m_painter(painter)
    {
    }

    void setFont(const QFont& font)
    {
        m_painter.setFont(font);
        m_metrics = QFontMetricsF(m_painter.font(), m_painter.device());
    }

    void print(const QString& text)
    {
        m_painter.drawText(QPointF(m_x, m_y + m_metrics.ascent()), text);
        m_x += m_metrics.horizontalAdvance(text);
    }

    // Column 1 is the left edge; a column is the average character width of the current font. From
    // beyond a column, the move goes to that column of the next line.
    void tab(int column)
    {
        const qreal x = (column - 1) * m_metrics.averageCharWidth();
        if (m_x > x)
            newLine();
        m_x = x;
    }

    void newLine()
    {
        m_x = 0;
        m_y += m_metrics.height();
    }

private:
    QPainter& m_painter;
    QFontMetricsF m_metrics{QFont()};
    qreal m_x = 0;
    qreal m_y = 0;
};

} // namespace

void drawChart(QPainter& painter, const RgbChart& chart)
{
    LinePrinter line(painter);
    line.setFont(Fonts::paperSerif(TitlePoints));
    line.print(QString::fromLatin1(RgbChart::Title));
    line.newLine();
    line.setFont(Fonts::paperSerif(TablePoints));
    line.newLine();
    line.newLine();
    for (const RgbChart::Row& row : chart.rows()) {
        line.print(row.label);
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            line.tab(RgbChart::Columns[i]);
            line.print(row.cells[i]);
        }
        line.newLine();
    }
}

bool print(QPrinter& printer, const RgbChart& chart, int copies, QString* error)
{
    if (copies < 1)
        return true;
    // The copies are ours to make: the printer itself is told one, so nothing multiplies them again.
    printer.setCopyCount(1);
    printer.setCollateCopies(false);
    // The name the print queue lists the job under.
    printer.setDocName(QString::fromLatin1(RgbChart::Title));
    const bool oneFile = printer.outputFormat() == QPrinter::PdfFormat;
    const int documents = oneFile ? 1 : copies;
    const int pagesEach = oneFile ? copies : 1;

    for (int document = 0; document < documents; ++document) {
        QPainter painter;
        if (!painter.begin(&printer)) {
            if (error)
                *error = printer.outputFileName().isEmpty()
                    ? QCoreApplication::translate("ChartPrinter", "The printer %1 could not be started.")
                          .arg(printer.printerName())
                    : QCoreApplication::translate("ChartPrinter", "%1 could not be written.")
                          .arg(printer.outputFileName());
            return false;
        }
        for (int page = 0; page < pagesEach; ++page) {
            if (page > 0)
                printer.newPage();
            drawChart(painter, chart);
        }
        if (!painter.end()) {
            if (error)
                *error = QCoreApplication::translate("ChartPrinter", "The document could not be finished.");
            return false;
        }
        if (printer.printerState() == QPrinter::Error) {
            if (error)
                *error = QCoreApplication::translate("ChartPrinter", "The print system reported an error.");
            return false;
        }
    }
    return true;
}

} // namespace ChartPrinter
