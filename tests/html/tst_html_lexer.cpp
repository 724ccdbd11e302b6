#include "html/html_lexer.h"
#include "test_main.h"

#include <QRandomGenerator>

using namespace vellumo;

namespace {

QString kindName(HtmlTokenKind kind) {
    static const char *const names[] = {
        "text",    "ref", "delim", "tag", "space", "attr",   "value",      "comment",
        "doctype", "js",  "kw",    "str", "tpl",   "num",    "re",         "jscomment",
        "css",     "sel", "prop",  "val", "at",    "cssstr", "csscomment",
    };
    return QString::fromLatin1(names[int(kind)]);
}

// The tokens of a page, line by line: "tag[p] text[hi]", lines joined by " / ".
QString describeLines(const QString &page) {
    HtmlLexState state;
    QStringList lines;
    for (const QString &line : page.split(u'\n')) {
        QList<HtmlTokenSpan> spans;
        state = lexHtmlLine(line, state, &spans);
        QStringList tokens;
        int covered = 0;
        for (const HtmlTokenSpan &span : spans) {
            if (span.start != covered || span.length <= 0)
                return QStringLiteral("gap or overlap at %1 in \"%2\"").arg(covered).arg(line);
            covered += span.length;
            tokens << kindName(span.kind) + u'[' + line.mid(span.start, span.length) + u']';
        }
        if (covered != line.size())
            return QStringLiteral("line \"%1\" not covered").arg(line);
        lines << tokens.join(u' ');
    }
    return lines.join(QStringLiteral(" / "));
}

// The kind of every character of `text`, '\n' included, from one pass over it.
QList<HtmlTokenKind> kindsOfWhole(const QString &text) {
    QList<HtmlTokenSpan> spans;
    lexHtmlText(text, HtmlLexState{}, &spans);
    QList<HtmlTokenKind> kinds(text.size(), HtmlTokenKind::Text);
    for (const HtmlTokenSpan &span : spans)
        for (int i = span.start; i < span.start + span.length; ++i)
            kinds[i] = span.kind;
    return kinds;
}

// The kind of every character of a line.
QList<HtmlTokenKind> kindsOf(const QList<HtmlTokenSpan> &spans, int length) {
    QList<HtmlTokenKind> kinds(length, HtmlTokenKind::Text);
    for (const HtmlTokenSpan &span : spans)
        for (int i = span.start; i < span.start + span.length; ++i)
            kinds[i] = span.kind;
    return kinds;
}

} // namespace

