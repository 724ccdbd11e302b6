#pragma once

#include "check/problem.h"

#include <QList>
#include <QObject>

#include <atomic>
#include <memory>

class QThread;

namespace vellumo {

// Runs page checks off the GUI thread. Starting a check while one runs
// restarts it: the old run is told to stop and its result never arrives. Stop
// tells the running check to end; it does so within moments, also inside Tidy.
class CheckWorker final : public QObject {
    Q_OBJECT
public:
    explicit CheckWorker(QObject *parent = nullptr);
    // Stops every run and waits for it: no thread outlives the worker.
    ~CheckWorker() override;

    void start(CheckRequest request);
    void stop();
    // Whether a check is running whose result is still wanted.
    bool isRunning() const { return m_running; }
    // Whether any thread of a run, wanted or stopped, is still going.
    bool isBusy() const { return !m_runs.isEmpty(); }

Q_SIGNALS:
    void finished(const vellumo::CheckResult &result);
    void stopped();

private:
    struct Run {
        QThread *thread = nullptr;
        std::shared_ptr<std::atomic_bool> cancel;
    };
    void cancelAll();

    QList<Run> m_runs;
    quint64 m_generation = 0;
    bool m_running = false;
};

} // namespace vellumo
