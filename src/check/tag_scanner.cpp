#include "check/tag_scanner.h"

namespace vellumo {

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// Where the raw text of a SCRIPT or STYLE element ends: at its end tag, or the page's end.
qsizetype rawTextEnd(const QString &text, qsizetype from, const QString &name) {
    const QString endTag = QStringLiteral("</") + name;
    qsizetype at = from;
    while ((at = text.indexOf(endTag, at, Qt::CaseInsensitive)) >= 0) {
        const qsizetype after = at + endTag.size();
        if (after >= text.size() || !isNameChar(text.at(after)))
            return at;
        at = after;
    }
    return text.size();
}

} // namespace

const ScannedAttribute *ScannedTag::attribute(QStringView attributeName) const {
    for (const ScannedAttribute &a : attributes) {
        if (a.name == attributeName)
            return &a;
    }
    return nullptr;
}

QList<ScannedTag> scanTags(const QString &text, const std::atomic_bool *cancel) {
    QList<ScannedTag> tags;
    const qsizetype size = text.size();
    qsizetype at = 0;
    while ((at = text.indexOf(u'<', at)) >= 0) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        if (QStringView(text).sliced(at).startsWith(u"<!--")) {
            const qsizetype close = text.indexOf(QLatin1String("-->"), at + 4);
            at = close < 0 ? size : close + 3;
            continue;
        }
        if (at + 1 < size && (text.at(at + 1) == u'!' || text.at(at + 1) == u'?')) {
            const qsizetype close = text.indexOf(u'>', at);
            at = close < 0 ? size : close + 1;
            continue;
        }
        ScannedTag tag;
        tag.start = at;
        qsizetype i = at + 1;
        if (i < size && text.at(i) == u'/') {
            tag.end = true;
            ++i;
        }
        const qsizetype nameStart = i;
        if (i >= size || !text.at(i).isLetter()) {
            at = i; // a '<' that opens no tag, as in "a < b"
            continue;
        }
        while (i < size && isNameChar(text.at(i)))
            ++i;
        tag.name = text.mid(nameStart, i - nameStart).toLower();
        while (i < size && text.at(i) != u'>' && text.at(i) != u'<') {
            if (isSpace(text.at(i)) || text.at(i) == u'/') {
                ++i;
                continue;
            }
            ScannedAttribute attribute;
            attribute.nameStart = i;
            while (i < size && !isSpace(text.at(i)) && text.at(i) != u'>' && text.at(i) != u'=' &&
                   text.at(i) != u'<' && text.at(i) != u'/')
                ++i;
            if (i == attribute.nameStart) { // a stray '=' or quote
                ++i;
                continue;
            }
            attribute.name = text.mid(attribute.nameStart, i - attribute.nameStart).toLower();
            qsizetype j = i;
            while (j < size && isSpace(text.at(j)))
                ++j;
            if (j < size && text.at(j) == u'=') {
                ++j;
                while (j < size && isSpace(text.at(j)))
                    ++j;
                if (j < size && (text.at(j) == u'"' || text.at(j) == u'\'')) {
                    const QChar quote = text.at(j);
                    const qsizetype close = text.indexOf(quote, j + 1);
                    attribute.valueStart = j + 1;
                    attribute.valueLength = (close < 0 ? size : close) - j - 1;
                    i = close < 0 ? size : close + 1;
                } else {
                    attribute.valueStart = j;
                    while (j < size && !isSpace(text.at(j)) && text.at(j) != u'>')
                        ++j;
                    attribute.valueLength = j - attribute.valueStart;
                    i = j;
                }
                attribute.value = text.mid(attribute.valueStart, attribute.valueLength);
            }
            tag.attributes.append(std::move(attribute));
        }
        if (i < size && text.at(i) == u'>')
            ++i;
        tag.length = i - tag.start;
        at = i;
        const bool rawText = !tag.end && (tag.name == u"script" || tag.name == u"style");
        const QString name = tag.name;
        tags.append(std::move(tag));
        if (rawText)
            at = rawTextEnd(text, at, name);
    }
    return tags;
}

} // namespace vellumo
