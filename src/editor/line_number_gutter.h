#pragma once

#include <QWidget>

namespace vellumo {

class PageEditor;

// The strip left of the editor's text that numbers the page's lines, the
// caret's line darker than the rest.
class LineNumberGutter : public QWidget {
    Q_OBJECT

public:
    explicit LineNumberGutter(PageEditor *editor);

    // The width the numbers of the editor's page need.
    int neededWidth() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PageEditor *m_editor;
};

} // namespace vellumo
