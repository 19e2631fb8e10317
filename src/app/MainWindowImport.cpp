// Colours coming in from outside the bars: a colour on the clipboard, a tag or CSS typed into the tag
// box, a scheme file dropped on the window, and the list of recent scheme files.
#include "ColorChooser.h"
#include "MainWindow.h"
#include "MainWindowNames.h"
#include "SampleArea.h"
#include "scheme/BodyTag.h"
#include "scheme/ColourText.h"
#include "scheme/TagReader.h"
#include "scheme/ValueText.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>

using namespace MainWindowNames;

namespace {

constexpr int RecentCount = 5;

QString recentKey(int index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

void MainWindow::giveSlotColour(int slot, const QColor& colour, const QString& step)
{
    recordChange(step, [this, slot, colour] {
        m_tag.writeColour(slot, colour);
        showTag();
        // Each bar that moves stores its channel through the channel change.
        setBars(colour);
        recolourSample(slot);
    });
}

void MainWindow::pasteColour()
{
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    const std::optional<QColor> colour = ColourText::parse(QGuiApplication::clipboard()->text());
    if (!colour) {
        m_dialogs->message(this, Caption, tr("The clipboard holds no colour."));
        return;
    }
    giveSlotColour(slot, *colour, tr("Paste Color"));
}

void MainWindow::applyTag()
{
    const TagReader::Found found = TagReader::read(m_tagline->toPlainText());
    if (found.isEmpty()) {
        m_dialogs->message(this, Caption,
            tr("The tag box holds no colours or margins that Hueloom can read.  Type or paste a BODY tag, or CSS "
               "rules for body, a:link, a:visited and a:active."));
        return;
    }
    SchemeState applied = state();
    TagReader::apply(found, applied.scheme, applied.margins);
    applied.tag = BodyTag::compose(applied.scheme, applied.margins);
    // A margin label shows a new value the way an arrow step would; one that keeps its value stays as it is.
    if (applied.margins.left() != m_margins.left())
        applied.leftLabel = ValueText::value(applied.margins.left());
    if (applied.margins.top() != m_margins.top())
        applied.topLabel = ValueText::value(applied.margins.top());
    recordChange(tr("Apply Tag"), [this, &applied] { showState(applied, selectedSlot()); });
    // The box shows the tag from the model again, whatever the user typed.
    showTag();
}

// A drop is one local file, opened as Open Scheme opens a chosen one.
static QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

bool MainWindow::handleDrag(QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (droppedFile(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = droppedFile(drop->mimeData());
        if (path.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Opened once the drop has finished, so the file manager is not kept waiting on a message box.
        QMetaObject::invokeMethod(
            this, [this, path] { openSchemeFile(QFileInfo(path).absoluteFilePath()); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    handleDrag(event);
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    handleDrag(event);
}

void MainWindow::dropEvent(QDropEvent* event)
{
    handleDrag(event);
}

QStringList MainWindow::recentSchemes() const
{
    return m_recentSchemes;
}

void MainWindow::readRecentSchemes()
{
    m_recentSchemes.clear();
    for (int i = 0; i < RecentCount; ++i) {
        const QString file = m_store.read(StoreApplication, RecentSection, recentKey(i));
        if (!file.isEmpty() && !m_recentSchemes.contains(file))
            m_recentSchemes << file;
    }
    rebuildRecentMenu();
}

void MainWindow::storeRecentSchemes(const QStringList& files)
{
    // The list holds for the session even where the store cannot keep it (the title message says so).
    m_recentSchemes = files;
    for (int i = 0; i < RecentCount; ++i)
        m_store.write(StoreApplication, RecentSection, recentKey(i), files.value(i));
    rebuildRecentMenu();
}

void MainWindow::rememberScheme(const QString& path)
{
    QStringList files = recentSchemes();
    files.removeAll(path);
    files.prepend(path);
    storeRecentSchemes(files.mid(0, RecentCount));
}

void MainWindow::rebuildRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = recentSchemes();
    int number = 1;
    for (const QString& file : files) {
        // "&&" keeps an ampersand in a file name from becoming an access letter.
        const QString text = QStringLiteral("&%1 %2").arg(number++).arg(
            QString(QDir::toNativeSeparators(file)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        QAction* item = m_recentMenu->addAction(text);
        item->setObjectName(QStringLiteral("ItemRecent%1").arg(number - 1));
        connect(item, &QAction::triggered, this, [this, file] { openRecentScheme(file); });
    }
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(tr("&Clear List"));
    clear->setObjectName(QStringLiteral("ItemClearRecent"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { storeRecentSchemes({}); });
}

void MainWindow::openRecentScheme(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        QStringList files = recentSchemes();
        files.removeAll(path);
        storeRecentSchemes(files);
    }
    openSchemeFile(path);
}
