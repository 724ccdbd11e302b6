#pragma once

#include <QIcon>
#include <QString>

class QGridLayout;
class QToolButton;
class QWidget;

namespace vellumo {

// What a palette or toolbar button shows: a picture, or a short text face
// ("BR", "H1", "Abc") in the given colour and weight.
struct ButtonFace {
    QIcon icon;
    QString caption;
    QColor colour = Qt::black;
    bool bold = false;
};

// A flat 23 by 22 button that a click never gives the keyboard focus, so that clicking
// it leaves the caret and focus where they were; Tab reaches it, and Enter or Space
// presses it.
QToolButton *makeFlatButton(QWidget *parent, const QString &objectName, const QString &toolTip,
                            const ButtonFace &face);

// Lays palette buttons in rows of `columns`, left to right, top to bottom.
void addToPaletteGrid(QGridLayout *grid, QToolButton *button, int index, int columns = 8,
                      int firstRow = 0);

} // namespace vellumo
