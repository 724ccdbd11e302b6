#include "check/check_worker.h"

#include "check/page_checker.h"

#include <QThread>

namespace vellumo {

CheckWorker::CheckWorker(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<CheckResult>();
}

CheckWorker::~CheckWorker() {
    cancelAll();
    for (const Run &run : std::as_const(m_runs)) {
        run.thread->wait();
        delete run.thread;
    }
}

void CheckWorker::cancelAll() {
    for (const Run &run : std::as_const(m_runs))
        run.cancel->store(true);
}

void CheckWorker::start(CheckRequest request) {
    cancelAll();
    const quint64 generation = ++m_generation;
    auto cancel = std::make_shared<std::atomic_bool>(false);
    QThread *thread =
        QThread::create([this, generation, cancel, request = std::move(request)]() mutable {
            // The editor separates its lines with paragraph separators.
            request.text.replace(QChar::ParagraphSeparator, u'\n');
            CheckResult result = checkPage(request, *cancel);
            if (cancel->load())
                return;
            // Delivered on the GUI thread; dropped with the worker if it is gone by then
            // (it cannot be: it waits for this thread), or when a newer run replaced it.
            QMetaObject::invokeMethod(
                this,
                [this, generation, result = std::move(result)] {
                    if (generation != m_generation || !m_running)
                        return;
                    m_running = false;
                    Q_EMIT finished(result);
                },
                Qt::QueuedConnection);
        });
    thread->setObjectName(QStringLiteral("Page check"));
    m_runs.append({thread, cancel});
    connect(thread, &QThread::finished, this, [this, thread] {
        m_runs.removeIf([thread](const Run &run) { return run.thread == thread; });
        thread->deleteLater();
    });
    m_running = true;
    thread->start(QThread::LowPriority);
}

void CheckWorker::stop() {
    if (!m_running)
        return;
    cancelAll();
    m_running = false;
    ++m_generation;
    Q_EMIT stopped();
}

} // namespace vellumo
