#pragma once

#include <QList>
#include <QString>

class QWidget;

namespace vellumo {

class Platform;
class TForm1;
class TForm2;

// Every window of the program, created once at start-up, hidden, in a fixed
// order, and alive until the end of the run.
class Windows {
public:
    explicit Windows(Platform &platform);
    ~Windows();
    Windows(const Windows &) = delete;
    Windows &operator=(const Windows &) = delete;

    TForm1 &mainWindow() { return *m_main; }
    // All 26 in creation order, the main window first.
    const QList<QWidget *> &all() const { return m_all; }

private:
    TForm1 *m_main;
    QList<QWidget *> m_all;
};

// The program: command line, windows, event loop.
int runApplication(int argc, char *argv[]);

} // namespace vellumo
