#pragma once

#include "DialogBackend.h"

#include <QObject>
#include <memory>

class QPrinter;
class QWidget;

// The main window's one common dialog: settings that persist between uses, and a dialog shown by
// action code. Each caller sets what it relies on before each use; the file name is shared by the
// open and the save dialog, so either offers the path last confirmed in the other.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    enum Action { ShowOpen = 1, ShowSave = 2, ShowColor = 3, ShowPrinter = 5 };

    CommonDialog(DialogBackend& backend, QWidget* owner);
    ~CommonDialog() override;

    QString FileName;
    QString DialogTitle;
    QString Filter;
    int FilterIndex = 1;
    QString DefaultExt;
    quint32 Flags = 0;
    QString PageName;
    QColor Color;
    int Copies = 0;

    // Shows the dialog for `action` modally; true when the user confirmed it.
    bool show(Action action);

    // What the program asks for, each filling in the settings it relies on first. The file name asked
    // for is in FileName, the colour in Color, the copies in Copies.
    // A scheme file to open or to save as, with the scheme filter and extension.
    bool askSchemeToOpen();
    bool askSchemeToSave();
    // A page or a style sheet to read (File > Open Page), in PageName: its own name, apart from the
    // scheme's, so that Save Scheme never offers a page's name.
    bool askPageToOpen();
    // A colour, starting from `initial`.
    bool askColour(const QColor& initial);
    // A printer and a number of copies for the RGB chart.
    bool askPrinter();

    // The printer the print dialog chose; made on first use.
    QPrinter& printer();

private:
    DialogBackend& m_backend;
    QWidget* m_owner;
    std::unique_ptr<QPrinter> m_printer;
};
