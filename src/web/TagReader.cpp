#include "TagReader.h"

#include "DesignTokens.h"
#include "LegacyColour.h"
#include "PageColours.h"
#include "SlotNames.h"
#include "TagStyle.h"
#include "css/ColourText.h"
#include "css/CssTokenizer.h"
#include "html/HtmlDocument.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace TagReader {

namespace {

// Attribute values a browser passes over, named for the user.
QStringList unusableAttributes(const HtmlDocument::Attributes& body)
{
    QStringList result;
    for (const auto& [name, value] : body) {
        const bool colour = QStringList{QStringLiteral("bgcolor"), QStringLiteral("text"), QStringLiteral("link"),
            QStringLiteral("vlink"), QStringLiteral("alink")}
                                .contains(name);
        const bool margin = QStringList{QStringLiteral("leftmargin"), QStringLiteral("topmargin"),
            QStringLiteral("marginwidth"), QStringLiteral("marginheight")}
                                .contains(name);
        if ((colour && !LegacyColour::parse(value)) || (margin && !TagStyle::marginAttribute(value)))
            result << QStringLiteral("%1=\"%2\"").arg(name, value);
    }
    return result;
}

} // namespace

bool Found::isEmpty() const
{
    return std::none_of(colours.begin(), colours.end(), [](const auto& colour) { return colour.has_value(); })
        && !leftMargin && !topMargin;
}

namespace {

// A text that is one <body …> start tag, whitespace aside: quotes may hold a >.
bool isBodyTagAlone(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (!trimmed.startsWith(QLatin1String("<body"), Qt::CaseInsensitive) || trimmed.size() < 6
        || !(trimmed[5] == u'>' || trimmed[5].isSpace() || trimmed[5] == u'/'))
        return false;
    QChar quote;
    for (qsizetype at = 5; at < trimmed.size(); ++at) {
        const QChar c = trimmed[at];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if ((c == u'"' || c == u'\'') && at > 0 && trimmed[at - 1] == u'=') {
            quote = c;
        } else if (c == u'>') {
            return at == trimmed.size() - 1;
        } else if (c == u'<') {
            return false;
        }
    }
    return false;
}

void takeMargins(
    const std::optional<TagStyle::Value>& left, const std::optional<TagStyle::Value>& top, Reading& reading);

// A custom property named after a slot, as this program's copy shapes name them, gives that slot.
void takeNamed(const TagStyle& style, Found& found)
{
    for (int slot = 0; slot < Slot::Count; ++slot) {
        for (const QString& prefix : {QStringLiteral("--color-"), QStringLiteral("--")}) {
            if (const std::optional<Rgb> colour = style.customColour(prefix + SlotNames::name(slot))) {
                found.colours[std::size_t(slot)] = *colour;
                break;
            }
        }
    }
}

// What a lone tag gives by its own attributes and style attribute, without defaults: a slot or margin
// it does not set stays empty.
Reading readGiven(QStringView text, const std::stop_token& stop)
{
    Reading reading;
    const HtmlDocument document(text, stop);
    if (stop.stop_requested())
        return {};
    const HtmlDocument::Attributes body = document.bodyAttributes();
    const TagStyle style(body, TagStyle::styleAttribute(body));
    reading.unusable = unusableAttributes(body);
    if (style.leftOut()) {
        reading.notes << TagStyle::leftOutNote();
        reading.shortfalls << ReadingNotes::Reason::TooLarge;
    }

    const auto take = [&](const std::optional<TagStyle::Value>& value, std::optional<Rgb>& colour) {
        if (value && value->colour)
            colour = value->colour;
        else if (value && !value->unusable.isEmpty())
            reading.unusable << value->unusable;
    };
    Found& found = reading.found;
    take(style.background(), found.colours[Slot::Background]);
    take(style.colour(), found.colours[Slot::Text]);
    take(style.link(TagStyle::Link::Unvisited), found.colours[Slot::NewLink]);
    take(style.link(TagStyle::Link::Visited), found.colours[Slot::VisitedLink]);
    take(style.link(TagStyle::Link::Active), found.colours[Slot::ActiveLink]);
    takeNamed(style, found);
    takeMargins(style.margin(true), style.margin(false), reading);
    reading.unusable.removeDuplicates();
    return reading;
}

// The margins a tag or a page gives, kept within what a scheme holds.
void takeMargins(
    const std::optional<TagStyle::Value>& left, const std::optional<TagStyle::Value>& top, Reading& reading)
{
    Found& found = reading.found;
    for (const bool isLeft : {true, false}) {
        const std::optional<TagStyle::Value>& value = isLeft ? left : top;
        if (!value)
            continue;
        const QString name = isLeft ? QStringLiteral("margin-left") : QStringLiteral("margin-top");
        if (!value->pixels) {
            reading.unusable << value->unusable;
            continue;
        }
        const double rounded = std::floor(std::clamp(*value->pixels, -1e6, 1e6) + 0.5);
        const int kept = int(std::clamp(rounded, double(MarginMinimum), double(MarginMaximum)));
        if (kept != rounded)
            reading.limited << QStringLiteral("%1: %2px").arg(name, QString::number(*value->pixels));
        (isLeft ? found.leftMargin : found.topMargin) = kept;
    }
}

bool isColourProperty(const QString& name)
{
    return name == QLatin1String("color") || name == QLatin1String("background")
        || name == QLatin1String("background-color") || name == QLatin1String("background-image");
}

// Whether a selector can reach the page's root, its body or a link.
bool reachesPage(const QString& selector)
{
    static const QRegularExpression page(QStringLiteral("(^|[\\s,>+~(])(html|body|a|\\*|:root)($|[\\s,.:#\\[>+~)])"),
        QRegularExpression::CaseInsensitiveOption);
    return page.match(selector).hasMatch() || selector.trimmed().startsWith(u'&');
}

void varsIn(const CssValues& values, QStringList& found)
{
    for (const CssValue& value : values) {
        if (value.isFunction(u"var")) {
            for (const CssValue& inside : value.inside)
                if (inside.token.type == CssToken::Ident && inside.token.text.startsWith(QLatin1String("--"))) {
                    found << inside.token.text;
                    break;
                }
        }
        varsIn(value.inside, found);
    }
}

bool holdsPicture(const CssValues& values)
{
    for (const CssValue& value : values) {
        if (value.token.type == CssToken::Url
            || (value.token.type == CssToken::Function
                && (value.token.text.endsWith(QLatin1String("gradient"), Qt::CaseInsensitive)
                    || value.isFunction(u"url") || value.isFunction(u"image") || value.isFunction(u"image-set"))))
            return true;
        if (holdsPicture(value.inside))
            return true;
    }
    return false;
}

bool isSixHexDigits(QStringView text)
{
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'0' && u <= u'9') || ((u | 0x20) >= u'a' && (u | 0x20) <= u'f');
    });
}

