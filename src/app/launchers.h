#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vellumo {

class TForm1;

// A command that only shows its window modally: it prepares nothing, passes
// nothing in, reads nothing back and leaves the editor's selection alone.
struct Launcher {
    QString handler;      // the command's name in the house vocabulary
    QStringList controls; // every button and menu entry bound to it
    QString window;       // the object name of the window it shows
};

const std::vector<Launcher> &launchers();

// Connects every launcher control found in the main window.
void bindLaunchers(TForm1 &mainWindow);

} // namespace vellumo
