#pragma once

#include <QFlags>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

#include <atomic>
#include <functional>

namespace vellumo {

enum class SearchOption {
    MatchCase = 0x1,
    WholeWords = 0x2,
    RegularExpression = 0x4,
    // Only matches inside a range the caller gives (the selection when the search began).
    InSelection = 0x8,
};
Q_DECLARE_FLAGS(SearchOptions, SearchOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(SearchOptions)

// Where matches may lie: [start, end), end < 0 meaning the end of the text.
struct SearchRange {
    qsizetype start = 0;
    qsizetype end = -1;
};

struct TextMatch {
    qsizetype start = -1;
    qsizetype length = 0;
    // Set when the search went round the end (or, backwards, the start) to find it.
    bool wrapped = false;
    // Set when the expression engine gave up (its match or depth limit) before a match:
    // nothing is known of the text past that point, so this is no "not found".
    bool gaveUp = false;

    bool found() const { return start >= 0; }
    qsizetype end() const { return start + length; }
    friend bool operator==(const TextMatch &, const TextMatch &) = default;
};

// One match to be replaced by `text`.
struct TextReplacement {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

// A compiled search: the pattern and its options, applied to any text. Pure: it
// holds no text and no position, so the find bar, the highlights, the counting
// thread and the search through files all share it (copies are cheap).
//
// The text is a page as the editor holds it (every line break one '\n'); a text
// that still has CR LF breaks is searched too, and a match never begins or ends
// between the CR and the LF. Without the RegularExpression option the pattern is
// taken literally. A regular expression is Perl-compatible and matches within one
// line unless the pattern itself asks for a line break ("\n"). A match never
// splits a surrogate pair, and a pattern that matches the empty string moves on
// by one character instead of finding the same place forever.
class TextSearch {
public:
    TextSearch() = default;
    TextSearch(const QString &pattern, SearchOptions options);

    QString pattern() const { return m_pattern; }
    SearchOptions options() const { return m_options; }
    bool isEmpty() const { return m_pattern.isEmpty(); }
    // False for an empty pattern and for a regular expression with an error.
    bool isValid() const;
    // The regular expression's error and where it is ("missing closing
    // parenthesis at position 4"), or an empty string.
    QString errorString() const;

    // The first match starting at or after `from` inside `range`. An empty match
    // exactly at `from` counts only when `emptyAtFrom` is set (a search that
    // goes on from an empty match passes false).
    TextMatch next(QStringView text, qsizetype from, SearchRange range = {},
                   bool emptyAtFrom = true) const;
    // The last match starting before `before` inside `range`.
    TextMatch previous(QStringView text, qsizetype before, SearchRange range = {}) const;
    // next() or previous(), going round the range's end to its start (or the
    // other way) when nothing is found on the way; `wrapped` tells.
    TextMatch find(QStringView text, qsizetype from, bool backward, SearchRange range = {},
                   bool emptyAtFrom = true) const;

    // Every match in `range`, in order, handed to `visit` until it returns false
    // or `cancel` is set. False when the expression engine gave up on the way.
    bool forEach(QStringView text, SearchRange range,
                 const std::function<bool(const TextMatch &)> &visit,
                 const std::atomic_bool *cancel = nullptr) const;
    QList<TextMatch> all(QStringView text, SearchRange range = {}) const;
    // What every match in `range` becomes with `replacement` (see expandReplacement);
    // nothing, and `gaveUp` set, when the expression engine gave up on the way; nothing
    // either once `cancel` is set.
    QList<TextReplacement> replacements(QStringView text, const QString &replacement,
                                        SearchRange range = {}, bool *gaveUp = nullptr,
                                        const std::atomic_bool *cancel = nullptr) const;
    // What the match `match` (as found by next()) becomes; `match` must be one.
    QString replacementFor(QStringView text, const TextMatch &match,
                           const QString &replacement) const;

private:
    // Calls `visit(start, end, regexMatch)` for each match from `from`; false when the
    // expression engine gave up before the end.
    template <typename Visit>
    bool scan(QStringView text, qsizetype from, qsizetype end, bool emptyAtFrom, Visit visit,
              const std::atomic_bool *cancel = nullptr) const;
    bool acceptable(QStringView text, qsizetype start, qsizetype end) const;

    QString m_pattern;
    SearchOptions m_options;
    QRegularExpression m_regex;
    // Whether a regular expression asks for line breaks itself.
    bool m_spansLines = false;
};

// What the find bar and Find in Files say of an expression the engine gave up on.
QString tooComplexMessage();

// The replacement text for one regular-expression match: \1..\9 and $1..$99 (or
// ${name}) are the groups, \0 and $0 the whole match, \n a line break, \t a tab,
// \\ and $$ the characters themselves; anything else stays as written.
QString expandReplacement(const QString &replacement, const QRegularExpressionMatch &match);

// `text` with every lone surrogate half made U+FFFD, or `text` itself when it has
// none: positions stay the same, and the matcher can trust the text.
QString withoutLoneSurrogates(const QString &text);

} // namespace vellumo
Q_DECLARE_METATYPE(vellumo::SearchOptions)
