#include "PageCheckWindow.h"

#include "colour/Contrast.h"
#include "files/PrintableText.h"
#include "ui/Artwork.h"
#include "ui/Fonts.h"

#include <QAction>
#include <QButtonGroup>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using Element = PageJudgement::Element;

namespace {

// A swatch of a text's two colours: "Aa" in its colour on its ground, framed in mid-grey so that a
// ground like the window's still has an edge.
QPixmap swatch(Argb fore, Argb back)
{
    QPixmap pixmap(30, 18);
    pixmap.fill(Rgb::fromArgb(back));
    QPainter painter(&pixmap);
    painter.setFont(Fonts::sansSerif(8.25, true));
    painter.setPen(QColor(Rgb::fromArgb(fore)));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Aa"));
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

QString hex(Argb colour)
{
    return Rgb::fromArgb(colour).name().toUpper();
}

// A figure as short as it is: 4.5, 3, 7.
QString figure(double value)
{
    return QString::number(value, 'g', 4);
}

QString fileOf(const Element& element)
{
    return element.file.isEmpty() ? PageCheckModel::tr("tag box") : element.file;
}

} // namespace

void PageCheckModel::setJudgement(const PageJudgement& judgement)
{
    beginResetModel();
    m_rows = listed(judgement);
    endResetModel();
}

QList<Element> PageCheckModel::listed(const PageJudgement& judgement)
{
    QList<Element> rows;
    for (const PageJudgement::Verdict verdict : {PageJudgement::Verdict::Fail, PageJudgement::Verdict::Review})
        std::copy_if(judgement.elements.cbegin(), judgement.elements.cend(), std::back_inserter(rows),
            [verdict](const Element& element) { return element.verdict == verdict; });
    return rows;
}

QString PageCheckModel::ratioText(const Element& element)
{
    return tr("%1:1 (needs %2:1)").arg(Contrast::ratioText(element.ratio), figure(element.needed));
}

QString PageCheckModel::verdictText(const Element& element)
{
    const QString mark
        = element.verdict == PageJudgement::Verdict::Fail ? QStringLiteral("\u2717 ") : QStringLiteral("? ");
    QString text = mark + PageJudgement::verdictName(element.verdict);
    if (element.check == PageJudgement::Check::LinkInText)
        text += tr(" (link from text)");
    if (!element.why.isEmpty())
        text += QStringLiteral(": ") + element.why;
    return text;
}

QString PageCheckModel::placeText(const Element& element)
{
    const QString name = element.file.isEmpty() ? fileOf(element) : QFileInfo(element.file).fileName();
    return element.line > 0 ? name + QLatin1Char(':') + QString::number(element.line) : name;
}

QString PageCheckModel::reportLine(const Element& element)
{
    // The text as written, its quotes and line ends escaped so that the line stays one line.
    QString text = PrintableText::escaped(element.text);
    text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral("%1:%2:%3: %4:1 (needs %5:1) \"%6\" %7 on %8")
        .arg(fileOf(element))
        .arg(element.line)
        .arg(element.column)
        .arg(Contrast::ratioText(element.ratio), figure(element.needed), text, hex(element.foreground),
            hex(element.background));
}

int PageCheckModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PageCheckModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PageCheckModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Element& element = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (index.column()) {
        case Ratio:
            return ratioText(element);
        case Verdict:
            return verdictText(element);
        case Selector:
            return PrintableText::shown(element.selector);
        case Text:
            return PrintableText::shown(element.text);
        case Place:
            return placeText(element);
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == Ratio)
        return swatch(element.foreground, element.background);
    if (role == Qt::ToolTipRole) {
        // Where each colour came from, and the whole place of the text.
        return tr("%1 on %2\nText color from %3\nBackground from %4\n%5")
            .arg(hex(element.foreground), hex(element.background), PrintableText::shown(element.foregroundFrom.text()),
                PrintableText::shown(element.backgroundFrom.text()), PrintableText::shown(reportLine(element)));
    }
    return {};
}

QVariant PageCheckModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case Ratio:
        return tr("Ratio");
    case Verdict:
        return tr("Verdict");
    case Selector:
        return tr("Selector");
    case Text:
        return tr("Text");
    case Place:
        return tr("Place");
    default:
        return {};
    }
}

