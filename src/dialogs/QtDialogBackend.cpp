#include "QtDialogBackend.h"

#include "dialogs/TitleDialog.h"

#include "DialogFlags.h"
#include "files/LeftoverFiles.h"
#include "files/PrintableText.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace {

// The chart is one page: even or odd pages alone would print a blank one, so "All Pages" is the page
// set's only choice and the box stays disabled.
void restrictToAllPages(QComboBox* pageSet)
{
    while (pageSet->count() > 1)
        pageSet->removeItem(pageSet->count() - 1);
    pageSet->setEnabled(false);
}

// Keeps the page-set box at "All Pages" whenever the print dialog turns it back on.
class AllPagesOnly : public QObject {
public:
    explicit AllPagesOnly(QComboBox* pageSet)
        : QObject(pageSet)
        , m_pageSet(pageSet)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_pageSet && event->type() == QEvent::EnabledChange && m_pageSet->isEnabled())
            restrictToAllPages(m_pageSet);
        return false;
    }

private:
    QComboBox* m_pageSet;
};

// A file dialog that holds the user to the folder and read-only rules before it closes, so the
// caller only ever sees a path it can use.
class CheckedFileDialog : public QFileDialog {
public:
    CheckedFileDialog(QWidget* parent, quint32 flags, bool forSaving, const QString& extension)
        : QFileDialog(parent)
        , m_flags(flags)
        , m_forSaving(forSaving)
        , m_extension(extension)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        // Qt's dialog selects, in its list, every folder that a path being typed passes through and
        // does not always let go of them again; the list's selection then wins over the typed name,
        // which greys out Open and turns Enter into a visit of that folder. While the user types, the
        // typed name alone says which file is meant.
        m_name = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        m_list = findChild<QListView*>(QStringLiteral("listView"));
        if (!m_name || !m_list)
            return;
        connect(m_name, &QLineEdit::textChanged, this, [this] {
            // Qt only puts a name in the box itself while the box does not have the focus.
            m_typed = m_name->hasFocus();
            dropSelectionWhileTyping();
        });
        connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { dropSelectionWhileTyping(); });
    }

    // The file the user chose, once the dialog was accepted.
    QString chosen() const { return m_chosen; }

    void accept() override
    {
        if (m_typed && m_list)
            m_list->selectionModel()->clearSelection();
        const QStringList files = selectedFiles();
        if (files.isEmpty())
            return;
        m_chosen = m_forSaving ? files.first() : withExtensionIfMissing(files.first());
        if (!QFileInfo(m_chosen).isDir()) {
            const QString why = QtDialogBackend::refusal(m_chosen, m_flags, m_forSaving);
            if (!why.isEmpty()) {
                // The name is the user's own typing: shown as typed, never as markup or reordered.
                QMessageBox box(QMessageBox::Warning, windowTitle(), PrintableText::shown(why), QMessageBox::Ok, this);
                box.setTextFormat(Qt::PlainText);
                box.exec();
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    void dropSelectionWhileTyping()
    {
        if (m_typed && m_name->hasFocus() && m_list->selectionModel()->hasSelection())
            m_list->selectionModel()->clearSelection();
    }

    // A name typed without an extension that does not exist as typed, while a file of that name with
    // the scheme extension (in any letter case) does, means that file. A name that exists is taken
    // as it is.
    QString withExtensionIfMissing(const QString& path) const
    {
        const QFileInfo typed(path);
        if (m_extension.isEmpty() || typed.exists() || typed.fileName().contains(QLatin1Char('.')))
            return path;
        const QString wanted = typed.fileName() + QLatin1Char('.') + m_extension;
        const QDir folder = typed.dir();
        for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
            if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                return folder.filePath(name);
        return path;
    }

    quint32 m_flags;
    bool m_forSaving;
    QString m_extension;
    QLineEdit* m_name = nullptr;
    QListView* m_list = nullptr;
    bool m_typed = false;
    QString m_chosen;
};

} // namespace

QStringList QtDialogBackend::nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt takes the patterns from the parentheses that end a filter and, with the details hidden,
        // shows the rest: the label exactly as written. "*.*" means every file, as it does where the
        // filter text comes from, also those with no dot in their names.
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern.trimmed() == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        filters << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
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
    QString extension = request.defaultExtension;
    extension.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
    CheckedFileDialog dialog(parent, request.flags, forSaving, extension);
    dialog.setObjectName(forSaving ? QStringLiteral("SaveFileDialog") : QStringLiteral("OpenFileDialog"));
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog takes a name that does not exist; reading it then fails with a clear message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & DialogFlags::OverwritePrompt));
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = nameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    // Saving adds the extension to a name typed without one; opening looks for it itself, and only
    // when the name as typed does not exist.
    if (forSaving)
        dialog.setDefaultSuffix(extension);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().isEmpty())
        return std::nullopt;
    return QFileInfo(dialog.chosen()).absoluteFilePath();
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
    if (auto* pageSet = dialog.findChild<QComboBox*>(QStringLiteral("pageSetCombo"))) {
        restrictToAllPages(pageSet);
        // Choosing a real queue (or the dialog's own first update of one) enables the box again.
        pageSet->installEventFilter(new AllPagesOnly(pageSet));
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

void QtDialogBackend::messageWithReason(
    QWidget* parent, const QString& caption, const QString& text, const QString& reason)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    box.setTextFormat(Qt::PlainText);
    // The reason names the file: plain text, so that a "<" in a name is never read as markup, nor an
    // escaped "&lt;" shown as it is.
    box.setInformativeText(reason);
    if (auto* informative = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        informative->setTextFormat(Qt::PlainText);
    box.exec();
}

DialogBackend::SaveChoice QtDialogBackend::askToSave(
    QWidget* parent, const QString& caption, const QString& text, bool offerSave)
{
    const QMessageBox::StandardButtons buttons
        = (offerSave ? QMessageBox::Save : QMessageBox::NoButton) | QMessageBox::Discard | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::NoIcon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("SaveQuestion"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(offerSave ? QMessageBox::Save : QMessageBox::Cancel);
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

void QtDialogBackend::removeLeftovers()
{
    LeftoverFiles::removeDeadWriters(fileDialogSettings());
}

QString QtDialogBackend::fileDialogSettings()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/QtProject.conf");
}

QString QtDialogBackend::askTitle(QWidget* parent)
{
    TitleDialog dialog(parent);
    dialog.exec();
    return dialog.confirmedTitle();
}
