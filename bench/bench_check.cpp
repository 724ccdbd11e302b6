// What Check Page costs on big pages: the check itself (CPU time of the thread
// that runs it), how soon Stop ends a running check, and the longest pause of
// the window's event loop from F9 to the listed result.
// Run with scripts/bench.sh (an optimised build, offscreen).

#include "check/check_worker.h"
#include "check/page_check.h"
#include "check/page_checker.h"
#include "editor/editor_page.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <pthread.h>
#include <thread>
#include <time.h>

using namespace vellumo;

namespace {

// Hand-written-looking markup with a problem every few lines: links, images
// with and without ALT, tables, old-style FONT and CENTER, a misnested pair.
QString generatedPage(qsizetype bytes) {
    static const QString lines[] = {
        QStringLiteral("<P>The editor keeps the caret where the user left it &amp; moves on.</P>"),
        QStringLiteral(
            "<A HREF=\"page%1.htm\">Another page</A> and <A HREF=\"#part%1\">a part</A>"),
        QStringLiteral(
            "<IMG SRC=\"images/pic%1.gif\" WIDTH=\"32\" HEIGHT=\"32\" ALT=\"A picture\">"),
        QStringLiteral("<TABLE BORDER=\"1\"><TR><TD>Cell %1</TD><TD>Other cell</TD></TR></TABLE>"),
        QStringLiteral("<CENTER><FONT FACE=\"Arial\" SIZE=\"2\">Centred text %1</FONT></CENTER>"),
        QStringLiteral("<H2 ID=\"part%1\">A heading with <B><I>misnested</B></I> words</H2>"),
        QStringLiteral("<UL><LI>One item<LI>Two items <IMG SRC=\"dot.gif\"></UL>"),
    };
    QString page = QStringLiteral("<!DOCTYPE html>\n<HTML>\n<HEAD>\n<TITLE>Big</TITLE>\n"
                                  "</HEAD>\n<BODY>\n");
    for (int i = 0; page.size() < bytes; ++i)
        page += (lines[i % 7].contains(u'%') ? lines[i % 7].arg(i / 7) : lines[i % 7]) + u'\n';
    return page + QStringLiteral("</BODY>\n</HTML>\n");
}

void CheckPage(benchmark::State &state) {
    QTemporaryDir folder;
    const CheckRequest request{generatedPage(state.range(0) << 20), folder.path(), false,
                               QStringLiteral("UTF-8")};
    const std::atomic_bool cancel{false};
    qsizetype problems = 0;
    for (auto _ : state) {
        const CheckResult result = checkPage(request, cancel);
        problems = result.problems.size() + result.notListed;
        benchmark::DoNotOptimize(problems);
    }
    state.counters["problems"] = double(problems);
    state.SetBytesProcessed(state.iterations() * request.text.size());
}
BENCHMARK(CheckPage)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

// CPU milliseconds used so far by a thread (the calling one by default).
double threadCpuMs(pthread_t thread = pthread_self()) {
    clockid_t clock;
    timespec now{};
    if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &now) != 0)
        return 0;
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// From Stop to the end of the check's thread, with Stop pressed at different
// moments of a 10 MB check (inside Tidy early on, in our own checks later).
void StopLatency(benchmark::State &state) {
    QTemporaryDir folder;
    const CheckRequest request{generatedPage(10 << 20), folder.path(), false,
                               QStringLiteral("UTF-8")};
    double longest = 0;
    double longestCpu = 0;
    for (auto _ : state) {
        std::atomic_bool cancel{false};
        std::atomic<double> cpuAtStop{0};
        double cpuAtEnd = 0;
        std::thread check([&] {
            checkPage(request, cancel);
            cpuAtEnd = threadCpuMs();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        QElapsedTimer timer;
        timer.start();
        cancel = true;
        cpuAtStop = threadCpuMs(check.native_handle());
        check.join();
        const double ms = timer.nsecsElapsed() / 1e6;
        longest = std::max(longest, ms);
        longestCpu = std::max(longestCpu, cpuAtEnd - cpuAtStop);
        state.SetIterationTime(ms / 1000);
    }
    // On a busy machine the wall time stretches with the load; the CPU time the
    // check still spends after Stop does not.
    state.counters["longest_stop_ms"] = longest;
    state.counters["longest_stop_cpu_ms"] = longestCpu;
}
BENCHMARK(StopLatency)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(3000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// F9 on a page in the real editor: the longest gap between two turns of the
// event loop until the result is listed.
void WindowPauseDuringCheck(benchmark::State &state) {
    QTemporaryDir folder;
    QPlainTextEdit editor;
    editor.setPlainText(generatedPage(state.range(0) << 20));
    EditorPage page(&editor);
    PageCheck check(page, [&folder] {
        return CheckRequest{{}, folder.path(), false, QStringLiteral("UTF-8")};
    });
    double longest = 0;
    for (auto _ : state) {
        QSignalSpy done(&check.worker(), &CheckWorker::finished);
        QElapsedTimer sinceLastTurn;
        QTimer ticker;
        ticker.setInterval(1);
        QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] {
            longest = std::max(longest, sinceLastTurn.nsecsElapsed() / 1e6);
            sinceLastTurn.restart();
        });
        sinceLastTurn.start();
        ticker.start();
        check.CheckPage1Click();
        done.wait(120000);
        longest = std::max(longest, sinceLastTurn.nsecsElapsed() / 1e6);
    }
    state.counters["longest_stall_ms"] = longest;
}
BENCHMARK(WindowPauseDuringCheck)
    ->Arg(1)
    ->Arg(10)
    ->Arg(50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace

int main(int argc, char *argv[]) {
    return runBenchmarks(argc, argv);
}
