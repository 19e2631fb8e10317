#include "ColourCommands.h"

#include "MainWindowNames.h"
#include "dialogs/CommonDialog.h"
#include "document/SchemeDocument.h"
#include "scheme/ColourText.h"
#include "scheme/SchemeFormats.h"
#include "scheme/TagReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>

using namespace MainWindowNames;

ColourCommands::ColourCommands(const CommandContext& context, QPlainTextEdit* tagBox)
    : QObject(context.window)
    , m_context(context)
    , m_tagBox(tagBox)
{
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
    SchemeDocument& document = m_context.document;
    const int slot = document.selectedSlot();
    if (slot < 0)
        return;
    const ColourText::Reading reading = ColourText::read(QGuiApplication::clipboard()->text());
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
    SchemeDocument& document = m_context.document;
    // Custom properties, a Tailwind theme or design tokens of the slots' names win over the rules.
    const QString text = m_tagBox->toPlainText();
    const TagReader::Reading reading = TagReader::readExplained(text);
    const TagReader::Found found = SchemeFormats::readOver(reading.found, text);
    if (found.isEmpty()) {
        const QString unusable = TagReader::unusableMessage(reading);
        m_context.dialogs.message(m_context.window, Caption,
            tr("The tag box holds no colours or margins that Hueloom can read.  Type or paste a BODY tag, or CSS "
               "rules for body, a:link, a:visited and a:active.")
                + (unusable.isEmpty() ? QString() : QStringLiteral("\n\n") + unusable));
        return;
    }
    SchemeState applied = document.state();
    TagReader::apply(found, applied.scheme, applied.margins);
    // A margin label shows a new value the way an arrow step would; one that keeps its value stays as it is.
    applied.leftStepped |= applied.margins.left() != document.margins().left();
    applied.topStepped |= applied.margins.top() != document.margins().top();
    document.applyState(applied, tr("Apply Tag"));
    // The box shows the tag from the document again, whatever the user typed.
    m_tagBox->setPlainText(document.tag().text());
    if (const QString limited = TagReader::limitedMessage(reading); !limited.isEmpty())
        m_context.dialogs.message(m_context.window, Caption, limited);
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
