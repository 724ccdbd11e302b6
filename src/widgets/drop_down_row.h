#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

class QToolButton;
class QWidget;

namespace vellumo {

// A row of buttons with drop-down menus that the keyboard reaches the way it
// reaches a menu bar: `opener` (F10) anywhere in `window` opens the first menu
// with its first entry highlighted; in an open menu, Left and Right move to the
// neighbouring menu, round the row (Right opens a submenu instead where the
// highlighted entry has one). `keys`, one per button where given (Alt+F for File),
// open that button's menu the same way. The buttons themselves never take the focus.
class DropDownRow : public QObject {
public:
    DropDownRow(QWidget *window, const QList<QToolButton *> &buttons, const QKeySequence &opener,
                const QList<QKeySequence> &keys = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the menu of button `index`, then whichever neighbour the keys asked
    // for while it was open, until one closes without asking.
    void open(int index);

    QList<QToolButton *> m_buttons;
    int m_next = -1;        // the menu to show when the open one closes
    bool m_opening = false; // inside open()
};

} // namespace vellumo
