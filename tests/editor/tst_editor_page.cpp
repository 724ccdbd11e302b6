#include "editor/insertion_core.h"
#include "editor/page_editor.h"

#include "document/page.h"
#include "test_main.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <atomic>
#include <thread>

using namespace vellumo;

// The page as features see it, over the editor's document.
class PageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linesAndCharacters();
    void rangesMoveWithEdits_data();
    void rangesMoveWithEdits();
    void aChangeSetIsOneUndoStepAndOneChange();
    void aSnapshotStaysWhileThePageIsEdited();
    void anotherPageEmptiesTheRanges();
};

namespace {

struct Fixture {
    PageEditor editor;
    InsertionCore core{&editor};
    Page &page = core.page();
    explicit Fixture(const QString &text) { editor.setPlainText(text); }
};

} // namespace

void PageTest::linesAndCharacters() {
    Fixture f(QStringLiteral("<p>one\u00a0</p>\n\ntwo \U0001F600\n"));
    Page &page = f.page;
    QCOMPARE(page.length(), 20);
    QCOMPARE(page.lineCount(), 4);
    // Line breaks as '\n', the non-breaking space kept.
    QCOMPARE(page.text(0, page.length()), QStringLiteral("<p>one\u00a0</p>\n\ntwo \U0001F600\n"));
    QCOMPARE(page.characterAt(11), u'\n');
    QCOMPARE(page.characterAt(20), QChar());
    QCOMPARE(page.lineAt(11), 0);
    QCOMPARE(page.lineAt(12), 1);
    QCOMPARE(page.lineStart(2), 13);
    QCOMPARE(page.lineText(2), QStringLiteral("two \U0001F600"));
    QCOMPARE(page.columnAt(17), 4);
    page.select(3, 6);
    QCOMPARE(page.selectedText(), QStringLiteral("one"));
    page.select(6, 3);
    QCOMPARE(std::pair(page.selectionStart(), page.caret()), std::pair(3, 3));
}

void PageTest::rangesMoveWithEdits_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    // The range is [4, 8) of "0123456789", the text "4567".
    QTest::newRow("typed before") << 1 << 1 << "ab" << 6 << 10;
    QTest::newRow("typed at its start stays outside") << 4 << 4 << "ab" << 6 << 10;
    QTest::newRow("typed inside widens it") << 6 << 6 << "ab" << 4 << 10;
    QTest::newRow("typed at its end stays outside") << 8 << 8 << "ab" << 4 << 8;
    QTest::newRow("typed after") << 9 << 9 << "ab" << 4 << 8;
    QTest::newRow("removed before") << 1 << 3 << "" << 2 << 6;
    QTest::newRow("removed across its start") << 2 << 6 << "" << 2 << 4;
    QTest::newRow("removed inside") << 5 << 7 << "" << 4 << 6;
    QTest::newRow("removed across its end") << 6 << 9 << "" << 4 << 6;
    QTest::newRow("removed whole") << 3 << 9 << "" << 3 << 3;
    QTest::newRow("replaced inside") << 5 << 7 << "abcd" << 4 << 10;
    QTest::newRow("replaced whole") << 4 << 8 << "xy" << 6 << 6;
}

void PageTest::rangesMoveWithEdits() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, typed);
    QFETCH(int, start);
    QFETCH(int, end);
    for (const bool asChangeSet : {false, true}) {
        Fixture f(QStringLiteral("0123456789"));
        MovingRange range(f.page, 4, 8);
        if (asChangeSet) {
            f.page.apply({{from, to - from, typed}});
        } else {
            // As the user types: the editor's own cursor, Qt's report of the edit.
            QTextCursor cursor(f.editor.document());
            cursor.setPosition(from);
            cursor.setPosition(to, QTextCursor::KeepAnchor);
            cursor.insertText(typed);
        }
        QCOMPARE(std::pair(range.start(), range.end()), std::pair(start, end));
        // Undo brings the text back; a range that kept its text gets its place back.
        f.editor.undo();
        QCOMPARE(f.page.text(0, f.page.length()), QStringLiteral("0123456789"));
        if (to <= 4 || from >= 8 || (from > 4 && to < 8))
            QCOMPARE(std::pair(range.start(), range.end()), std::pair(4, 8));
    }
}