// What the style rules of a text set, gathered for the explanation.
struct Survey {
    QStringList otherSelectors;
    QStringList customsOnly;
    QStringList defined; // every custom property the text sets
    QStringList varsUsed; // custom properties colours are taken from
    QStringList pictures;
};

void survey(const QList<CssRule>& rules, Survey& found, int depth = 0)
{
    if (depth > 16)
        return;
    for (const CssRule& rule : rules) {
        if (!rule.hasBlock)
            continue;
        if (!rule.atName.isEmpty()) {
            survey(CssParser::rules(rule.block), found, depth + 1);
            continue;
        }
        const QString selector = CssParser::text(CssParser::trimmed(rule.prelude)).simplified();
        const QList<CssDeclaration> declarations = CssParser::declarations(rule.block);
        QStringList customs;
        bool other = false;
        for (const CssDeclaration& declaration : declarations) {
            if (declaration.name.startsWith(QLatin1String("--"))) {
                customs << declaration.name;
                continue;
            }
            other = true;
            if (!isColourProperty(declaration.name))
                continue;
            varsIn(declaration.value, found.varsUsed);
            if (holdsPicture(declaration.value))
                found.pictures << declaration.name + QStringLiteral(": ") + CssParser::text(declaration.value);
        }
        found.defined << customs;
        if (!reachesPage(selector))
            found.otherSelectors << selector;
        else if (!other && !customs.isEmpty())
            found.customsOnly << customs;
        survey(CssParser::rules(rule.block), found, depth + 1);
    }
}

// The rules of a whole style sheet's values, as CssParser::styleSheet reads them from its text: at the
// top level a <!-- or --> where a rule would start is passed over.
QList<CssRule> sheetRules(const CssValues& values)
{
    CssValues kept;
    kept.reserve(values.size());
    bool atStart = true;
    bool atRule = false;
    for (const CssValue& value : values) {
        const CssToken& token = value.token;
        if (atStart) {
            if (token.is(CssToken::Cdo) || token.is(CssToken::Cdc))
                continue;
            if (!token.is(CssToken::Whitespace)) {
                atStart = false;
                atRule = token.is(CssToken::AtKeyword);
            }
        }
        kept.append(value);
        if (!atStart && (value.isBlock(CssToken::OpenCurly) || (atRule && token.is(CssToken::Semicolon))))
            atStart = true;
    }
    return CssParser::rules(kept);
}

} // namespace

