#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>

#include <utility>

namespace vellumo {

class PageColouring;
class LineNumberGutter;

// The editor that holds the page source: a QPlainTextEdit with the page layout
// (an edit anywhere costs what it costs on a small page), whose clipboard
// traffic is the page's own text and nothing else.
//
// Qt's editor puts a copied selection on the clipboard as a rich-text fragment
// that it renders as HTML and as an OpenDocument file the first time anything
// reads the clipboard, and pastes through a second document of its own: seconds
// on a page of some megabytes, for a source editor that only ever wants the
// characters. It also turns non-breaking spaces into plain spaces on the way.
//
// It draws the page's markup in colour, the line the caret is on lightly
// highlighted and the line numbers in a gutter on its left. All three are
// drawing only: the document, its formats, its undo steps and its modified flag
// never hear of them.
class PageEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit PageEditor(QWidget *parent = nullptr);
    ~PageEditor() override;

    void setSyntaxColouring(bool on);
    bool syntaxColouring() const { return m_syntaxColouring; }
    void setLineNumbersShown(bool shown);
    bool lineNumbersShown() const;

    // The colours' cache of lexer states, for whoever reads the page's tokens:
    // the states of the document the editor holds now, a page just loaded too.
    PageColouring *colouring();
    // The background of the line the caret is on.
    static QColor currentLineColour();

    // Stretches [start, end) of the page drawn on a background of their own
    // under their text (the tags that match at the caret). Drawing only, like the
    // colours; the caller drops them when the text changes.
    void setMarkedRanges(const QList<std::pair<int, int>> &ranges);
    // Writes the characters [from, to) in grey, beside the colours (the maker comment).
    void greyOut(int from, int to);
    const QList<std::pair<int, int>> &markedRanges() const { return m_marked; }
    static QColor markedRangeColour();

    // The page's lines on screen, top to bottom: a wrapped line is one line.
    struct VisibleLine {
        int number;     // counted from 1
        int top;        // in the viewport
        int lineHeight; // of its first line
        bool current;   // the caret is on it
    };
    QList<VisibleLine> visibleLines() const;

    // From the start of the first line on screen to the end of the last: what a
    // decoration drawn on the viewport (the find highlights) has to look at.
    std::pair<int, int> shownSpan() const;
    // Fills [start, end) of the page with the painter's brush, one rectangle for
    // each screen line it covers, for a decoration drawn under the text.
    void fillSpan(QPainter &painter, int start, int end) const;

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followDocument();
    void caretMoved();
    void updateGutterWidth();
    void updateBlockArea(const QTextBlock &block);
    void updateRangeAreas(const QList<std::pair<int, int>> &ranges);
    void drawMarkedRanges(QPainter &painter, const QTextBlock &block, const QPointF &offset);
    void drawBlock(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                   const QRect &exposed, const QAbstractTextDocumentLayout::PaintContext &context);

    void drawColouredLines(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                           int firstLine, int lastLine,
                           const QList<QTextLayout::FormatRange> &selections,
                           const QColor &textColour);

    PageColouring *m_colouring;
    LineNumberGutter *m_gutter;
    bool m_syntaxColouring = true;
    // The line the caret was on, redrawn without its highlight when the caret leaves it.
    // A block is only a position in its document's memory, which the text control frees
    // inside setDocument before it reports the caret moved: the block is read only while
    // the document it was taken from is the one shown.
    QTextBlock m_caretBlock;
    QPointer<QTextDocument> m_caretDocument;
    QList<std::pair<int, int>> m_marked;
    int m_gutterWidth = -1;
};

} // namespace vellumo
