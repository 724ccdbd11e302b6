#include "editor/tag_at_caret.h"

#include "editor/page_colouring.h"
#include "editor/page_editor.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <QHash>

#include <algorithm>

namespace vellumo {

namespace {

// How far a search goes from the caret, in lines, before it gives up.
constexpr int LinesSearched = 5000;
// The most of the page a start tag is read from.
constexpr int TagLinesRead = 400;
constexpr int TagCharactersRead = 256 * 1024;

bool isTagToken(HtmlTokenKind kind) {
    switch (kind) {
    case HtmlTokenKind::TagDelimiter:
    case HtmlTokenKind::TagName:
    case HtmlTokenKind::TagSpace:
    case HtmlTokenKind::AttributeName:
    case HtmlTokenKind::AttributeValue:
        return true;
    default:
        return false;
    }
}

bool isInsideTag(const HtmlLexState &state) {
    using Mode = HtmlLexState::Mode;
    switch (state.mode) {
    case Mode::BeforeAttributeName:
    case Mode::AfterAttributeName:
    case Mode::BeforeValue:
    case Mode::ValueDoubleQuoted:
    case Mode::ValueSingleQuoted:
        return true;
    default:
        return false;
    }
}

// The elements found from a caret in their text.
bool isTextElement(const QString &lowerName) {
    static const QStringList names{QStringLiteral("a"),      QStringLiteral("marquee"),
                                   QStringLiteral("font"),   QStringLiteral("script"),
                                   QStringLiteral("applet"), QStringLiteral("textarea")};
    return names.contains(lowerName);
}

// The tag whose '<' is at `offset` of a line: its name in lower case, and whether
// it is an end tag.
struct TagOpening {
    QString name;
    bool end = false;
};
TagOpening openingAt(const QString &line, qsizetype offset) {
    TagOpening opening;
    qsizetype k = offset + 1;
    if (k < line.size() && line.at(k) == u'/') {
        opening.end = true;
        ++k;
    }
    const qsizetype first = k;
    while (k < line.size() && !line.at(k).isSpace() && line.at(k) != u'/' && line.at(k) != u'>')
        ++k;
    opening.name = line.mid(first, k - first).toLower();
    return opening;
}

qsizetype spanHolding(const QList<HtmlTokenSpan> &spans, int offset) {
    for (qsizetype k = 0; k < spans.size(); ++k)
        if (offset >= spans.at(k).start && offset < spans.at(k).start + spans.at(k).length)
            return k;
    return -1;
}

class ElementFinder {
public:
    ElementFinder(QTextDocument *document, PageColouring &colouring)
        : m_document(document)
        , m_colouring(colouring) {}

    // The '<' of the tag that holds the character at `position`, or -1.
    int tagOpeningHolding(int position) const {
        QTextBlock block = m_document->findBlock(position);
        QString line = block.text();
        const int offset = position - block.position();
        if (offset >= line.size())
            return -1;
        QList<HtmlTokenSpan> spans = m_colouring.spans(block);
        qsizetype k = spanHolding(spans, offset);
        if (k < 0 || !(isTagToken(spans.at(k).kind) ||
                       spans.at(k).kind == HtmlTokenKind::CharacterReference))
            return -1;
        int last = offset;
        for (int lines = 0; lines < LinesSearched; ++lines) {
            for (; k >= 0; --k) {
                const HtmlTokenSpan &span = spans.at(k);
                if (span.kind == HtmlTokenKind::TagDelimiter) {
                    for (int c = std::min(last, span.start + span.length - 1); c >= span.start;
                         --c) {
                        if (line.at(c) == u'<')
                            return block.position() + c;
                        // A tag ended before the character: it is not in that tag.
                        if (line.at(c) == u'>' && (lines > 0 || c < offset))
                            return -1;
                    }
                } else if (!isTagToken(span.kind) &&
                           span.kind != HtmlTokenKind::CharacterReference) {
                    return -1;
                }
            }
            if (!isInsideTag(m_colouring.stateBefore(block)))
                return -1;
            block = block.previous();
            if (!block.isValid())
                return -1;
            line = block.text();
            spans = m_colouring.spans(block);
            k = spans.size() - 1;
            last = int(line.size()) - 1;
        }
        return -1;
    }

    // The '<' of the nearest start tag of a text element before `position` whose
    // element is not closed before it, or -1.
    int enclosingTextElement(int position) const {
        QTextBlock block = m_document->findBlock(position);
        QHash<QString, int> closed;
        for (int lines = 0; lines < LinesSearched && block.isValid(); ++lines) {
            const QString line = block.text();
            const QList<HtmlTokenSpan> spans = m_colouring.spans(block);
            for (qsizetype k = spans.size() - 1; k >= 0; --k) {
                const HtmlTokenSpan &span = spans.at(k);
                if (span.kind != HtmlTokenKind::TagDelimiter)
                    continue;
                for (int c = span.start + span.length - 1; c >= span.start; --c) {
                    if (line.at(c) != u'<' || block.position() + c >= position)
                        continue;
                    const TagOpening opening = openingAt(line, c);
                    if (!isTextElement(opening.name))
                        continue;
                    int &depth = closed[opening.name];
                    if (opening.end)
                        ++depth;
                    else if (depth > 0)
                        --depth;
                    else
                        return block.position() + c;
                }
            }
            block = block.previous();
        }
        return -1;
    }

