#include "ScriptedDialogs.h"

#include <QTest>

ScriptedDialogs::Answer ScriptedDialogs::next(const char* question)
{
    if (m_answers.empty()) {
        QTest::qFail(
            qPrintable(QStringLiteral("unscripted dialog: %1").arg(QLatin1String(question))), __FILE__, __LINE__);
        return Cancel{};
    }
    Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

namespace {

template <typename T> const T* expect(const ScriptedDialogs::Answer& answer, const char* question)
{
    if (std::holds_alternative<ScriptedDialogs::Cancel>(answer))
        return nullptr;
    const T* value = std::get_if<T>(&answer);
    if (!value)
        QTest::qFail(qPrintable(QStringLiteral("scripted answer does not fit the %1").arg(QLatin1String(question))),
            __FILE__, __LINE__);
    return value;
}

} // namespace

std::optional<QString> ScriptedDialogs::openFile(QWidget* /*parent*/, const FileDialogRequest& request)
{
    fileRequests << request;
    const Answer answer = next("open dialog");
    if (const auto* file = expect<FileAnswer>(answer, "open dialog"))
        return file->path;
    return std::nullopt;
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget* /*parent*/, const FileDialogRequest& request)
{
    fileRequests << request;
    const Answer answer = next("save dialog");
    if (const auto* file = expect<FileAnswer>(answer, "save dialog"))
        return file->path;
    return std::nullopt;
}

std::optional<QColor> ScriptedDialogs::chooseColour(QWidget* /*parent*/, const QColor& initial, quint32 /*flags*/)
{
    colourRequests << initial;
    const Answer answer = next("colour dialog");
    if (const auto* colour = expect<ColourAnswer>(answer, "colour dialog"))
        return colour->colour;
    return std::nullopt;
}

std::optional<int> ScriptedDialogs::choosePrinter(QWidget* /*parent*/, QPrinter& printer, quint32 flags)
{
    printRequests << flags;
    const Answer answer = next("print dialog");
    if (const auto* print = expect<PrintAnswer>(answer, "print dialog")) {
        if (print->choosePrinter)
            print->choosePrinter(printer);
        return print->copies;
    }
    return std::nullopt;
}

void ScriptedDialogs::message(QWidget* /*parent*/, const QString& caption, const QString& text)
{
    messageCaptions << caption;
    messages << text;
}
