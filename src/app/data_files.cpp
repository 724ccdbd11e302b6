#include "app/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vellumo {

QStringList dataFolders(const QString &startupFolder) {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    return {QDir::fromNativeSeparators(startupFolder),
            programFolder.filePath(QStringLiteral("../share/vellumo")),
            programFolder.filePath(QStringLiteral("data"))};
}

QString findDataFile(const QString &startupFolder, const QString &name) {
    for (const QString &folder : dataFolders(startupFolder)) {
        const QFileInfo candidate(QDir(folder).filePath(name));
        if (candidate.isFile())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

} // namespace vellumo
