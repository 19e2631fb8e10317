#include "ColourCommands.h"

#include "ClipboardReader.h"
#include "MainWindowNames.h"
#include "TagBox.h"
#include "css/ColourText.h"
#include "dialogs/CommonDialog.h"
#include "document/SchemeDocument.h"
#include "scheme/FoundText.h"
#include "web/TagReader.h"
#include "web/TextLimit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>
#include <utility>

using namespace MainWindowNames;

ColourCommands::ColourCommands(const CommandContext& context, TagBox* tagBox)
    : QObject(context.window)
    , m_context(context)
    , m_tagBox(tagBox)
    , m_clipboard(new ClipboardReader(this))
{
    connect(tagBox, &TagBox::pasteRefused, this, &ColourCommands::refusePaste);
}

ColourCommands::~ColourCommands()
{
    // The reader stops at its next safe point (gumbo's parse included); its result goes nowhere.
    if (m_reader) {
        m_readerStop.request_stop();
        m_reader->wait();
    }
}

void ColourCommands::defaultColours()
{
    m_context.document.replaceScheme(ColorScheme::defaults(), tr("Default Colors"));
}

void ColourCommands::windowsColourDialog()
{
    SchemeDocument& document = m_context.document;
    const int slot = document.selectedSlot();
    if (slot < 0)
        return;
    CommonDialog& dialog = m_context.commonDialog;
    if (!dialog.askColour(document.scheme().colour(slot)))
        return;
    document.setColour(slot, dialog.Color.toRgb(), Slot::caption(slot));
}

void ColourCommands::pasteColour()
{
    if (m_context.document.selectedSlot() < 0)
        return;
    // A Paste Color given while the clipboard has not answered the last one replaces it.
    m_clipboard->read(QClipboard::Clipboard, MaxColourText, [this](const ClipboardReader::Answer& answer) {
        pasteColourText(answer.tooLong ? std::nullopt : std::optional(answer.text));
    });
}

void ColourCommands::pasteColourText(const std::optional<QString>& text)
{
    SchemeDocument& document = m_context.document;
    const int slot = document.selectedSlot();
    if (slot < 0)
        return;
    const ColourText::Reading reading = text ? ColourText::read(*text) : ColourText::Reading{};
    if (!reading.colour) {
        // A colour that cannot be a page colour (transparent, currentcolor, a system colour) says why.
        const QString why = ColourText::message(reading);
        m_context.dialogs.message(
            m_context.window, Caption, why.isEmpty() ? tr("The clipboard holds no colour.") : why);
        return;
    }
    document.setColour(slot, *reading.colour, tr("Paste Color"));
}

void ColourCommands::applyTag()
{
    // This Apply Tag replaces any earlier one still being read, which is told to stop.
    m_readerWanted = false;
    m_nextText.reset();
    if (m_reader)
        m_readerStop.request_stop();
    const QString text = m_tagBox->toPlainText();
    // Typed on past what a paste may bring, the box holds more than any reader takes.
    if (TextLimit::tooLong(text.size()))
        refuseTooLong(tr("Nothing was applied."));
    else if (text.size() <= ReadAtOnce)
        applyReading(TagReader::readExplained(text));
    else if (m_reader)
        m_nextText = text;
    else
        startReading(text);
}

void ColourCommands::startReading(const QString& text)
{
    m_readerWanted = true;
    m_readerStop = std::stop_source();
    m_reader.reset(QThread::create(
        [this, text, stop = m_readerStop.get_token()] { m_readerResult = TagReader::readExplained(text, stop); }));
    connect(m_reader.get(), &QThread::finished, this, &ColourCommands::readingDone, Qt::QueuedConnection);
    m_reader->start();
}

void ColourCommands::readingDone()
{
    m_reader->wait();
    m_reader.reset();
    // The document changes here, on the window's thread, from what the worker found.
    if (m_readerWanted)
        applyReading(std::exchange(m_readerResult, {}));
    if (m_nextText)
        startReading(*std::exchange(m_nextText, std::nullopt));
}

void ColourCommands::applyReading(const TagReader::Reading& reading)
{
    SchemeDocument& document = m_context.document;
    const TagReader::Found& found = reading.found;
    if (found.isEmpty()) {
        const QString unusable = TagReader::unusableMessage(reading);
        m_context.dialogs.message(m_context.window, Caption,
            tr("The tag box holds no colours or margins that Hueloom can read.  Type or paste a BODY tag, or CSS "
               "rules for body, a:link, a:visited and a:active.")
                + (unusable.isEmpty() ? QString() : QStringLiteral("\n\n") + unusable));
        return;
    }
    SchemeState applied = document.state();
    FoundText::apply(found, applied.scheme, applied.margins);
    // A margin label shows a new value the way an arrow step would; one that keeps its value stays as it is.
    applied.leftStepped |= applied.margins.left() != document.margins().left();
    applied.topStepped |= applied.margins.top() != document.margins().top();
    document.applyState(applied, tr("Apply Tag"));
    // The box shows the tag from the document again, whatever the user typed.
    m_tagBox->setPlainText(document.tag().text());
    if (const QString limited = TagReader::limitedMessage(reading); !limited.isEmpty())
        m_context.dialogs.message(m_context.window, Caption, limited);
}

void ColourCommands::refusePaste()
{
    refuseTooLong(tr("Nothing was pasted."));
}

void ColourCommands::refuseTooLong(const QString& outcome)
{
    m_context.dialogs.message(
        m_context.window, Caption, tr("This text is %1.  %2").arg(TextLimit::tooLongMessage(), outcome));
}

void ColourCommands::copySelection()
{
    // The tag line keeps its selection while the focus is elsewhere, so this is the last one made.
    // Copying reads the box and changes nothing in it.
    QString selected = m_tagBox->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(selected);
}

void ColourCommands::copyTag()
{
    // The box as it stands, with anything the user typed into it.
    QGuiApplication::clipboard()->setText(m_tagBox->toPlainText());
}
