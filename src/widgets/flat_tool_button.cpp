#include "widgets/flat_tool_button.h"

#include <QGridLayout>
#include <QToolButton>

namespace vellumo {

QToolButton *makeFlatButton(QWidget *parent, const QString &objectName, const QString &toolTip,
                            const ButtonFace &face) {
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
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
