#include "widgets/flat_tool_button.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QToolButton>

namespace vellumo {

namespace {

// Enter on a palette button reached from the keyboard presses it, as Space does.
class EnterPresses final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                static_cast<QToolButton *>(watched)->click();
                return true;
            }
        }
        return false;
    }
};

} // namespace

QToolButton *makeFlatButton(QWidget *parent, const QString &objectName, const QString &toolTip,
                            const ButtonFace &face) {
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    // A click leaves the focus where it was, so the caret stays in the page; the keyboard
    // (Tab, F6) still reaches the button.
    button->setFocusPolicy(Qt::TabFocus);
    button->installEventFilter(new EnterPresses(button));
    button->setFixedSize(23, 22);
    if (!face.icon.isNull()) {
        button->setIcon(face.icon);
        button->setIconSize(QSize(16, 16));
    } else {
        button->setText(face.caption);
        QFont font = button->font();
        font.setBold(face.bold);
        button->setFont(font);
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, face.colour);
        button->setPalette(palette);
    }
    return button;
}

void addToPaletteGrid(QGridLayout *grid, QToolButton *button, int index, int columns,
                      int firstRow) {
    grid->addWidget(button, firstRow + index / columns, index % columns);
}

} // namespace vellumo
