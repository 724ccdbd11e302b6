#pragma once

#include "document/page_file.h"

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QString>

namespace vellumo {

// A recovery journal on disk: a first line naming the format, then records,
// each framed as [payload length, 4 bytes LE][payload][CRC-32 of the payload,
// 4 bytes LE], so a record cut short by a crash is recognised and everything
// before it is kept. The first record says what the page starts from; each
// later one is a change, or the page's return to its saved state.
//
// Version 2 identifies a page by XXH3-128 instead of BLAKE2b-256: a journal of
// version 1 is not applied, but kept aside like any journal that cannot be.
inline const QByteArray JournalMagic = QByteArrayLiteral("Vellumo journal 2\n");
// A journal is "<name>.vlj", claimed by its instance with "<name>.vlj.lock".
inline const QString JournalSuffix = QStringLiteral(".vlj");
inline const QString JournalLockSuffix = QStringLiteral(".lock");

// What the page starts from: its file (by fingerprint) or a snapshot of its text.
struct JournalBaseRecord {
    QString fileName; // as the page had it, "Untitled" for an untitled page
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

// One change: at `from`, `removed` characters gave way to `added`.
struct JournalEdit {
    qint64 time = 0;
    qint64 from = 0;
    qint64 removed = 0;
    QString added;
};

// The framed records; `time` is milliseconds since the epoch.
QByteArray baseRecord(const JournalBaseRecord &base);
QByteArray editRecord(qint64 time, qint64 from, qint64 removed, const QString &added);
QByteArray cleanRecord(qint64 time);

// Reads a whole journal; a damaged tail ends it where the damage starts.
// `cleanAfter` becomes how many edits there were at the last return to the saved
// page. False when the journal is of another kind or its start is damaged.
bool readRecords(const QByteArray &bytes, JournalBaseRecord &base, QList<JournalEdit> &edits,
                 qint64 &cleanAfter);

// The page's file as a journal names it.
inline QString journalDiskPath(const QString &fileName) {
    return QDir::fromNativeSeparators(fileName);
}

} // namespace vellumo
