// The search bar against a real editor: its keys, what it selects and says,
// Replace and Replace All (one undo step), the highlights and the history.

#include "document/page.h"
#include "document/page_file.h"
#include "editor/editor_page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "scripted_platform.h"
#include "search/find_bar.h"
#include "search/match_highlights.h"
#include "test_main.h"
#include "whole_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopedValueRollback>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace vellumo;

namespace {

struct Window {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};
    ScriptedPlatform platform;
    FindBar *bar = new FindBar(core, platform, &window);

    explicit Window(const QString &page) {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(editor);
        layout->addWidget(bar);
        window.resize(700, 400);
        setPageText(core.page(), page);
        core.page().setCaret(0);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("window not active");
    }
    template <typename T> T *child(const char *name) {
        return bar->findChild<T *>(QLatin1String(name));
    }
    QString selected() const { return core.page().selectedText(); }
    int selectionStart() const { return core.page().selectionStart(); }
    void select(int anchor, int position) { core.page().select(anchor, position); }
    // Where the editor draws the caret when it stands at `position`; the selection is
    // put back after.
    QRect caretRect(int position) {
        Page &page = core.page();
        const int anchor = page.anchor();
        const int caret = page.caret();
        page.setCaret(position);
        const QRect rect = editor->cursorRect();
        page.select(anchor, caret);
        return rect;
    }
    QString status() { return child<QLabel>("FindStatus")->text(); }
    QString text() const { return pageText(core.page()); }
};

void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(code), modifiers);
}

} // namespace

class FindBarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keys();
    void incrementalTyping_data();
    void incrementalTyping();
    void pageReadInSlicesIsTheSameText();
    void keptTextFollowsEdits();
    void findNextDoesNotWaitForTheReading();
    void opensWithTheSelection();
    void replaceWalksThePage();
    void replaceAllIsOneUndoStep_data();
    void replaceAllIsOneUndoStep();
    void replaceAllKeepsAWindows1252CrLfPageByteExact();
    void expressionTooComplexIsSaidAndReplacesNothing();
    void escapeFromAnyControlClosesTheBar_data();
    void escapeFromAnyControlClosesTheBar();
    void highlightsAreDrawnNotStored();
    void historyAcrossRuns();
};

void FindBarTest::keys() {
    Window w("one two\none two\none");
    w.bar->showFind();
    QVERIFY(w.bar->isVisible());
    QVERIFY(!w.child<QComboBox>("ReplaceEdit")->isVisible());
    QCOMPARE(QApplication::focusWidget(), w.child<QComboBox>("FindEdit"));
    QTest::keyClicks(QApplication::focusWidget(), "two");
    QCOMPARE(w.selectionStart(), 4);
    QTRY_COMPARE(w.status(), "1 of 2");
    key(Qt::Key_Return);
    QCOMPARE(w.selectionStart(), 12);
    QCOMPARE(w.status(), "2 of 2");
    key(Qt::Key_Return);
    QCOMPARE(w.selectionStart(), 4);
    QCOMPARE(w.status(), "1 of 2, went round from the end");
    key(Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(w.selectionStart(), 12);
    QCOMPARE(w.status(), "2 of 2, went round from the start");
    key(Qt::Key_Enter, Qt::ShiftModifier);
    QCOMPARE(w.selectionStart(), 4);
    QCOMPARE(w.status(), "1 of 2");
    // Escape hides the bar; the editor has the focus and the match stays selected.
    key(Qt::Key_Escape);
    QVERIFY(!w.bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), w.editor);
    QCOMPARE(w.selected(), "two");
    // Find Next and Find Previous go on with the bar hidden.
    w.bar->findNext();
    QCOMPARE(w.selectionStart(), 12);
    QVERIFY(!w.bar->isVisible());
}

void FindBarTest::incrementalTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("sliced");
    struct Row {
        const char *name, *typed, *checked;
        int selectionStart;
        const char *selected, *status;
    };
    // The caret starts at 2, in "<b>".
    const Row rows[] = {
        {"each letter searches from the start point", "b", "", 3, "b", "2 of 5"},
        {"a longer word stays put when it can", "bo", "", 3, "bo", "1 of 1"},
        {"round the end when nothing follows", "<b>bo", "", 0, "<b>bo",
         "1 of 1, went round from the end"},
        {"not found: back to the start point", "bx", "", 2, "", "Not found"},
        {"match case", "B", "MatchCase", 8, "B", "1 of 2"},
        {"whole words", "b", "WholeWords", 8, "B", "2 of 4"},
        {"regular expression", "<\\w>", "RegularExpression", 7, "<B>", "2 of 2"},
        {"regular expression with an error", "(<b", "RegularExpression", 2, "",
         "missing closing parenthesis at position 3"},
    };
    for (const bool sliced : {false, true})
        for (const Row &row : rows)
            QTest::addRow("%s%s", sliced ? "read in slices: " : "", row.name)
                << QString::fromUtf8(row.typed) << QString::fromUtf8(row.checked)
                << row.selectionStart << QString::fromUtf8(row.selected)
                << QString::fromUtf8(row.status) << sliced;
}

