#include "html/completion.h"
#include "test_main.h"

using namespace vellumo;

Q_DECLARE_METATYPE(vellumo::CompletionKind)

namespace {

// The tags of a one-line text.
QList<LineTag> tagsOf(const QString &line) {
    QList<HtmlTokenSpan> spans;
    lexHtmlLine(line, HtmlLexState{}, &spans);
    return tagsOfLine(line, spans);
}

} // namespace

// What typing a character offers, the line ending with it, and the close-tag
// finder: the parts of completion that need no editor.
class TestCompletion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void offersByContext_data() {
        QTest::addColumn<QString>("earlier"); // lines above, lexed first
        QTest::addColumn<QString>("line");    // up to the caret, the typed character last
        QTest::addColumn<CompletionKind>("kind");
        QTest::addColumn<QString>("element");
        using K = CompletionKind;
        const QString none;
        QTest::newRow("'<' in text") << none << "Some <" << K::ElementName << none;
        QTest::newRow("'<' in a comment") << none << "<!-- a <" << K::None << none;
        QTest::newRow("'<' in a comment begun above") << "<!-- a"
                                                      << "b <" << K::None << none;
        QTest::newRow("'<' in a script") << none << "<script>if (a <" << K::None << none;
        QTest::newRow("'<' in a style") << none << "<style>a <" << K::None << none;
        QTest::newRow("'<' in a value") << none << "<a title=\"x <" << K::None << none;
        QTest::newRow("space after a name") << none << "<IMG " << K::AttributeName << "img";
        QTest::newRow("space after a value holding '>'")
            << none << "<a title=\"x>y\" " << K::AttributeName << "a";
        QTest::newRow("space in a tag begun above") << "<td"
                                                    << "  nowrap " << K::AttributeName << none;
        QTest::newRow("space in a value") << none << "<a title=\"x " << K::None << none;
        QTest::newRow("space in an end tag") << none << "</p " << K::None << none;
        QTest::newRow("space in text") << none << "<p>a " << K::None << none;
        QTest::newRow("'&' in text") << none << "Tom &" << K::EntityName << none;
        QTest::newRow("'&' in a textarea") << none << "<textarea>&" << K::EntityName << none;
        QTest::newRow("'&' in a value") << none << "<a href=\"?a=1&" << K::None << none;
        QTest::newRow("'&' in a script") << none << "<script>a &" << K::None << none;
        QTest::newRow("\"</\" in text") << none << "<p>Hi</" << K::CloseTag << none;
        QTest::newRow("\"</\" in a script") << "<script>"
                                            << "if (a </" << K::None << none;
        QTest::newRow("\"</\" in a script's string")
            << none << "<script>s = '</" << K::None << none;
        QTest::newRow("\"</\" in a comment") << none << "<!-- </" << K::None << none;
        QTest::newRow("\"</\" in a value") << none << "<a title='</" << K::None << none;
        QTest::newRow("\"</\" in a title") << none << "<title>Mine</" << K::CloseTag << "title";
        QTest::newRow("\"</\" in pre text") << "<pre>"
                                            << "  x </" << K::CloseTag << none;
        QTest::newRow("a letter") << none << "<p" << K::None << none;
    }
    void offersByContext() {
        QFETCH(QString, earlier);
        QFETCH(QString, line);
        QFETCH(CompletionKind, kind);
        QFETCH(QString, element);
        const HtmlLexState start =
            earlier.isNull() ? HtmlLexState{} : lexHtmlLine(earlier, HtmlLexState{}, nullptr);
        QString found;
        QCOMPARE(completionAt(line, start, &found), kind);
        QCOMPARE(found, element);
    }

    void innermostOpenElement_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("open");
        QTest::newRow("nested") << "<html><body><p>Text"
                                << "p";
        QTest::newRow("closed") << "<body><div>a</div>"
                                << "body";
        QTest::newRow("void elements") << "<p>a<br><IMG src=x><wbr/><input>"
                                       << "p";
        QTest::newRow("self-closed") << "<svg><path d=\"\"/>"
                                     << "svg";
        QTest::newRow("self-closed over lines") << "<div>\n<foo\n  a=\"1\" />"
                                                << "div";
        QTest::newRow("list items") << "<ul><li>one<li>two"
                                    << "li";
        QTest::newRow("list item closed") << "<ul><li>one</li>"
                                          << "ul";
        QTest::newRow("items closed by the list") << "<div><ul><li>a<li>b</ul>"
                                                  << "div";
        QTest::newRow("paragraph closed by a block") << "<body><p>a<div>b</div>"
                                                     << "body";
        QTest::newRow("paragraph closed by its parent") << "<body><div><p>a</div>"
                                                        << "body";
        QTest::newRow("paragraph with inline elements") << "<p>a<b>b</b><i>c</i>"
                                                        << "p";
        QTest::newRow("cells") << "<table><tr><td>a<td>b"
                               << "td";
        QTest::newRow("cells closed") << "<table><tr><td>a</td>\n</tr>"
                                      << "table";
        QTest::newRow("row closes cells") << "<table><tr><td>a<tr>"
                                          << "tr";
        QTest::newRow("definitions") << "<dl><dt>a<dd>b"
                                     << "dd";
        QTest::newRow("options") << "<select><option>a<option>b"
                                 << "option";
        QTest::newRow("misnested") << "<div><b><i>x</b>"
                                   << "div";
        QTest::newRow("upper case") << "<BODY><P>a</p><DIV>"
                                    << "div";
        QTest::newRow("script holding tags") << "<div><script>if (a</b) x = '<b>';\n</script>"
                                             << "div";
        QTest::newRow("comment holding tags") << "<div><!-- <span>\n<em> -->"
                                              << "div";
        QTest::newRow("values holding '>'") << "<div title=\"a>b\"><span a='>'>"
                                            << "span";
        QTest::newRow("pre text") << "<div>\n<pre>\n  <b>x</b> if a < b\n"
                                  << "pre";
        QTest::newRow("nothing open") << "<p>a</p>"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void innermostOpenElement() {
        QFETCH(QString, page);
        QFETCH(QString, open);
        QCOMPARE(vellumo::innermostOpenElement(page), open);
    }

    // From a tag of a line to the tag matching it, both ways; -1 for none.
    void matchingTag_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("match");
        QTest::newRow("start to end") << "<b>x</b>" << 0 << 1;
        QTest::newRow("end to start") << "<b>x</b>" << 1 << 0;
        QTest::newRow("nested alike") << "<ul><li><ul><li></ul></ul>" << 0 << 5; // start, then end
        QTest::newRow("inner end to start") << "<div><div></div></div>" << 2 << 1;
        QTest::newRow("outer end to start") << "<div><div></div></div>" << 3 << 0;
        QTest::newRow("item ended by the next") << "<li>a<li>b</li>" << 0 << -1;
        QTest::newRow("item ended by its list") << "<ul><li>a</ul>" << 1 << -1;
        QTest::newRow("end past an unclosed item") << "<ul><li>a</ul>" << 2 << 0;
        QTest::newRow("stray end") << "<b>x</i>" << 1 << -1;
    }
    void matchingTag() {
        QFETCH(QString, line);
        QFETCH(int, from);
        QFETCH(int, match);
        const QList<LineTag> tags = tagsOf(line);
        const LineTag &tag = tags.at(from);
        int found = -1;
        if (tag.end) {
            OpenElementWalk walk(tag.name);
            if (walk.feed(tags.first(from), false))
                found = int(walk.foundIndex());
        } else {
            EndTagWalk walk(tag.name);
            if (walk.feed(tags.sliced(from + 1)) && walk.found())
                found = from + 1 + int(walk.foundIndex());
        }
        QCOMPARE(found, match);
    }

    void tagsOfALine() {
        bool endsEarlier = true;
        QList<HtmlTokenSpan> spans;
        const QString line = QStringLiteral("x\" /> <A href=\"a>b\">t</a><br/><p");
        lexHtmlLine(line, lexHtmlLine(u"<foo a=\"", HtmlLexState{}, nullptr), &spans);
        const QList<LineTag> tags = tagsOfLine(line, spans, &endsEarlier);
        QVERIFY(endsEarlier);
        const QList<LineTag> expected{{QStringLiteral("a"), false, false, 6, 20},
                                      {QStringLiteral("a"), true, false, 21, 25},
                                      {QStringLiteral("br"), false, true, 25, 30},
                                      {QStringLiteral("p"), false, false, 30, 32}};
        QCOMPARE(tags, expected);
    }

    void attributesAlreadyInTheTag_data() {
        QTest::addColumn<QString>("line"); // '|' stands for the caret
        QTest::addColumn<QStringList>("had");
        QTest::newRow("before the caret, any case, any quotes")
            << "<a HREF=x title='y' data-x=\"z\" |" << QStringList{"href", "title", "data-x"};
        QTest::newRow("after the caret too") << "<img |src=a.png alt>" << QStringList{"src", "alt"};
        QTest::newRow("only the tag around the caret")
            << "<b class=x><i id=y |>" << QStringList{"id"};
        QTest::newRow("a value holding '>'") << "<a title=\"a>b\" |" << QStringList{"title"};
        QTest::newRow("caret in text") << "<b class=x> |" << QStringList{};
    }
    void attributesAlreadyInTheTag() {
        QFETCH(QString, line);
        const int caret = static_cast<int>(line.indexOf(u'|'));
        line.remove(caret, 1);
        QList<HtmlTokenSpan> spans;
        lexHtmlLine(line, HtmlLexState{}, &spans);
        QTEST(attributesOfTag(line, spans, caret), "had");
    }

    void namesOffered() {
        QVERIFY(elementNames().contains(QStringLiteral("marquee")));
        QVERIFY(elementNames().contains(QStringLiteral("section")));
        QVERIFY(std::is_sorted(elementNames().cbegin(), elementNames().cend()));
        const QStringList img = attributeNames(u"IMG");
        QVERIFY(img.indexOf(QStringLiteral("src")) < img.indexOf(QStringLiteral("class")));
        QVERIFY(img.contains(QStringLiteral("hspace")));
        QCOMPARE(img.count(QStringLiteral("title")), 1);
        const QStringList entities = entityNames({QStringLiteral("nbsp"), QStringLiteral("copy")});
        QCOMPARE(entities.mid(0, 2), QStringList({"nbsp", "copy"}));
        QCOMPARE(entities.count(QStringLiteral("copy")), 1);
        QCOMPARE(entities.size(), 2125);
    }
};

VELLUMO_TEST_MAIN(TestCompletion)
#include "tst_completion.moc"
