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
    QColor Color;
    int Copies = 0;

    // Shows the dialog for `action` modally; true when the user confirmed it.
    bool show(Action action);

    // The printer the print dialog chose; made on first use.
    QPrinter& printer();

private:
    DialogBackend& m_backend;
    QWidget* m_owner;
    std::unique_ptr<QPrinter> m_printer;
};
