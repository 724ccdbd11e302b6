#include "document/disk_identity.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vellumo {

DiskIdentity diskIdentity(const QString &path) {
    DiskIdentity identity;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return identity;
    identity.exists = true;
    identity.size = static_cast<qint64>(st.st_size);
    identity.modifiedNs = static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 +
                          static_cast<qint64>(st.st_mtim.tv_nsec);
    identity.inode = static_cast<quint64>(st.st_ino);
    identity.device = static_cast<quint64>(st.st_dev);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return identity;
    identity.exists = true;
    identity.size = info.size();
    identity.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return identity;
}

} // namespace vellumo
