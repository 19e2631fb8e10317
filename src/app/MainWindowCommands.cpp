// The main window's commands that go through a dialog: scheme files and the colour dialog.
#include "ColorChooser.h"
#include "MainWindow.h"
#include "SampleArea.h"
#include "dialogs/DialogFlags.h"
#include "files/SchemeFile.h"

namespace {

const QString Caption = QStringLiteral("Hueloom");
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

void MainWindow::saveScheme()
{
    const bool fromButton = m_triggeringButton && m_triggeringButton->objectName() == QLatin1String("Command3");
    using namespace DialogFlags;
    prepareFileDialog(
        QStringLiteral("Hueloom Save File Dialog"), HideReadOnly | OverwritePrompt | PathMustExist | NoReadOnlyReturn);
    if (!m_commonDialog->show(CommonDialog::ShowSave))
        return;
    if (!SchemeFile::write(m_commonDialog->FileName, m_scheme))
        m_dialogs->message(this, Caption, fromButton ? SaveErrorFromButton : SaveErrorFromMenu);
}

void MainWindow::openScheme()
{
    using namespace DialogFlags;
    prepareFileDialog(QStringLiteral("Hueloom Open File Dialog"), HideReadOnly | PathMustExist | NoReadOnlyReturn);
    if (!m_commonDialog->show(CommonDialog::ShowOpen))
        return;
    // Nothing changes unless the whole file is good: a bad file never leaves half a scheme behind.
    const std::optional<ColorScheme> loaded = SchemeFile::read(m_commonDialog->FileName);
    if (!loaded) {
        m_dialogs->message(this, Caption, OpenError);
        return;
    }
    m_scheme = *loaded;
    recolourWholeSample();
    m_chooser->select(Slot::Background);
    setBars(m_scheme.colour(Slot::Background));
    // The tag carries every loaded colour, not only the background pairs a moving bar rewrote.
    for (int slot = 0; slot < Slot::Count; ++slot)
        m_tag.writeColour(slot, m_scheme.colour(slot));
    showTag();
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
    const QColor chosen = m_commonDialog->Color.toRgb();
    m_sample->recolour(slot, chosen);
    m_tag.writeColour(slot, chosen);
    showTag();
    // Each bar that moves stores its channel through the channel change.
    setBars(chosen);
}
