#pragma once

#include "document/page_edit.h"

#include <QList>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>
#include <vector>

class QTimer;

namespace vellumo {

class Page;

// What one command did to the page: the characters [position, position + removed)
// of the page before it became [position, position + added), on the lines
// [firstLine, lastLine] of the page after it (counted from 0). A change set made of
// many edits is one change spanning all of them.
struct PageChange {
    int position = 0;
    int removed = 0;
    int added = 0;
    int firstLine = 0;
    int lastLine = 0;
};

// A stretch of the page that moves with its edits, the way a selection does: text
// typed before it moves it, text typed inside it widens it, text typed at either
// edge stays outside it, and a removal that takes in one of its ends brings that end
// to where the removal was. A collapsed range moves like a caret. When another page
// comes in, every range is emptied at the top; its owner drops it on Page::replaced.
//
// A range that takes in its edges instead (a place to type in) widens with text typed
// at either edge, and a collapsed one takes in what is typed at it.
class MovingRange {
public:
    enum class Edges { Outside, Inside };
    explicit MovingRange(Page &page, int start = 0, int end = 0, Edges edges = Edges::Outside);
    ~MovingRange();
    MovingRange(const MovingRange &) = delete;
    MovingRange &operator=(const MovingRange &) = delete;

    int start() const { return m_start; }
    int end() const { return m_end; }
    bool isEmpty() const { return m_start == m_end; }
    // Clamped to the page; a range given back to front is turned round.
    void set(int start, int end);

    // Moves [start, end) through one edit, [position, position + removed) becoming
    // [position, position + added), as a range on the page would move: for stretches
    // known of an older copy of the page, brought up to date edit by edit.
    static void follow(int &start, int &end, int position, int removed, int added,
                       Edges edges = Edges::Outside);

private:
    friend class Page;
    Edges m_edges;

    Page *m_page;
    int m_start = 0;
    int m_end = 0;
};

// The page as every feature reads and edits it: its text by range, character and
// line, the caret and selection as positions, edits as change sets, stretches that
// move with the edits, and a copy of the whole text that a worker thread can read
// while the user types. Positions count characters from the start of the page (a
// character is a UTF-16 unit), a line break is one character, '\n', and lines are
// counted from 0.
//
// The editor implements it over the document it shows; nothing outside the editor's
// own widget code knows how the text is held.
class Page : public QObject {
    Q_OBJECT

public:
    // Pages of more characters than this are read for a copy in slices between the
    // window's events (tests lower it); smaller ones are copied at once.
    static inline int slicedFrom = 16'000'000;

    explicit Page(QObject *parent = nullptr);
    ~Page() override;

    // Reading.
    virtual int length() const = 0;
    // The characters [from, to), clamped to the page, line breaks as '\n'.
    virtual QString text(int from, int to) const = 0;
    // The character at `position`; '\n' at the end of a line, a null character past the end.
    virtual QChar characterAt(int position) const = 0;
    virtual int lineCount() const = 0;
    // The line holding `position` (clamped to the page).
    virtual int lineAt(int position) const = 0;
    // The position where `line` starts, and its length without the line break.
    virtual int lineStart(int line) const = 0;
    virtual int lineLength(int line) const = 0;
    // The text of `line` without its line break.
    virtual QString lineText(int line) const;
    // Where `position` lies on its line, counted from 0.
    int columnAt(int position) const { return position - lineStart(lineAt(position)); }

    // The caret and the selection: the selection runs from the anchor to the caret.
    virtual int caret() const = 0;
    virtual int anchor() const = 0;
    // How a moved caret is brought into view: scrolled just far enough, or to the middle.
    enum class Reveal { InView, Centred };
    // Selects from `anchor` to `caret` (clamped to the page) and brings the caret into view.
    virtual void select(int anchor, int caret, Reveal reveal = Reveal::InView) = 0;
    void setCaret(int position) { select(position, position); }
    // Gives the keyboard to the view that shows the page.
    virtual void focus() = 0;
    int selectionStart() const { return std::min(anchor(), caret()); }
    int selectionEnd() const { return std::max(anchor(), caret()); }
    bool hasSelection() const { return anchor() != caret(); }
    QString selectedText() const { return text(selectionStart(), selectionEnd()); }

