#include "QtDialogBackend.h"

#include "DialogFlags.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace {

// A file dialog that holds the user to the folder and read-only rules before it closes, so the
// caller only ever sees a path it can use.
class CheckedFileDialog : public QFileDialog {
public:
    CheckedFileDialog(QWidget* parent, quint32 flags, bool forSaving)
        : QFileDialog(parent)
        , m_flags(flags)
        , m_forSaving(forSaving)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && !QFileInfo(files.first()).isDir()) {
            const QString why = QtDialogBackend::refusal(files.first(), m_flags, m_forSaving);
            if (!why.isEmpty()) {
                QMessageBox::warning(this, windowTitle(), why);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    quint32 m_flags;
    bool m_forSaving;
};

} // namespace

QStringList QtDialogBackend::nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts.at(i);
        const QString& pattern = parts.at(i + 1);
        // Qt reads the patterns from the parentheses that end a filter; a label that already ends
        // with its pattern in parentheses is shown as it is.
        const QString tail = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters << (label.endsWith(tail) ? label : label + QLatin1Char(' ') + tail);
    }
    return filters;
}

QString QtDialogBackend::refusal(const QString& path, quint32 flags, bool forSaving)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if ((flags & DialogFlags::PathMustExist) && !folder.isDir())
        return QObject::tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder.filePath()));
    if (forSaving && (flags & DialogFlags::NoReadOnlyReturn)) {
        if (info.exists() && !info.isWritable())
            return QObject::tr("%1 is read-only. Choose another name.").arg(info.fileName());
        if (!info.exists() && !folder.isWritable())
            return QObject::tr("The folder %1 is write-protected. Choose another folder.")
                .arg(QDir::toNativeSeparators(folder.filePath()));
    }
    return {};
}

std::optional<QString> QtDialogBackend::runFileDialog(QWidget* parent, const FileDialogRequest& request, bool forSaving)
{
    CheckedFileDialog dialog(parent, request.flags, forSaving);
    dialog.setObjectName(forSaving ? QStringLiteral("SaveFileDialog") : QStringLiteral("OpenFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog takes a name that does not exist; reading it then fails with a clear message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & DialogFlags::OverwritePrompt));
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    QString suffix = request.defaultExtension;
    suffix.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
    dialog.setDefaultSuffix(suffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
}

std::optional<QString> QtDialogBackend::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return runFileDialog(parent, request, false);
}

std::optional<QString> QtDialogBackend::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    return runFileDialog(parent, request, true);
}

std::optional<QColor> QtDialogBackend::chooseColour(QWidget* parent, const QColor& initial, quint32 /*flags*/)
{
    // Qt's colour dialog always opens on the colour it is given, which is what the RGB-init flag asks.
    QColorDialog dialog(initial, parent);
    dialog.setObjectName(QStringLiteral("ColorDialog"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

std::optional<int> QtDialogBackend::choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
    options.setFlag(QAbstractPrintDialog::PrintSelection, !(flags & DialogFlags::NoSelection));
    options.setFlag(QAbstractPrintDialog::PrintPageRange, !(flags & DialogFlags::NoPageNumbers));
    options.setFlag(QAbstractPrintDialog::PrintCurrentPage, false);
    printer.setPrintRange(QPrinter::AllPages);
    // Printing to a PDF file is how a user without a printer prints here, so it stays offered.
    options.setFlag(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOptions(options);
    // The chart is one page: even or odd pages alone would print a blank one. The dialog turns its
    // page-set box back on for some printers, so "All Pages" is left as its only choice as well.
    if (auto* pageSet = dialog.findChild<QComboBox*>(QStringLiteral("pageSetCombo"))) {
        while (pageSet->count() > 1)
            pageSet->removeItem(pageSet->count() - 1);
        pageSet->setEnabled(false);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return printer.copyCount();
}

void QtDialogBackend::message(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

DialogBackend::SaveChoice QtDialogBackend::askToSave(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(
        QMessageBox::NoIcon, caption, text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}
