#include "ContrastWindow.h"

#include "assist/ContrastAudit.h"
#include "colour/ColourScheme.h"
#include "colour/Contrast.h"
#include "ui/Artwork.h"
#include "ui/Fonts.h"

#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int NormalWidth = 680;
// The side of a pair's swatch.
constexpr int Swatch = 16;

// The rows are the audit's pairs, in its order: text and links on the page, then each link against the
// text around it. Text on the page is held to the four levels; a link against the text only to standing
// out from it.
const char* const PairNames[] = {"Text on background", "New link on background", "Visited link on background",
    "Active link on background", "New link from text", "Visited link from text", "Active link from text"};
static_assert(std::size(PairNames) == std::size(ContrastAudit::Pairs));

using Pair = ContrastAudit::PairKind;
using Figures = ContrastAudit::Pair;

bool onPage(const Pair& pair)
{
    return !pair.fromText();
}

// One column of the table: its heading and its cell for a pair whose colours have the given figures.
// A verdict column is one of the levels; in the rows of links against the text the verdict columns
// merge into one cell, which holds the first verdict column's text.
struct Column {
    QString heading;
    bool verdict;
    std::function<QString(const Pair&, const Figures&)> text;
};

QString verdict(bool passes)
{
    return passes ? QStringLiteral("\u2713 pass") : QStringLiteral("\u2717 fail");
}

QList<Column> columns()
{
    QList<Column> list{{ContrastWindow::tr("Ratio"), false,
        [](const Pair&, const Figures& f) { return Contrast::ratioText(f.ratio) + QStringLiteral(":1"); }}};

    // APCA is not yet a standard: its figure informs, it decides no verdict.
    list.append({ContrastWindow::tr("APCA Lc (advisory)"), false,
        [](const Pair&, const Figures& f) { return QString::number(f.lc, 'f', 1); }});
    const std::pair<QString, double> levels[] = {{ContrastWindow::tr("AA normal (4.5)"), Contrast::AaNormal},
        {ContrastWindow::tr("AA large (3)"), Contrast::AaLarge},
        {ContrastWindow::tr("AAA normal (7)"), Contrast::AaaNormal},
        {ContrastWindow::tr("AAA large (4.5)"), Contrast::AaaLarge}};
    for (const auto& [heading, needed] : levels) {
        list.append({heading, true, [threshold = needed](const Pair& pair, const Figures& f) {
                         if (onPage(pair))
                             return verdict(f.ratio >= threshold);
                         // A link set apart from the text by colour alone needs 3:1 against it.
                         return verdict(f.passes) + ContrastWindow::tr(" (links need 3:1 against the text)");
                     }});
    }
    return list;
}

const QList<Column>& Columns()
{
    static const QList<Column> list = columns();
    return list;
}

// A swatch of a pair beside its name: a square of the ground it is read on with a square of its
// colour inside, framed in mid-grey so that a ground like the window's still has an edge.
QIcon swatch(const QColor& fore, const QColor& back)
{
    QPixmap pixmap(Swatch, Swatch);
    pixmap.fill(back);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(Swatch / 4, Swatch / 4, Swatch / 2, Swatch / 2), fore);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

int firstVerdictColumn()
{
    for (int column = 0; column < Columns().size(); ++column) {
        if (Columns().at(column).verdict)
            return column;
    }
    return -1;
}

// Whether the cell lies under the merged verdict of a link against the text, and so is never shown.
bool covered(int row, int column)
{
    return column < Columns().size() && !onPage(ContrastAudit::Pairs[row]) && Columns().at(column).verdict
        && column != firstVerdictColumn();
}

} // namespace

