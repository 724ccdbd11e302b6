#pragma once

#include "editor/disk_identity.h"
#include "editor/page_file.h"
#include "editor/recovery_journal.h"
#include "platform/platform.h"

#include <QObject>
#include <QString>

class QAction;
class QFileSystemWatcher;
class QPlainTextEdit;
class QWidget;

namespace vellumo {

class InsertionCore;
class RecoveryJournal;
struct RecoveredPage;
class TForm2;

inline const QString UntitledFileName = QStringLiteral("Untitled");

// The page's life cycle: New (with its title), Open, Save, Save As and the
// question before closing. It keeps the file's name, its encoding and line-break
// style outside the editor, so a page saved without an edit keeps its bytes.
class DocumentController final : public QObject {
    Q_OBJECT
public:
    DocumentController(InsertionCore &core, Platform &platform, TForm2 &titleDialog,
                       QWidget *window);

    // The toolbar's Save button: a visible hint that there is something to save.
    void setSaveButton(QAction *saveButton) { m_saveButton = saveButton; }
    // The journal that keeps the page's unsaved changes through a crash. It starts
    // afresh whenever the page is clean and goes with a clean close.
    void setRecoveryJournal(RecoveryJournal *journal);
    // Shows a page rebuilt from a journal in place of the current one, under the
    // name it had and marked as changed, so the user decides whether to save it.
    void showRecoveredPage(RecoveredPage &&page);

    void New1Click();
    void NewPage();
    void Open1Click();
    // Both return whether the page is now saved.
    bool Save1Click();
    bool Saveas1Click();
    // Whether the main window may close now (asks about unsaved changes).
    bool FormCloseQuery();

    // Opens `path` as Open does once a file is chosen, after the same question
    // about unsaved changes. Returns whether it is now the page in the editor.
    bool openAfterAsking(const QString &path);
    // Reads `path` into the editor; on failure the page stays as it was and the
    // reason is shown. Returns whether it was opened.
    bool openFile(const QString &path);
    // The editor's text exactly as the user sees it, non-breaking spaces included.
    QString pageText() const;

    // Asks whether to reload when another program changed, replaced or deleted the
    // page's file since it was opened or saved; each outside change is reported
    // once. The main window calls it when it regains the focus; a watch on the
    // file calls it as soon as the change happens.
    void checkDiskChanges();

    QString CurrentFileName = UntitledFileName;
    QString TitleCancelled;
    PageFormat format = newPageFormat();

private:
    bool isModified() const;
    // Unsaved work is never replaced without a question: whether the user let it go.
    bool mayDiscardChanges();
    // `opened` is the fingerprint of the file just opened, when there is one.
    void markClean(const PageFingerprint &opened = {});
    void restartJournal(const PageFingerprint &opened = {});
    bool writeTo(const QString &path);
    bool settleEncoding();
    bool confirmOverwriteOfNewerFile();
    bool refuseBinaryFile(const QString &path, const QString &kind);
    void rememberDiskState();
    FileChooserRequest pageChooser(const QString &lastChosen) const;

    InsertionCore &m_core;
    Platform &m_platform;
    TForm2 &m_titleDialog;
    QWidget *m_window;
    QAction *m_saveButton = nullptr;
    RecoveryJournal *m_journal = nullptr;
    QString m_lastOpened;
    QString m_lastSaved;
    // The page's file as it was when last opened or saved, and the last outside
    // change already reported.
    DiskIdentity m_diskIdentity;
    DiskIdentity m_reportedIdentity;
    QFileSystemWatcher *m_watcher = nullptr;
    bool m_checkingDisk = false;
};

} // namespace vellumo
