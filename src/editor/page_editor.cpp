#include "editor/page_editor.h"

#include "editor/line_number_gutter.h"
#include "editor/page_colouring.h"
#include "editor/page_layout.h"
#include "editor/page_text.h"

#include <QAbstractTextDocumentLayout>
#include <QGlyphRun>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextLayout>
#include <QVarLengthArray>

#include <algorithm>

namespace vellumo {

PageEditor::PageEditor(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_colouring(new PageColouring(this))
    , m_gutter(new LineNumberGutter(this)) {
    usePageLayout(this);
    followDocument();
    connect(m_colouring, &PageColouring::linesBelowChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, &PageEditor::caretMoved);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &PageEditor::updateGutterWidth);
    connect(this, &QPlainTextEdit::updateRequest, m_gutter, [this](const QRect &rect, int dy) {
        if (dy != 0)
            m_gutter->scroll(0, dy);
        else
            m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
    });
    updateGutterWidth();
}

PageEditor::~PageEditor() = default;

QColor PageEditor::currentLineColour() {
    return QColor(238, 243, 252);
}

QColor PageEditor::markedRangeColour() {
    return QColor(200, 230, 200);
}

void PageEditor::greyOut(int from, int to) {
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QTextCharFormat grey;
    grey.setForeground(QColor(128, 128, 128));
    cursor.mergeCharFormat(grey);
}

void PageEditor::setMarkedRanges(const QList<std::pair<int, int>> &ranges) {
    if (ranges == m_marked)
        return;
    updateRangeAreas(m_marked);
    m_marked = ranges;
    updateRangeAreas(m_marked);
}

void PageEditor::updateRangeAreas(const QList<std::pair<int, int>> &ranges) {
    for (const auto &[start, end] : ranges) {
        const QTextBlock first = document()->findBlock(start);
        const QTextBlock last = document()->findBlock(end);
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            updateBlockArea(block);
            if (block == last)
                break;
        }
    }
}

PageColouring *PageEditor::colouring() {
    followDocument();
    return m_colouring;
}

void PageEditor::setSyntaxColouring(bool on) {
    if (on == m_syntaxColouring)
        return;
    m_syntaxColouring = on;
    viewport()->update();
}

void PageEditor::setLineNumbersShown(bool shown) {
    m_gutter->setVisible(shown);
    m_gutterWidth = -1;
    updateGutterWidth();
}

bool PageEditor::lineNumbersShown() const {
    return !m_gutter->isHidden();
}

void PageEditor::updateGutterWidth() {
    const int width = m_gutter->isHidden() ? 0 : m_gutter->neededWidth();
    if (width == m_gutterWidth)
        return;
    m_gutterWidth = width;
    setViewportMargins(width, 0, 0, 0);
    const QRect contents = contentsRect();
    m_gutter->setGeometry(QRect(contents.left(), contents.top(), width, contents.height()));
}

void PageEditor::resizeEvent(QResizeEvent *event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect contents = contentsRect();
    m_gutter->setGeometry(QRect(contents.left(), contents.top(), m_gutterWidth, contents.height()));
}

void PageEditor::changeEvent(QEvent *event) {
    QPlainTextEdit::changeEvent(event);
    // The numbers are drawn in the editor's font: a new font, a new width.
    if (event->type() == QEvent::FontChange) {
        m_gutterWidth = -1;
        updateGutterWidth();
    }
}

void PageEditor::followDocument() {
    // The page loader hands the editor a new document for every page opened.
    if (m_colouring->document() != document()) {
        m_colouring->setDocument(document());
        m_caretBlock = QTextBlock();
        m_caretDocument = nullptr;
        m_marked.clear(); // the marks were the old page's
        m_gutterWidth = -1;
        updateGutterWidth();
        // The loader repaints the editor, not the numbers beside it.
        m_gutter->update();
    }
}

void PageEditor::caretMoved() {
    followDocument(); // a new page reports its caret first
    const QTextBlock block = textCursor().block();
    const bool samePage = m_caretDocument == document();
    if (samePage && block == m_caretBlock)
        return;
    if (samePage)
        updateBlockArea(m_caretBlock);
    updateBlockArea(block);
    m_caretBlock = block;
    m_caretDocument = document();
}

