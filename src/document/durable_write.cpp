#include "document/durable_write.h"

#include "platform/folder_sync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace vellumo {

#ifdef Q_OS_UNIX

namespace {

// One write call never carries more than this, so a huge page is not one
// enormous system call and a short write is retried in reasonable steps.
constexpr qsizetype WriteChunk = qsizetype{1024} * 1024;

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class FileHandle {
public:
    explicit FileHandle(int fd = -1)
        : m_fd(fd) {}
    ~FileHandle() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;

    int get() const { return m_fd; }
    // Closes now and reports the error, since close can be the first to notice
    // that written data did not reach the disk (NFS, some FUSE file systems).
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// 0, or the errno of the failing call.
int writeAll(int fd, const QByteArray &bytes) {
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min(left, WriteChunk)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        left -= n;
    }
    return 0;
}

int syncFile(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

QByteArray folderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

// The file a path finally names, following symbolic links (also a dangling one,
// so that saving creates the file the link points at).
QByteArray resolveLinks(QByteArray path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(static_cast<qsizetype>(st.st_size > 0 ? st.st_size : 4096) + 1,
                          Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), target.data(), target.size());
        if (n < 0 || n >= target.size())
            return path;
        target.truncate(n);
        path = target.startsWith('/') ? target : folderOf(path) + '/' + target;
    }
    return path;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The temporary-file-and-rename write. `existing` is the target's status when it
// exists. Returns false with `outcome` filled when it fails; sets `ownerKept` to
// false (and writes nothing) when the old owner could not be given to the new file.
bool replaceWhole(const QByteArray &target, const QByteArray &bytes, const struct stat *existing,
                  WriteOutcome &outcome, bool &ownerKept) {
    ownerKept = true;
    const QByteArray folder = folderOf(target);
    QByteArray name = target.mid(target.lastIndexOf('/') + 1);
    QByteArray temporary = folder + "/." + name + ".XXXXXX";
    FileHandle fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        outcome.reason = errorText(errno);
        return false;
    }
    auto fail = [&](int error) {
        outcome.reason = errorText(error);
        ::unlink(temporary.constData());
        return false;
    };
    if (::fchmod(fd.get(), existing ? (existing->st_mode & 07777) : newFileMode()) != 0)
        return fail(errno);
    if (existing && (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
        ::fchown(fd.get(), existing->st_uid, existing->st_gid) != 0) {
        ownerKept = false;
        ::unlink(temporary.constData());
        return false;
    }
    if (const int error = writeAll(fd.get(), bytes))
        return fail(error);
    if (const int error = syncFile(fd.get()))
        return fail(error);
    if (const int error = fd.close())
        return fail(error);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);
    if (const int error = syncFolder(folder)) {
        outcome.reason = QStringLiteral("The new contents were written, but the folder could not "
                                        "be flushed to disk: %1")
                             .arg(errorText(error));
        outcome.oldFileKept = false;
        return false;
    }
    return true;
}

int readAll(int fd, QByteArray &bytes) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        bytes.append(buffer, n);
    }
}

// Rewrites `fd` from its start with `bytes`, cutting off what is left over.
int rewrite(int fd, const QByteArray &bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    if (const int error = writeAll(fd, bytes))
        return error;
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        return errno;
    return syncFile(fd);
}

// Where the safety copy of `target` goes: beside it when its folder may be written,
// otherwise in `spareFolder`, named after the whole path so that two pages of the
// same name never share a copy.
QByteArray safetyCopyPath(const QByteArray &target, const QString &spareFolder) {
    if (::access(folderOf(target).constData(), W_OK | X_OK) == 0 || spareFolder.isEmpty())
        return target + '~';
    const QByteArray folder = QFile::encodeName(spareFolder);
    QDir().mkpath(spareFolder);
    return folder + '/' + target.toPercentEncoding() + '~';
}

