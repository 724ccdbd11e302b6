#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

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
};

struct TidyRun {
    bool available = false; // the library could be loaded
    QString unavailableReason;
    QList<TidyDiagnostic> diagnostics;
};

// Runs HTML Tidy's parser and diagnostics over `utf8` in memory. Nothing is
// written anywhere: Tidy's error sink goes to a buffer that is thrown away and
// no tidied page is produced. The library is loaded on the first call, so the
// program's start-up never pays for it. Once `cancel` is set Tidy is fed the
// end of its input and returns within moments.
TidyRun runTidy(const QByteArray &utf8, const std::atomic_bool &cancel);

} // namespace vellumo
