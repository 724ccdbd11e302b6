#include "document/text_codec.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <iconv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <mutex>

// The converters are ICU's: Qt already loads ICU, so they cost the start-up
// nothing, and their callbacks say exactly which bytes or characters a
// conversion could not take. The one encoding Debian's ICU data leaves out
// (ISO-8859-16) is read through the C library's iconv.

namespace vellumo {

namespace {

// iconv_open's documented failure value, an integer made a pointer.
const iconv_t IconvFailed = reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)

struct EncodingRow {
    TextEncoding encoding;
    const char *name;      // as browsers spell it
    const char *converter; // ICU's converter; nullptr: iconv's single-byte table
    const char *labels;    // the labels browsers know it by, space-separated
};

// The labels are the Encoding Standard's.
constexpr EncodingRow Rows[] = {
    {TextEncoding::Utf8, "UTF-8", "UTF-8",
     "unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8"},
    {TextEncoding::Utf16LE, "UTF-16LE", "UTF-16LE",
     "csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le"},
    {TextEncoding::Utf16BE, "UTF-16BE", "UTF-16BE", "unicodefffe utf-16be"},
    {TextEncoding::Windows1252, "windows-1252", "windows-1252",
     "ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 "
     "iso88591 iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252"},
    {TextEncoding::Windows1250, "windows-1250", "windows-1250", "cp1250 windows-1250 x-cp1250"},
    {TextEncoding::Iso8859_2, "ISO-8859-2", "ISO-8859-2",
     "csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2"},
    {TextEncoding::Iso8859_3, "ISO-8859-3", "ISO-8859-3",
     "csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3"},
    {TextEncoding::Iso8859_4, "ISO-8859-4", "ISO-8859-4",
     "csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4"},
    {TextEncoding::Iso8859_10, "ISO-8859-10", "ISO-8859-10",
     "csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6"},
    {TextEncoding::Iso8859_13, "ISO-8859-13", "ISO-8859-13", "iso-8859-13 iso8859-13 iso885913"},
    {TextEncoding::Iso8859_14, "ISO-8859-14", "ISO-8859-14", "iso-8859-14 iso8859-14 iso885914"},
    {TextEncoding::Iso8859_15, "ISO-8859-15", "ISO-8859-15",
     "csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9"},
    {TextEncoding::Iso8859_16, "ISO-8859-16", nullptr, "iso-8859-16"},
    {TextEncoding::Windows1257, "windows-1257", "windows-1257", "cp1257 windows-1257 x-cp1257"},
    {TextEncoding::Windows1254, "windows-1254", "windows-1254",
     "cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 "
     "latin5 windows-1254 x-cp1254"},
    {TextEncoding::Macintosh, "macintosh", "macintosh", "csmacintosh mac macintosh x-mac-roman"},
    {TextEncoding::Windows1251, "windows-1251", "windows-1251", "cp1251 windows-1251 x-cp1251"},
    {TextEncoding::Koi8R, "KOI8-R", "KOI8-R", "cskoi8r koi koi8 koi8-r koi8_r"},
    {TextEncoding::Koi8U, "KOI8-U", "KOI8-U", "koi8-ru koi8-u"},
    {TextEncoding::IBM866, "IBM866", "ibm-866", "866 cp866 csibm866 ibm866"},
    {TextEncoding::Iso8859_5, "ISO-8859-5", "ISO-8859-5",
     "csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 "
     "iso_8859-5:1988"},
    {TextEncoding::MacCyrillic, "x-mac-cyrillic", "x-mac-cyrillic",
     "x-mac-cyrillic x-mac-ukrainian"},
    {TextEncoding::Windows1253, "windows-1253", "windows-1253", "cp1253 windows-1253 x-cp1253"},
    {TextEncoding::Iso8859_7, "ISO-8859-7", "ISO-8859-7",
     "csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 "
     "iso_8859-7 iso_8859-7:1987 sun_eu_greek"},
    {TextEncoding::Windows1255, "windows-1255", "windows-1255", "cp1255 windows-1255 x-cp1255"},
    {TextEncoding::Iso8859_8, "ISO-8859-8", "ISO-8859-8",
     "csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 "
     "iso_8859-8 iso_8859-8:1988 visual csiso88598i iso-8859-8-i logical"},
    {TextEncoding::Windows1256, "windows-1256", "windows-1256", "cp1256 windows-1256 x-cp1256"},
    {TextEncoding::Iso8859_6, "ISO-8859-6", "ISO-8859-6",
     "arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e "
     "iso-8859-6-i iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987"},
    {TextEncoding::Windows874, "windows-874", "windows-874",
     "dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874"},
    {TextEncoding::Windows1258, "windows-1258", "windows-1258", "cp1258 windows-1258 x-cp1258"},
    {TextEncoding::ShiftJis, "Shift_JIS", "windows-31j",
     "csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis"},
    {TextEncoding::EucJp, "EUC-JP", "EUC-JP", "cseucpkdfmtjapanese euc-jp x-euc-jp"},
    {TextEncoding::Iso2022Jp, "ISO-2022-JP", "ISO-2022-JP", "csiso2022jp iso-2022-jp"},
    {TextEncoding::Gbk, "GBK", "windows-936",
     "chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk"},
    {TextEncoding::Gb18030, "gb18030", "gb18030", "gb18030"},
    {TextEncoding::Big5, "Big5", "windows-950", "big5 big5-hkscs cn-big5 csbig5 x-x-big5"},
    {TextEncoding::EucKr, "EUC-KR", "windows-949",
     "cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 "
     "ksc_5601 windows-949"},
};

const EncodingRow &rowOf(TextEncoding encoding) {
    for (const EncodingRow &row : Rows)
        if (row.encoding == encoding)
            return row;
    return Rows[0];
}

const QHash<QByteArray, TextEncoding> &labelTable() {
    static const QHash<QByteArray, TextEncoding> table = [] {
        QHash<QByteArray, TextEncoding> labels;
        for (const EncodingRow &row : Rows)
            for (const QByteArray &label : QByteArray(row.labels).split(' '))
                labels.insert(label, row.encoding);
        return labels;
    }();
    return table;
}

// A single-byte code page read through iconv once, byte by byte, into a table.
struct SingleByteTable {
    std::array<char16_t, 256> decode{};
    QHash<char16_t, char> encode;
};

const SingleByteTable &iconvTable(const char *name) {
    static std::mutex mutex;
    static QHash<QByteArray, std::shared_ptr<SingleByteTable>> tables;
    std::lock_guard lock(mutex);
    std::shared_ptr<SingleByteTable> &table = tables[QByteArray(name)];
    if (table)
        return *table;
    table = std::make_shared<SingleByteTable>();
    const iconv_t cd = iconv_open("UTF-16LE", name);
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[4] = {};
        char *inPtr = &in;
        char *outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        char16_t c = 0xFFFD;
        if (cd != IconvFailed) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) &&
                outLeft == 2)
                c = static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                          (static_cast<unsigned char>(out[1]) << 8));
        } else if (b < 0x80) {
            c = static_cast<char16_t>(b);
        }
        table->decode[b] = c;
        if (c != 0xFFFD)
            table->encode.insert(c, static_cast<char>(b));
    }
    if (cd != IconvFailed)
        iconv_close(cd);
    return *table;
}