// For a target that must keep its inode (hard links, an owner we cannot give
// away, a folder that takes no new file): a whole copy of the old contents first,
// then the rewrite in place.
WriteOutcome writeInPlace(const QByteArray &target, const QByteArray &bytes,
                          const QString &spareFolder) {
    WriteOutcome outcome;
    FileHandle fd(::open(target.constData(), O_RDWR | O_CLOEXEC));
    if (fd.get() < 0) {
        outcome.reason = errorText(errno);
        return outcome;
    }
    QByteArray old;
    if (const int error = readAll(fd.get(), old)) {
        outcome.reason = errorText(error);
        return outcome;
    }
    const QByteArray backup = safetyCopyPath(target, spareFolder);
    bool ownerKept = true;
    if (!replaceWhole(backup, old, nullptr, outcome, ownerKept)) {
        outcome.reason = QStringLiteral("The safety copy %1 could not be written: %2")
                             .arg(QFile::decodeName(backup), outcome.reason);
        outcome.oldFileKept = true;
        return outcome;
    }
    if (const int error = rewrite(fd.get(), bytes)) {
        outcome.reason = errorText(error);
        // Put the old contents back; the safety copy stays if even that fails.
        outcome.oldFileKept = rewrite(fd.get(), old) == 0;
        if (outcome.oldFileKept)
            ::unlink(backup.constData());
        else
            outcome.backupPath = QFile::decodeName(backup);
        return outcome;
    }
    if (const int error = fd.close()) {
        outcome.reason = errorText(error);
        outcome.oldFileKept = false;
        outcome.backupPath = QFile::decodeName(backup);
        return outcome;
    }
    ::unlink(backup.constData());
    syncFolder(folderOf(backup));
    return outcome;
}

} // namespace

WriteOutcome writeFileDurably(const QString &path, const QByteArray &bytes,
                              const QString &spareFolder) {
    WriteOutcome outcome;
    const QByteArray target = resolveLinks(QFile::encodeName(path));
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT) {
        outcome.reason = errorText(errno);
        return outcome;
    }
    if (exists) {
        if (S_ISDIR(st.st_mode)) {
            outcome.reason = QStringLiteral("It is a folder, not a file.");
            return outcome;
        }
        if (!S_ISREG(st.st_mode)) {
            outcome.reason = QStringLiteral("It is not an ordinary file.");
            return outcome;
        }
        // Renaming over a file would succeed even where writing it may not;
        // the file's own protection decides, also for the administrator.
        if ((st.st_mode & 0222) == 0) {
            outcome.reason = QStringLiteral("The file is read-only.");
            return outcome;
        }
        if (::access(target.constData(), W_OK) != 0) {
            outcome.reason = errorText(errno);
            return outcome;
        }
        // A file the user may write keeps being writable where its folder is
        // not: editors people use write it in place, and so does this one.
        if (st.st_nlink > 1 ||
            (::access(folderOf(target).constData(), W_OK) != 0 && errno == EACCES))
            return writeInPlace(target, bytes, spareFolder);
    }
    bool ownerKept = true;
    if (replaceWhole(target, bytes, exists ? &st : nullptr, outcome, ownerKept))
        return {};
    if (!ownerKept)
        return writeInPlace(target, bytes, spareFolder);
    return outcome;
}

#else

WriteOutcome writeFileDurably(const QString &path, const QByteArray &bytes, const QString &) {
    WriteOutcome outcome;
    const QFileInfo info(path);
    QSaveFile file(info.isSymLink() ? info.symLinkTarget() : path);
    // Never fall back to writing over the old file in place: a failure half way
    // would leave it truncated.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.reason = file.errorString();
        return outcome;
    }
    // QSaveFile can still commit after a failed buffered write, so every step is
    // checked before the rename.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        outcome.reason = file.errorString();
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit())
        outcome.reason = file.errorString();
    return outcome;
}

#endif

QString safetyCopyFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/safety copies");
}

} // namespace vellumo
