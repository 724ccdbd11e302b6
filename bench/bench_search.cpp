// What searching costs on big pages and folders: Find Next to a match near the
// end of a 50 MB page, counting a common word on 50 MB, Replace All of 100,000
// matches on 10 MB (and its undo), a key typed into the find field on 10 MB,
// and Find in Files over 2,000 files (200 MB) with the time to the first result.
// Run with scripts/bench.sh (an optimised build, offscreen).

#include "editor/editor_page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "platform/platform.h"
#include "search/file_search.h"
#include "search/find_bar.h"
#include "search/text_search.h"

#include "bench_support.h"
#include "shown_page.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <ctime>
#include <map>
#include <memory>

using namespace vellumo;

namespace {

// Markup with a class attribute on every line (about 100 characters a line).
QString classPage(qsizetype bytes) {
    static const QString lines[] = {
        QStringLiteral("<p class=\"note\">The editor keeps the caret where the user left it &amp; "
                       "moves on.</p>"),
        QStringLiteral("  <a class=\"chapter\" href=\"chapter-two.htm\">Read the second chapter</a>"
                       " &mdash; or not"),
        QStringLiteral("<td class=\"cell\">caf\u00E9</td><td>&copy; 2026, with a few more words "
                       "to fill it</td>"),
        QStringLiteral("    <li class=\"item\">One more item of a long list, with <b>bold</b> "
                       "and <i>italic</i></li>"),
    };
    return repeatedLines(QList<QString>(std::begin(lines), std::end(lines)), bytes,
                         QStringLiteral("\n"));
}

// The platform for the bar: no settings kept, nothing asked.
class QuietPlatform final : public Platform {
public:
    QVariant readSetting(const QString &) override { return {}; }
    void writeSetting(const QString &, const QVariant &) override {}
    QMessageBox::StandardButton ask(QWidget *, const QString &, const QString &,
                                    QMessageBox::StandardButtons) override {
        return QMessageBox::No;
    }
    void showError(QWidget *, const QString &, const QString &) override {}
    void showInformation(QWidget *, const QString &, const QString &) override {}
    QString chooseOpenFile(QWidget *, const FileChooserRequest &) override { return {}; }
    QString chooseSaveFile(QWidget *, const FileChooserRequest &) override { return {}; }
    void showHelp(int) override {}
    void closeHelp() override {}
    bool openUrl(const QUrl &) override { return false; }
    bool startProgram(const QString &) override { return false; }
    bool startCopyOfThisProgram(const QStringList &) override { return false; }
    bool clipboardHasText() override { return false; }
    QStringList fontFamilies() override { return {}; }
};

struct ShownPage {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};
    QuietPlatform platform;
    FindBar *bar = new FindBar(core, platform, &window);

    explicit ShownPage(QString text) {
        editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        showPage(window, editor, std::move(text), bar);
    }
};

std::map<qsizetype, std::unique_ptr<ShownPage>> pages;

ShownPage &pageOf(qsizetype bytes) {
    auto &page = pages[bytes];
    if (!page) {
        QString text = classPage(bytes);
        text.insert(text.size() - 200, QStringLiteral("needle"));
        page = std::make_unique<ShownPage>(text);
    }
    return *page;
}

void caretAtStart(ShownPage &page) {
    QTextCursor cursor = page.editor->textCursor();
    cursor.setPosition(0);
    page.editor->setTextCursor(cursor);
}

// F3 from the start of the page to a match 200 characters before its end; the
// page's text is taken afresh each time, as after an edit.
void BM_FindNextNearEnd(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    for (auto _ : state) {
        caretAtStart(page);
        EditorPage text(page.editor);
        const TextMatch match = TextSearch(QStringLiteral("needle"), {}).next(text.snapshot(), 0);
        benchmark::DoNotOptimize(match);
    }
}

// F3 after a key typed at the top of the page: the text kept since the last search
// takes in the edited span (and moves the rest of the page along by a character).
void BM_FindNextAfterTyping(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    EditorPage text(page.editor);
    text.holdSnapshot();
    text.snapshot();
    for (auto _ : state) {
        QTextCursor cursor(page.editor->document());
        cursor.insertText(QStringLiteral("x"));
        caretAtStart(page);
        const TextMatch match = TextSearch(QStringLiteral("needle"), {}).next(text.snapshot(), 0);
        benchmark::DoNotOptimize(match);
    }
}

// Taking the page's text for a search, as the first search of a page does on the
// window's thread.
void BM_TakePageText(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    for (auto _ : state) {
        EditorPage text(page.editor);
        benchmark::DoNotOptimize(text.snapshot().size());
    }
}

