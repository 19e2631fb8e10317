#pragma once

#include "DialogBackend.h"

#include <QStringList>

// The program's dialogs: Qt's own widgets (never the desktop's native ones, so every desktop
// behaves alike).
class QtDialogBackend : public DialogBackend {
public:
    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial, quint32 flags) override;
    std::optional<int> choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    void messageWithReason(
        QWidget* parent, const QString& caption, const QString& text, const QString& reason) override;
    SaveChoice askToSave(QWidget* parent, const QString& caption, const QString& text, bool offerSave = true) override;
    QString askTitle(QWidget* parent) override;
    // Qt's file dialog keeps its history and its last folder in a settings file of its own, shared by
    // every Qt program of the user, and a kill while it stores them leaves its lock and temporary there.
    void removeLeftovers() override;

    // That settings file: QtProject.conf in the user's configuration folder.
    static QString fileDialogSettings();

    // "Schemes(*.HLM)|*.HLM|ALL_FIles(*.*)|*.*" as Qt name filters: each label followed by its
    // patterns in parentheses, "*.*" read as every file. The dialog hides the parentheses and so
    // shows each label as written.
    static QStringList nameFilters(const QString& filter);
    // Why `path` may not be accepted under `flags`, or an empty text when it may.
    static QString refusal(const QString& path, quint32 flags, bool forSaving);

private:
    std::optional<QString> runFileDialog(QWidget* parent, const FileDialogRequest& request, bool forSaving);
};