void FindBarTest::incrementalTyping() {
    QFETCH(QString, typed);
    QFETCH(QString, checked);
    QFETCH(bool, sliced);
    // A page read in slices is searched once it has been read.
    const QScopedValueRollback threshold(Page::slicedFrom, sliced ? 0 : Page::slicedFrom);
    Window w("<b>bold<B>B</b>");
    w.select(2, 2);
    w.bar->showFind();
    if (!checked.isEmpty())
        w.child<QCheckBox>(checked.toLatin1())->setChecked(true);
    QTest::keyClicks(QApplication::focusWidget(), typed);
    QFETCH(QString, status);
    QTRY_COMPARE(w.status(), status);
    QTEST(w.selectionStart(), "selectionStart");
    QTEST(w.selected(), "selected");
}

void FindBarTest::pageReadInSlicesIsTheSameText() {
    const QScopedValueRollback threshold(Page::slicedFrom, 0);
    QString page;
    for (int i = 0; i < 20000; ++i)
        page += QStringLiteral("<p>line %1\u00A0caf\u00E9 \U0001F600</p>\n").arg(i);
    page += QChar(0xD800); // a lone half of a pair, as a damaged page may hold
    page += QStringLiteral("end");
    Window w(page);
    // Without a holder, each snapshot is the page taken afresh, at once.
    Page &shown = w.core.page();
    const QString expected = shown.snapshot();
    QVERIFY(expected.endsWith(QStringLiteral("\uFFFDend")));
    QVERIFY(expected.contains(QStringLiteral("\u00A0caf\u00E9 \U0001F600</p>\n<p>line 1")));

    QSignalSpy ready(&shown, &Page::snapshotReady);
    shown.holdSnapshot();
    shown.prepareSnapshot();
    QVERIFY(!shown.isSnapshotCurrent());
    // An edit while the page is being read: the reading starts again and takes it in.
    shown.setCaret(0);
    w.editor->insertPlainText(QStringLiteral("<h1>new</h1>"));
    QVERIFY(ready.wait());
    QCOMPARE(ready.count(), 1);
    QVERIFY(shown.isSnapshotCurrent());
    QCOMPARE(shown.snapshot(), QStringLiteral("<h1>new</h1>") + expected);
}

void FindBarTest::keptTextFollowsEdits() {
    // Typing, line breaks, deletions across lines, surrogate pairs split and joined,
    // undo and redo, edits far apart: the text kept through them all is the text
    // taken afresh.
    QString page;
    for (int i = 0; i < 200; ++i)
        page += QStringLiteral("<p>line %1 caf\u00E9 \U0001F600</p>\n").arg(i);
    Window w(page);
    Page &kept = w.core.page();
    QSignalSpy changed(&kept, &Page::changed);
    kept.holdSnapshot();
    kept.snapshot();
    const QString pieces[] = {QStringLiteral("x"),
                              QStringLiteral("\n"),
                              QStringLiteral("\U0001F600"),
                              QStringLiteral("<p>"),
                              QString(),
                              QStringLiteral("\u00E9\n\n")};
    QRandomGenerator random(7);
    for (int step = 0; step < 600; ++step) {
        const int length = kept.length();
        const int action = random.bounded(6);
        if (action == 0) {
            w.editor->undo();
        } else if (action == 1) {
            w.editor->redo();
        } else {
            // Written over a selection through the editor, as typing and pasting reach it.
            const int at = random.bounded(length + 1);
            kept.select(at, std::min(length, at + random.bounded(40)));
            w.editor->insertPlainText(pieces[random.bounded(6)]);
        }
        if (step % 5 == 0)
            QCOMPARE(kept.snapshot(), EditorPage(w.editor).snapshot());
    }
    QVERIFY(changed.count() > 100);
    QVERIFY(kept.isSnapshotCurrent());
}

void FindBarTest::findNextDoesNotWaitForTheReading() {
    const QScopedValueRollback threshold(Page::slicedFrom, 0);
    Window w("a x a x a");
    w.bar->showFind();
    QTest::keyClicks(QApplication::focusWidget(), "a");
    QCOMPARE(w.status(), "Reading the page...");
    // Enter takes the page at once: the typed search runs, then Find Next goes on from it.
    key(Qt::Key_Return);
    QCOMPARE(w.selectionStart(), 4);
    QTRY_COMPARE(w.status(), "2 of 3");
}

