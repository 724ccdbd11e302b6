#include "editor/page_layout.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <climits>

namespace vellumo {

namespace {

// The whole view, as Qt's layout asks for it after a change it cannot place.
QRectF everything(const QTextDocument *document) {
    return QRectF(0., -document->documentMargin(), 1000000000., 1000000000.);
}

} // namespace

PageDocumentLayout::PageDocumentLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document) {
}

QRectF PageDocumentLayout::blockBoundingRect(const QTextBlock &block) const {
    // Qt's version lays out a block that has no lines with its own code, which
    // is where the widest-line hunt lives; a block laid out here first reaches
    // it with its lines in place, and it only measures them.
    if (block.isValid() && block.layout()->lineCount() == 0)
        const_cast<PageDocumentLayout *>(this)->layoutPageBlock(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

qreal PageDocumentLayout::wrapWidth() const {
    // Qt keeps the text width to itself; its frame is as wide as the larger of the
    // text width and the widest line it has seen. Lines are only ever measured
    // here, so it has seen none wider than the text width (its own measuring,
    // after a change that leaves one block, starts from a cleared block and finds
    // nothing), and the frame's width is the text width.
    return QPlainTextDocumentLayout::frameBoundingRect(nullptr).width();
}

QSizeF PageDocumentLayout::documentSize() const {
    return QSizeF(wrapWidth(), document()->lineCount());
}

void PageDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    QTextDocument *doc = document();
    const int newBlockCount = doc->blockCount();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(qMax(0, from + charsRemoved + charsAdded - 1));

    // Typing, Backspace, an insertion inside a line and their undo: one block
    // changed and the number of blocks is the same.
    if (first == last && newBlockCount == m_blockCount && first.isValid() && first.length()) {
        const qreal oldHeight = blockBoundingRect(first).height();
        layoutPageBlock(first);
        if (blockBoundingRect(first).height() == oldHeight)
            Q_EMIT updateBlock(first);
        else
            Q_EMIT update(everything(doc)); // the blocks below move
        return;
    }
    m_blockCount = newBlockCount;
    QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
}

void PageDocumentLayout::layoutPageBlock(const QTextBlock &block) {
    ++m_blocksLaidOut;
    QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    QTextLayout *layout = block.layout();
    const QTextOption option = doc->defaultTextOption();
    layout->setTextOption(option);
    if (block.length() > LongLineLength && !layout->cacheEnabled() && !m_releasingShaped)
        keepShaped(block);

    int extraMargin = 0;
    if (option.flags() & QTextOption::AddSpaceForLineAndParagraphSeparators) {
        const QFontMetrics metrics(block.charFormat().font());
        extraMargin += metrics.horizontalAdvance(QChar(0x21B5));
    }
    // No text width yet (the editor not shown): one line per paragraph.
    qreal availableWidth = wrapWidth();
    if (availableWidth <= 0)
        availableWidth = qreal(INT_MAX);
    availableWidth -= 2 * margin + extraMargin;

    qreal height = 0;
    layout->beginLayout();
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        line.setLineWidth(availableWidth);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += qCeil(line.leading());
    }
    layout->endLayout();

    const int previousLineCount = doc->lineCount();
    const_cast<QTextBlock &>(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
    if (doc->lineCount() == previousLineCount || m_sizeSignalOut)
        return;
    m_sizeSignalOut = true;
    Q_EMIT documentSizeChanged(documentSize());
    m_sizeSignalOut = false;
}

void PageDocumentLayout::keepShaped(const QTextBlock &block) {
    block.layout()->setCacheEnabled(true);
    m_shapedBlocks.push_back(block);
    if (m_shapedBlocks.size() <= MaxShapedBlocks)
        return;
    // The oldest one lets its glyphs go: laid out again without the cache, it
    // frees them at once instead of whenever it is next shown.
    const QTextBlock oldest = m_shapedBlocks.front();
    m_shapedBlocks.pop_front();
    if (oldest.isValid() && oldest.layout()->cacheEnabled() && oldest != block) {
        oldest.layout()->setCacheEnabled(false);
        m_releasingShaped = true;
        layoutPageBlock(oldest);
        m_releasingShaped = false;
    }
}

void usePageLayout(QPlainTextEdit *editor) {
    QTextDocument *document = editor->document();
    auto *layout = new PageDocumentLayout(document);
    layout->setPaintDevice(document->documentLayout()->paintDevice());
    document->setDocumentLayout(layout);
    // The editor keeps its own pointer to the layout and sets its text width
    // only on a layout it knows: handing it the document again renews both.
    editor->setDocument(document);
}

} // namespace vellumo
