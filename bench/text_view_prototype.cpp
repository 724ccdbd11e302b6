// The text engine's first view as a program of its own, for black-box figures
// (first paint, Ctrl+End, a key at the end, memory) with the shared `measure`:
//   vellumo_text_view [FILE]

#include "text/text_buffer.h"
#include "text/text_view.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    vellumo::TextBuffer buffer;
    if (argc > 1) {
        const QString path = QString::fromLocal8Bit(argv[1]);
        if (const QString problem = buffer.openFile(path); !problem.isEmpty()) {
            QMessageBox::critical(nullptr, QStringLiteral("Text view"),
                                  QStringLiteral("Cannot open %1: %2").arg(path, problem));
            return 1;
        }
    }
    vellumo::TextView view(&buffer);
    view.resize(1000, 760);
    view.setWindowTitle(QStringLiteral("Text view"));
    view.show();
    return app.exec();
}
