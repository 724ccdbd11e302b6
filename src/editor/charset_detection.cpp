#include "editor/charset_detection.h"

#include <uchardet.h>

#include <algorithm>
#include <memory>

namespace vellumo {

namespace {

// Browsers look for the declaration in the first 1024 bytes; so do we.
constexpr qsizetype DeclarationWindow = 1024;
constexpr qsizetype DetectorSample = 256 * 1024;

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' ||
           c == '.';
}

std::optional<TextEncoding> encodingForLabel(const QByteArray &label) {
    static const std::pair<const char *, TextEncoding> labels[] = {
        {"utf-8", TextEncoding::Utf8},
        {"utf8", TextEncoding::Utf8},
        {"unicode-1-1-utf-8", TextEncoding::Utf8},
        {"iso-8859-1", TextEncoding::Latin1},
        {"iso8859-1", TextEncoding::Latin1},
        {"iso_8859-1", TextEncoding::Latin1},
        {"iso-ir-100", TextEncoding::Latin1},
        {"latin1", TextEncoding::Latin1},
        {"l1", TextEncoding::Latin1},
        {"windows-1252", TextEncoding::Windows1252},
        {"cp1252", TextEncoding::Windows1252},
        {"x-cp1252", TextEncoding::Windows1252},
    };
    for (const auto &[name, encoding] : labels)
        if (label == name)
            return encoding;
    return std::nullopt;
}

} // namespace

std::optional<TextEncoding> declaredEncoding(QByteArrayView bytes) {
    // Lower-cased ASCII copy of the head; other bytes never take part in a declaration.
    QByteArray head = bytes.first(std::min(bytes.size(), DeclarationWindow)).toByteArray();
    std::transform(head.begin(), head.end(), head.begin(), lowerAscii);

    qsizetype meta = head.indexOf("<meta");
    while (meta >= 0) {
        const qsizetype close = head.indexOf('>', meta);
        const qsizetype end = close < 0 ? head.size() : close;
        const qsizetype charset = head.indexOf("charset", meta);
        if (charset >= 0 && charset < end) {
            qsizetype i = charset + 7;
            while (i < end && (head.at(i) == ' ' || head.at(i) == '\t'))
                ++i;
            if (i < end && head.at(i) == '=') {
                ++i;
                while (i < end && (head.at(i) == ' ' || head.at(i) == '"' || head.at(i) == '\''))
                    ++i;
                const qsizetype start = i;
                while (i < end && isNameChar(head.at(i)))
                    ++i;
                return encodingForLabel(head.mid(start, i - start));
            }
        }
        meta = close < 0 ? -1 : head.indexOf("<meta", close);
    }
    return std::nullopt;
}

TextEncoding guessSingleByteEncoding(QByteArrayView bytes) {
    // The bytes 0x80-0x9F are control codes in ISO-8859-1 and printable in
    // Windows-1252: a page that has them is the latter, whatever the detector says.
    const bool hasWindowsOnlyBytes = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b >= 0x80 && b <= 0x9F;
    });
    if (hasWindowsOnlyBytes)
        return TextEncoding::Windows1252;

    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(
        uchardet_new(), uchardet_delete);
    // A prefix is plenty for the guess and keeps huge pages quick.
    const QByteArrayView sample = bytes.first(std::min(bytes.size(), DetectorSample));
    if (!detector || uchardet_handle_data(detector.get(), sample.data(),
                                          static_cast<size_t>(sample.size())) != 0)
        return TextEncoding::Windows1252;
    uchardet_data_end(detector.get());
    const QByteArray guess(uchardet_get_charset(detector.get()));
    return guess == "ISO-8859-1" ? TextEncoding::Latin1 : TextEncoding::Windows1252;
}

} // namespace vellumo
