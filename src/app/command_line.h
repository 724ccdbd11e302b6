#pragma once

#include <QString>
#include <QStringList>

namespace vellumo {

// The exit status of a run stopped by a mistake on the command line.
inline constexpr int CommandLineErrorExit = 2;

// What the command line asks for, read before any window is made.
struct CommandLine {
    bool help = false;
    bool version = false;
    QString screenshot; // the picture to write, when --screenshot was given
    QStringList files;  // the pages to open, as given
    QString error;      // the mistake on the command line, in words; empty when none
};

// Reads `arguments` (the program's name first). A file that is a folder is a
// mistake; a file that does not exist is not (it becomes a new page of that name).
CommandLine parseCommandLine(const QStringList &arguments);

// What --help and --version print. Need a QCoreApplication for the program's name.
QString commandLineHelp();
QString versionText();

// Prints help, version or the mistake, for a command line that starts no window;
// returns the exit status.
int answerWithoutWindow(const CommandLine &line);

} // namespace vellumo