    // The page's state beside its text.
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual bool isUndoAvailable() const = 0;
    virtual bool isRedoAvailable() const = 0;
    virtual void clearUndoHistory() = 0;

    // Replaces every range of `edits` (in ascending order, none overlapping) with its
    // text, all as one undo step and one change; nothing when `edits` is empty. The
    // caret stays on the text it was in: before the first range it does not move,
    // after a range it moves by what that range grew or shrank, and from inside a
    // range it goes to that range's end.
    void apply(const QList<RangeEdit> &edits) { applyInSlices(edits, {}); }
    // The same, made in slices of a few hundredths of a second for a long command:
    // between two slices `betweenSlices(done, total)` runs with the page whole in its
    // intermediate state. When it returns false the slices made are undone, the page,
    // its undo history and the caret are as they were, and the result is false.
    virtual bool
    applyInSlices(const QList<RangeEdit> &edits,
                  const std::function<bool(qint64 done, qint64 total)> &betweenSlices) = 0;

    // The whole text as one string (line breaks '\n', a lone half of a surrogate pair
    // as U+FFFD, so that every reader sees valid text at the page's own positions). It
    // is shared, never changed: a worker thread may keep and read it while the page is
    // edited. Taken once and patched with each edit while someone holds the copy.
    QString snapshot();
    // Whether snapshot() would answer without reading the page again.
    bool isSnapshotCurrent() const { return m_copyCurrent; }
    // For a holder of the copy: brings it up to date, reading a page of more than
    // `atOnceUpTo` characters a slice at a time between the window's events;
    // snapshotReady() follows (at once for a smaller page).
    void prepareSnapshot(int atOnceUpTo = slicedFrom);
    // While held, the copy stays between snapshots and follows the edits; when the
    // last holder lets go, a reading under way stops and the copy goes.
    void holdSnapshot();
    void releaseSnapshot();

Q_SIGNALS:
    // After each command, undo or redo that changed the text.
    void changed(const PageChange &change);
    // Another page came in (Open, New, a reload): positions kept of the old one mean nothing.
    void replaced();
    void caretMoved();
    void selectionChanged();
    void modificationChanged(bool modified);
    // The copy asked for by prepareSnapshot() is current.
    void snapshotReady();

protected:
    // What an implementation reports. Each edit as it happens (several may make one
    // change): moving ranges and the copy follow it.
    void noteEdit(int position, int removed, int added);
    // The end of a change: one changed() for the edits noted since the last one.
    void noteChangeDone();
    // Another page came in.
    void noteReplaced();
    // The whole text as snapshot() gives it, taken at once (readable() does the mending).
    virtual QString wholeText() const = 0;
    // `text` with each lone half of a surrogate pair as U+FFFD and, when asked, each
    // paragraph separator as '\n', in one pass.
    static QString readable(QString text, bool separatorsAreBreaks);
    // Appends lines from `line` on, each but the page's last followed by '\n', until
    // `timeUp()` says so (asked every few hundred lines); returns the next line.
    virtual int appendLines(QString &into, int line, const std::function<bool()> &timeUp) const;

private:
    friend class MovingRange;
    void readSlice();
    bool takeInEdits();
    void dropCopy();

    std::vector<MovingRange *> m_ranges;
    // The change being gathered: a span of today's page and what it replaced.
    bool m_changing = false;
    PageChange m_change;
    int m_changeEnd = 0;

    // The copy of the text, and the edits since it was taken as one span of today's
    // page, [m_editedFrom, m_editedTo), standing where the copy has its own characters.
    QString m_copy;
    bool m_copyCurrent = false;
    bool m_edited = false;
    int m_editedFrom = 0;
    int m_editedTo = 0;
    int m_holders = 0;
    // A reading in slices: the text so far and the next line.
    QString m_partial;
    int m_nextLine = 0;
    bool m_reading = false;
    QTimer *m_slices;
};

} // namespace vellumo
