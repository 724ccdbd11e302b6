#pragma once

#include "document/page_file.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QTextDocument;

namespace vellumo {

// What a journal gives back.
struct RecoveredPage {
    enum class Outcome {
        Recovered,        // `document` holds the page with its unsaved changes
        NothingToRecover, // no change, or every change undone
        FileChanged,      // the page's file changed since: the changes do not apply
        Unreadable,       // the journal is damaged or of an unknown kind
    };
    Outcome outcome = Outcome::Unreadable;
    QString fileName; // as the page had it, "Untitled" for an untitled page
    PageFormat format;
    OriginalLines originalLines; // the bytes of the lines of the page's file, if it has one
    std::unique_ptr<QTextDocument> document; // ready for attachPageDocument
    QDateTime lastChange;
    qint64 charactersAdded = 0;
    qint64 charactersRemoved = 0;
    QString excerpt; // one line of the page around the last change
    QString problem; // why it was not recovered, in words

    // Out of line, so that holding one needs no knowledge of the document.
    RecoveredPage();
    RecoveredPage(RecoveredPage &&) noexcept;
    RecoveredPage &operator=(RecoveredPage &&) noexcept;
    ~RecoveredPage();
};

// Rebuilds the page a journal describes, shaped like `like` (font, options).
RecoveredPage recoverJournal(const QString &path, const QTextDocument &like);

} // namespace vellumo