void PageEditor::updateBlockArea(const QTextBlock &block) {
    if (!block.isValid())
        return;
    const QRectF area = blockBoundingGeometry(block).translated(contentOffset());
    const QRect rect(0, int(area.top()), viewport()->width(), int(area.height()) + 1);
    viewport()->update(rect);
    m_gutter->update(0, rect.y(), m_gutter->width(), rect.height());
}

QList<PageEditor::VisibleLine> PageEditor::visibleLines() const {
    QList<VisibleLine> lines;
    QTextBlock block = firstVisibleBlock();
    if (!block.isValid())
        return lines;
    const QTextBlock caret = textCursor().block();
    qreal top = blockBoundingGeometry(block).translated(contentOffset()).top();
    int number = block.blockNumber() + 1;
    const int bottom = viewport()->height();
    for (; block.isValid() && top <= bottom; block = block.next(), ++number) {
        const qreal height = blockBoundingRect(block).height();
        if (block.isVisible()) {
            const QTextLayout *layout = block.layout();
            const int lineHeight =
                layout->lineCount() > 0 ? qRound(layout->lineAt(0).height()) : qRound(height);
            lines.append(VisibleLine{number, qRound(top), lineHeight, block == caret});
        }
        top += height;
    }
    return lines;
}

std::pair<int, int> PageEditor::shownSpan() const {
    const QRect view = viewport()->rect();
    const QTextBlock first = cursorForPosition(view.topLeft()).block();
    const QTextBlock last = cursorForPosition(view.bottomRight()).block();
    if (!first.isValid() || !last.isValid())
        return {0, 0};
    return {first.position(), last.position() + last.length() - 1};
}

void PageEditor::fillSpan(QPainter &painter, int start, int end) const {
    // Where the span's first screen line lies is taken from the caret rectangle at
    // its start, the rest from the line layouts.
    QTextCursor at(document());
    at.setPosition(start);
    const QRect startRect = cursorRect(at);
    QTextBlock block = at.block();
    QTextLine line = block.layout()->lineForTextPosition(start - block.position());
    if (!line.isValid())
        return;
    const qreal x0 = startRect.left() - line.cursorToX(start - block.position());
    qreal y = startRect.top();
    while (block.isValid() && block.position() < end) {
        QTextLayout *layout = block.layout();
        for (int i = line.isValid() ? line.lineNumber() : 0; i < layout->lineCount(); ++i) {
            const QTextLine piece = layout->lineAt(i);
            const int pieceStart = block.position() + piece.textStart();
            const int pieceEnd = pieceStart + piece.textLength();
            if (pieceStart >= end || y > viewport()->height())
                return;
            const qreal left = piece.cursorToX(std::max(start, pieceStart) - block.position());
            const qreal right = piece.cursorToX(std::min(end, pieceEnd) - block.position());
            painter.drawRect(
                QRectF(x0 + left, y, std::max<qreal>(right - left, 1), piece.height()));
            y += piece.height();
        }
        block = block.next();
        line = QTextLine();
    }
}

QMimeData *PageEditor::createMimeDataFromSelection() const {
    // The characters exactly as they stand in the page, line breaks as '\n'.
    auto *data = new QMimeData;
    data->setText(withLineFeeds(textCursor().selectedText()));
    return data;
}

