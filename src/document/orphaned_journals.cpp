#include "document/orphaned_journals.h"

#include "document/journal_format.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

namespace vellumo {

std::vector<OrphanedJournal> claimOrphanedJournals(const QString &folder, const QString &ownPath) {
    std::vector<OrphanedJournal> orphans;
    const QDir dir(folder);
    const QStringList journals =
        dir.entryList({QStringLiteral("*") + JournalSuffix}, QDir::Files, QDir::Time);
    for (const QString &name : journals) {
        const QString path = dir.filePath(name);
        if (path == ownPath)
            continue;
        auto lock = std::make_unique<QLockFile>(path + JournalLockSuffix);
        lock->setStaleLockTime(0);
        // Taken only when its instance is gone (or it never had a lock).
        if (lock->tryLock(0))
            orphans.push_back({path, std::move(lock)});
    }
    const QStringList locks =
        dir.entryList({QStringLiteral("*") + JournalSuffix + JournalLockSuffix}, QDir::Files);
    for (const QString &name : locks) {
        const QString journal = dir.filePath(name.chopped(JournalLockSuffix.size()));
        if (journal == ownPath || QFile::exists(journal))
            continue;
        QLockFile lock(dir.filePath(name));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock(); // removes the dead instance's lock file
    }
    return orphans;
}

} // namespace vellumo
