#include "editor/page_editor.h"

#include "editor/line_number_gutter.h"
#include "editor/page_colouring.h"
#include "editor/page_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QTextCursor>
#include <QTextLayout>

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
        m_gutterWidth = -1;
        updateGutterWidth();
    }
}

void PageEditor::caretMoved() {
    const QTextBlock block = textCursor().block();
    if (block == m_caretBlock)
        return;
    updateBlockArea(m_caretBlock);
    updateBlockArea(block);
    m_caretBlock = block;
}

void PageEditor::updateBlockArea(const QTextBlock &block) {
    if (!block.isValid() || block.document() != document())
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

QMimeData *PageEditor::createMimeDataFromSelection() const {
    // The characters exactly as they stand in the page, line breaks as '\n'.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    auto *data = new QMimeData;
    data->setText(text);
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

    // The markup's colours first, for the lines on screen only: a selection drawn
    // after them shows in the selection's colours.
    QList<QTextLayout::FormatRange> ranges;
    if (m_syntaxColouring) {
        int from = blockLength;
        int to = 0;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal top = offset.y() + line.y();
            if (top > exposed.bottom())
                break;
            if (top + line.height() < exposed.top())
                continue;
            from = qMin(from, line.textStart());
            to = qMax(to, line.textStart() + line.textLength());
        }
        if (from < to)
            ranges = m_colouring->formatRanges(
                block, from, to, caretLine ? QBrush(currentLineColour()) : palette().base());
    }

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

    layout->draw(&painter, offset, ranges, exposed);

    const bool preedit = editable && caret < -1 && !layout->preeditAreaText().isEmpty();
    if ((drawCaret && !caretAsBlock) || preedit) {
        const int position =
            caret < -1 ? layout->preeditAreaPosition() - (caret + 2) : caret - blockStart;
        layout->drawCursor(&painter, offset, position, cursorWidth());
    }
}

} // namespace vellumo
