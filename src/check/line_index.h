#pragma once

#include <QList>
#include <QString>

namespace vellumo {

// Line starts of a text, with line breaks counted as HTML Tidy counts them: LF,
// CR LF and a lone CR each end one line. The editor's own text only has LF, so
// its lines are the editor's lines; a text with CR LF or CR breaks numbers its
// lines the same way.
class LineIndex {
public:
    explicit LineIndex(const QString &text);

    int lineCount() const { return int(m_starts.size()); }
    // The 1-based line holding offset `at`.
    int lineOf(qsizetype at) const;
    qsizetype lineStart(int line) const;
    // Where the line's text ends (before its break).
    qsizetype lineEnd(int line) const;
    // The 1-based column of `at` counted in characters (a surrogate pair is one).
    int columnOf(qsizetype at) const;
    // The offset of a 1-based line and character column; clamped to the line.
    qsizetype offsetOf(int line, int column) const;

private:
    // Most lines hold no surrogate pair, and on those a column is a plain offset:
    // worked out once per line, so many problems on one long line stay cheap.
    bool plainLine(int line) const;

    const QString &m_text;
    QList<qsizetype> m_starts;
    mutable QList<signed char> m_plain; // -1 unknown, 0 has pairs, 1 plain
};

} // namespace vellumo
