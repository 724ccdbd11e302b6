#include "editor/recovery_journal.h"

#include "editor/page_breaks.h"
#include "editor/page_loader.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QtEndian>

#include <xxhash.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace vellumo {

namespace {

// The file starts with this line; records follow, each framed as
// [payload length, 4 bytes LE][payload][CRC-32 of the payload, 4 bytes LE], so a
// record cut short by a crash is recognised and everything before it is kept.
// Version 2 identifies a page by XXH3-128 instead of BLAKE2b-256: a journal of
// version 1 is not applied, but kept aside like any journal that cannot be.
const QByteArray Magic = QByteArrayLiteral("Vellumo journal 2\n");
const QString JournalSuffix = QStringLiteral(".vlj");
const QString LockSuffix = QStringLiteral(".lock");
constexpr int DefaultFlushMs = 3000;

enum RecordKind : char {
    BaseRecord = 'B',  // what the page starts from
    EditRecord = 'E',  // one change: position, characters removed, text put there
    CleanRecord = 'C', // the page is back to its saved state (undone, or never really changed)
};

constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_0;

QByteArray frame(const QByteArray &payload) {
    QByteArray out(4, Qt::Uninitialized);
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), out.data());
    out += payload;
    const auto crc =
        static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(payload.constData()),
                                   static_cast<uInt>(payload.size())));
    char tail[4];
    qToLittleEndian<quint32>(crc, tail);
    out.append(tail, 4);
    return out;
}

// Pages are identified by a 128-bit XXH3 of their bytes: it tells a changed file
// from the one a journal started from as surely as a cryptographic hash would
// (nobody forges their own pages), at a few milliseconds for a 50 MB page
// where BLAKE2b took a third of a second.
QByteArray digest(XXH128_hash_t hash) {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, hash);
    return QByteArray(reinterpret_cast<const char *>(canonical.digest), sizeof canonical.digest);
}

QByteArray hashOf(QByteArrayView bytes) {
    return digest(XXH3_128bits(bytes.data(), std::size_t(bytes.size())));
}

// The hash of a whole file, read in slices; empty when it cannot be read.
QByteArray fileHashOf(QFile &file) {
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                   &XXH3_freeState);
    if (!state || XXH3_128bits_reset(state.get()) != XXH_OK)
        return {};
    QByteArray slice(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(slice.data(), slice.size());
        if (n < 0)
            return {};
        if (n == 0)
            return digest(XXH3_128bits_digest(state.get()));
        XXH3_128bits_update(state.get(), slice.constData(), std::size_t(n));
    }
}

QByteArray textHash(const QString &text) {
    return hashOf(QByteArrayView(reinterpret_cast<const char *>(text.constData()),
                                 text.size() * qsizetype(sizeof(QChar))));
}

QString diskPath(const QString &fileName) {
    return QDir::fromNativeSeparators(fileName);
}

qint64 now() {
    return QDateTime::currentMSecsSinceEpoch();
}

struct JournalBaseRecord {
    QString fileName;
    PageFormat format;
    bool fromFile = false;
    QByteArray fileHash;
    QByteArray textHash;
    QString snapshot;
    QByteArray lineBreakKinds;
    qint64 time = 0;
    // A snapshot taken because of a change already holds that change; what it
    // added and removed, and where, still count for the recovery question.
    qint64 changeFrom = -1;
    qint64 changeRemoved = 0;
    qint64 changeAdded = 0;
};

QByteArray baseRecord(const JournalBaseRecord &base) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(BaseRecord) << base.fileName << qint32(base.format.encoding)
        << base.format.byteOrderMark << qint32(base.format.lineBreaks) << base.fromFile
        << base.fileHash << base.textHash << base.snapshot << base.lineBreakKinds << base.time
        << base.changeFrom << base.changeRemoved << base.changeAdded;
    return frame(payload);
}

QByteArray editRecord(qint64 from, qint64 removed, const QString &added) {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(EditRecord) << now() << from << removed << added;
    return frame(payload);
}

QByteArray cleanRecord() {
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << qint8(CleanRecord) << now();
    return frame(payload);
}

void syncFolder(const QString &folder) {
#ifdef Q_OS_UNIX
    // So that a journal just made or removed stays made or removed after a power cut.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

int uniqueCounter = 0;

} // namespace

