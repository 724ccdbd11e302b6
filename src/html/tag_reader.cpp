#include "html/tag_reader.h"

#include "html/named_references.h"

#include <optional>

namespace vellumo {

namespace {

bool isTagSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Reads one tag; every failure names the tag so the message can stand alone.
class Reader {
public:
    Reader(QStringView text, int start)
        : m_text(text)
        , m_i(start) {
        m_tag.start = start;
    }

    TagReading read() {
        if (m_i < 0 || m_i + 1 >= m_text.size() || m_text[m_i] != u'<' ||
            !isAsciiLetter(m_text[m_i + 1]))
            return fail(QStringLiteral("There is no start tag here."));
        ++m_i;
        const int nameStart = m_i;
        while (m_i < m_text.size() && !isTagSpace(at()) && at() != u'/' && at() != u'>') {
            if (isQuote(at()))
                return strayQuote();
            if (at() == u'<')
                return notClosed();
            ++m_i;
        }
        m_tag.name = m_text.mid(nameStart, m_i - nameStart).toString();
        m_tag.nameEnd = m_i;
        while (true) {
            while (m_i < m_text.size() && (isTagSpace(at()) || at() == u'/')) {
                if (at() == u'/' && m_i + 1 < m_text.size() && m_text[m_i + 1] == u'>')
                    break;
                ++m_i;
            }
            if (m_i >= m_text.size())
                return notClosed();
            if (at() == u'>' || at() == u'/') {
                m_tag.end = m_i + (at() == u'/' ? 2 : 1);
                return TagReading{m_tag, {}};
            }
            if (isQuote(at()))
                return strayQuote();
            if (at() == u'<')
                return notClosed();
            if (const auto failure = attribute())
                return *failure;
        }
    }

private:
    QChar at() const { return m_text[m_i]; }

    TagReading fail(const QString &message) { return TagReading{m_tag, message}; }
    TagReading notClosed() {
        return fail(QStringLiteral("The tag <%1 does not end with \">\".").arg(m_tag.name));
    }
    TagReading strayQuote() {
        return fail(QStringLiteral("The tag <%1 holds a quote outside a value.").arg(m_tag.name));
    }

    void skipSpace() {
        while (m_i < m_text.size() && isTagSpace(at()))
            ++m_i;
    }

    // Reads the attribute at the current place; a failure ends the reading.
    std::optional<TagReading> attribute() {
        TagAttribute read;
        read.start = m_i;
        // A name may start with '=', as a browser reads it.
        ++m_i;
        while (m_i < m_text.size() && !isTagSpace(at()) && at() != u'/' && at() != u'>' &&
               at() != u'=') {
            if (isQuote(at()))
                return strayQuote();
            if (at() == u'<')
                return notClosed();
            ++m_i;
        }
        read.name = m_text.mid(read.start, m_i - read.start).toString();
        read.end = m_i;
        const int afterName = m_i;
        skipSpace();
        if (m_i >= m_text.size())
            return notClosed();
        if (at() != u'=') {
            // Valueless: whatever follows is the next attribute.
            m_i = afterName;
            m_tag.attributes.append(read);
            return std::nullopt;
        }
        ++m_i;
        skipSpace();
        if (m_i >= m_text.size())
            return notClosed();
        if (isQuote(at())) {
            read.quote = at();
            const qsizetype close = m_text.indexOf(read.quote, m_i + 1);
            if (close < 0)
                return fail(QStringLiteral("The value of %1 in the tag <%2 has no closing quote.")
                                .arg(read.name, m_tag.name));
            read.valueStart = m_i + 1;
            read.valueLength = int(close) - read.valueStart;
            m_i = int(close) + 1;
        } else {
            read.valueStart = m_i;
            while (m_i < m_text.size() && !isTagSpace(at()) && at() != u'>') {
                if (isQuote(at()) || at() == u'`')
                    return strayQuote();
                if (at() == u'<')
                    return notClosed();
                ++m_i;
            }
            read.valueLength = m_i - read.valueStart;
        }
        read.end = m_i;
        read.value = decodeCharacterReferences(m_text.mid(read.valueStart, read.valueLength));
        m_tag.attributes.append(read);
        return std::nullopt;
    }

    QStringView m_text;
    int m_i;
    StartTag m_tag;
};

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
    return Reader(text, start).read();
}

} // namespace vellumo
