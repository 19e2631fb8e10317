#include "ScriptedDialogs.h"

#include "dialogs/TitleDialog.h"

#include <QTest>

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::next(Answer::Kind kind, const char* question)
{
    if (m_answers.empty()) {
        QTest::qFail(
            qPrintable(QStringLiteral("unscripted dialog: %1").arg(QLatin1String(question))), __FILE__, __LINE__);
        return std::nullopt;
    }
    Answer answer = m_answers.front();
    m_answers.pop_front();
    if (answer.kind == Answer::Cancel)
        return std::nullopt;
    // A test may show the real title dialog where a scripted title would do.
    if (answer.kind != kind && !(kind == Answer::Title && answer.kind == Answer::TitleInDialog)) {
        QTest::qFail(qPrintable(QStringLiteral("scripted answer does not fit the %1").arg(QLatin1String(question))),
            __FILE__, __LINE__);
        return std::nullopt;
    }
    return answer;
}

std::optional<QString> ScriptedDialogs::openFile(QWidget* /*parent*/, const FileDialogRequest& request)
{
    fileRequests << request;
    if (const auto answer = next(Answer::File, "open dialog"))
        return answer->path;
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget* /*parent*/, const FileDialogRequest& request)
{
    fileRequests << request;
    if (const auto answer = next(Answer::File, "save dialog"))
        return answer->path;
    return std::nullopt;
}

std::optional<QColor> ScriptedDialogs::chooseColour(QWidget* /*parent*/, const QColor& initial, quint32 /*flags*/)
{
    colourRequests << initial;
    if (const auto answer = next(Answer::Colour, "colour dialog"))
        return answer->colour;
    return std::nullopt;
}

std::optional<int> ScriptedDialogs::choosePrinter(QWidget* /*parent*/, QPrinter& printer, quint32 flags)
{
    printRequests << flags;
    const auto answer = next(Answer::Print, "print dialog");
    if (!answer)
        return std::nullopt;
    if (answer->choosePrinter)
        answer->choosePrinter(printer);
    return answer->copies;
}

void ScriptedDialogs::message(QWidget* /*parent*/, const QString& caption, const QString& text)
{
    messageCaptions << caption;
    messages << text;
    messageReasons << QString();
}

void ScriptedDialogs::messageWithReason(
    QWidget* /*parent*/, const QString& caption, const QString& text, const QString& reason)
{
    messageCaptions << caption;
    messages << text;
    messageReasons << reason;
}

DialogBackend::SaveChoice ScriptedDialogs::askToSave(
    QWidget* /*parent*/, const QString& /*caption*/, const QString& text, bool offerSave)
{
    saveQuestions << text;
    saveOffered << offerSave;
    if (m_saveChoices.empty()) {
        QTest::qFail("unscripted dialog: the question on exit", __FILE__, __LINE__);
        return SaveChoice::Cancel;
    }
    const SaveChoice choice = m_saveChoices.front();
    m_saveChoices.pop_front();
    if (choice == SaveChoice::Save && !offerSave) {
        QTest::qFail("scripted Save on a question that offers no Save button", __FILE__, __LINE__);
        return SaveChoice::Cancel;
    }
    return choice;
}

QString ScriptedDialogs::askTitle(QWidget* parent)
{
    const auto answer = next(Answer::Title, "title dialog");
    if (!answer)
        return {};
    if (answer->kind == Answer::Title)
        return answer->path;
    TitleDialog dialog(parent);
    dialog.exec();
    return dialog.confirmedTitle();
}
