#include "editor/page_file.h"

#include "editor/charset_detection.h"
#include "editor/durable_write.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
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

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kWindows1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

// The Windows-1252 byte for `c`, or -1 when the code page has none.
int windows1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] == c)
            return 0x80 + i;
    return -1;
}

// Decodes with `encoding`, or returns nothing when the bytes are not exactly
// that encoding (so the caller can fall back without losing a byte).
std::optional<QString> decodeStrict(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    // Keep a second byte-order mark as a character: it is part of the page.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

LineBreakKind kindOfStyle(LineBreakStyle style) {
    switch (style) {
    case LineBreakStyle::CRLF:
        return BreakCRLF;
    case LineBreakStyle::CR:
        return BreakCR;
    case LineBreakStyle::LF:
        break;
    }
    return BreakLF;
}

// Turns every line break (LF, CR LF, CR, U+2029, and the two characters the
// editor also takes as breaks) into one '\n', in place, in one pass. Returns the
// most common of LF, CR LF and CR (the first one met on a tie), and fills
// `kinds` with one byte per break unless every break is of that kind.
LineBreakStyle normaliseLineBreaks(QString &text, QByteArray &kinds) {
    kinds.clear();
    const qsizetype size = text.size();
    if (size == 0)
        return newPageFormat().lineBreaks;
    QChar *data = text.data();
    qsizetype out = 0;
    std::array<qsizetype, 3> counts{};
    int first = -1;
    bool special = false; // a break of a kind that can never be the usual one
    for (qsizetype in = 0; in < size; ++in) {
        const char16_t c = data[in].unicode();
        char kind = 0;
        switch (c) {
        case u'\n':
            kind = BreakLF;
            break;
        case u'\r':
            if (in + 1 < size && data[in + 1] == u'\n') {
                ++in;
                kind = BreakCRLF;
            } else {
                kind = BreakCR;
            }
            break;
        case 0x2029:
            kind = BreakParagraph;
            break;
        case 0xFDD0:
            kind = BreakFrameStart;
            break;
        case 0xFDD1:
            kind = BreakFrameEnd;
            break;
        default:
            data[out++] = QChar(c);
            continue;
        }
        data[out++] = u'\n';
        kinds.append(kind);
        const int style = kind == BreakLF ? 0 : kind == BreakCRLF ? 1 : kind == BreakCR ? 2 : -1;
        if (style < 0) {
            special = true;
            continue;
        }
        ++counts[style];
        if (first < 0)
            first = style;
    }
    text.truncate(out);
    if (first < 0) {
        if (!special)
            kinds.clear();
        return newPageFormat().lineBreaks;
    }
    int usual = first;
    for (int style = 0; style < 3; ++style)
        if (counts[style] > counts[usual])
            usual = style;
    const auto result = static_cast<LineBreakStyle>(usual);
    if (!special && counts[usual] == kinds.size())
        kinds.clear();
    return result;
}

void appendBreak(QString &out, char kind) {
    switch (kind) {
    case BreakCRLF:
        out += u'\r';
        out += u'\n';
        return;
    case BreakCR:
        out += u'\r';
        return;
    case BreakParagraph:
        out += QChar(0x2029);
        return;
    case BreakFrameStart:
        out += QChar(0xFDD0);
        return;
    case BreakFrameEnd:
        out += QChar(0xFDD1);
        return;
    default:
        out += u'\n';
        return;
    }
}

// `text` with each '\n' written as its kind, in one pass.
QString storedText(const QString &text, const PageFormat &format, const QByteArray &kinds) {
    const char usual = kindOfStyle(format.lineBreaks);
    if (kinds.isEmpty()) {
        if (usual == BreakLF)
            return text;
        QString stored = text;
        stored.replace(u'\n', usual == BreakCRLF ? QStringLiteral("\r\n") : QStringLiteral("\r"));
        return stored;
    }
    QString stored;
    stored.reserve(text.size() + kinds.size());
    qsizetype line = 0;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', from)) {
        stored.append(QStringView(text).sliced(from, at - from));
        const char kind = line < kinds.size() ? kinds.at(line) : 0;
        appendBreak(stored, kind == Usual ? usual : kind);
        ++line;
        from = at + 1;
    }
    stored.append(QStringView(text).sliced(from));
    return stored;
}

// A single-byte encoding: `byteFor` gives the byte of a character or -1; the
// rest become numeric character references.
template <typename ByteFor> QByteArray encodeSingleByte(const QString &text, ByteFor byteFor) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const int b = byteFor(c);
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

int latin1Byte(char16_t c) {
    return c <= 0xFF ? c : -1;
}

} // namespace

PageFormat newPageFormat() {
    PageFormat format;
#ifdef Q_OS_WIN
    format.lineBreaks = LineBreakStyle::CRLF;
#endif
    return format;
}

