#pragma once

#include "html/html_lexer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>

namespace vellumo {

// What the editor offers to complete, judged from the character just typed and
// the lexer's state before it.
enum class CompletionKind : std::uint8_t {
    None,
    ElementName,   // after '<' in text
    AttributeName, // after a space inside a start tag
    EntityName,    // after '&' in text
    CloseTag,      // after "</" in text: the innermost open element's end tag
};

// The element names offered after '<': HTML's current elements and the older
// ones pages still carry (FONT, CENTER, MARQUEE, APPLET...), lower case, sorted.
const QStringList &elementNames();
// The attribute names offered inside a start tag of `element` (any case): the
// element's own first, then the global ones, lower case, sorted within each group.
QStringList attributeNames(QStringView element);
// The names offered after '&': `preferred` first, in its order, then every other
// name of HTML's named references in byte order; each once.
QStringList entityNames(const QStringList &preferred);

// What typing `typed` (the last character of `prefix`, the line's text up to the
// caret) offers, given `before`: the lexer's state at the place `typed` went in,
// that is after the line's text up to it. Comments, script and style contents,
// attribute values and end tags never offer anything. `element` receives the
// start tag's name for AttributeName, and for CloseTag inside the contents of
// TITLE, TEXTAREA and the like, that element (no search needed).
CompletionKind completionAt(QStringView prefix, HtmlLexState before, QString *element);

// The lexer's state after `line`, as if the line ended there (the one place
// between two characters where the lexer's view of what went before is known).
HtmlLexState stateAfter(QStringView line, HtmlLexState start);

// One start or end tag of a line.
struct LineTag {
    QString name;             // lower case
    bool end = false;         // </name>
    bool selfClosing = false; // ends with "/>"
    int start = 0;            // of its '<'
    int stop = 0;             // after its '>', or the line's end when the tag goes on
    bool operator==(const LineTag &) const = default;
};

// The tags of a line from its tokens (as lexHtmlLine gives them). A tag begun on
// an earlier line is not listed; `endsEarlierTagSelfClosing` tells whether the
// line finishes such a tag with "/>".
QList<LineTag> tagsOfLine(QStringView line, const QList<HtmlTokenSpan> &spans,
                          bool *endsEarlierTagSelfClosing = nullptr);

// The attribute names (lower case) the start tag around `caret` already has on the
// line, from the line's tokens: what completion no longer offers for that tag.
QStringList attributesOfTag(QStringView line, const QList<HtmlTokenSpan> &spans, int caret);

// Walks a page backwards from a place, line by line (tags of each line in their
// order, the last line first), to the innermost element still open there: the
// end tags met wait for their start tags, void and self-closed elements never
// count, and an element whose end HTML lets the author leave out (P, LI, TD...)
// counts as closed when a later sibling or its parent's end tag closes it.
// With `wanted`, the walk looks for the start tag an end tag `wanted` closes
// instead, skipping any other element left open inside it.
class OpenElementWalk {
public:
    explicit OpenElementWalk(QString wanted = {});
    // Feeds the tags of the next line up; true once the element is found.
    bool feed(const QList<LineTag> &tags, bool endsEarlierTagSelfClosing);
    bool found() const { return m_foundIndex >= 0; }
    // The element found, and its start tag's index in the tags of the line fed last.
    QString element() const { return m_element; }
    qsizetype foundIndex() const { return m_foundIndex; }

private:
    QString m_wanted;
    QStringList m_waiting;  // end tags met, innermost last
    QStringList m_siblings; // start tags met at the place's own level
    bool m_nextEndsSelfClosing = false;
    QString m_element;
    qsizetype m_foundIndex = -1;
};

// Walks forward from a start tag `element` (lines after it, each line's tags in
// order) to the end tag that closes it; stops, not found, where the element is
// closed without one (an optional end, its parent's end tag).
class EndTagWalk {
public:
    explicit EndTagWalk(QString element);
    // Feeds the tags of the next line down; true once the walk is over.
    bool feed(const QList<LineTag> &tags);
    bool found() const { return m_foundIndex >= 0; }
    qsizetype foundIndex() const { return m_foundIndex; }

private:
    QString m_element;
    QStringList m_open; // elements opened inside it, innermost last
    bool m_over = false;
    qsizetype m_foundIndex = -1;
};

// The innermost element open at the end of `text` (a page's start, lines split
// at '\n'), lexed from its beginning: the close-tag finder for a whole text.
QString innermostOpenElement(QStringView text);

} // namespace vellumo