Options::Kind kindOfFile(const QString& fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".css")))
        return Options::Kind::StyleSheet;
    if (lower.endsWith(QLatin1String(".html")) || lower.endsWith(QLatin1String(".htm")))
        return Options::Kind::Page;
    return Options::Kind::Guess;
}

// Markup starts with < and a letter, / or !: as CSS, a < delimiter before an identifier or one of
// those. Strings, comments and url() are single tokens, so a < inside them is never seen; <!-- is CSS's
// own.
bool markupTokens(QStringView text)
{
    CssTokenizer tokenizer(text);
    bool afterLess = false;
    for (CssToken token = tokenizer.next(); !token.is(CssToken::End); token = tokenizer.next()) {
        if (afterLess
            && (token.is(CssToken::Ident) || token.is(CssToken::Function) || token.isDelim(u'/')
                || token.isDelim(u'!')))
            return true;
        afterLess = token.isDelim(u'<');
    }
    return false;
}

namespace {

// Whether a < could start markup by what follows it: the first character of an identifier, a / or a !.
bool mayOpenMarkup(QStringView text)
{
    for (qsizetype at = text.indexOf(u'<'); at >= 0 && at + 1 < text.size(); at = text.indexOf(u'<', at + 1)) {
        const QChar next = text[at + 1];
        if (next.isLetter() || next.unicode() >= 0x80 || next.unicode() == 0 || next == u'_' || next == u'-'
            || next == u'\\' || next == u'/' || next == u'!')
            return true;
    }
    return false;
}

// A text with no < that could start markup (none at all, or only a range query's) holds none, and is
// not tokenized to find that out.
bool holdsMarkup(QStringView text)
{
    return mayOpenMarkup(text) && TagReader::markupTokens(text);
}

// What a text is, and for design tokens what they give: JSON is read once, as it is told apart.
struct Sniffed {
    TextKind kind;
    std::optional<DesignTokens::Colours> tokens;
};

Sniffed sniffed(QStringView text, Options::Kind asked)
{
    if (asked == Options::Kind::Page)
        return {TextKind::Page, {}};
    if (asked == Options::Kind::StyleSheet)
        return {TextKind::StyleSheet, {}};
    if (std::optional<DesignTokens::Colours> tokens = DesignTokens::read(text))
        return {TextKind::DesignTokens, std::move(tokens)};
    if (isBodyTagAlone(text))
        return {TextKind::BodyTag, {}};
    return {holdsMarkup(text) ? TextKind::Page : TextKind::StyleSheet, {}};
}

// The values of a style sheet the reading parsed, or parsed now when it did not reach it (a sheet for
// other media, one past the reading's allowance).
CssValues sheetValues(const QString& sheet, const SharedReading& shared)
{
    if (const std::shared_ptr<const CssValues> parsed = shared.sheets.sheets.value(sheet))
        return *parsed;
    return CssParser::values(sheet);
}

// What a text that gave nothing holds instead, from what its reading parsed.
Instead explained(QStringView text, TextKind kind, const SharedReading& shared)
{
    Instead instead;
    QList<CssValues> sheets;
    if (kind == TextKind::Page || kind == TextKind::BodyTag) {
        // A lone tag holds no style element; a page's are those its tree holds.
        if (kind == TextKind::Page && shared.tree) {
            for (const PageTree::Sheet& sheet : shared.tree->sheets())
                if (sheet.href.isEmpty())
                    sheets << sheetValues(sheet.text, shared);
        }
        instead.noStyleSheet = sheets.isEmpty();
        if (instead.noStyleSheet)
            return instead;
    } else if (kind == TextKind::DesignTokens) {
        // Tokens that named no slot: what remains to say is said of the text as CSS.
        sheets << CssParser::values(text);
    } else if (!text.contains(u'{')) {
        // No rules at all: a value, or words.
        instead.noRules = true;
        const CssValues values = sheetValues(text.toString(), shared);
        QStringList vars;
        varsIn(values, vars);
        if (!vars.isEmpty())
            instead.varUsed = vars.first();
        else if (holdsPicture(values))
            instead.picture = true;
        else
            instead.colour = isSixHexDigits(text.trimmed()) || ColourText::read(values).colour.has_value();
        return instead;
    } else {
        sheets << sheetValues(text.toString(), shared);
    }
    Survey found;
    for (const CssValues& sheet : std::as_const(sheets))
        survey(sheetRules(sheet), found);
    instead.otherSelectors = found.otherSelectors;
    instead.customsOnly = found.customsOnly;
    for (const QString& name : std::as_const(found.varsUsed))
        if (!found.defined.contains(name))
            instead.unsetVars << name;
    instead.pictures = found.pictures;
    return instead;
}

} // namespace

