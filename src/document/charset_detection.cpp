#include "document/charset_detection.h"

#include "html/html_lexer.h"

#include <QString>

#include <uchardet.h>

#include <algorithm>
#include <memory>

namespace vellumo {

namespace {

// Browsers look for the declaration in the first 1024 bytes; so do we.
constexpr qsizetype DeclarationWindow = 1024;
// Enough for the detector to be sure, and quick on a page of any size.
constexpr qsizetype DetectorSample = qsizetype{64} * 1024;

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool startsWithNoCase(QByteArrayView bytes, qsizetype at, QByteArrayView word) {
    if (at + word.size() > bytes.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i)
        if (lowerAscii(bytes[at + i]) != word[i])
            return false;
    return true;
}

struct Attribute {
    QByteArray name; // lower case
    qsizetype valueFrom = 0;
    qsizetype valueLength = 0;
};

// The HTML standard's "get an attribute" of the prescan: reads one attribute at
// `at` and moves past it; nothing at the end of the tag.
std::optional<Attribute> nextAttribute(QByteArrayView b, qsizetype &at) {
    const qsizetype end = b.size();
    while (at < end && (isSpace(b[at]) || b[at] == '/'))
        ++at;
    if (at >= end || b[at] == '>')
        return std::nullopt;
    Attribute attribute;
    for (;;) {
        if (at >= end)
            return attribute;
        const char c = b[at];
        if (c == '=' && !attribute.name.isEmpty()) {
            ++at;
            break;
        }
        if (isSpace(c)) {
            while (at < end && isSpace(b[at]))
                ++at;
            if (at >= end || b[at] != '=')
                return attribute;
            ++at;
            break;
        }
        if (c == '/' || c == '>')
            return attribute;
        attribute.name.append(lowerAscii(c));
        ++at;
    }
    while (at < end && isSpace(b[at]))
        ++at;
    if (at >= end)
        return attribute;
    if (b[at] == '"' || b[at] == '\'') {
        const char quote = b[at++];
        attribute.valueFrom = at;
        while (at < end && b[at] != quote)
            ++at;
        attribute.valueLength = at - attribute.valueFrom;
        if (at < end)
            ++at;
        return attribute;
    }
    attribute.valueFrom = at;
    while (at < end && !isSpace(b[at]) && b[at] != '>')
        ++at;
    attribute.valueLength = at - attribute.valueFrom;
    return attribute;
}

// The charset named in a Content-Type value ("text/html; charset=koi8-r"), as
// offsets into `b`.
CharsetDeclaration charsetInContent(QByteArrayView b, qsizetype from, qsizetype length) {
    const qsizetype end = from + length;
    qsizetype at = from;
    for (;;) {
        while (at < end && !startsWithNoCase(b.first(end), at, "charset"))
            ++at;
        if (at >= end)
            return {};
        at += 7;
        while (at < end && isSpace(b[at]))
            ++at;
        if (at < end && b[at] == '=')
            break;
    }
    ++at;
    while (at < end && isSpace(b[at]))
        ++at;
    if (at >= end)
        return {};
    CharsetDeclaration found;
    if (b[at] == '"' || b[at] == '\'') {
        const char quote = b[at++];
        const qsizetype close = b.first(end).indexOf(quote, at);
        if (close < 0)
            return {};
        found.from = at;
        found.length = close - at;
    } else {
        found.from = at;
        while (at < end && !isSpace(b[at]) && b[at] != ';')
            ++at;
        found.length = at - found.from;
    }
    found.label = b.sliced(found.from, found.length).toByteArray();
    return found;
}

// The <meta> starting at `at` (just after "<meta"), when it declares an encoding
// a browser knows.
CharsetDeclaration metaDeclaration(QByteArrayView b, qsizetype &at) {
    QList<QByteArray> seen;
    bool gotPragma = false;
    std::optional<bool> needPragma;
    CharsetDeclaration charset;
    while (const std::optional<Attribute> attribute = nextAttribute(b, at)) {
        if (seen.contains(attribute->name))
            continue;
        seen.append(attribute->name);
        const QByteArrayView value = b.sliced(attribute->valueFrom, attribute->valueLength);
        if (attribute->name == "http-equiv") {
            gotPragma = value.compare("content-type", Qt::CaseInsensitive) == 0;
        } else if (attribute->name == "content" && !charset.found()) {
            charset = charsetInContent(b, attribute->valueFrom, attribute->valueLength);
            if (charset.found())
                needPragma = true;
        } else if (attribute->name == "charset") {
            charset = {value.toByteArray(), attribute->valueFrom, attribute->valueLength};
            needPragma = false;
        }
    }
    if (!needPragma || (*needPragma && !gotPragma) || !encodingForLabel(charset.label))
        return {};
    return charset;
}

CharsetDeclaration xmlDeclaration(QByteArrayView b) {
    if (!b.startsWith("<?xml"))
        return {};
    const qsizetype close = b.indexOf("?>");
    const QByteArrayView declaration = b.first(close < 0 ? b.size() : close);
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return {};
    at += 8;
    while (at < declaration.size() && isSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || declaration[at] != '=')
        return {};
    ++at;
    while (at < declaration.size() && isSpace(declaration[at]))
        ++at;
    if (at >= declaration.size() || (declaration[at] != '"' && declaration[at] != '\''))
        return {};
    const char quote = declaration[at++];
    const qsizetype end = declaration.indexOf(quote, at);
    if (end < 0)
        return {};
    CharsetDeclaration found{declaration.sliced(at, end - at).toByteArray(), at, end - at};
    return encodingForLabel(found.label) ? found : CharsetDeclaration{};
}

// The part of a tag's text to skip: up to and past the next '>'.
qsizetype pastNext(QByteArrayView b, qsizetype at, QByteArrayView what) {
    const qsizetype found = b.indexOf(what, at);
    return found < 0 ? b.size() : found + what.size();
}

} // namespace

CharsetDeclaration findCharsetDeclaration(QByteArrayView bytes) {
    const QByteArrayView b = bytes.first(std::min(bytes.size(), DeclarationWindow));
    if (CharsetDeclaration xml = xmlDeclaration(b); xml.found())
        return xml;
    qsizetype at = 0;
    while (at < b.size()) {
        if (b[at] != '<') {
            ++at;
            continue;
        }
        if (b.sliced(at).startsWith("<!--")) {
            at = pastNext(b, at + 2, "-->");
        } else if (startsWithNoCase(b, at, "<meta") && at + 5 < b.size() &&
                   (isSpace(b[at + 5]) || b[at + 5] == '/')) {
            at += 5;
            if (CharsetDeclaration found = metaDeclaration(b, at); found.found())
                return found;
        } else if (at + 1 < b.size() &&
                   (isLetter(b[at + 1]) ||
                    (b[at + 1] == '/' && at + 2 < b.size() && isLetter(b[at + 2])))) {
            // Another tag: its attributes are skipped whole, so that a '<' inside a
            // quoted value does not start a tag.
            while (at < b.size() && !isSpace(b[at]) && b[at] != '>')
                ++at;
            while (nextAttribute(b, at)) {
            }
        } else if (at + 1 < b.size() &&
                   (b[at + 1] == '!' || b[at + 1] == '/' || b[at + 1] == '?')) {
            at = pastNext(b, at, ">");
        } else {
            ++at;
        }
    }
    return {};
}

CharsetDeclaration findCharsetDeclaration(QStringView text) {
    // One byte per character, so that the offsets are the text's: markup is
    // ASCII, and any other character only has to stay out of it.
    const QStringView head = text.first(std::min(text.size(), DeclarationWindow));
    QByteArray bytes(head.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < head.size(); ++i)
        bytes[i] = head[i].unicode() < 0x80 ? static_cast<char>(head[i].unicode()) : '\x80';
    return findCharsetDeclaration(QByteArrayView(bytes));
}

std::optional<TextEncoding> utf16ByPattern(QByteArrayView bytes) {
    if (bytes.size() < 4 || bytes.size() % 2 != 0)
        return std::nullopt;
    const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 4096));
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i < sample.size(); i += 2) {
        evenZeros += sample[i] == 0;
        oddZeros += sample[i + 1] == 0;
    }
    const qsizetype units = sample.size() / 2;
    // At least a quarter of the characters are ASCII (the markup), and the other
    // half of the bytes is hardly ever zero.
    if (oddZeros * 4 >= units && evenZeros * 16 <= oddZeros)
        return TextEncoding::Utf16LE;
    if (evenZeros * 4 >= units && oddZeros * 16 <= evenZeros)
        return TextEncoding::Utf16BE;
    return std::nullopt;
}

