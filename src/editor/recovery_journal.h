#pragma once

#include "editor/page_file.h"
#include "editor/page_lock.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QLockFile;
class QTextDocument;
class QTimer;

namespace vellumo {

// What a page's journal starts from.
enum class JournalBase {
    // The page is its file on disk, read back as it was opened or saved: the
    // journal keeps only the file's fingerprint, so a big page is never copied.
    File,
    // The page goes into the journal whole at its first change (an untitled page,
    // or one whose file cannot give the same text back).
    Snapshot,
    // The page goes into the journal whole right away: it already holds unsaved
    // work (a page just recovered).
    SnapshotNow,
};

// What the journal keeps of a page read from its file: the fingerprint of the
// file's bytes and, when the file can give the text back, of the text they
// decode to. Taken where the bytes and the decoded text are at hand, so a big
// page is neither read a second time nor copied for it.
struct PageFingerprint {
    QByteArray fileHash;
    QByteArray textHash; // empty when the file cannot give this text back
    bool taken = false;  // false: the journal takes it from the document itself
};

// The fingerprint of a page decoded from `fileBytes`. Safe to call on any thread.
PageFingerprint fingerprintOf(QByteArrayView fileBytes, const DecodedPage &page);

// The running instance's record of the page's unsaved changes, so that they
// survive a crash, a killed process or a power cut. Each change of the page is
// appended to the journal file as it happens (a few bytes per keystroke; the
// operating system has it at once, so a killed process loses nothing), and the
// file is flushed to the disk every few seconds. The journal restarts whenever
// the page is clean again and goes away with a clean close.
//
// Each running instance has a journal of its own, claimed with a lock file, so a
// second instance never takes over the live work of the first.
class RecoveryJournal final : public QObject {
    Q_OBJECT
public:
    explicit RecoveryJournal(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    ~RecoveryJournal() override;

    // Where the journals live: "recovery" in the program's data folder.
    static QString defaultFolder();

    // Takes a journal name of this instance's own and locks it. Returns false when
    // the folder cannot be used; the journal then records nothing.
    bool claim();
    QString path() const { return m_path; }
    QString folder() const { return m_folder; }

    // Starts the journal afresh for `document`, which is now `fileName` (or
    // "Untitled") in `format`, clean unless `base` is SnapshotNow. Any earlier
    // journal file of this instance is removed: its changes are saved or dropped.
    // `known` is the fingerprint of the file just read into `document`, if taken.
    void follow(QTextDocument *document, const QString &fileName, const PageFormat &format,
                JournalBase base, const PageFingerprint &known = {});
    // The page's changes are saved or given up for good (a clean close): the
    // journal file goes and nothing more is recorded.
    void discard();
    // Puts what was written on the disk now.
    void flush();
    void setFlushInterval(int milliseconds);
    // How long the journal rests after a failed write (a full disk) before it
    // tries again with the whole page.
    void setRetryDelay(int milliseconds) { m_retryDelayMs = milliseconds; }

    // Whether a journal file with the page's changes exists now.
    bool recording() const { return m_file.isOpen(); }

    // Whether another running copy has the page at `path` open (its page lock
    // lives beside the journals); `owner` receives that copy's process id. The
    // page this journal follows holds its lock from follow() until discard().
    bool pageOpenElsewhere(const QString &path, qint64 *owner = nullptr) const {
        return m_pageLock.heldElsewhere(path, owner);
    }

private:
    void contentsChange(int from, int removed, int added);
    // Starts the journal file; a snapshot taken because of a change records where
    // that change was and what it added and removed.
    bool startFile(qint64 changeFrom = -1, qint64 changeRemoved = 0, qint64 changeAdded = 0);
    void append(const QByteArray &record);
    void stopFile(bool keep);
    void writeFailed(const QString &reason);
    void takeFingerprint(const PageFingerprint &known);

    QString m_folder;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    PageLock m_pageLock;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_changes;
    QMetaObject::Connection m_modification;
    QString m_fileName;
    PageFormat m_format;
    JournalBase m_base = JournalBase::Snapshot;
    QByteArray m_fileHash;
    QByteArray m_textHash;
    QFile m_file;
    QTimer *m_flushTimer;
    bool m_unflushed = false;
    bool m_modified = false;
    // After a failed write the journal waits a little before trying again, so a
    // full disk does not cost a whole-page write per keystroke.
    bool m_broken = false;
    QElapsedTimer m_brokenSince;
    int m_retryDelayMs = 10000;
};

// A journal left behind by an instance that is no longer running, locked by this
// instance while it holds it, so two instances starting together never offer the
// same one.
struct OrphanedJournal {
    QString path;
    std::unique_ptr<QLockFile> lock;
};

// The journals in `folder` whose instance ended without cleaning up, newest
// first, `ownPath` excepted. Lock files of dead instances that never wrote a
// journal are cleared on the way.
std::vector<OrphanedJournal> claimOrphanedJournals(const QString &folder, const QString &ownPath);

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
    std::unique_ptr<QTextDocument> document; // ready for attachPageDocument
    QDateTime lastChange;
    qint64 charactersAdded = 0;
    qint64 charactersRemoved = 0;
    QString excerpt; // one line of the page around the last change
    QString problem; // why it was not recovered, in words
};

// Rebuilds the page a journal describes, shaped like `like` (font, options).
RecoveredPage recoverJournal(const QString &path, const QTextDocument &like);

// The page's text as the journal sees it (line breaks as '\n', non-breaking
// spaces kept).
QString journalText(const QTextDocument &document);

} // namespace vellumo
