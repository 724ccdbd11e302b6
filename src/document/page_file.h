#pragma once

#include "document/text_codec.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace vellumo {

// How a page's text was stored on disk, kept outside the editor so that a page
// opened and saved without an edit gives back the same bytes.
enum class LineBreakStyle { LF, CRLF, CR };

// What one line break of a page was on disk, when the page mixes kinds. The
// editor turns every one of them into a plain block break, so a page that mixes
// them keeps a byte per line outside the text. `Usual` means the page's
// `PageFormat::lineBreaks`, which is also what a newly typed break gets.
enum LineBreakKind : char {
    Usual = 0,
    BreakLF = 'n',
    BreakCRLF = 'c',
    BreakCR = 'r',
    BreakParagraph = 'p',  // U+2029
    BreakFrameStart = '[', // U+FDD0, which the editor also takes as a break
    BreakFrameEnd = ']',   // U+FDD1, likewise
};

// The break kind a page's usual style stands for.
LineBreakKind kindOfStyle(LineBreakStyle style);

struct PageFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineBreakStyle lineBreaks = LineBreakStyle::LF;
    // The label the page's own declaration names the encoding by ("iso-8859-1"
    // for windows-1252), shown to the user in its place; empty when undeclared.
    QByteArray declaredLabel = {};

    friend bool operator==(const PageFormat &, const PageFormat &) = default;
};

// The format a new page gets: UTF-8 without a mark, the platform's line breaks.
PageFormat newPageFormat();

// The lines of a page whose bytes its encoding would not write back the same
// (invalid sequences, a second way of writing a character, escapes written
// otherwise): each line's text, split at U+000A as stored, with its bytes, one
// entry per occurrence in page order. A line saved unedited in the same encoding
// is written from these bytes, so the page keeps them.
struct OriginalLines {
    TextEncoding encoding = TextEncoding::Utf8;
    QHash<QString, QList<QByteArray>> lines;

    bool isEmpty() const { return lines.isEmpty(); }
};

// A page's text with every line break as one '\n', and the format it came in.
// `lineBreakKinds` is empty when every break is the usual kind; otherwise it
// holds one LineBreakKind per '\n' of `text`. `note` says, in words, what the
// user should know about how the page was read (its declaration contradicted,
// bytes that are not valid in its encoding); empty when nothing.
struct DecodedPage {
    QString text;
    PageFormat format;
    QByteArray lineBreakKinds;
    OriginalLines originalLines;
    QString note;
};

// Decodes a whole file. Never fails. A byte-order mark decides first, then the
// page's own declaration (<meta charset>, a Content-Type, an XML declaration),
// then valid UTF-8, then UTF-16 recognised by its zero bytes, then libuchardet's
// guess; whatever is left is read as windows-1252. A declaration the bytes
// contradict loses to detection. Every file saves back byte for byte.
DecodedPage decodePage(const QByteArray &bytes);

// Decodes a whole file in `encoding`, whatever it declares (a byte-order mark of
// that very encoding is still taken as one).
DecodedPage decodePageAs(const QByteArray &bytes, TextEncoding encoding);

// The bytes of `text` (line breaks as '\n') in `format`, each break written as
// its kind in `lineBreakKinds` (the usual kind where that is empty or short), and
// each line found unedited in `original` (same encoding) written from its bytes.
// Characters the encoding cannot hold are written as numeric character
// references ("&#8364;"), so nothing typed is ever lost.
QByteArray encodePage(const QString &text, const PageFormat &format,
                      const QByteArray &lineBreakKinds = {}, const OriginalLines &original = {});

// The first character `format`'s encoding cannot hold in the lines of `text`
// that encodePage would not write from `original`'s bytes; nothing when none.
std::optional<char32_t> firstUnencodable(const QString &text, const PageFormat &format,
                                         const QByteArray &lineBreakKinds,
                                         const OriginalLines &original);

// The encoding's name as the page itself gives it ("ISO-8859-1" for a page that
// declares iso-8859-1, which is read as windows-1252), else its own name.
QString displayName(const PageFormat &format);

// Whether every character of `text` can be stored in `format`'s encoding.
bool canEncode(const QString &text, const PageFormat &format);

// When `bytes` are plainly not a text page (an image, an archive, a program),
// what they look like ("a PNG image", "binary data"); an empty string otherwise.
// Text with a stray NUL byte or two still counts as text.
QString binaryFileKind(QByteArrayView bytes);

// Reads a whole file into `bytes`. Returns an empty string on success, else the
// reason in words ("No such file or directory", "It is a folder", ...).
QString readWholeFile(const QString &path, QByteArray *bytes);

// Writes `bytes` to `path` so that the old file stays whole until the new one is
// complete (see durable_write.h). Returns an empty string on success, else the
// reason in words; on failure the old file is untouched.
QString writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace vellumo
