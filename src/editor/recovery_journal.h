#pragma once

#include "document/page_file.h"
#include "document/page_fingerprint.h"
#include "document/page_lock.h"
#include "editor/page_text.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

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

// The page's text as the journal sees it: the page's own text.
inline QString journalText(const QTextDocument &document) {
    return pageTextOf(document);
}

} // namespace vellumo
