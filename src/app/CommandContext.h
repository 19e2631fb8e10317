#pragma once

class CommonDialog;
class DialogBackend;
class QWidget;
class SchemeDocument;

// What every group of commands works on: the document, the one seam for everything modal, the
// common dialog, and the window that owns the dialogs and messages.
struct CommandContext {
    SchemeDocument& document;
    DialogBackend& dialogs;
    CommonDialog& commonDialog;
    QWidget* window;
};
