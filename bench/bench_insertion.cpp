// What big pages cost: opening and saving, an insertion or a wrap at the end,
// middle and start (the same on a 50 MB page as on a 10 KB one), Backspace in the
// middle, Select All + Cut + Paste, the tag-case toggle followed by a command, and
// the longest pause of the event loop while a page opens.
// Run with scripts/bench.sh (an optimised build, offscreen). With
// VELLUMO_BENCH_QT_LAYOUT=1 the edited pages use Qt's own plain-text layout
// instead of the page layout, for comparison.

#include "document/charset_detection.h"
#include "document/page_file.h"
#include "editor/insertion_core.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "html/html_lexer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>

using namespace vellumo;

namespace {

// Hand-written-looking markup: paragraphs, links, entities, lines of 60-100 characters.
QString generatedPage(qsizetype bytes) {
    static const QString lines[] = {
        QStringLiteral("<P>The editor keeps the caret where the user left it &amp; moves on.</P>"),
        QStringLiteral(
            "  <A HREF=\"chapter-two.htm\">Read the second chapter</A> &mdash; or skip it<BR>"),
        QStringLiteral(
            "<TABLE BORDER=\"1\"><TR><TD>caf\u00E9</TD><TD>&copy; 2026</TD></TR></TABLE>"),
        QStringLiteral(
            "    <LI>One more item of a long list, with <B>bold</B> and <I>italic</I> text"),
    };
    return repeatedLines(QList<QString>(std::begin(lines), std::end(lines)), bytes,
                         QStringLiteral("\n"));
}

// 100 lines of 50,000 characters: markup written out on one line per section.
QString minifiedPage(qsizetype bytes) {
    const QString line = generatedPage(50'000).remove(u'\n').left(50'000);
    QString page;
    page.reserve(bytes + line.size());
    while (page.size() < bytes) {
        page += line;
        page += u'\n';
    }
    return page;
}

// The generated page written once per size into a temporary folder.
QString pageFile(qsizetype bytes, bool minified) {
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("page-%1%2.html")
                                             .arg(bytes)
                                             .arg(minified ? QStringLiteral("-min") : QString()));
    if (!QFile::exists(path))
        writeFileAtomically(path, (minified ? minifiedPage(bytes) : generatedPage(bytes)).toUtf8());
    return path;
}

// The editor as the main window sets it up: a vertical scroll bar always there,
// so a page that arrives does not narrow the text and lay every line out again.
// With VELLUMO_BENCH_PLAIN=1 the editor draws without markup colours and line
// numbers, for comparison.
void showEditor(PageEditor &editor) {
    if (qEnvironmentVariableIntValue("VELLUMO_BENCH_PLAIN")) {
        editor.setSyntaxColouring(false);
        editor.setLineNumbersShown(false);
    }
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.resize(900, 700);
    editor.show();
}

struct Page {
    PageEditor editor;
    InsertionCore core{&editor};
    double residentBeforeResizing = 0;
    explicit Page(qsizetype bytes, bool minified = false) {
        core.setTagCase(UpperTagCase);
        showEditor(editor);
        QApplication::processEvents();
        attachPageDocument(&editor,
                           buildPageDocument(minified ? minifiedPage(bytes) : generatedPage(bytes),
                                             *editor.document()));
        if (qEnvironmentVariableIntValue("VELLUMO_BENCH_QT_LAYOUT")) {
            QTextDocument *document = editor.document();
            document->setDocumentLayout(new QPlainTextDocumentLayout(document));
            editor.setDocument(document);
        }
        QApplication::processEvents();
    }
};

// Built once per size and dropped before the application object goes.
std::map<qsizetype, std::unique_ptr<Page>> pages;

Page &pageOf(qsizetype bytes) {
    auto &page = pages[bytes];
    if (!page)
        page = std::make_unique<Page>(bytes);
    return *page;
}

enum Where { Start, Middle, End };