void FindBarTest::opensWithTheSelection() {
    Window w("alpha beta\ngamma beta\nbeta");
    w.select(6, 10);
    w.bar->showFind();
    QCOMPARE(w.child<QComboBox>("FindEdit")->currentText(), "beta");
    QCOMPARE(w.selectionStart(), 6);
    QTRY_COMPARE(w.status(), "1 of 3");
    w.bar->close();
    // A selection over lines becomes the search's scope instead.
    w.select(3, 20);
    w.bar->showReplace();
    QVERIFY(w.child<QComboBox>("ReplaceEdit")->isVisible());
    QCOMPARE(w.child<QComboBox>("FindEdit")->currentText(), "beta");
    QVERIFY(w.child<QCheckBox>("InSelection")->isChecked());
    QTRY_COMPARE(w.status(), "1 of 1");
    QCOMPARE(w.selectionStart(), 6);
    w.child<QComboBox>("ReplaceEdit")->setEditText("B");
    w.child<QPushButton>("ReplaceAllButton")->click();
    QCOMPARE(w.text(), "alpha B\ngamma beta\nbeta");
    QCOMPARE(w.status(), "1 replaced");
}

void FindBarTest::replaceWalksThePage() {
    Window w("a1 a2 a3");
    w.bar->showReplace();
    w.child<QCheckBox>("RegularExpression")->setChecked(true);
    QTest::keyClicks(QApplication::focusWidget(), "a(\\d)");
    QCOMPARE(w.selected(), "a1");
    w.child<QComboBox>("ReplaceEdit")->setEditText("<\\1>");
    w.child<QPushButton>("ReplaceButton")->click();
    QCOMPARE(w.text(), "<1> a2 a3");
    QCOMPARE(w.selected(), "a2");
    // Enter in the replace field replaces too.
    w.child<QComboBox>("ReplaceEdit")->lineEdit()->setFocus();
    key(Qt::Key_Return);
    QCOMPARE(w.text(), "<1> <2> a3");
    QCOMPARE(w.selected(), "a3");
    // Two steps to undo, one per replacement.
    w.editor->undo();
    QCOMPARE(w.text(), "<1> a2 a3");
}

void FindBarTest::replaceAllIsOneUndoStep_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("status");
    QTest::newRow("words") << "one two one\none"
                           << "one" << false << "1"
                           << "1 two 1\n1"
                           << "3 replaced";
    QTest::newRow("lines joined") << "a\nb\nc"
                                  << "\\n"
                                  << true << ", "
                                  << "a, b, c"
                                  << "2 replaced";
    QTest::newRow("lines split") << "a,b"
                                 << "," << true << "\\n"
                                 << "a\nb"
                                 << "1 replaced";
    QTest::newRow("nothing to replace") << "abc"
                                        << "x" << false << "y"
                                        << "abc"
                                        << "Not found";
}

void FindBarTest::replaceAllIsOneUndoStep() {
    QFETCH(QString, page);
    QFETCH(QString, pattern);
    QFETCH(bool, regex);
    QFETCH(QString, replacement);
    Window w(page);
    w.select(1, 1);
    w.bar->showReplace();
    w.child<QCheckBox>("RegularExpression")->setChecked(regex);
    w.child<QComboBox>("FindEdit")->setEditText(pattern);
    w.child<QComboBox>("ReplaceEdit")->setEditText(replacement);
    w.child<QPushButton>("ReplaceAllButton")->click();
    QTEST(w.text(), "expected");
    QTEST(w.status(), "status");
    const bool replaced = w.text() != page;
    QCOMPARE(w.core.page().isModified(), replaced);
    QCOMPARE(w.core.page().isUndoAvailable(), replaced);
    if (!replaced)
        return;
    w.editor->undo();
    QCOMPARE(w.text(), page);
    QVERIFY(!w.core.page().isModified());
    QVERIFY(!w.core.page().isUndoAvailable());
}

// An expression the engine gives up on is reported as such, never as "Not found", and
// Replace All then replaces nothing rather than only the matches before the long line.
void FindBarTest::expressionTooComplexIsSaidAndReplacesNothing() {
    const QString page = QString(30000, u'a') + QStringLiteral("\nxaabc\n");
    Window w(page);
    w.bar->showReplace();
    w.child<QCheckBox>("RegularExpression")->setChecked(true);
    w.child<QComboBox>("FindEdit")->setEditText(QStringLiteral("(a|a)*bc"));
    w.child<QComboBox>("ReplaceEdit")->setEditText(QStringLiteral("X"));
    w.bar->findNext();
    QCOMPARE(w.status(), tooComplexMessage());
    w.child<QPushButton>("ReplaceAllButton")->click();
    QCOMPARE(w.status(), tooComplexMessage());
    QCOMPARE(w.text(), page);
    QVERIFY(!w.core.page().isModified());
}

