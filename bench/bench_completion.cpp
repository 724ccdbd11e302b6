// What completion costs at the end of a 50 MB page: '<' typed until the list of
// element names is on screen, a space in a start tag until its attributes are,
// "</" closing an element opened a few lines up, and "</" where every element
// above is closed, so the walk up goes as far as it ever goes before it gives up.
// Run with scripts/bench.sh (an optimised build, offscreen).

#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "markup/markup_completion.h"

#include "bench_support.h"
#include "shown_page.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QTest>
#include <QTextCursor>

#include <memory>

using namespace vellumo;

namespace {

// A page of closed paragraphs, lists and links, about 100 characters a line.
QString bigPage(qsizetype bytes) {
    const QList<QString> lines{
        QStringLiteral("<p class=\"note\">The editor keeps the caret where the user left it &amp; "
                       "moves on.</p>"),
        QStringLiteral("<ul><li><a class=\"chapter\" href=\"two.htm\">Read the second "
                       "chapter</a></li></ul>"),
        QStringLiteral("<table><tr><td class=\"cell\">caf\u00E9</td><td>&copy; 2026</td></tr>"
                       "</table>"),
        QStringLiteral("<div>One more block, with <b>bold</b> and <i>italic</i> and a "
                       "<br> break</div>"),
    };
    return QStringLiteral("<!DOCTYPE html>\n<html><head><title>Big</title></head>\n") +
           repeatedLines(lines, bytes, QStringLiteral("\n"));
}

struct Page {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};
    MarkupCompletion *completion = new MarkupCompletion(editor, core);

    explicit Page(QString text) {
        showPage(window, editor, std::move(text));
        // The end of the page on screen: its lines' states known, as after Ctrl+End.
        editor->moveCursor(QTextCursor::End);
        editor->ensureCursorVisible();
        editor->setFocus();
        QApplication::processEvents();
    }
    void type(const QString &keys) {
        QTest::keyClicks(editor, keys);
        QApplication::processEvents();
    }
    void undoAll() {
        while (editor->document()->isUndoAvailable())
            editor->undo();
        editor->moveCursor(QTextCursor::End);
        QApplication::processEvents();
    }
};

std::unique_ptr<Page> thePage;

Page &page() {
    if (!thePage)
        thePage = std::make_unique<Page>(bigPage(50 << 20));
    return *thePage;
}

// '<' at the end of the page until the list is shown.
void BM_ElementListAfterKey(benchmark::State &state) {
    Page &p = page();
    for (auto _ : state) {
        p.type(QStringLiteral("<"));
        if (!p.completion->popup()->isVisible())
            state.SkipWithError("no list");
        state.PauseTiming();
        QTest::keyClick(p.editor, Qt::Key_Escape);
        p.undoAll();
        state.ResumeTiming();
    }
}

// A space after "<img" until its attributes are shown.
void BM_AttributeListAfterKey(benchmark::State &state) {
    Page &p = page();
    for (auto _ : state) {
        state.PauseTiming();
        p.type(QStringLiteral("<img"));
        state.ResumeTiming();
        p.type(QStringLiteral(" "));
        if (!p.completion->popup()->isVisible())
            state.SkipWithError("no list");
        state.PauseTiming();
        QTest::keyClick(p.editor, Qt::Key_Escape);
        p.undoAll();
        state.ResumeTiming();
    }
}

// "</" closing a paragraph opened three lines up.
void BM_CloseTagNearby(benchmark::State &state) {
    Page &p = page();
    for (auto _ : state) {
        state.PauseTiming();
        p.core.InsertAtCaret(QStringLiteral("<p>Open\n<b>x</b>\n<i>y</i>\n"));
        state.ResumeTiming();
        p.type(QStringLiteral("</"));
        state.PauseTiming();
        if (!p.editor->toPlainText().endsWith(QStringLiteral("</p>")))
            state.SkipWithError("not closed");
        p.undoAll();
        state.ResumeTiming();
    }
}

// "</" with nothing open for the whole page: the walk up to its limit.
void BM_CloseTagNothingOpen(benchmark::State &state) {
    Page &p = page();
    for (auto _ : state) {
        p.type(QStringLiteral("</"));
        state.PauseTiming();
        p.undoAll();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ElementListAfterKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttributeListAfterKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseTagNearby)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseTagNothingOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[]) {
    return runBenchmarks(argc, argv, [] { thePage.reset(); });
}
