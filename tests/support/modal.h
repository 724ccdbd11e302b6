#pragma once

// Drives a modal window that the code under test is about to open: `act` runs
// on the active modal widget as soon as it appears, inside its event loop.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace vellumo {

namespace detail {

inline void pollForModal(std::shared_ptr<std::function<void(QWidget *)>> act, int attemptsLeft,
                         int delay) {
    QTimer::singleShot(delay, [act = std::move(act), attemptsLeft] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            (*act)(modal);
            return;
        }
        if (attemptsLeft > 0)
            pollForModal(act, attemptsLeft - 1, 10);
    });
}

inline void pollForPopup(std::shared_ptr<std::function<bool(QWidget *)>> act, int attemptsLeft) {
    QTimer::singleShot(attemptsLeft == 0 ? 0 : 10, [act = std::move(act), attemptsLeft] {
        QWidget *popup = QApplication::activePopupWidget();
        if (popup != nullptr && (*act)(popup))
            return;
        if (attemptsLeft < 300)
            pollForPopup(act, attemptsLeft + 1);
    });
}

} // namespace detail

inline void whenModalShown(std::function<void(QWidget *)> act, int attempts = 200) {
    detail::pollForModal(std::make_shared<std::function<void(QWidget *)>>(std::move(act)), attempts,
                         0);
}

// Drives a popup menu that is about to open: `act` runs on the active popup
// once it has appeared, and again on each popup after it until it returns true.
inline void whenPopupShown(std::function<bool(QWidget *)> act) {
    detail::pollForPopup(std::make_shared<std::function<bool(QWidget *)>>(std::move(act)), 0);
}

} // namespace vellumo