// The same read in slices between the window's events, as the find bar reads a big
// page: the longest slice is how long the window is held still.
void BM_ReadPageInSlices(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    double longestMs = 0;
    for (auto _ : state) {
        EditorPage text(page.editor);
        bool ready = false;
        QObject::connect(&text, &vellumo::Page::snapshotReady, [&ready] { ready = true; });
        text.prepareSnapshot();
        while (!ready) {
            QElapsedTimer clock;
            clock.start();
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            longestMs = std::max(longestMs, double(clock.nsecsElapsed()) / 1e6);
        }
        benchmark::DoNotOptimize(text.snapshot().size());
    }
    state.counters["longest_slice_ms"] = longestMs;
}

// The same with Qt's own QTextDocument::find, for comparison.
void BM_QtDocumentFindNearEnd(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(page.editor->document()->find(QStringLiteral("needle"), 0));
}

// What the counting thread does for "3 of 120".
void BM_CountClass(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    EditorPage text(page.editor);
    const QString snapshot = text.snapshot();
    qint64 count = 0;
    for (auto _ : state) {
        count = 0;
        TextSearch(QStringLiteral("class"), {}).forEach(snapshot, {}, [&](const TextMatch &) {
            ++count;
            return true;
        });
    }
    state.counters["matches"] = double(count);
    state.SetBytesProcessed(state.iterations() * snapshot.size());
}

// Replace All of every "class" in a 10 MB page (one per line, 100,000 of them),
// and the undo of that one step.
void BM_ReplaceAll(benchmark::State &state) {
    ShownPage page(classPage(state.range(0)));
    double undoSeconds = 0;
    qsizetype replaced = 0;
    for (auto _ : state) {
        EditorPage text(page.editor);
        const QList<TextReplacement> replacements =
            TextSearch(QStringLiteral("class"), SearchOption::MatchCase)
                .replacements(text.snapshot(), QStringLiteral("style"));
        QList<RangeEdit> edits;
        edits.reserve(replacements.size());
        for (const TextReplacement &r : replacements)
            edits.append(RangeEdit{int(r.start), int(r.length), r.text});
        page.core.ReplaceRanges(edits);
        QApplication::processEvents();
        replaced = edits.size();
        state.PauseTiming();
        const double before = threadSeconds();
        page.editor->undo();
        QApplication::processEvents();
        undoSeconds += threadSeconds() - before;
        state.ResumeTiming();
    }
    state.counters["replaced"] = double(replaced);
    state.counters["undo_cpu_ms"] = undoSeconds * 1000 / double(state.iterations());
}

// One key typed into the find field with the bar open: the search from the
// start point, the highlights of the screen painted, the count handed to its thread.
void BM_TypeInFindField(benchmark::State &state) {
    ShownPage &page = pageOf(state.range(0));
    caretAtStart(page);
    page.bar->showFind();
    QLineEdit *field = page.bar->findChild<QComboBox *>(QStringLiteral("FindEdit"))->lineEdit();
    QTest::keyClicks(field, QStringLiteral("cla"));
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(field, Qt::Key_S); // "clas": found at once
        QTest::keyClick(field, Qt::Key_Q); // "clasq": found nowhere, the whole page searched
        QApplication::processEvents();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QApplication::processEvents();
    }
    state.counters["keys"] =
        benchmark::Counter(double(state.iterations()) * 4, benchmark::Counter::kIsRate);
    page.bar->close();
}

// Find in Files over 2,000 pages of 100 KB in 20 folders, from the page cache.
void BM_FindInFiles(benchmark::State &state) {
    static QTemporaryDir folder;
    static bool made = false;
    const QByteArray bytes = classPage(100 * 1024).toUtf8();
    if (!made) {
        for (int d = 0; d < 20; ++d) {
            QDir(folder.path()).mkpath(QStringLiteral("site/part%1").arg(d));
            for (int f = 0; f < 100; ++f) {
                QFile file(folder.filePath(QStringLiteral("site/part%1/page%2.htm").arg(d).arg(f)));
                if (!file.open(QIODevice::WriteOnly))
                    state.SkipWithError("cannot write the tree");
                file.write(f == 50 ? bytes + "needle\n" : bytes);
            }
        }
        made = true;
    }
    FileSearchRequest request;
    request.folder = folder.filePath(QStringLiteral("site"));
    request.search = TextSearch(QStringLiteral("needle"), {});
    std::atomic_bool cancel = false;
    double firstResult = 0;
    qint64 searched = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        bool first = true;
        const FileSearchTotals totals = searchFiles(
            request,
            [&](FileResult) {
                if (first)
                    firstResult += clock.nsecsElapsed() / 1e6;
                first = false;
            },
            [](SkippedEntry) {}, cancel);
        searched += totals.bytesSearched;
    }
    state.counters["first_result_ms"] = firstResult / double(state.iterations());
    state.SetBytesProcessed(searched);
}

BENCHMARK(BM_FindNextNearEnd)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNextAfterTyping)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakePageText)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPageInSlices)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtDocumentFindNearEnd)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountClass)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAll)->Arg(10 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TypeInFindField)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindInFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char *argv[]) {
    return runBenchmarks(argc, argv, [] { pages.clear(); });
}