struct ConverterCloser {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const EncodingRow &row) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(row.converter, &status));
    if (U_FAILURE(status))
        converter.reset();
    return converter;
}

bool isSingleByte(UConverter *converter) {
    return ucnv_getMaxCharSize(converter) == 1;
}

struct DecodeContext {
    bool singleByte = false;
    qsizetype errors = 0;
};

void toUnicodeCallback(const void *context, UConverterToUnicodeArgs *args, const char *codeUnits,
                       int32_t length, UConverterCallbackReason reason, UErrorCode *status) {
    if (reason > UCNV_IRREGULAR)
        return; // reset, close or clone: nothing to write
    auto *decoding = static_cast<DecodeContext *>(const_cast<void *>(context));
    UChar replacement = 0xFFFD;
    const auto byte = static_cast<unsigned char>(codeUnits[0]);
    if (decoding->singleByte && length == 1 && byte >= 0x80 && byte <= 0x9F)
        replacement = byte;
    else
        ++decoding->errors;
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

struct EncodeContext {
    bool singleByte = false;
    bool stopAtFirst = false;
    std::optional<char32_t> unencodable;
};

void fromUnicodeCallback(const void *context, UConverterFromUnicodeArgs *args,
                         const UChar * /*codeUnits*/, int32_t /*length*/, UChar32 codePoint,
                         UConverterCallbackReason reason, UErrorCode *status) {
    if (reason > UCNV_IRREGULAR)
        return;
    auto *encoding = static_cast<EncodeContext *>(const_cast<void *>(context));
    if (encoding->singleByte && codePoint >= 0x80 && codePoint <= 0x9F) {
        // The code pages' undefined bytes, read as C1 controls, go back as they came.
        const char byte = static_cast<char>(codePoint);
        *status = U_ZERO_ERROR;
        ucnv_cbFromUWriteBytes(args, &byte, 1, 0, status);
        return;
    }
    if (encoding->stopAtFirst) {
        encoding->unencodable = static_cast<char32_t>(codePoint);
        return; // the error stays and ends the conversion
    }
    // Written as characters, through the converter, so that a stateful encoding
    // (ISO-2022-JP) switches back to ASCII first.
    const QString reference = QStringLiteral("&#%1;").arg(codePoint);
    const auto *source = reinterpret_cast<const UChar *>(reference.utf16());
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteUChars(args, &source, source + reference.size(), 0, status);
}

QString decodeWithTable(QByteArrayView bytes, const SingleByteTable &table, qsizetype *errors) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype bad = 0;
    for (const char c : bytes) {
        const char16_t u = table.decode[static_cast<unsigned char>(c)];
        bad += u == 0xFFFD;
        *out++ = QChar(u);
    }
    if (errors != nullptr)
        *errors = bad;
    return text;
}

