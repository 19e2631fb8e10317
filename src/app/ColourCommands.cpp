#include "ColourCommands.h"

#include "ClipboardReader.h"
#include "MainWindowNames.h"
#include "Refusals.h"
#include "TagBox.h"
#include "css/ColourText.h"
#include "dialogs/CommonDialog.h"
#include "document/SchemeDocument.h"
#include "files/LinkedSheets.h"
#include "files/ReadFile.h"
#include "formats/FoundText.h"
#include "web/TagReader.h"
#include "web/TextLimit.h"

#include <QClipboard>
#include <QDir>
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
    m_context.document.replaceScheme(ColourScheme::defaults(), tr("Default Colors"));
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
    if (!text) {
        m_context.dialogs.message(m_context.window, Caption,
            tr("The clipboard holds no colour: its text has more than %1 characters, far more than any colour.")
                .arg(MaxColourText));
        return;
    }
    // A colour copied from a style sheet often brings its semicolon along: " tomato ;" is tomato.
    QString colourText = text->trimmed();
    while (colourText.endsWith(u';'))
        colourText = colourText.chopped(1).trimmed();
    ColourText::Reading reading = ColourText::read(colourText);
    if (!reading.colour) {
        if (colourText.isEmpty()) {
            m_context.dialogs.message(m_context.window, Caption, tr("The clipboard holds no colour."));
            return;
        }
        // A colour that cannot be a page colour (transparent, currentcolor, a system colour) says why;
        // any other text is named with the reason it is no colour.
        reading.name = Refusals::clipped(colourText);
        const QString why = ColourText::message(reading);
        m_context.dialogs.message(m_context.window, Caption, why.isEmpty() ? Refusals::notAColour(colourText) : why);
        return;
    }
    document.setColour(slot, *reading.colour, tr("Paste Color"));
}

namespace {

// Apply Tag judges every text of a page or a style sheet too, for Page Check.
TagReader::Options judging()
{
    TagReader::Options options;
    options.judge = PageJudgement::Needs::aa();
    return options;
}

} // namespace

void ColourCommands::applyTag()
{
    read({m_tagBox->toPlainText(), judging()});
}

void ColourCommands::applyFile(const QString& path)
{
    // A page or a style sheet read as a browser reads the file, with the style sheets it links from
    // this computer; opened as every file the user names is.
    const QString shown = Refusals::quoted(QDir::toNativeSeparators(path), 80);
    const ReadFile::Result file = ReadFile::read(path, TextLimit::MaxFileBytes);
    if (!file.ok()) {
        m_context.dialogs.message(
            m_context.window, Caption, tr("%1 could not be read: %2.  Nothing was applied.").arg(shown, file.reason()));
        return;
    }
    Request request{QString::fromUtf8(file.data), judging()};
    if (!file.complete) {
        refuseTooLong(tr("Nothing was applied."));
        return;
    }
    request.options.kind = TagReader::kindOfFile(path);
    request.options.fileName = path;
    request.options.loader = LocalSheets::loader();
    read(request);
}

void ColourCommands::read(const Request& request)
{
    // This Apply Tag replaces any earlier one still being read, which is told to stop.
    m_readerWanted = false;
    m_nextRequest.reset();
    if (m_reader)
        m_readerStop.request_stop();
    const qsizetype size = request.text.size();
    // Typed on past what a paste may bring, the box holds more than any reader takes. A file is read
    // on the worker whatever its size: the style sheets it links may be large.
    if (TextLimit::tooLong(size))
        refuseTooLong(tr("Nothing was applied."));
    else if (size <= ReadAtOnce && request.options.fileName.isEmpty())
        applyReading(request, readRequest(request));
    else if (m_reader)
        m_nextRequest = request;
    else
        startReading(request);
}

void ColourCommands::startReading(const Request& request)
{
    m_readerWanted = true;
    m_readerStop = std::stop_source();
    m_readerRequest = request;
    m_readerRequest.options.stop = m_readerStop.get_token();
    m_reader.reset(QThread::create([this, request = m_readerRequest] { m_readerResult = readRequest(request); }));
    connect(m_reader.get(), &QThread::finished, this, &ColourCommands::readingDone, Qt::QueuedConnection);
    m_reader->start();
}

void ColourCommands::readingDone()
{
    m_reader->wait();
    m_reader.reset();
    // The document changes here, on the window's thread, from what the worker found.
    if (m_readerWanted)
        applyReading(m_readerRequest, std::exchange(m_readerResult, {}));
    if (m_nextRequest)
        startReading(*std::exchange(m_nextRequest, std::nullopt));
}

ColourCommands::Outcome ColourCommands::readRequest(const Request& request)
{
    // A page judged is judged in the dark colour scheme too, from the same parse.
    TagReader::Options options = request.options;
    if (options.judge && !options.shared)
        options.shared = std::make_shared<SharedReading>();
    Outcome outcome{TagReader::readExplained(request.text, options), {}, {}};
    // A page that nothing of the colour scheme could change reads the same in the dark: it is not read again.
    if (outcome.reading.judgement && !outcome.reading.schemeSensitive)
        outcome.darkJudgement = outcome.reading.judgement;
    else if (outcome.reading.judgement && !options.stop.stop_requested()) {
        TagReader::Options dark = options;
        dark.dark = true;
        outcome.darkJudgement = TagReader::readExplained(request.text, dark).judgement;
    }
    // What the text holds instead is worked out where it was read, off the window's thread for a long one.
    if (outcome.reading.found.isEmpty() && !request.options.stop.stop_requested())
        outcome.nothingUsable = Refusals::nothingUsable(request.text, outcome.reading);
    return outcome;
}

void ColourCommands::applyReading(const Request& request, const Outcome& outcome)
{
    const TagReader::Reading& reading = outcome.reading;
    SchemeDocument& document = m_context.document;
    const TagReader::Found& found = reading.found;
    if (reading.judgement && outcome.darkJudgement)
        emit pageJudged(request.options.fileName, *reading.judgement, *outcome.darkJudgement);
    // An outcome worth a message says which rule read the text.
    const QString rule = TagReader::ruleMessage(reading);
    if (found.isEmpty()) {
        const QString source = request.options.fileName.isEmpty()
            ? tr("The tag box")
            : Refusals::quoted(QDir::toNativeSeparators(request.options.fileName), 80);
        QStringList parts{tr("%1 holds no colours or margins that Hueloom can read.  Type or paste a BODY tag, or CSS "
                             "rules for body, a:link, a:visited and a:active.")
                              .arg(source)};
        // A text read as a browser reads it and found empty set nothing at all: the browser's defaults
        // are not applied for it, so that rule is not named here.
        for (const QString& part : {outcome.nothingUsable, TagReader::unusableMessage(reading),
                 TagReader::limitedMessage(reading), reading.bodyTagAlone ? rule : QString()})
            if (!part.isEmpty())
                parts << part;
        m_context.dialogs.message(m_context.window, Caption, parts.join(QStringLiteral("\n\n")));
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
        m_context.dialogs.message(m_context.window, Caption, limited + QStringLiteral("\n\n") + rule);
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
