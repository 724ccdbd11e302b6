#include "document/page_file.h"

#include "document/charset_detection.h"
#include "document/durable_write.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace vellumo {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16LEMark("\xFF\xFE", 2);
const QByteArray kUtf16BEMark("\xFE\xFF", 2);

QByteArray byteOrderMark(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return kUtf8Mark;
    case TextEncoding::Utf16LE:
        return kUtf16LEMark;
    case TextEncoding::Utf16BE:
        return kUtf16BEMark;
    default:
        return {};
    }
}

// How a line break (U+000A) is written in `encoding`.
QByteArray newlineBytes(TextEncoding encoding) {
    if (encoding == TextEncoding::Utf16LE)
        return QByteArray("\n\0", 2);
    if (encoding == TextEncoding::Utf16BE)
        return QByteArray("\0\n", 2);
    return QByteArray("\n");
}

// Where the next line break is in `bytes` from `from`, or -1.
qsizetype nextNewline(QByteArrayView bytes, qsizetype from, const QByteArray &newline) {
    for (qsizetype at = bytes.indexOf(newline, from); at >= 0; at = bytes.indexOf(newline, at + 1))
        if (newline.size() == 1 || at % 2 == 0)
            return at;
    return -1;
}

// The page decoded line by line, each line on its own, keeping the bytes of
// every line its text would not give back. Used only when the page as a whole
// does not decode and encode back to its bytes.
QString decodeByLines(QByteArrayView bytes, TextEncoding encoding, OriginalLines &original) {
    original = {encoding, {}};
    const QByteArray newline = newlineBytes(encoding);
    QString text;
    text.reserve(bytes.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = nextNewline(bytes, from, newline);
        const QByteArrayView line = bytes.sliced(from, (at < 0 ? bytes.size() : at) - from);
        const QString lineText = decodeText(line, encoding);
        if (encodeText(lineText, encoding) != line)
            original.lines[lineText].append(line.toByteArray());
        text += lineText;
        if (at < 0)
            break;
        text += u'\n';
        from = at + newline.size();
    }
    return text;
}

struct Reading {
    DecodedPage page;
    qsizetype errors = 0;
    bool exact = true;  // the text encodes back to the very bytes
    bool found = false; // the bytes showed their encoding (not the last resort)
};

// `bytes` (after any byte-order mark) decoded whole in `encoding`.
Reading decodeWhole(QByteArrayView bytes, TextEncoding encoding, bool mark) {
    Reading reading;
    reading.page.format = {encoding, mark, {}, {}};
    reading.page.text = decodeText(bytes, encoding, &reading.errors);
    // Valid UTF-8 always comes back the same; the other encodings are checked.
    reading.exact = reading.errors == 0 && (encoding == TextEncoding::Utf8 ||
                                            encodeText(reading.page.text, encoding) == bytes);
    return reading;
}

// Once the encoding is settled: a page that would not come back whole is read
// again line by line, keeping the bytes of the lines that would not.
Reading &keepOriginals(Reading &reading, QByteArrayView bytes) {
    if (!reading.exact)
        reading.page.text =
            decodeByLines(bytes, reading.page.format.encoding, reading.page.originalLines);
    return reading;
}

Reading readAs(QByteArrayView bytes, TextEncoding encoding, bool mark) {
    Reading reading = decodeWhole(bytes, encoding, mark);
    return std::move(keepOriginals(reading, bytes));
}

