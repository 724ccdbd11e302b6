#include "editor/page_layout.h"
#include "editor/page_loader.h"
#include "test_main.h"

#include <QFontDatabase>
#include <QHash>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

using namespace vellumo;

namespace {

// Markup lines of different lengths, the longest ones wrapping in a 420-pixel editor.
QString shortLines(int count) {
    static const QString lines[] = {
        QStringLiteral("<P>The editor keeps the caret where the user left it &amp; moves on.</P>"),
        QStringLiteral("  <A HREF=\"two.htm\">Read the second chapter</A> &mdash; or skip it<BR>"),
        QStringLiteral("<TD>caf\u00E9</TD>"),
        QStringLiteral("    <LI>One more item of a long list, with <B>bold</B> and <I>italic</I>"),
    };
    QStringList page;
    for (int i = 0; i < count; ++i)
        page << lines[i % 4];
    return page.join(u'\n');
}

// 40 lines, each `pattern` (with the line's number for %1) repeated `times` times.
QString repeatedLines(const QString &pattern, int times) {
    QStringList page;
    for (int i = 0; i < 40; ++i)
        page << pattern.arg(i).repeated(times);
    return page.join(u'\n');
}

QString longLines() {
    return repeatedLines(QStringLiteral("<SPAN CLASS=\"x%1\">word word word</SPAN> "), 12);
}

QString emptyLines() {
    return QStringLiteral("<HTML>\n\n\n<BODY>\n\n<P>text</P>\n\n\n\n</BODY>\n\n</HTML>\n\n");
}

// Lines over 4,096 characters, which keep their shaped glyphs once laid out.
QString shapedLines() {
    return repeatedLines(QStringLiteral("<I>long</I> line %1 "), 300);
}

QString hugeLine() {
    return shortLines(30) + u'\n' +
           QStringLiteral("<B>bold</B> and plain ").repeated(2300).left(50'000) + u'\n' +
           shortLines(30);
}

// An editor as the main window sets it up, at a fixed size: 420 pixels wrap the
// longer lines, 900 pixels wrap none of the short ones.
void prepare(QPlainTextEdit &editor, const QString &text, int width = 420) {
    editor.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor.resize(width, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    // The page arrives in a window already shown, as a page opened by the user does.
    editor.setPlainText(text);
    QCoreApplication::processEvents();
}

int resolvePosition(const QPlainTextEdit &editor, const QString &where) {
    const int last = editor.document()->characterCount() - 1;
    if (where == u"mid")
        return last / 2;
    if (where == u"end")
        return last;
    if (where.startsWith(u'b')) // start of a block: b12
        return editor.document()->findBlockByNumber(where.mid(1).toInt()).position();
    return where.toInt();
}

// Runs a little edit script on `editor`: steps separated by ';', each a verb and
// an argument ("at mid; type abc; backspace 2; undo").
void run(QPlainTextEdit &editor, const QString &script) {
    for (const QString &step : script.split(u';', Qt::SkipEmptyParts)) {
        const QString verb = step.trimmed().section(u' ', 0, 0);
        QString argument = step.trimmed().section(u' ', 1);
        const int times = qMax(1, argument.toInt());
        QTextCursor cursor = editor.textCursor();
        if (verb == u"at") {
            cursor.setPosition(resolvePosition(editor, argument));
            editor.setTextCursor(cursor);
        } else if (verb == u"select") {
            cursor.setPosition(cursor.position() + times, QTextCursor::KeepAnchor);
            editor.setTextCursor(cursor);
        } else if (verb == u"type") {
            QTest::keyClicks(&editor, argument);
        } else if (verb == u"paste") {
            editor.insertPlainText(argument.replace(QStringLiteral("\\n"), QStringLiteral("\n")));
        } else if (static const QHash<QString, Qt::Key> keys{
                       {QStringLiteral("enter"), Qt::Key_Return},
                       {QStringLiteral("backspace"), Qt::Key_Backspace},
                       {QStringLiteral("delete"), Qt::Key_Delete},
                       {QStringLiteral("up"), Qt::Key_Up},
                       {QStringLiteral("down"), Qt::Key_Down},
                       {QStringLiteral("home"), Qt::Key_Home},
                       {QStringLiteral("end"), Qt::Key_End}};
                   keys.contains(verb)) {
            const Qt::Key key = keys.value(verb);
            for (int i = 0; i < times; ++i)
                QTest::keyClick(&editor, key);
        } else if (verb == u"undo") {
            for (int i = 0; i < times; ++i)
                editor.undo();
        } else if (verb == u"redo") {
            for (int i = 0; i < times; ++i)
                editor.redo();
        } else if (verb == u"width") {
            editor.resize(times, editor.height());
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step: %1").arg(step)));
        }
        QCoreApplication::processEvents();
    }
}

} // namespace

class TestPageLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesQtsLayout_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("script");

        QTest::newRow("nominal: typing in the middle") << shortLines(300) << "at mid; type abc";
        QTest::newRow("nominal: Backspace in the middle")
            << shortLines(300) << "at mid; backspace 3";
        QTest::newRow("nominal: insertion, undo, redo")
            << shortLines(300) << "at mid; paste &nbsp;; undo; redo; undo";
        QTest::newRow("nominal: typing that wraps onto one more line")
            << longLines() << "at b20; type " + QString(90, u'x');
        QTest::newRow("nominal: Backspace that takes a wrapped line away")
            << longLines() << "at b21; backspace 120; at b3; delete 120";
        QTest::newRow("nominal: Enter splits a line, undo joins it")
            << shortLines(300) << "at mid; enter; type <BR>; undo; enter; undo 2";
        QTest::newRow("nominal: Backspace at a line start joins two lines")
            << longLines() << "at b10; backspace; backspace; undo";
        QTest::newRow("nominal: pasting several lines")
            << shortLines(300) << "at mid; paste <P>\\none\\ntwo</P>; undo";
        QTest::newRow("nominal: removing a selection across lines")
            << longLines() << "at b5; select 700; delete; undo; redo";
        QTest::newRow("nominal: edits on empty lines")
            << emptyLines() << "at b2; type <BR>; backspace 4; at b7; enter; enter; backspace";
        QTest::newRow("nominal: first and last line")
            << shortLines(300) << "at 0; type <HTML>; at end; type </HTML>; backspace 2; undo";
        QTest::newRow("robustness: a 50,000-character line edited in its middle")
            << hugeLine() << "at mid; type <I>; backspace 2; undo; at b31; backspace; undo";
        QTest::newRow("robustness: the widest line made narrower in every way")
            << shortLines(300)
            << "width 900; at b1; type " + QString(40, u'w') +
                   "; backspace 40; at b1; select 30; delete; undo";
        QTest::newRow("robustness: narrower window after editing")
            << longLines() << "at b12; type abc; width 300; at b30; backspace 5; width 500";
        QTest::newRow("robustness: the caret moved by lines across changes of width")
            << longLines()
            << "at b12; at b20; width 300; at b13; up; type x; at b30; width 600; at b21; up 2; "
               "type y; end; down 9; home; width 350; up 4; end; type z; width 420";
        QTest::newRow("robustness: lines that keep their glyphs deleted, joined, split, typed into")
            << shapedLines()
            << "at b2; select 20000; delete; at b3; backspace; type abc; at b0; enter; type x; "
               "at b20; delete; at b30; type yz; width 300; at b1; select 40000; delete; undo; "
               "at b38; type end";
        QTest::newRow("robustness: everything removed and typed again")
            << shortLines(40) << "at 0; select 2000; delete; type a; enter; type b; undo 3";
    }
    // The page's layout must be the one Qt makes, line for line, after any edit.
    void matchesQtsLayout() {
        QFETCH(QString, page);
        QFETCH(QString, script);
        QPlainTextEdit stock;
        QPlainTextEdit ours;
        usePageLayout(&ours);
        prepare(stock, page);
        prepare(ours, page);
        QVERIFY(qobject_cast<PageDocumentLayout *>(ours.document()->documentLayout()));

        run(stock, script);
        run(ours, script);

        QTextDocument *expected = stock.document();
        QTextDocument *actual = ours.document();
        QCOMPARE(actual->toPlainText(), expected->toPlainText());
        QCOMPARE(ours.textCursor().position(), stock.textCursor().position());
        // Line counts as the editors left them (blocks never laid out count one
        // line). After a change of width Qt's layout forgets every block's lines,
        // while the page's keeps those of the old width until a block is shown, so
        // the two only agree once every block is measured.
        if (!script.contains(QLatin1String("width"))) {
            QCOMPARE(actual->lineCount(), expected->lineCount());
            for (QTextBlock a = actual->firstBlock(), e = expected->firstBlock(); e.isValid();
                 a = a.next(), e = e.next())
                QCOMPARE(a.lineCount(), e.lineCount());
            QCOMPARE(ours.verticalScrollBar()->maximum(), stock.verticalScrollBar()->maximum());
            QCOMPARE(ours.verticalScrollBar()->value(), stock.verticalScrollBar()->value());
            QCOMPARE(ours.cursorForPosition(QPoint(0, 0)).position(),
                     stock.cursorForPosition(QPoint(0, 0)).position());
            QCOMPARE(ours.cursorRect(), stock.cursorRect());
        }

        // Every block measured, then the caret placed at many points of the page.
        for (QTextBlock a = actual->firstBlock(), e = expected->firstBlock(); e.isValid();
             a = a.next(), e = e.next()) {
            QCOMPARE(actual->documentLayout()->blockBoundingRect(a),
                     expected->documentLayout()->blockBoundingRect(e));
            QCOMPARE(a.lineCount(), e.lineCount());
        }
        QCOMPARE(actual->lineCount(), expected->lineCount());
        QCOMPARE(actual->documentLayout()->documentSize().height(),
                 expected->documentLayout()->documentSize().height());
        // The line typed into keeps its glyphs, and no more than the last few lines do.
        if (script.section(u';', -1).trimmed().startsWith(QLatin1String("type")))
            QVERIFY(ours.textCursor().block().layout()->cacheEnabled());
        int shaped = 0;
        for (QTextBlock block = actual->firstBlock(); block.isValid(); block = block.next())
            shaped += block.layout()->cacheEnabled() ? 1 : 0;
        QVERIFY2(shaped <= 16, qPrintable(QString::number(shaped)));
        // Both views from the same place, whatever their scrolling went through.
        ours.verticalScrollBar()->setValue(0);
        stock.verticalScrollBar()->setValue(0);
        QCoreApplication::processEvents();
        QCOMPARE(ours.verticalScrollBar()->maximum(), stock.verticalScrollBar()->maximum());
        const int last = expected->characterCount() - 1;
        for (int position = 0; position <= last; position += qMax(1, last / 97)) {
            QTextCursor e(expected);
            QTextCursor a(actual);
            e.setPosition(position);
            a.setPosition(position);
            QCOMPARE(ours.cursorRect(a), stock.cursorRect(e));
            // Moving down a line keeps the caret where Qt's layout would put it.
            e.movePosition(QTextCursor::Down);
            a.movePosition(QTextCursor::Down);
            QCOMPARE(a.position(), e.position());
        }
    }

