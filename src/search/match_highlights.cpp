#include "search/match_highlights.h"

#include "document/page.h"
#include "editor/page_editor.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace vellumo {

namespace {

// A screen of a page with thousands of matches still paints at once.
constexpr int MostMatchesDrawn = 4000;

} // namespace

MatchHighlights::MatchHighlights(PageEditor *editor, const Page &page)
    : QObject(editor)
    , m_editor(editor)
    , m_page(page) {
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
    // The lines on screen, whole, so words at their edges are judged as in the page.
    const std::pair<int, int> shown = m_editor->shownSpan();
    const int textStart = shown.first;
    const int textEnd = shown.second;
    int from = textStart;
    int to = textEnd;
    if (m_scope && !m_scope->isEmpty()) {
        from = std::max(from, m_scope->start());
        to = std::min(to, m_scope->end());
    }
    if (from > to)
        return;
    const QString text = m_page.text(textStart, textEnd);

    painter.setPen(Qt::NoPen);
    painter.setBrush(colour());
    int drawn = 0;
    m_search.forEach(text, SearchRange{from - textStart, to - textStart},
                     [&](const TextMatch &match) {
                         if (match.length > 0)
                             m_editor->fillSpan(painter, textStart + int(match.start),
                                                textStart + int(match.end()));
                         return ++drawn < MostMatchesDrawn;
                     });
}

} // namespace vellumo
