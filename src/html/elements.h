#pragma once

#include "html/html_lexer.h"

#include <QString>
#include <QStringView>

#include <array>
#include <string_view>

namespace vellumo {

// What the program knows of HTML's elements, in one place: which never have
// contents, which hold text rather than markup, and whose end tag an author may
// leave out. Names are compared in any letter case.

// Elements that never have contents or an end tag (BR, IMG, HR, INPUT, META...),
// the older ones pages still carry (BGSOUND, SPACER, ISINDEX...) included.
bool isVoidElement(QStringView name);
// Elements that sit inside a line of text (A, B, IMG, SPAN...); every other one is a
// block, whose contents a writer puts on lines of their own.
bool isInlineElement(QStringView name);

// An element whose contents the tokenizer reads as text up to its own end tag.
struct RawTextElement {
    std::u16string_view name; // lower case
    HtmlLexState::Raw raw;
    bool references; // character references in its text are read (TITLE, TEXTAREA)
};

inline constexpr std::array<RawTextElement, 9> RawTextElements{{
    {u"script", HtmlLexState::Raw::Script, false},
    {u"style", HtmlLexState::Raw::Style, false},
    {u"title", HtmlLexState::Raw::Title, true},
    {u"textarea", HtmlLexState::Raw::Textarea, true},
    {u"xmp", HtmlLexState::Raw::Xmp, false},
    {u"iframe", HtmlLexState::Raw::Iframe, false},
    {u"noembed", HtmlLexState::Raw::Noembed, false},
    {u"noframes", HtmlLexState::Raw::Noframes, false},
    {u"plaintext", HtmlLexState::Raw::Plaintext, false}, // never ends
}};

// The shortest and the longest of their names, "xmp" and "plaintext".
inline constexpr std::size_t ShortestRawTextName = 3;
inline constexpr std::size_t LongestRawTextName = 9;

// What the contents of the element `name` are: Raw::None for markup.
HtmlLexState::Raw rawTextOf(QStringView name);

// The name of the element whose contents are `raw`, lower case; empty for Raw::None.
constexpr std::u16string_view rawTextName(HtmlLexState::Raw raw) {
    for (const RawTextElement &element : RawTextElements)
        if (element.raw == raw)
            return element.name;
    return {};
}

// Whether the text of such an element reads character references.
constexpr bool rawTextHoldsReferences(HtmlLexState::Raw raw) {
    for (const RawTextElement &element : RawTextElements)
        if (element.raw == raw)
            return element.references;
    return false;
}

// Whether a start tag `closer`, met where `element` is open at the same level,
// ends that element without its end tag: the common cases of HTML's rules for end
// tags an author may leave out (a paragraph ends where a block starts, a list item
// where the next starts, a cell where the next cell or row starts). Both names in
// lower case.
bool closesOptionalEnd(const QString &closer, const QString &element);

} // namespace vellumo
