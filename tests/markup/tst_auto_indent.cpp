#include "markup/auto_indent.h"
#include "markup/markup_completion.h"
#include "test_main.h"
#include "typing_page.h"

using namespace vellumo;

namespace {

struct Fixture : TypingPage {
    AutoIndent indent{editor, core};
    MarkupCompletion completion{editor, core};

    Fixture() { core.setTagCase(LowerTagCase); }
};

} // namespace

class TestAutoIndent : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Enter keeps the line's indentation, one level more where a block, a rule or a tag
    // was left open; the level is the page's own (a tab, or the spaces of the lines above).
    void enterKeepsTheLevel_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("text") << "  <p>x|"
                              << "  <p>x\n  |";
        QTest::newRow("block opened") << "\t<ul>|"
                                      << "\t<ul>\n\t\t|";
        QTest::newRow("between the tags") << "<ul>|</ul>"
                                          << "<ul>\n\t|\n</ul>";
        QTest::newRow("four spaces") << "    <div class=\"a\">|"
                                     << "    <div class=\"a\">\n        |";
        QTest::newRow("tag going on") << "<img src=\"a\"|"
                                      << "<img src=\"a\"\n\t|";
        QTest::newRow("style rule") << "<style>\np {|"
                                    << "<style>\np {\n\t|";
        QTest::newRow("void element") << "<br>|"
                                      << "<br>\n|";
        QTest::newRow("inline element") << "<b>|"
                                        << "<b>\n|";
        QTest::newRow("in a comment") << "<!-- <div>|"
                                      << "<!-- <div>\n|";
        QTest::newRow("caret in the indentation") << "\t|\t<p>"
                                                  << "\t\n\t|\t<p>";
    }
    void enterKeepsTheLevel() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        Fixture f;
        f.put(before);
        QTest::keyClick(f.editor, Qt::Key_Return);
        QCOMPARE(f.withCaret(), after);
        // One undo step takes the line break and its indentation back.
        f.editor->undo();
        QCOMPARE(pageText(f.page()), QString(before).remove(u'|'));
    }

    // Tab and Shift+Tab on a selection of lines move them a level, as one undo step.
    void tabMovesSelectedLines() {
        Fixture f;
        f.put("<ul>\n[<li>a\n  <li>b\n]</ul>");
        QTest::keyClick(f.editor, Qt::Key_Tab);
        QCOMPARE(pageText(f.page()), "<ul>\n\t<li>a\n\t  <li>b\n</ul>");
        QCOMPARE(f.page().selectedText(), "\t<li>a\n\t  <li>b");
        QTest::keyClick(f.editor, Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(f.editor, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(pageText(f.page()), "<ul>\n<li>a\n<li>b\n</ul>");
        // Each move is one undo step; spaces after the tab went with it.
        f.editor->undo();
        QCOMPARE(pageText(f.page()), "<ul>\n<li>a\n\t<li>b\n</ul>");
    }

    // "</" typed first on a line completes the end tag at the level of its block.
    void endTagTakesTheLevelBack_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("after an item") << "<ul>\n\t<li>a</li>\n\t|"
                                       << "<ul>\n\t<li>a</li>\n</ul>|";
        QTest::newRow("right after the start tag") << "<div>\n\t|"
                                                   << "<div>\n</div>|";
        QTest::newRow("already at its level") << "<div>\n\t<p>x</p>\n|"
                                              << "<div>\n\t<p>x</p>\n</div>|";
        QTest::newRow("not first on the line") << "<div>\n\tx |"
                                               << "<div>\n\tx </div>|";
    }
    void endTagTakesTheLevelBack() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        Fixture f;
        f.put(before);
        QTest::keyClicks(f.editor, "</");
        QCOMPARE(f.withCaret(), after);
    }
};

VELLUMO_TEST_MAIN(TestAutoIndent)
#include "tst_auto_indent.moc"
