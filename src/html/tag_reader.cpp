#include "html/tag_reader.h"

#include "html/named_references.h"

#include <optional>

namespace vellumo {

namespace {

// How much of the text is lexed at a time while looking for a tag's end.
constexpr int PieceLength = 1024;

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Keeps the first tag read.
class FirstTag : public TagTokenReader {
public:
    using TagTokenReader::TagTokenReader;
    std::optional<TagPlaces> tag;

protected:
    void tagRead(const TagPlaces &read) override {
        if (!tag)
            tag = read;
    }
};

// The first character of `text` from `from` to `to` that a tag cannot hold there:
// a quote (or, with `backtick`, a '`') or a '<'; -1 when there is none.
qsizetype firstMisplaced(QStringView text, qsizetype from, qsizetype to, bool backtick) {
    for (qsizetype i = from; i < to; ++i)
        if (isQuote(text[i]) || text[i] == u'<' || (backtick && text[i] == u'`'))
            return i;
    return -1;
}

// The start tag whose places the tokens gave, or why it cannot be written back as
// read; every failure names the tag so the message can stand alone.
TagReading startTagOf(QStringView text, const TagPlaces &places) {
    StartTag tag;
    tag.start = int(places.start);
    const auto notClosed = [&tag] {
        return TagReading{tag,
                          QStringLiteral("The tag <%1 does not end with \">\".").arg(tag.name)};
    };
    const auto misplaced = [&](qsizetype at) {
        if (text[at] == u'<')
            return notClosed();
        return TagReading{
            tag, QStringLiteral("The tag <%1 holds a quote outside a value.").arg(tag.name)};
    };
    if (const qsizetype at = firstMisplaced(text, places.nameStart, places.nameEnd, false);
        at >= 0) {
        tag.name = text.sliced(places.nameStart, at - places.nameStart).toString();
        return misplaced(at);
    }
    tag.name = text.sliced(places.nameStart, places.nameEnd - places.nameStart).toString();
    tag.nameEnd = int(places.nameEnd);
    for (const TagPlaces::Attribute &attribute : places.attributes) {
        TagAttribute read;
        read.name =
            text.sliced(attribute.nameStart, attribute.nameEnd - attribute.nameStart).toString();
        read.start = int(attribute.nameStart);
        read.end = int(attribute.nameEnd);
        if (const qsizetype at =
                firstMisplaced(text, attribute.nameStart, attribute.nameEnd, false);
            at >= 0)
            return misplaced(at);
        if (attribute.hasValue()) {
            read.quote = attribute.quote(text);
            if (!attribute.closed(text))
                return TagReading{tag,
                                  QStringLiteral("The value of %1 in the tag <%2 has no closing "
                                                 "quote.")
                                      .arg(read.name, tag.name)};
            if (read.quote.isNull())
                if (const qsizetype at =
                        firstMisplaced(text, attribute.valueFrom, attribute.valueTo, true);
                    at >= 0)
                    return misplaced(at);
            read.valueStart = int(attribute.valueStart(text));
            read.valueLength = int(attribute.valueLength(text));
            read.end = int(attribute.valueTo);
            read.value = decodeCharacterReferences(text.sliced(read.valueStart, read.valueLength));
        }
        tag.attributes.append(read);
    }
    if (!places.closed)
        return notClosed();
    tag.end = int(places.end);
    return TagReading{tag, {}};
}

} // namespace

QChar TagPlaces::Attribute::quote(QStringView text) const {
    return valueTo > valueFrom && isQuote(text[valueFrom]) ? text[valueFrom] : QChar();
}

qsizetype TagPlaces::Attribute::valueStart(QStringView text) const {
    return quote(text).isNull() ? valueFrom : valueFrom + 1;
}

qsizetype TagPlaces::Attribute::valueLength(QStringView text) const {
    if (quote(text).isNull())
        return valueTo - valueFrom;
    return (closed(text) ? valueTo - 1 : text.size()) - (valueFrom + 1);
}

bool TagPlaces::Attribute::closed(QStringView text) const {
    const QChar q = quote(text);
    return q.isNull() || (valueTo - valueFrom >= 2 && text[valueTo - 1] == q);
}

void TagTokenReader::feed(qsizetype offset, const QList<HtmlTokenSpan> &spans) {
    for (const HtmlTokenSpan &span : spans) {
        const qsizetype from = offset + span.start;
        const qsizetype to = from + span.length;
        switch (span.kind) {
        case HtmlTokenKind::TagDelimiter:
            delimiters(from, to);
            break;
        case HtmlTokenKind::TagName:
            if (m_open && !m_named) {
                m_tag.nameStart = from;
                m_tag.nameEnd = to;
                m_named = true;
            }
            break;
        case HtmlTokenKind::AttributeName:
            if (!m_open)
                break;
            endValue();
            m_tag.attributes.append(TagPlaces::Attribute{from, to, -1, -1});
            break;
        case HtmlTokenKind::TagSpace:
            if (!m_open || m_tag.attributes.isEmpty())
                break;
            if (m_valueBegun) {
                endValue();
            } else if (m_valueFollows || m_text.sliced(from, to - from).contains(u'=')) {
                // Written with '=': the value starts after the space that follows it,
                // and is empty when the tag ends there.
                m_valueFollows = true;
                m_tag.attributes.last().valueFrom = to;
                m_tag.attributes.last().valueTo = to;
            }
            break;
        case HtmlTokenKind::AttributeValue:
        case HtmlTokenKind::CharacterReference:
            if (!m_open || !m_valueFollows)
                break;
            if (!m_valueBegun)
                m_tag.attributes.last().valueFrom = from;
            m_valueBegun = true;
            m_tag.attributes.last().valueTo = to;
            break;
        default:
            break;
        }
    }
}

void TagTokenReader::finish() {
    if (m_open)
        endTag(m_text.size(), false);
}

// "<", "</", ">", "/>", several of them when nothing stands between.
void TagTokenReader::delimiters(qsizetype from, qsizetype to) {
    for (qsizetype i = from; i < to; ++i) {
        const QChar c = m_text[i];
        if (c == u'<') {
            if (m_open)
                endTag(i, false);
            m_tag.start = i;
            m_tag.endTag = i + 1 < m_text.size() && m_text[i + 1] == u'/';
            m_tag.attributes.clear();
            m_open = true;
            m_named = false;
        } else if (c == u'>' && m_open) {
            endTag(i + 1, true);
        }
    }
}

void TagTokenReader::endValue() {
    m_valueFollows = false;
    m_valueBegun = false;
}

void TagTokenReader::endTag(qsizetype end, bool closed) {
    endValue();
    m_tag.end = end;
    m_tag.closed = closed;
    m_open = false;
    if (m_named) // "</>" is no tag
        tagRead(m_tag);
}

const TagAttribute *StartTag::attribute(QStringView attributeName) const {
    for (const TagAttribute &candidate : attributes)
        if (candidate.name.compare(attributeName, Qt::CaseInsensitive) == 0)
            return &candidate;
    return nullptr;
}

QString StartTag::value(QStringView attributeName) const {
    const TagAttribute *found = attribute(attributeName);
    return found != nullptr ? found->value : QString();
}

TagReading readStartTag(QStringView text, int start) {
    if (start < 0 || start + 1 >= text.size() || text[start] != u'<' ||
        !isAsciiLetter(text[start + 1])) {
        StartTag none;
        none.start = start;
        return TagReading{none, QStringLiteral("There is no start tag here.")};
    }
    // Lexed from its '<' a piece at a time, only as far as the tag goes.
    FirstTag reader(text);
    QList<HtmlTokenSpan> spans;
    HtmlLexPoint point{start, HtmlLexState{}};
    while (!reader.tag && point.position < text.size()) {
        spans.clear();
        point = lexHtmlTextUntil(text, point, point.position + PieceLength, &spans);
        reader.feed(0, spans);
    }
    reader.finish();
    return startTagOf(text, *reader.tag);
}

} // namespace vellumo
