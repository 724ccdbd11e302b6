#pragma once

#include <QObject>
#include <QString>

class QDropEvent;
class QAbstractScrollArea;
class QWidget;

namespace vellumo {

class FileBrowser;
class InsertionCore;
class LinkTree;
class Platform;
class TForm3;

// Which list of the side panel the user picked from last; it decides what Link To
// File and a drop onto the editor insert.
enum class PickedList { Neither, FileList, LinkTree };

// The side panel's file and link insertion: the "Web Pages" and "Link to File"
// tabs, Link To File, File > Insert..., and drops onto the editor.
class SitePanel final : public QObject {
    Q_OBJECT
public:
    // `window` parents the message boxes and choosers.
    SitePanel(InsertionCore &core, Platform &platform, TForm3 &styleDialog, QWidget *window);

    // Fill the two tabs; call each once.
    LinkTree *fillWebPagesTab(QWidget *webPagesTab);
    FileBrowser *fillLinkToFileTab(QWidget *linkToFileTab, const QString &startFolder);
    // Makes `editor` (and its viewport) take every drag and insert by the rules
    // below instead of its own drop.
    void installDropHandling(QAbstractScrollArea *editor);

    LinkTree *linkTree() const { return m_linkTree; }
    FileBrowser *fileBrowser() const { return m_fileBrowser; }

    PickedList FilePicked = PickedList::Neither;

    void FileListBox1Click() { FilePicked = PickedList::FileList; }
    void FileListBox1DblClick() { Button2Click(); }
    void TreeView1Click() { FilePicked = PickedList::LinkTree; }
    // Link To File: once per pick of a file, always in upper case.
    void Button2Click();
    // File > Insert...: a whole file's text at the caret.
    void Insert1Click();
    // A drop onto the editor: what is inserted depends on the last picked list and
    // its selection, never on what was dragged or where it was dropped.
    void RichEdit1DragDrop();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Whether a drag over the editor comes from one of the window's lists.
    bool isPanelDrag(const QDropEvent *event) const;

private:
    // Asks for the style and inserts the selected file's snippet in one step; a
    // file that cannot be read is reported and nothing goes in.
    void insertSelectedFile(bool upper, bool focusAlways);

    InsertionCore &m_core;
    Platform &m_platform;
    TForm3 &m_styleDialog;
    QWidget *m_window;
    LinkTree *m_linkTree = nullptr;
    FileBrowser *m_fileBrowser = nullptr;
    QAbstractScrollArea *m_editor = nullptr;
    // Kept apart: the filter still sees events while the editor is being destroyed,
    // when asking it for its viewport is no longer safe.
    QObject *m_editorViewport = nullptr;
    QString m_lastInsertedFolder;
};

} // namespace vellumo
