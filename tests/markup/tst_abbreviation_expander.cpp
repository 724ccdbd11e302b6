#include "document/snippet_store.h"
#include "markup/abbreviation_expander.h"
#include "test_main.h"
#include "typing_page.h"

using namespace vellumo;

namespace {

struct Fixture : TypingPage {
    AbbreviationExpander expander{editor, core};
};

} // namespace

class TestAbbreviationExpander : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The abbreviation before the caret becomes markup in the page's tag case, indented
    // like its line, with the caret in the first empty place; where the lexer says the
    // caret is in a tag, a comment, a script or a value, nothing happens and the note says why.
    void expandsWhereMarkupMayStand_data() {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("note");
        QTest::newRow("list") << true << "<BODY>\nul>li*2|\n</BODY>"
                              << "<BODY>\n<UL>\n\t<LI>|</LI>\n\t<LI></LI>\n</UL>\n</BODY>"
                              << "";
        QTest::newRow("lower case, after a tag") << false << "<div>p.note|</div>"
                                                 << "<div><p class=\"note\">|</p></div>"
                                                 << "";
        QTest::newRow("indented with spaces") << true << "  ul>li|"
                                              << "  <UL>\n    <LI>|</LI>\n  </UL>"
                                              << "";
        QTest::newRow("text given") << true << "p{Hi}|"
                                    << "<P>Hi</P>|"
                                    << "";
        QTest::newRow("in a comment") << true << "<!-- ul>li| -->"
                                      << "<!-- ul>li| -->"
                                      << "No abbreviation is expanded";
        QTest::newRow("in a tag") << true << "<P ul|>"
                                  << "<P ul|>"
                                  << "No abbreviation is expanded";
        QTest::newRow("in a value") << true << "<A HREF=\"x p|\">"
                                    << "<A HREF=\"x p|\">"
                                    << "No abbreviation is expanded";
        QTest::newRow("in a script") << true << "<SCRIPT>\nul|\n</SCRIPT>"
                                     << "<SCRIPT>\nul|\n</SCRIPT>"
                                     << "No abbreviation is expanded";
        QTest::newRow("malformed") << true << "(ul|"
                                   << "(ul|"
                                   << "Not an abbreviation";
        QTest::newRow("nothing before the caret") << true << "x |"
                                                  << "x |"
                                                  << "No abbreviation";
    }
    void expandsWhereMarkupMayStand() {
        QFETCH(bool, upper);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, note);
        Fixture f;
        f.core.setTagCase(upper ? UpperTagCase : LowerTagCase);
        f.put(before);
        const QString said = f.expander.expand();
        QCOMPARE(f.withCaret(), after);
        QVERIFY2(note.isEmpty() ? said.isEmpty() : said.startsWith(note), qPrintable(said));
        QCOMPARE(f.page().isUndoAvailable(), note.isEmpty());
        // One undo step puts the abbreviation back.
        f.editor->undo();
        QCOMPARE(pageText(f.page()), QString(before).remove(u'|'));
    }

    // Tab and Shift+Tab lead through the empty places, typing fills them, a Tab past the
    // last leaves the caret after the markup.
    void tabLeadsThroughTheEmptyPlaces() {
        Fixture f;
        f.core.setTagCase(LowerTagCase);
        f.put("x\nul>li*2>a|");
        QVERIFY(f.expander.expand().isEmpty());
        QVERIFY(f.expander.isLeading());
        QCOMPARE(f.withCaret(),
                 "x\n<ul>\n\t<li><a href=\"|\"></a></li>\n\t<li><a href=\"\"></a></li>\n</ul>");
        QTest::keyClicks(f.editor, "one.htm");
        f.key(Qt::Key_Tab);
        QTest::keyClicks(f.editor, "One");
        f.key(Qt::Key_Tab);
        f.key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(f.withCaret(), "x\n<ul>\n\t<li><a href=\"one.htm\">One|</a></li>\n\t<li><a "
                                "href=\"\"></a></li>\n</ul>");
        f.key(Qt::Key_Tab);
        f.key(Qt::Key_Tab);
        QVERIFY(f.expander.isLeading());
        f.key(Qt::Key_Tab);
        QVERIFY(!f.expander.isLeading());
        QCOMPARE(f.page().caret(), f.page().length());
        // Tab types a tab again.
        f.key(Qt::Key_Tab);
        QVERIFY(pageText(f.page()).endsWith("</ul>\t"));
    }

    // A snippet's trigger expands like an abbreviation, indented like its line; what is
    // typed in a place reaches the places that mirror it, and Tab past the last stop
    // leaves the caret where the body says.
    void triggerWritesTheSnippetAndItsMirrors() {
        Fixture f;
        const Snippet link{"Link", "lnk", "<a href=\"${1:page.htm}\">\n\t$1 $CLIPBOARD</a>$0"};
        f.expander.setSnippets(
            [&link](QStringView trigger) { return trigger == link.trigger ? &link : nullptr; },
            [] {
                return SnippetVariables{{}, "clip", {}, {}, {}};
            });
        f.put("<p>\n  lnk|");
        QVERIFY(f.expander.expand().isEmpty());
        QCOMPARE(f.page().selectedText(), "page.htm");
        QTest::keyClicks(f.editor, "x.htm");
        QTRY_COMPARE(pageText(f.page()), "<p>\n  <a href=\"x.htm\">\n  \tx.htm clip</a>");
        f.key(Qt::Key_Tab);
        QCOMPARE(f.withCaret(), "<p>\n  <a href=\"x.htm\">\n  \tx.htm clip</a>|");
        QVERIFY(!f.expander.isLeading());
    }

    // A click elsewhere ends the tour; Escape does too.
    void leavingThePlacesEndsTheTour() {
        Fixture f;
        f.put("a+a|");
        QVERIFY(f.expander.expand().isEmpty());
        QVERIFY(f.expander.isLeading());
        f.key(Qt::Key_Escape);
        QVERIFY(!f.expander.isLeading());
        f.put("a|");
        QVERIFY(f.expander.expand().isEmpty());
        f.page().setCaret(0);
        QVERIFY(!f.expander.isLeading());
    }

    // With the setting on, Tab after an abbreviation expands it; after a plain word, or
    // with the setting off, Tab types a tab.
    void tabExpandsWhenAsked_data() {
        QTest::addColumn<bool>("onTab");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("off") << false << "p.x|"
                             << "p.x\t|";
        QTest::newRow("on") << true << "p.x|"
                            << "<p class=\"x\">|</p>";
        QTest::newRow("on, an element") << true << "em|"
                                        << "<em>|</em>";
        QTest::newRow("on, a plain word") << true << "Hello|"
                                          << "Hello\t|";
        QTest::newRow("on, at the line's start") << true << "|"
                                                 << "\t|";
    }
    void tabExpandsWhenAsked() {
        QFETCH(bool, onTab);
        QFETCH(QString, before);
        QFETCH(QString, after);
        Fixture f;
        f.expander.setExpandOnTab(onTab);
        f.put(before);
        f.key(Qt::Key_Tab);
        QCOMPARE(f.withCaret(), after);
    }
};

VELLUMO_TEST_MAIN(TestAbbreviationExpander)
#include "tst_abbreviation_expander.moc"