std::optional<TextEncoding> detectEncoding(QByteArrayView bytes) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    const QByteArrayView sample = bytes.first(std::min(bytes.size(), DetectorSample));
    if (!detector || uchardet_handle_data(detector.get(), sample.data(),
                                          static_cast<size_t>(sample.size())) != 0)
        return std::nullopt;
    uchardet_data_end(detector.get());
    const QByteArray guess = QByteArray(uchardet_get_charset(detector.get())).toLower();
    // The detector's names that are not browsers' labels.
    static const std::pair<const char *, TextEncoding> detectorNames[] = {
        {"mac-cyrillic", TextEncoding::MacCyrillic},
        {"uhc", TextEncoding::EucKr},
        {"cp949", TextEncoding::EucKr},
        {"cp932", TextEncoding::ShiftJis},
    };
    for (const auto &[name, encoding] : detectorNames)
        if (guess == name)
            return encoding;
    const std::optional<TextEncoding> encoding = encodingForLabel(guess);
    // UTF-16 without a mark is found by its pattern, not guessed.
    if (!encoding || !isAsciiCompatible(*encoding))
        return std::nullopt;
    // On a few accented letters the detector hesitates between the Latin code
    // pages; where its guess reads the sample as windows-1252 does, the page is
    // the common case, and windows-1252 also holds the most a user may type.
    if (*encoding != TextEncoding::Windows1252 &&
        decodeText(sample, *encoding) == decodeText(sample, TextEncoding::Windows1252))
        return TextEncoding::Windows1252;
    return encoding;
}

