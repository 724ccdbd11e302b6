#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

namespace vellumo {

enum class ProblemSeverity { Error, Warning, Note };

// Where a problem came from, shown in the list's last column.
enum class ProblemSource { Markup, Links, Page };

// What kind of problem, so that tests and filters need not read the wording.
enum class ProblemKind {
    Markup,          // anything HTML Tidy reports that has no kind of its own
    MissingFile,     // a local reference whose file does not exist
    CaseMismatch,    // ... exists only under another letter case
    MissingFragment, // "#name" with no such id or anchor on the page
    MissingMap,      // USEMAP="#name" with no such MAP
    DuplicateId,     // an id or anchor name used twice
    MissingAlt,      // IMG without ALT
    CharsetMismatch, // the declared charset is not the page's encoding
    FrameWithoutSource,
    MissingNoFrames,
    Obsolete,     // an element this editor writes on purpose, with its modern equivalent
    UntitledBase, // local references were looked up from the start folder
    Unavailable,  // the HTML checks could not run at all
    MoreProblems, // the line that counts what was left out
};

QString severityName(ProblemSeverity severity);
QString sourceName(ProblemSource source);

// One problem of the page. `line` and `column` count from 1 as the user sees
// them (a character outside the Basic Multilingual Plane is one column);
// `lineOffset` and `length` are in the editor's own units within that line, so
// the offending text can be selected; `position` is where it starts in the text
// checked. Line 0 means the page as a whole.
struct Problem {
    ProblemSeverity severity = ProblemSeverity::Error;
    ProblemKind kind = ProblemKind::Markup;
    ProblemSource source = ProblemSource::Markup;
    int line = 0;
    int column = 0;
    int lineOffset = 0;
    int position = 0;
    int length = 0;
    QString message;

    friend bool operator==(const Problem &, const Problem &) = default;
};

// What one check is given: a copy of the page's text and what is known about it.
struct CheckRequest {
    QString text;
    // The folder local references are relative to: the page's own folder, or the
    // start folder for a page that has not been saved yet.
    QString baseFolder;
    bool untitled = false;
    // The encoding the page is really in, as the status bar names it ("UTF-8",
    // "Windows-1252"); empty when unknown.
    QString encoding;
};

inline constexpr int MaximumListedProblems = 5000;

struct CheckResult {
    QList<Problem> problems; // at most MaximumListedProblems, in page order
    qsizetype notListed = 0; // problems found beyond those
    bool stopped = false;

    int count(ProblemSeverity severity) const;
    // "3 errors, 5 warnings" or "No problems found".
    QString summary() const;
};

} // namespace vellumo

Q_DECLARE_METATYPE(vellumo::CheckResult)
