#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace vellumo {

class InsertionCore;

// One button of the "Characters" page. A button shows `caption` when it has one, otherwise
// a small picture of `glyph`, the character its entity stands for.
struct EntityButton {
    enum Group { Symbols, LowerCaseLetters, UpperCaseLetters };

    QString objectName;
    QString toolTip;
    QString caption;
    QString glyph;
    QString entity; // inserted exactly as written, whatever the tag case
    Group group;
};

// The 84 buttons in palette order, row by row, left to right.
const std::vector<EntityButton> &entityButtons();

// Fills the "Characters" page: the buttons in rows of eight, the three groups separated by
// horizontal lines. A click replaces the editor's selection with the button's entity and
// leaves the focus where it was (the buttons never take it).
void populateCharacterPalette(QWidget *page, InsertionCore &core);

} // namespace vellumo
