#include "editor/page_layout.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QResizeEvent>
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

// Whether lines were laid out for `width`. Qt keeps a line's width in fixed
// point and caps it at about eight million pixels, which is "no width" here.
bool sameLineWidth(qreal laidOut, qreal width) {
    constexpr qreal Unbounded = 1e6;
    return (laidOut >= Unbounded && width >= Unbounded) || qAbs(laidOut - width) < 0.5;
}

} // namespace

PageDocumentLayout::PageDocumentLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document) {
}

QRectF PageDocumentLayout::blockBoundingRect(const QTextBlock &block) const {
    // Qt's version lays out a block that has no lines with its own code, which
    // is where the widest-line hunt lives; a block laid out here first reaches
    // it with its lines in place, and it only measures them. A block laid out
    // before the editor changed width is laid out again first.
    if (block.isValid() && (block.layout()->lineCount() == 0 || isStale(block)))
        const_cast<PageDocumentLayout *>(this)->layoutPageBlock(block);
    return QPlainTextDocumentLayout::blockBoundingRect(block);
}

bool PageDocumentLayout::isStale(const QTextBlock &block) const {
    const QTextLayout *layout = block.layout();
    return layout->lineCount() > 0 && !sameLineWidth(layout->lineAt(0).width(), lineWidth(block));
}

QRectF PageDocumentLayout::frameBoundingRect(QTextFrame *frame) const {
    const QRectF frameRect = QPlainTextDocumentLayout::frameBoundingRect(frame);
    return m_wrapWidth < 0 ? frameRect
                           : QRectF(frameRect.topLeft(), QSizeF(m_wrapWidth, frameRect.height()));
}

void PageDocumentLayout::setWrapWidth(qreal width) {
    if (width == wrapWidth())
        return;
    m_wrapWidth = width;
    Q_EMIT documentSizeChanged(documentSize());
    Q_EMIT update(everything(document()));
}

qreal PageDocumentLayout::wrapWidth() const {
    // Qt keeps the text width to itself; its frame is as wide as the larger of the
    // text width and the widest line it has seen. Lines are only ever measured
    // here, so it has seen none wider than the text width (its own measuring,
    // after a change that leaves one block, starts from a cleared block and finds
    // nothing), and the frame's width is the text width.
    return frameBoundingRect(nullptr).width();
}

qreal PageDocumentLayout::lineWidth(const QTextBlock &block) const {
    const QTextDocument *doc = document();
    int extraMargin = 0;
    if (doc->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators) {
        const QFontMetrics metrics(block.charFormat().font());
        extraMargin += metrics.horizontalAdvance(QChar(0x21B5));
    }
    // No text width yet (the editor not shown): one line per paragraph.
    qreal width = wrapWidth();
    if (width <= 0)
        width = qreal(INT_MAX);
    return width - 2 * doc->documentMargin() - extraMargin;
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
        // The line being typed into keeps its glyphs, so painting it and placing
        // the caret in it do not shape it again at every key.
        if (!first.layout()->cacheEnabled())
            keepShaped(first);
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
    const qreal availableWidth = lineWidth(block);

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
    // A cursor at the block's start that stays there when text goes in at it:
    // the block that keeps a split line's start keeps its layout too.
    m_shapedBlocks.emplace_back(block);
    m_shapedBlocks.back().setKeepPositionOnInsert(true);
    if (m_shapedBlocks.size() <= MaxShapedBlocks)
        return;
    // The oldest one lets its glyphs go: laid out again without the cache, it
    // frees them at once instead of whenever it is next shown. The cursor has
    // followed it through the edits since; if it was deleted, the cursor is in
    // the block that took its place, which loses nothing by being laid out.
    const QTextBlock oldest = m_shapedBlocks.front().block();
    m_shapedBlocks.pop_front();
    if (oldest.isValid() && oldest.layout()->cacheEnabled() && oldest != block) {
        oldest.layout()->setCacheEnabled(false);
        m_releasingShaped = true;
        layoutPageBlock(oldest);
        m_releasingShaped = false;
    }
}

namespace {

const QLatin1String WrapWidthKeeperName("vellumo_wrap_width_keeper");

// Hands the editor's changes of width to the page layout instead of to Qt's.
class WrapWidthKeeper : public QObject {
public:
    explicit WrapWidthKeeper(QPlainTextEdit *editor)
        : QObject(editor)
        , m_editor(editor)
        , m_viewport(editor->viewport()) {
        setObjectName(WrapWidthKeeperName);
        m_viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Resize || watched != m_viewport || m_passing)
            return false;
        const auto *resize = static_cast<QResizeEvent *>(event);
        auto *layout = qobject_cast<PageDocumentLayout *>(m_editor->document()->documentLayout());
        if (layout == nullptr || resize->size().width() == resize->oldSize().width())
            return false;
        layout->setWrapWidth(resize->size().width());
        // The editor is told the width stayed, so Qt's layout does not re-create
        // every block's line layout; the scroll bars are still brought up to date.
        QResizeEvent sameWidth(resize->size(),
                               QSize(resize->size().width(), resize->oldSize().height()));
        m_passing = true;
        QCoreApplication::sendEvent(m_viewport, &sameWidth);
        m_passing = false;
        return true;
    }

private:
    QPlainTextEdit *m_editor;
    QWidget *m_viewport;
    bool m_passing = false;
};

} // namespace

void usePageLayout(QPlainTextEdit *editor) {
    QTextDocument *document = editor->document();
    auto *layout = new PageDocumentLayout(document);
    layout->setPaintDevice(document->documentLayout()->paintDevice());
    document->setDocumentLayout(layout);
    // The editor keeps its own pointer to the layout and sets its text width
    // only on a layout it knows: handing it the document again renews both.
    editor->setDocument(document);
    if (editor->findChild<QObject *>(WrapWidthKeeperName, Qt::FindDirectChildrenOnly) == nullptr)
        new WrapWidthKeeper(editor);
}

} // namespace vellumo
