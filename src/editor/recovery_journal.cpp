#include "editor/recovery_journal.h"

#include "document/journal_format.h"
#include "editor/page_breaks.h"
#include "platform/folder_sync.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace vellumo {

namespace {

constexpr int DefaultFlushMs = 3000;

qint64 now() {
    return QDateTime::currentMSecsSinceEpoch();
}

int uniqueCounter = 0;

} // namespace

RecoveryJournal::RecoveryJournal(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_pageLock(folder)
    , m_flushTimer(new QTimer(this)) {
    // Armed by the first change after a flush, so an idle page costs nothing.
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(DefaultFlushMs);
    connect(m_flushTimer, &QTimer::timeout, this, &RecoveryJournal::flush);
}

RecoveryJournal::~RecoveryJournal() {
    // A program ended with unsaved changes (and no question asked) keeps them for
    // the next start; otherwise nothing is left behind.
    stopFile(m_modified);
}

QString RecoveryJournal::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/recovery");
}

bool RecoveryJournal::claim() {
    if (m_lock)
        return true;
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    // Named after the process and the moment, so it never meets another instance's.
    const QString name = QStringLiteral("page-%1-%2-%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(now())
                             .arg(++uniqueCounter);
    const QString path = QDir(m_folder).filePath(name + JournalSuffix);
    auto lock = std::make_unique<QLockFile>(path + JournalLockSuffix);
    // A live instance's lock never counts as stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    m_path = path;
    return true;
}

void RecoveryJournal::setFlushInterval(int milliseconds) {
    m_flushTimer->setInterval(milliseconds);
}

void RecoveryJournal::follow(QTextDocument *document, const QString &fileName,
                             const PageFormat &format, JournalBase base,
                             const PageFingerprint &known) {
    stopFile(false);
    disconnect(m_changes);
    disconnect(m_modification);
    m_document = document;
    m_fileName = fileName;
    m_format = format;
    m_base = base;
    m_broken = false;
    m_fileHash.clear();
    m_textHash.clear();
    if (!m_lock || document == nullptr)
        return;
    // Other copies are told which page this one has open; an untitled page has
    // no name to tell.
    if (QFileInfo(fileName).isAbsolute())
        m_pageLock.hold(fileName);
    else
        m_pageLock.release();
    m_modified = document->isModified();
    takeFingerprint(known);
    m_changes =
        connect(document, &QTextDocument::contentsChange, this, &RecoveryJournal::contentsChange);
    m_modification =
        connect(document, &QTextDocument::modificationChanged, this, [this](bool modified) {
            m_modified = modified;
            if (!modified && m_file.isOpen())
                append(cleanRecord(now()));
        });
    if (m_base == JournalBase::SnapshotNow)
        startFile();
}

void RecoveryJournal::takeFingerprint(const PageFingerprint &known) {
    // At recovery the page's file must still hold exactly these bytes; when the
    // journal starts from the file, they must also still read back as this text.
    if (known.taken && m_base == JournalBase::File) {
        m_fileHash = known.fileHash;
        m_textHash = known.textHash;
        if (m_fileHash.isEmpty() || m_textHash.isEmpty())
            m_base = JournalBase::Snapshot;
        return;
    }
    const QString path = journalDiskPath(m_fileName);
    QFile file(path);
    if (QDir::isAbsolutePath(path) && file.open(QIODevice::ReadOnly))
        m_fileHash = fileHashOf(file);
    if (m_base != JournalBase::File)
        return;
    const QString text = pageTextOf(*m_document);
    if (m_fileHash.isEmpty() || !canEncode(text, m_format)) {
        // Untitled, unreadable, or saved with characters written as references:
        // the file cannot give this text back, so the page itself goes in.
        m_base = JournalBase::Snapshot;
        return;
    }
    m_textHash = textHash(text);
}

void RecoveryJournal::discard() {
    stopFile(false);
    m_pageLock.release();
    disconnect(m_changes);
    disconnect(m_modification);
    m_document = nullptr;
    m_modified = false;
}

void RecoveryJournal::flush() {
    if (!m_file.isOpen() || !m_unflushed)
        return;
#if defined(Q_OS_LINUX)
    ::fdatasync(m_file.handle());
#elif defined(Q_OS_UNIX)
    ::fsync(m_file.handle());
#elif defined(Q_OS_WIN)
    ::_commit(m_file.handle());
#endif
    m_unflushed = false;
}

bool RecoveryJournal::startFile(qint64 changeFrom, qint64 changeRemoved, qint64 changeAdded) {
    JournalBaseRecord base;
    base.fileName = m_fileName;
    base.format = m_format;
    base.time = now();
    base.changeFrom = changeFrom;
    base.changeRemoved = changeRemoved;
    base.changeAdded = changeAdded;
    base.fileHash = m_fileHash;
    if (m_base == JournalBase::File) {
        base.fromFile = true;
        base.textHash = m_textHash;
    } else {
        base.snapshot = pageTextOf(*m_document);
        base.lineBreakKinds = lineBreakKinds(m_document);
    }
    // The start goes down whole or not at all; the changes are appended after it.
    const QString reason = writeFileAtomically(m_path, JournalMagic + baseRecord(base));
    if (!reason.isEmpty()) {
        writeFailed(reason);
        return false;
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        writeFailed(m_file.errorString());
        return false;
    }
    // A snapshot written now stands for every change so far.
    if (m_base == JournalBase::SnapshotNow)
        m_base = JournalBase::Snapshot;
    m_broken = false;
    return true;
}

void RecoveryJournal::append(const QByteArray &record) {
    if (m_file.write(record) != record.size()) {
        writeFailed(m_file.errorString());
        return;
    }
    m_unflushed = true;
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void RecoveryJournal::writeFailed(const QString &reason) {
    qWarning("vellumo: the recovery journal %s cannot be written: %s", qPrintable(m_path),
             qPrintable(reason));
    // A journal with a change missing would rebuild a wrong page: it goes, and the
    // next try starts from the whole page.
    stopFile(false);
    m_base = JournalBase::Snapshot;
    m_broken = true;
    m_brokenSince.start();
}

void RecoveryJournal::stopFile(bool keep) {
    m_flushTimer->stop();
    if (m_file.isOpen()) {
        if (keep)
            flush();
        m_file.close();
    }
    if (!keep && !m_path.isEmpty() && QFile::exists(m_path)) {
        QFile::remove(m_path);
        // So that a journal removed stays removed after a power cut.
        syncFolder(QFile::encodeName(m_folder));
    }
    m_unflushed = false;
}

void RecoveryJournal::contentsChange(int from, int removed, int added) {
    if (!m_document)
        return;
    if (!m_document->isUndoRedoEnabled()) {
        // The page was replaced behind the editor's back (undo is off while a whole
        // text is set): the journal starts again from the page as it now is.
        if (m_file.isOpen()) {
            stopFile(false);
            m_base = JournalBase::Snapshot;
            startFile();
        } else if (m_base == JournalBase::File) {
            m_base = JournalBase::Snapshot;
        }
        return;
    }
    if (m_broken) {
        if (m_brokenSince.elapsed() < m_retryDelayMs)
            return;
        m_base = JournalBase::Snapshot;
    }
    // Qt may count the page's final, invisible paragraph end in a change; the
    // part beyond the text is the same on both sides and is left out.
    const int end = m_document->characterCount() - 1;
    if (from + added > end) {
        const int beyond = from + added - end;
        added -= beyond;
        removed = std::max(0, removed - beyond);
    }
    if (!m_file.isOpen()) {
        // A snapshot taken now already holds this change; it keeps its counts.
        if (m_base != JournalBase::File) {
            startFile(from, removed, added);
            return;
        }
        if (!startFile())
            return;
    }
    QTextCursor cursor(m_document);
    cursor.setPosition(from);
    cursor.setPosition(from + added, QTextCursor::KeepAnchor);
    append(editRecord(now(), from, removed, cursor.selectedText()));
}

} // namespace vellumo
