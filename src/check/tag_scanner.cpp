#include "check/tag_scanner.h"

#include "html/html_lexer.h"
#include "html/named_references.h"

#include <algorithm>
#include <array>

namespace vellumo {

namespace {

// The most of one line lexed at a time: a page written on a single line is read
// in pieces, so its tokens never need more than a piece's worth of memory.
constexpr qsizetype PieceLength = 1 << 22;

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

// Names come again and again on a page: one copy of each short ASCII name, in
// lower case, is shared by every tag that has it, which spares most allocations.
class NameCache {
public:
    QString lowerName(QStringView name) {
        if (name.size() > 16)
            return name.toString().toLower();
        std::size_t hash = std::size_t(name.size());
        for (const QChar c : name) {
            if (c.unicode() >= 0x80)
                return name.toString().toLower();
            hash = hash * 31 + asciiLower(c.unicode());
        }
        QString &slot = m_slots[hash % m_slots.size()];
        if (!isLowerOf(slot, name)) {
            slot.resize(name.size());
            for (qsizetype i = 0; i < name.size(); ++i)
                slot[i] = QChar(asciiLower(name[i].unicode()));
        }
        return slot;
    }

private:
    static bool isLowerOf(const QString &lower, QStringView name) {
        if (lower.size() != name.size())
            return false;
        for (qsizetype i = 0; i < name.size(); ++i)
            if (lower[i].unicode() != asciiLower(name[i].unicode()))
                return false;
        return true;
    }

    std::array<QString, 256> m_slots;
};

// Puts the tags together from the lexer's tokens, a piece of a line at a time;
// a tag may go on over several lines.
class TagCollector {
public:
    explicit TagCollector(const QString &text)
        : m_text(text) {}

    // The tokens of a piece of the line that starts at `lineStart`.
    void feed(qsizetype lineStart, const QList<HtmlTokenSpan> &spans) {
        for (const HtmlTokenSpan &span : spans) {
            const qsizetype from = lineStart + span.start;
            const qsizetype to = from + span.length;
            switch (span.kind) {
            case HtmlTokenKind::TagDelimiter:
                delimiters(from, to);
                break;
            case HtmlTokenKind::TagName:
                if (m_open && m_tag.name.isEmpty())
                    m_tag.name = m_names.lowerName(QStringView(m_text).sliced(from, to - from));
                break;
            case HtmlTokenKind::AttributeName:
                if (!m_open)
                    break;
                endValue();
                m_tag.attributes.append(
                    ScannedAttribute{m_names.lowerName(QStringView(m_text).sliced(from, to - from)),
                                     {},
                                     from,
                                     -1,
                                     0});
                m_valueFollows = false;
                break;
            case HtmlTokenKind::TagSpace:
                if (!m_open || m_tag.attributes.isEmpty())
                    break;
                if (m_valueFrom >= 0) {
                    endValue();
                } else if (m_valueFollows || m_text.sliced(from, to - from).contains(u'=')) {
                    // Written with '=': the value starts after the space that follows it,
                    // and is empty when the tag ends there.
                    m_valueFollows = true;
                    m_tag.attributes.last().valueStart = to;
                }
                break;
            case HtmlTokenKind::AttributeValue:
            case HtmlTokenKind::CharacterReference:
                if (!m_open || !m_valueFollows)
                    break;
                if (m_valueFrom < 0)
                    m_valueFrom = from;
                m_valueTo = to;
                break;
            default:
                break;
            }
        }
    }

    QList<ScannedTag> finish() {
        if (m_open)
            endTag(m_text.size());
        return std::move(m_tags);
    }

private:
    // "<", "</", ">", "/>", several of them when nothing stands between.
    void delimiters(qsizetype from, qsizetype to) {
        for (qsizetype i = from; i < to; ++i) {
            const QChar c = m_text.at(i);
            if (c == u'<') {
                if (m_open)
                    endTag(i);
                m_tag = ScannedTag{};
                m_tag.start = i;
                m_tag.end = i + 1 < m_text.size() && m_text.at(i + 1) == u'/';
                m_open = true;
            } else if (c == u'>' && m_open) {
                endTag(i + 1);
            }
        }
    }

    // The value read since the '=': its quotes set aside, its references read.
    void endValue() {
        if (m_valueFrom < 0) {
            m_valueFollows = false;
            return;
        }
        ScannedAttribute &attribute = m_tag.attributes.last();
        qsizetype start = m_valueFrom;
        qsizetype end = m_valueTo;
        const QChar first = m_text.at(start);
        if (isQuote(first)) {
            ++start;
            if (end - m_valueFrom >= 2 && m_text.at(end - 1) == first)
                --end; // closed; otherwise the value runs to where the page ends
            else
                end = m_text.size();
        }
        attribute.valueStart = start;
        attribute.valueLength = end - start;
        attribute.value = decodeCharacterReferences(QStringView(m_text).sliced(start, end - start));
        m_valueFrom = -1;
        m_valueFollows = false;
    }

    void endTag(qsizetype end) {
        endValue();
        m_tag.length = end - m_tag.start;
        m_open = false;
        if (!m_tag.name.isEmpty()) // "</>" is no tag
            m_tags.append(std::move(m_tag));
    }

    const QString &m_text;
    NameCache m_names;
    QList<ScannedTag> m_tags;
    ScannedTag m_tag;
    bool m_open = false;         // m_tag is being read
    bool m_valueFollows = false; // the last attribute has its '='
    qsizetype m_valueFrom = -1;  // where its value's tokens began, -1: not yet
    qsizetype m_valueTo = 0;     // and where they end so far
};

} // namespace

const ScannedAttribute *ScannedTag::attribute(QStringView attributeName) const {
    for (const ScannedAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

QList<ScannedTag> scanTags(const QString &text, const std::atomic_bool *cancel) {
    TagCollector collector(text);
    QList<HtmlTokenSpan> spans;
    HtmlLexState state;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = QStringView(text).sliced(lineStart, lineEnd - lineStart);
        HtmlLexPoint point{0, state};
        while (point.position <= line.size()) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return collector.finish();
            spans.clear();
            const qsizetype until = std::min(line.size() + 1, point.position + PieceLength);
            point = lexHtmlLinePart(line, point, int(until), &spans);
            collector.feed(lineStart, spans);
        }
        state = point.state;
        lineStart = lineEnd + 1;
    }
    return collector.finish();
}

} // namespace vellumo