// Walks `text` code point by code point, giving each to `take` (which returns
// false when it cannot be written).
template <typename Take> bool forEachCodePoint(QStringView text, Take take) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        if (!take(code))
            return false;
    }
    return true;
}

QByteArray encodeWithTable(QStringView text, const SingleByteTable &table) {
    QByteArray bytes;
    bytes.reserve(text.size());
    forEachCodePoint(text, [&](char32_t code) {
        const auto found = code <= 0xFFFF ? table.encode.constFind(static_cast<char16_t>(code))
                                          : table.encode.cend();
        if (found != table.encode.cend())
            bytes.append(found.value());
        else
            bytes.append("&#" + QByteArray::number(static_cast<uint>(code)) + ';');
        return true;
    });
    return bytes;
}

} // namespace

QList<TextEncoding> allEncodings() {
    QList<TextEncoding> list;
    for (const EncodingRow &row : Rows)
        list.append(row.encoding);
    return list;
}

QString encodingName(TextEncoding encoding) {
    return QString::fromLatin1(rowOf(encoding).name);
}

std::optional<TextEncoding> encodingForLabel(QByteArrayView label) {
    const QByteArray key = label.toByteArray().trimmed().toLower();
    const auto found = labelTable().constFind(key);
    if (found == labelTable().cend())
        return std::nullopt;
    return found.value();
}

