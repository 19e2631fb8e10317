#include "EscapingDialogs.h"

#include "files/PrintableText.h"

namespace {

// A message is laid out in lines by the program itself; its line breaks stay.
QString shown(const QString& text)
{
    return PrintableText::shown(text, PrintableText::LineEnds::Kept);
}

} // namespace

EscapingDialogs::EscapingDialogs(std::unique_ptr<DialogBackend> inner)
    : m_inner(std::move(inner))
{
}

std::optional<QString> EscapingDialogs::openFile(QWidget* parent, const FileDialogRequest& request)
{
    return m_inner->openFile(parent, request);
}

std::optional<QString> EscapingDialogs::saveFile(QWidget* parent, const FileDialogRequest& request)
{
    return m_inner->saveFile(parent, request);
}

std::optional<QColor> EscapingDialogs::chooseColour(QWidget* parent, const QColor& initial, quint32 flags)
{
    return m_inner->chooseColour(parent, initial, flags);
}

std::optional<int> EscapingDialogs::choosePrinter(QWidget* parent, QPrinter& printer, quint32 flags)
{
    return m_inner->choosePrinter(parent, printer, flags);
}

void EscapingDialogs::message(QWidget* parent, const QString& caption, const QString& text)
{
    m_inner->message(parent, caption, shown(text));
}

void EscapingDialogs::messageWithReason(
    QWidget* parent, const QString& caption, const QString& text, const QString& reason)
{
    m_inner->messageWithReason(parent, caption, shown(text), shown(reason));
}

DialogBackend::SaveChoice EscapingDialogs::askToSave(
    QWidget* parent, const QString& caption, const QString& text, bool offerSave)
{
    return m_inner->askToSave(parent, caption, shown(text), offerSave);
}

QString EscapingDialogs::askTitle(QWidget* parent)
{
    return m_inner->askTitle(parent);
}

void EscapingDialogs::removeLeftovers()
{
    m_inner->removeLeftovers();
}
