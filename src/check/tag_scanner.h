#pragma once

#include <QList>
#include <QString>

#include <atomic>

namespace vellumo {

// One attribute of a tag; offsets are into the scanned text.
struct ScannedAttribute {
    QString name;  // lower case
    QString value; // with its character references turned into characters
    qsizetype nameStart = 0;
    qsizetype valueStart = -1; // inside its quotes; -1: written without a value
    qsizetype valueLength = 0; // as written
};

} // namespace vellumo

// Moved in memory as they are (ScannedTag too), so a growing list of them costs little.
Q_DECLARE_TYPEINFO(vellumo::ScannedAttribute, Q_RELOCATABLE_TYPE);

namespace vellumo {

// A start or end tag of the page, read from the lexer's tokens, so the check sees
// the tags the colours show: comments, declarations and the contents of SCRIPT,
// STYLE, TITLE, TEXTAREA and the other raw-text elements hold none.
struct ScannedTag {
    QString name; // lower case
    bool end = false;
    qsizetype start = 0;  // the '<'
    qsizetype length = 0; // through the '>' (or to the page's end when it has none)
    QList<ScannedAttribute> attributes;

    const ScannedAttribute *attribute(QStringView attributeName) const;
};

} // namespace vellumo

Q_DECLARE_TYPEINFO(vellumo::ScannedTag, Q_RELOCATABLE_TYPE);

namespace vellumo {

// Every tag of `text`, in page order. Stops early (with what it has) when `cancel` is set.
QList<ScannedTag> scanTags(const QString &text, const std::atomic_bool *cancel = nullptr);

} // namespace vellumo
