#pragma once

#include <QString>

#include <memory>
#include <vector>

class QLockFile;

namespace vellumo {

// A journal left behind by an instance that is no longer running, locked by this
// instance while it holds it, so two instances starting together never offer the
// same one.
struct OrphanedJournal {
    QString path;
    std::unique_ptr<QLockFile> lock;
};

// The journals in `folder` whose instance ended without cleaning up, newest
// first, `ownPath` excepted. Lock files of dead instances that never wrote a
// journal are cleared on the way.
std::vector<OrphanedJournal> claimOrphanedJournals(const QString &folder, const QString &ownPath);

} // namespace vellumo
