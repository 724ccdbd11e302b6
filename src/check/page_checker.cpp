#include "check/page_checker.h"

#include "check/line_index.h"
#include "check/own_checks.h"
#include "check/tag_scanner.h"
#include "check/tidy_diagnostics.h"
#include "check/tidy_messages.h"

#include <algorithm>

namespace vellumo {

namespace {

// How much of the text at `at` a problem there is about: a whole tag, a
// character reference, or nothing in particular.
qsizetype offendingLength(const QString &text, qsizetype at, qsizetype lineEnd) {
    if (at >= text.size())
        return 0;
    if (text.at(at) == u'<') {
        const qsizetype close = text.indexOf(u'>', at);
        return close < 0 || close - at > 2000 ? std::min<qsizetype>(lineEnd - at, 2000)
                                              : close - at + 1;
    }
    if (text.at(at) == u'&') {
        qsizetype end = at + 1;
        while (end < lineEnd && end - at < 40 &&
               (text.at(end).isLetterOrNumber() || text.at(end) == u'#'))
            ++end;
        if (end < lineEnd && text.at(end) == u';')
            ++end;
        return end - at;
    }
    return 0;
}

} // namespace

CheckResult checkPage(const CheckRequest &request, const std::atomic_bool &cancel) {
    CheckResult result;
    const QString &text = request.text;
    const LineIndex lines(text);

    struct Found {
        Problem problem;
        qsizetype start; // -1 for the page as a whole
    };
    QList<Found> found;

    const TidyRun tidy =
        runTidy(text.toUtf8(), cancel, MaximumListedProblems,
                [](const TidyDiagnostic &d) { return problemFromTidy(d).has_value(); });
    if (!tidy.available) {
        Problem p;
        p.severity = ProblemSeverity::Error;
        p.kind = ProblemKind::Unavailable;
        p.source = ProblemSource::Markup;
        p.message = tidy.unavailableReason;
        found.append({p, -1});
    }
    for (const TidyDiagnostic &d : tidy.diagnostics) {
        std::optional<Problem> problem = problemFromTidy(d);
        if (!problem)
            continue;
        const int line = std::clamp(d.line, 1, lines.lineCount());
        const qsizetype at = lines.offsetOf(line, std::max(d.column, 1));
        problem->length = int(offendingLength(text, at, lines.lineEnd(line)));
        found.append({*problem, at});
    }
    if (cancel.load(std::memory_order_relaxed)) {
        result.stopped = true;
        return result;
    }

    const QList<ScannedTag> tags = scanTags(text, &cancel);
    for (PlacedProblem &p : ownChecks(request, tags, cancel)) {
        p.problem.length = int(std::min<qsizetype>(p.length, 2000));
        found.append({std::move(p.problem), p.start});
    }
    if (cancel.load(std::memory_order_relaxed)) {
        result.stopped = true;
        return result;
    }

    // Page order; problems about the page as a whole come first.
    std::stable_sort(found.begin(), found.end(),
                     [](const Found &a, const Found &b) { return a.start < b.start; });
    const qsizetype listed = std::min<qsizetype>(found.size(), MaximumListedProblems);
    result.notListed = found.size() - listed + tidy.dropped;
    result.problems.reserve(listed);
    for (qsizetype i = 0; i < listed; ++i) {
        Problem problem = std::move(found[i].problem);
        const qsizetype at = found.at(i).start;
        if (at >= 0) {
            problem.line = lines.lineOf(at);
            problem.column = lines.columnOf(at);
            problem.lineOffset = int(at - lines.lineStart(problem.line));
            problem.position = int(at);
        }
        result.problems.append(std::move(problem));
    }
    return result;
}

} // namespace vellumo
