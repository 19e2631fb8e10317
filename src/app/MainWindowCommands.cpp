// The main window's commands beyond the scheme itself: scheme files, the colour dialog, printing and
// the clipboard.
#include "ColorChooser.h"
#include "MainWindow.h"
#include "MainWindowNames.h"
#include "SampleArea.h"
#include "dialogs/DialogFlags.h"
#include "files/SchemeFile.h"
#include "print/ChartPrinter.h"
#include "print/PrintServerProbe.h"
#include "print/RgbChart.h"
#include "scheme/CssText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

using namespace MainWindowNames;

namespace {

const QString SchemeFilter = QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*");

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

} // namespace

void MainWindow::prepareFileDialog(const QString& title, quint32 flags)
{
    CommonDialog& dialog = *m_commonDialog;
    dialog.Filter = SchemeFilter;
    dialog.FilterIndex = 1;
    dialog.DefaultExt = QStringLiteral("*.HLM");
    dialog.DialogTitle = title;
    dialog.Flags = flags;
}

bool MainWindow::saveScheme()
{
    const bool fromButton = m_triggeringButton && m_triggeringButton->objectName() == QLatin1String("Command3");
    using namespace DialogFlags;
    prepareFileDialog(
        QStringLiteral("Hueloom Save File Dialog"), HideReadOnly | OverwritePrompt | PathMustExist | NoReadOnlyReturn);
    if (!m_commonDialog->show(CommonDialog::ShowSave))
        return false;
    if (!SchemeFile::write(m_commonDialog->FileName, m_scheme)) {
        m_dialogs->message(this, Caption, fromButton ? SaveErrorFromButton : SaveErrorFromMenu);
        return false;
    }
    m_savedScheme = m_scheme;
    rememberScheme(m_commonDialog->FileName);
    return true;
}

void MainWindow::openScheme()
{
    using namespace DialogFlags;
    prepareFileDialog(QStringLiteral("Hueloom Open File Dialog"), HideReadOnly | PathMustExist | NoReadOnlyReturn);
    if (!m_commonDialog->show(CommonDialog::ShowOpen))
        return;
    openSchemeFile(m_commonDialog->FileName);
}

void MainWindow::openSchemeFile(const QString& path, const QString& shownName)
{
    m_commonDialog->FileName = shownName.isEmpty() ? path : shownName;
    // Nothing changes unless the whole file is good: a bad file never leaves half a scheme behind.
    const std::optional<ColorScheme> loaded = SchemeFile::read(path);
    if (!loaded) {
        m_dialogs->message(this, Caption, OpenError);
        return;
    }
    recordChange(tr("Open Scheme"), [this, &loaded] {
        m_scheme = *loaded;
        recolourWholeSample();
        m_chooser->select(Slot::Background);
        setBars(m_scheme.colour(Slot::Background));
        showWholeScheme();
    });
    m_savedScheme = *loaded;
    if (shownName.isEmpty())
        rememberScheme(path);
}

void MainWindow::windowsColourDialog()
{
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    m_commonDialog->Color = m_scheme.colour(slot);
    m_commonDialog->Flags = DialogFlags::RgbInit;
    if (!m_commonDialog->show(CommonDialog::ShowColor))
        return;
    giveSlotColour(slot, m_commonDialog->Color.toRgb(), slotCaption(slot));
}

void MainWindow::printRgbChart()
{
    using namespace DialogFlags;
    m_commonDialog->Flags = NoSelection | NoPageNumbers | DisablePrintToFile | HidePrintToFile;
    // The printer and its dialog ask the print server for its printers with no time limit; a server
    // that never answers is found out first, while the window keeps painting.
    constexpr int PrintServerWaitMs = 3000;
    if (PrintServerProbe::probe(PrintServerProbe::locate(), PrintServerWaitMs) == PrintServerProbe::Result::Silent) {
        m_dialogs->message(this, Caption,
            tr("The print system did not answer within %1 seconds.  Nothing was printed.")
                .arg(PrintServerWaitMs / 1000));
        return;
    }
    // A cancelled print dialog prints nothing.
    if (!m_commonDialog->show(CommonDialog::ShowPrinter))
        return;
    QString error;
    bool printed = false;
    {
        const BusyPointer busy;
        printed = ChartPrinter::print(m_commonDialog->printer(), RgbChart(m_scheme), m_commonDialog->Copies, &error);
    }
    if (!printed)
        m_dialogs->message(this, Caption, tr("The RGB chart could not be printed.  %1").arg(error));
}

void MainWindow::copySelection()
{
    // The tag line keeps its selection while the focus is elsewhere, so this is the last one made.
    // Copying reads the box and changes nothing in it.
    QString selected = m_tagline->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(selected);
}

void MainWindow::copyCss()
{
    QGuiApplication::clipboard()->setText(CssText::compose(m_scheme, m_margins));
}

void MainWindow::copyTag()
{
    // The box as it stands, with anything the user typed into it.
    QGuiApplication::clipboard()->setText(m_tagline->toPlainText());
}
