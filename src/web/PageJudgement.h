#pragma once

#include "colour/Rgb.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Every text a reader sees on a page, judged against what is painted behind it, with where each of its
// colours came from: what `--check` reports per element and Tools › Page Check lists.
struct PageJudgement {
    // Where a colour came from: a declaration in a style sheet, an attribute, or the browser's default.
    struct Origin {
        enum class Kind { Default, Attribute, Sheet };
        Kind kind = Kind::Default;
        QString file; // the style sheet's file (the page's own for a <style> or a style attribute)
        int line = 0; // 1-based; 0 when not known
        QString selector; // the rule's selector; the attribute's name for an attribute
        // "theme.css:212 .muted", "default", "attribute bgcolor"
        QString text() const;
    };

    enum class Check { Contrast, LinkInText };
    enum class Verdict { Pass, Fail, Review };

    // What the text must reach: the WCAG 2 ratio for ordinary and large text (4.5 and 3 for AA, 7 and 4.5
    // for AAA), or an APCA |Lc| whatever the size.
    struct Needs {
        double normal = 4.5;
        double large = 3;
        std::optional<double> lc; // an APCA target: |Lc| instead of the ratio
        bool linksUnderlined = false; // --underlined: every link counts as told apart from its text
        static Needs aa() { return {}; }
        static Needs aaa() { return {7, 4.5, {}, false}; }
    };

    struct Element {
        int index = 0; // among the page's elements in document order, <html> 0, as a browser builds them
        QString tag; // lower case
        QString file; // the file whose markup holds it
        int line = 0; // of its start tag, 1-based; 0 for a text with no markup
        int column = 0;
        QString selector; // a short selector path that finds it
        QString text; // its first 40 characters of text
        Check check = Check::Contrast;
        // For a contrast check, the text and what lies behind it; for a link in text, the link and
        // the text around it.
        Argb foreground = 0;
        Argb background = 0;
        double ratio = 1; // WCAG 2, unrounded
        double lc = 0; // APCA
        bool large = false; // at least 24 px, or 18.66 px and bold
        double fontSize = 16; // in CSS pixels
        int fontWeight = 400;
        double needed = 4.5; // the ratio (or |Lc|) it needed
        Verdict verdict = Verdict::Pass;
        QString why; // for a review, and for a fail, in a few words
        Origin foregroundFrom;
        Origin backgroundFrom;
    };

    QList<Element> elements; // in document order; a link's link-in-text entry after its contrast entry
    // Linked or imported style sheets that could not be read, by their address as the page gives it.
    QStringList missingSheets;

    qsizetype count(Verdict verdict) const;
    static QString verdictName(Verdict verdict); // "pass", "fail", "review"
    static QString checkName(Check check); // "contrast", "link-in-text"
};
