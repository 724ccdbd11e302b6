#pragma once

#include <QByteArray>

namespace vellumo {

// Makes the renames and new names in `folder` durable (fsync of the folder).
// Returns 0 or the errno; file systems that cannot flush a folder (EINVAL) count
// as done, and so does a system without the notion.
int syncFolder(const QByteArray &folder);

} // namespace vellumo
