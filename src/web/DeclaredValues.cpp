#include "DeclaredValues.h"

#include "BoxProperties.h"
#include "ComputedStyle.h"
#include "CustomProperties.h"
#include "Shorthands.h"

#include <QSet>
#include <algorithm>

namespace DeclaredValues {

using Shorthands::words;

bool holdsVar(const CssValues& values)
{
    return CustomProperties::holdsVar(values);
}

bool isWideKeyword(const CssValues& values)
{
    return CustomProperties::isWideKeyword(values);
}

std::optional<CssValues> backgroundColour(const CssValues& values)
{
    return Shorthands::backgroundColour(values, [](const CssValue& value) {
        return ComputedStyle::isColour(CssValues{value}) || value.token.isIdent(u"currentcolor");
    });
}

// The shorthands the cascade reads, which set the properties of ComputedStyle::properties().
const QLatin1String ReadShorthands[] = {QLatin1String("background"), QLatin1String("margin"), QLatin1String("all")};

// `name` as a declaration gives it: lower case, except a custom property's.
// What makes an element a container, and the size container queries ask of it: read, never computed.
const QLatin1String ContainerProperties[] = {QLatin1String("container"), QLatin1String("container-type"),
    QLatin1String("container-name"), QLatin1String("width"), QLatin1String("max-width"), QLatin1String("height")};

bool isRead(QStringView name, Qt::CaseSensitivity sensitivity)
{
    if (name.startsWith(QLatin1String("--")))
        return true;
    // Every name read, in lower case and sorted: each declaration of every sheet is asked about, so
    // the name is looked up as it stands, never copied.
    static const QList<QString> names = [] {
        QSet<QString> all;
        for (const QLatin1String property : ContainerProperties)
            all.insert(property);
        for (const QLatin1String shorthand : ReadShorthands)
            all.insert(shorthand);
        for (const ComputedStyle::Property& property : ComputedStyle::properties())
            all.insert(property.name);
        QList<QString> sorted(all.cbegin(), all.cend());
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }();
    if (!BoxProperties::longhandsOf(name).isEmpty())
        return true;
    // CSS names ignore ASCII case only; lower case names sort alike either way.
    const bool fold = sensitivity == Qt::CaseInsensitive;
    const auto order = [fold](QStringView entry, QStringView key) {
        for (qsizetype i = 0; i < std::min(entry.size(), key.size()); ++i) {
            const char16_t a = entry[i].unicode();
            const char16_t k = fold && key[i] >= u'A' && key[i] <= u'Z' ? key[i].unicode() + 32 : key[i].unicode();
            if (a != k)
                return a < k ? -1 : 1;
        }
        return entry.size() == key.size() ? 0 : entry.size() < key.size() ? -1 : 1;
    };
    const auto found = std::lower_bound(names.cbegin(), names.cend(), name,
        [&order](const QString& entry, QStringView key) { return order(entry, key) < 0; });
    return found != names.cend() && order(*found, name) == 0;
}

// Whether a style rule's {} block holds anything the cascade reads: a declaration of a property it
// reads, or a rule nested in it. A rule holding neither is passed over without reading its selectors.
bool holdsAnythingRead(const CssValues& inside)
{
    bool starting = true;
    for (const CssValue& value : inside) {
        const CssToken& token = value.token;
        if (token.is(CssToken::OpenCurly) || token.is(CssToken::AtKeyword))
            return true;
        if (token.is(CssToken::Semicolon)) {
            starting = true;
        } else if (!token.is(CssToken::Whitespace)) {
            if (starting && token.is(CssToken::Ident) && isRead(token.text, Qt::CaseInsensitive))
                return true;
            starting = false;
        }
    }
    return false;
}

std::optional<std::pair<CssValues, CssValues>> marginSides(const CssValues& values)
{
    return Shorthands::marginSides(values, ComputedStyle::isMarginSide);
}

// A value a browser takes for the property, var() aside: one that fails drops its declaration.
bool isValid(const QString& name, const CssValues& value)
{
    if (name.startsWith(QLatin1String("--")) || holdsVar(value) || isWideKeyword(value))
        return true;
    if (value.isEmpty() || name == QLatin1String("all"))
        return false;
    if (name == QLatin1String("background"))
        return backgroundColour(value).has_value();
    if (name == QLatin1String("margin"))
        return marginSides(value).has_value();
    if (!BoxProperties::longhandsOf(name).isEmpty() && !ComputedStyle::property(name))
        return BoxProperties::longhands(name, value).has_value();
    for (const QLatin1String container : ContainerProperties) {
        if (name == container)
            return true;
    }
    const ComputedStyle::Property* property = ComputedStyle::property(name);
    return property && property->valid(value);
}

// The value block[first, last) of a declaration of `name` as the cascade keeps it, told before it is
// copied out of its rule (it may be as long as the text): nothing when it holds more words than the
// property takes, and of a long background only what the cascade reads of it, its colour and its last
// image, in that order.
std::optional<CssValues> readValue(const QString& name, const CssValues& block, qsizetype first, qsizetype last)
{
    qsizetype words = 0;
    bool pending = false;
    for (qsizetype at = first; at < last && !pending; ++at) {
        const CssValue& value = block[at];
        pending = value.isFunction(u"var") || value.isFunction(u"env") || holdsVar(value.inside);
        words += value.token.is(CssToken::Whitespace) ? 0 : 1;
    }
    // A colour, an opacity or a side is one word, margin four at most.
    if (pending || words <= 4 || name.startsWith(QLatin1String("--")) || name == QLatin1String("background-image")
        || name == QLatin1String("filter") || name == QLatin1String("color-scheme") || name == QLatin1String("font")
        || name == QLatin1String("text-shadow") || name == QLatin1String("transform")
        || name == QLatin1String("clip-path") || name == QLatin1String("text-decoration")
        || name.startsWith(QLatin1String("border")) || (name == QLatin1String("background") && words <= 1000))
        return block.mid(first, last - first);
    if (name != QLatin1String("background"))
        return std::nullopt;
    const auto colourWord = [](const CssValue& value) {
        return ComputedStyle::isColour(CssValues{value}) || value.token.isIdent(u"currentcolor");
    };
    std::optional<CssValues> kept = Shorthands::backgroundColour(block.constData() + first, last - first, colourWord);
    if (!kept)
        return std::nullopt;
    for (qsizetype at = last - 1; at >= first; --at) {
        const CssValue& value = block[at];
        if (value.token.is(CssToken::Function) || value.token.is(CssToken::Url)) {
            if (!colourWord(value))
                *kept += {CssValue{CssToken{{}, 0, CssToken::Whitespace, false}, {}}, value};
            break;
        }
    }
    return kept;
}

} // namespace DeclaredValues
