#include "widgets/long_command.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vellumo {

bool runAside(const std::function<void(const std::atomic_bool &stop)> &work,
              const std::function<bool()> &whileWaiting) {
    std::atomic_bool stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread worker([&] {
        work(stop);
        std::lock_guard lock(mutex);
        done = true;
        finished.notify_one();
    });
    for (;;) {
        {
            // Short waits: often enough for painting and timers, rarely enough
            // to cost nothing.
            std::unique_lock lock(mutex);
            if (finished.wait_for(lock, std::chrono::milliseconds(15), [&] { return done; }))
                break;
        }
        if (whileWaiting && !whileWaiting()) {
            stop = true;
            break;
        }
    }
    worker.join();
    return !stop;
}

LongCommand::LongCommand(QWidget *window, QString label, int showAfterMs)
    : m_window(window)
    , m_label(std::move(label))
    , m_showAfterMs(showAfterMs) {
    m_clock.start();
}

LongCommand::~LongCommand() = default;

bool LongCommand::step(qint64 done, qint64 total) {
    if (m_cancelled)
        return false;
    if (!m_dialog && m_clock.elapsed() >= m_showAfterMs) {
        m_dialog =
            std::make_unique<QProgressDialog>(m_label, QStringLiteral("Cancel"), 0, 1000, m_window);
        m_dialog->setWindowTitle(QStringLiteral("Vellumo"));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->show();
    }
    if (!m_dialog) {
        // Painting and timers only: the keys and clicks wait for the command.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    }
    if (total > 0) {
        m_dialog->setMaximum(1000);
        m_dialog->setValue(static_cast<int>(done * 1000 / total));
    } else {
        m_dialog->setMaximum(0); // busy: no end known yet
    }
    // The progress window is modal: of the input, only its Cancel gets through.
    QCoreApplication::processEvents();
    m_cancelled = m_dialog->wasCanceled();
    return !m_cancelled;
}

bool LongCommand::runAside(const std::function<void(const std::atomic_bool &stop)> &work) {
    return vellumo::runAside(work, [this] { return step(0, 0); });
}

} // namespace vellumo
