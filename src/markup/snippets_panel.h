#pragma once

#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;

namespace vellumo {

class Platform;
class SnippetStore;
struct Snippet;

// The side panel's Snippets page: the user's snippets by name and trigger word. A
// double-click or Enter writes one at the caret (over the selection, which the
// snippet's $SELECTION takes); New, Edit and Delete change the list, and the file is
// written at once. The file is read when the page is first shown.
class SnippetsPanel : public QWidget {
    Q_OBJECT

public:
    SnippetsPanel(std::function<SnippetStore &()> store, Platform &platform,
                  QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }

Q_SIGNALS:
    void insertRequested(const vellumo::Snippet &snippet);
    // A short note for the status bar: the file could not be read or written.
    void noted(const QString &note);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();
    void insertCurrent();
    void newSnippet();
    void editSnippet();
    void deleteSnippet();
    // Asks for the snippet's name, trigger and body; false when the user cancels.
    bool edit(Snippet &snippet, const QString &caption, int editedRow);
    void save(QList<Snippet> snippets);

    std::function<SnippetStore &()> m_store;
    Platform &m_platform;
    QListWidget *m_list;
    QPushButton *m_edit;
    QPushButton *m_delete;
    bool m_filled = false;
};

} // namespace vellumo
