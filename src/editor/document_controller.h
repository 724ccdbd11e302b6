#pragma once

#include "document/charset_detection.h"
#include "document/disk_identity.h"
#include "document/page_file.h"
#include "editor/recovery_journal.h"
#include "platform/platform.h"

#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QFileSystemWatcher;
class QPlainTextEdit;
class QTimer;
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
    bool openFile(const QString &path) { return openFile(path, std::nullopt); }
    // Reads the page's file again in the encoding `name` ("windows-1251", or any
    // label browsers know), asking first when there are unsaved changes. Returns
    // whether the page was read again.
    bool reopenWithEncoding(const QString &name);
    // The encoding the next saves write the page in; at the next save the page's
    // own charset declaration, when it has one, is changed to match. Returns
    // whether `name` is an encoding this program writes. `byteOrderMark` asks for
    // UTF-8 written with a mark (UTF-16 always has one).
    bool setSaveEncoding(const QString &name, bool byteOrderMark = false);
    // Every line break of the page is written as `style` from now on, lines that
    // kept a kind of their own too: one undo step, and the page counts as changed.
    void setLineBreaks(LineBreakStyle style);
    // The page's encoding as the page itself names it ("ISO-8859-1"), for display.
    QString encodingDisplayName() const { return displayName(format); }
    // A page named when the program is started: opened when its file exists,
    // otherwise the new page in the editor takes its name and is written there at
    // the first Save, as other editors do.
    bool openOrName(const QString &path);
    // The editor's text exactly as the user sees it, non-breaking spaces included.
    QString pageText() const;
    // The page a journal left by an earlier run holds, read into a document like the editor's.
    RecoveredPage recoverJournal(const QString &path) const;
    // Whether some line keeps a break of another kind than the page's usual one.
    bool linesKeepOtherBreaks() const;

    // Asks whether to reload when another program changed, replaced or deleted the
    // page's file since it was opened or saved; each outside change is reported
    // once. The main window calls it when it regains the focus; a watch on the
    // file calls it as soon as the change happens.
    void checkDiskChanges();

    QString CurrentFileName = UntitledFileName;
Q_SIGNALS:
    // Something about the page the status bar should say: how it was read, or
    // that its declaration was changed along with its encoding.
    void notice(const QString &text);
    // The page became another one or was saved: its name, encoding or line breaks may
    // have changed.
    void pageChanged();
    // Another page is in the editor (a new one, one opened, read again or recovered):
    // whatever described the one before (messages, problems, matches) goes with it.
    void pageReplaced();
    // Whether there is something to save: true after a change the page's text does not
    // show (an encoding, line breaks, a recovered or vanished file), false once the page
    // was opened or saved. The Save button follows it.
    void saveWanted(bool wanted);
    // A page file was opened or saved, under its full native path.
    void fileUsed(const QString &path);

public:
    // Whether the Title dialog was left with C&ancel: the new page then gets the
    // plain template. Only ever true while a new page is being made.
    bool TitleCancelled = false;
    PageFormat format = newPageFormat();

private:
    bool openFile(const QString &path, std::optional<TextEncoding> encoding);
    bool isModified() const;
    // A new encoding for the page, chosen by the user; the declaration follows.
    void changeEncoding(TextEncoding encoding);
    // Makes the page's own declaration name its encoding, as one undo step.
    // Returns whether it changed anything.
    bool updateDeclaration();
    // The first `length` characters of the page, or a few more, lines ending in '\n'.
    QString pageHead(qsizetype length) const;
    // The charset declaration near the page's start, if any.
    CharsetDeclaration pageDeclaration() const;
    // Whether the save declares the encoding of a page `text` that says nothing of
    // it and holds characters outside ASCII; nothing when the user cancelled the save.
    std::optional<bool> declarationWanted(const QString &text);
    // Writes a <meta charset> naming the page's encoding into it, as one undo step.
    bool addDeclaration();
    // The answers the user gave about this page's encoding are forgotten.
    void forgetAnswers();
    // Whether the save changes the declaration to the page's encoding; nothing when the
    // user cancelled the save.
    std::optional<bool> declarationFollows();
    // Unsaved work is never replaced without a question: whether the user let it go.
    bool mayDiscardChanges();
    // `opened` is the fingerprint of the file just opened, when there is one.
    void markClean(const PageFingerprint &opened = {});
    void restartJournal(const PageFingerprint &opened = {});
    bool writeTo(const QString &path);
    bool settleEncoding();
    bool confirmOverwriteOfNewerFile();
    // Whether to go on with `path` when another running copy has it open: asks
    // `question` after saying so.
    bool confirmOpenElsewhere(const QString &path, const QString &question);
    bool refuseBinaryFile(const QString &path, const QString &kind);
    void rememberDiskState();
    FileChooserRequest pageChooser(const QString &lastChosen) const;

    InsertionCore &m_core;
    Platform &m_platform;
    TForm2 &m_titleDialog;
    QWidget *m_window;
    // The bytes of the lines the page's encoding would not write back the same.
    OriginalLines m_originalLines;
    // The user changed the page's encoding since it was opened: its declaration
    // is brought in line at the next save.
    bool m_encodingChanged = false;
    // The user chose to keep the encoding and write references for what it
    // cannot hold; not asked again until the page or its encoding changes.
    bool m_referencesChosen = false;
    // The page was read again in an encoding the user named: a declaration naming
    // another is offered to follow at the next save, until the user keeps it.
    bool m_askAboutDeclaration = false;
    // The user chose to save the page without declaring its encoding, though it
    // holds characters outside ASCII; not asked again until the page changes.
    bool m_undeclaredKept = false;
    // The page held no character outside ASCII when it was opened, made or recovered.
    bool m_cameInAscii = true;
    RecoveryJournal *m_journal = nullptr;
    QString m_lastOpened;
    QString m_lastSaved;
    // The page's file as it was when last opened or saved, and the last outside
    // change already reported.
    DiskIdentity m_diskIdentity;
    DiskIdentity m_reportedIdentity;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_diskCheck = nullptr; // the check a report of the watch leads to
    bool m_checkingDisk = false;
};

} // namespace vellumo
