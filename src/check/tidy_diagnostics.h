#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace vellumo {

// One diagnostic as HTML Tidy reports it: its position (Tidy's 1-based line and
// character column), its level and message key, and the message's string arguments.
struct TidyDiagnostic {
    int line = 0;
    int column = 0;
    int level = 0; // TidyReportLevel
    QByteArray key;
    QStringList arguments;
    QString defaultText;
    qsizetype order = 0; // the how-manieth report of the run
};

struct TidyRun {
    bool available = false; // the library could be loaded
    QString unavailableReason;
    // The wanted diagnostics nearest the page's start, at most `keep` of them, in
    // the order Tidy reported them, and how many more wanted ones there were.
    QList<TidyDiagnostic> diagnostics;
    qsizetype dropped = 0;
};

// Runs HTML Tidy's parser and diagnostics over `utf8` in memory. Nothing is
// written anywhere: Tidy's error sink goes to a buffer that is thrown away and
// no tidied page is produced. The library is loaded on the first call, so the
// program's start-up never pays for it. Once `cancel` is set Tidy is fed the
// end of its input and returns within moments. Only diagnostics `wanted`
// accepts are kept: a page with 100,000 problems keeps `keep` of them in memory.
TidyRun runTidy(const QByteArray &utf8, const std::atomic_bool &cancel, qsizetype keep,
                const std::function<bool(const TidyDiagnostic &)> &wanted);

} // namespace vellumo