// Few enough undecodable sequences that the page is plainly in this encoding,
// with a damaged spot or two.
bool fewErrors(const Reading &reading, qsizetype size) {
    return reading.errors <= 8 + size / 4096;
}

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Bytes that declare nothing: valid UTF-8 (ISO-2022-JP, all ASCII, by its
// escapes), UTF-16 by its pattern, the detector's guess when it reads them, else
// windows-1252, which reads every byte.
Reading readUndeclared(QByteArrayView bytes) {
    // A page that is not UTF-8 almost always shows it early: it is then decoded
    // once, in its own encoding, rather than first as UTF-8 to the end.
    QStringDecoder sampleDecoder(QStringConverter::Utf8);
    const QString sample =
        sampleDecoder(bytes.first(std::min<qsizetype>(bytes.size(), qsizetype{64} * 1024)));
    if (Reading utf8 = sampleDecoder.hasError() ? Reading{{}, 1}
                                                : decodeWhole(bytes, TextEncoding::Utf8, false);
        utf8.errors == 0) {
        const QByteArrayView start =
            bytes.first(std::min<qsizetype>(bytes.size(), qsizetype{64} * 1024));
        if (start.contains("\x1B$B") || start.contains("\x1B$@")) {
            Reading jis = decodeWhole(bytes, TextEncoding::Iso2022Jp, false);
            if (fewErrors(jis, bytes.size()) && isAscii(bytes)) {
                jis.found = true;
                return std::move(keepOriginals(jis, bytes));
            }
        }
        utf8.found = true;
        return utf8;
    }
    if (const std::optional<TextEncoding> utf16 = utf16ByPattern(bytes)) {
        Reading reading = readAs(bytes, *utf16, false);
        reading.found = true;
        return reading;
    }
    if (const std::optional<TextEncoding> guess = detectEncoding(bytes)) {
        if (Reading reading = decodeWhole(bytes, *guess, false); fewErrors(reading, bytes.size())) {
            reading.found = true;
            return std::move(keepOriginals(reading, bytes));
        }
    }
    return readAs(bytes, TextEncoding::Windows1252, false);
}

QString invalidBytesNote(TextEncoding encoding) {
    return QStringLiteral("Some bytes of the page are not valid %1; the lines holding them are "
                          "saved as they were unless you edit them.")
        .arg(encodingName(encoding));
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
    const auto kindOf = [&](qsizetype line) {
        const char kind = line < kinds.size() ? kinds.at(line) : char(Usual);
        return kind == Usual ? usual : kind;
    };
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', from)) {
        stored.append(QStringView(text).sliced(from, at - from));
        char kind = kindOf(line);
        // A CR right before an empty line's LF would read back as one CR LF and lose
        // that line (an edit can leave them so): it is written as a CR LF itself.
        if (kind == BreakCR && at + 1 < text.size() && text.at(at + 1) == u'\n' &&
            kindOf(line + 1) == BreakLF)
            kind = BreakCRLF;
        appendBreak(stored, kind);
        ++line;
        from = at + 1;
    }
    stored.append(QStringView(text).sliced(from));
    return stored;
}

} // namespace

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

PageFormat newPageFormat() {
    PageFormat format;
#ifdef Q_OS_WIN
    format.lineBreaks = LineBreakStyle::CRLF;
#endif
    return format;
}

namespace {

// The one place line breaks are read: the loop is the hot part of opening a
// page, and the compiler makes it fastest where it has a single caller.
DecodedPage finishPage(Reading &&reading) {
    DecodedPage page = std::move(reading.page);
    if (reading.errors > 0 && page.note.isEmpty())
        page.note = invalidBytesNote(page.format.encoding);
    page.format.lineBreaks = normaliseLineBreaks(page.text, page.lineBreakKinds);
    return page;
}

} // namespace

