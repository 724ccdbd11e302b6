#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

namespace vellumo {

class DocumentController;
class FindBar;
class InsertionCore;
class Platform;
class SearchResults;

// What the main window needs of searching: the find bar and the Find in Files
// results under the editor, and the handlers of the Edit menu's Find...,
// Find Next, Find Previous, Replace... and Find in Files... entries.
class SearchCommands : public QObject {
    Q_OBJECT

public:
    SearchCommands(InsertionCore &core, Platform &platform, QWidget *window);

    // `editor` with the find bar and the results panel below it, to lay out
    // where the editor alone would go; `otherPanels` share the editor's height with
    // the results.
    QWidget *editorColumn(QWidget *editor, const QList<QWidget *> &otherPanels = {});
    // Where a double-clicked result is opened through Open's road.
    void setDocument(DocumentController *document) { m_document = document; }

    void Find1Click();
    void FindNext1Click();
    void FindPrevious1Click();
    void Replace1Click();
    // Searches `folder` by default (the file browser's), else the page's folder.
    void FindInFiles1Click(const QString &folder);

    FindBar *findBar() const { return m_findBar; }
    SearchResults *results() const { return m_results; }

private:
    InsertionCore &m_core;
    Platform &m_platform;
    QWidget *m_window;
    DocumentController *m_document = nullptr;
    FindBar *m_findBar;
    SearchResults *m_results;
};

} // namespace vellumo