void PageEditor::insertFromMimeData(const QMimeData *source) {
    // Whatever else the clipboard offers (HTML, Markdown, pictures), the page
    // takes its plain text, as typed characters would go in.
    if (isReadOnly() || source == nullptr || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertText(source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

// The editor's own drawing, block by block as Qt's plain-text editor draws, with
// the markup's colours and the caret's line added at draw time.
void PageEditor::paintEvent(QPaintEvent *event) {
    followDocument();
    QPainter painter(viewport());
    QPointF offset(contentOffset());
    QRect exposed = event->rect();
    const QRect viewportRect = viewport()->rect();
    const qreal documentWidth = document()->documentLayout()->documentSize().width();
    painter.setBrushOrigin(offset);
    // Full-width selections stop at the right margin.
    const int rightEdge = int(offset.x() + qMax(qreal(viewportRect.width()), documentWidth) -
                              document()->documentMargin()) +
                          cursorWidth();
    exposed.setRight(qMin(exposed.right(), rightEdge));
    painter.setClipRect(exposed);

    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    painter.setPen(context.palette.text().color());
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF area = blockBoundingRect(block).translated(offset);
        if (block.isVisible() && area.bottom() >= exposed.top() && area.top() <= exposed.bottom())
            drawBlock(painter, block, offset, exposed, context);
        offset.ry() += area.height();
        if (offset.y() > viewportRect.height())
            break;
    }
}

void PageEditor::drawBlock(QPainter &painter, const QTextBlock &block, const QPointF &offset,
                           const QRect &exposed,
                           const QAbstractTextDocumentLayout::PaintContext &context) {
    QTextLayout *layout = block.layout();
    const QRectF area = blockBoundingRect(block).translated(offset);
    const int blockStart = block.position();
    const int blockLength = block.length();

    const QBrush background = block.blockFormat().background();
    if (background != Qt::NoBrush)
        painter.fillRect(
            QRectF(area.topLeft(),
                   QSizeF(qMax(area.width(), viewport()->width() - area.left()), area.height())),
            background);
    const bool caretLine = block == textCursor().block();
    if (caretLine)
        painter.fillRect(QRectF(0, area.top(), viewport()->width(), area.height()),
                         currentLineColour());
    if (!m_marked.isEmpty())
        drawMarkedRanges(painter, block, offset);

    // The lines of the block on screen.
    int firstLine = -1;
    int lastLine = -1;
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const qreal top = offset.y() + line.y();
        if (top > exposed.bottom())
            break;
        if (top + line.height() < exposed.top())
            continue;
        if (firstLine < 0)
            firstLine = i;
        lastLine = i;
    }

    QList<QTextLayout::FormatRange> ranges;
    bool plainSelectionOnly = true;
    for (const QAbstractTextDocumentLayout::Selection &selection : context.selections) {
        const int start = selection.cursor.selectionStart() - blockStart;
        const int end = selection.cursor.selectionEnd() - blockStart;
        if (start < blockLength && end > 0 && end > start) {
            QTextLayout::FormatRange range;
            range.start = start;
            range.length = end - start;
            range.format = selection.format;
            ranges.append(range);
        } else if (!selection.cursor.hasSelection() &&
                   selection.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(selection.cursor.position())) {
            const QTextLine line =
                layout->lineForTextPosition(selection.cursor.position() - blockStart);
            QTextLayout::FormatRange range;
            range.start = line.textStart();
            range.length = line.textLength();
            if (range.start + range.length == blockLength - 1)
                ++range.length; // the line break too
            range.format = selection.format;
            ranges.append(range);
        }
        if (selection.format.hasProperty(QTextFormat::FullWidthSelection) ||
            selection.cursor != textCursor())
            plainSelectionOnly = false;
    }

    const bool editable = !isReadOnly();
    const int caret = context.cursorPosition;
    const bool drawCaret = (editable || (textInteractionFlags() & Qt::TextSelectableByKeyboard)) &&
                           caret >= blockStart && caret < blockStart + blockLength;
    // Overwrite mode shows the caret as a block over the character it replaces.
    const bool caretAsBlock = drawCaret && overwriteMode() && caret != blockStart + blockLength - 1;
    if (caretAsBlock) {
        QTextLayout::FormatRange range;
        range.start = caret - blockStart;
        range.length = 1;
        range.format.setForeground(palette().base());
        range.format.setBackground(palette().text());
        ranges.append(range);
    }

    if (m_syntaxColouring && firstLine >= 0 && plainSelectionOnly && !caretAsBlock &&
        layout->preeditAreaText().isEmpty()) {
        drawColouredLines(painter, block, offset, firstLine, lastLine, ranges,
                          context.palette.text().color());
    } else {
        // Anything else Qt's own drawing draws, the markup's colours under it.
        if (m_syntaxColouring && firstLine >= 0) {
            const QTextLine first = layout->lineAt(firstLine);
            const QTextLine last = layout->lineAt(lastLine);
            ranges = m_colouring->formatRanges(
                         block, first.textStart(), last.textStart() + last.textLength(),
                         caretLine ? QBrush(currentLineColour()) : palette().base()) +
                     ranges;
        }
        layout->draw(&painter, offset, ranges, exposed);
    }

    const bool preedit = editable && caret < -1 && !layout->preeditAreaText().isEmpty();
    if ((drawCaret && !caretAsBlock) || preedit) {
        const int position =
            caret < -1 ? layout->preeditAreaPosition() - (caret + 2) : caret - blockStart;
        layout->drawCursor(&painter, offset, position, cursorWidth());
    }
}

void PageEditor::drawMarkedRanges(QPainter &painter, const QTextBlock &block,
                                  const QPointF &offset) {
    const QTextLayout *layout = block.layout();
    const QPointF origin = offset + layout->position();
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1;
    for (const auto &[start, end] : m_marked) {
        if (end <= blockStart || start > blockEnd)
            continue;
        const int from = std::max(start, blockStart) - blockStart;
        const int to = std::min(end, blockEnd) - blockStart;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const int a = std::max(from, line.textStart());
            const int b = std::min(to, line.textStart() + line.textLength());
            if (a >= b)
                continue;
            const qreal left = line.cursorToX(a);
            const qreal right = line.cursorToX(b);
            painter.fillRect(
                QRectF(origin.x() + left, origin.y() + line.y(), right - left, line.height()),
                markedRangeColour());
        }
    }
}

