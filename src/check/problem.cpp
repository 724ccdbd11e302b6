#include "check/problem.h"

#include <algorithm>

namespace vellumo {

QString severityName(ProblemSeverity severity) {
    switch (severity) {
    case ProblemSeverity::Error:
        return QStringLiteral("Error");
    case ProblemSeverity::Warning:
        return QStringLiteral("Warning");
    case ProblemSeverity::Note:
        break;
    }
    return QStringLiteral("Note");
}

QString sourceName(ProblemSource source) {
    switch (source) {
    case ProblemSource::Markup:
        return QStringLiteral("HTML");
    case ProblemSource::Links:
        return QStringLiteral("Links");
    case ProblemSource::Page:
        break;
    }
    return QStringLiteral("Page");
}

int CheckResult::count(ProblemSeverity severity) const {
    return int(std::count_if(problems.cbegin(), problems.cend(),
                             [severity](const Problem &p) { return p.severity == severity; }));
}

QString CheckResult::summary() const {
    const auto counted = [](int n, const char *one, const char *many) {
        return QString::number(n) + u' ' + QLatin1String(n == 1 ? one : many);
    };
    QStringList parts;
    if (const int errors = count(ProblemSeverity::Error))
        parts << counted(errors, "error", "errors");
    if (const int warnings = count(ProblemSeverity::Warning))
        parts << counted(warnings, "warning", "warnings");
    if (const int notes = count(ProblemSeverity::Note))
        parts << counted(notes, "note", "notes");
    if (parts.isEmpty())
        return QStringLiteral("No problems found");
    QString text = parts.join(QLatin1String(", "));
    if (notListed > 0)
        text += QStringLiteral(" (and %1 more not listed)").arg(notListed);
    return text;
}

} // namespace vellumo
