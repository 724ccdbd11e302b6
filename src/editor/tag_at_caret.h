#pragma once

#include "html/tag_reader.h"

#include <QString>

#include <optional>

class QTextDocument;

namespace vellumo {

class PageColouring;
class PageEditor;

// An element of the page: its start tag read whole, with positions in the page,
// and its end tag where it has one.
struct PageElement {
    StartTag tag;
    QString source;       // the start tag as written
    int endTagStart = -1; // the '<' of the end tag; -1: none was found
    int endTagEnd = -1;   // after its '>'
    QString inner;        // the page text between the two tags
    QString endTag;       // the end tag as written
    QString lineAfter;    // the page after the end tag, through the next line and its break

    // The page from the start tag through the line after the end tag.
    QString markup() const { return source + inner + endTag + lineAfter; }

    bool hasEndTag() const { return endTagStart >= 0; }
};

// The element found at the caret, or why there is none.
struct ElementSearch {
    std::optional<PageElement> element;
    QString message;
};

// The start tag the caret is in (or touches, when the characters on both its sides
// are not in another tag), or else the innermost element with text around the
// caret: A, MARQUEE, FONT, SCRIPT, APPLET, TEXTAREA. The context comes from the
// lexer states the colouring keeps per line, so only the lines between the caret
// and the tags are read, never the whole page; tags in comments and in scripts
// are not tags. A start tag that cannot be read whole is refused with a message.
ElementSearch elementAtCaret(QTextDocument *document, PageColouring &colouring, int caret);
// The same at the editor's caret, with the lexer states of its lines.
ElementSearch elementAtCaret(PageEditor &editor);

} // namespace vellumo
