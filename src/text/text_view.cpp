#include "text/text_view.h"

#include "text/text_buffer.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include <algorithm>
#include <climits>

namespace vellumo {

namespace {

constexpr int kMargin = 4;
// Laid-out lines kept beyond the ones on screen before the cache starts afresh.
constexpr qsizetype kKeptLayouts = 512;

bool isPair(const QString &two) {
    return two.size() == 2 && two.at(0).isHighSurrogate() && two.at(1).isLowSurrogate();
}

} // namespace

TextView::TextView(TextBuffer *buffer, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_buffer(buffer) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_buffer, &TextBuffer::changed, this, &TextView::textChanged);
    updateScrollRange();
}

TextView::~TextView() = default;

int TextView::rowHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

void TextView::updateScrollRange() {
    QScrollBar *bar = verticalScrollBar();
    bar->setSingleStep(rowHeight());
    bar->setPageStep(viewport()->height());
    bar->setRange(0, static_cast<int>(
                         std::min<qsizetype>((m_buffer->lineCount() - 1) * rowHeight(), INT_MAX)));
}

QTextLayout *TextView::layoutOf(qsizetype line) {
    std::shared_ptr<QTextLayout> &slot = m_layouts[line];
    if (slot)
        return slot.get();
    slot = std::make_shared<QTextLayout>(m_buffer->lineText(line), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    slot->setTextOption(option);
    slot->setCacheEnabled(true);
    const qreal width = std::max(1, viewport()->width() - 2 * kMargin);
    slot->beginLayout();
    for (int row = 0;; ++row) {
        QTextLine textLine = slot->createLine();
        if (!textLine.isValid())
            break;
        textLine.setLineWidth(width);
        textLine.setPosition(QPointF(0, row * rowHeight()));
    }
    slot->endLayout();
    return slot.get();
}

void TextView::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    const int value = verticalScrollBar()->value();
    qsizetype line = value / rowHeight();
    int top = -(value % rowHeight());
    const qsizetype selectionFrom = std::min(m_caret, m_anchor);
    const qsizetype selectionTo = std::max(m_caret, m_anchor);
    QTextCharFormat selected;
    selected.setBackground(palette().highlight());
    selected.setForeground(palette().highlightedText());
    if (m_layouts.size() > kKeptLayouts)
        m_layouts.clear();
    m_shown.clear();
    painter.setPen(palette().text().color());
    while (top < viewport()->height() && line < m_buffer->lineCount()) {
        QTextLayout *layout = layoutOf(line);
        const qsizetype start = m_buffer->lineStart(line);
        const qsizetype length = layout->text().size();
        QList<QTextLayout::FormatRange> selections;
        const qsizetype from = std::max(selectionFrom, start);
        const qsizetype to = std::min(selectionTo, start + length + 1);
        if (from < to)
            selections.append(
                {static_cast<int>(from - start), static_cast<int>(to - from), selected});
        const QPointF origin(kMargin, top);
        const int height = std::max(1, layout->lineCount()) * rowHeight();
        // A typed key repaints its own line only: the others are not drawn again.
        if (event->rect().intersects(QRect(0, top, viewport()->width(), height))) {
            layout->draw(&painter, origin, selections);
            if (hasFocus() && m_caret >= start && m_caret <= start + length)
                layout->drawCursor(&painter, origin, static_cast<int>(m_caret - start), 1);
        }
        m_shown.push_back({line, start, top, layout});
        top += height;
        ++line;
    }
}

void TextView::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    m_layouts.clear();
    m_shown.clear();
    updateScrollRange();
}

