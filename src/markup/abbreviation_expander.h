#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace vellumo {

class InsertionCore;
class MovingRange;
class PageEditor;

// Expands the abbreviation before the caret into the markup it stands for
// (`ul>li*3` becomes a list of three items), in the page's tag case and the
// program's quote, as one undo step. The caret then lands in the first empty
// place the markup left (an attribute's value, an element's contents); Tab and
// Shift+Tab move through the places until Escape, a Tab past the last one, or the
// caret going elsewhere. Nothing is expanded inside a tag, a comment, a script or
// a style: the lexer's state kept for the line says where the caret is.
class AbbreviationExpander : public QObject {
    Q_OBJECT

public:
    AbbreviationExpander(PageEditor *editor, InsertionCore &core, QObject *parent = nullptr);
    ~AbbreviationExpander() override;

    // Tab right after an abbreviation expands it too; otherwise only the command does.
    void setExpandOnTab(bool on) { m_expandOnTab = on; }

    // Expands the abbreviation before the caret. Empty when it did; otherwise why
    // not, for the status bar, and the page is as it was.
    QString expand();
    // Whether Tab leads through the empty places of an expansion.
    bool isLeading() const { return !m_places.empty(); }

Q_SIGNALS:
    // A short note for the status bar: why Tab did not expand what stands before the caret.
    void noted(const QString &note);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void goToPlace(std::size_t index);
    void stopLeading();

    PageEditor *m_editor;
    InsertionCore &m_core;
    bool m_expandOnTab = false;
    // The expansion's empty places, in page order, and its end, where a Tab past the
    // last place leaves the caret.
    std::vector<std::unique_ptr<MovingRange>> m_places;
    std::unique_ptr<MovingRange> m_end;
    std::size_t m_current = 0;
    bool m_moving = false;
};

} // namespace vellumo
