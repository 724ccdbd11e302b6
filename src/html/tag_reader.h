#pragma once

#include "html/html_lexer.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace vellumo {

// Where the pieces of one tag stand in a text, as the lexer's tokens show them.
struct TagPlaces {
    struct Attribute {
        qsizetype nameStart = 0;
        qsizetype nameEnd = 0;
        // The value's tokens, its quotes included; both -1 when there is no '='. After
        // an '=' with no value (the tag ends there) both are where the value would be.
        qsizetype valueFrom = -1;
        qsizetype valueTo = -1;

        bool hasValue() const { return valueFrom >= 0; }
        // Its quote, when the value is written in quotes.
        QChar quote(QStringView text) const;
        // The value inside its quotes (to the text's end when the closing one is missing).
        qsizetype valueStart(QStringView text) const;
        qsizetype valueLength(QStringView text) const;
        // Whether a quoted value has its closing quote.
        bool closed(QStringView text) const;
    };

    qsizetype start = 0; // the '<'
    bool endTag = false; // "</"
    qsizetype nameStart = 0;
    qsizetype nameEnd = 0;
    qsizetype end = 0;   // after the '>', or the text's end
    bool closed = false; // ends with '>'
    QList<Attribute> attributes;
};

// Puts tags together from the lexer's tokens, fed in the order lexed: the one
// reading of tags that Check Page's scan and Edit Tag's reader share, so both see
// the tags the colours show. Comments, declarations and the contents of SCRIPT,
// STYLE, TITLE, TEXTAREA and the like hold none.
class TagTokenReader {
public:
    explicit TagTokenReader(QStringView text)
        : m_text(text) {}
    virtual ~TagTokenReader() = default;
    TagTokenReader(const TagTokenReader &) = delete;
    TagTokenReader &operator=(const TagTokenReader &) = delete;

    // Tokens of the text, their starts counted from `offset`.
    void feed(qsizetype offset, const QList<HtmlTokenSpan> &spans);
    // The text has ended: a tag begun and not closed ends with it.
    void finish();

protected:
    // One tag read: `tag` is valid only during the call.
    virtual void tagRead(const TagPlaces &tag) = 0;
    QStringView text() const { return m_text; }

private:
    void delimiters(qsizetype from, qsizetype to);
    void endValue();
    void endTag(qsizetype end, bool closed);

    QStringView m_text;
    TagPlaces m_tag;
    bool m_open = false;         // m_tag is being read
    bool m_named = false;        // its name has been read
    bool m_valueFollows = false; // its last attribute has its '='
    bool m_valueBegun = false;   // and that value's first token has come
};

// One attribute of a start tag as it is written. Offsets count from the start of
// the text the tag was read from.
struct TagAttribute {
    QString name;        // as written
    int start = 0;       // the name's first character
    int end = 0;         // after the value (its closing quote included), or after a bare name
    int valueStart = -1; // the value's first character inside its quotes; -1: no value
    int valueLength = 0;
    QChar quote;   // '"' or '\'', or nothing for a value written without quotes
    QString value; // with its character references turned into characters

    bool hasValue() const { return valueStart >= 0; }
};

// A start tag read whole: its name, its attributes in the order written, and where
// its pieces stand, so that it can be written back with only some pieces changed.
struct StartTag {
    QString name;    // as written
    int start = 0;   // the '<'
    int nameEnd = 0; // after the name
    int end = 0;     // after the '>'
    QList<TagAttribute> attributes;

    // The attribute called `name` in any letter case (the first of that name), or nullptr.
    const TagAttribute *attribute(QStringView attributeName) const;
    // Its value, or the empty text when the tag has no such attribute.
    QString value(QStringView attributeName) const;
    bool is(QStringView elementName) const {
        return name.compare(elementName, Qt::CaseInsensitive) == 0;
    }
};

// The start tag whose '<' is at `start` of `text`, or why it cannot be read.
struct TagReading {
    StartTag tag;
    QString error; // empty when the tag was read
    bool ok() const { return error.isEmpty(); }
};

// Reads the start tag at `start` of `text` from the lexer's tokens: values in
// double or single quotes, without quotes or left out, names in any case, line
// breaks (LF or CR LF) anywhere between the pieces. A tag that does not end in '>'
// before the text ends, or that holds a quote or a '<' where no value can start,
// is refused with a message rather than read in a way that would mangle it when
// written back.
TagReading readStartTag(QStringView text, int start = 0);

} // namespace vellumo
