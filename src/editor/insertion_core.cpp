#include "editor/insertion_core.h"

#include "editor/editor_page.h"
#include "editor/page_editor.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vellumo {

InsertionCore::InsertionCore(PageEditor *editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_page(new EditorPage(editor, this)) {
}

Page &InsertionCore::page() const {
    return *m_page;
}

void InsertionCore::InsertAtCaret(const QString &snippet) {
    QTextCursor cursor = m_editor->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(snippet);
    cursor.endEditBlock();
    m_editor->setTextCursor(cursor);
}

void InsertionCore::ReplaceRange(int from, int to, const QString &text) {
    QTextCursor cursor(m_editor->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
}

void InsertionCore::WrapSelection(const QString &open, const QString &close, int step) {
    QTextCursor cursor = m_editor->textCursor();
    // A selection made right to left is treated like one made left to right.
    const int start = cursor.selectionStart();
    const int length = cursor.selectionEnd() - start;

    cursor.beginEditBlock();
    cursor.setPosition(start);
    cursor.insertText(open);
    cursor.setPosition(std::min(start + length + step, m_editor->document()->characterCount() - 1));
    cursor.insertText(close);
    cursor.setPosition(std::max(0, cursor.position() - static_cast<int>(close.size())));
    cursor.endEditBlock();
    m_editor->setTextCursor(cursor);
}

void InsertionCore::ReplaceRanges(const QList<RangeEdit> &edits) {
    ReplaceRanges(edits, {});
}

bool InsertionCore::ReplaceRanges(const QList<RangeEdit> &edits,
                                  const std::function<bool(qint64, qint64)> &betweenSlices) {
    return m_page->applyInSlices(edits, betweenSlices);
}

void InsertionCore::MoveCaretBack(int n) {
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(std::max(0, cursor.selectionStart() - n));
    m_editor->setTextCursor(cursor);
}

void InsertionCore::FocusEditor() {
    m_page->focus();
}

} // namespace vellumo
