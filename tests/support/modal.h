#pragma once

// Drives a modal window that the code under test is about to open: `act` runs
// on the active modal widget as soon as it appears, inside its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace vellumo {

inline void whenModalShown(std::function<void(QWidget *)> act, int attempts = 200)
{
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [act = std::move(act), poll](int left) {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            act(modal);
            return;
        }
        if (left > 0)
            QTimer::singleShot(10, [poll, left] { (*poll)(left - 1); });
    };
    QTimer::singleShot(0, [poll, attempts] { (*poll)(attempts); });
}

} // namespace vellumo
