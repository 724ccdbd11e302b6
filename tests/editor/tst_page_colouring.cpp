#include "editor/line_number_gutter.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "test_main.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

using namespace vellumo;

namespace {

// The darkest colour drawn in `area` of the viewport: a glyph's ink.
QColor ink(const QImage &image, const QRect &area) {
    QColor darkest(Qt::white);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.lightness() < darkest.lightness())
                darkest = pixel;
        }
    return darkest;
}

// The area the characters [from, to) of the first line take in the viewport.
QRect charactersArea(const PageEditor &editor, int from, int to) {
    QTextCursor cursor(editor.document());
    cursor.setPosition(from);
    const QRect start = editor.cursorRect(cursor);
    cursor.setPosition(to);
    const QRect end = editor.cursorRect(cursor);
    return QRect(QPoint(start.left() + 1, start.top()), QPoint(end.left() - 1, end.bottom()));
}

// Everything the document itself holds about its characters' looks.
QString documentFormats(const QTextDocument *document) {
    QString formats;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            formats += QStringLiteral("%1+%2:%3 ")
                           .arg(it.fragment().position())
                           .arg(it.fragment().length())
                           .arg(it.fragment().charFormat().foreground().color().name());
        formats += QString::number(block.layout()->formats().size()) + u'\n';
    }
    return formats;
}

bool isBlue(const QColor &colour) {
    return colour.blue() > colour.red() + 80 && colour.blue() > colour.green() + 80;
}

QString numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("<p class=\"x\">line %1</p>").arg(i);
    return lines.join(u'\n');
}

void showEditor(PageEditor &editor, const QString &page) {
    editor.resize(500, 300);
    editor.setPlainText(page);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
}

// The characters the ranges "start+length" cover, as one string of 0s and 1s.
QString coveredBy(const QStringList &ranges) {
    QString covered(12000, u'0');
    for (const QString &range : ranges) {
        const int start = range.section(u'+', 0, 0).toInt();
        const int length = range.section(u'+', 1, 1).toInt();
        for (int i = start; i < start + length; ++i)
            covered[i] = u'1';
    }
    return covered;
}

} // namespace

