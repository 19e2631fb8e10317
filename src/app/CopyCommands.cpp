#include "CopyCommands.h"

#include "MainActions.h"
#include "colour/ColourFormats.h"
#include "document/SchemeDocument.h"
#include "formats/SchemeFormats.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

CopyCommands::CopyCommands(const CommandContext& context, const MainActions& actions)
    : QObject(context.window)
    , m_context(context)
{
    using ColourFormats::Format;
    const std::pair<QAction*, Format> colours[] = {{actions.copyHex, Format::Hex}, {actions.copyRgb, Format::Rgb},
        {actions.copyHsl, Format::Hsl}, {actions.copyOklch, Format::Oklch}};
    for (const auto& [action, format] : colours) {
        connect(action, &QAction::triggered, this, [this, format = format] {
            const SchemeDocument& document = m_context.document;
            if (document.selectedSlot() >= 0)
                QGuiApplication::clipboard()->setText(
                    ColourFormats::write(document.scheme().colour(document.selectedSlot()), format));
        });
    }
    using SchemeFormats::Shape;
    const std::pair<QAction*, Shape> schemes[] = {{actions.copyCss, Shape::CssRules},
        {actions.copyProperties, Shape::CustomProperties}, {actions.copyTailwind, Shape::Tailwind},
        {actions.copyTokens, Shape::Tokens}, {actions.copyTokensHex, Shape::TokensHex}};
    for (const auto& [action, shape] : schemes) {
        connect(action, &QAction::triggered, this, [this, shape = shape] {
            QGuiApplication::clipboard()->setText(
                SchemeFormats::write(shape, m_context.document.scheme(), m_context.document.margins()));
        });
    }
}