void PageTest::aChangeSetIsOneUndoStepAndOneChange() {
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("<b>x</b>\n");
    Fixture f(text);
    QSignalSpy changes(&f.page, &Page::changed);
    QList<RangeEdit> edits;
    for (int line = 0; line < 2000; line += 2)
        edits.append({line * 9 + 1, 1, QStringLiteral("strong")});
    f.page.apply(edits);
    QCOMPARE(changes.size(), 1);
    const auto change = changes.at(0).at(0).value<PageChange>();
    QCOMPARE(change.position, 1);
    QCOMPARE(change.removed, 1998 * 9 + 1);
    QCOMPARE(change.added, change.removed + 1000 * 5);
    QCOMPARE(std::pair(change.firstLine, change.lastLine), std::pair(0, 1998));
    QCOMPARE(f.page.lineText(1998), QStringLiteral("<strong>x</b>"));
    f.editor.undo();
    QCOMPARE(f.page.text(0, f.page.length()), text);
    QVERIFY(!f.page.isUndoAvailable());
    QCOMPARE(changes.size(), 2);
}

void PageTest::aSnapshotStaysWhileThePageIsEdited() {
    Fixture f(QStringLiteral("line\n").repeated(20000));
    f.page.holdSnapshot();
    const QString before = f.page.snapshot();
    std::atomic<bool> same = true;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        const QString copy = before;
        while (!done)
            same = same && copy.size() == 100000 && copy.count(u'\n') == 20000;
    });
    // The copy is patched with each edit; the worker's stays as it was taken.
    for (int i = 0; i < 50; ++i) {
        f.page.setCaret(i * 7);
        f.core.InsertAtCaret(QStringLiteral("\U0001F600"));
        QCOMPARE(f.page.snapshot(), f.page.text(0, f.page.length()));
    }
    done = true;
    reader.join();
    QVERIFY(same);
    QCOMPARE(before, QStringLiteral("line\n").repeated(20000));
    f.page.releaseSnapshot();
    QVERIFY(!f.page.isSnapshotCurrent());

    // A big page is read in slices between events.
    const int sliced = Page::slicedFrom;
    Page::slicedFrom = 1000;
    QSignalSpy ready(&f.page, &Page::snapshotReady);
    f.page.prepareSnapshot();
    QVERIFY(ready.isEmpty());
    f.core.InsertAtCaret(QStringLiteral("typed meanwhile"));
    QVERIFY(ready.wait());
    QCOMPARE(f.page.snapshot(), f.page.text(0, f.page.length()));
    Page::slicedFrom = sliced;

    // A lone half of a surrogate pair reads as U+FFFD, at the same place.
    f.page.apply({{0, 2, QString(QChar(0xD800))}});
    QCOMPARE(f.page.snapshot().at(0), QChar::ReplacementCharacter);
    QCOMPARE(f.page.snapshot().size(), f.page.length());
}

void PageTest::anotherPageEmptiesTheRanges() {
    Fixture f(QStringLiteral("0123456789"));
    MovingRange range(f.page, 2, 5);
    QSignalSpy replaced(&f.page, &Page::replaced);
    auto *other = new QTextDocument(&f.editor);
    other->setDocumentLayout(new QPlainTextDocumentLayout(other));
    other->setPlainText(QStringLiteral("another page"));
    f.editor.setDocument(other);
    QCOMPARE(replaced.size(), 1);
    QVERIFY(range.isEmpty());
    QCOMPARE(f.page.text(0, 7), QStringLiteral("another"));
}

VELLUMO_TEST_MAIN(PageTest)
#include "tst_editor_page.moc"
