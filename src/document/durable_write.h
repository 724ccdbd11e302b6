#pragma once

#include <QByteArray>
#include <QString>

namespace vellumo {

// What became of a write. On failure `reason` says why in words, and
// `oldFileKept` whether the file at the path is still the old one, whole; when it
// is not, `backupPath` names the copy of the old contents that was kept.
struct WriteOutcome {
    QString reason;
    bool oldFileKept = true;
    QString backupPath;

    bool ok() const { return reason.isEmpty(); }
};

// Where the program keeps the safety copies it cannot keep beside a file: a folder
// in its own data folder.
QString safetyCopyFolder();

// Writes `bytes` to `path` so that a crash, a full disk or a failing device at any
// moment leaves either the old file or the new one, whole:
//  - the bytes go to a temporary file in the same folder, which is flushed to disk
//    (a failed flush fails the write) and renamed over the target, and the folder
//    is flushed after the rename;
//  - the target keeps its permissions (and owner, where that can be kept);
//  - a symbolic link is written through to the file it points at;
//  - a file with several hard links is not replaced (that would split the links):
//    its old contents are first copied to "name~" beside it, then it is
//    rewritten in place, and the copy is removed once the new contents are on disk;
//  - a file the user may write in a folder the user may not (no temporary file can
//    be made beside it) is rewritten in place the same way, its safety copy kept
//    in `spareFolder` (created when needed) under a name made of the whole path.
// A file without any write permission, or one the user may not write, is refused.
WriteOutcome writeFileDurably(const QString &path, const QByteArray &bytes,
                              const QString &spareFolder = safetyCopyFolder());

} // namespace vellumo
