// What the whole-page conversions of the Tags menu cost on a 10 MB page: each run
// as the window runs it (the page's text taken, lexed, the edits made as one undo
// step, the editor brought up to date), and the undo of that step. The page is
// make-inputs' page-10m.html when VELLUMO_BENCH_INPUTS names the folder it wrote,
// otherwise a generated one of the same shape; a 10 MB page of Greek text is the
// worst case of Characters to Entities. Run with scripts/bench.sh (an optimised build).

#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "markup/page_conversions.h"

#include "bench_support.h"
#include "shown_page.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTextCursor>

#include <ctime>
#include <memory>

using namespace vellumo;

namespace {

constexpr qsizetype TenMiB = qsizetype(10) << 20;

// Hand-written-looking markup with references and accented letters, lines of 60-100 characters.
QString generatedPage() {
    static const QString lines[] = {
        QStringLiteral("    <p class=\"note\">The editor keeps the caret where the user left it "
                       "&amp; moves on.</p>"),
        QStringLiteral("      <a href=\"chapter-two.html\">Read the second chapter</a> &mdash; "
                       "or skip it<br>"),
        QStringLiteral("      <tr><td>caf\u00E9 cr\u00E8me br\u00FBl\u00E9e</td><td>&copy; "
                       "2026 &eacute;</td></tr>"),
        QStringLiteral("    <li>One more item of a long list, with <em>emphasis</em> and "
                       "\u201Cquotes\u201D</li>"),
    };
    return repeatedLines(QList<QString>(std::begin(lines), std::end(lines)), TenMiB,
                         QStringLiteral("\n"));
}

QString greekPage() {
    const QString line =
        QStringLiteral("<p>\u0391\u03C5\u03C4\u03CC \u03B5\u03AF\u03BD\u03B1\u03B9 "
                       "\u03AD\u03BD\u03B1 \u03BA\u03B5\u03AF\u03BC\u03B5\u03BD\u03BF "
                       "\u03BC\u03B5 \u03C0\u03BF\u03BB\u03BB\u03AC \u03B3\u03C1\u03AC"
                       "\u03BC\u03BC\u03B1\u03C4\u03B1 \u03BA\u03B1\u03B9 \u03BB\u03AD"
                       "\u03BE\u03B5\u03B9\u03C2.</p>\n");
    QString page;
    page.reserve(TenMiB + line.size());
    while (page.size() < TenMiB)
        page += line;
    return page;
}

QString tenMegabytePage() {
    const QString inputs = qEnvironmentVariable("VELLUMO_BENCH_INPUTS");
    QFile file(inputs + QStringLiteral("/page-10m.html"));
    if (!inputs.isEmpty() && file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(file.readAll());
    return generatedPage();
}

struct Page {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};

    explicit Page(QString text) { showPage(window, editor, std::move(text)); }
};

void runConversion(benchmark::State &state, QString text, PageConversion conversion,
                   EntityScope scope) {
    Page page(std::move(text));
    // The caret in the middle of the page, as after some editing.
    QTextCursor cursor = page.editor->textCursor();
    cursor.setPosition(page.editor->document()->characterCount() / 2);
    page.editor->setTextCursor(cursor);
    double undoSeconds = 0;
    QString report;
    for (auto _ : state) {
        report = runPageConversion(page.core, conversion, PageFormat{}, scope);
        QApplication::processEvents();
        state.PauseTiming();
        const double before = threadSeconds();
        if (page.editor->document()->isUndoAvailable())
            page.editor->undo();
        QApplication::processEvents();
        undoSeconds += threadSeconds() - before;
        state.ResumeTiming();
    }
    state.counters["undo_cpu_ms"] = undoSeconds * 1000 / double(state.iterations());
    state.counters["changed"] = report.section(u' ', 0, 0).toDouble();
    state.SetLabel(report.toStdString());
}

void BM_TagsToUpper(benchmark::State &state) {
    runConversion(state, tenMegabytePage(), PageConversion::TagsToUpper, EntityScope::Unencodable);
}

void BM_TagsToLower(benchmark::State &state) {
    // The page with every tag in upper case, so every tag changes back.
    const QString page = tenMegabytePage();
    const ConversionResult upper = convertPage(page, PageConversion::TagsToUpper, {});
    runConversion(state, applyEdits(page, upper.edits), PageConversion::TagsToLower,
                  EntityScope::Unencodable);
}

void BM_CharactersToEntities(benchmark::State &state) {
    runConversion(state, tenMegabytePage(), PageConversion::CharactersToEntities,
                  EntityScope::AllNonAscii);
}

void BM_CharactersToEntitiesGreek(benchmark::State &state) {
    runConversion(state, greekPage(), PageConversion::CharactersToEntities,
                  EntityScope::AllNonAscii);
}

void BM_EntitiesToCharacters(benchmark::State &state) {
    runConversion(state, tenMegabytePage(), PageConversion::EntitiesToCharacters,
                  EntityScope::Unencodable);
}

// The conversions alone, without the editor: the page lexed and the edits made.
void BM_ConvertTextOnly(benchmark::State &state) {
    const QString page = tenMegabytePage();
    for (auto _ : state)
        benchmark::DoNotOptimize(convertPage(page, PageConversion::TagsToUpper, {}));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}

void BM_ConvertGreekTextOnly(benchmark::State &state) {
    const QString page = greekPage();
    ConversionOptions options;
    options.scope = EntityScope::AllNonAscii;
    for (auto _ : state)
        benchmark::DoNotOptimize(convertPage(page, PageConversion::CharactersToEntities, options));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}

BENCHMARK(BM_TagsToUpper)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TagsToLower)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CharactersToEntities)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CharactersToEntitiesGreek)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EntitiesToCharacters)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertTextOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ConvertGreekTextOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char *argv[]) {
    return runBenchmarks(argc, argv);
}