    // Where the end tag of the element `name` that starts before `from` stands:
    // its '<' and the place after its '>'.
    std::pair<int, int> endTag(const QString &name, int from) const {
        QTextBlock block = m_document->findBlock(from);
        int depth = 0;
        for (int lines = 0; lines < LinesSearched && block.isValid(); ++lines) {
            const QString line = block.text();
            const QList<HtmlTokenSpan> spans = m_colouring.spans(block);
            for (const HtmlTokenSpan &span : spans) {
                if (span.kind != HtmlTokenKind::TagDelimiter)
                    continue;
                for (int c = span.start; c < span.start + span.length; ++c) {
                    if (line.at(c) != u'<' || block.position() + c < from)
                        continue;
                    const TagOpening opening = openingAt(line, c);
                    if (opening.name != name)
                        continue;
                    if (!opening.end) {
                        ++depth;
                    } else if (depth > 0) {
                        --depth;
                    } else {
                        const qsizetype close = line.indexOf(u'>', c);
                        if (close < 0)
                            return {-1, -1};
                        return {block.position() + c, block.position() + int(close) + 1};
                    }
                }
            }
            block = block.next();
        }
        return {-1, -1};
    }

    // The start tag at `opening`, read with positions in the page.
    TagReading readTag(int opening) const {
        QTextBlock block = m_document->findBlock(opening);
        QString text = block.text().mid(opening - block.position());
        for (int lines = 0; lines < TagLinesRead && text.size() < TagCharactersRead; ++lines) {
            block = block.next();
            if (!block.isValid())
                break;
            text += QLatin1Char('\n') + block.text();
        }
        TagReading reading = readStartTag(text, 0);
        StartTag &tag = reading.tag;
        tag.start += opening;
        tag.nameEnd += opening;
        tag.end += opening;
        for (TagAttribute &attribute : tag.attributes) {
            attribute.start += opening;
            attribute.end += opening;
            if (attribute.hasValue())
                attribute.valueStart += opening;
        }
        return reading;
    }

    QString textBetween(int from, int to) const {
        QTextCursor cursor(m_document);
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }

    // The element whose start tag has its '<' at `opening`.
    ElementSearch element(int opening) const {
        TagReading reading = readTag(opening);
        if (!reading.ok())
            return {std::nullopt, reading.error};
        PageElement found{reading.tag, textBetween(opening, reading.tag.end), -1, -1, {}, {}, {}};
        const QString name = found.tag.name.toLower();
        if (isTextElement(name)) {
            const auto [start, end] = endTag(name, found.tag.end);
            if (start >= 0) {
                found.endTagStart = start;
                found.endTagEnd = end;
                found.inner = textBetween(found.tag.end, start);
                found.endTag = textBetween(start, end);
                // The rest of the end tag's line and the line after it.
                QTextBlock after = m_document->findBlock(end);
                if (after.next().isValid())
                    after = after.next();
                // A block's length counts its break; the last block's break is not text.
                found.lineAfter = textBetween(end, std::min(after.position() + after.length(),
                                                            m_document->characterCount() - 1));
            }
        }
        return {found, {}};
    }

private:
    QTextDocument *m_document;
    PageColouring &m_colouring;
};

} // namespace

ElementSearch elementAtCaret(QTextDocument *document, PageColouring &colouring, int caret) {
    const ElementFinder finder(document, colouring);
    const int characters = document->characterCount() - 1;
    int opening = caret < characters ? finder.tagOpeningHolding(caret) : -1;
    if (opening < 0 && caret > 0)
        opening = finder.tagOpeningHolding(caret - 1);
    int searchFrom = caret;
    if (opening >= 0) {
        const QTextBlock block = document->findBlock(opening);
        const TagOpening tag = openingAt(block.text(), opening - block.position());
        if (!tag.end)
            return finder.element(opening);
        // On an end tag: the element it ends, when it is one with text.
        if (!isTextElement(tag.name))
            return {std::nullopt,
                    QStringLiteral("The caret is on the end tag </%1>.").arg(tag.name.toUpper())};
        searchFrom = opening;
    }
    const int start = finder.enclosingTextElement(searchFrom);
    if (start < 0)
        return {std::nullopt, QStringLiteral("There is no tag at the caret.")};
    ElementSearch search = finder.element(start);
    if (search.element &&
        (!search.element->hasEndTag() || search.element->endTagStart < searchFrom))
        return {std::nullopt, QStringLiteral("There is no tag at the caret.")};
    return search;
}

ElementSearch elementAtCaret(PageEditor &editor) {
    return elementAtCaret(editor.document(), *editor.colouring(), editor.textCursor().position());
}

} // namespace vellumo
