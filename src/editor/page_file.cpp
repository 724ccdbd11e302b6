#include "editor/page_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <optional>

namespace vellumo {

namespace {

// Windows-1252's bytes 0x80-0x9F. The five bytes the code page leaves undefined
// map to the C1 control with the same number, as browsers read them, so that every
// byte still has its own character and the page saves back byte for byte.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LEMark("\xFF\xFE", 2);
const QByteArray kUtf16BEMark("\xFE\xFF", 2);

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// The Windows-1252 byte for `c`, or -1 when the code page has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] == c)
            return 0x80 + i;
    return -1;
}

// Decodes with `encoding`, or returns nothing when the bytes are not exactly
// that encoding (so the caller can fall back without losing a byte).
std::optional<QString> decodeStrict(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    // Keep a second byte-order mark as a character: it is part of the page.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

LineBreakStyle detectLineBreaks(const QString &text)
{
    const qsizetype at = [&] {
        for (qsizetype i = 0; i < text.size(); ++i)
            if (text.at(i) == u'\n' || text.at(i) == u'\r')
                return i;
        return qsizetype(-1);
    }();
    if (at < 0)
        return newPageFormat().lineBreaks;
    if (text.at(at) == u'\n')
        return LineBreakStyle::LF;
    return (at + 1 < text.size() && text.at(at + 1) == u'\n') ? LineBreakStyle::CRLF
                                                              : LineBreakStyle::CR;
}

// Every CR LF and lone CR becomes one '\n', in place.
void normaliseLineBreaks(QString &text)
{
    if (!text.contains(u'\r'))
        return;
    QChar *out = text.data();
    const QChar *in = text.constData();
    const QChar *end = in + text.size();
    while (in != end) {
        if (*in == u'\r') {
            *out++ = u'\n';
            if (in + 1 != end && in[1] == u'\n')
                ++in;
        } else {
            *out++ = *in;
        }
        ++in;
    }
    text.truncate(out - text.constData());
}

QString lineBreakText(LineBreakStyle style)
{
    switch (style) {
    case LineBreakStyle::CRLF:
        return QStringLiteral("\r\n");
    case LineBreakStyle::CR:
        return QStringLiteral("\r");
    case LineBreakStyle::LF:
        break;
    }
    return QStringLiteral("\n");
}

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const int b = windows1252Byte(c);
        if (b >= 0) {
            bytes.append(static_cast<char>(b));
            continue;
        }
        char32_t code = c;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            code = QChar::surrogateToUcs4(c, text.at(++i).unicode());
        bytes.append("&#" + QByteArray::number(static_cast<uint>(code)) + ';');
    }
    return bytes;
}

} // namespace

PageFormat newPageFormat()
{
    PageFormat format;
#ifdef Q_OS_WIN
    format.lineBreaks = LineBreakStyle::CRLF;
#endif
    return format;
}

DecodedPage decodePage(const QByteArray &bytes)
{
    DecodedPage page;
    const QByteArrayView view(bytes);
    std::optional<QString> text;
    if (view.startsWith(kUtf8Mark)) {
        text = decodeStrict(view.sliced(3), QStringConverter::Utf8);
        page.format = {TextEncoding::Utf8, true, {}};
    } else if (view.startsWith(kUtf16LEMark) && view.size() % 2 == 0) {
        text = decodeStrict(view.sliced(2), QStringConverter::Utf16LE);
        page.format = {TextEncoding::Utf16LE, true, {}};
    } else if (view.startsWith(kUtf16BEMark) && view.size() % 2 == 0) {
        text = decodeStrict(view.sliced(2), QStringConverter::Utf16BE);
        page.format = {TextEncoding::Utf16BE, true, {}};
    }
    if (!text) {
        text = decodeStrict(view, QStringConverter::Utf8);
        page.format = {TextEncoding::Utf8, false, {}};
    }
    if (!text) {
        text = decodeWindows1252(view);
        page.format = {TextEncoding::Windows1252, false, {}};
    }
    page.format.lineBreaks = detectLineBreaks(*text);
    page.text = std::move(*text);
    normaliseLineBreaks(page.text);
    return page;
}

QByteArray encodePage(const QString &text, const PageFormat &format)
{
    QString stored = text;
    if (format.lineBreaks != LineBreakStyle::LF)
        stored.replace(u'\n', lineBreakText(format.lineBreaks));

    switch (format.encoding) {
    case TextEncoding::Windows1252:
        return encodeWindows1252(stored);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool little = format.encoding == TextEncoding::Utf16LE;
        QStringEncoder encoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        QByteArray bytes = format.byteOrderMark ? (little ? kUtf16LEMark : kUtf16BEMark)
                                                : QByteArray();
        bytes += encoder(stored);
        return bytes;
    }
    case TextEncoding::Utf8:
        break;
    }
    QByteArray bytes = format.byteOrderMark ? kUtf8Mark : QByteArray();
    bytes += stored.toUtf8();
    return bytes;
}

bool canEncode(const QString &text, const PageFormat &format)
{
    if (format.encoding != TextEncoding::Windows1252)
        return true;
    for (const QChar c : text)
        if (windows1252Byte(c.unicode()) < 0)
            return false;
    return true;
}

QString readWholeFile(const QString &path, QByteArray *bytes)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("It is a folder, not a file.");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    *bytes = std::move(data);
    return {};
}

QString writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Never fall back to writing over the old file in place: a failure half way
    // would leave it truncated.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile can still commit after a failed buffered write, so every step is
    // checked before the rename.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace vellumo