class TestPageColouring : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void colouredAsDrawn_data() {
        QTest::addColumn<bool>("colouring");
        QTest::newRow("nominal: tag names drawn in colour") << true;
        QTest::newRow("nominal: colouring off, drawn as plain text") << false;
    }
    // A tag's name is drawn in another colour than the text between tags, while
    // the document keeps its own formats (a grey span of its own too), has no
    // undo step and is not modified.
    void colouredAsDrawn() {
        QFETCH(bool, colouring);
        PageEditor editor;
        editor.setSyntaxColouring(colouring);
        showEditor(editor, QStringLiteral("<p>plain</p> <!-- x -->\n"));
        QTextCursor grey(editor.document());
        grey.setPosition(13);
        grey.setPosition(23, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(QColor(128, 128, 128));
        grey.mergeCharFormat(format);
        editor.document()->clearUndoRedoStacks();
        editor.document()->setModified(false);
        const QString formatsBefore = documentFormats(editor.document());
        const int revision = editor.document()->revision();

        const QImage drawn = editor.viewport()->grab().toImage();
        const QColor tag = ink(drawn, charactersArea(editor, 1, 2));
        const QColor text = ink(drawn, charactersArea(editor, 3, 8));
        const QColor comment = ink(drawn, charactersArea(editor, 13, 23));

        QVERIFY2(text.lightness() < 60, qPrintable(text.name()));
        QCOMPARE(isBlue(tag), colouring);
        QCOMPARE(tag.lightness() < 60, !colouring);
        QVERIFY2(qAbs(comment.lightness() - 128) < 40, qPrintable(comment.name()));
        QCOMPARE(documentFormats(editor.document()), formatsBefore);
        QCOMPARE(editor.document()->revision(), revision);
        QCOMPARE(editor.document()->availableUndoSteps(), 0);
        QVERIFY(!editor.document()->isModified());
    }

    // A line wrapped many times, with characters of a fallback font: each token keeps
    // its colour on every visual line.
    void colouredOnWrappedLines() {
        PageEditor editor;
        showEditor(editor, QString(QStringLiteral("\u6F22 <i>x</i> caf\u00E9 ")).repeated(60));
        const QImage drawn = editor.viewport()->grab().toImage();
        const QString text = editor.toPlainText();
        int checked = 0;
        for (qsizetype at = text.indexOf(u"<i>"); at >= 0; at = text.indexOf(u"<i>", at + 1)) {
            const int name = static_cast<int>(at) + 1;
            const QRect area = charactersArea(editor, name, name + 1);
            if (area.bottom() >= drawn.height())
                break;
            QVERIFY2(isBlue(ink(drawn, area)), qPrintable(QString::number(at)));
            QVERIFY(!isBlue(ink(drawn, charactersArea(editor, name + 2, name + 3))));
            ++checked;
        }
        QVERIFY(editor.document()->firstBlock().layout()->lineCount() > 5);
        QVERIFY(checked > 10);
    }

    // Only what is drawn is lexed: a long page shown at its top knows the states
    // of its first lines; going to its end lexes the lines before the end.
    void lexesWhatIsDrawn() {
        PageEditor editor;
        showEditor(editor, numberedLines(20000));
        PageColouring *colouring = editor.colouring();
        QTRY_VERIFY(colouring->knownLines() > 0);
        QVERIFY2(colouring->knownLines() < 100,
                 qPrintable(QString::number(colouring->knownLines())));

        editor.moveCursor(QTextCursor::End);
        editor.viewport()->repaint();
        QCOMPARE(colouring->knownLines(), 20000);
        QCOMPARE(colouring->spans(editor.document()->lastBlock()).first().kind,
                 HtmlTokenKind::TagDelimiter);
    }

    void statesReadWithThePage_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("editedLine"); // -1: none
        QTest::addColumn<bool>("carried");
        // States that change from line to line: comments, scripts and styles over lines.
        QString page;
        for (int i = 0; i < 3000; ++i)
            page += QStringLiteral("<p a=\"%1\">x</p><!-- open\nstill --><script>var s = `a\n"
                                   "b`;</script><style>p {\ncolor: red }</style>\n")
                        .arg(i);
        QTest::newRow("taken with the page") << page << -1 << true;
        QTest::newRow("an edit halfway: lexed from there") << page << 6000 << true;
        QTest::newRow("a paragraph separator makes another line: all lexed")
            << page + QChar(QChar::ParagraphSeparator) + QStringLiteral("<b>") << -1 << false;
        QTest::newRow("so does a carriage return") << QStringLiteral("<b>\r") + page << -1 << false;
    }
    // A page read with its lines' states takes them instead of lexing its lines when
    // the end is shown; the states are those lexing gives, after an edit too.
    void statesReadWithThePage() {
        QFETCH(QString, page);
        QFETCH(int, editedLine);
        PageEditor editor;
        showEditor(editor, QString());
        PageFill withStates;
        withStates.lineStates = true;
        attachPageDocument(&editor,
                           buildPageDocument(QString(page), *editor.document(), withStates));
        PageEditor lexed;
        showEditor(lexed, page);
        for (PageEditor *each : {&editor, &lexed})
            if (editedLine >= 0)
                QTextCursor(each->document()->findBlockByNumber(editedLine))
                    .insertText(QStringLiteral("<!--"));
        const qint64 before = editor.colouring()->linesLexed();
        const int known = editor.colouring()->knownLines(); // the lines drawn at the top
        editor.moveCursor(QTextCursor::End);
        editor.viewport()->repaint();
        QFETCH(bool, carried);
        const qint64 linesLexed = editor.colouring()->linesLexed() - before;
        const int lines = editor.document()->blockCount();
        // Besides the lines lexed for their states, those drawn are lexed for their colours.
        const int expected = !carried ? lines - known : editedLine < 0 ? 0 : lines - editedLine;
        QVERIFY2(linesLexed >= expected && linesLexed < expected + 100,
                 qPrintable(QString::number(linesLexed)));
        QCOMPARE(lines, lexed.document()->blockCount());
        for (int i = 0; i < lines; i += 7) {
            const QTextBlock block = editor.document()->findBlockByNumber(i);
            QCOMPARE(editor.colouring()->stateBefore(block),
                     lexed.colouring()->stateBefore(lexed.document()->findBlockByNumber(i)));
        }
    }

    // A comment opened at the top colours the lines below it; undone, they are
    // tags again. A key typed inside a line lexes that line and the next only.
    void editsLexAsFarAsStatesChange() {
        PageEditor editor;
        showEditor(editor, numberedLines(200));
        PageColouring *colouring = editor.colouring();
        const QTextBlock line50 = editor.document()->findBlockByNumber(49);
        QCOMPARE(colouring->spans(line50).first().kind, HtmlTokenKind::TagDelimiter);

        editor.moveCursor(QTextCursor::Start);
        QTest::keyClicks(editor.viewport(), QStringLiteral("<!--"));
        QCOMPARE(colouring->spans(line50).first().kind, HtmlTokenKind::Comment);
        QCOMPARE(colouring->spans(editor.document()->lastBlock()).first().kind,
                 HtmlTokenKind::Comment);
        QCOMPARE(editor.toPlainText().left(6), QStringLiteral("<!--<p"));

        editor.undo();
        QCOMPARE(colouring->spans(line50).first().kind, HtmlTokenKind::TagDelimiter);

        QTextCursor cursor(editor.document()->findBlockByNumber(100));
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor.setTextCursor(cursor);
        const qint64 before = colouring->linesLexed();
        QTest::keyClick(editor.viewport(), Qt::Key_X);
        QVERIFY2(colouring->linesLexed() - before <= 3,
                 qPrintable(QString::number(colouring->linesLexed() - before)));
    }

    // An edit that changes the state its line ends in changes the colours of the next
    // line even where that line ends as before: the lines below are drawn again.
    void linesBelowAnEditAreRedrawnWhenTheyStartOtherwise() {
        PageEditor editor;
        showEditor(editor, QStringLiteral("<p>x\nfoo>\n<b>bar</b>\n"));
        PageColouring *colouring = editor.colouring();
        const QTextBlock below = editor.document()->findBlockByNumber(1);
        QCOMPARE(colouring->spans(below).first().kind, HtmlTokenKind::Text);
        QSignalSpy redrawn(colouring, &PageColouring::linesBelowChanged);
        QTextCursor cursor(editor.document()->firstBlock());
        cursor.movePosition(QTextCursor::EndOfBlock);
        editor.setTextCursor(cursor);
        QTest::keyClicks(editor.viewport(), QStringLiteral("</"));
        QCOMPARE(colouring->spans(below).first().kind, HtmlTokenKind::Comment);
        QVERIFY(!redrawn.isEmpty());
    }

    // Marked stretches lie under their text, on the caret's line too, and leave
    // the document as it was.
    void markedRangesDrawn() {
        PageEditor editor;
        showEditor(editor, QStringLiteral("<b>x</b> some text\nnext"));
        const int revision = editor.document()->revision();
        editor.setMarkedRanges({{0, 3}, {4, 8}});
        const QImage drawn = editor.viewport()->grab().toImage();
        auto marked = [&drawn](const QRect &area) {
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (drawn.pixelColor(x, y) == PageEditor::markedRangeColour())
                        return true;
            return false;
        };
        QVERIFY(marked(charactersArea(editor, 0, 3)));
        QVERIFY(marked(charactersArea(editor, 4, 8)));
        QVERIFY(!marked(charactersArea(editor, 3, 4)));
        QVERIFY(!marked(charactersArea(editor, 9, 17)));
        QVERIFY(isBlue(ink(drawn, charactersArea(editor, 1, 2)))); // the tag's name on top
        QCOMPARE(editor.document()->revision(), revision);
        QCOMPARE(editor.document()->availableUndoSteps(), 0);
    }

    // The whole text replaced by a shorter one (a page put in with setPlainText):
    // every new line's state is lexed, none read from lines that are gone.
    void wholeTextReplaced() {
        PageEditor editor;
        showEditor(editor, numberedLines(6));
        QTRY_COMPARE(editor.colouring()->knownLines(), 6);
        // Its first line ends as the old first line did.
        editor.setPlainText(QStringLiteral("<p>\n<script>\nx = 1;\n</script>"));
        PageColouring *colouring = editor.colouring();
        const QTextBlock third = editor.document()->findBlockByNumber(2);
        QCOMPARE(colouring->stateBefore(third).mode, HtmlLexState::Mode::RawContent);
        QCOMPARE(colouring->spans(third).first().kind, HtmlTokenKind::ScriptText);
    }

    // The gutter numbers the page's lines, one number for a wrapped line, the
    // caret's line marked; hidden, the text starts at the editor's left edge.
    void lineNumbers() {
        PageEditor editor;
        showEditor(editor, QStringLiteral("a\n") + QStringLiteral("word ").repeated(200) +
                               QStringLiteral("\nb"));
        const auto *gutter = editor.findChild<LineNumberGutter *>();
        QVERIFY(gutter && gutter->isVisible());
        QCOMPARE(editor.viewport()->geometry().left(),
                 editor.contentsRect().left() + gutter->width());

        const QList<PageEditor::VisibleLine> lines = editor.visibleLines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0).number, 1);
        QCOMPARE(lines.at(1).number, 2);
        QCOMPARE(lines.at(2).number, 3);
        QVERIFY(lines.at(2).top > lines.at(1).top + 3 * lines.at(1).lineHeight);
        QCOMPARE(lines.at(0).current, true);
        QCOMPARE(lines.at(2).current, false);

        editor.setLineNumbersShown(false);
        QVERIFY(!gutter->isVisible());
        QCOMPARE(editor.viewport()->geometry().left(), editor.contentsRect().left());
    }

    void longLineEdits_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("added");
        QTest::newRow("nominal: a key typed at the end") << -1 << 0 << "x";
        QTest::newRow("nominal: a key typed in the middle of a tag") << 3001 << 0 << "x";
        QTest::newRow("robustness: a comment opened near the start") << 10 << 0 << "<!--";
        QTest::newRow("robustness: a quote opened in the middle") << 2990 << 0 << "<a title=\"";
        QTest::newRow("robustness: a script's end tag removed") << 0 << 0 << "<script>";
        QTest::newRow("nominal: characters deleted across places") << 900 << 2500 << "";
    }
    // An edit in a line of thousands of characters is lexed from the place before
    // it; the colours and the state after the line come out as lexing the
    // changed line whole gives them.
    void longLineEdits() {
        QFETCH(int, offset);
        QFETCH(int, removed);
        QFETCH(QString, added);
        QString line;
        for (int i = 0; line.size() < 9000; ++i)
            line += i % 7 == 3 ? QStringLiteral("<script>if (a < b) s = '</p>';</script>")
                               : QStringLiteral("<p class=\"c%1\">text &amp; more</p> ").arg(i);
        PageEditor editor;
        showEditor(editor, line + QStringLiteral("\n<p>after</p>"));
        QTextBlock block = editor.document()->firstBlock();
        PageColouring *colouring = editor.colouring();
        colouring->formatRanges(block, 0, block.length(), QBrush());

        QTextCursor cursor(block);
        cursor.setPosition(offset < 0 ? block.length() - 1 : offset);
        cursor.setPosition(cursor.position() + removed, QTextCursor::KeepAnchor);
        cursor.insertText(added);
        block = editor.document()->firstBlock();

        QList<HtmlTokenSpan> whole;
        const HtmlLexState end = lexHtmlLine(block.text(), HtmlLexState{}, &whole);
        QStringList expected;
        for (const HtmlTokenSpan &span : whole)
            if (PageColouring::colour(span.kind).isValid())
                expected << QStringLiteral("%1+%2").arg(span.start).arg(span.length);
        QStringList drawn;
        for (const auto &range : colouring->formatRanges(block, 0, block.length(), QBrush()))
            drawn << QStringLiteral("%1+%2").arg(range.start).arg(range.length);
        // Neighbouring tokens of one colour may come as one range or two.
        QCOMPARE(drawn.size() > 0, true);
        QCOMPARE(coveredBy(drawn), coveredBy(expected));
        QCOMPARE(HtmlLexState::unpack(block.userState()), end);
        QCOMPARE(colouring->stateBefore(block.next()), end);
    }

    // The caret's line is drawn on a light background and no other is; moving
    // the caret moves it.
    void currentLine() {
        PageEditor editor;
        showEditor(editor, QStringLiteral("one\ntwo\nthree"));
        auto backgroundOf = [&editor](int line) {
            const QTextBlock block = editor.document()->findBlockByNumber(line);
            const QRectF area = editor.document()->documentLayout()->blockBoundingRect(block);
            QTextCursor cursor(block);
            const QRect caret = editor.cursorRect(cursor);
            const QImage drawn = editor.viewport()->grab().toImage();
            Q_UNUSED(area);
            return drawn.pixelColor(editor.viewport()->width() - 5, caret.center().y());
        };
        QCOMPARE(backgroundOf(0), PageEditor::currentLineColour());
        QCOMPARE(backgroundOf(1), QColor(Qt::white));

        editor.moveCursor(QTextCursor::Down);
        QCOMPARE(backgroundOf(0), QColor(Qt::white));
        QCOMPARE(backgroundOf(1), PageEditor::currentLineColour());
        QCOMPARE(editor.document()->availableUndoSteps(), 0);
    }
};

VELLUMO_TEST_MAIN(TestPageColouring)
#include "tst_page_colouring.moc"
