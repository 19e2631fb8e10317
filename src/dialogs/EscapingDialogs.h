#pragma once

#include "DialogBackend.h"

#include <memory>

// The seam the window's commands talk to: it hands every question on to `inner` and every message with
// its control and bidirectional characters written as escapes (PrintableText::shown). A message quotes
// what the user pasted, typed or opened, and a right-to-left override in a file name or on the
// clipboard would otherwise turn the rest of the message round.
class EscapingDialogs : public DialogBackend {
public:
    explicit EscapingDialogs(std::unique_ptr<DialogBackend> inner);

    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial, quint32 flags) override;
    std::optional<int> choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    void messageWithReason(
        QWidget* parent, const QString& caption, const QString& text, const QString& reason) override;
    SaveChoice askToSave(QWidget* parent, const QString& caption, const QString& text, bool offerSave) override;
    QString askTitle(QWidget* parent) override;
    void removeLeftovers() override;

private:
    std::unique_ptr<DialogBackend> m_inner;
};
