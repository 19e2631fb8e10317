#pragma once

// The parts of a selector list, shared by the parser (SelectorParser.cpp) and the matcher
// (SelectorMatcher.cpp) and by nothing else.

#include "Selectors.h"

struct Selectors::Simple {
    enum Kind {
        Type,
        Universal,
        Class,
        Id,
        Attribute,
        Pseudo, // a pseudo-class without arguments, by name
        PseudoElement,
        Is,
        Where,
        Not,
        Has,
        Nest, // & in a nested rule: the rule around it
        Anchor, // the element a :has() argument is relative to
        Nth, // :nth-child() and its kin
        Lang,
    };
    Kind kind = Universal;
    QString name; // lower case for types, attributes and pseudo-classes
    size_t hash = 0; // of a class name
    QString value;
    char op = 0; // an attribute selector's = ~ | ^ $ * (0 for presence)
    bool insensitive = false;
    std::shared_ptr<const List> arguments;
    int a = 0; // An+B
    int b = 0;
    bool fromEnd = false; // nth-last-…
    bool ofType = false; // …-of-type
    Specificity nestSpecificity{}; // for &: the most specific selector of the rule around it
};

struct Selectors::Compound {
    QList<Simple> simples;
    char combinator = 0; // how it joins the compound before it: ' ', '>', '+' or '~'
};

struct Selectors::Complex {
    QList<Compound> compounds;
    Specificity specificity{};
    // The types, classes and ids some ancestor of a matching element must have (Matcher::ancestorKey).
    QList<quint64> ancestorKeys;
    // For a selector of a ::before or ::after box: the selector of the element it is made in.
    std::shared_ptr<const Complex> host;
};

namespace SelectorParts {

using Simple = Selectors::Simple;
using Compound = Selectors::Compound;
using Complex = Selectors::Complex;
using List = Selectors::List;
using Specificity = Selectors::Specificity;

constexpr int MaximumDepth = 32; // of :is(), :not() and :has() inside one another

// What :has() and nesting put before a relative selector: the element it is relative to.
Complex anchored(Complex complex, Simple anchor);

} // namespace SelectorParts
