#pragma once

#include "css/CssParser.h"
#include "web/CssSelector.h"
#include "web/HtmlDocument.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <array>
#include <optional>
#include <stop_token>

// The style of a page as a browser's cascade leaves it, for what a scheme holds: the background and
// text colour of the body (or of the html element), the colours of a link in its three states, and the
// body's left and top margins.
//
// Declarations come from the tag's presentational attributes (weakest), the style sheets' rules (by
// !important, specificity and order) and the body's style attribute (strongest), with var() and its
// fallbacks, inherit, currentcolor, and @media screen, all and (prefers-color-scheme: light) applying
// while print and dark do not. Declarations a browser drops as invalid are dropped here too.
class PageStyle {
public:
    // A value the page sets: a colour or length this program can use, or the text of one it cannot.
    struct Value {
        std::optional<QColor> colour;
        std::optional<double> pixels;
        QString unusable; // what was set instead, such as "color: currentcolor" or "margin-left: 10%"
    };

    PageStyle(const HtmlDocument::Attributes& html, const HtmlDocument::Attributes& body);
    PageStyle(const PageStyle&) = delete;
    PageStyle& operator=(const PageStyle&) = delete;

    // `stop` ends the reading of the sheet's rules early.
    void addStyleSheet(QStringView css, QStringView media = {}, const std::stop_token& stop = {});
    void addBodyStyle(QStringView declarations);
    // Margins from the tag's leftmargin, topmargin, marginwidth and marginheight, the colours from its
    // bgcolor, text, link, vlink and alink.
    void addPresentationalAttributes();

    // A margin attribute by the HTML Standard's rules for parsing non-negative integers: "7.5" is 7,
    // "10%" is 10, "-3" and a number too large for an int nothing.
    static std::optional<int> marginAttribute(const QString& text);

    std::optional<Value> background() const;
    std::optional<Value> colour(PageElement element) const;
    std::optional<Value> margin(bool left) const;

private:
    struct Declaration {
        CssValues value;
        bool important = false;
        int origin = 0; // 0 presentational attribute, 1 style sheet, 2 style attribute
        CssSelector::Specificity specificity{};
        int order = 0;
        QString shorthand; // set when the value is a whole shorthand's, still holding var()

        bool beats(const Declaration& other) const;
    };
    using Declarations = QHash<QString, Declaration>; // by property

    void addRules(const QList<CssRule>& rules, int depth, const std::stop_token& stop);
    void declare(PageElement element, const QString& property, const Declaration& declaration);
    void declareAll(
        PageElement element, const CssDeclaration& declaration, int origin, CssSelector::Specificity specificity);
    std::optional<CssValues> custom(PageElement element, const QString& name, int depth) const;
    std::optional<CssValues> substituted(PageElement element, const CssValues& values, int depth, int& budget) const;
    std::optional<CssValues> specified(PageElement element, const QString& property) const;
    std::optional<Value> computedColour(PageElement element, const QString& property) const;
    std::optional<Value> backgroundOf(PageElement element) const;
    std::optional<Value> marginOf(const QString& property) const;

    HtmlDocument::Attributes m_html;
    HtmlDocument::Attributes m_body;
    CssSelector::Page m_page;
    std::array<Declarations, 5> m_declared; // by PageElement
    int m_order = 0;
    mutable QHash<QString, std::optional<CssValues>> m_customs; // worked out so far, by element and name
    mutable QSet<QString> m_resolving;
};
