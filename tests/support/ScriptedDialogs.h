#pragma once

#include "dialogs/DialogBackend.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

// A dialog backend for tests: every modal question must have been answered in advance. A question
// nobody scripted fails the running test and is answered with a cancel.
class ScriptedDialogs : public DialogBackend {
public:
    // One scripted answer: a cancel, or a confirmed file, colour or print dialog.
    struct Answer {
        enum Kind { Cancel, File, Colour, Print, Title, TitleInDialog } kind = Cancel;
        QString path;
        QColor colour;
        int copies = 0;
        std::function<void(QPrinter&)> choosePrinter;
    };

    void answerFile(const QString& path) { m_answers.push_back(Answer{Answer::File, path, {}, 0, {}}); }
    void answerColour(const QColor& colour) { m_answers.push_back(Answer{Answer::Colour, {}, colour, 0, {}}); }
    // Confirms the print dialog with `copies`; `choosePrinter` plays the user's choice of printer.
    void answerPrint(int copies, std::function<void(QPrinter&)> choosePrinter = {})
    {
        m_answers.push_back(Answer{Answer::Print, {}, {}, copies, std::move(choosePrinter)});
    }
    void answerCancel() { m_answers.push_back(Answer{}); }
    // Confirms the title dialog with `title` without showing it.
    void answerTitle(const QString& title) { m_answers.push_back(Answer{Answer::Title, title, {}, 0, {}}); }
    // Shows the real title dialog, for a test that drives it itself (see whenModal).
    void answerTitleInDialog() { m_answers.push_back(Answer{Answer::TitleInDialog, {}, {}, 0, {}}); }
    // Answers the question on exit.
    void answerSaveQuestion(SaveChoice choice) { m_saveChoices.push_back(choice); }

    bool allAnswered() const { return m_answers.empty() && m_saveChoices.empty(); }

    // What the program asked, for the test to check.
    QList<FileDialogRequest> fileRequests;
    QList<QColor> colourRequests;
    QList<quint32> printRequests;
    QStringList messages;
    // For each question on exit, whether it offered to save.
    QList<bool> saveOffered;
    QStringList messageCaptions;
    QStringList messageReasons; // one per message, empty for a message given without a reason
    QStringList saveQuestions;

    std::optional<QString> openFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileDialogRequest& request) override;
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial, quint32 flags) override;
    std::optional<int> choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
    void messageWithReason(
        QWidget* parent, const QString& caption, const QString& text, const QString& reason) override;
    SaveChoice askToSave(QWidget* parent, const QString& caption, const QString& text, bool offerSave) override;
    QString askTitle(QWidget* parent) override;

private:
    // The next answer, which must be a cancel or of `kind`; nothing when it is a cancel.
    std::optional<Answer> next(Answer::Kind kind, const char* question);

    std::deque<Answer> m_answers;
    std::deque<SaveChoice> m_saveChoices;
};
