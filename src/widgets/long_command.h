#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace vellumo {

// Runs `work` on a worker thread while this thread calls `whileWaiting` every few
// milliseconds (to paint, to show progress). Once `whileWaiting` returns false,
// `stop` is set for the work to end early, and the call still waits for it: no
// worker outlives it. Returns false when `whileWaiting` gave up.
bool runAside(const std::function<void(const std::atomic_bool &stop)> &work,
              const std::function<bool()> &whileWaiting);

// A command that may keep the user waiting: opening a big page, a conversion or a
// Replace All over one. While it is quick nothing shows and only painting and
// timers are handled (the keys and clicks wait for the command); once `showAfterMs`
// have passed a modal progress window says how far it got and offers Cancel.
class LongCommand {
public:
    LongCommand(QWidget *window, QString label, int showAfterMs = 500);
    ~LongCommand();
    LongCommand(const LongCommand &) = delete;
    LongCommand &operator=(const LongCommand &) = delete;

    // Between steps of the work: `done` of `total` (a total of 0 knows no end yet).
    // False once the user cancelled.
    bool step(qint64 done, qint64 total);
    // `work` on a worker thread, the window kept alive meanwhile; false when cancelled.
    bool runAside(const std::function<void(const std::atomic_bool &stop)> &work);
    bool cancelled() const { return m_cancelled; }
    // What the status bar says after a command over the page was cancelled.
    static QString cancelledReport() { return QStringLiteral("Cancelled: the page is as it was"); }

private:
    QPointer<QWidget> m_window;
    QString m_label;
    int m_showAfterMs;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace vellumo
