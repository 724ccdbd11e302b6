#pragma once

#include "html/completion.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QKeyEvent;
class QListView;
class QStringListModel;

namespace vellumo {

class InsertionCore;
class PageEditor;

// Completion while typing markup in the page editor: after '<' the element
// names, after a space inside a start tag that element's attributes, after '&'
// the entity names, each filtered as the name is typed on; Enter or Tab takes
// the chosen name, Escape or any other character leaves the text as typed.
// "</" gets the end tag of the element open at the caret at once. Every
// completion is one undo step.
//
// It also marks the tag the caret rests on and the tag matching it, once the
// caret has settled: a drawing matter of the editor's, never the document's.
class MarkupCompletion : public QObject {
    Q_OBJECT

public:
    MarkupCompletion(PageEditor *editor, InsertionCore &core, QObject *parent = nullptr);

    // Off: neither the list nor the closing tags (the tags are still marked).
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    // The list of names, "CompletionList", shown under the caret.
    QListView *popup() const { return m_popup; }

    // How far back "</" and the matching tags look for the open element: no key
    // walks more of a long page than this.
    static constexpr int MostLinesWalked = 20000;
    static constexpr qsizetype MostCharactersWalked = 1'000'000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool popupKey(QKeyEvent *key);
    void forward(QEvent *event);
    void afterTyping(QChar typed, int caretBefore);
    void open(CompletionKind kind, QStringList names, int anchor, QChar trigger);
    void refilter();
    void accept();
    void dismiss();
    void closeTag(const QString &knownElement);
    QString openElementAt(int line, int column);
    void markTags();
    QList<LineTag> lineTags(int line, HtmlLexState start, HtmlLexState *end,
                            bool *endsEarlierTagSelfClosing);

    PageEditor *m_editor;
    InsertionCore &m_core;
    bool m_enabled = true;
    bool m_forwarding = false;
    QListView *m_popup;
    QStringListModel *m_model;
    QStringList m_names; // of the kind offered, as written
    CompletionKind m_kind = CompletionKind::None;
    QChar m_trigger;
    int m_anchor = 0; // where the name being typed starts
    QTimer m_settle;  // the caret has rested: mark its tags
    qsizetype m_walked = 0;
};

} // namespace vellumo
