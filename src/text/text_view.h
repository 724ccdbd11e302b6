#pragma once

#include <QAbstractScrollArea>
#include <QHash>

#include <memory>
#include <vector>

class QTextLayout;

namespace vellumo {

class TextBuffer;
struct TextChange;

// A first view over a TextBuffer, to measure what an editor on the engine would
// cost: it lays out only the lines it shows, each wrapped at the view's width
// with QTextLayout and kept while it stays on screen, draws the caret and the
// selection, and takes typed keys, input methods, the clipboard and undo. The
// scroll bar counts one row per line, so its size is known without laying out
// the page; a wrapped line simply takes more rows as it is shown.
class TextView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TextView(TextBuffer *buffer, QWidget *parent = nullptr);
    ~TextView() override;

    qsizetype caret() const { return m_caret; }
    qsizetype anchor() const { return m_anchor; }
    void setCaret(qsizetype position, bool keepAnchor = false);
    QString selectedText() const;
    // Puts `text` in place of the selection, as one undo step.
    void replaceSelection(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // A line as shown: where its layout was drawn in the viewport.
    struct ShownLine {
        qsizetype line;
        qsizetype start;
        int top;
        QTextLayout *layout;
    };

    QTextLayout *layoutOf(qsizetype line);
    void textChanged(const TextChange &change);
    void updateScrollRange();
    void ensureCaretVisible();
    bool moveCaret(QKeyEvent *event);
    qsizetype positionAt(const QPoint &point) const;
    int rowHeight() const;

    TextBuffer *m_buffer;
    qsizetype m_caret = 0;
    qsizetype m_anchor = 0;
    qsizetype m_lastChangeEnd = 0; // where the text of the last change ends
    QHash<qsizetype, std::shared_ptr<QTextLayout>> m_layouts;
    std::vector<ShownLine> m_shown;
};

} // namespace vellumo
