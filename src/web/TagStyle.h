#pragma once

#include "css/CssParser.h"
#include "html/HtmlDocument.h"
#include "web/CustomProperties.h"

#include "colour/Rgb.h"
#include <QHash>
#include <QSet>
#include <optional>

// What a lone <body …> start tag says about the page, and nothing more: its presentational attributes
// (bgcolor, text, link, vlink, alink and the four margin attributes) under the declarations of its
// style attribute, by !important and order, with var() and its fallbacks. There is no html element to
// inherit from and no browser default, so a colour that would come from either stays unset.
class TagStyle {
public:
    // A value the tag sets: a colour or length this program can use, or the text of one it cannot.
    struct Value {
        std::optional<Rgb> colour;
        std::optional<double> pixels;
        QString unusable; // what was set instead, such as "color: currentcolor" or "margin-left: 10%"

        bool operator==(const Value&) const = default;
    };
    enum class Link { Unvisited, Visited, Active };

    // `declarations` stands for the style attribute; the attributes' own "style" is not read.
    TagStyle(const HtmlDocument::Attributes& body, QStringView declarations);
    // The same with declarations already read, such as those a page's cascade gives the body: each is
    // taken as the style attribute's would be.
    TagStyle(const HtmlDocument::Attributes& body, const QList<CssDeclaration>& declarations);

    // A margin attribute by the HTML Standard's rules for parsing non-negative integers: "7.5" is 7,
    // "10%" is 10, "-3" and a number too large for an int nothing.
    static std::optional<int> marginAttribute(const QString& text);
    // The style attribute's text among the attributes; empty when there is none.
    static QString styleAttribute(const HtmlDocument::Attributes& body);

    // Whether the style attribute held more than is read (CssParser::MaximumTokens), and the rest was
    // left out; and the note that says so, for a lone tag and a page's elements alike.
    bool leftOut() const { return m_leftOut; }
    static QString leftOutNote();

    std::optional<Value> background() const;
    std::optional<Value> colour() const;
    std::optional<Value> link(Link state) const;
    std::optional<Value> margin(bool left) const;
    // The colour a custom property of the tag names, var() resolved; nothing for any other value.
    std::optional<Rgb> customColour(const QString& name) const;

private:
    struct Declaration {
        CssValues value;
        bool important = false;
        bool fromStyle = false; // the style attribute's, which beats the attributes'
        int order = 0;
        QString shorthand; // set when the value is a whole shorthand's, still holding var()
    };

    // The presentational attributes, as the weakest declarations.
    void declareAttributes();
    static bool wanted(const QString& name);
    // Works out the custom properties and what each property read is specified as; `characters` is the
    // size of what was read, which the work allowed grows with.
    void resolveCustoms(qint64 characters);
    void declare(const QString& property, const Declaration& declaration);
    static bool declarable(const QString& name, const CssValues& value);
    void declareAll(const CssDeclaration& declaration);
    std::optional<CssValues> specified(const QString& property, CustomProperties& customs) const;

    HtmlDocument::Attributes m_body;
    QHash<QString, Declaration> m_declared; // by property
    int m_order = 0;
    bool m_leftOut = false;
    CustomValues m_customs; // var() resolved, by name
    // The declared values of color, background-color, margin-left and margin-top, var() resolved and a
    // shorthand holding var() taken apart; an empty list when what var() gave is invalid.
    QHash<QString, std::optional<CssValues>> m_specified;
};