    // An edit in the middle of a long page, or a change of the window's width, lays
    // out the block it changed and what is in view, and never measures the whole
    // page for its widest line nor gives every block a new line layout.
    void middleEditStaysLocal_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("nominal: typing") << "type abc";
        QTest::newRow("nominal: Backspace") << "backspace 3";
        QTest::newRow("nominal: insertion and its undo, twice")
            << "paste &nbsp;; undo; paste &nbsp;; undo";
        QTest::newRow("nominal: the window made narrower and wider around typing")
            << "width 420; width 700; type abc; width 500";
        QTest::newRow("nominal: a line made wider, then narrower")
            << "type " + QString(30, u'w') + "; backspace 30; type " + QString(30, u'w') + "; undo";
    }
    void middleEditStaysLocal() {
        QFETCH(QString, script);
        QPlainTextEdit editor;
        usePageLayout(&editor);
        prepare(editor, shortLines(20'000), 900);
        run(editor, QStringLiteral("at mid"));
        auto *layout = qobject_cast<PageDocumentLayout *>(editor.document()->documentLayout());
        QVERIFY(layout);
        const qint64 before = layout->blocksLaidOut();
        const qreal qtsWidestLine = layout->QPlainTextDocumentLayout::documentSize().width();

        run(editor, script);

        // A screen holds about 25 lines; a few more are measured around the caret.
        QCOMPARE_LT(layout->blocksLaidOut() - before, 200);
        int laidOut = 0;
        for (QTextBlock block = editor.document()->firstBlock(); block.isValid();
             block = block.next())
            laidOut += block.layout()->lineCount() > 0 ? 1 : 0;
        QCOMPARE_LT(laidOut, 400);
        // Qt's own record of the widest line still holds the text width it was
        // given, wider than any of these lines: its hunt for the widest line never ran.
        QCOMPARE(layout->QPlainTextDocumentLayout::documentSize().width(), qtsWidestLine);
        QCOMPARE(layout->documentSize().width(), qreal(editor.viewport()->width()));
    }

    // Long lines keep their shaped glyphs, so painting near them does not shape
    // them again; only the last few laid out keep them, and letting one go costs
    // one layout of that line, never a chain of them.
    void onlyTheLastLongLinesKeepTheirGlyphs() {
        QString page;
        for (int i = 0; i < 40; ++i)
            page += QStringLiteral("<I>long</I> line ").repeated(300) + u'\n';
        QPlainTextEdit stock;
        QPlainTextEdit ours;
        usePageLayout(&ours);
        prepare(stock, page);
        prepare(ours, page);
        auto *layout = qobject_cast<PageDocumentLayout *>(ours.document()->documentLayout());
        QVERIFY(layout);

        const qint64 before = layout->blocksLaidOut();
        int longLines = 0;
        for (QTextBlock block = ours.document()->firstBlock(); block.isValid();
             block = block.next()) {
            layout->blockBoundingRect(block);
            longLines += block.length() > 4096 ? 1 : 0;
        }
        QCOMPARE(longLines, 40);
        QVERIFY(layout->blocksLaidOut() - before <= 2 * longLines + 1);
        int shaped = 0;
        for (QTextBlock block = ours.document()->firstBlock(); block.isValid();
             block = block.next())
            shaped += block.layout()->cacheEnabled() ? 1 : 0;
        QVERIFY2(shaped > 0 && shaped <= 16, qPrintable(QString::number(shaped)));

        // Shaped or not, every line wraps exactly as Qt's layout wraps it.
        for (QTextBlock a = ours.document()->firstBlock(), e = stock.document()->firstBlock();
             e.isValid(); a = a.next(), e = e.next())
            QCOMPARE(layout->blockBoundingRect(a),
                     stock.document()->documentLayout()->blockBoundingRect(e));
    }

    void everyPageGetsThePageLayout() {
        QPlainTextEdit editor;
        usePageLayout(&editor);
        const QPaintDevice *device = editor.document()->documentLayout()->paintDevice();
        QVERIFY(device);
        prepare(editor, shortLines(10));
        // A new page replaces the text of the same document, and keeps its layout.
        editor.setPlainText(QStringLiteral("<HTML>\n</HTML>"));
        QVERIFY(qobject_cast<PageDocumentLayout *>(editor.document()->documentLayout()));
        QCOMPARE(editor.document()->documentLayout()->paintDevice(), device);
        QCOMPARE(editor.document()->documentLayout()->documentSize().width(),
                 qreal(editor.viewport()->width()));

        attachPageDocument(&editor, buildPageDocument(shortLines(50), *editor.document()));
        QVERIFY(qobject_cast<PageDocumentLayout *>(editor.document()->documentLayout()));
        QCOMPARE(editor.document()->blockCount(), 50);
        run(editor, QStringLiteral("at b20; type abc; undo"));
        QCOMPARE(editor.toPlainText(), shortLines(50));
    }
};

VELLUMO_TEST_MAIN(TestPageLayout)
#include "tst_page_layout.moc"
