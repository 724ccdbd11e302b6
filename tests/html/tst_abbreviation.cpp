#include "html/abbreviation.h"
#include "test_main.h"

#include <QElapsedTimer>

using namespace vellumo;

namespace {

// The styles the rows name: lower case with double quotes unless told otherwise.
AbbreviationStyle styleNamed(const QString &name) {
    AbbreviationStyle style;
    style.upperCase = name == u"upper";
    if (name == u"indented")
        style.baseIndent = QStringLiteral("  ");
    if (name == u"unquoted")
        style.quote.clear();
    if (name == u"single")
        style.quote = QStringLiteral("'");
    if (name == u"spaces")
        style.indentUnit = QStringLiteral("  ");
    style.skeleton = QStringLiteral("<html>\n<body>\n</body>\n</html>");
    style.skeletonCaret = 14; // after "<body>\n"
    return style;
}

// The text with each place written as {...}.
QString withPlaces(const Expansion &expansion) {
    QString marked = expansion.text;
    for (qsizetype k = expansion.fields.size(); k-- > 0;) {
        marked.insert(expansion.fields.at(k).second, u'}');
        marked.insert(expansion.fields.at(k).first, u'{');
    }
    return marked;
}

} // namespace

// Abbreviations into markup, the places left to fill, malformed ones, and where the one
// before the caret starts.
class TestAbbreviation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void expands_data() {
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("markup");
        const QString lower;
        const auto row = [](const char *name, const char *abbreviation, const QString &style,
                            const char *markup) {
            QTest::newRow(name) << QString::fromUtf8(abbreviation) << style
                                << QString::fromUtf8(markup);
        };
        const QString upper = QStringLiteral("upper");

