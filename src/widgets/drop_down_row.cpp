#include "widgets/drop_down_row.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace vellumo {

namespace {

QAction *firstEntry(const QMenu *menu) {
    const QList<QAction *> entries = menu->actions();
    for (QAction *entry : entries)
        if (entry->isVisible() && entry->isEnabled() && !entry->isSeparator())
            return entry;
    return nullptr;
}

} // namespace

DropDownRow::DropDownRow(QWidget *window, const QList<QToolButton *> &buttons,
                         const QKeySequence &opener, const QList<QKeySequence> &keys)
    : QObject(window)
    , m_buttons(buttons) {
    for (QToolButton *button : buttons) {
        Q_ASSERT(button->menu() != nullptr);
        button->menu()->installEventFilter(this);
    }
    auto addOpener = [this, window](const QKeySequence &key, int index) {
        auto *shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, index] { open(index); });
    };
    addOpener(opener, 0);
    for (int index = 0; index < keys.size() && index < buttons.size(); ++index)
        if (!keys.at(index).isEmpty())
            addOpener(keys.at(index), index);
}

void DropDownRow::open(int index) {
    m_opening = true;
    for (int current = index; current >= 0; current = m_next) {
        m_next = -1;
        QToolButton *button = m_buttons.at(current);
        QMenu *menu = button->menu();
        // Highlighted once it is up: a menu opened from the keyboard is used from it.
        QTimer::singleShot(0, menu, [menu] {
            if (menu->isVisible() && menu->activeAction() == nullptr)
                menu->setActiveAction(firstEntry(menu));
        });
        button->showMenu(); // returns when the menu has closed
    }
    m_opening = false;
}

bool DropDownRow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    auto *menu = qobject_cast<QMenu *>(watched);
    if (menu == nullptr || (key != Qt::Key_Left && key != Qt::Key_Right))
        return false;
    if (key == Qt::Key_Right && menu->activeAction() != nullptr &&
        menu->activeAction()->menu() != nullptr)
        return false; // the submenu opens
    qsizetype here = -1;
    for (qsizetype i = 0; i < m_buttons.size(); ++i)
        if (m_buttons.at(i)->menu() == menu)
            here = i;
    if (here < 0)
        return false;
    const qsizetype count = m_buttons.size();
    const qsizetype next = (here + (key == Qt::Key_Right ? 1 : count - 1)) % count;
    m_next = int(next);
    menu->close();
    // A menu opened by a click is not shown from open(), which would go on to
    // the next one: the row is taken over from here.
    if (!m_opening)
        QTimer::singleShot(0, this, [this, next] { open(int(next)); });
    return true;
}

} // namespace vellumo
