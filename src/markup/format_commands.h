#pragma once

#include "widgets/flat_tool_button.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace vellumo {

class InsertionCore;

// One formatting command (Bold, Heading 1, Line break, Insert Comment ...): its markup in
// both tag cases and every control of the main window that runs it.
//
// In an opening text "%1" stands for the attribute quote; the command puts the editor's
// quote there when it runs ("<P ALIGN=%1LEFT%1>" becomes <P ALIGN="LEFT">).
struct MarkupCommand {
    enum Kind { Wrap, Insert };

    QString handler; // the button handler's name, "ToolbarButton9711Click"
    Kind kind;
    QString upperOpen, upperClose, lowerOpen, lowerClose; // an insert uses only the open texts
    int step;             // how far a wrap's opening text moves the selected text right
    QStringList controls; // objectNames of the bound buttons and menu actions
};

// Every formatting command, in the order of the standard toolbar, then the palette-only
// ones, Paragraph, Line break, Non-breaking space and Insert Comment.
const std::vector<MarkupCommand> &markupCommands();

// The command whose handler is `handler`, or nullptr.
const MarkupCommand *findMarkupCommand(const QString &handler);

// Wraps the selection or inserts at the caret in the current tag case, then gives the
// editor the keyboard focus, so a command run from a menu or palette leaves the user typing.
void runMarkupCommand(InsertionCore &core, const MarkupCommand &command);

// Connects every control named in markupCommands() found below `root`: a QAction through
// triggered, a plain button through clicked. A QToolButton that a toolbar made for an action
// is left alone - its action already runs the command, and connecting both would run it
// twice. Returns the names that were not found (an empty list when the window is whole).
QStringList bindMarkupCommands(QWidget *root, InsertionCore &core);

// The face of a formatting button, by its objectName (standard toolbar and "Fonts" page
// alike, so twins look the same). An empty face for names that are not formatting buttons.
ButtonFace formattingButtonFace(const QString &objectName);

// Fills the "Fonts" page with its 13 flat buttons in two rows. The buttons run their
// commands once bindMarkupCommands() has connected them.
void populateFontsPage(QWidget *page);

} // namespace vellumo
