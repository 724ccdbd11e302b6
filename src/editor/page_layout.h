#pragma once

#include <QPlainTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>

#include <deque>

class QPlainTextEdit;

namespace vellumo {

// The plain-text layout of the page, line for line the one Qt's
// QPlainTextDocumentLayout makes (same wrapping, line positions, line counts,
// block rectangles and signals), without its hunt for the widest line.
//
// Qt's layout remembers which block holds the widest line; whenever that block
// is laid out again and comes out narrower (an edit, its undo, a Backspace),
// it measures every block of the document to find the new widest one. On a
// 50 MB page that is over half a million blocks per keystroke. The widest line
// only sizes the horizontal scroll bar, and the editor wraps every line at its
// own width, so this layout lays out blocks itself and never tracks it: the
// document is always exactly as wide as the text width.
//
// Changes that add or remove blocks still go to Qt's code, which only clears
// the layouts of the blocks they touch; the blocks are laid out again here when
// they are next shown or measured.
class PageDocumentLayout : public QPlainTextDocumentLayout {
    Q_OBJECT

public:
    explicit PageDocumentLayout(QTextDocument *document);

    QRectF blockBoundingRect(const QTextBlock &block) const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QSizeF documentSize() const override;

    // The editor's viewport changed width. Qt's layout would re-create the line
    // layout of every block of the page at once (a fifth of a second and a couple
    // of hundred megabytes on a 50 MB page, at every step of dragging the window's
    // edge); here each block is laid out again at the new width when it is next
    // shown or measured. Until then a block keeps the lines of the old width,
    // which count for the scroll bar the way Qt's cleared blocks count one line.
    void setWrapWidth(qreal width);

    // Blocks laid out since this layout was made: a page edit lays out the
    // block it changed and whatever comes into view, never the whole page.
    qint64 blocksLaidOut() const { return m_blocksLaidOut; }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    void layoutPageBlock(const QTextBlock &block);
    // Qt's text layout throws a line's shaped glyphs away once it is laid out,
    // and itemizes and shapes the whole paragraph again whenever any of it is
    // painted: on a line of 50,000 characters that is most of the cost of a
    // keystroke near it, or of the caret blinking. Long lines and the lines
    // typed into keep their glyphs, but only the last few, so scrolling through
    // a page of long lines does not keep them all. Each is held by a cursor,
    // which follows its block through edits and never outlives it.
    void keepShaped(const QTextBlock &block);
    static constexpr int LongLineLength = 4096;
    static constexpr std::size_t MaxShapedBlocks = 16;
    std::deque<QTextCursor> m_shapedBlocks;
    bool m_releasingShaped = false;
    // The width lines wrap at: the editor's viewport width, 0 before it is shown.
    qreal wrapWidth() const;
    // Whether `block` holds lines laid out at another width.
    bool isStale(const QTextBlock &block) const;
    // The width a block's lines are given: the wrap width less the margins.
    qreal lineWidth(const QTextBlock &block) const;
    // Set by setWrapWidth; until then Qt's own record of the text width holds.
    qreal m_wrapWidth = -1;

    // The block count Qt's layout last saw, so that the cases it must handle
    // (blocks added or removed) are told apart exactly as it tells them apart.
    int m_blockCount = 1;
    // Set while the document-size signal is out: the editor answers it by
    // measuring blocks from the end of the page, which may lay out more blocks;
    // those must not send the signal again from inside its own handler.
    bool m_sizeSignalOut = false;
    qint64 m_blocksLaidOut = 0;
};

// Puts a PageDocumentLayout on the editor's own document, measuring text for the
// same device as the layout it replaces, and tells the editor about it.
void usePageLayout(QPlainTextEdit *editor);

} // namespace vellumo
