#pragma once

#include <QColor>
#include <QKeySequence>
#include <QString>

#include <vector>

namespace vellumo {

// One entry of a menu: a named action, or a separator when the name is empty.
struct MenuEntry {
    QString name;
    QString text;
    QKeySequence shortcut = {};
};

// A drop-down menu of the menu toolbar, or a submenu of the editor's menu.
struct MenuTable {
    QString buttonName; // the menu toolbar button that drops it down ("" for submenus)
    QString buttonText;
    QString menuName;
    std::vector<MenuEntry> entries;
};

const std::vector<MenuTable> &dropDownMenus();
// The editor's context menu: the "&File" and "&Tags" submenus, then its own entries.
const std::vector<MenuTable> &editorMenuSubmenus();
const std::vector<MenuEntry> &editorMenuEntries();

// A toolbar or palette button: its name and hint; a separator when the name is
// empty. The face is looked up by hint, so twins look alike.
struct ButtonEntry {
    QString name;
    QString hint;
};

const std::vector<ButtonEntry> &standardToolbar();
const std::vector<ButtonEntry> &insertToolbar();
const std::vector<ButtonEntry> &normalPalette();
const std::vector<ButtonEntry> &appletsPalette();

// The picture of a button: a short text drawn in a colour, bold or not.
struct Face {
    QString glyph;
    QColor colour = Qt::black;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};
Face faceForHint(const QString &hint);

} // namespace vellumo
