#include "ContrastWindow.h"

#include "scheme/ColorScheme.h"
#include "scheme/Contrast.h"
#include "ui/Artwork.h"
#include "ui/Fonts.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

struct Pair {
    const char* name;
    int fore;
    int back;
};

// Text and links on the page, then each link against the text around it.
const Pair Pairs[] = {
    {"Text on background", Slot::Text, Slot::Background},
    {"New link on background", Slot::NewLink, Slot::Background},
    {"Visited link on background", Slot::VisitedLink, Slot::Background},
    {"Active link on background", Slot::ActiveLink, Slot::Background},
    {"New link from text", Slot::NewLink, Slot::Text},
    {"Visited link from text", Slot::VisitedLink, Slot::Text},
    {"Active link from text", Slot::ActiveLink, Slot::Text},
};
constexpr int OnBackground = 4;
constexpr double Levels[] = {Contrast::AaNormal, Contrast::AaLarge, Contrast::AaaNormal, Contrast::AaaLarge};

QString verdict(double ratio, double needed)
{
    return ratio >= needed ? QStringLiteral("\u2713 pass") : QStringLiteral("\u2717 fail");
}

QLabel* cell(const QString& text, QWidget* parent, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(Fonts::sansSerif(8.25, bold));
    return label;
}

} // namespace

ContrastWindow::ContrastWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("ContrastWindow"), tr("Contrast Check"), {560, 250}, Artwork::aboutIcon(), parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(14);
    const QStringList headers{tr("Pair"), tr("Ratio"), tr("AA normal (4.5)"), tr("AA large (3)"), tr("AAA normal (7)"),
        tr("AAA large (4.5)")};
    for (int column = 0; column < headers.size(); ++column)
        grid->addWidget(cell(headers.at(column), this, true), 0, column);

    int line = 1;
    for (const Pair& pair : Pairs) {
        const bool againstPage = line <= OnBackground;
        grid->addWidget(cell(tr(pair.name), this), line, 0);
        Row row{cell(QString(), this), {}};
        grid->addWidget(row.ratio, line, 1);
        if (againstPage) {
            for (int level = 0; level < 4; ++level) {
                row.verdicts << cell(QString(), this);
                grid->addWidget(row.verdicts.last(), line, 2 + level);
            }
        } else {
            // A link set apart from the text by colour alone needs 3:1 against it.
            row.verdicts << cell(QString(), this);
            grid->addWidget(row.verdicts.last(), line, 2, 1, 4);
        }
        m_rows << row;
        ++line;
    }
    grid->setRowStretch(line, 1);
    grid->addWidget(addOkButton({0, 0, 65, 25}), line + 1, 5, Qt::AlignRight);
}

void ContrastWindow::showScheme(const ColorScheme& scheme)
{
    for (int i = 0; i < m_rows.size(); ++i) {
        const Pair& pair = Pairs[i];
        const double ratio = Contrast::ratio(scheme.colour(pair.fore), scheme.colour(pair.back));
        Row& row = m_rows[i];
        row.ratio->setText(Contrast::ratioText(ratio) + QStringLiteral(":1"));
        if (row.verdicts.size() == 4) {
            for (int level = 0; level < 4; ++level)
                row.verdicts[level]->setText(verdict(ratio, Levels[level]));
        } else {
            row.verdicts.first()->setText(
                verdict(ratio, Contrast::LinkFromText) + tr(" (links need 3:1 against the text)"));
        }
    }
}

QStringList ContrastWindow::rowTexts(int row) const
{
    QStringList texts{m_rows.at(row).ratio->text()};
    for (const QLabel* label : m_rows.at(row).verdicts)
        texts << label->text();
    return texts;
}
