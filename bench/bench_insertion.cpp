// Insertion cost against page size: an insertion or a wrap at the end, middle and
// start of a page must cost the same on a 10 MB page as on a 10 KB one.
// Run with scripts/bench.sh (an optimised build, offscreen).

#include "editor/insertion_core.h"
#include "editor/page_file.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <map>
#include <memory>

using namespace vellumo;

namespace {

// Hand-written-looking markup: paragraphs, links, entities, lines of 60-100 characters.
QString generatedPage(qsizetype bytes)
{
    static const QString lines[] = {
        QStringLiteral("<P>The editor keeps the caret where the user left it &amp; moves on.</P>"),
        QStringLiteral("  <A HREF=\"chapter-two.htm\">Read the second chapter</A> &mdash; or skip it<BR>"),
        QStringLiteral("<TABLE BORDER=\"1\"><TR><TD>caf\u00E9</TD><TD>&copy; 2026</TD></TR></TABLE>"),
        QStringLiteral("    <LI>One more item of a long list, with <B>bold</B> and <I>italic</I> text"),
    };
    QString page;
    page.reserve(bytes + 128);
    for (int i = 0; page.size() < bytes; ++i) {
        page += lines[i % 4];
        page += u'\n';
    }
    return page;
}

struct Page {
    QPlainTextEdit editor;
    InsertionCore core{&editor};
    explicit Page(qsizetype bytes)
    {
        core.setTagCase(UpperTagCase);
        editor.resize(900, 700);
        editor.setPlainText(generatedPage(bytes));
        editor.show();
        QApplication::processEvents();
    }
};

// Built once per size and dropped before the application object goes.
std::map<qsizetype, std::unique_ptr<Page>> pages;

Page &pageOf(qsizetype bytes)
{
    auto &page = pages[bytes];
    if (!page)
        page = std::make_unique<Page>(bytes);
    return *page;
}

enum Where { Start, Middle, End };

void placeCaret(Page &page, Where where)
{
    QTextCursor cursor = page.editor.textCursor();
    const int last = page.editor.document()->characterCount() - 1;
    cursor.setPosition(where == Start ? 0 : where == Middle ? last / 2 : last);
    page.editor.setTextCursor(cursor);
}

// Each iteration inserts and then undoes, so the page keeps its size.
void BM_Insert(benchmark::State &state)
{
    Page &page = pageOf(state.range(0));
    const auto where = static_cast<Where>(state.range(1));
    for (auto _ : state) {
        placeCaret(page, where);
        page.core.InsertAtCaret(QStringLiteral("&nbsp;"));
        QApplication::processEvents();
        page.editor.undo();
    }
}

void BM_Wrap(benchmark::State &state)
{
    Page &page = pageOf(state.range(0));
    const auto where = static_cast<Where>(state.range(1));
    for (auto _ : state) {
        placeCaret(page, where);
        page.core.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);
        QApplication::processEvents();
        page.editor.undo();
    }
}

void BM_DecodePage(benchmark::State &state)
{
    const QByteArray bytes = generatedPage(state.range(0)).toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePage(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void sizesAndPlaces(benchmark::internal::Benchmark *b)
{
    for (const int64_t size : {10 << 10, 10 << 20})
        for (const int64_t where : {Start, Middle, End})
            b->Args({size, where});
}

BENCHMARK(BM_Insert)->Apply(sizesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wrap)->Apply(sizesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodePage)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    pages.clear();
    return 0;
}
