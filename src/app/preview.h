#pragma once

#include <QString>

class QWidget;

namespace vellumo {

class DocumentController;
class Page;
class Platform;

// The question asked before a page that is untitled or changed can be previewed.
inline const QString PreviewSaveQuestion =
    QStringLiteral("You have to save the project before you can view it in the browser.\n"
                   "Do you want to save it now?");

// Preview in Browser: opens the page's file as stored on disk, saving it first
// when the user agrees. The browser is only started on a file that is saved and
// unchanged, so it never shows an older copy; when no browser can be started the
// user is told so.
void previewInBrowser(DocumentController &document, const Page &page, Platform &platform,
                      QWidget *window);

// The companion programs, looked up in the start-up folder first, then in the
// program's own data folders; "Update.exe" and "Ftp.exe" on Windows. A missing
// program does nothing and says nothing; one that is there but cannot be started
// is reported in an error box on `window` (the active window when null).
QString companionProgramPath(const QString &startupFolder, const QString &baseName);
void startUpdateProgram(Platform &platform, const QString &startupFolder,
                        QWidget *window = nullptr);
void startFtpProgram(Platform &platform, const QString &startupFolder, QWidget *window = nullptr);

} // namespace vellumo
