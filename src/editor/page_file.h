#pragma once

#include <QByteArray>
#include <QString>

namespace vellumo {

// How a page's text was stored on disk, kept outside the editor so that a page
// opened and saved without an edit gives back the same bytes.
enum class TextEncoding { Utf8, Utf16LE, Utf16BE, Windows1252 };
enum class LineBreakStyle { LF, CRLF, CR };

struct PageFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineBreakStyle lineBreaks = LineBreakStyle::LF;

    friend bool operator==(const PageFormat &, const PageFormat &) = default;
};

// The format a new page gets: UTF-8 without a mark, the platform's line breaks.
PageFormat newPageFormat();

// A page's text with every line break as one '\n', and the format it came in.
struct DecodedPage {
    QString text;
    PageFormat format;
};

// Decodes a whole file. Never fails: bytes that are not valid UTF-8 (and carry no
// UTF-16 mark) are read as Windows-1252, whose bytes all map to distinct characters.
DecodedPage decodePage(const QByteArray &bytes);

// The bytes of `text` (line breaks as '\n') in `format`. Characters the encoding
// cannot hold are written as numeric character references ("&#8364;"), so nothing
// typed is ever lost.
QByteArray encodePage(const QString &text, const PageFormat &format);

// Whether every character of `text` can be stored in `format`'s encoding.
bool canEncode(const QString &text, const PageFormat &format);

// Reads a whole file into `bytes`. Returns an empty string on success, else the
// reason in words ("No such file or directory", "It is a folder", ...).
QString readWholeFile(const QString &path, QByteArray *bytes);

// Writes `bytes` to `path` so that the old file stays whole until the new one is
// complete: a temporary file in the same folder, every write and the flush
// checked, then renamed over the target. Returns an empty string on success,
// else the reason in words; on failure the old file is untouched.
QString writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace vellumo
