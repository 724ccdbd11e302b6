#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace vellumo {

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

// Reads the start tag at `start` of `text`: values in double or single quotes,
// without quotes or left out, names in any case, line breaks (LF or CR LF)
// anywhere between the pieces. A tag that does not end in '>' before the text
// ends or another tag begins, or that holds a quote where no value can start, is
// refused with a message rather than read in a way that would mangle it when
// written back.
TagReading readStartTag(QStringView text, int start = 0);

} // namespace vellumo
