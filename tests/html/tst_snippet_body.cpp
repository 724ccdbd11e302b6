#include "html/snippet_body.h"
#include "test_main.h"

using namespace vellumo;

namespace {

// The filled text with each place written as [1:text] (a mirror as [1=text]) and the final
// caret as |.
QString marked(const FilledSnippet &filled) {
    QString out;
    const auto mark = [&](int at) {
        for (const SnippetPlace &place : filled.places)
            if (place.end == at && place.start < at)
                out += u']';
        for (const SnippetPlace &place : filled.places)
            if (place.start == at && place.end == at)
                out += QStringLiteral("[%1%2]")
                           .arg(place.number)
                           .arg(QChar(place.mirror ? u'=' : u':'));
        if (filled.finalCaret == at)
            out += u'|';
        for (const SnippetPlace &place : filled.places)
            if (place.start == at && place.end > at)
                out += QStringLiteral("[%1%2")
                           .arg(place.number)
                           .arg(QChar(place.mirror ? u'=' : u':'));
    };
    for (int k = 0; k < filled.text.size(); ++k) {
        mark(k);
        out += filled.text.at(k);
    }
    mark(static_cast<int>(filled.text.size()));
    return out;
}

// The places in Tab order: "1 1= 2".
QString order(const FilledSnippet &filled) {
    QStringList numbers;
    for (const SnippetPlace &place : filled.places)
        numbers << QString::number(place.number) + (place.mirror ? QStringLiteral("=") : QString());
    return numbers.join(u' ');
}

} // namespace

