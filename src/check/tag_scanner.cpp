#include "check/tag_scanner.h"

#include "html/html_lexer.h"
#include "html/named_references.h"
#include "html/tag_reader.h"

#include <algorithm>
#include <array>

namespace vellumo {

namespace {

// The most of one line lexed at a time: a page written on a single line is read
// in pieces, so its tokens never need more than a piece's worth of memory.
constexpr qsizetype PieceLength = 1 << 22;

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

// The page's tags as the check keeps them: names in lower case, values read.
class TagScan : public TagTokenReader {
public:
    explicit TagScan(const QString &text)
        : TagTokenReader(text) {}

    QList<ScannedTag> tags;

protected:
    void tagRead(const TagPlaces &read) override {
        const QStringView page = text();
        ScannedTag tag;
        tag.name = m_names.lowerName(page.sliced(read.nameStart, read.nameEnd - read.nameStart));
        tag.end = read.endTag;
        tag.start = read.start;
        tag.length = read.end - read.start;
        tag.attributes.reserve(read.attributes.size());
        for (const TagPlaces::Attribute &a : read.attributes) {
            ScannedAttribute attribute;
            attribute.name = m_names.lowerName(page.sliced(a.nameStart, a.nameEnd - a.nameStart));
            attribute.nameStart = a.nameStart;
            if (a.hasValue()) {
                attribute.valueStart = a.valueStart(page);
                attribute.valueLength = a.valueLength(page);
                attribute.value = decodeCharacterReferences(
                    page.sliced(attribute.valueStart, attribute.valueLength));
            }
            tag.attributes.append(std::move(attribute));
        }
        tags.append(std::move(tag));
    }

private:
    NameCache m_names;
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
    TagScan scan(text);
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
                return std::move(scan.tags);
            spans.clear();
            const qsizetype until = std::min(line.size() + 1, point.position + PieceLength);
            point = lexHtmlLinePart(line, point, int(until), &spans);
            scan.feed(lineStart, spans);
        }
        state = point.state;
        lineStart = lineEnd + 1;
    }
    scan.finish();
    return std::move(scan.tags);
}

} // namespace vellumo