// After Replace All, Escape from whichever control of the bar has the focus closes it
// and gives the editor the focus, where Ctrl+Z takes the replacements back.
void FindBarTest::escapeFromAnyControlClosesTheBar_data() {
    QTest::addColumn<QString>("control");
    for (const char *name :
         {"FindEdit", "ReplaceEdit", "FindNextButton", "FindPreviousButton", "ReplaceButton",
          "ReplaceAllButton", "MatchCase", "WholeWords", "RegularExpression", "InSelection"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void FindBarTest::escapeFromAnyControlClosesTheBar() {
    QFETCH(QString, control);
    Window w("one two\none two\n");
    w.bar->showReplace();
    w.child<QComboBox>("FindEdit")->setEditText(QStringLiteral("one"));
    w.child<QComboBox>("ReplaceEdit")->setEditText(QStringLiteral("1"));
    auto *replaceAll = w.child<QPushButton>("ReplaceAllButton");
    replaceAll->setFocus();
    key(Qt::Key_Space);
    QCOMPARE(w.text(), QStringLiteral("1 two\n1 two\n"));
    auto *focused = w.bar->findChild<QWidget *>(control);
    QVERIFY2(focused != nullptr, qPrintable(control));
    focused->setFocus();
    QCOMPARE(QApplication::focusWidget() == focused ||
                 QApplication::focusWidget()->parentWidget() == focused,
             true);
    key(Qt::Key_Escape);
    QVERIFY(!w.bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), w.editor);
    key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.text(), QStringLiteral("one two\none two\n"));
}

void FindBarTest::replaceAllKeepsAWindows1252CrLfPageByteExact() {
    const QByteArray bytes = "<p>caf\xE9 \xA0nbsp</p>\r\n<p>caf\xE9</p>\r\n\x80 end\r\n";
    const DecodedPage page = decodePage(bytes);
    QCOMPARE(page.format.encoding, TextEncoding::Windows1252);
    QCOMPARE(page.format.lineBreaks, LineBreakStyle::CRLF);
    Window w(page.text);
    w.bar->showReplace();
    w.child<QComboBox>("FindEdit")->setEditText(QString::fromUtf8("caf\xC3\xA9"));
    w.child<QComboBox>("ReplaceEdit")->setEditText("tea");
    w.child<QPushButton>("ReplaceAllButton")->click();
    QCOMPARE(w.status(), "2 replaced");
    QCOMPARE(encodePage(w.text(), page.format, page.lineBreakKinds),
             QByteArray("<p>tea \xA0nbsp</p>\r\n<p>tea</p>\r\n\x80 end\r\n"));
}

void FindBarTest::highlightsAreDrawnNotStored() {
    Window w("xx match yy\nzz match\n");
    w.bar->showFind();
    QTest::keyClicks(QApplication::focusWidget(), "match");
    w.select(0, 0); // the selection would cover the first match's colour
    const QRect rect = w.caretRect(17);
    const QPoint inside(rect.left() + 3, rect.center().y());
    QTRY_COMPARE(w.editor->viewport()->grab().toImage().pixelColor(inside),
                 MatchHighlights::colour());
    QVERIFY(!w.core.page().isModified());
    QVERIFY(!w.core.page().isUndoAvailable());
    QVERIFY(w.editor->document()->findBlockByNumber(1).layout()->formats().isEmpty());
    w.bar->close();
    QTRY_VERIFY(w.editor->viewport()->grab().toImage().pixelColor(inside) !=
                MatchHighlights::colour());
}

void FindBarTest::historyAcrossRuns() {
    {
        Window w("a b c d e f g h i j k l");
        w.bar->showReplace();
        for (const char *word : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "b"}) {
            w.child<QComboBox>("FindEdit")->setEditText(word);
            key(Qt::Key_Return);
        }
        w.child<QComboBox>("ReplaceEdit")->setEditText("Z");
        w.child<QPushButton>("ReplaceAllButton")->click();
    }
    Window w("again");
    w.bar->showFind();
    const QComboBox *finds = w.child<QComboBox>("FindEdit");
    QStringList items;
    for (int i = 0; i < finds->count(); ++i)
        items << finds->itemText(i);
    QCOMPARE(items, QStringList({"b", "k", "j", "i", "h", "g", "f", "e", "d", "c"}));
    QCOMPARE(w.child<QComboBox>("ReplaceEdit")->itemText(0), "Z");
    QCOMPARE(w.platform.readSetting("FindHistory").toStringList().size(), 10);
}

VELLUMO_TEST_MAIN(FindBarTest)
#include "tst_find_bar.moc"