// Bodies filled with their variables and indentation: the text, the places in Tab order,
// the mirrors and the final caret; and the malformed bodies with their reasons.
class TestSnippetBody : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fills_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("indent");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("marked");
        QTest::addColumn<QString>("order");
        const QString none;
        const QString sel = QStringLiteral("sel");
        const auto row = [](const char *name, const char *body, const QString &indent,
                            const QString &selection, const char *marked, const char *order) {
            QTest::newRow(name) << QString::fromUtf8(body) << indent << selection
                                << QString::fromUtf8(marked) << QString::fromLatin1(order);
        };

        row("plain text: the caret at the end", "<br>", none, sel, "<br>|", "");
        row("a place with its default", "<b>${1:bold}</b>", none, sel, "<b>[1:bold]</b>|", "1");
        row("empty places, braced and bare", "<a href=\"$1\">${2}</a>", none, sel,
            "<a href=\"[1:]\">[2:]</a>|", "1 2");
        row("final caret", "<p>$0</p>", none, sel, "<p>|</p>", "");
        row("final caret braced, with text", "<p>${0:done}</p>", none, sel, "<p>done|</p>", "");
        row("Tab order by number, not by place", "${2:b} ${10:c} ${1:a} $3", none, sel,
            "[2:b] [10:c] [1:a] [3:]|", "1 2 3 10");
        row("mirrors take the first default, not their own",
            "for=\"${1:name}\" id=\"$1\" x=\"${1:y}\"", none, sel,
            "for=\"[1:name]\" id=\"[1=name]\" x=\"[1=name]\"|", "1 1= 1=");
        row("mirror after its first in Tab order", "$2 ${1:x} ${2}", none, sel, "[2:] [1:x] [2=]|",
            "1 2 2=");
        row("mirror of an empty place", "$1-$1", none, sel, "[1:]-[1=]|", "1 1=");
        row("bare variable", "<!-- $SELECTION -->", none, sel, "<!-- sel -->|", "");
        row("all variables, braced", "${SELECTION} ${CLIPBOARD} ${DATE} ${FILENAME} ${TITLE}", none,
            sel, "sel clip 2024-05-01 page.htm Home|", "");
        row("variable in a default, mirrored", "<a>${1:$TITLE page}</a> $1", none, sel,
            "<a>[1:Home page]</a> [1=Home page]|", "1 1=");
        row("variable's default: empty variable", "<a>${SELECTION:link text}</a>", none, none,
            "<a>link text</a>|", "");
        row("variable's default: set variable", "<a>${SELECTION:link text}</a>", none, sel,
            "<a>sel</a>|", "");
        row("empty selection in a place", "<!-- ${1:$SELECTION} -->", none, none, "<!-- [1:] -->|",
            "1");
        row("a variable's value is not read as a body", "$SELECTION$1", none, "$0 ${ \\$",
            "$0 ${ \\$[1:]|", "1");
        row("unknown names and lone dollars are text", "$HOME $x $(f) $SELECTIONS 5$", none, sel,
            "$HOME $x $(f) $SELECTIONS 5$|", "");
        row("braces outside a place are text", "<script>if (a) { $1 }</script>", none, sel,
            "<script>if (a) { [1:] }</script>|", "1");
        row("escapes", "\\$1 \\${1} \\} \\\\$1 \\n \\d", none, sel, "$1 ${1} } \\[1:] \\n \\d|",
            "1");
        row("escaped brace and dollar in a default", "${1:a\\}b\\$2}", none, sel, "[1:a}b$2]|",
            "1");
        row("lines after the first indented", "<ul>\n\t<li>${1:item}</li>\n</ul>$0",
            QStringLiteral("    "), sel, "<ul>\n    \t<li>[1:item]</li>\n    </ul>|", "1");
        row("places after an indented line shift", "a\n$1\n$0b", QStringLiteral("\t\t"), sel,
            "a\n\t\t[1:]\n\t\t|b", "1");
        row("CR LF and CR become one break", "a\r\nb\rc", QStringLiteral("  "), sel, "a\n  b\n  c|",
            "");
        row("a break in a default is indented", "${1:a\nb} $1", QStringLiteral("\t"), sel,
            "[1:a\n\tb] [1=a\n\tb]|", "1 1=");
        row("a variable's lines keep their own indentation", "<p>\n$SELECTION\n</p>",
            QStringLiteral("  "), QStringLiteral("x\r\ny"), "<p>\n  x\ny\n  </p>|", "");
    }
    void fills() {
        QFETCH(QString, body);
        QFETCH(QString, indent);
        QFETCH(QString, selection);
        QFETCH(QString, marked);
        QFETCH(QString, order);
        const SnippetVariables variables{selection, QStringLiteral("clip"),
                                         QStringLiteral("2024-05-01"), QStringLiteral("page.htm"),
                                         QStringLiteral("Home")};
        QString error = QStringLiteral("not cleared");
        const std::optional<FilledSnippet> filled = fillSnippet(body, variables, indent, &error);
        QVERIFY2(filled, qPrintable(error));
        QCOMPARE(error, QString());
        QCOMPARE(::marked(*filled), marked);
        QCOMPARE(::order(*filled), order);
    }

    void malformed_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, const char *body, const char *reason) {
            QTest::newRow(name) << QString::fromUtf8(body) << QString::fromUtf8(reason);
        };
        row("unclosed place with a default", "<b>${1:bold</b>", "Unclosed ${ at 4");
        row("unclosed place", "ab${12", "Unclosed ${ at 3");
        row("${ at the end", "x${", "Unclosed ${ at 2");
        row("unclosed variable default", "${DATE:x", "Unclosed ${ at 1");
        row("escaped closing brace does not close", "${1:x\\}", "Unclosed ${ at 1");
        row("unknown variable", "<p>${x}</p>", "Unknown variable x at 6");
        row("unknown variable with a default", "${HOME:~}", "Unknown variable HOME at 3");
        row("neither number nor name", "${-1}", "Expected a number or a variable after ${ at 1");
        row("empty braces", "a${}", "Expected a number or a variable after ${ at 2");
        row("junk after the number", "${1x}", "Expected } or : at 4");
        row("place inside a default", "${1:a $2}", "A place inside a default at 7");
        row("braced place inside a default", "${1:${2:b}}", "A place inside a default at 5");
        row("caret inside a variable's default", "${TITLE:$0}", "A place inside a default at 9");
        row("second final caret", "$0 ${0}", "A second $0 at 4");
        row("place number too large", "$99999999999", "Place number too large at 2");
    }
    void malformed() {
        QFETCH(QString, body);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(!fillSnippet(body, SnippetVariables{}, QStringLiteral("  "), &error));
        QCOMPARE(error, reason);
    }
};

VELLUMO_TEST_MAIN(TestSnippetBody)
#include "tst_snippet_body.moc"
