#pragma once

#include "search/text_search.h"

#include <QColor>
#include <QObject>

class QPainter;

namespace vellumo {

class MovingRange;
class Page;
class PageEditor;

// Draws every match visible in the editor under its text, at paint time: only
// the lines on screen are searched, and nothing touches the page (no edits, no
// undo steps, no modified flag).
class MatchHighlights : public QObject {
    Q_OBJECT

public:
    MatchHighlights(PageEditor *editor, const Page &page);

    // `scope`, when given and not empty, limits the matches drawn; it stays its owner's.
    void show(const TextSearch &search, const MovingRange *scope = nullptr);
    void clear();
    bool isShown() const { return m_search.isValid(); }

    static QColor colour() { return QColor(255, 226, 128); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paint(QPainter &painter);

    PageEditor *m_editor;
    const Page &m_page;
    TextSearch m_search;
    const MovingRange *m_scope = nullptr;
};

} // namespace vellumo