PageFingerprint fingerprintOf(QByteArrayView fileBytes, const DecodedPage &page) {
    // Exactly what recovery checks the file against: its bytes, and the text
    // they decode to.
    PageFingerprint fingerprint;
    fingerprint.taken = true;
    fingerprint.fileHash = hashOf(fileBytes);
    if (canEncode(page.text, page.format))
        fingerprint.textHash = textHash(page.text);
    return fingerprint;
}

QString journalText(const QTextDocument &document) {
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

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
    auto lock = std::make_unique<QLockFile>(path + LockSuffix);
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
                append(cleanRecord());
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
    const QString path = diskPath(m_fileName);
    QFile file(path);
    if (QDir::isAbsolutePath(path) && file.open(QIODevice::ReadOnly))
        m_fileHash = fileHashOf(file);
    if (m_base != JournalBase::File)
        return;
    const QString text = journalText(*m_document);
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
        base.snapshot = journalText(*m_document);
        base.lineBreakKinds = lineBreakKinds(m_document);
    }
    // The start goes down whole or not at all; the changes are appended after it.
    const QString reason = writeFileAtomically(m_path, Magic + baseRecord(base));
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
        syncFolder(m_folder);
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
    append(editRecord(from, removed, cursor.selectedText()));
}

std::vector<OrphanedJournal> claimOrphanedJournals(const QString &folder, const QString &ownPath) {
    std::vector<OrphanedJournal> orphans;
    const QDir dir(folder);
    const QStringList journals =
        dir.entryList({QStringLiteral("*") + JournalSuffix}, QDir::Files, QDir::Time);
    for (const QString &name : journals) {
        const QString path = dir.filePath(name);
        if (path == ownPath)
            continue;
        auto lock = std::make_unique<QLockFile>(path + LockSuffix);
        lock->setStaleLockTime(0);
        // Taken only when its instance is gone (or it never had a lock).
        if (lock->tryLock(0))
            orphans.push_back({path, std::move(lock)});
    }
    const QStringList locks =
        dir.entryList({QStringLiteral("*") + JournalSuffix + LockSuffix}, QDir::Files);
    for (const QString &name : locks) {
        const QString journal = dir.filePath(name.chopped(LockSuffix.size()));
        if (journal == ownPath || QFile::exists(journal))
            continue;
        QLockFile lock(dir.filePath(name));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock(); // removes the dead instance's lock file
    }
    return orphans;
}

namespace {

struct JournalEdit {
    qint64 time = 0;
    qint64 from = 0;
    qint64 removed = 0;
    QString added;
};

// Reads the records; a damaged tail ends the journal where the damage starts.
bool readRecords(const QByteArray &bytes, JournalBaseRecord &base, QList<JournalEdit> &edits,
                 qint64 &cleanAfter) {
    if (!bytes.startsWith(Magic))
        return false;
    bool haveBase = false;
    qsizetype at = Magic.size();
    while (bytes.size() - at >= 8) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at);
        if (length > quint32(bytes.size() - at - 8))
            break;
        const QByteArray payload = bytes.mid(at + 4, length);
        const quint32 crc = qFromLittleEndian<quint32>(bytes.constData() + at + 4 + length);
        if (crc !=
            static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(payload.constData()),
                                       static_cast<uInt>(payload.size()))))
            break;
        at += 8 + length;
        QDataStream in(payload);
        in.setVersion(StreamVersion);
        qint8 kind = 0;
        in >> kind;
        if (kind == BaseRecord && !haveBase) {
            qint32 encoding = 0;
            qint32 lineBreaks = 0;
            in >> base.fileName >> encoding >> base.format.byteOrderMark >> lineBreaks >>
                base.fromFile >> base.fileHash >> base.textHash >> base.snapshot >>
                base.lineBreakKinds >> base.time >> base.changeFrom >> base.changeRemoved >>
                base.changeAdded;
            if (encoding < 0 || encoding > int(TextEncoding::Latin1) || lineBreaks < 0 ||
                lineBreaks > int(LineBreakStyle::CR))
                return false;
            base.format.encoding = static_cast<TextEncoding>(encoding);
            base.format.lineBreaks = static_cast<LineBreakStyle>(lineBreaks);
            haveBase = true;
        } else if (kind == EditRecord && haveBase) {
            JournalEdit edit;
            in >> edit.time >> edit.from >> edit.removed >> edit.added;
            edits.append(std::move(edit));
        } else if (kind == CleanRecord && haveBase) {
            qint64 time = 0;
            in >> time;
            cleanAfter = edits.size();
        } else {
            return false;
        }
        if (in.status() != QDataStream::Ok)
            return false;
    }
    return haveBase;
}