void TextView::textChanged(const TextChange &change) {
    // Lines after the change keep their layouts under their new numbers.
    QHash<qsizetype, std::shared_ptr<QTextLayout>> kept;
    const qsizetype shift = change.linesAdded - change.linesRemoved;
    for (auto it = m_layouts.cbegin(); it != m_layouts.cend(); ++it) {
        if (it.key() < change.line)
            kept.insert(it.key(), it.value());
        else if (it.key() > change.line + change.linesRemoved)
            kept.insert(it.key() + shift, it.value());
    }
    m_layouts.swap(kept);
    // The lines above the change stay as they are on screen.
    QRect changed = viewport()->rect();
    for (const ShownLine &shown : m_shown)
        if (shown.line == change.line)
            changed.setTop(shown.top);
    std::erase_if(m_shown, [&](const ShownLine &shown) { return shown.line >= change.line; });
    const auto moved = [&](qsizetype position) {
        if (position >= change.position + change.removed)
            return position + change.added - change.removed;
        return std::min(position, change.position);
    };
    m_caret = moved(m_caret);
    m_anchor = moved(m_anchor);
    m_lastChangeEnd = change.position + change.added;
    updateScrollRange();
    viewport()->update(changed);
}

void TextView::setCaret(qsizetype position, bool keepAnchor) {
    const qsizetype before = m_caret;
    const bool hadSelection = m_caret != m_anchor;
    m_caret = std::clamp<qsizetype>(position, 0, m_buffer->size());
    if (!keepAnchor)
        m_anchor = m_caret;
    ensureCaretVisible();
    if (hadSelection || m_caret != m_anchor || m_shown.empty()) {
        viewport()->update();
        return;
    }
    // Only the lines the caret left and reached are drawn again. A line missing
    // from those shown is either off screen (the view scrolled and paints anew)
    // or below a change (already to be painted).
    for (const qsizetype at : {before, m_caret})
        for (const ShownLine &shown : m_shown)
            if (at >= shown.start && at <= shown.start + shown.layout->text().size())
                viewport()->update(0, shown.top, viewport()->width(),
                                   std::max(1, shown.layout->lineCount()) * rowHeight());
}

void TextView::ensureCaretVisible() {
    QScrollBar *bar = verticalScrollBar();
    const qsizetype top = m_buffer->lineAt(m_caret) * rowHeight();
    if (top < bar->value())
        bar->setValue(static_cast<int>(top));
    else if (top + rowHeight() > bar->value() + viewport()->height())
        bar->setValue(static_cast<int>(top + rowHeight() - viewport()->height()));
}

QString TextView::selectedText() const {
    return m_buffer->text(std::min(m_caret, m_anchor), std::max(m_caret, m_anchor));
}

void TextView::replaceSelection(const QString &text) {
    const qsizetype from = std::min(m_caret, m_anchor);
    const qsizetype to = std::max(m_caret, m_anchor);
    m_lastChangeEnd = from;
    m_buffer->beginUndoGroup();
    m_buffer->remove(from, to);
    m_buffer->insert(from, text);
    m_buffer->endUndoGroup();
    setCaret(m_lastChangeEnd);
}

bool TextView::moveCaret(QKeyEvent *event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const qsizetype line = m_buffer->lineAt(m_caret);
    const qsizetype column = m_caret - m_buffer->lineStart(line);
    const auto lineEnd = [&](qsizetype l) {
        return l + 1 < m_buffer->lineCount() ? m_buffer->lineStart(l + 1) - 1 : m_buffer->size();
    };
    const auto onLine = [&](qsizetype l) {
        l = std::clamp<qsizetype>(l, 0, m_buffer->lineCount() - 1);
        return std::min(m_buffer->lineStart(l) + column, lineEnd(l));
    };
    const qsizetype rows = std::max(1, viewport()->height() / rowHeight());
    qsizetype to = m_caret;
    switch (event->key()) {
    case Qt::Key_Left:
        to = m_caret - (isPair(m_buffer->text(m_caret - 2, m_caret)) ? 2 : 1);
        break;
    case Qt::Key_Right:
        to = m_caret + (isPair(m_buffer->text(m_caret, m_caret + 2)) ? 2 : 1);
        break;
    case Qt::Key_Up:
        to = onLine(line - 1);
        break;
    case Qt::Key_Down:
        to = onLine(line + 1);
        break;
    case Qt::Key_PageUp:
        to = onLine(line - rows);
        break;
    case Qt::Key_PageDown:
        to = onLine(line + rows);
        break;
    case Qt::Key_Home:
        to = control ? 0 : m_buffer->lineStart(line);
        break;
    case Qt::Key_End:
        to = control ? m_buffer->size() : lineEnd(line);
        break;
    default:
        return false;
    }
    setCaret(to, extend);
    return true;
}