bool isAsciiCompatible(TextEncoding encoding) {
    return encoding != TextEncoding::Utf16LE && encoding != TextEncoding::Utf16BE;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype *errors) {
    if (errors != nullptr)
        *errors = 0;
    if (encoding == TextEncoding::Utf8 || encoding == TextEncoding::Utf16LE ||
        encoding == TextEncoding::Utf16BE) {
        const auto qtEncoding = encoding == TextEncoding::Utf8      ? QStringConverter::Utf8
                                : encoding == TextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                    : QStringConverter::Utf16BE;
        // A byte-order mark here is a character of the page, not a mark.
        QStringDecoder decoder(qtEncoding, QStringConverter::Flag::Stateless |
                                               QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder(bytes);
        if (errors != nullptr && decoder.hasError())
            *errors = std::max<qsizetype>(1, text.count(QChar(QChar::ReplacementCharacter)));
        return text;
    }
    const EncodingRow &row = rowOf(encoding);
    if (row.converter == nullptr)
        return decodeWithTable(bytes, iconvTable(row.name), errors);
    Converter converter = openConverter(row);
    if (!converter)
        return QString::fromLatin1(bytes);
    DecodeContext context;
    context.singleByte = isSingleByte(converter.get());
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter.get(), toUnicodeCallback, &context, nullptr, nullptr, &status);
    // No encoding here turns a byte into more than one UTF-16 unit, except
    // gb18030's four-byte sequences, which become two.
    QString text(bytes.size() + 1, Qt::Uninitialized);
    auto *target = reinterpret_cast<UChar *>(text.data());
    auto *const targetStart = target;
    const char *source = bytes.data();
    ucnv_toUnicode(converter.get(), &target, target + text.size(), &source,
                   bytes.data() + bytes.size(), nullptr, true, &status);
    text.truncate(target - targetStart);
    if (errors != nullptr)
        *errors = context.errors;
    return text;
}

QByteArray encodeText(QStringView text, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return text.toUtf8();
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        QStringEncoder encoder(encoding == TextEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                 : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        return encoder(text);
    }
    default:
        break;
    }
    const EncodingRow &row = rowOf(encoding);
    if (row.converter == nullptr)
        return encodeWithTable(text, iconvTable(row.name));
    Converter converter = openConverter(row);
    if (!converter)
        return text.toLatin1();
    EncodeContext context;
    context.singleByte = isSingleByte(converter.get());
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), fromUnicodeCallback, &context, nullptr, nullptr,
                          &status);
    QByteArray bytes(text.size() * qsizetype(ucnv_getMaxCharSize(converter.get())) + 16,
                     Qt::Uninitialized);
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const auto *const sourceEnd = source + text.size();
    qsizetype written = 0;
    for (;;) {
        char *target = bytes.data() + written;
        status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source, sourceEnd,
                         nullptr, true, &status);
        written = target - bytes.data();
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        // References are longer than the characters they stand for.
        bytes.resize(bytes.size() * 2);
    }
    bytes.truncate(written);
    return bytes;
}

std::optional<char32_t> firstUnencodable(QStringView text, TextEncoding encoding) {
    // The UTF encodings hold every character.
    if (encoding == TextEncoding::Utf8 || !isAsciiCompatible(encoding))
        return std::nullopt;
    const EncodingRow &row = rowOf(encoding);
    if (row.converter == nullptr) {
        const SingleByteTable &table = iconvTable(row.name);
        std::optional<char32_t> missing;
        forEachCodePoint(text, [&](char32_t code) {
            if (code > 0xFFFF || !table.encode.contains(static_cast<char16_t>(code)))
                missing = code;
            return !missing;
        });
        return missing;
    }
    Converter converter = openConverter(row);
    if (!converter)
        return std::nullopt;
    EncodeContext context;
    context.singleByte = isSingleByte(converter.get());
    context.stopAtFirst = true;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter.get(), fromUnicodeCallback, &context, nullptr, nullptr,
                          &status);
    std::array<char, 16384> buffer{};
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const auto *const sourceEnd = source + text.size();
    do {
        char *target = buffer.data();
        status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter.get(), &target, buffer.data() + buffer.size(), &source,
                         sourceEnd, nullptr, true, &status);
    } while (status == U_BUFFER_OVERFLOW_ERROR);
    return context.unencodable;
}

} // namespace vellumo
