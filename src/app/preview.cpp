#include "app/preview.h"

#include "app/data_files.h"
#include "document/page.h"
#include "editor/document_controller.h"
#include "platform/launch_report.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vellumo {

namespace {

void startCompanion(Platform &platform, const QString &startupFolder, const QString &baseName,
                    QWidget *window) {
    const QString path = companionProgramPath(startupFolder, baseName);
    if (!path.isEmpty())
        startProgramOrSay(platform, window, path);
}

} // namespace

void previewInBrowser(DocumentController &document, const Page &page, Platform &platform,
                      QWidget *window) {
    const auto isClean = [&] {
        return document.CurrentFileName != UntitledFileName && !page.isModified();
    };
    const bool go =
        isClean() || (platform.ask(window, QStringLiteral("Confirm"), PreviewSaveQuestion,
                                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes &&
                      document.Save1Click());
    // A save that failed or was cancelled leaves nothing current on disk to show.
    if (go && isClean())
        openInBrowser(platform, window,
                      QUrl::fromLocalFile(QDir::fromNativeSeparators(document.CurrentFileName)));
}

QString companionProgramPath(const QString &startupFolder, const QString &baseName) {
#ifdef Q_OS_WIN
    const QString name = baseName + QStringLiteral(".exe");
#else
    const QString &name = baseName;
#endif
    const QString path = findDataFile(startupFolder, name);
    if (path.isEmpty() || !QFileInfo(path).isExecutable())
        return {};
    return QDir::toNativeSeparators(path);
}

void startUpdateProgram(Platform &platform, const QString &startupFolder, QWidget *window) {
    startCompanion(platform, startupFolder, QStringLiteral("Update"), window);
}

void startFtpProgram(Platform &platform, const QString &startupFolder, QWidget *window) {
    startCompanion(platform, startupFolder, QStringLiteral("Ftp"), window);
}

} // namespace vellumo
