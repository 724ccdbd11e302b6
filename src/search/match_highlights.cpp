#include "search/match_highlights.h"

#include "document/page.h"

#include <QEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace vellumo {

namespace {

// A screen of a page with thousands of matches still paints at once.
constexpr int MostMatchesDrawn = 4000;

} // namespace

MatchHighlights::MatchHighlights(QPlainTextEdit *editor)
    : QObject(editor)
    , m_editor(editor) {
    // The viewport's background is filled before its paint event reaches this
    // filter, and the editor draws its text after it: the highlights lie between.
    editor->viewport()->installEventFilter(this);
}

void MatchHighlights::show(const TextSearch &search, const MovingRange *scope) {
    m_search = search;
    m_scope = scope;
    m_editor->viewport()->update();
}

void MatchHighlights::clear() {
    if (!m_search.isValid())
        return;
    m_search = TextSearch();
    m_scope = nullptr;
    m_editor->viewport()->update();
}

bool MatchHighlights::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint && watched == m_editor->viewport() && m_search.isValid()) {
        QPainter painter(m_editor->viewport());
        paint(painter);
    }
    return false;
}

void MatchHighlights::paint(QPainter &painter) {
    const QRect view = m_editor->viewport()->rect();
    const QTextBlock first = m_editor->cursorForPosition(view.topLeft()).block();
    const QTextBlock last = m_editor->cursorForPosition(view.bottomRight()).block();
    if (!first.isValid() || !last.isValid())
        return;
    int from = first.position();
    int to = last.position() + last.length() - 1;
    if (m_scope && !m_scope->isEmpty()) {
        from = std::max(from, m_scope->start());
        to = std::min(to, m_scope->end());
    }
    if (from > to)
        return;
    // The lines on screen, whole, so words at their edges are judged as in the page.
    const int textStart = first.position();
    QTextCursor lines(m_editor->document());
    lines.setPosition(textStart);
    lines.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    QString text = lines.selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');

    painter.setPen(Qt::NoPen);
    painter.setBrush(colour());
    int drawn = 0;
    m_search.forEach(
        text, SearchRange{from - textStart, to - textStart}, [&](const TextMatch &match) {
            if (match.length > 0)
                paintMatch(painter, textStart + int(match.start), textStart + int(match.end()));
            return ++drawn < MostMatchesDrawn;
        });
}

void MatchHighlights::paintMatch(QPainter &painter, int start, int end) {
    // One rectangle per screen line the match covers: where the line lies is
    // taken from the caret rectangle at the match's start, the rest from the
    // line layouts.
    QTextCursor at(m_editor->document());
    at.setPosition(start);
    const QRect startRect = m_editor->cursorRect(at);
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
            if (pieceStart >= end || y > m_editor->viewport()->height())
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

} // namespace vellumo
