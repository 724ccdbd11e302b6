#include "browser/site_panel.h"

#include "browser/file_browser.h"
#include "browser/file_snippets.h"
#include "browser/insert_style_dialog.h"
#include "browser/link_tree.h"
#include "editor/insertion_core.h"
#include "platform/platform.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

namespace vellumo {

SitePanel::SitePanel(InsertionCore &core, Platform &platform, TForm3 &styleDialog, QWidget *window)
    : QObject(window)
    , m_core(core)
    , m_platform(platform)
    , m_styleDialog(styleDialog)
    , m_window(window) {
}

LinkTree *SitePanel::fillWebPagesTab(QWidget *webPagesTab) {
    m_linkTree = new LinkTree(webPagesTab, m_platform);
    connect(m_linkTree, &LinkTree::entryPicked, this, &SitePanel::TreeView1Click);
    return m_linkTree;
}

FileBrowser *SitePanel::fillLinkToFileTab(QWidget *linkToFileTab, const QString &startFolder) {
    m_fileBrowser = new FileBrowser(linkToFileTab, m_platform, startFolder);
    connect(m_fileBrowser, &FileBrowser::filePicked, this, &SitePanel::FileListBox1Click);
    connect(m_fileBrowser, &FileBrowser::fileActivated, this, &SitePanel::FileListBox1DblClick);
    connect(m_fileBrowser->linkButton, &QPushButton::clicked, this, &SitePanel::Button2Click);
    return m_fileBrowser;
}

void SitePanel::installDropHandling(QAbstractScrollArea *editor) {
    m_editor = editor;
    m_editorViewport = editor->viewport();
    editor->setAcceptDrops(true);
    editor->viewport()->setAcceptDrops(true);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
}

void SitePanel::Button2Click() {
    if (FilePicked == PickedList::FileList)
        insertSelectedFile(true, false);
    // One Link To File per pick: the next one needs a new click on a file.
    FilePicked = PickedList::Neither;
}

void SitePanel::insertSelectedFile(bool upper, bool focusAlways) {
    // A folder changed after the pick leaves no file to refer to.
    if (m_fileBrowser == nullptr || m_fileBrowser->selectedFileName().isEmpty())
        return;
    const QString name = m_fileBrowser->selectedFileName();
    const QString path = m_fileBrowser->selectedFilePath();

    const FileInsertStyle style = m_styleDialog.ask();
    m_styleDialog.InsertStyle = FileInsertStyle::Unset;

    QString fileText;
    if (style == FileInsertStyle::Text) {
        // The file is read before anything goes in, so a file that cannot be read
        // leaves the page as it was.
        const QString reason = readTextForInsertion(path, &fileText);
        if (!reason.isEmpty()) {
            m_platform.showError(m_window, QStringLiteral("Vellumo"),
                                 unreadableFileMessage(path, reason));
            m_core.FocusEditor();
            return;
        }
    }
    const FileSnippet snippet = fileSnippet(style, name, fileText, upper, m_core.attributeQuote());
    if (style != FileInsertStyle::No) {
        m_core.InsertAtCaret(snippet.text);
        if (snippet.caretBack > 0)
            m_core.MoveCaretBack(snippet.caretBack);
    }
    if (focusAlways || style == FileInsertStyle::Text || style == FileInsertStyle::No)
        m_core.FocusEditor();
}

void SitePanel::Insert1Click() {
    FileChooserRequest request;
    request.title = QStringLiteral("Insert File");
    request.filters = {QStringLiteral("All Files (*)"), QStringLiteral("Web Files (*.htm *.html)"),
                       QStringLiteral("Text Files (*.txt)")};
    request.startFolder = m_lastInsertedFolder;
    request.mustExist = true;
    const QString path = m_platform.chooseOpenFile(m_window, request);
    if (path.isEmpty())
        return;
    m_lastInsertedFolder = QFileInfo(path).absolutePath();
    QString text;
    const QString reason = readTextForInsertion(path, &text);
    if (!reason.isEmpty()) {
        m_platform.showError(m_window, QStringLiteral("Vellumo"),
                             unreadableFileMessage(path, reason));
        return;
    }
    m_core.InsertAtCaret(text);
}

void SitePanel::RichEdit1DragDrop() {
    const bool upper = m_core.IsUpperTagCase();
    if (FilePicked == PickedList::LinkTree) {
        if (m_linkTree != nullptr) {
            if (const LinkLeaf *leaf = m_linkTree->selectedLeaf())
                m_core.InsertAtCaret(
                    treeLinkSnippet(leaf->address, leaf->linkText, upper, m_core.attributeQuote()));
        }
        m_core.FocusEditor();
    } else if (FilePicked == PickedList::FileList) {
        insertSelectedFile(upper, true);
    }
    m_styleDialog.InsertStyle = FileInsertStyle::Unset;
}

bool SitePanel::isPanelDrag(const QDropEvent *event) const {
    if (const auto *source = qobject_cast<const QWidget *>(event->source()))
        return source != m_editor && !m_editor->isAncestorOf(source) &&
               source->window() == m_editor->window();
    // Without a source known to this program: a list's drag carries its items.
    return event->mimeData() != nullptr &&
           event->mimeData()->hasFormat(QStringLiteral("application/x-qabstractitemmodeldatalist"));
}

bool SitePanel::eventFilter(QObject *watched, QEvent *event) {
    const bool onEditor =
        m_editor != nullptr && (watched == m_editor || watched == m_editorViewport);
    if (!onEditor)
        return QObject::eventFilter(watched, event);
    // Drags from the window's lists insert references; the editor's own text drags
    // (moving a selection with the mouse) and text from other programs stay the
    // editor's, so they neither vanish nor replace the selection with a reference.
    const bool dragOrDrop = event->type() == QEvent::DragEnter ||
                            event->type() == QEvent::DragMove || event->type() == QEvent::Drop;
    if (dragOrDrop && !isPanelDrag(static_cast<QDropEvent *>(event)))
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Every drag from the lists is welcome, whatever it carries and wherever it
        // hovers; as a copy, so the list it came from never loses the entry.
        auto *drag = static_cast<QDragMoveEvent *>(event);
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The style question runs after the drag has finished, never inside it.
        QTimer::singleShot(0, this, &SitePanel::RichEdit1DragDrop);
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace vellumo