ContrastWindow::ContrastWindow(QWidget* parent)
    : InfoWindow(
        QStringLiteral("ContrastWindow"), tr("Contrast Check"), {NormalWidth, 250}, Artwork::aboutIcon(), parent)
    , m_table(
          new QTableWidget(static_cast<int>(std::size(ContrastAudit::Pairs)), static_cast<int>(Columns().size()), this))
{
    m_table->setObjectName(QStringLiteral("ContrastTable"));
    m_table->setAccessibleName(tr("Contrast Check"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setShowGrid(false);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setWordWrap(false);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setCornerButtonEnabled(false);
    // The grey of the window, as when the figures were plain labels on it.
    QPalette grey = m_table->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    m_table->setPalette(grey);

    QStringList headings;
    for (const Column& column : Columns())
        headings << column.heading;
    m_table->setHorizontalHeaderLabels(headings);
    QStringList names;
    for (const char* name : PairNames)
        names << tr(name);
    m_table->setVerticalHeaderLabels(names);

    QFont bold = Fonts::sansSerif(8.25, true);
    m_table->horizontalHeader()->setFont(bold);
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->verticalHeader()->setHighlightSections(false);
    m_table->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_table->verticalHeader()->setIconSize(QSize(Swatch, Swatch));

    const auto verdicts = static_cast<int>(
        std::count_if(Columns().cbegin(), Columns().cend(), [](const Column& column) { return column.verdict; }));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < m_table->columnCount(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem);
        if (!onPage(ContrastAudit::Pairs[row]) && verdicts > 1)
            m_table->setSpan(row, firstVerdictColumn(), 1, verdicts);
    }
    m_table->resizeRowsToContents();
    // A little air above and below each row's text too.
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->setRowHeight(row, m_table->rowHeight(row) + m_table->fontMetrics().height() / 4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(m_table, 1);
    layout->addWidget(addOkButton({0, 0, 65, 25}), 0, Qt::AlignRight);
}

void ContrastWindow::showScheme(const ColourScheme& scheme)
{
    // Every pair, with the verdict of links against the text; the levels' verdicts are by ratio.
    const std::vector<ContrastAudit::Pair> audited = ContrastAudit::audit(scheme, ContrastAudit::Target::AA, false);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const Figures& figures = audited.at(static_cast<std::size_t>(row));
        const Pair& pair = figures.kind;
        m_table->verticalHeaderItem(row)->setIcon(swatch(scheme.colour(pair.fore), scheme.colour(pair.back)));
        for (int column = 0; column < simulatedColumn(); ++column) {
            if (!covered(row, column))
                m_table->item(row, column)->setText(Columns().at(column).text(pair, figures));
        }
        if (m_simulation != ColourVision::Deficiency::Normal) {
            const ColourScheme seen = ColourVision::simulate(m_simulation, scheme);
            m_table->item(row, simulatedColumn())
                ->setText(Contrast::ratioText(Contrast::ratio(seen.colour(pair.fore), seen.colour(pair.back)))
                    + QStringLiteral(":1"));
        }
    }
    fitColumns();
}

void ContrastWindow::fitColumns()
{
    m_table->resizeColumnsToContents();
    QHeaderView* top = m_table->horizontalHeader();
    // Each column as wide as its whole heading, and a little room either side of every text so that
    // figures and names do not run into their neighbours.
    const QFontMetrics heading(top->font());
    const int headingMargins = 2 * top->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, top);
    const int room = 2 * m_table->fontMetrics().averageCharWidth();
    for (int column = 0; column < m_table->columnCount(); ++column) {
        const QString text = m_table->horizontalHeaderItem(column)->text();
        m_table->setColumnWidth(
            column, std::max(m_table->columnWidth(column), heading.horizontalAdvance(text) + headingMargins) + room);
    }
    QHeaderView* side = m_table->verticalHeader();
    side->setMinimumWidth(0);
    side->setMinimumWidth(side->sizeHint().width() + room);
}

void ContrastWindow::setSimulation(ColourVision::Deficiency deficiency, const ColourScheme& scheme)
{
    m_simulation = deficiency;
    const auto columns = static_cast<int>(Columns().size());
    if (deficiency == ColourVision::Deficiency::Normal) {
        m_table->setColumnCount(columns);
    } else {
        m_table->setColumnCount(columns + 1);
        m_table->setHorizontalHeaderItem(
            columns, new QTableWidgetItem(tr("Ratio seen with %1").arg(ColourVision::displayName(deficiency))));
        for (int row = 0; row < m_table->rowCount(); ++row)
            if (!m_table->item(row, columns))
                m_table->setItem(row, columns, new QTableWidgetItem);
    }
    showScheme(scheme);
    // The window grows to show the extra column whole, and goes back to its size without it.
    const int needed = m_table->verticalHeader()->minimumWidth() + m_table->horizontalHeader()->length() + 24;
    setFixedWidth(std::max(NormalWidth, needed));
}

int ContrastWindow::simulatedColumn() const
{
    // The column after the fixed ones, there only while a simulation is on.
    return static_cast<int>(Columns().size());
}

QStringList ContrastWindow::rowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < m_table->columnCount(); ++column) {
        if (!covered(row, column))
            texts << m_table->item(row, column)->text();
    }
    return texts;
}
