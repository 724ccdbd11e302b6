#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace vellumo {

// Abbreviations: a line of shorthand the user types and expands into markup in one go,
// in the syntax people know from other editors:
//
//   ul#menu>li.item$*3>a{Item $}     elements, #id, .class, {text}, > child, * copies, $ number
//   table>.row*2>.cell*3             a missing name is implied by where the element stands
//   dl>(dt+dd)*2^p                   ( ) groups, + siblings, ^ back up a level
//   a[title="Home" rel=start]        [ ] attributes, quoted or not; a bare name gets an empty value
//   p*2>lorem8                       filler text of so many words (30 for "lorem"); in a
//                                    list, a table row or a menu, in an item of its own
//   !                                the page skeleton
//
// Numbering: "$" is the copy's number, "$$$" pads it to three digits, "$@-" counts down,
// "$@3" starts at 3, "$@-3" counts down to 3. The number is that of the nearest element
// or group that is copied, 1 where none is.

// How the markup an abbreviation becomes is written.
struct AbbreviationStyle {
    bool upperCase = true;                     // <TABLE CLASS="x"> or <table class="x">
    QString quote = QStringLiteral("\"");      // around attribute values; empty: unquoted
    QString baseIndent;                        // the abbreviation's line's indentation, put
                                               // before every line after the first
    QString indentUnit = QStringLiteral("\t"); // one level of nesting
    QString skeleton;                          // what "!" becomes, already in its tag case
    int skeletonCaret = 0;                     // where the caret lands in it
};

// The markup, with its empty places (attribute values and empty contents, in document order)
// as [start, end) spans of `text` (a place holding default text spans that text; an empty
// place is empty), and where the caret lands: the first place's start, or the end of the text
// when there is none.
struct Expansion {
    QString text;
    QList<std::pair<int, int>> fields;
    int caret = 0;
};

// The longest markup an abbreviation may become, and the most copies one "*" may make.
inline constexpr qsizetype MaxExpansionLength = 1'000'000;
inline constexpr int MaxCopies = 10'000;

// The markup `abbreviation` stands for, or nothing when it is malformed, with a short reason
// in `error` ("Unbalanced parenthesis at 5", counting characters from 1) for the status bar.
//
// Void elements get no end tag; every other element does. An element's attributes come in
// the order id, class, its usual ones (a: href; img: src, alt; input: type=text...), then
// the bracketed ones as written, a bracketed one replacing a usual one of its name. An
// element puts each of its contents on a line of its own, one indentation unit deeper and
// its end tag on a line after them, when any of them is a block element or an element whose
// own contents go on lines; contents that are all text and inline elements stay on its line.
// The same goes for the abbreviation's top-level elements.
std::optional<Expansion> expandAbbreviation(QStringView abbreviation,
                                            const AbbreviationStyle &style,
                                            QString *error = nullptr);

// Where the abbreviation that ends at `end` of `line` starts: back to the previous whitespace
// or the '>' that ends a tag, with text inside {...}, [...] and quotes taken whole (so
// `p{a b}` and `a[title="x y"]` are one abbreviation); -1 when nothing stands before `end`.
qsizetype abbreviationStart(QStringView line, qsizetype end);

} // namespace vellumo