PageCheckWindow::PageCheckWindow(QWidget* parent)
    : InfoWindow(QStringLiteral("PageCheckWindow"), tr("Page Check"), {780, 380}, Artwork::aboutIcon(), parent)
    , m_model(new PageCheckModel(this))
    , m_summary(new QLabel(this))
    , m_light(new QRadioButton(tr("&Light"), this))
    , m_darkButton(new QRadioButton(tr("&Dark"), this))
    , m_table(new QTableView(this))
    , m_openPage(new QPushButton(tr("Open &Page…"), this))
{
    // Unlike the other small windows, this one grows with a long list.
    setMinimumSize(480, 240);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    m_summary->setObjectName(QStringLiteral("PageCheckSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* scheme = new QLabel(tr("Color scheme:"), this);
    scheme->setObjectName(QStringLiteral("PageCheckSchemeLabel"));
    m_light->setObjectName(QStringLiteral("PageCheckLight"));
    m_light->setAccessibleName(tr("Light color scheme"));
    m_darkButton->setObjectName(QStringLiteral("PageCheckDark"));
    m_darkButton->setAccessibleName(tr("Dark color scheme"));
    auto* schemes = new QButtonGroup(this);
    schemes->addButton(m_light);
    schemes->addButton(m_darkButton);
    m_light->setChecked(true);
    connect(m_darkButton, &QRadioButton::toggled, this, &PageCheckWindow::showDark);

    m_table->setObjectName(QStringLiteral("PageCheckTable"));
    m_table->setAccessibleName(tr("Texts that fail or need review"));
    m_table->setModel(m_model);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->setIconSize(QSize(30, 18));
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setFont(Fonts::sansSerif(8.25, true));
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* copy = new QAction(tr("&Copy"), m_table);
    copy->setObjectName(QStringLiteral("PageCheckCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &PageCheckWindow::copySelection);
    m_table->addAction(copy);
    // The view would copy the current cell alone: Ctrl+C is the window's, for every selected row.
    m_table->installEventFilter(this);
    m_table->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_openPage->setObjectName(QStringLiteral("PageCheckOpen"));
    m_openPage->setAutoDefault(false);
    connect(m_openPage, &QPushButton::clicked, this, &PageCheckWindow::openPageAsked);

    // Alt+T takes the keys to the list from anywhere in the window.
    auto* listed = new QLabel(tr("&Texts that fail or need review:"), this);
    listed->setObjectName(QStringLiteral("PageCheckTableLabel"));
    listed->setBuddy(m_table);

    auto* top = new QHBoxLayout;
    top->addWidget(scheme);
    top->addWidget(m_light);
    top->addWidget(m_darkButton);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_openPage);
    bottom->addStretch(1);
    bottom->addWidget(addOkButton({0, 0, 65, 25}));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addWidget(listed);
    layout->addWidget(m_table, 1);
    layout->addLayout(bottom);
    setTabOrder(m_light, m_darkButton);
    setTabOrder(m_darkButton, m_table);
    setTabOrder(m_table, m_openPage);
    refresh();
}

bool PageCheckWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            copySelection();
        return true;
    }
    return InfoWindow::eventFilter(watched, event);
}

void PageCheckWindow::showPage(const std::optional<JudgedPage>& page)
{
    m_page = page;
    refresh();
}

void PageCheckWindow::showDark(bool dark)
{
    m_dark = dark;
    if (m_darkButton->isChecked() != dark)
        (dark ? m_darkButton : m_light)->setChecked(true);
    refresh();
}

void PageCheckWindow::refresh()
{
    m_model->setJudgement(m_page ? m_page->in(m_dark) : PageJudgement());
    m_summary->setText(m_page ? summaryText(*m_page, m_dark) : noPageText());
    m_summary->setAccessibleName(m_summary->text());
    for (QWidget* widget :
        {static_cast<QWidget*>(m_light), static_cast<QWidget*>(m_darkButton), static_cast<QWidget*>(m_table)})
        widget->setEnabled(m_page.has_value());
    setWindowTitle(m_page
            ? tr("Page Check - %1")
                  .arg(m_page->fileName.isEmpty() ? tr("tag box") : QFileInfo(m_page->fileName).fileName())
            : tr("Page Check"));
    m_table->resizeColumnsToContents();
    if (m_model->rowCount() > 0)
        m_table->setCurrentIndex(m_model->index(0, 0));
    // The button that answers the window's plain question takes the keys first.
    if (!m_page && isVisible())
        m_openPage->setFocus();
}

QString PageCheckWindow::noPageText()
{
    return tr("Open or drop a page to check every text on it: File > Open Page, or Apply Tag on a page.");
}

QString PageCheckWindow::summaryText(const JudgedPage& page, bool dark)
{
    const PageJudgement& judgement = page.in(dark);
    const QString name = page.fileName.isEmpty() ? tr("The tag box") : QFileInfo(page.fileName).fileName();
    QString text = tr("%1, %2 color scheme: %3 pass, %4 fail, %5 review.")
                       .arg(PrintableText::shown(name), dark ? tr("dark") : tr("light"))
                       .arg(judgement.count(PageJudgement::Verdict::Pass))
                       .arg(judgement.count(PageJudgement::Verdict::Fail))
                       .arg(judgement.count(PageJudgement::Verdict::Review));
    if (judgement.elements.isEmpty())
        text += tr("  No text on it was judged.");
    else if (judgement.count(PageJudgement::Verdict::Fail) + judgement.count(PageJudgement::Verdict::Review) == 0)
        text += tr("  Every text passes.");
    if (!judgement.missingSheets.isEmpty())
        text += tr("  Not read, so not judged: %1.")
                    .arg(PrintableText::shown(judgement.missingSheets.join(QStringLiteral(", "))));
    return text;
}

QString PageCheckWindow::selectedReport() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList lines;
    for (const int row : rows)
        lines << PageCheckModel::reportLine(m_model->element(row));
    return lines.join(QLatin1Char('\n'));
}

void PageCheckWindow::copySelection() const
{
    const QString report = selectedReport();
    if (!report.isEmpty())
        QGuiApplication::clipboard()->setText(report + QLatin1Char('\n'));
}