void TextView::keyPressEvent(QKeyEvent *event) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (event == QKeySequence::Undo || event == QKeySequence::Redo ||
        (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier)) {
        if (event == QKeySequence::Undo)
            m_buffer->undo();
        else
            m_buffer->redo();
        setCaret(m_lastChangeEnd);
    } else if (event == QKeySequence::Copy || event == QKeySequence::Cut) {
        if (m_caret != m_anchor)
            clipboard->setText(selectedText());
        if (event == QKeySequence::Cut)
            replaceSelection({});
    } else if (event == QKeySequence::Paste) {
        replaceSelection(clipboard->text());
    } else if (event == QKeySequence::SelectAll) {
        m_anchor = 0;
        setCaret(m_buffer->size(), true);
    } else if (moveCaret(event)) {
    } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (m_caret == m_anchor) {
            const bool back = event->key() == Qt::Key_Backspace;
            const qsizetype step = isPair(back ? m_buffer->text(m_caret - 2, m_caret)
                                               : m_buffer->text(m_caret, m_caret + 2))
                                       ? 2
                                       : 1;
            m_anchor =
                std::clamp<qsizetype>(back ? m_caret - step : m_caret + step, 0, m_buffer->size());
        }
        replaceSelection({});
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        replaceSelection(QStringLiteral("\n"));
    } else if (!event->text().isEmpty() &&
               (event->text().at(0).isPrint() || event->text() == u'\t')) {
        replaceSelection(event->text());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TextView::inputMethodEvent(QInputMethodEvent *event) {
    if (!event->commitString().isEmpty())
        replaceSelection(event->commitString());
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorPosition:
        return static_cast<int>(m_caret - m_buffer->lineStart(m_buffer->lineAt(m_caret)));
    case Qt::ImSurroundingText:
        return m_buffer->lineText(m_buffer->lineAt(m_caret));
    case Qt::ImCursorRectangle:
        for (const ShownLine &shown : m_shown) {
            if (m_caret < shown.start || m_caret > shown.start + shown.layout->text().size())
                continue;
            const int column = static_cast<int>(m_caret - shown.start);
            const QTextLine row = shown.layout->lineForTextPosition(column);
            if (row.isValid())
                return QRect(static_cast<int>(kMargin + row.cursorToX(column)),
                             shown.top + static_cast<int>(row.y()), 1, rowHeight());
        }
        return QRect();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

qsizetype TextView::positionAt(const QPoint &point) const {
    for (auto shown = m_shown.rbegin(); shown != m_shown.rend(); ++shown) {
        if (shown->top > point.y() && shown != std::prev(m_shown.rend()))
            continue;
        QTextLayout *layout = shown->layout;
        const int row = std::clamp((point.y() - shown->top) / rowHeight(), 0,
                                   std::max(0, layout->lineCount() - 1));
        const QTextLine textLine = layout->lineAt(row);
        return shown->start + (textLine.isValid() ? textLine.xToCursor(point.x() - kMargin) : 0);
    }
    return m_caret;
}

void TextView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        setCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TextView::mouseMoveEvent(QMouseEvent *event) {
    if (event->buttons() & Qt::LeftButton)
        setCaret(positionAt(event->position().toPoint()), true);
}

} // namespace vellumo
