#include "editor/editor_page.h"

#include "editor/page_text.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace vellumo {

EditorPage::EditorPage(QPlainTextEdit *editor, QObject *parent)
    : Page(parent)
    , m_editor(editor) {
    // A new document reports its caret first.
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        follow();
        Q_EMIT caretMoved();
    });
    connect(editor, &QPlainTextEdit::selectionChanged, this, [this] {
        follow();
        Q_EMIT selectionChanged();
    });
    follow();
}

QTextDocument *EditorPage::document() const {
    return m_editor->document();
}

bool EditorPage::follow() {
    QTextDocument *now = document();
    if (now == m_document)
        return false;
    disconnect(m_contents);
    disconnect(m_modification);
    const bool first = !m_followed;
    m_followed = true;
    m_document = now;
    m_length = length();
    m_contents = connect(now, &QTextDocument::contentsChange, this, &EditorPage::contentsChanged);
    m_modification =
        connect(now, &QTextDocument::modificationChanged, this, &Page::modificationChanged);
    if (!first)
        noteReplaced();
    return true;
}

void EditorPage::newPageShown() {
    if (!follow())
        noteReplaced();
}

void EditorPage::contentsChanged(int position, int removed, int /*added*/) {
    if (m_applying)
        return;
    // Qt counts the paragraph separator after the page's last line into a change that
    // reaches the end: what the change removed and added follows from the lengths.
    const int before = m_length;
    m_length = length();
    removed = std::clamp(removed, 0, before - position);
    noteEdit(position, removed, m_length - before + removed);
    noteChangeDone();
}

int EditorPage::length() const {
    return document()->characterCount() - 1;
}

QString EditorPage::text(int from, int to) const {
    const int last = length();
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    if (from == to)
        return {};
    QTextCursor span(document());
    span.setPosition(from);
    span.setPosition(to, QTextCursor::KeepAnchor);
    return withLineFeeds(span.selectedText());
}

QChar EditorPage::characterAt(int position) const {
    if (position < 0 || position >= length())
        return {};
    const QChar c = document()->characterAt(position);
    return c == QChar::ParagraphSeparator ? QChar(u'\n') : c;
}

int EditorPage::lineCount() const {
    return document()->blockCount();
}

int EditorPage::lineAt(int position) const {
    return document()->findBlock(std::clamp(position, 0, length())).blockNumber();
}

int EditorPage::lineStart(int line) const {
    return document()->findBlockByNumber(std::clamp(line, 0, lineCount() - 1)).position();
}

int EditorPage::lineLength(int line) const {
    return document()->findBlockByNumber(std::clamp(line, 0, lineCount() - 1)).length() - 1;
}

QString EditorPage::lineText(int line) const {
    // A line's own text holds no paragraph separator: nothing to mend.
    return document()->findBlockByNumber(std::clamp(line, 0, lineCount() - 1)).text();
}

int EditorPage::caret() const {
    return m_editor->textCursor().position();
}

int EditorPage::anchor() const {
    return m_editor->textCursor().anchor();
}

void EditorPage::select(int anchor, int caret, Reveal reveal) {
    follow();
    const int last = length();
    QTextCursor cursor(document());
    cursor.setPosition(std::clamp(anchor, 0, last));
    cursor.setPosition(std::clamp(caret, 0, last), QTextCursor::KeepAnchor);
    m_editor->setTextCursor(cursor);
    if (reveal == Reveal::Centred)
        m_editor->centerCursor();
    else
        m_editor->ensureCursorVisible();
}

void EditorPage::focus() {
    m_editor->setFocus(Qt::OtherFocusReason);
}

bool EditorPage::isModified() const {
    return document()->isModified();
}

void EditorPage::setModified(bool modified) {
    document()->setModified(modified);
}

bool EditorPage::isUndoAvailable() const {
    return document()->isUndoAvailable();
}

bool EditorPage::isRedoAvailable() const {
    return document()->isRedoAvailable();
}

void EditorPage::clearUndoHistory() {
    document()->clearUndoRedoStacks();
}

QString EditorPage::wholeText() const {
    // Blocks end in paragraph separators: mended and made line breaks in one pass.
    return readable(document()->toRawText(), true);
}

int EditorPage::appendLines(QString &into, int line, const std::function<bool()> &timeUp) const {
    QTextBlock block = document()->findBlockByNumber(line);
    while (block.isValid()) {
        into += block.text();
        block = block.next();
        ++line;
        if (block.isValid())
            into += u'\n';
        if (line % 512 == 0 && timeUp())
            break;
    }
    return line;
}

bool EditorPage::applyInSlices(const QList<RangeEdit> &edits,
                               const std::function<bool(qint64, qint64)> &betweenSlices) {
    if (edits.isEmpty())
        return true;
    follow();
    // A slice ends after this long, looked at every few edits.
    constexpr qint64 SliceNs = 40'000'000;
    constexpr qsizetype EditsBetweenLooks = 256;
    QTextCursor cursor = m_editor->textCursor();
    const int anchor = cursor.anchor();
    const int caret = cursor.position();
    int movedCaret = caret;
    QElapsedTimer slice;
    slice.start();
    m_applying = true;
    // From the last range to the first, so the positions still to come stay valid.
    cursor.beginEditBlock();
    for (qsizetype i = edits.size() - 1; i >= 0; --i) {
        const RangeEdit &edit = edits.at(i);
        cursor.setPosition(edit.start);
        cursor.setPosition(edit.start + edit.length, QTextCursor::KeepAnchor);
        cursor.insertText(edit.text);
        noteEdit(edit.start, edit.length, int(edit.text.size()));
        m_length += int(edit.text.size()) - edit.length;
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
            // The undo is noted as Qt reports it, one span for all the slices.
            m_applying = false;
            document()->undo();
            document()->clearUndoRedoStacks(QTextDocument::RedoStack);
            cursor.setPosition(anchor);
            cursor.setPosition(caret, QTextCursor::KeepAnchor);
            m_editor->setTextCursor(cursor);
            noteChangeDone();
            return false;
        }
        cursor.joinPreviousEditBlock();
        slice.start();
    }
    cursor.endEditBlock();
    m_applying = false;
    cursor.setPosition(movedCaret);
    m_editor->setTextCursor(cursor);
    noteChangeDone();
    return true;
}

} // namespace vellumo
