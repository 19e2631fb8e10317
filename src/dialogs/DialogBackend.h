#pragma once

#include <QColor>
#include <QString>
#include <optional>

class QPrinter;
class QWidget;

// What a file dialog is asked to show: a title, a filter in the "label|pattern|label|pattern" form,
// the entry selected at start (from 1), a default extension, option flags and the name to offer.
struct FileDialogRequest {
    QString title;
    QString filter;
    int filterIndex = 1;
    QString defaultExtension;
    quint32 flags = 0;
    QString fileName;
};

// The one way the program reaches anything modal: file, colour and print dialogs and message boxes.
// The program uses QtDialogBackend; tests hand the window a scripted fake, so every modal answer in a
// test is one the test gave on purpose.
class DialogBackend {
public:
    virtual ~DialogBackend() = default;

    // Each returns the confirmed answer, or nothing when the user cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial, quint32 flags) = 0;
    // Lets the user pick the printer (set on `printer`) and a number of copies.
    virtual std::optional<int> choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags) = 0;

    // A message with an OK button and no icon.
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The same message with the system's reason for a failure ("Permission denied") on a line below it.
    virtual void messageWithReason(QWidget* parent, const QString& caption, const QString& text, const QString& reason)
    {
        message(parent, caption, text + u'\n' + reason);
    }

    // Whether to save a changed scheme before the program ends. Without `offerSave` (nothing that a
    // save would keep is at stake) the answers are Discard and Cancel only, and Cancel is the default.
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askToSave(QWidget* parent, const QString& caption, const QString& text, bool offerSave = true)
        = 0;

    // The sample title the user confirmed in the title dialog; empty when OK was pressed on an empty
    // box or the dialog was closed.
    virtual QString askTitle(QWidget* parent) = 0;

    // Removes what the dialogs left behind when an earlier run was killed while one of them stored its
    // own settings. Done once at start.
    virtual void removeLeftovers() { }
};
