#include "editor/document_controller.h"
#include "editor/page_editor.h"

#include "editor/editor_page.h"

#include "document/charset_detection.h"
#include "document/durable_write.h"
#include "document/page_template.h"
#include "editor/insertion_core.h"
#include "editor/journal_replay.h"
#include "editor/page_breaks.h"
#include "editor/page_loader.h"
#include "editor/page_text.h"
#include "editor/recovery_journal.h"
#include "editor/title_dialog.h"
#include "widgets/long_command.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTimer>

#include <optional>

namespace vellumo {

namespace {

const QString QuestionCaption = QStringLiteral("Confirm");
const QString ErrorCaption = QStringLiteral("Vellumo");

} // namespace

DocumentController::DocumentController(InsertionCore &core, Platform &platform, TForm2 &titleDialog,
                                       QWidget *window)
    : QObject(window)
    , m_core(core)
    , m_platform(platform)
    , m_titleDialog(titleDialog)
    , m_window(window)
    , m_watcher(new QFileSystemWatcher(this))
    , m_diskCheck(new QTimer(this)) {
    // Checked once the event loop is free: a program that rewrites the file in
    // several steps is seen once, when it is done.
    m_diskCheck->setSingleShot(true);
    m_diskCheck->setInterval(200);
    connect(m_diskCheck, &QTimer::timeout, this, &DocumentController::checkDiskChanges);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        if (!m_diskCheck->isActive())
            m_diskCheck->start();
    });
}

bool DocumentController::isModified() const {
    return m_core.editor()->document()->isModified();
}

void DocumentController::markClean(const PageFingerprint &opened) {
    m_core.editor()->document()->setModified(false);
    Q_EMIT saveWanted(false);
    rememberDiskState();
    restartJournal(opened);
    Q_EMIT pageChanged();
}

void DocumentController::setRecoveryJournal(RecoveryJournal *journal) {
    m_journal = journal;
    restartJournal();
}

void DocumentController::restartJournal(const PageFingerprint &opened) {
    if (m_journal == nullptr)
        return;
    const bool modified = isModified();
    // A page with unsaved changes goes into the journal whole at once; a clean
    // one is journalled from its file, or from itself at its first change.
    m_journal->follow(m_core.editor()->document(), CurrentFileName, format,
                      modified                              ? JournalBase::SnapshotNow
                      : CurrentFileName == UntitledFileName ? JournalBase::Snapshot
                                                            : JournalBase::File,
                      opened);
}

void DocumentController::showRecoveredPage(RecoveredPage &&page) {
    attachPageDocument(m_core.editor(), std::move(page.document));
    Q_EMIT pageReplaced();
    format = page.format;
    m_originalLines = std::move(page.originalLines);
    forgetAnswers();
    m_cameInAscii = isAsciiOnly(pageText());
    CurrentFileName = page.fileName;
    rememberDiskState();
    m_core.editor()->document()->setModified(true);
    Q_EMIT saveWanted(true);
    restartJournal();
    Q_EMIT pageChanged();
}

RecoveredPage DocumentController::recoverJournal(const QString &path) const {
    return vellumo::recoverJournal(path, *m_core.editor()->document());
}

bool DocumentController::linesKeepOtherBreaks() const {
    const char usual = format.lineBreaks == LineBreakStyle::CRLF ? BreakCRLF
                       : format.lineBreaks == LineBreakStyle::CR ? BreakCR
                                                                 : BreakLF;
    // A page whose lines all keep the usual break leaves its blocks untagged.
    const QTextDocument *document = m_core.editor()->document();
    for (QTextBlock block = document->begin(); block.isValid() && block.next().isValid();
         block = block.next()) {
        const char kind = lineBreakKindOf(block);
        if ((kind == BreakLF || kind == BreakCRLF || kind == BreakCR) && kind != usual)
            return true;
    }
    return false;
}

QString DocumentController::pageText() const {
    return m_core.page().snapshot();
}

