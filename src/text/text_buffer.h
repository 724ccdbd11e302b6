#pragma once

#include "document/page_file.h"
#include "text/piece_tree.h"

#include <QObject>

#include <vector>

namespace vellumo {

// One change of the page's text, as the recovery journal (`position`, `removed`,
// `added`: read the added text back from the buffer) and a cache of per-line
// states (`line`, `linesRemoved`, `linesAdded`: the lines from `line` on were
// replaced) want it. Positions and lengths are UTF-16 units.
struct TextChange {
    qsizetype position = 0;
    qsizetype removed = 0;
    qsizetype added = 0;
    qsizetype line = 0; // the line holding `position`
    qsizetype linesRemoved = 0;
    qsizetype linesAdded = 0;
};

// A page's text for an editor that need not hold it in one piece: the file's
// bytes as read, untouched, and the text typed since in a store of its own,
// joined by a tree of pieces (see PieceTree).
//
// The text is served as the editor sees it: UTF-16, every line break as one '\n'
// whatever its bytes. Each break keeps its own kind (LF, CR LF, CR, U+2029, ...);
// a typed break gets the page's usual kind, so a page saves back byte for byte
// with only the edited lines changed. A UTF-8 page is kept as its own bytes;
// a page in another encoding is turned into UTF-8 once, when it is opened.
//
// Costs, with n pieces (1 for a page as opened, about 2 more per edit):
// insert and remove O(log n); line <-> position O(log n) plus a binary search of
// a line index; text of a range O(log n + its length); opening a UTF-8 page one
// scan of its bytes (about 2 GB/s), another encoding a decode of the page.
class TextBuffer final : public QObject {
    Q_OBJECT
public:
    explicit TextBuffer(QObject *parent = nullptr);
    ~TextBuffer() override;

    // Replaces the page with the file held in `bytes`, deciding its encoding as
    // the page codec does (see decodePage). Clears the undo history; clean.
    void open(const QByteArray &bytes);
    // Reads `path` and opens it. Returns an empty string, or why it failed
    // (the page is then left as it was).
    QString openFile(const QString &path);

    PageFormat format() const { return m_format; }
    // The lines written from their own bytes while unedited (see encodePage).
    const OriginalLines &originalLines() const { return m_originalLines; }
    qsizetype size() const { return m_tree.units(); }
    qsizetype lineCount() const { return m_tree.breaks() + 1; }

    QString text() const { return text(0, size()); }
    QString text(qsizetype from, qsizetype to) const;
    // Line `line` without its break.
    QString lineText(qsizetype line) const;
    qsizetype lineStart(qsizetype line) const { return m_tree.lineStart(line); }
    qsizetype lineAt(qsizetype position) const { return m_tree.lineAt(position); }

    // One LineBreakKind per break, as DecodedPage has them: empty when every
    // break is the page's usual kind. O(lines).
    QByteArray lineBreakKinds() const;
    // The page as saving it would write it in its format. For a UTF-8 page these
    // are the stored bytes joined; otherwise the page codec encodes the text.
    QByteArray encoded() const;

    // Inserts `text` (line breaks as '\n'; a CR, CR LF or U+2029 in it is a break
    // of that kind) at `position`. A position inside a surrogate pair means the
    // start of the pair; so do the bounds of `remove`.
    void insert(qsizetype position, const QString &text);
    void remove(qsizetype from, qsizetype to);

    // The edits between the outermost begin and end undo and redo as one step;
    // an edit outside any group is a step of its own.
    void beginUndoGroup();
    void endUndoGroup();
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    void undo();
    void redo();
    // Modified: the page differs from when it was opened or last marked clean.
    bool isModified() const { return m_cleanAt != static_cast<qsizetype>(m_undo.size()); }
    void markClean() { m_cleanAt = static_cast<qsizetype>(m_undo.size()); }

Q_SIGNALS:
    // After every change of the text, undo and redo included.
    void changed(const vellumo::TextChange &change);

private:
    // One edit, kept so that applying it again takes it back: at `position`,
    // the `length` units there are exchanged for `other`.
    struct Exchange {
        qint64 position = 0;
        qint64 length = 0;
        PieceTree::Branch other;
    };
    using UndoGroup = std::vector<Exchange>;

    void apply(Exchange &exchange);
    void record(Exchange exchange);
    PieceTree::Branch appendText(const QString &text);

    PageStores m_stores;
    PieceTree m_tree{m_stores};
    PageFormat m_format;
    OriginalLines m_originalLines;
    std::vector<UndoGroup> m_undo;
    std::vector<UndoGroup> m_redo;
    int m_groupDepth = 0;
    bool m_groupStarted = false;
    qsizetype m_cleanAt = 0; // the undo depth that is clean; -1 when none is
};

} // namespace vellumo
