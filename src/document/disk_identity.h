#pragma once

#include <QString>
#include <QtGlobal>

namespace vellumo {

// What a file on disk looks like from outside: enough to notice that another
// program changed, replaced or deleted it, without reading it.
struct DiskIdentity {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    friend bool operator==(const DiskIdentity &, const DiskIdentity &) = default;
};

// The identity of the file at `path` now (symbolic links followed).
DiskIdentity diskIdentity(const QString &path);

} // namespace vellumo