std::optional<RangeEdit> charsetDeclarationEdit(QStringView page, const QString &encodingName) {
    // A declaration counts within the page's first kilobytes, and so does its head.
    constexpr qsizetype HeadLength = 4096;
    const QStringView head = page.first(std::min(page.size(), HeadLength));
    if (findCharsetDeclaration(head).found())
        return std::nullopt;
    QList<HtmlTokenSpan> spans;
    lexHtmlText(head, HtmlLexState{}, &spans);
    qsizetype after = 0;
    bool upper = false;
    int rank = 0; // 3: after <head>, 2: after <html>, 1: after <!DOCTYPE>
    for (qsizetype i = 0; i < spans.size() && rank < 3; ++i) {
        const HtmlTokenSpan &span = spans.at(i);
        const QStringView text = head.sliced(span.start, span.length);
        // Just past the tag's '>' (its delimiter token may run on into the next tag's '<').
        const auto tagEnd = [&] {
            for (qsizetype j = i + 1; j < spans.size(); ++j) {
                const HtmlTokenSpan &delimiter = spans.at(j);
                const qsizetype close =
                    head.sliced(delimiter.start, delimiter.length).indexOf(u'>');
                if (delimiter.kind == HtmlTokenKind::TagDelimiter && close >= 0)
                    return qsizetype(delimiter.start + close + 1);
            }
            return qsizetype(-1);
        };
        if (span.kind == HtmlTokenKind::Doctype && rank < 1) {
            after = span.start + span.length;
            rank = 1;
        } else if (span.kind == HtmlTokenKind::TagName && i > 0 &&
                   head.sliced(spans.at(i - 1).start, spans.at(i - 1).length).endsWith(u'<')) {
            // (A start tag: an end tag's name follows "</".)
            const int tagRank = text.compare(u"head", Qt::CaseInsensitive) == 0   ? 3
                                : text.compare(u"html", Qt::CaseInsensitive) == 0 ? 2
                                                                                  : 0;
            upper = text.at(0).isUpper();
            if (tagRank > rank) {
                if (const qsizetype end = tagEnd(); end > 0) {
                    after = end;
                    rank = tagRank;
                }
            }
            if (tagRank == 0 && text.compare(u"title", Qt::CaseInsensitive) != 0 &&
                text.compare(u"meta", Qt::CaseInsensitive) != 0)
                break; // the body's markup has begun
        }
    }
    // On the line of the tag before it, so no line break of the page's kind is needed.
    const QString meta =
        upper ? QStringLiteral("<META CHARSET=\"%1\">") : QStringLiteral("<meta charset=\"%1\">");
    return RangeEdit{int(after), 0, meta.arg(encodingName)};
}

} // namespace vellumo
