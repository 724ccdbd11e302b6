// What the text engine costs on big pages: opening a page and building its line
// index, the line index scan alone, an insertion and a removal at the start,
// middle and end (the same on a 10 KB page as on a 50 MB one), line <-> position,
// and the text of a screen of 60 lines, on a page as opened and on one after
// 10,000 scattered edits; and a key typed into the first view at the page's end.
// The pages are those of the shared `make-inputs` when VELLUMO_BENCH_INPUTS names
// the folder it wrote; otherwise pages of the same shape are generated.
// Run with scripts/bench.sh (an optimised build).

#include "text/text_buffer.h"
#include "text/text_view.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <string>

using namespace vellumo;

namespace {

constexpr qsizetype KiB = 1024;
constexpr qsizetype MiB = 1024 * KiB;

// Hand-written-looking markup, lines of 60-100 characters, a few accented letters.
QByteArray generatedPage(qsizetype bytes) {
    static const QByteArray lines[] = {
        "    <p>The editor keeps the caret where the user left it &amp; moves on.</p>\n",
        "      <a href=\"chapter-two.html\">Read the second chapter</a> &mdash; or skip it<br>\n",
        "      <tr><td>caf\xC3\xA9 cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
        "e</td><td>&copy; 2026</td></tr>\n",
        "    <li>One more item of a long list, with <em>emphasis</em> and "
        "\xE2\x80\x9Cquotes\xE2\x80\x9D</li>\n",
    };
    return repeatedLines(QList<QByteArray>(std::begin(lines), std::end(lines)), bytes);
}

// The page of `bytes` (rounded to make-inputs' sizes) as a file.
QString pageFile(qsizetype bytes) {
    const QString inputs = qEnvironmentVariable("VELLUMO_BENCH_INPUTS");
    const QString name = bytes >= MiB ? QStringLiteral("page-%1m.html").arg(bytes / MiB)
                                      : QStringLiteral("page-%1k.html").arg(bytes / KiB);
    if (!inputs.isEmpty() && QFile::exists(inputs + u'/' + name))
        return inputs + u'/' + name;
    static QTemporaryDir folder;
    const QString path = folder.filePath(name);
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(generatedPage(bytes)) < 0)
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

// The page opened once per size; with `edits`, after that many scattered edits.
TextBuffer &openedPage(qsizetype bytes, int edits = 0) {
    static std::map<std::pair<qsizetype, int>, std::unique_ptr<TextBuffer>> pages;
    auto &page = pages[{bytes, edits}];
    if (!page) {
        page = std::make_unique<TextBuffer>();
        page->openFile(pageFile(bytes));
        QRandomGenerator random(7);
        for (int i = 0; i < edits; ++i) {
            const qsizetype at = random.bounded(static_cast<int>(page->size()));
            if (i % 3 == 2)
                page->remove(at, at + 3);
            else
                page->insert(at, i % 5 == 0 ? QStringLiteral("<br>\n") : QStringLiteral("x"));
        }
    }
    return *page;
}

qint64 statusField(const char *field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stoll(line.substr(std::string(field).size())) * 1024;
    return 0;
}

// The peak memory of a process of this program that opens the page and exits,
// as a multiple of the file's size (the whole process, libraries included).
double openingPeakRatio(const QString &path, const char *program) {
    const std::string command =
        std::string(program) + " --peak-of-opening '" + path.toStdString() + "'";
    FILE *child = popen(command.c_str(), "r");
    if (!child)
        return 0;
    long long peak = 0;
    if (fscanf(child, "%lld", &peak) != 1)
        peak = 0;
    pclose(child);
    return static_cast<double>(peak) / static_cast<double>(QFile(path).size());
}

const char *g_program = "";

void BM_OpenPage(benchmark::State &state) {
    const QString path = pageFile(state.range(0) * MiB);
    state.counters["peak_memory_per_file_byte"] = openingPeakRatio(path, g_program);
    for (auto _ : state) {
        TextBuffer page;
        page.openFile(path);
        benchmark::DoNotOptimize(page.lineCount());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_OpenPage)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

// The vectorised scan that builds the line index, on bytes already in memory.
void BM_ScanLineIndex(benchmark::State &state) {
    QFile file(pageFile(state.range(0) * MiB));
    if (!file.open(QIODevice::ReadOnly))
        return state.SkipWithError("cannot read the page");
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        Utf8Store store;
        store.bytes = bytes;
        benchmark::DoNotOptimize(scanUtf8(store, 0, bytes.size()).units);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ScanLineIndex)->Arg(50)->Unit(benchmark::kMillisecond);

// One iteration inserts a character and removes it again: two edits, each its
// own undo step, each reported as a change.
void editAt(benchmark::State &state, qsizetype bytes, int place) {
    TextBuffer &page = openedPage(bytes);
    const QString character = QStringLiteral("x");
    for (auto _ : state) {
        const qsizetype at = place == 0 ? 0 : place == 1 ? page.size() / 2 : page.size();
        page.insert(at, character);
        page.remove(at, at + 1);
    }
}

void BM_LineToPosition(benchmark::State &state) {
    const TextBuffer &page = openedPage(state.range(0) * MiB, static_cast<int>(state.range(1)));
    QRandomGenerator random(1);
    qsizetype line = 0;
    for (auto _ : state) {
        line = (line + random.bounded(static_cast<int>(page.lineCount()))) % page.lineCount();
        benchmark::DoNotOptimize(page.lineStart(line));
    }
}
BENCHMARK(BM_LineToPosition)->Args({50, 0})->Args({50, 10000});

void BM_PositionToLine(benchmark::State &state) {
    const TextBuffer &page = openedPage(state.range(0) * MiB, static_cast<int>(state.range(1)));
    QRandomGenerator random(2);
    for (auto _ : state)
        benchmark::DoNotOptimize(page.lineAt(random.bounded(static_cast<int>(page.size()))));
}
BENCHMARK(BM_PositionToLine)->Args({50, 0})->Args({50, 10000});

// What a view asks for at every scroll: the text of the 60 lines it shows.
void BM_ScreenText(benchmark::State &state) {
    const TextBuffer &page = openedPage(state.range(0) * MiB, static_cast<int>(state.range(1)));
    QRandomGenerator random(3);
    for (auto _ : state) {
        const qsizetype first = random.bounded(static_cast<int>(page.lineCount() - 60));
        benchmark::DoNotOptimize(page.text(page.lineStart(first), page.lineStart(first + 60)));
    }
}
BENCHMARK(BM_ScreenText)->Args({50, 0})->Args({50, 10000})->Unit(benchmark::kMicrosecond);

// Counts the paints of a widget, to be sure each key was drawn.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
    qint64 count = 0;
};

// A key typed at the end of the 50 MB page in the view and its paint (offscreen),
// then Backspace and its paint: one iteration is two keys.
void BM_ViewKeyAtEnd(benchmark::State &state) {
    TextBuffer page;
    page.openFile(pageFile(50 * MiB));
    TextView view(&page);
    view.resize(1000, 760);
    view.show();
    view.setFocus();
    view.setCaret(page.size());
    QApplication::processEvents();
    PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    const auto key = [&](int code, const QString &text) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(&view, &press);
        QApplication::processEvents();
    };
    for (auto _ : state) {
        key(Qt::Key_X, QStringLiteral("x"));
        key(Qt::Key_Backspace, QString());
    }
    state.counters["paints_per_key"] =
        static_cast<double>(paints.count) / static_cast<double>(2 * state.iterations());
}
BENCHMARK(BM_ViewKeyAtEnd)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::string(argv[1]) == "--peak-of-opening") {
        TextBuffer page;
        page.openFile(QString::fromLocal8Bit(argv[2]));
        std::printf("%lld\n", statusField("VmHWM:") + 0 * page.lineCount());
        return 0;
    }
    g_program = argv[0];
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::pair<const char *, qsizetype> sizes[] = {
        {"10K", 10 * KiB}, {"1M", MiB}, {"50M", 50 * MiB}};
    const char *places[] = {"start", "middle", "end"};
    for (const auto &[name, bytes] : sizes)
        for (int place = 0; place < 3; ++place)
            benchmark::RegisterBenchmark(
                (std::string("BM_Edit/") + name + '/' + places[place]).c_str(),
                [bytes = bytes, place](benchmark::State &state) { editAt(state, bytes, place); });
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
