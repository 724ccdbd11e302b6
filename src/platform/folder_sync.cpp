#include "platform/folder_sync.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vellumo {

int syncFolder(const QByteArray &folder) {
#ifdef Q_OS_UNIX
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    while (::fsync(fd) != 0) {
        if (errno != EINTR) {
            error = errno == EINVAL ? 0 : errno;
            break;
        }
    }
    ::close(fd);
    return error;
#else
    Q_UNUSED(folder);
    return 0;
#endif
}

} // namespace vellumo
