#include "editor/insertion_core.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vellumo {

InsertionCore::InsertionCore(QPlainTextEdit *editor, QObject *parent)
    : QObject(parent)
    , m_editor(editor) {
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
    if (edits.isEmpty())
        return true;
    // A slice ends after this long, looked at every few edits.
    constexpr qint64 SliceNs = 40'000'000;
    constexpr qsizetype EditsBetweenLooks = 256;
    QTextCursor cursor = m_editor->textCursor();
    const int anchor = cursor.anchor();
    const int caret = cursor.position();
    int movedCaret = caret;
    QElapsedTimer slice;
    slice.start();
    // From the last range to the first, so the positions still to come stay valid.
    cursor.beginEditBlock();
    for (qsizetype i = edits.size() - 1; i >= 0; --i) {
        const RangeEdit &edit = edits.at(i);
        cursor.setPosition(edit.start);
        cursor.setPosition(edit.start + edit.length, QTextCursor::KeepAnchor);
        cursor.insertText(edit.text);
        const int grown = int(edit.text.size()) - edit.length;
        if (caret >= edit.start + edit.length)
            movedCaret += grown;
        else if (caret > edit.start)
            movedCaret = edit.start + int(edit.text.size());
        if (!betweenSlices || i == 0 || i % EditsBetweenLooks != 0 ||
            slice.nsecsElapsed() < SliceNs)
            continue;
        // The slices join into one undo step; between them the page is whole.
        cursor.endEditBlock();
        if (!betweenSlices(edits.size() - i, edits.size())) {
            QTextDocument *document = m_editor->document();
            document->undo();
            document->clearUndoRedoStacks(QTextDocument::RedoStack);
            cursor.setPosition(anchor);
            cursor.setPosition(caret, QTextCursor::KeepAnchor);
            m_editor->setTextCursor(cursor);
            return false;
        }
        cursor.joinPreviousEditBlock();
        slice.start();
    }
    cursor.endEditBlock();
    cursor.setPosition(movedCaret);
    m_editor->setTextCursor(cursor);
    return true;
}

void InsertionCore::MoveCaretBack(int n) {
    QTextCursor cursor = m_editor->textCursor();
    cursor.setPosition(std::max(0, cursor.selectionStart() - n));
    m_editor->setTextCursor(cursor);
}

void InsertionCore::FocusEditor() {
    m_editor->setFocus(Qt::OtherFocusReason);
}

} // namespace vellumo
