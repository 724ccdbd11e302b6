#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace vellumo {

// The encodings browsers read pages in. The numbers are stored in recovery
// journals: new ones go at the end, and 4 stays unused (it once meant ISO-8859-1,
// which browsers read as windows-1252 and so does this program now).
enum class TextEncoding : qint32 {
    Utf8 = 0,
    Utf16LE = 1,
    Utf16BE = 2,
    Windows1252 = 3,
    IBM866 = 5,
    Iso8859_2,
    Iso8859_3,
    Iso8859_4,
    Iso8859_5,
    Iso8859_6,
    Iso8859_7,
    Iso8859_8,
    Iso8859_10,
    Iso8859_13,
    Iso8859_14,
    Iso8859_15,
    Iso8859_16,
    Koi8R,
    Koi8U,
    Macintosh,
    MacCyrillic,
    Windows874,
    Windows1250,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1255,
    Windows1256,
    Windows1257,
    Windows1258,
    Gbk,
    Gb18030,
    Big5,
    EucJp,
    Iso2022Jp,
    ShiftJis,
    EucKr,
};

// Every encoding above, in the order a menu of them lists them.
QList<TextEncoding> allEncodings();

// The encoding's name as browsers spell it ("UTF-8", "windows-1251", "Shift_JIS").
QString encodingName(TextEncoding encoding);

// The encoding a label names, as browsers read labels: any case, surrounding
// spaces ignored, "latin1" and "iso-8859-1" meaning windows-1252, "x-sjis"
// Shift_JIS, "ks_c_5601-1987" EUC-KR. Nothing for a label browsers do not know.
std::optional<TextEncoding> encodingForLabel(QByteArrayView label);

// Whether the encoding keeps ASCII bytes as ASCII characters (all but UTF-16),
// so that markup can be found in its bytes.
bool isAsciiCompatible(TextEncoding encoding);

// The text of `bytes` in `encoding`, without a byte-order mark's special meaning.
// A byte sequence the encoding does not define becomes U+FFFD and is counted in
// `errors`. The single-byte code pages' undefined bytes 0x80-0x9F become the C1
// control of the same number, as browsers read them, so they are not errors.
QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype *errors = nullptr);

// The bytes of `text` in `encoding`. A character the encoding cannot hold is
// written as a numeric character reference ("&#8364;"), so nothing typed is lost.
QByteArray encodeText(QStringView text, TextEncoding encoding);

// The first character of `text` that `encoding` cannot hold, or nothing; the
// UTF encodings hold every character.
std::optional<char32_t> firstUnencodable(QStringView text, TextEncoding encoding);

} // namespace vellumo