TextKind sniff(QStringView text, Options::Kind asked)
{
    return sniffed(text, asked).kind;
}

Reading readExplained(QStringView text, const std::stop_token& stop)
{
    Options options;
    options.stop = stop;
    return readExplained(text, options);
}

Reading readExplained(QStringView text, const Options& options)
{
    Sniffed sniff = sniffed(text, options.kind);
    Reading reading;
    reading.kind = sniff.kind;
    if (sniff.kind == TextKind::DesignTokens) {
        reading.found.colours = *sniff.tokens;
        if (reading.found.isEmpty())
            reading.instead = explained(text, sniff.kind, SharedReading{});
        return reading;
    }
    if (sniff.kind == TextKind::BodyTag) {
        reading = readGiven(text, options.stop);
        reading.kind = sniff.kind;
        reading.bodyTagAlone = true;
        if (reading.found.isEmpty() && !options.stop.stop_requested())
            reading.instead = explained(text, sniff.kind, SharedReading{});
        return reading;
    }
    // What the reading parses is kept for the explanation of a text that gave nothing.
    Options read = options;
    if (!read.shared)
        read.shared = std::make_shared<SharedReading>();
    const PageColours colours = PageColours::read(
        text, sniff.kind == TextKind::Page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet, read);
    if (options.stop.stop_requested())
        return {};
    // Pasted text that sets no colour at all gives none: there is nothing in it to apply. A file is
    // read as a browser shows it, defaults and all.
    const bool asShown = colours.authored || options.asShown || !options.fileName.isEmpty();
    for (std::size_t slot = 0; slot < Slot::Count && asShown; ++slot)
        reading.found.colours[slot] = Rgb::fromArgb(colours.colours[slot]);
    takeMargins(colours.marginLeft, colours.marginTop, reading);
    reading.unusable = unusableAttributes(colours.bodyAttributes) + reading.unusable + colours.unusable;
    reading.unusable.removeDuplicates();
    reading.notes = colours.notes;
    reading.shortfalls = colours.shortfalls;
    reading.schemeSensitive = colours.schemeSensitive;
    reading.judgement = colours.judgement;
    if (reading.found.isEmpty())
        reading.instead = explained(text, sniff.kind, *read.shared);
    return reading;
}

Found read(QStringView text)
{
    return readExplained(text).found;
}

Found readNamed(QStringView text)
{
    Found found;
    const Sniffed sniff = sniffed(text, Options::Kind::Guess);
    if (sniff.kind == TextKind::DesignTokens) {
        found.colours = *sniff.tokens;
        return found;
    }
    if (sniff.kind == TextKind::BodyTag) {
        const HtmlDocument document(text);
        const HtmlDocument::Attributes body = document.bodyAttributes();
        takeNamed(TagStyle(body, TagStyle::styleAttribute(body)), found);
        return found;
    }
    const PageColours colours = PageColours::read(text,
        sniff.kind == TextKind::Page ? PageColours::Kind::Page : PageColours::Kind::StyleSheet, PageColours::Options{});
    for (std::size_t slot = 0; slot < Slot::Count; ++slot) {
        if (colours.named[slot])
            found.colours[slot] = Rgb::fromArgb(*colours.named[slot]);
    }
    return found;
}

QString limitedMessage(const Reading& reading)
{
    QStringList parts = reading.notes;
    if (!reading.limited.isEmpty())
        parts << QCoreApplication::translate("TagReader", "Margins are kept within %1 to %2 pixels, so %3 was limited.")
                     .arg(MarginMinimum)
                     .arg(MarginMaximum)
                     .arg(reading.limited.join(QStringLiteral(", ")));
    return parts.join(u' ');
}

QString ruleMessage(const Reading& reading)
{
    return reading.bodyTagAlone
        ? QCoreApplication::translate("TagReader", "Read as a BODY tag: the colours it does not give stay as they are.")
        : QCoreApplication::translate(
            "TagReader", "Read as a browser shows it: what the text does not set is the browser's default.");
}

QString unusableMessage(const Reading& reading)
{
    if (reading.unusable.isEmpty())
        return {};
    // A message box, not a report: a few entries, each cut short, are enough to show what went wrong.
    QStringList shown;
    for (const QString& entry : reading.unusable.first(std::min<qsizetype>(reading.unusable.size(), 6)))
        shown << (entry.size() > 60 ? entry.first(59) + QChar(0x2026) : entry);
    if (reading.unusable.size() > shown.size())
        shown << QString(QChar(0x2026));
    return QCoreApplication::translate("TagReader", "Found but not usable: %1.").arg(shown.join(QStringLiteral("; ")));
}

} // namespace TagReader
