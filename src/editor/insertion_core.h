#pragma once

#include "document/page_edit.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace vellumo {

class EditorPage;
class Page;
class PageEditor;

// The case markup is written in: `<B>` or `<b>`. The user's choice is kept in
// the settings (see AppSettings); inside the program it is only ever this.
enum class TagCase { Upper, Lower };
inline constexpr TagCase UpperTagCase = TagCase::Upper;
inline constexpr TagCase LowerTagCase = TagCase::Lower;

// The one road into the page: every command and dialog writes markup through
// these operations, and nothing else edits the editor's text. Each insertion or
// wrap is exactly one undo step.
class InsertionCore final : public QObject {
    Q_OBJECT
public:
    explicit InsertionCore(PageEditor *editor, QObject *parent = nullptr);

    PageEditor *editor() const { return m_editor; }
    // The page in the editor, as every feature reads and edits it.
    Page &page() const;
    // The same, for the editor's own code that tells it of a new page.
    EditorPage &editorPage() const { return *m_page; }

    // Replaces the selection with `snippet` unchanged; the caret ends after it.
    void InsertAtCaret(const QString &snippet);
    // Puts `open` before and `close` after the selection; the caret ends between the
    // formerly selected text and `close`. `step` is how far `open` moves the text right.
    void WrapSelection(const QString &open, const QString &close, int step);
    // Replaces the characters from `from` to `to` with `text` as one undo step,
    // wherever the caret is; the caret stays by the text it was at.
    void ReplaceRange(int from, int to, const QString &text);
    // Replaces every range of `edits` (in ascending order, none overlapping) with
    // its text, all as one undo step (Replace All); nothing at all when `edits` is
    // empty, so the page is only modified when something was replaced. The caret
    // stays on the text it was in: before the first range it does not move, after
    // a range it moves by what that range grew or shrank, and from inside a range
    // it goes to that range's end.
    void ReplaceRanges(const QList<RangeEdit> &edits);
    // The same, made in slices of a few hundredths of a second for a long command:
    // between two slices `betweenSlices(done, total)` runs with the page consistent
    // in its intermediate state. When it returns false the slices made are undone,
    // the page, its undo history and the caret are as they were, and the result is
    // false.
    bool ReplaceRanges(const QList<RangeEdit> &edits,
                       const std::function<bool(qint64 done, qint64 total)> &betweenSlices);
    // Sets the caret `n` characters before the selection start.
    void MoveCaretBack(int n);
    void FocusEditor();

    bool IsUpperTagCase() const { return m_tagCase == TagCase::Upper; }
    // The literal for the current tag case, chosen at the moment of the call.
    QString pick(const QString &upper, const QString &lower) const {
        return IsUpperTagCase() ? upper : lower;
    }

    TagCase tagCase() const { return m_tagCase; }
    void setTagCase(TagCase tagCase) { m_tagCase = tagCase; }
    // The one character put around attribute values; never changes during a run.
    QString attributeQuote() const { return m_attributeQuote; }
    // `name="value"` with the current quote (no leading space).
    QString quoted(const QString &name, const QString &value) const {
        return name + QLatin1Char('=') + m_attributeQuote + value + m_attributeQuote;
    }

private:
    PageEditor *m_editor;
    EditorPage *m_page;
    TagCase m_tagCase = TagCase::Lower; // until the window sets the user's choice
    QString m_attributeQuote = QStringLiteral("\"");
};

} // namespace vellumo