DecodedPage decodePage(const QByteArray &bytes) {
    const QByteArrayView view(bytes);
    std::optional<Reading> reading;
    if (view.startsWith(kUtf8Mark))
        reading = readAs(view.sliced(3), TextEncoding::Utf8, true);
    else if (view.startsWith(kUtf16LEMark) && view.size() % 2 == 0)
        reading = readAs(view.sliced(2), TextEncoding::Utf16LE, true);
    else if (view.startsWith(kUtf16BEMark) && view.size() % 2 == 0)
        reading = readAs(view.sliced(2), TextEncoding::Utf16BE, true);
    if (!reading && !utf16ByPattern(view)) {
        // A page that names its encoding is read in it, as a browser would,
        // unless its bytes say otherwise.
        const CharsetDeclaration declaration = findCharsetDeclaration(view);
        if (declaration.found()) {
            TextEncoding declared = *encodingForLabel(declaration.label);
            // A declaration inside the page cannot mean UTF-16: the page would not
            // have been readable to find it.
            if (!isAsciiCompatible(declared))
                declared = TextEncoding::Utf8;
            reading = decodeWhole(view, declared, false);
            if (reading->errors > 0) {
                Reading detected = readUndeclared(view);
                // A declared UTF-8 that is not loses to whatever the bytes are;
                // another declaration only to UTF-8 (a page converted by a tool
                // that left its declaration behind). ASCII is read by both.
                const TextEncoding other = detected.page.format.encoding;
                const bool contradicted =
                    other != declared &&
                    (declared == TextEncoding::Utf8 ||
                     (other == TextEncoding::Utf8 && detected.errors == 0 && !isAscii(view)));
                if (contradicted) {
                    detected.page.note =
                        QStringLiteral("The page declares %1, but its bytes are not %1: it was "
                                       "read as %2.")
                            .arg(QString::fromLatin1(declaration.label),
                                 encodingName(detected.page.format.encoding));
                    reading = std::move(detected);
                } else {
                    keepOriginals(*reading, view).page.format.declaredLabel = declaration.label;
                }
            } else {
                keepOriginals(*reading, view).page.format.declaredLabel = declaration.label;
            }
        }
    }
    if (!reading)
        reading = readUndeclared(view);
    return finishPage(std::move(*reading));
}

DecodedPage decodePageAs(const QByteArray &bytes, TextEncoding encoding) {
    const QByteArray mark = byteOrderMark(encoding);
    const bool marked = !mark.isEmpty() && bytes.startsWith(mark);
    Reading reading =
        readAs(QByteArrayView(bytes).sliced(marked ? mark.size() : 0), encoding, marked);
    return finishPage(std::move(reading));
}

QByteArray encodePage(const QString &text, const PageFormat &format,
                      const QByteArray &lineBreakKinds, const OriginalLines &original) {
    const QString stored = storedText(text, format, lineBreakKinds);
    QByteArray bytes = format.byteOrderMark ? byteOrderMark(format.encoding) : QByteArray();
    if (original.isEmpty() || original.encoding != format.encoding) {
        bytes += encodeText(stored, format.encoding);
        return bytes;
    }
    // Line by line: the lines read from bytes that would not come back are
    // written from those bytes, the n-th line of a text from its n-th original.
    const QByteArray newline = newlineBytes(format.encoding);
    QHash<QString, qsizetype> used;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = stored.indexOf(u'\n', from);
        const QStringView line =
            QStringView(stored).sliced(from, (at < 0 ? stored.size() : at) - from);
        const auto found = original.lines.constFind(line.toString());
        if (found == original.lines.cend()) {
            bytes += encodeText(line, format.encoding);
        } else {
            qsizetype &n = used[found.key()];
            bytes += found->at(std::min(n++, found->size() - 1));
        }
        if (at < 0)
            break;
        bytes += newline;
        from = at + 1;
    }
    return bytes;
}

std::optional<char32_t> firstUnencodable(const QString &text, const PageFormat &format,
                                         const QByteArray &lineBreakKinds,
                                         const OriginalLines &original) {
    if (original.isEmpty() || original.encoding != format.encoding)
        return firstUnencodable(text, format.encoding);
    const QString stored = storedText(text, format, lineBreakKinds);
    for (const QStringView line : QStringView(stored).split(u'\n'))
        if (!original.lines.contains(line.toString()))
            if (const std::optional<char32_t> missing = firstUnencodable(line, format.encoding))
                return missing;
    return std::nullopt;
}

QString displayName(const PageFormat &format) {
    QString name = encodingName(format.encoding);
    const QString label = QString::fromLatin1(format.declaredLabel).trimmed();
    if (label.isEmpty() || label.compare(name, Qt::CaseInsensitive) == 0)
        return name;
    return label.toUpper();
}

bool canEncode(const QString &text, const PageFormat &format) {
    return !firstUnencodable(text, format.encoding);
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
    if (bytes.startsWith(kUtf16LEMark) || bytes.startsWith(kUtf16BEMark) || utf16ByPattern(bytes))
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