// Draws the lines [firstLine, lastLine] of `block` glyph run by glyph run, each
// token in its colour, over the selection's background. QTextLayout::draw would
// take the colours as format ranges, but it unites the area of every range with
// the ones before it, which on a line of many tokens costs more than all the
// rest of a paint (a second for the screenful of a 50,000-character line).
void PageEditor::drawColouredLines(QPainter &painter, const QTextBlock &block,
                                   const QPointF &offset, int firstLine, int lastLine,
                                   const QList<QTextLayout::FormatRange> &selections,
                                   const QColor &textColour) {
    QTextLayout *layout = block.layout();
    const QPointF origin = offset + layout->position();
    const QTextLine first = layout->lineAt(firstLine);
    const QTextLine last = layout->lineAt(lastLine);
    const int from = first.textStart();
    const int to = last.textStart() + last.textLength();
    const QList<HtmlTokenSpan> tokens = m_colouring->tokens(block, from, to);
    QTextDocument *page = document();
    const int blockStart = block.position();
    int selectionStart = 0;
    int selectionEnd = 0;
    QTextCharFormat selected;
    if (!selections.isEmpty()) {
        selectionStart = selections.first().start;
        selectionEnd = selectionStart + selections.first().length;
        selected = selections.first().format;
    }
    qsizetype token = 0;
    for (int i = firstLine; i <= lastLine; ++i) {
        const QTextLine line = layout->lineAt(i);
        const int lineStart = line.textStart();
        const int lineEnd = lineStart + line.textLength();
        if (selectionStart < selectionEnd && selectionStart < lineEnd + 1 &&
            selectionEnd > lineStart) {
            const int a = qMax(selectionStart, lineStart);
            const int b = qMin(selectionEnd, lineEnd);
            const qreal left = line.cursorToX(a);
            // A selection that goes on past the line shows a sliver for the break.
            const qreal right =
                line.cursorToX(b) +
                (selectionEnd > lineEnd ? painter.fontMetrics().averageCharWidth() / 2 : 0);
            painter.fillRect(
                QRectF(origin.x() + left, origin.y() + line.y(), right - left, line.height()),
                selected.background());
        }
        while (token < tokens.size() &&
               tokens.at(token).start + tokens.at(token).length <= lineStart)
            ++token;
        // The line cut into runs of one colour: tokens, and the selection's edges.
        struct Run {
            int start;
            int end;
            QColor colour;
        };
        QVarLengthArray<Run, 32> runs;
        int at = lineStart;
        while (at < lineEnd) {
            QColor colour = textColour;
            int runEnd = lineEnd;
            if (token < tokens.size() && tokens.at(token).start <= at) {
                const HtmlTokenSpan &span = tokens.at(token);
                runEnd = qMin(runEnd, span.start + span.length);
                const QColor kind = PageColouring::colour(span.kind);
                if (kind.isValid())
                    colour = kind;
            } else if (token < tokens.size()) {
                runEnd = qMin(runEnd, tokens.at(token).start);
            }
            const bool inSelection = at >= selectionStart && at < selectionEnd;
            if (inSelection)
                runEnd = qMin(runEnd, selectionEnd);
            else if (selectionStart > at)
                runEnd = qMin(runEnd, selectionStart);
            if (inSelection)
                colour = selected.foreground().color();
            runs.append(Run{at, runEnd, colour});
            at = runEnd;
            if (token < tokens.size() && at >= tokens.at(token).start + tokens.at(token).length)
                ++token;
        }
        if (runs.isEmpty())
            continue;
        // Where the line has one glyph a character, left to right (the usual case, also
        // with characters from a fallback font), glyph k stands for the line's character
        // k (its last spaces have none): the glyphs of each colour go to the painter together, out
        // of the line's glyph runs taken once. Otherwise each run asks the line for its own glyphs,
        // and each such question costs Qt a walk from the start of the line's item.
        const QList<QGlyphRun> glyphs = line.glyphRuns();
        qsizetype glyphCount = 0;
        bool leftToRight = true;
        for (const QGlyphRun &glyphRun : glyphs) {
            glyphCount += glyphRun.glyphIndexes().size();
            leftToRight = leftToRight && !glyphRun.isRightToLeft();
        }
        // The spaces a line wraps after have no glyphs.
        const auto onlySpacesAfter = [&](qsizetype glyphed) {
            int at = lineStart + static_cast<int>(glyphed);
            while (at < lineEnd && page->characterAt(blockStart + at).isSpace())
                ++at;
            return at == lineEnd;
        };
        if (leftToRight && onlySpacesAfter(glyphCount)) {
            int glyphStart = lineStart; // the character of the glyph run's first glyph
            for (const QGlyphRun &glyphRun : glyphs) {
                const QList<quint32> indexes = glyphRun.glyphIndexes();
                const QList<QPointF> positions = glyphRun.positions();
                const int glyphEnd = glyphStart + static_cast<int>(indexes.size());
                QVarLengthArray<bool, 32> done(runs.size(), false);
                for (qsizetype r = 0; r < runs.size(); ++r) {
                    if (done[r] || runs[r].end <= glyphStart || runs[r].start >= glyphEnd)
                        continue;
                    QList<quint32> someIndexes;
                    QList<QPointF> somePositions;
                    for (qsizetype o = r; o < runs.size(); ++o) {
                        if (done[o] || runs[o].colour != runs[r].colour)
                            continue;
                        const int from = std::max(runs[o].start, glyphStart) - glyphStart;
                        const int to = std::min(runs[o].end, glyphEnd) - glyphStart;
                        if (from >= to)
                            continue;
                        done[o] = true;
                        someIndexes.append(indexes.mid(from, to - from));
                        somePositions.append(positions.mid(from, to - from));
                    }
                    QGlyphRun some = glyphRun;
                    some.setGlyphIndexes(someIndexes);
                    some.setPositions(somePositions);
                    painter.setPen(runs[r].colour);
                    painter.drawGlyphRun(origin, some);
                }
                glyphStart = glyphEnd;
            }
            continue;
        }
        for (const Run &run : runs) {
            painter.setPen(run.colour);
            for (const QGlyphRun &glyphRun : line.glyphRuns(run.start, run.end - run.start))
                painter.drawGlyphRun(origin, glyphRun);
        }
    }
}

} // namespace vellumo