void DocumentController::New1Click() {
    const bool discard =
        !isModified() ||
        m_platform.ask(m_window, QuestionCaption,
                       QStringLiteral("Are you sure you want to discard the changes?"),
                       QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (discard)
        NewPage();
    TitleCancelled = false;
}

void DocumentController::NewPage() {
    if (m_titleDialog.exec() == TForm2::CancelledByButton)
        TitleCancelled = true;
    const bool upper = m_core.IsUpperTagCase();
    const QString page =
        TitleCancelled ? pageTemplate(upper) : pageTemplate(upper, m_titleDialog.title());
    CurrentFileName = UntitledFileName;
    format = newPageFormat();
    m_originalLines = {};
    forgetAnswers();
    m_cameInAscii = isAsciiOnly(page);
    // The new text takes the format at the caret, which after the greyed maker
    // comment is grey: the new page starts from plain text instead.
    m_core.editor()->setCurrentCharFormat(QTextCharFormat());
    m_core.editor()->setPlainText(page);
    m_core.editorPage().newPageShown();
    Q_EMIT pageReplaced();
    markClean();
    TitleCancelled = false;
    m_titleDialog.clearTitle();
}

FileChooserRequest DocumentController::pageChooser(const QString &lastChosen) const {
    FileChooserRequest request;
    request.filters = {QStringLiteral("HTML Files (*.htm *.html)"),
                       QStringLiteral("All Files (*)")};
    request.defaultSuffix = QStringLiteral("htm");
    request.startFolder = lastChosen;
    return request;
}

bool DocumentController::mayDiscardChanges() {
    return !isModified() ||
           m_platform.ask(m_window, QuestionCaption,
                          QStringLiteral("Are you sure you want to discard the changes?"),
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool DocumentController::openAfterAsking(const QString &path) {
    return mayDiscardChanges() && openFile(path);
}

void DocumentController::Open1Click() {
    if (!mayDiscardChanges())
        return;
    const QString path = m_platform.chooseOpenFile(m_window, pageChooser(m_lastOpened));
    if (path.isEmpty())
        return;
    m_lastOpened = path;
    openFile(path);
}

bool DocumentController::openOrName(const QString &path) {
    const QFileInfo file(path);
    if (file.exists())
        return openFile(path);
    if (!confirmOpenElsewhere(path, QStringLiteral("Open it here as well?")))
        return false;
    CurrentFileName = QDir::toNativeSeparators(file.absoluteFilePath());
    format = newPageFormat();
    markClean();
    return true;
}

bool DocumentController::confirmOpenElsewhere(const QString &path, const QString &question) {
    // Reloading the page in this window is no news to anyone.
    const QString wanted = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (m_journal == nullptr || wanted == CurrentFileName || !m_journal->pageOpenElsewhere(path))
        return true;
    // Both windows may save: the one that saves second is told the file changed
    // on disk and asked before it writes over it.
    return m_platform.ask(m_window, QuestionCaption,
                          QStringLiteral("%1 is already open in another Vellumo window.\n\n%2")
                              .arg(wanted, question),
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool DocumentController::openFile(const QString &path, std::optional<TextEncoding> encoding) {
    if (!confirmOpenElsewhere(path, QStringLiteral("Open it here as well?")))
        return false;
    // While a big page goes in, the window keeps painting; once the wait becomes
    // noticeable a progress window says how far it got and offers Cancel, which
    // leaves the page in the editor as it was.
    LongCommand progress(m_window, QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()),
                         400);
    // Reading and decoding happen on a worker thread while the window keeps
    // painting; the keys and clicks wait for the new page.
    std::optional<PageRead> read = readPageFileAside(
        path, [&progress] { return progress.step(0, 1); }, encoding);
    if (!read)
        return false; // cancelled: the page in the editor stays as it was
    if (!read->reason.isEmpty()) {
        m_platform.showError(m_window, ErrorCaption,
                             QStringLiteral("Cannot open file %1.\n%2")
                                 .arg(QDir::toNativeSeparators(path), read->reason));
        return false;
    }
    if (refuseBinaryFile(path, read->binaryKind)) // durability: before the page is replaced
        return false;
    std::unique_ptr<QTextDocument> document = buildPageDocument(
        std::move(read->page.text), *m_core.editor()->document(),
        {.betweenSlices = [&progress](qsizetype done,
                                      qsizetype total) { return progress.step(done, total); },
         .lineStates = true});
    if (!document)
        return false; // cancelled: the page in the editor stays as it was
    applyLineBreakKinds(document.get(), read->page.lineBreakKinds); // durability
    attachPageDocument(m_core.editor(), std::move(document));
    Q_EMIT pageReplaced();
    format = read->page.format;
    m_originalLines = std::move(read->page.originalLines);
    forgetAnswers();
    m_askAboutDeclaration = encoding.has_value();
    m_cameInAscii = read->asciiOnly;
    QString note = std::move(read->page.note);
    if (note.isEmpty() && encoding)
        note = QStringLiteral("The page was read again as %1.").arg(encodingName(*encoding));
    const PageFingerprint fingerprint = read->fingerprint;
    read.reset();
    CurrentFileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    markClean(fingerprint);
    Q_EMIT fileUsed(CurrentFileName);
    if (!note.isEmpty())
        Q_EMIT notice(note);
    return true;
}

bool DocumentController::reopenWithEncoding(const QString &name) {
    const std::optional<TextEncoding> encoding = encodingForLabel(name.toLatin1());
    if (!encoding) {
        m_platform.showError(m_window, ErrorCaption,
                             QStringLiteral("There is no encoding named \"%1\".").arg(name));
        return false;
    }
    if (CurrentFileName == UntitledFileName) {
        m_platform.showInformation(m_window, ErrorCaption,
                                   QStringLiteral("The page has not been saved yet, so there is "
                                                  "no file to read again in %1.")
                                       .arg(encodingName(*encoding)));
        return false;
    }
    if (isModified() &&
        m_platform.ask(m_window, QuestionCaption,
                       QStringLiteral("Reading the page again in %1 discards your unsaved "
                                      "changes.\nAre you sure you want to discard the changes?")
                           .arg(encodingName(*encoding)),
                       QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    return openFile(QDir::fromNativeSeparators(CurrentFileName), encoding);
}

bool DocumentController::setSaveEncoding(const QString &name, bool byteOrderMark) {
    const std::optional<TextEncoding> encoding = encodingForLabel(name.toLatin1());
    if (!encoding) {
        m_platform.showError(m_window, ErrorCaption,
                             QStringLiteral("There is no encoding named \"%1\".").arg(name));
        return false;
    }
    const bool mark =
        !isAsciiCompatible(*encoding) || (byteOrderMark && *encoding == TextEncoding::Utf8);
    if (*encoding == format.encoding && mark == format.byteOrderMark)
        return true;
    if (*encoding != format.encoding)
        changeEncoding(*encoding);
    format.byteOrderMark = mark;
    // Nothing of the text changed, but the file will: there is something to save.
    m_core.editor()->document()->setModified(true);
    Q_EMIT saveWanted(true);
    restartJournal();
    Q_EMIT pageChanged();
    Q_EMIT notice(QStringLiteral("The page will be saved as %1.").arg(encodingName(*encoding)));
    return true;
}

namespace {

// Changing the page's line breaks, as a step of the editor's undo history.
class LineBreakChange final : public QAbstractUndoItem {
public:
    LineBreakChange(DocumentController &controller, QTextDocument *document, LineBreakStyle before,
                    QByteArray kindsBefore, LineBreakStyle after)
        : m_controller(controller)
        , m_document(document)
        , m_before(before)
        , m_kindsBefore(std::move(kindsBefore))
        , m_after(after) {}

    void undo() override { apply(m_before, m_kindsBefore); }
    void redo() override { apply(m_after, {}); }

    void apply(LineBreakStyle style, const QByteArray &kinds) {
        m_controller.format.lineBreaks = style;
        clearLineBreakKinds(m_document);
        applyLineBreakKinds(m_document, kinds);
        Q_EMIT m_controller.pageChanged();
    }

private:
    DocumentController &m_controller;
    QTextDocument *m_document;
    LineBreakStyle m_before;
    QByteArray m_kindsBefore;
    LineBreakStyle m_after;
};

} // namespace

void DocumentController::setLineBreaks(LineBreakStyle style) {
    QTextDocument *document = m_core.editor()->document();
    QByteArray kinds = lineBreakKinds(document);
    if (style == format.lineBreaks && kinds.isEmpty())
        return;
    auto *change = new LineBreakChange(*this, document, format.lineBreaks, std::move(kinds), style);
    change->redo();
    document->appendUndoItem(change);
    document->setModified(true);
    Q_EMIT saveWanted(true);
    restartJournal();
}

void DocumentController::changeEncoding(TextEncoding encoding) {
    format.encoding = encoding;
    // Browsers read UTF-16 only by its mark; UTF-8 needs none.
    format.byteOrderMark = !isAsciiCompatible(encoding);
    format.declaredLabel.clear();
    m_encodingChanged = true;
    m_referencesChosen = m_undeclaredKept = false;
}

void DocumentController::forgetAnswers() {
    m_encodingChanged = m_referencesChosen = m_askAboutDeclaration = m_undeclaredKept = false;
}

QString DocumentController::pageHead(qsizetype length) const {
    // The first blocks are enough, and a block's position is its offset in the
    // page's text.
    QTextDocument *document = m_core.editor()->document();
    QString head;
    for (QTextBlock block = document->begin(); block.isValid() && head.size() < length;
         block = block.next())
        head += block.text() + u'\n';
    return head;
}

CharsetDeclaration DocumentController::pageDeclaration() const {
    // The declaration counts only near the start.
    return findCharsetDeclaration(QStringView(pageHead(1024)));
}

std::optional<bool> DocumentController::declarationWanted(const QString &text) {
    // Only characters the page did not hold when it came in: a page that did was
    // shown as it is by its server or its readers before it met the editor.
    if (!m_cameInAscii || m_undeclaredKept || format.byteOrderMark ||
        format.encoding == TextEncoding::Windows1252 || !isAsciiCompatible(format.encoding) ||
        pageDeclaration().found())
        return false;
    const auto nonAscii =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0x7F; });
    if (nonAscii == text.cend())
        return false;
    // Typed, pasted or inserted by a dialog, such characters would show wrongly in
    // a browser, which reads a page that says nothing as windows-1252.
    const QString encoding = encodingName(format.encoding);
    switch (m_platform.ask(
        m_window, QuestionCaption,
        QStringLiteral("The page does not say which encoding it is in, so browsers read it as "
                       "windows-1252 unless its server says otherwise: its characters outside "
                       "ASCII, such as \"%1\", would show wrongly.\n\n"
                       "Yes: declare the page's encoding (%2) in the page.\n"
                       "No: save the page as it is (not asked again for this page).\n"
                       "Cancel: do not save now.")
            .arg(QString(nonAscii->isSurrogate() ? text.mid(nonAscii - text.cbegin(), 2)
                                                 : QString(*nonAscii)),
                 encoding),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return true;
    case QMessageBox::No:
        m_undeclaredKept = true;
        return false;
    default:
        return std::nullopt;
    }
}

bool DocumentController::addDeclaration() {
    const QString name = encodingName(format.encoding);
    const std::optional<RangeEdit> edit = charsetDeclarationEdit(pageHead(4096), name);
    if (!edit)
        return false;
    m_core.ReplaceRange(edit->start, edit->start, edit->text);
    format.declaredLabel = name.toLatin1();
    return true;
}

std::optional<bool> DocumentController::declarationFollows() {
    if (m_encodingChanged)
        return true;
    const CharsetDeclaration declaration = pageDeclaration();
    if (!m_askAboutDeclaration || !declaration.found() ||
        encodingForLabel(declaration.label) == format.encoding)
        return false;
    // The user read the page again in another encoding than it declares: a browser
    // would read the saved file by the declaration, so the user says which is right.
    switch (m_platform.ask(
        m_window, QuestionCaption,
        QStringLiteral("The page declares its encoding as %1, but it is saved as %2.\n\n"
                       "Yes: change the declaration to %2.\n"
                       "No: keep the declaration as it is.\nCancel: do not save now.")
            .arg(QString::fromLatin1(declaration.label), encodingName(format.encoding)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return true;
    case QMessageBox::No:
        m_askAboutDeclaration = false;
        return false;
    default:
        return std::nullopt;
    }
}

bool DocumentController::updateDeclaration() {
    const CharsetDeclaration declaration = pageDeclaration();
    if (!declaration.found() || encodingForLabel(declaration.label) == format.encoding)
        return false;
    // Written in the style of the label it replaces.
    QString name = encodingName(format.encoding);
    const QString old = QString::fromLatin1(declaration.label);
    if (old == old.toLower())
        name = name.toLower();
    else if (old == old.toUpper())
        name = name.toUpper();
    m_core.ReplaceRange(static_cast<int>(declaration.from),
                        static_cast<int>(declaration.from + declaration.length), name);
    format.declaredLabel = name.toLatin1();
    return true;
}

bool DocumentController::refuseBinaryFile(const QString &path, const QString &kind) {
    if (kind.isEmpty())
        return false;
    m_platform.showError(m_window, ErrorCaption,
                         QStringLiteral("Cannot open file %1.\nIt looks like %2, not a text page.\n"
                                        "The page in the editor was not changed.")
                             .arg(QDir::toNativeSeparators(path), kind));
    return true;
}

bool DocumentController::settleEncoding() {
    if (m_referencesChosen)
        return true;
    const std::optional<char32_t> example = firstUnencodable(
        pageText(), format, lineBreakKinds(m_core.editor()->document()), m_originalLines);
    if (!example)
        return true;
    const QString encoding = displayName(format);
    switch (m_platform.ask(
        m_window, QuestionCaption,
        QStringLiteral("The page contains characters that %1 cannot hold, such as \"%2\".\n\n"
                       "Yes: save the page as UTF-8 (its charset declaration is changed to "
                       "match).\n"
                       "No: keep %1 and write those characters as numeric character references "
                       "(&#%3;).\nCancel: do not save now.")
            .arg(encoding, QString::fromUcs4(&*example, 1), QString::number(*example)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        changeEncoding(TextEncoding::Utf8);
        return true;
    case QMessageBox::No:
        m_referencesChosen = true;
        return true;
    default:
        return false;
    }
}

bool DocumentController::writeTo(const QString &path) {
    const PageFormat before = format;
    const bool encodingChangedBefore = m_encodingChanged;
    if (!settleEncoding())
        return false;
    const std::optional<bool> follows = declarationFollows();
    if (!follows)
        return false;
    // The declaration changes in the same save as the encoding, as one undo step.
    const bool declarationChanged = *follows && updateDeclaration();
    QString text = pageText();
    const std::optional<bool> declare = declarationWanted(text);
    if (!declare) {
        if (declarationChanged)
            m_core.editor()->document()->undo();
        format = before;
        m_encodingChanged = encodingChangedBefore;
        return false;
    }
    const bool declarationAdded = *declare && addDeclaration();
    if (declarationAdded)
        text = pageText();
    QTextDocument *document = m_core.editor()->document();
    const QByteArray bytes = encodePage(text, format, lineBreakKinds(document), m_originalLines);
    const WriteOutcome outcome = writeFileDurably(path, bytes);
    if (outcome.ok()) {
        if (declarationChanged)
            Q_EMIT notice(
                QStringLiteral("Saved as %1; the page's charset declaration now says "
                               "%2.")
                    .arg(encodingName(format.encoding), QString::fromLatin1(format.declaredLabel)));
        if (declarationAdded)
            Q_EMIT notice(QStringLiteral("Saved as %1; the page now declares its encoding, which "
                                         "browsers would otherwise take for windows-1252.")
                              .arg(encodingName(format.encoding)));
        return true;
    }
    if (declarationChanged || declarationAdded)
        document->undo();
    format = before;
    m_encodingChanged = encodingChangedBefore;
    QString fate = QStringLiteral("The file on disk was not changed.");
    if (!outcome.oldFileKept)
        fate = outcome.backupPath.isEmpty()
                   ? QStringLiteral("The file on disk may be incomplete; the page is still here "
                                    "in the editor.")
                   : QStringLiteral("The old contents are kept in %1.")
                         .arg(QDir::toNativeSeparators(outcome.backupPath));
    m_platform.showError(m_window, ErrorCaption,
                         QStringLiteral("Cannot save file %1.\n%2\n%3")
                             .arg(QDir::toNativeSeparators(path), outcome.reason, fate));
    return false;
}

bool DocumentController::Save1Click() {
    if (CurrentFileName == UntitledFileName)
        return Saveas1Click();
    if (!confirmOverwriteOfNewerFile() || !writeTo(CurrentFileName))
        return false;
    markClean();
    Q_EMIT fileUsed(CurrentFileName);
    return true;
}

bool DocumentController::Saveas1Click() {
    FileChooserRequest request = pageChooser(m_lastSaved);
    request.confirmOverwrite = true;
    const QString path = m_platform.chooseSaveFile(m_window, request);
    if (path.isEmpty() ||
        !confirmOpenElsewhere(path, QStringLiteral("Save this page over it anyway?")))
        return false;
    m_lastSaved = path;
    if (!writeTo(path))
        return false;
    CurrentFileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    markClean();
    Q_EMIT fileUsed(CurrentFileName);
    return true;
}

bool DocumentController::FormCloseQuery() {
    // A clean close leaves no recovery journal behind.
    const auto closeCleanly = [this] {
        if (m_journal != nullptr)
            m_journal->discard();
        return true;
    };
    if (!isModified())
        return closeCleanly();
    switch (m_platform.ask(m_window, QuestionCaption,
                           QStringLiteral("Do you want to save the changes?"),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::No:
        return closeCleanly();
    case QMessageBox::Yes:
        // The window closes once the page is safely saved, and stays open otherwise.
        return Save1Click() && closeCleanly();
    default:
        return false;
    }
}

void DocumentController::rememberDiskState() {
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    if (CurrentFileName == UntitledFileName) {
        m_diskIdentity = m_reportedIdentity = {};
        return;
    }
    m_diskIdentity = m_reportedIdentity = diskIdentity(CurrentFileName);
    // A save renames a new file into place, so the watch is set again each time.
    if (m_diskIdentity.exists)
        m_watcher->addPath(CurrentFileName);
}

bool DocumentController::confirmOverwriteOfNewerFile() {
    const DiskIdentity now = diskIdentity(CurrentFileName);
    // A deleted file is simply written again.
    if (!now.exists || !m_diskIdentity.exists || now == m_diskIdentity)
        return true;
    return m_platform.ask(m_window, QuestionCaption,
                          QStringLiteral("The file %1 was changed by another program after it was "
                                         "opened or last saved here.\nDo you want to overwrite it "
                                         "with the page in the editor?")
                              .arg(QDir::toNativeSeparators(CurrentFileName)),
                          QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void DocumentController::checkDiskChanges() {
    if (m_checkingDisk || CurrentFileName == UntitledFileName || !m_diskIdentity.exists)
        return;
    const DiskIdentity now = diskIdentity(CurrentFileName);
    if (now == m_reportedIdentity)
        return;
    m_reportedIdentity = now;
    m_checkingDisk = true;
    const QString name = QDir::toNativeSeparators(CurrentFileName);
    if (!now.exists) {
        // Nothing is lost: the page stays, marked as changed, for the user to save.
        m_core.editor()->document()->setModified(true);
        Q_EMIT saveWanted(true);
        m_platform.showInformation(
            m_window, ErrorCaption,
            QStringLiteral("The file %1 was deleted or moved by another program.\nThe page is "
                           "still here in the editor; save it to write the file again.")
                .arg(name));
    } else {
        if (!m_watcher->files().contains(CurrentFileName))
            m_watcher->addPath(CurrentFileName);
        const QString loss =
            isModified() ? QStringLiteral("\nYour unsaved changes in the editor would be lost.")
                         : QString();
        if (m_platform.ask(m_window, QuestionCaption,
                           QStringLiteral("The file %1 was changed by another program.\nDo you "
                                          "want to reload it?%2")
                               .arg(name, loss),
                           QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            openFile(CurrentFileName);
    }
    m_checkingDisk = false;
}

} // namespace vellumo
