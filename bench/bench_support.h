#pragma once

// What every benchmark program shares: pages made of repeated lines, and its main.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QList>

#include <ctime>
#include <functional>

namespace vellumo {

// `lines` one after another, again and again, each followed by `end`, until the page
// holds at least `size` characters (bytes for a QByteArray).
template <typename Text>
Text repeatedLines(const QList<Text> &lines, qsizetype size, const Text &end = Text()) {
    Text page;
    page.reserve(size + lines.first().size() + end.size() + 128);
    for (qsizetype i = 0; page.size() < size; ++i) {
        page += lines.at(i % lines.size());
        page += end;
    }
    return page;
}

// CPU seconds of the calling thread so far.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the registered benchmarks in an application on the offscreen platform (unless
// another is asked for), then `cleanup` while the application still exists.
inline int runBenchmarks(int argc, char **argv, const std::function<void()> &cleanup = {}) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cleanup)
        cleanup();
    return 0;
}

} // namespace vellumo
