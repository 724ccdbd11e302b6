#pragma once

#include <QList>
#include <QString>

#include <atomic>

namespace vellumo {

// One attribute of a start tag; offsets are into the scanned text.
struct ScannedAttribute {
    QString name; // lower case
    QString value;
    qsizetype nameStart = 0;
    qsizetype valueStart = -1; // -1: written without a value
    qsizetype valueLength = 0;
};

// A start or end tag, found by a forgiving scan of the page: comments,
// declarations and the insides of SCRIPT and STYLE are skipped.
struct ScannedTag {
    QString name; // lower case
    bool end = false;
    qsizetype start = 0;  // the '<'
    qsizetype length = 0; // through the '>' (or to where the tag was cut off)
    QList<ScannedAttribute> attributes;

    const ScannedAttribute *attribute(QStringView attributeName) const;
};

// Every tag of `text`, in page order. Stops early (with what it has) when `cancel` is set.
QList<ScannedTag> scanTags(const QString &text, const std::atomic_bool *cancel = nullptr);

} // namespace vellumo
