#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "test_main.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

using namespace vellumo;

class TestInsertionCore : public QObject {
    Q_OBJECT

    // Puts `text` in a fresh editor with the selection from `anchor` to `position`.
    static void prepare(QPlainTextEdit &editor, const QString &text, int anchor, int position) {
        editor.setPlainText(text);
        editor.document()->setModified(false);
        QTextCursor cursor(editor.document());
        cursor.setPosition(anchor);
        cursor.setPosition(position, QTextCursor::KeepAnchor);
        editor.setTextCursor(cursor);
    }

private Q_SLOTS:
    void wrap_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");

        QTest::newRow("nominal: nothing selected puts both tags at the caret")
            << "ab" << 1 << 1 << "a<B></B>b" << 4;
        QTest::newRow("nominal: selected word is wrapped, caret after it")
            << "x word y" << 2 << 6 << "x <B>word</B> y" << 9;
        QTest::newRow("nominal: right-to-left selection behaves the same")
            << "x word y" << 6 << 2 << "x <B>word</B> y" << 9;
        QTest::newRow("nominal: selection over lines adds no line breaks")
            << "one\ntwo\nthree" << 2 << 9 << "on<B>e\ntwo\nt</B>hree" << 12;
        QTest::newRow("robustness: selection reaching the end of the page")
            << "end" << 0 << 3 << "<B>end</B>" << 6;
        QTest::newRow("robustness: empty page") << "" << 0 << 0 << "<B></B>" << 3;
    }
    void wrap() {
        QFETCH(QString, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        PageEditor editor;
        InsertionCore core(&editor);
        prepare(editor, text, anchor, position);

        core.WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);

        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(editor.toPlainText(), expected);
        QCOMPARE(editor.textCursor().position(), caret);
        QVERIFY(!editor.textCursor().hasSelection());
        QVERIFY(editor.document()->isModified());
    }

    void wrapWithAttributeStep() {
        PageEditor editor;
        InsertionCore core(&editor);
        prepare(editor, QStringLiteral("Hello"), 0, 5);
        core.WrapSelection(QStringLiteral("<P ALIGN=\"RIGHT\">"), QStringLiteral("</P>"), 17);
        QCOMPARE(editor.toPlainText(), QStringLiteral("<P ALIGN=\"RIGHT\">Hello</P>"));
        QCOMPARE(editor.textCursor().position(), 22);
    }

    void insertReplacesSelection_data() {
        QTest::addColumn<QString>("snippet");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        QTest::newRow("nominal: snippet replaces the selected word") << "&copy;"
                                                                     << "a &copy; c" << 8;
        QTest::newRow("nominal: line breaks go in as they are") << "<MAP>\n</MAP>\n"
                                                                << "a <MAP>\n</MAP>\n c" << 15;
        QTest::newRow("robustness: empty snippet deletes the selection") << ""
                                                                         << "a  c" << 2;
    }
    void insertReplacesSelection() {
        QFETCH(QString, snippet);
        PageEditor editor;
        InsertionCore core(&editor);
        prepare(editor, QStringLiteral("a bbb c"), 2, 5);
        core.InsertAtCaret(snippet);
        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(editor.toPlainText(), expected);
        QCOMPARE(editor.textCursor().position(), caret);
        QVERIFY(!editor.textCursor().hasSelection());
    }

    void eachInsertionIsOneUndoStep() {
        PageEditor editor;
        InsertionCore core(&editor);
        prepare(editor, QStringLiteral("keep this word"), 5, 9);
        core.WrapSelection(QStringLiteral("<I>"), QStringLiteral("</I>"), 3);
        core.InsertAtCaret(QStringLiteral("<BR>"));
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep <I>this<BR></I> word"));
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep <I>this</I> word"));
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep this word"));
        editor.redo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("keep <I>this</I> word"));
    }

    // Many edits made in slices: each slice ends after a few hundredths of a second,
    // and a command cancelled between two of them leaves the page, its undo history
    // and the selection as they were; one that goes on is one undo step.
    void slicedEditsAreOneStepOrNone_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("nominal: every slice made") << false;
        QTest::newRow("robustness: cancelled after the first slice") << true;
    }
    void slicedEditsAreOneStepOrNone() {
        QFETCH(bool, cancel);
        PageEditor editor;
        const QString line = QStringLiteral("<p>x</p>\n");
        prepare(editor, line.repeated(100000) + QStringLiteral("end"), 0, 0);
        QTextCursor typed = editor.textCursor();
        typed.movePosition(QTextCursor::End);
        typed.insertText(QStringLiteral("y")); // an earlier undo step that must stay
        typed.setPosition(40);
        typed.setPosition(12, QTextCursor::KeepAnchor);
        editor.setTextCursor(typed);
        const QString before = editor.toPlainText();
        const int undoSteps = editor.document()->availableUndoSteps();
        QList<RangeEdit> edits;
        for (int i = 0; i < 100000; ++i)
            edits.append(RangeEdit{int(i * line.size()) + 1, 1, QStringLiteral("P")});
        int slices = 0;
        const bool made =
            InsertionCore(&editor).ReplaceRanges(edits, [&](qint64 done, qint64 total) {
                ++slices;
                // The page is whole between slices: the edits made are at its end.
                const QTextBlock last = editor.document()->lastBlock();
                const bool consistent =
                    done > 0 && done < total && last.previous().text() == QLatin1String("<P>x</p>");
                return consistent && !cancel;
            });
        QVERIFY(slices > 0);
        QCOMPARE(made, !cancel);
        QVERIFY(!editor.document()->isRedoAvailable());
        if (cancel) {
            QCOMPARE(editor.document()->availableUndoSteps(), undoSteps);
            QCOMPARE(editor.toPlainText(), before);
            QCOMPARE(editor.textCursor().anchor(), 40);
            QCOMPARE(editor.textCursor().position(), 12);
            return;
        }
        QVERIFY(editor.toPlainText().startsWith(QStringLiteral("<P>x</p>\n<P>")));
        QVERIFY(!editor.toPlainText().contains(QStringLiteral("<p>")));
        editor.undo();
        QCOMPARE(editor.toPlainText(), before);
    }

    void moveCaretBack() {
        PageEditor editor;
        InsertionCore core(&editor);
        prepare(editor, QString(), 0, 0);
        core.InsertAtCaret(QStringLiteral("<A HREF=\"x\"></A>"));
        core.MoveCaretBack(4);
        QCOMPARE(editor.textCursor().position(), 12);
        core.MoveCaretBack(100);
        QCOMPARE(editor.textCursor().position(), 0);
    }

    void tagCaseIsComparedWhole_data() {
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<bool>("upper");
        QTest::newRow("nominal: upper") << TagCase::Upper << true;
        QTest::newRow("nominal: lower") << TagCase::Lower << false;
        QTest::newRow("robustness: any other value is not upper")
            << static_cast<TagCase>(2) << false;
    }
    void tagCaseIsComparedWhole() {
        QFETCH(TagCase, tagCase);
        PageEditor editor;
        InsertionCore core(&editor);
        core.setTagCase(tagCase);
        QFETCH(bool, upper);
        QCOMPARE(core.IsUpperTagCase(), upper);
        QCOMPARE(core.pick(QStringLiteral("<B>"), QStringLiteral("<b>")),
                 core.IsUpperTagCase() ? QStringLiteral("<B>") : QStringLiteral("<b>"));
        QCOMPARE(core.quoted(QStringLiteral("SIZE"), QStringLiteral("+1")),
                 QStringLiteral("SIZE=\"+1\""));
    }
};

VELLUMO_TEST_MAIN(TestInsertionCore)
#include "tst_insertion_core.moc"
