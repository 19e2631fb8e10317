#include "CommonDialog.h"

#include "DialogFlags.h"

#include <QPrinter>
#include <QWidget>

CommonDialog::CommonDialog(DialogBackend& backend, QWidget* owner)
    : QObject(owner)
    , m_backend(backend)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("CMDialog1"));
}

CommonDialog::~CommonDialog() = default;

QPrinter& CommonDialog::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool CommonDialog::show(Action action)
{
    switch (action) {
    case ShowOpen:
    case ShowSave: {
        const FileDialogRequest request{DialogTitle, Filter, FilterIndex, DefaultExt, Flags, FileName};
        const auto path
            = action == ShowOpen ? m_backend.openFile(m_owner, request) : m_backend.saveFile(m_owner, request);
        if (!path)
            return false;
        FileName = *path;
        return true;
    }
    case ShowColor: {
        const auto colour = m_backend.chooseColour(m_owner, Color, Flags);
        if (!colour)
            return false;
        Color = *colour;
        return true;
    }
    case ShowPrinter: {
        const auto copies = m_backend.choosePrinter(m_owner, printer(), Flags);
        if (!copies)
            return false;
        Copies = *copies;
        return true;
    }
    }
    return false;
}

namespace {
const QString SchemeFilter = QStringLiteral("Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*");
} // namespace

bool CommonDialog::askSchemeToOpen()
{
    using namespace DialogFlags;
    Filter = SchemeFilter;
    FilterIndex = 1;
    DefaultExt = QStringLiteral("*.HLM");
    DialogTitle = QStringLiteral("Hueloom Open File Dialog");
    Flags = HideReadOnly | PathMustExist | NoReadOnlyReturn;
    return show(ShowOpen);
}

bool CommonDialog::askSchemeToSave()
{
    using namespace DialogFlags;
    Filter = SchemeFilter;
    FilterIndex = 1;
    DefaultExt = QStringLiteral("*.HLM");
    DialogTitle = QStringLiteral("Hueloom Save File Dialog");
    Flags = HideReadOnly | OverwritePrompt | PathMustExist | NoReadOnlyReturn;
    return show(ShowSave);
}

bool CommonDialog::askPageToOpen()
{
    using namespace DialogFlags;
    const QString scheme = FileName;
    Filter = QStringLiteral("Pages and style sheets(*.html;*.htm;*.css)|*.html;*.htm;*.css|ALL_FIles(*.*)|*.*");
    FilterIndex = 1;
    DefaultExt = QStringLiteral("*.html");
    DialogTitle = QStringLiteral("Hueloom Open Page Dialog");
    Flags = HideReadOnly | PathMustExist;
    FileName = PageName;
    const bool chosen = show(ShowOpen);
    if (chosen)
        PageName = FileName;
    FileName = scheme;
    return chosen;
}

bool CommonDialog::askColour(const QColor& initial)
{
    Color = initial;
    Flags = DialogFlags::RgbInit;
    return show(ShowColor);
}

bool CommonDialog::askPrinter()
{
    using namespace DialogFlags;
    Flags = NoSelection | NoPageNumbers | DisablePrintToFile | HidePrintToFile;
    return show(ShowPrinter);
}
