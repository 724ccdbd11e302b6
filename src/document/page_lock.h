#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace vellumo {

// Tells the running copies of the program which pages they have open: a copy
// holds a lock file for its page in the recovery folder, named after the page,
// for as long as the page is in its window. A lock whose copy is gone (crashed or
// killed) counts for nothing and is cleared by the next copy that looks.
class PageLock {
public:
    explicit PageLock(QString folder);
    ~PageLock();
    PageLock(const PageLock &) = delete;
    PageLock &operator=(const PageLock &) = delete;

    // Holds the lock for the page at `path`, giving up the one held before.
    // Returns false when another copy holds it (or the folder cannot be used).
    bool hold(const QString &path);
    void release();
    // The page whose lock is held, or an empty string.
    QString heldPage() const { return m_page; }

    // Whether a running copy other than this lock's holder has the page at `path`
    // open; `owner` receives that copy's process id.
    bool heldElsewhere(const QString &path, qint64 *owner = nullptr) const;

    // The lock file that stands for the page at `path` in `folder`.
    static QString lockFilePath(const QString &folder, const QString &path);

private:
    QString m_folder;
    QString m_page;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vellumo