DecodedPage decodePage(const QByteArray &bytes) {
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
        // A page that names its single-byte encoding is read in it, as a browser
        // would; a declared UTF-8 still has to be valid UTF-8.
        const std::optional<TextEncoding> declared = declaredEncoding(view);
        if (declared == TextEncoding::Latin1) {
            text = QString::fromLatin1(view);
            page.format = {TextEncoding::Latin1, false, {}};
        } else if (declared == TextEncoding::Windows1252) {
            text = decodeWindows1252(view);
            page.format = {TextEncoding::Windows1252, false, {}};
        }
    }
    if (!text) {
        text = decodeStrict(view, QStringConverter::Utf8);
        page.format = {TextEncoding::Utf8, false, {}};
    }
    if (!text) {
        page.format = {guessSingleByteEncoding(view), false, {}};
        text = page.format.encoding == TextEncoding::Latin1 ? QString::fromLatin1(view)
                                                            : decodeWindows1252(view);
    }
    page.text = std::move(*text);
    page.format.lineBreaks = normaliseLineBreaks(page.text, page.lineBreakKinds);
    return page;
}

QByteArray encodePage(const QString &text, const PageFormat &format,
                      const QByteArray &lineBreakKinds) {
    const QString stored = storedText(text, format, lineBreakKinds);
    switch (format.encoding) {
    case TextEncoding::Windows1252:
        return encodeSingleByte(stored, windows1252Byte);
    case TextEncoding::Latin1:
        return encodeSingleByte(stored, latin1Byte);
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool little = format.encoding == TextEncoding::Utf16LE;
        QStringEncoder encoder(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        QByteArray bytes =
            format.byteOrderMark ? (little ? kUtf16LEMark : kUtf16BEMark) : QByteArray();
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

QString encodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case TextEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case TextEncoding::Latin1:
        return QStringLiteral("ISO-8859-1");
    case TextEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

QChar firstUnencodable(const QString &text, const PageFormat &format) {
    // The UTF encodings hold every character.
    if (format.encoding != TextEncoding::Windows1252 && format.encoding != TextEncoding::Latin1)
        return {};
    const bool latin1 = format.encoding == TextEncoding::Latin1;
    for (const QChar c : text)
        if ((latin1 ? latin1Byte(c.unicode()) : windows1252Byte(c.unicode())) < 0)
            return c;
    return {};
}

bool canEncode(const QString &text, const PageFormat &format) {
    return firstUnencodable(text, format).isNull();
}

QString binaryFileKind(QByteArrayView bytes) {
    static const std::pair<QByteArrayView, const char *> signatures[] = {
        {"\x89PNG\r\n\x1A\n", "a PNG image"},
        {"GIF87a", "a GIF image"},
        {"GIF89a", "a GIF image"},
        {"\xFF\xD8\xFF", "a JPEG image"},
        {"%PDF-", "a PDF document"},
        {"PK\x03\x04", "a ZIP archive"},
        {"\x1F\x8B", "a compressed file"},
        {"\x7F"
         "ELF",
         "a program"},
        {"RIFF", "a sound, video or image file"},
        {"OggS", "a sound or video file"},
        {"ID3", "a sound file"},
        {"Rar!\x1A\x07", "a RAR archive"},
        {"7z\xBC\xAF\x27\x1C", "a 7-Zip archive"},
        {QByteArrayView("\0\0\1\0", 4), "an icon"},
        {QByteArrayView("II*\0", 4), "a TIFF image"},
        {QByteArrayView("MM\0*", 4), "a TIFF image"},
        {QByteArrayView("SQLite format 3\0", 16), "a database"},
        {"\xCA\xFE\xBA\xBE", "a program"},
    };
    for (const auto &[magic, kind] : signatures)
        if (bytes.startsWith(magic))
            return QString::fromLatin1(kind);
    // A UTF-16 page is full of NUL bytes and is text all the same.
    if (bytes.startsWith(kUtf16LEMark) || bytes.startsWith(kUtf16BEMark))
        return {};
    // Otherwise: many control bytes, some of them NUL, near the start.
    const QByteArrayView sample = bytes.first(std::min<qsizetype>(bytes.size(), 8192));
    qsizetype controls = 0;
    qsizetype nuls = 0;
    for (const char c : sample) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            ++nuls;
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1B) ||
            b == 0x7F)
            ++controls;
    }
    if (nuls > 0 && controls >= 8 && controls * 10 > sample.size())
        return QStringLiteral("binary data");
    return {};
}

QString readWholeFile(const QString &path, QByteArray *bytes) {
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

QString writeFileAtomically(const QString &path, const QByteArray &bytes) {
    return writeFileDurably(path, bytes).reason;
}

} // namespace vellumo