void placeCaret(Page &page, Where where) {
    QTextCursor cursor = page.editor.textCursor();
    const int last = page.editor.document()->characterCount() - 1;
    cursor.setPosition(where == Start ? 0 : where == Middle ? last / 2 : last);
    page.editor.setTextCursor(cursor);
}

// Each iteration inserts and then undoes, so the page keeps its size.
void BM_Insert(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    const auto where = static_cast<Where>(state.range(1));
    for (auto _ : state) {
        placeCaret(page, where);
        page.core.InsertAtCaret(QStringLiteral("&nbsp;"));
        QApplication::processEvents();
        page.editor.undo();
    }
}

void BM_Wrap(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    const auto where = static_cast<Where>(state.range(1));
    for (auto _ : state) {
        placeCaret(page, where);
        page.core.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);
        QApplication::processEvents();
        page.editor.undo();
    }
}

// Backspace in the middle of the page, then its undo: what typing costs there.
void BM_Backspace(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    for (auto _ : state) {
        placeCaret(page, Middle);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(&page.editor, &press);
        QApplication::processEvents();
        page.editor.undo();
    }
}

void BM_DecodePage(benchmark::State &state) {
    const QByteArray bytes = generatedPage(state.range(0)).toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePage(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// A hand-written page in another encoding: Russian markup in windows-1251 (0),
// Japanese in Shift_JIS (1), declared by its meta or not at all.
QByteArray legacyPage(qsizetype bytes, int which, bool declared) {
    const QString text =
        which == 0 ? QStringLiteral("<P>Съешь же ещё этих мягких французских булок, да выпей чаю. "
                                    "<A HREF=\"next.htm\">Дальше</A></P>\n")
                   : QStringLiteral("<P>いろはにほへと、ちりぬるを。日本語のページです。"
                                    "<A HREF=\"next.htm\">次へ</A></P>\n");
    const TextEncoding encoding = which == 0 ? TextEncoding::Windows1251 : TextEncoding::ShiftJis;
    QByteArray page =
        declared ? "<meta charset=\"" + encodingName(encoding).toLatin1() + "\">\n" : QByteArray();
    const QByteArray line = encodeText(text, encoding);
    page.reserve(bytes + line.size());
    while (page.size() < bytes)
        page += line;
    return page;
}

void BM_DecodeLegacyPage(benchmark::State &state) {
    const QByteArray bytes = legacyPage(state.range(0), int(state.range(1)), state.range(2) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodePage(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// What finding the encoding of an undeclared page costs: the detector's sample.
void BM_DetectUndeclared(benchmark::State &state) {
    const QByteArray bytes = legacyPage(state.range(0), int(state.range(1)), false);
    for (auto _ : state)
        benchmark::DoNotOptimize(detectEncoding(bytes));
}

void sizesAndPlaces(benchmark::internal::Benchmark *b) {
    for (const int64_t size : {10 << 10, 10 << 20, 50 << 20})
        for (const int64_t where : {Start, Middle, End})
            b->Args({size, where});
}

// Opening as the program does it: read, decode, fill a document of its own and
// give it to the editor, until the editor is ready for input.
void BM_Open(benchmark::State &state) {
    const QString path = pageFile(state.range(0), state.range(1) != 0);
    PageEditor editor;
    showEditor(editor);
    for (auto _ : state) {
        PageRead read = readPageFile(path);
        attachPageDocument(&editor,
                           buildPageDocument(std::move(read.page.text), *editor.document()));
        QApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

// Open as the program opens (the lines' states lexed on a thread of their own while the
// text goes in), then Ctrl+End painted in colour; the CPU of every thread counts.
void BM_OpenAndGoToEnd(benchmark::State &state) {
    const QString path = pageFile(state.range(0), false);
    PageEditor editor;
    showEditor(editor);
    PageFill fill;
    fill.lineStates = true;
    for (auto _ : state) {
        PageRead read = readPageFile(path);
        attachPageDocument(&editor,
                           buildPageDocument(std::move(read.page.text), *editor.document(), fill));
        QApplication::processEvents();
        editor.moveCursor(QTextCursor::End);
        editor.repaint();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

void BM_Save(benchmark::State &state) {
    const QString path = pageFile(state.range(0), false);
    QByteArray bytes;
    readWholeFile(path, &bytes);
    const DecodedPage page = decodePage(bytes);
    const QString out = path + QStringLiteral(".saved");
    for (auto _ : state)
        writeFileAtomically(out, encodePage(page.text, page.format));
    QFile::remove(out);
}

// Select All, Cut, Paste back: the page ends as it began.
void BM_SelectAllCutPaste(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    for (auto _ : state) {
        page.editor.selectAll();
        page.editor.cut();
        page.editor.paste();
        QApplication::processEvents();
    }
    page.editor.document()->clearUndoRedoStacks();
}

// A key typed at the end of the page, as the window system hands it over, and
// the editor painted again: the cost of one keystroke.
void BM_TypeAtEnd(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    placeCaret(page, End);
    qsizetype typed = 0;
    for (auto _ : state) {
        // Lines of 60 characters, as text is typed.
        const bool lineEnd = typed % 60 == 59;
        const int key = lineEnd ? int(Qt::Key_Return) : Qt::Key_A + int(typed % 26);
        const QString letter =
            lineEnd ? QStringLiteral("\r") : QString(QChar(u'a' + int(typed % 26)));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, letter);
        QApplication::sendEvent(&page.editor, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, letter);
        QApplication::sendEvent(&page.editor, &release);
        QApplication::processEvents();
        ++typed;
    }
    QTextCursor cursor = page.editor.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(typed));
    cursor.removeSelectedText();
    page.editor.document()->clearUndoRedoStacks();
}

// A key typed at the end of a 50,000-character line in the middle of 5 MB of
// such lines, and the editor painted again.
void BM_TypeNextToLongLine(benchmark::State &state) {
    // Kept with the other pages (the key -1), so it goes before the application does.
    auto &kept = pages[-1];
    if (!kept)
        kept = std::make_unique<Page>(5 << 20, true);
    Page &page = *kept;
    QTextCursor cursor(page.editor.document()->findBlockByNumber(50));
    cursor.movePosition(QTextCursor::EndOfBlock);
    page.editor.setTextCursor(cursor);
    page.editor.ensureCursorVisible();
    QApplication::processEvents();
    qsizetype typed = 0;
    for (auto _ : state) {
        const QString letter(QChar(u'a' + int(typed % 26)));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + int(typed % 26), Qt::NoModifier, letter);
        QApplication::sendEvent(&page.editor, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + int(typed % 26), Qt::NoModifier, letter);
        QApplication::sendEvent(&page.editor, &release);
        QApplication::processEvents();
        ++typed;
    }
    cursor = page.editor.textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(typed));
    cursor.removeSelectedText();
    page.editor.document()->clearUndoRedoStacks();
}

// Ctrl+End on a page whose lines have not been coloured yet: every line before
// the end is lexed (from the lexer's states only, no colours built) and the end
// is painted in colour.
void BM_ColourToEnd(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    for (auto _ : state) {
        page.editor.colouring()->setDocument(page.editor.document());
        placeCaret(page, Start);
        page.editor.ensureCursorVisible();
        page.editor.repaint();
        placeCaret(page, End);
        page.editor.ensureCursorVisible();
        page.editor.repaint();
    }
    state.SetBytesProcessed(state.iterations() * page.editor.document()->characterCount());
}

// The lexer alone, line by line through a page, states only and with tokens.
void BM_LexPage(benchmark::State &state) {
    const QString page = generatedPage(state.range(0));
    const QStringList lines = page.split(u'\n');
    const bool tokens = state.range(1) != 0;
    QList<HtmlTokenSpan> spans;
    for (auto _ : state) {
        HtmlLexState lexState;
        for (const QString &line : lines) {
            spans.clear();
            lexState = lexHtmlLine(line, lexState, tokens ? &spans : nullptr);
        }
        benchmark::DoNotOptimize(lexState);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}

// The process's resident memory, from /proc.
double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

// The window made narrower and wider again, as dragging its edge does: the page
// is wrapped anew at each width and what is in view is painted.
void BM_Resize(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    placeCaret(page, Middle);
    if (page.residentBeforeResizing == 0)
        page.residentBeforeResizing = residentMiB();
    bool narrow = false;
    for (auto _ : state) {
        narrow = !narrow;
        page.editor.resize(narrow ? 700 : 900, 700);
        page.editor.repaint();
        QApplication::processEvents();
    }
    // What the page holds on to after being wrapped anew.
    state.counters["memory_growth_mib"] = residentMiB() - page.residentBeforeResizing;
    page.editor.resize(900, 700);
    QApplication::processEvents();
}

// The tag-case toggle, then a command in the new case.
void BM_ToggleCaseThenCommand(benchmark::State &state) {
    Page &page = pageOf(state.range(0));
    for (auto _ : state) {
        page.core.setTagCase(page.core.IsUpperTagCase() ? LowerTagCase : UpperTagCase);
        placeCaret(page, End);
        page.core.InsertAtCaret(page.core.pick(QStringLiteral("<BR>"), QStringLiteral("<br>")));
        QApplication::processEvents();
        page.editor.undo();
    }
}

// The longest pause of the event loop while a page opens the way the program
// opens it (read and decoded on a worker thread, then poured in slices with the
// event loop turning in between), as a heartbeat timer sees it.
void BM_OpenLongestStall(benchmark::State &state) {
    const QString path = pageFile(state.range(0), false);
    PageEditor editor;
    showEditor(editor);
    double longest = 0;
    for (auto _ : state) {
        QElapsedTimer beat;
        beat.start();
        QTimer heartbeat;
        heartbeat.setInterval(10);
        QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat,
                         [&] { longest = std::max(longest, double(beat.restart())); });
        heartbeat.start();
        const auto keepAlive = [] {
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        };
        std::optional<PageRead> read = readPageFileAside(path, keepAlive);
        PageFill fill{[&](qsizetype, qsizetype) { return keepAlive(); }};
        attachPageDocument(&editor,
                           buildPageDocument(std::move(read->page.text), *editor.document(), fill));
        QApplication::processEvents();
        longest = std::max(longest, double(beat.restart()));
    }
    state.counters["longest_stall_ms"] = longest;
}

BENCHMARK(BM_Insert)->Apply(sizesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Wrap)->Apply(sizesAndPlaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Backspace)->Arg(10 << 10)->Arg(10 << 20)->Arg(50 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodePage)->Arg(10 << 20)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLegacyPage)
    ->Args({10 << 20, 0, 1})
    ->Args({10 << 20, 1, 1})
    ->Args({50 << 20, 0, 0})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_DetectUndeclared)
    ->Args({50 << 20, 0})
    ->Args({50 << 20, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(BM_OpenAndGoToEnd)
    ->Arg(50 << 20)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Open)
    ->Args({100 << 10, 0})
    ->Args({1 << 20, 0})
    ->Args({10 << 20, 0})
    ->Args({50 << 20, 0})
    ->Args({5 << 20, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_Save)->Arg(10 << 20)->Arg(50 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SelectAllCutPaste)->Arg(10 << 10)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeAtEnd)->Arg(10 << 10)->Arg(10 << 20)->Arg(50 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeNextToLongLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColourToEnd)
    ->Arg(10 << 20)
    ->Arg(50 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_LexPage)->Args({10 << 20, 0})->Args({10 << 20, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize)->Arg(10 << 10)->Arg(10 << 20)->Arg(50 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToggleCaseThenCommand)->Arg(10 << 10)->Arg(50 << 20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenLongestStall)->Arg(50 << 20)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char *argv[]) {
    return runBenchmarks(argc, argv, [] { pages.clear(); });
}
