#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace vellumo {

// The tips file: an INI file read the way Windows reads profile strings. Section
// and key names match in any letter case, the first of two equal keys wins, blanks
// around names and values are dropped, a value in matching quotes loses them, and
// a value is cut at 1023 characters. Nothing else is interpreted, so commas,
// backslashes and percent signs in a tip stay as written.
class TipsFile {
public:
    // Reads `path`; a missing or unreadable file reads as empty.
    static TipsFile load(const QString &path);
    static TipsFile fromText(const QString &text);

    bool exists() const { return m_exists; }
    // The value of `key` in `section`, or `fallback` when there is none.
    QString value(const QString &section, const QString &key, const QString &fallback) const;

private:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    QList<Entry> m_entries;
    bool m_exists = false;
};

// The section of the tips file that holds the tips.
inline const QString TipsSection = QStringLiteral("Orvanel");

} // namespace vellumo
