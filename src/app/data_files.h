#pragma once

#include <QString>
#include <QStringList>

namespace vellumo {

// The folders where the program's own files (logo, tips, help pages, companion
// programs) are looked for, in order: the start-up folder first, then the
// installed data folder, then the data folder of a build tree.
QStringList dataFolders(const QString &startupFolder);

// The first existing `name` in dataFolders(), or an empty string.
QString findDataFile(const QString &startupFolder, const QString &name);

} // namespace vellumo
