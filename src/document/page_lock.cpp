#include "document/page_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace vellumo {

namespace {

// The same page reached through a symbolic link or a relative name is the same
// page; a page not yet saved is known by the name it will be saved under.
QString pageKey(const QString &path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

std::unique_ptr<QLockFile> lockFor(const QString &file) {
    auto lock = std::make_unique<QLockFile>(file);
    // A running copy's lock never goes stale, however long the page stays open.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

PageLock::PageLock(QString folder)
    : m_folder(std::move(folder)) {
}

PageLock::~PageLock() = default;

QString PageLock::lockFilePath(const QString &folder, const QString &path) {
    const QString key = pageKey(path);
    // The page's own name first, so a person looking into the folder sees which
    // pages are open; the hash of the whole path keeps two index.htm apart.
    const QByteArray hash =
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QFileInfo(key).fileName().left(120);
    return QDir(folder).filePath(
        QStringLiteral("%1.%2.open.lock").arg(name, QString::fromLatin1(hash)));
}

bool PageLock::hold(const QString &path) {
    const QString key = pageKey(path);
    if (m_lock && key == m_page)
        return true;
    release();
    if (m_folder.isEmpty() || !QDir().mkpath(m_folder))
        return false;
    auto lock = lockFor(lockFilePath(m_folder, key));
    // tryLock clears the lock of a copy that is no longer running.
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    m_page = key;
    return true;
}

void PageLock::release() {
    m_lock.reset(); // unlocks: the lock file goes
    m_page.clear();
}

bool PageLock::heldElsewhere(const QString &path, qint64 *owner) const {
    const QString key = pageKey(path);
    if (m_lock && key == m_page)
        return false;
    const QString file = lockFilePath(m_folder, key);
    if (!QFileInfo::exists(file))
        return false;
    auto probe = lockFor(file);
    if (probe->tryLock(0)) {
        probe->unlock(); // its copy was gone: the lock is cleared on the way
        return false;
    }
    if (probe->error() != QLockFile::LockFailedError)
        return false; // unreadable or unwritable folder: nothing to go by
    if (owner != nullptr) {
        QString host;
        QString application;
        if (!probe->getLockInfo(owner, &host, &application))
            *owner = 0;
    }
    return true;
}

} // namespace vellumo
