#pragma once

#include <QByteArray>
#include <QString>

namespace vellumo {

// How a page's text was stored on disk, kept outside the editor so that a page
// opened and saved without an edit gives back the same bytes.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1252, Latin1 };
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

struct PageFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineBreakStyle lineBreaks = LineBreakStyle::LF;

    friend bool operator==(const PageFormat &, const PageFormat &) = default;
};

// The format a new page gets: UTF-8 without a mark, the platform's line breaks.
PageFormat newPageFormat();

// A page's text with every line break as one '\n', and the format it came in.
// `lineBreakKinds` is empty when every break is the usual kind; otherwise it
// holds one LineBreakKind per '\n' of `text`.
struct DecodedPage {
    QString text;
    PageFormat format;
    QByteArray lineBreakKinds;
};

// Decodes a whole file. Never fails. A byte-order mark decides first, then a
// charset declared in the page's head (<meta charset> or a Content-Type), then
// valid UTF-8, then the detector's guess between ISO-8859-1 and Windows-1252;
// whatever is left is read as Windows-1252, whose bytes all map to distinct
// characters, so every file saves back byte for byte.
DecodedPage decodePage(const QByteArray &bytes);

// The bytes of `text` (line breaks as '\n') in `format`, each break written as
// its kind in `lineBreakKinds` (the usual kind where that is empty or short).
// Characters the encoding cannot hold are written as numeric character
// references ("&#8364;"), so nothing typed is ever lost.
QByteArray encodePage(const QString &text, const PageFormat &format,
                      const QByteArray &lineBreakKinds = {});

// The encoding's name as the user knows it ("UTF-8", "ISO-8859-1").
QString encodingName(TextEncoding encoding);

// The first character of `text` that `format`'s encoding cannot hold, or a null
// QChar when there is none (a lone surrogate half counts as unencodable).
QChar firstUnencodable(const QString &text, const PageFormat &format);

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
