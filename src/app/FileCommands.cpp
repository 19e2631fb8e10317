// Scheme files and printing: the file dialogs, the recent list, the RGB chart and the exit question.
#include "FileCommands.h"

#include "MainWindowNames.h"
#include "dialogs/CommonDialog.h"
#include "document/SchemeDocument.h"
#include "files/LeftoverFiles.h"
#include "files/PrintableText.h"
#include "files/RecentNames.h"
#include "files/SchemeFile.h"
#include "print/ChartPrinter.h"
#include "print/PrintServerProbe.h"
#include "print/RgbChart.h"
#include "settings/SettingsStore.h"
#include "web/TagReader.h"

#include <QAction>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSet>

using namespace MainWindowNames;

namespace {

const QString OpenError = QStringLiteral(
    "There was an error opening your file.  Please make sure that it is a Hueloom file and try again.");
// The button and the menu item have always worded this message slightly differently.
const QString SaveErrorFromButton = QStringLiteral(
    "There was an error saving your file.  Please try the operation again.  If you continue having trouble please "
    "write down the conditions in which the error is occuring and email that information to the author to the email "
    "address found in the about box.");
const QString SaveErrorFromMenu = QStringLiteral(
    "There was an error saving your file.  Please try the operation again.  If you continue having trouble please "
    "write down the conditions in which the error is occuring and email that information to the author at the email "
    "address found in the about box.");

// The busy pointer for as long as it lives, whatever way the scope is left.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// A drop is one local file, opened as Open Scheme opens a chosen one.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

FileCommands::FileCommands(const CommandContext& context, SettingsStore& store, QMenu* recentMenu)
    : QObject(context.window)
    , m_context(context)
    , m_store(store)
    , m_recentMenu(recentMenu)
    , m_recent(store)
{
    m_recent.load();
    rebuildRecentMenu();
}

void FileCommands::removeLeftovers()
{
    m_store.removeLeftovers();
    m_context.dialogs.removeLeftovers();
    // Scheme saves killed before their rename leave their new file beside the scheme; the folders of the
    // recent schemes are where the user saves.
    QSet<QString> folders;
    for (const QString& file : m_recent.files())
        folders.insert(QFileInfo(file).absolutePath());
    for (const QString& folder : std::as_const(folders))
        LeftoverFiles::removeStaleSchemeTemporaries(folder);
}

bool FileCommands::saveScheme(bool fromButton)
{
    CommonDialog& dialog = m_context.commonDialog;
    if (!dialog.askSchemeToSave())
        return false;
    if (!SchemeFile::write(dialog.FileName, m_context.document.scheme())) {
        m_context.dialogs.message(m_context.window, Caption, fromButton ? SaveErrorFromButton : SaveErrorFromMenu);
        return false;
    }
    m_context.document.markSaved();
    recentStored(m_recent.remember(dialog.FileName));
    emit saved(dialog.FileName);
    return true;
}

void FileCommands::openScheme()
{
    if (!m_context.commonDialog.askSchemeToOpen())
        return;
    openSchemeFile(m_context.commonDialog.FileName);
}

void FileCommands::openPage()
{
    CommonDialog& dialog = m_context.commonDialog;
    if (m_pageDropped && dialog.askPageToOpen())
        m_pageDropped(dialog.PageName);
}

void FileCommands::openSchemeFile(const QString& path, const QString& shownName, Origin origin)
{
    m_context.commonDialog.FileName = shownName.isEmpty() ? path : shownName;
    // Nothing changes unless the whole file is good: a bad file never leaves half a scheme behind.
    SchemeFile::Failure failure;
    const std::optional<ColourScheme> loaded = SchemeFile::read(path, nullptr, &failure);
    if (!loaded) {
        // The second line names the file and what was wrong with it: "Permission denied" is not "not a
        // Hueloom file". A name typed on the command line that names nothing is only told so. A line end
        // in the name is shown escaped, as the command line shows it, so the name stays on its line.
        const QString why
            = failure.describe(PrintableText::shown(QDir::toNativeSeparators(m_context.commonDialog.FileName)));
        if (origin == Origin::CommandLine && failure.kind == SchemeFile::Failure::Kind::Missing)
            m_context.dialogs.message(m_context.window, Caption, why);
        else
            m_context.dialogs.messageWithReason(m_context.window, Caption, OpenError, why);
        return;
    }
    m_context.document.replaceScheme(*loaded, tr("Open Scheme"));
    m_context.document.markSaved();
    if (shownName.isEmpty())
        recentStored(m_recent.remember(path));
}

void FileCommands::printRgbChart()
{
    CommonDialog& dialog = m_context.commonDialog;
    // The printer and its dialog ask the print server for its printers with no time limit; a server
    // that never answers is found out first, while the window keeps painting.
    constexpr int PrintServerWaitMs = 3000;
    if (PrintServerProbe::probe(PrintServerProbe::locate(), PrintServerWaitMs) == PrintServerProbe::Result::Silent) {
        m_context.dialogs.message(m_context.window, Caption,
            tr("The print system did not answer within %1 seconds.  Nothing was printed.")
                .arg(PrintServerWaitMs / 1000));
        return;
    }
    // A cancelled print dialog prints nothing.
    if (!dialog.askPrinter())
        return;
    QString error;
    bool printed = false;
    {
        const BusyPointer busy;
        printed = ChartPrinter::print(dialog.printer(), RgbChart(m_context.document.scheme()), dialog.Copies, &error);
    }
    if (!printed)
        m_context.dialogs.message(m_context.window, Caption, tr("The RGB chart could not be printed.  %1").arg(error));
}

bool FileCommands::mayClose(bool unappliedText)
{
    const bool changed = m_context.document.hasUnsavedChanges();
    if (!changed && !unappliedText)
        return true;
    QString question;
    if (changed)
        question = tr("The colour scheme has changed since it was last saved or opened.  Do you want "
                      "to save it before Hueloom ends?");
    if (changed && unappliedText)
        question += QStringLiteral("\n\n")
            + tr("The tag box holds text that was not applied; it is lost when Hueloom ends.");
    else if (unappliedText)
        question = tr("The tag box holds text that was not applied.  Do you want to end Hueloom and lose it?");
    switch (m_context.dialogs.askToSave(m_context.window, Caption, question, changed)) {
    case DialogBackend::SaveChoice::Save:
        return saveScheme();
    case DialogBackend::SaveChoice::Discard:
        return true;
    case DialogBackend::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool FileCommands::handleDrag(QEvent* event)
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
        // A page or a style sheet goes to Apply Tag; anything else is opened as a scheme.
        QMetaObject::invokeMethod(
            this,
            [this, path = QFileInfo(path).absoluteFilePath()] {
                if (m_pageDropped && TagReader::kindOfFile(path) != TagReader::Options::Kind::Guess)
                    m_pageDropped(path);
                else
                    openSchemeFile(path);
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

void FileCommands::recentStored(bool stored)
{
    rebuildRecentMenu();
    // The list holds for the session all the same; saying so once a run is enough.
    if (stored || !m_store.firstFailureNotice())
        return;
    // A note, not a message box: the list still works, and nothing here needs an answer.
    emit noted(tr("The list of recent schemes could not be stored in %1.  It is kept for this session only.")
                   .arg(QDir::toNativeSeparators(m_store.filePath())));
}

void FileCommands::rebuildRecentMenu()
{
    m_recentMenu->clear();
    int number = 1;
    const QStringList files = m_recent.files();
    const QStringList names = RecentNames::shown(files);
    for (const QString& file : files) {
        // "&&" keeps an ampersand in a file name from becoming an access letter; a control in it is shown
        // escaped, so that it can neither break the line nor turn it round.
        const QString text = QStringLiteral("&%1 %2").arg(number).arg(
            PrintableText::shown(names.at(number - 1)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        ++number;
        QAction* item = m_recentMenu->addAction(text);
        item->setStatusTip(PrintableText::shown(QDir::toNativeSeparators(QFileInfo(file).path())));
        item->setObjectName(QStringLiteral("ItemRecent%1").arg(number - 1));
        connect(item, &QAction::triggered, this, [this, file] { openRecentScheme(file); });
    }
    m_recentMenu->addSeparator();
    QAction* clear = m_recentMenu->addAction(tr("&Clear List"));
    clear->setObjectName(QStringLiteral("ItemClearRecent"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { recentStored(m_recent.clear()); });
}

void FileCommands::openRecentScheme(const QString& path)
{
    if (!QFileInfo::exists(path))
        recentStored(m_recent.forget(path));
    openSchemeFile(path);
}