        row("name, upper case", "p", upper, "<P></P>");
        row("unknown name in the style's case", "my-Widget", upper, "<MY-WIDGET></MY-WIDGET>");
        row("unknown name, lower case", "My-Widget", lower, "<my-widget></my-widget>");
        row("id and classes", "div#main.a.b", lower, "<div id=\"main\" class=\"a b\"></div>");
        row("attribute names in upper case", "A#top[rel=x]", upper,
            "<A ID=\"top\" HREF=\"\" REL=\"x\"></A>");
        row("bracketed attributes", "td[colspan=2 nowrap title=\"x y\" lang='en']", lower,
            "<td colspan=\"2\" nowrap=\"\" title=\"x y\" lang=\"en\"></td>");
        row("bracketed replaces a usual one", "img[alt=Logo]", lower,
            "<img src=\"\" alt=\"Logo\">");
        row("input's type", "input[type=checkbox name=ok]", lower,
            "<input type=\"checkbox\" name=\"ok\">");
        row("usual attributes", "link+area+form+label+script", lower,
            "<link rel=\"stylesheet\" href=\"\">\n<area shape=\"\" href=\"\" alt=\"\">\n"
            "<form action=\"\"></form>\n<label for=\"\"></label>\n<script></script>");
        row("unquoted values", "a[title=x]", QStringLiteral("unquoted"), "<a href= title=x></a>");
        row("the quote inside a value", "a[title='say \"hi\"']", lower,
            "<a href=\"\" title=\"say &quot;hi&quot;\"></a>");
        row("single quotes", "a[title=\"it's\"]", QStringLiteral("single"),
            "<a href='' title='it&#39;s'></a>");
        row("text", "p{Hello world}", lower, "<p>Hello world</p>");
        row("text holding braces", "p{a{b}c}", lower, "<p>a{b}c</p>");
        row("inline siblings share a line", "a{x}+b", lower, "<a href=\"\">x</a><b></b>");
        row("a block sibling breaks the top", "br+hr", lower, "<br>\n<hr>");
        row("block children", "ul>li*2", lower, "<ul>\n\t<li></li>\n\t<li></li>\n</ul>");
        row("base indentation", "ul>li", QStringLiteral("indented"),
            "<ul>\n  \t<li></li>\n  </ul>");
        row("indentation unit", "ul>li>p", QStringLiteral("spaces"),
            "<ul>\n  <li>\n    <p></p>\n  </li>\n</ul>");
        row("inline children stay on the line", "p>a+em{x}", lower,
            "<p><a href=\"\"></a><em>x</em></p>");
        row("text beside a block child", "div{t}>p", lower, "<div>\n\tt\n\t<p></p>\n</div>");
        row("block inside inline", "a>div", lower, "<a href=\"\">\n\t<div></div>\n</a>");
        row("inline holding lines breaks its parent", "p>b+select>option", lower,
            "<p>\n\t<b></b>\n\t<select>\n\t\t<option></option>\n\t</select>\n</p>");
        row("climb", "div>p>span^h1", lower, "<div>\n\t<p><span></span></p>\n\t<h1></h1>\n</div>");
        row("climb twice", "div>ul>li^^p", lower,
            "<div>\n\t<ul>\n\t\t<li></li>\n\t</ul>\n</div>\n<p></p>");
        row("climb past the top", "p>b^^^^i", lower, "<p><b></b></p>\n<i></i>");
        row("numbered classes", "li.item$*3", lower,
            "<li class=\"item1\"></li>\n<li class=\"item2\"></li>\n<li class=\"item3\"></li>");
        row("numbered names, padded values", "h$[title=$$]*2", lower,
            "<h1 title=\"01\"></h1>\n<h2 title=\"02\"></h2>");
        row("counting down", "li{$@-}*3", lower, "<li>3</li>\n<li>2</li>\n<li>1</li>");
        row("starting at 3", "li#i$@3*2", lower, "<li id=\"i3\"></li>\n<li id=\"i4\"></li>");
        row("down to 3, padded", "b{$$@-3}*3", lower, "<b>05</b><b>04</b><b>03</b>");
        row("numbered by the copied parent", "ul>li*2>a{Item $}", lower,
            "<ul>\n\t<li><a href=\"\">Item 1</a></li>\n\t<li><a href=\"\">Item 2</a></li>\n</ul>");
        row("nothing copied is 1", "p{$}", lower, "<p>1</p>");
        row("copied group", "dl>(dt+dd)*2", lower,
            "<dl>\n\t<dt></dt>\n\t<dd></dd>\n\t<dt></dt>\n\t<dd></dd>\n</dl>");
        row("numbered by the group", "(b{$}+i)*2", lower, "<b>1</b><i></i><b>2</b><i></i>");
        row("group and sibling", "(p>b)+hr", lower, "<p><b></b></p>\n<hr>");
        row("child of a group's last", "(div+p)>b", lower, "<div></div>\n<p><b></b></p>");
        row("climbing stays in its group", "(div>p^^^span)+i", lower,
            "<div>\n\t<p></p>\n</div>\n<span></span>\n<i></i>");
        row("implied list item", "ul>.a", lower, "<ul>\n\t<li class=\"a\"></li>\n</ul>");
        row("implied row and cell", "TABLE>.r>.c", upper,
            "<TABLE>\n\t<TR CLASS=\"r\">\n\t\t<TD CLASS=\"c\"></TD>\n\t</TR>\n</TABLE>");
        row("implied option", "select>[value=1]", lower,
            "<select>\n\t<option value=\"1\"></option>\n</select>");
        row("implied span", "em>.x", lower, "<em><span class=\"x\"></span></em>");
        row("implied div", ".x", lower, "<div class=\"x\"></div>");
        row("implied inside a group", "ol>(#a)", lower, "<ol>\n\t<li id=\"a\"></li>\n</ol>");
        row("lorem in an element", "p>lorem4", lower, "<p>Lorem ipsum dolor sit.</p>");
        row("lorem in copies", "p*2>lorem5", lower,
            "<p>Lorem ipsum dolor sit amet.</p>\n<p>Lorem ipsum dolor sit amet.</p>");
        row("lorem in list items", "ul>lorem2*2", lower,
            "<ul>\n\t<li>Lorem ipsum.</li>\n\t<li>Lorem ipsum.</li>\n</ul>");
        row("lorem copies as sentences", "p>lorem2*2", lower, "<p>Lorem ipsum. Lorem ipsum.</p>");
        row("lorem alone", "lorem", lower,
            "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor "
            "incididunt ut labore et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud "
            "exercitation ullamco laboris nisi.");
        row("skeleton", "!", QStringLiteral("indented"), "<html>\n  <body>\n  </body>\n  </html>");
    }
    void expands() {
        QFETCH(QString, abbreviation);
        QFETCH(QString, style);
        QFETCH(QString, markup);
        QString error;
        const std::optional<Expansion> expansion =
            expandAbbreviation(abbreviation, styleNamed(style), &error);
        QVERIFY2(expansion, qPrintable(error));
        QCOMPARE(expansion->text, markup);
    }

    void loremWords_data() {
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<int>("words");
        QTest::newRow("default") << "lorem" << 30;
        QTest::newRow("one") << "lorem1" << 1;
        QTest::newRow("past the text's end") << "lorem150" << 150;
        QTest::newRow("in an element") << "b>lorem12" << 12;
    }
    void loremWords() {
        QFETCH(QString, abbreviation);
        QFETCH(int, words);
        const std::optional<Expansion> expansion = expandAbbreviation(abbreviation, {});
        QVERIFY(expansion);
        const QString text =
            QString(expansion->text).remove(QStringLiteral("<B>")).remove(QStringLiteral("</B>"));
        QCOMPARE(text.split(u' ').size(), words);
        QVERIFY(text.startsWith(QStringLiteral("Lorem ")) || words == 1);
        QVERIFY(text.endsWith(u'.'));
        QVERIFY(!text.endsWith(QStringLiteral(",.")));
    }

    void places_data() {
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("caret");
        QTest::newRow("usual value and contents") << "a"
                                                  << "<a href=\"{}\">{}</a>" << 9;
        QTest::newRow("usual value with text") << "input"
                                               << "<input type=\"{text}\">" << 13;
        QTest::newRow("a given value is no place") << "img[alt=Logo]"
                                                   << "<img src=\"{}\" alt=\"Logo\">" << 10;
        QTest::newRow("text is no place, a bare attribute is")
            << "p{x}+td[nowrap]"
            << "<p>x</p>\n  <td nowrap=\"{}\">{}</td>" << 23;
        QTest::newRow("one place per copy")
            << "ul>li*2"
            << "<ul>\n  \t<li>{}</li>\n  \t<li>{}</li>\n  </ul>" << 12;
        QTest::newRow("void element: caret at the end") << "br"
                                                        << "<br>" << 4;
        QTest::newRow("text only: caret at the end") << "p{x}"
                                                     << "<p>x</p>" << 8;
        QTest::newRow("skeleton: its caret, past the indentation")
            << "!"
            << "<html>\n  <body>\n  </body>\n  </html>" << 18;
    }
    void places() {
        QFETCH(QString, abbreviation);
        QFETCH(QString, marked);
        QFETCH(int, caret);
        const std::optional<Expansion> expansion =
            expandAbbreviation(abbreviation, styleNamed(QStringLiteral("indented")));
        QVERIFY(expansion);
        QCOMPARE(withPlaces(*expansion), marked);
        QCOMPARE(expansion->caret, caret);
    }

    void malformed_data() {
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("error"); // empty: expands to `markup`
        QTest::addColumn<QString>("markup");
        const QString fine;
        QTest::newRow("empty") << ""
                               << "Nothing to expand" << fine;
        QTest::newRow("unclosed (") << "(a"
                                    << "Unbalanced parenthesis at 1" << fine;
        QTest::newRow("unclosed inner (") << "(a+(b)"
                                          << "Unbalanced parenthesis at 1" << fine;
        QTest::newRow("stray )") << "a)"
                                 << "Unbalanced parenthesis at 2" << fine;
        QTest::newRow("leading )") << ")a"
                                   << "Unbalanced parenthesis at 1" << fine;
        QTest::newRow("empty group") << "()"
                                     << "Expected an element at 2" << fine;
        QTest::newRow("unclosed [") << "a[title=x"
                                    << "Unbalanced bracket at 2" << fine;
        QTest::newRow("unclosed quote") << "a[title=\"x]"
                                        << "Unbalanced quote at 9" << fine;
        QTest::newRow("unclosed {") << "p{x"
                                    << "Unbalanced brace at 2" << fine;
        QTest::newRow("* without a number") << "li*"
                                            << "Expected a number after * at 3" << fine;
        QTest::newRow("* with a letter") << "li*x"
                                         << "Expected a number after * at 3" << fine;
        QTest::newRow("too many copies") << "li*10001"
                                         << "More than 10000 copies at 3" << fine;
        QTest::newRow("too long") << "(p*10000)*1000"
                                  << "Expansion longer than 1000000 characters" << fine;
        QTest::newRow("too deep") << QString(QStringLiteral("b>").repeated(100) + u'b')
                                  << "Nesting deeper than 100 at 201" << fine;
        QTest::newRow("trailing >") << "a>"
                                    << "Expected an element at 3" << fine;
        QTest::newRow("two operators") << "a++b"
                                       << "Expected an element at 3" << fine;
        QTest::newRow("a space") << "ul li"
                                 << "Unexpected ' ' at 3" << fine;
        QTest::newRow("no class name") << "p."
                                       << "Expected a class name at 2" << fine;
        QTest::newRow("no id") << "p#.x"
                               << "Expected an id at 2" << fine;
        QTest::newRow("void with children") << "br>b"
                                            << "BR takes no contents at 3" << fine;
        QTest::newRow("void with text") << "img{x}"
                                        << "IMG takes no contents at 1" << fine;
        QTest::newRow("text with children") << "{x}>b"
                                            << "Text takes no contents at 4" << fine;
        QTest::newRow("lorem with a class") << "lorem.x"
                                            << "Lorem takes no attributes at 1" << fine;
        QTest::newRow("no copies") << "a*0" << fine << "";
        QTest::newRow("no copies beside one") << "b*0+i" << fine << "<I></I>";
        QTest::newRow("climbing past the top is fine") << "p^^^b" << fine << "<P></P>\n<B></B>";
    }
    void malformed() {
        QFETCH(QString, abbreviation);
        QFETCH(QString, error);
        QFETCH(QString, markup);
        QString reason;
        const std::optional<Expansion> expansion = expandAbbreviation(abbreviation, {}, &reason);
        QCOMPARE(reason, error);
        QCOMPARE(expansion.has_value(), error.isEmpty());
        if (expansion)
            QCOMPARE(expansion->text, markup);
    }

    // A quadratic slip shows at 10000 copies long before it would at the usual dozen.
    void largeExpansionIsQuick() {
        QElapsedTimer timer;
        timer.start();
        const std::optional<Expansion> expansion =
            expandAbbreviation(u"ul>li.item$$$$*10000>a{Item $}", {});
        QVERIFY(expansion);
        QCOMPARE(expansion->fields.size(), 10000);
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    }

    void start_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("end"); // -1: the line's end
        QTest::addColumn<int>("start");
        QTest::newRow("after indentation") << "  ul>li*3" << -1 << 2;
        QTest::newRow("after a tag") << "<p>ul>li" << -1 << 3;
        QTest::newRow("after a tag with '>' in a value") << "<a title=\"a>b\">p" << -1 << 15;
        QTest::newRow("after a tag with attributes") << "<div class=\"x\">.a>b{c d}" << -1 << 15;
        QTest::newRow("text with a space") << "x p{a b}" << -1 << 2;
        QTest::newRow("quoted value with a space") << "a[title=\"x y\"]" << -1 << 0;
        QTest::newRow("quoted ']'") << "p[title=\"]\"]>b" << -1 << 0;
        QTest::newRow("before the line's end") << "ul>li rest" << 5 << 0;
        QTest::newRow("unpaired '}'") << "x ul>li}" << -1 << 2;
        QTest::newRow("nothing after a space") << "text " << -1 << -1;
        QTest::newRow("nothing after a tag") << "<p>" << -1 << -1;
        QTest::newRow("empty line") << "" << -1 << -1;
    }
    void start() {
        QFETCH(QString, line);
        QFETCH(int, end);
        QFETCH(int, start);
        QCOMPARE(abbreviationStart(line, end < 0 ? line.size() : end), qsizetype(start));
    }
};

VELLUMO_TEST_MAIN(TestAbbreviation)
#include "tst_abbreviation.moc"