class TestHtmlLexer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokens_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");

        // Markup.
        QTest::newRow("nominal: a tag, a quoted attribute, text, an end tag")
            << "<p class=\"x\">hi</p>"
            << "delim[<] tag[p] space[ ] attr[class] space[=] value[\"x\"] delim[>] text[hi] "
               "delim[</] tag[p] delim[>]";
        QTest::newRow("nominal: upper case colours as lower case")
            << "<P CLASS='x'>"
            << "delim[<] tag[P] space[ ] attr[CLASS] space[=] value['x'] delim[>]";
        QTest::newRow("nominal: unquoted value, bare attribute, self-closing")
            << "<img src=a.png alt ismap/>"
            << "delim[<] tag[img] space[ ] attr[src] space[=] value[a.png] space[ ] attr[alt] "
               "space[ ] "
               "attr[ismap] delim[/>]";
        QTest::newRow("nominal: '=' on the next line still binds the value")
            << "<a href\n= \"x\">"
            << "delim[<] tag[a] space[ ] attr[href] / space[= ] value[\"x\"] delim[>]";
        QTest::newRow("nominal: character references, named and numeric")
            << "a&copy;b&#169;c&#xA9;"
            << "text[a] ref[&copy;] text[b] ref[&#169;] text[c] ref[&#xA9;]";
        QTest::newRow("choice: a reference without its ';' stays text, also in a value")
            << "&copy 2024 &#xZZ; <a title=\"&amp x&lt;\">"
            << "text[&copy 2024 &#xZZ; ] delim[<] tag[a] space[ ] attr[title] space[=] "
               "value[\"&amp x] ref[&lt;] value[\"] delim[>]";
        QTest::newRow("nominal: doctype in either case")
            << "<!DOCTYPE html>\n<!doctype HTML>"
            << "doctype[<!DOCTYPE html>] / doctype[<!doctype HTML>]";
        QTest::newRow("nominal: a comment over three lines")
            << "a<!-- one\ntwo\nthree -->b"
            << "text[a] comment[<!-- one] / comment[two] / comment[three -->] text[b]";
        QTest::newRow("robustness: '--!>' and '<!-->' close a comment")
            << "<!-- x --!>a<!-->b"
            << "comment[<!-- x --!>] text[a] comment[<!-->] text[b]";
        QTest::newRow("robustness: bogus comments end at the first '>'")
            << "<?xml v?>a</ x>b<!x>"
            << "comment[<?xml v?>] text[a] comment[</ x>] text[b] comment[<!x>]";
        QTest::newRow("robustness: '<' not followed by a letter is text") << "a < b <3"
                                                                          << "text[a < b <3]";
        QTest::newRow("robustness: an unclosed quote runs on to the next line's quote")
            << "<a title=\"one\ntwo\" href=x>t"
            << "delim[<] tag[a] space[ ] attr[title] space[=] value[\"one] / "
               "value[two\"] space[ ] attr[href] space[=] value[x] delim[>] text[t]";
        QTest::newRow("robustness: an unclosed comment colours to the end")
            << "<!-- open\n<p>still comment"
            << "comment[<!-- open] / comment[<p>still comment]";
        QTest::newRow("robustness: a tag broken over lines")
            << "<img\nsrc=x\n>after"
            << "delim[<] tag[img] / attr[src] space[=] value[x] / delim[>] text[after]";
        QTest::newRow("nominal: title and textarea hold text and references, not tags")
            << "<title>a<b>&amp;</TITLE>"
            << "delim[<] tag[title] delim[>] text[a<b>] ref[&amp;] delim[</] tag[TITLE] delim[>]";

        // Scripts.
        QTest::newRow("nominal: keywords, strings, numbers, comments")
            << "<script>var x = 'a' + \"b\" + 1.5e-3; // done\n</script>"
            << "delim[<] tag[script] delim[>] kw[var] js[ x = ] str['a'] js[ + ] str[\"b\"] js[ + "
               "] num[1.5e-3] "
               "js[; ] jscomment[// done] / delim[</] tag[script] delim[>]";
        QTest::newRow("nominal: a block comment over lines, a template with an expression")
            << "<SCRIPT>/* a\nb */ `t ${n + 1} u\nv`</Script>"
            << "delim[<] tag[SCRIPT] delim[>] jscomment[/* a] / jscomment[b */] js[ ] tpl[`t ${] "
               "js[n + ] num[1] "
               "tpl[} u] / tpl[v`] delim[</] tag[Script] delim[>]";
        QTest::newRow("nominal: a regular expression where one may stand, division elsewhere")
            << "<script>x = /a[/]b/g.test(s) / 2; return /c/</script>"
            << "delim[<] tag[script] delim[>] js[x = ] re[/a[/]b/g] js[.test(s) / ] num[2] js[; ] "
               "kw[return] js[ ] "
               "re[/c/] delim[</] tag[script] delim[>]";
        QTest::newRow("robustness: '</script>' inside a string ends the script")
            << "<script>s = \"</script>\";"
            << "delim[<] tag[script] delim[>] js[s = ] str[\"] delim[</] tag[script] "
               "delim[>] text[\";]";
        QTest::newRow(
            "robustness: '</scripts>' does not end it, an unterminated string ends with its line")
            << "<script>'</scripts>\nx"
            << "delim[<] tag[script] delim[>] str['</scripts>] / js[x]";
        QTest::newRow("robustness: a backslash carries a string to the next line")
            << "<script>'a\\\nb'</script>"
            << "delim[<] tag[script] delim[>] str['a\\] / str[b'] delim[</] tag[script] "
               "delim[>]";
        QTest::newRow("robustness: a script's attributes over lines, then its contents")
            << "<script\ntype=module>if"
            << "delim[<] tag[script] / attr[type] space[=] value[module] delim[>] kw[if]";

        // Style sheets.
        QTest::newRow("nominal: selectors, properties, values, strings, comments")
            << "<style>h1, .a:hover { color: red; font: 'x' } /* c */</style>"
            << "delim[<] tag[style] delim[>] sel[h1] css[, ] sel[.a:hover] css[ { ] prop[color] "
               "css[: ] val[red] "
               "css[; ] prop[font] css[: ] cssstr['x'] css[ } ] csscomment[/* c */] delim[</] "
               "tag[style] delim[>]";
        QTest::newRow("nominal: at-rules, rules nested in @media, a comment over lines")
            << "<STYLE>@media print { p { margin: 0 } }\n@import \"a.css\";/*\n*/p{}</STYLE>"
            << "delim[<] tag[STYLE] delim[>] at[@media] css[ ] val[print] css[ { ] sel[p] css[ { ] "
               "prop[margin] css[: ] "
               "val[0] css[ } }] / at[@import] css[ ] cssstr[\"a.css\"] css[;] csscomment[/*] / "
               "csscomment[*/] "
               "sel[p] css[{}] delim[</] tag[STYLE] delim[>]";
        QTest::newRow("robustness: a declaration block over lines, '</style>' inside a comment")
            << "<style>p {\ncolor:\nblue /* </style> */"
            << "delim[<] tag[style] delim[>] sel[p] css[ {] / prop[color] css[:] / val[blue] css[ "
               "] csscomment[/* ] "
               "delim[</] tag[style] delim[>] text[ */]";
    }
    // Every kind of token, as the browser's tokenizer reads the page.
    void tokens() {
        QFETCH(QString, page);
        QFETCH(QString, expected);
        QCOMPARE(describeLines(page), expected);
    }

    void stateSurvivesPacking_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("inside a quoted value") << "<a title='x";
        QTest::newRow("inside a template in a script") << "<script>`${ {";
        QTest::newRow("deep in a style sheet") << "<style>@media x { @supports y { p { color: /*";
        QTest::newRow("inside a doctype") << "<!DOCTYPE html";
    }
    // The state a line ends in is all the next line needs: packed and unpacked,
    // it is the same state.
    void stateSurvivesPacking() {
        QFETCH(QString, page);
        const HtmlLexState state = lexHtmlLine(page, HtmlLexState{}, nullptr);
        QVERIFY(state != HtmlLexState{});
        QVERIFY(state.pack() >= 0);
        QCOMPARE(HtmlLexState::unpack(state.pack()), state);
    }

    // Lexing a page one line at a time, each from the state the line before ended
    // in, gives every character the kind one pass over the whole page gives it,
    // wherever the line breaks fall; so does lexing each line in parts, or the page a
    // stretch at a time.
    void lineByLineEqualsWhole() {
        const QStringList pieces{
            "<",       "</",  ">",  "/>",        "p",      "script", "STYLE",  "title", " ",
            "\n",      "=",   "\"", "'",         "`",      "a",      "&amp;",  "&#x",   ";",
            "<!--",    "-->", "--", "<!DOCTYPE", "<?",     "/*",     "*/",     "//",    "/",
            "{",       "}",   "${", ":",         "@media", "1e-2",   "return", "\\",    "</script",
            "</style", "[",   "]",  "x=",        "-",      "!",
        };
        auto *random = QRandomGenerator::global();
        for (int round = 0; round < 400; ++round) {
            QString page;
            const int length = int(random->bounded(1, 60));
            for (int i = 0; i < length; ++i)
                page += pieces.at(int(random->bounded(qsizetype(pieces.size()))));
            page += u'\n';

            const QList<HtmlTokenKind> whole = kindsOfWhole(page);
            HtmlLexState state;
            HtmlLexState lineStartState;
            int lineStart = 0;
            for (const QString &line : page.chopped(1).split(u'\n')) {
                QList<HtmlTokenSpan> spans;
                state = lexHtmlLine(line, state, &spans);
                for (const HtmlTokenSpan &span : spans)
                    for (int i = span.start; i < span.start + span.length; ++i)
                        if (whole.at(lineStart + i) != span.kind)
                            QFAIL(qPrintable(
                                QStringLiteral("page %1: character %2 is %3 alone, %4 in "
                                               "the whole")
                                    .arg(QString(page).replace(u'\n', QStringLiteral("\\n")))
                                    .arg(lineStart + i)
                                    .arg(kindName(span.kind), kindName(whole.at(lineStart + i)))));
                // In parts, resumed wherever a part stopped: the same tokens.
                QList<HtmlTokenSpan> partSpans;
                HtmlLexPoint point{0, lineStartState};
                while (point.position <= line.size())
                    point = lexHtmlLinePart(
                        line, point, point.position + int(random->bounded(1, 8)), &partSpans);
                QCOMPARE(point.state, state);
                QCOMPARE(kindsOf(partSpans, int(line.size())), kindsOf(spans, int(line.size())));
                lineStartState = state;
                lineStart += int(line.size()) + 1;
            }
            QCOMPARE(state, lexHtmlText(page, HtmlLexState{}, nullptr));
            // The whole page a stretch at a time, line breaks inside them: the same again.
            QList<HtmlTokenSpan> textSpans;
            HtmlLexPoint point{0, HtmlLexState{}};
            while (point.position < page.size())
                point = lexHtmlTextUntil(page, point, point.position + int(random->bounded(1, 8)),
                                         &textSpans);
            QCOMPARE(point.state, state);
            QCOMPARE(kindsOf(textSpans, int(page.size())), whole);
        }
    }
};

VELLUMO_TEST_MAIN(TestHtmlLexer)
#include "tst_html_lexer.moc"
