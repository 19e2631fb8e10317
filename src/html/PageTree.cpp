#include "PageTree.h"

#include "GumboElements.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <gumbo.h>

namespace {

QString tagName(const GumboNode* node)
{
    const GumboElement& element = node->v.element;
    if (element.tag != GUMBO_TAG_UNKNOWN && element.tag < GUMBO_TAG_LAST) {
        // The names the parser knows, one string each for every element of that name.
        static const std::array<QString, GUMBO_TAG_LAST> known = [] {
            std::array<QString, GUMBO_TAG_LAST> names;
            for (int tag = 0; tag < GUMBO_TAG_LAST; ++tag)
                names[size_t(tag)] = QString::fromUtf8(gumbo_normalized_tagname(GumboTag(tag)));
            return names;
        }();
        return known[size_t(element.tag)];
    }
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    return QString::fromUtf8(original.data, qsizetype(original.length)).toLower();
}

const QString* find(const HtmlDocument::Attributes& attributes, QStringView name)
{
    for (const auto& [key, value] : attributes) {
        if (key == name)
            return &value;
    }
    return nullptr;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

PageTree::Element named(const QString& tag)
{
    PageTree::Element element;
    element.tag = tag;
    return element;
}

} // namespace

size_t PageTree::classHash(QStringView name)
{
    return qHash(name, 0x6875656c);
}

std::optional<QString> PageTree::attribute(int element, QStringView name) const
{
    if (const QString* value = find(m_elements[element].attributes, name))
        return *value;
    return std::nullopt;
}

int PageTree::append(Element element, int parent)
{
    const int index = int(m_elements.size());
    element.parent = parent;
    if (const QString* id = find(element.attributes, u"id"))
        element.id = *id;
    if (const QString* classes = find(element.attributes, u"class")) {
        qsizetype at = 0;
        while (at < classes->size()) {
            while (at < classes->size() && isSpace((*classes)[at]))
                ++at;
            const qsizetype start = at;
            while (at < classes->size() && !isSpace((*classes)[at]))
                ++at;
            if (at > start)
                element.classes.append(classHash(QStringView(*classes).mid(start, at - start)));
        }
        std::sort(element.classes.begin(), element.classes.end());
        element.classes.erase(std::unique(element.classes.begin(), element.classes.end()), element.classes.end());
    }
    if (parent >= 0) {
        Element& up = m_elements[parent];
        up.hasContent = true;
        const int last = m_lastChild[parent];
        if (last < 0)
            up.firstChild = index;
        else
            m_elements[last].next = index;
        element.previous = last;
        m_lastChild[parent] = index;
    }
    m_elements.append(std::move(element));
    m_lastChild.append(-1);
    return index;
}

namespace {

// Adds text to an element's own, whitespace collapsed, up to PageTree::MaximumText characters.
void addText(QString& into, const char* utf8)
{
    const QString text = QString::fromUtf8(utf8).simplified();
    if (text.isEmpty())
        return;
    if (!into.isEmpty())
        into += QLatin1Char(' ');
    into += text.left(PageTree::MaximumText - into.size());
}

} // namespace

PageTree PageTree::model()
{
    PageTree tree;
    tree.m_madeFrom = 0;
    tree.m_root = tree.append(named(QStringLiteral("html")), -1);
    tree.append(named(QStringLiteral("head")), tree.m_root);
    tree.ensureBodyAndLink();
    tree.finish();
    return tree;
}

void PageTree::ensureBodyAndLink()
{
    if (m_body < 0) {
        m_madeFrom = std::min(m_madeFrom, int(m_elements.size()));
        m_body = append(named(QStringLiteral("body")), m_root);
    }
    // The first a[href] in the body, in document order: elements are listed in that order.
    const auto insideBody = [this](int element) {
        for (int up = m_elements[element].parent; up >= 0; up = m_elements[up].parent) {
            if (up == m_body)
                return true;
        }
        return false;
    };
    for (int i = m_body + 1; i < m_elements.size() && m_link < 0; ++i) {
        if (m_elements[i].tag == QLatin1String("a") && m_elements[i].html && find(m_elements[i].attributes, u"href")
            && insideBody(i))
            m_link = i;
    }
    if (m_link < 0) {
        m_madeFrom = std::min(m_madeFrom, int(m_elements.size()));
        const int paragraph = append(named(QStringLiteral("p")), m_body);
        Element link = named(QStringLiteral("a"));
        link.attributes.append({QStringLiteral("href"), QStringLiteral("#model")});
        m_link = append(std::move(link), paragraph);
    }
    // The probe: text first in the body, and the link shows text.
    m_elements[m_body].hasContent = true;
    m_elements[m_link].hasContent = true;
}

PageTree PageTree::fromPage(QStringView text, const std::stop_token& stop)
{
    PageTree tree;
    tree.m_cut = HtmlDocument::parse(text, stop, [&tree](const GumboOutput& output) { tree.read(output); });
    if (tree.m_root < 0)
        return model();
    tree.ensureBodyAndLink();
    tree.finish();
    return tree;
}

void PageTree::read(const GumboInternalOutput& output)
{
    PageTree& tree = *this;
    // Walked with a list rather than recursion, so that deep nesting cannot exhaust the stack.
    struct Pending {
        const GumboNode* node;
        int parent;
        bool inNoscript;
    };
    QList<Pending> pending{{output.root, -1, false}};
    while (!pending.isEmpty()) {
        const auto [node, parent, inNoscript] = pending.takeLast();
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA) {
            if (parent >= 0) {
                Element& holder = tree.m_elements[parent];
                holder.hasContent = true;
                if (holder.text.size() < MaximumText)
                    addText(holder.text, node->v.text.text);
            }
            continue;
        }
        // A template's content is inert and not part of the tree.
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        const GumboElement& element = node->v.element;
        Element item = named(tagName(node));
        item.attributes = GumboElements::attributes(element);
        item.html = element.tag_namespace == GUMBO_NAMESPACE_HTML;
        item.inNoscript = inNoscript;
        if (element.original_tag.length > 0) {
            item.line = int(element.start_pos.line);
            item.column = int(element.start_pos.column);
        }
        const int index = tree.append(std::move(item), parent);
        if (parent < 0)
            tree.m_root = index;
        const Element& added = tree.m_elements[index];
        if (added.html && element.tag == GUMBO_TAG_BODY && tree.m_body < 0 && parent == tree.m_root)
            tree.m_body = index;
        // A browser runs scripts, so what noscript holds is text to it, never a style sheet.
        const bool inert = inNoscript || element.tag == GUMBO_TAG_NOSCRIPT;
        // An SVG <style> is a style sheet of the page too.
        if (!inert && (added.html || element.tag == GUMBO_TAG_STYLE)) {
            const QString media = find(added.attributes, u"media") ? *find(added.attributes, u"media") : QString();
            // A style or link whose type is not CSS is not a style sheet to a browser: it does not fetch it.
            const QString* type = find(added.attributes, u"type");
            const bool css
                = !type || type->isEmpty() || type->compare(QLatin1String("text/css"), Qt::CaseInsensitive) == 0;
            if (element.tag == GUMBO_TAG_STYLE) {
                if (css)
                    tree.m_sheets.append({GumboElements::textOf(element), {}, media, std::max(1, added.line)});
            } else if (element.tag == GUMBO_TAG_LINK && added.html) {
                // Compiled once: a page may hold a hundred thousand links.
                static const QRegularExpression blanks(QStringLiteral("[ \\t\\n\\f\\r]+"));
                const QString* rel = find(added.attributes, u"rel");
                const QString* href = find(added.attributes, u"href");
                const QStringList rels = rel ? rel->toLower().split(blanks, Qt::SkipEmptyParts) : QStringList();
                // An alternate style sheet is off until the reader picks it, and a disabled one until a
                // script enables it.
                if (href && css && rels.contains(QLatin1String("stylesheet"))
                    && !rels.contains(QLatin1String("alternate")) && !find(added.attributes, u"disabled"))
                    tree.m_sheets.append({{}, *href, media});
            } else if (element.tag == GUMBO_TAG_META && added.html) {
                const QString* name = find(added.attributes, u"name");
                const QString* content = find(added.attributes, u"content");
                if (name && content && name->compare(QLatin1String("color-scheme"), Qt::CaseInsensitive) == 0
                    && tree.m_metaScheme.isEmpty())
                    tree.m_metaScheme = *content;
            }
        }
        for (unsigned int i = element.children.length; i > 0; --i)
            pending.append({static_cast<const GumboNode*>(element.children.data[i - 1]), index, inert});
    }
}

void PageTree::finish()
{
    // Elements are listed in document order, so a subtree is a run of them; each ends where the last
    // of its descendants does. The model link, added last, is in the body's run as the body is last.
    for (qsizetype i = m_elements.size() - 1; i >= 0; --i) {
        Element& element = m_elements[i];
        element.end = std::max(element.end, int(i) + 1);
        if (element.parent >= 0)
            m_elements[element.parent].end = std::max(m_elements[element.parent].end, element.end);
    }
}
