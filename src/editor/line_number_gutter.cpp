#include "editor/line_number_gutter.h"

#include "editor/page_editor.h"

#include <QPaintEvent>
#include <QPainter>

namespace vellumo {

namespace {

constexpr int LeftPadding = 6;
constexpr int RightPadding = 8;

} // namespace

LineNumberGutter::LineNumberGutter(PageEditor *editor)
    : QWidget(editor)
    , m_editor(editor) {
    setObjectName(QStringLiteral("LineNumberGutter"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int LineNumberGutter::neededWidth() const {
    int digits = 2;
    for (int count = m_editor->document()->blockCount(); count >= 100; count /= 10)
        ++digits;
    return LeftPadding + RightPadding +
           digits * QFontMetrics(m_editor->font()).horizontalAdvance(u'9');
}

void LineNumberGutter::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(244, 244, 244));
    painter.setFont(m_editor->font());
    const int textWidth = width() - RightPadding;
    for (const PageEditor::VisibleLine &line : m_editor->visibleLines()) {
        if (line.top + line.lineHeight < event->rect().top() || line.top > event->rect().bottom())
            continue;
        if (line.current)
            painter.fillRect(QRect(0, line.top, width(), line.lineHeight),
                             PageEditor::currentLineColour());
        painter.setPen(line.current ? QColor(40, 40, 40) : QColor(140, 140, 140));
        painter.drawText(QRect(0, line.top, textWidth, line.lineHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(line.number));
    }
}

} // namespace vellumo