QString excerptAround(QTextDocument &document, qint64 position) {
    constexpr int Reach = 30;
    const int end = document.characterCount() - 1;
    const int at = static_cast<int>(std::clamp<qint64>(position, 0, end));
    QTextCursor cursor(&document);
    cursor.setPosition(std::max(0, at - Reach));
    cursor.setPosition(std::min(end, at + Reach), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    for (QChar &c : text)
        if (c == QChar::ParagraphSeparator || c == u'\t' || c.category() == QChar::Other_Control)
            c = u' ';
    return text.simplified();
}

} // namespace

RecoveredPage recoverJournal(const QString &path, const QTextDocument &like) {
    RecoveredPage page;
    QByteArray bytes;
    QString reason = readWholeFile(path, &bytes);
    JournalBaseRecord base;
    QList<JournalEdit> edits;
    qint64 cleanAfter = -1; // how many edits there were at the last return to the saved page
    if (reason.isEmpty() && !readRecords(bytes, base, edits, cleanAfter))
        reason = QStringLiteral("The recovery file is damaged.");
    bytes = QByteArray();
    if (!reason.isEmpty()) {
        page.problem = reason;
        return page;
    }
    page.fileName = base.fileName;
    page.format = base.format;
    page.lastChange =
        QDateTime::fromMSecsSinceEpoch(edits.isEmpty() ? base.time : edits.last().time);
    if (edits.size() == cleanAfter || (base.fromFile && edits.isEmpty())) {
        page.outcome = RecoveredPage::Outcome::NothingToRecover;
        return page;
    }

    QString text = std::move(base.snapshot);
    QByteArray kinds = std::move(base.lineBreakKinds);
    QByteArray fileBytes;
    if (!base.fileHash.isEmpty()) {
        const QString fileReason = readWholeFile(diskPath(base.fileName), &fileBytes);
        if (!fileReason.isEmpty() || hashOf(fileBytes) != base.fileHash) {
            page.outcome = RecoveredPage::Outcome::FileChanged;
            page.problem = fileReason.isEmpty()
                               ? QStringLiteral("The file was changed after the changes were made.")
                               : fileReason;
            return page;
        }
    }
    if (base.fromFile) {
        DecodedPage decoded = decodePage(fileBytes);
        if (textHash(decoded.text) != base.textHash) {
            page.outcome = RecoveredPage::Outcome::FileChanged;
            page.problem = QStringLiteral("The file no longer reads back as the page it was.");
            return page;
        }
        text = std::move(decoded.text);
        kinds = std::move(decoded.lineBreakKinds);
    }

    std::unique_ptr<QTextDocument> document = buildPageDocument(std::move(text), like);
    applyLineBreakKinds(document.get(), kinds);
    QTextCursor cursor(document.get());
    page.charactersAdded = base.changeAdded;
    page.charactersRemoved = base.changeRemoved;
    for (const JournalEdit &edit : std::as_const(edits)) {
        if (edit.removed == 0 && edit.added.isEmpty())
            continue;
        const qint64 end = document->characterCount() - 1;
        if (edit.from < 0 || edit.removed < 0 || edit.from + edit.removed > end) {
            page.problem = QStringLiteral("The recovery file is damaged.");
            return page;
        }
        cursor.setPosition(static_cast<int>(edit.from));
        cursor.setPosition(static_cast<int>(edit.from + edit.removed), QTextCursor::KeepAnchor);
        cursor.insertText(edit.added);
        page.charactersAdded += edit.added.size();
        page.charactersRemoved += edit.removed;
    }
    if (!edits.isEmpty())
        page.excerpt = excerptAround(*document, edits.last().from + edits.last().added.size());
    else if (base.changeFrom >= 0)
        page.excerpt = excerptAround(*document, base.changeFrom + base.changeAdded);
    page.document = std::move(document);
    page.outcome = RecoveredPage::Outcome::Recovered;
    return page;
}

} // namespace vellumo
