// The text engine's first view as a program of its own, for black-box figures
// (first paint, Ctrl+End, a key at the end, memory) with the shared `measure`:
//   vellumo_text_view [FILE]
// It prints the CPU seconds used when the page is open and when its first paint is
// done, so the paint's own cost is the difference.

#include "text/text_buffer.h"
#include "text/text_view.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Reports the CPU seconds at the end of the first paint of `widget`.
class FirstPaint final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After the paint event has been handled in full.
            QTimer::singleShot(0, this, [] {
                std::fprintf(stderr, "first paint done: %.3f s CPU\n", cpuSeconds());
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

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
    std::fprintf(stderr, "page open: %.3f s CPU\n", cpuSeconds());
    vellumo::TextView view(&buffer);
    FirstPaint firstPaint;
    view.viewport()->installEventFilter(&firstPaint);
    view.resize(1000, 760);
    view.setWindowTitle(QStringLiteral("Text view"));
    // The title marks a modified page, as an editor's does.
    QObject::connect(&buffer, &vellumo::TextBuffer::changed, &view, [&] {
        view.setWindowTitle(buffer.isModified() ? QStringLiteral("Text view *")
                                                : QStringLiteral("Text view"));
    });
    view.show();
    return app.exec();
}
