#include "editor/page_colouring.h"
#include "editor/tag_at_caret.h"
#include "html/tag_reader.h"
#include "test_main.h"

#include <QTextDocument>

using namespace vellumo;

namespace {

// A found element as one line: its name, each attribute as name=[value] (a bare
// name when it has no value), and its text after " / " when it has an end tag;
// or "! message" when nothing was found.
QString described(const ElementSearch &search) {
    if (!search.element)
        return QStringLiteral("! ") + search.message;
    const PageElement &element = *search.element;
    QString text = element.tag.name;
    for (const TagAttribute &attribute : element.tag.attributes) {
        text += QLatin1Char(' ') + attribute.name;
        if (attribute.hasValue())
            text += QStringLiteral("=[%1]").arg(attribute.value);
    }
    if (element.hasEndTag())
        text += QStringLiteral(" / ") + element.inner;
    return text;
}

} // namespace

class TestTagAtCaret : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The page holds '|' where the caret is.
    void findsTheElementAtTheCaret_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("found");
        QTest::newRow("nominal: double quotes") << R"(x <img s|rc="a.gif" alt="A"> y)"
                                                << "img src=[a.gif] alt=[A]";
        QTest::newRow("nominal: single, bare, valueless, any case")
            << "<HR Align='left' size=3 NOSHADE|>"
            << "HR Align=[left] size=[3] NOSHADE";
        QTest::newRow("nominal: references decoded")
            << R"(<A HREF="x.htm?a=1&amp;b=2" TITLE="&eacute;t&#233;&#xE9;&bogus;">|t</A>)"
            << "A HREF=[x.htm?a=1&b=2] TITLE=[\u00E9t\u00E9\u00E9&bogus;] / t";
        QTest::newRow("nominal: line breaks inside the tag")
            << "<p>\n<img\n  src=\"a.gif\"\n  al|t=x\n>"
            << "img src=[a.gif] alt=[x]";
        QTest::newRow("nominal: a value over two lines") << "<img alt=\"two\nli|nes\" src=x>"
                                                         << "img alt=[two\nlines] src=[x]";
        QTest::newRow("nominal: a value holding '>'") << R"(<img alt="a > b" s|rc=x>)"
                                                      << "img alt=[a > b] src=[x]";
        QTest::newRow("nominal: caret right after the tag") << "<hr>|text"
                                                            << "hr";
        QTest::newRow("nominal: caret right before the tag") << "text|<hr>"
                                                             << "hr";
        QTest::newRow("nominal: in a link's text") << R"(<p><a href="x">li|nk</a></p>)"
                                                   << "a href=[x] / link";
        QTest::newRow("nominal: innermost element with text")
            << "<a href=x><font color=red>t|</font></a>"
            << "font color=[red] / t";
        QTest::newRow("nominal: on the end tag") << "<a href=x>t</|a>"
                                                 << "a href=[x] / t";
        QTest::newRow("nominal: in a script, tags in it are text")
            << "<script language=\"JavaScript\">\nif (a<b) x = \"<im|g src=y></a>\";\n</script>"
            << "script language=[JavaScript] / \nif (a<b) x = \"<img src=y></a>\";\n";
        QTest::newRow("nominal: a tag in an attribute value is not a tag")
            << R"(<img alt="<b|>" src=x>)"
            << "img alt=[<b>] src=[x]";
        QTest::newRow("robustness: in a comment") << "<!-- <img s|rc=x> -->"
                                                  << "! There is no tag at the caret.";
        QTest::newRow("robustness: after a closed element") << "<a href=x>t</a> te|xt"
                                                            << "! There is no tag at the caret.";
        QTest::newRow("robustness: plain text") << "hel|lo"
                                                << "! There is no tag at the caret.";
        QTest::newRow("robustness: end tag of an element without text")
            << "<p>x</|p>"
            << "! The caret is on the end tag </P>.";
        QTest::newRow("robustness: missing '>'") << R"(<img src="a.gif" a|lt=x <p>)"
                                                 << "! The tag <img does not end with \">\".";
        QTest::newRow("robustness: stray quote") << "<img s|rc=a\"b>"
                                                 << "! The tag <img holds a quote outside a value.";
        QTest::newRow("robustness: a quote in the name names the tag")
            << "<im|g\" src=a.gif>"
            << "! The tag <img holds a quote outside a value.";
        QTest::newRow("robustness: quote never closed")
            << "<img s|rc=\"a.gif>"
            << "! The value of src in the tag <img has no closing quote.";
    }
    void findsTheElementAtTheCaret() {
        QFETCH(QString, page);
        const int caret = int(page.indexOf(u'|'));
        QTextDocument document;
        document.setPlainText(QString(page).remove(caret, 1));
        PageColouring colouring;
        colouring.setDocument(&document);
        QFETCH(QString, found);
        QCOMPARE(described(elementAtCaret(&document, colouring, caret)), found);
    }

    // The places the reader gives are where the pieces stand, CR LF breaks included,
    // so a piece can be written back exactly as it was.
    void readerGivesEveryPiecesPlace() {
        const QString text = QStringLiteral("x<IMG\r\n SRC=\"a&amp;b\"\r\n\tNOSHADE alt=c />y");
        const TagReading reading = readStartTag(text, 1);
        QVERIFY2(reading.ok(), qPrintable(reading.error));
        const StartTag &tag = reading.tag;
        QCOMPARE(text.mid(tag.start, tag.end - tag.start), text.mid(1, text.size() - 2));
        QCOMPARE(text.mid(tag.start, tag.nameEnd - tag.start), QStringLiteral("<IMG"));
        QStringList pieces;
        for (const TagAttribute &attribute : tag.attributes)
            pieces << text.mid(attribute.start, attribute.end - attribute.start) + u'|' +
                          text.mid(attribute.valueStart, attribute.valueLength) + u'|' +
                          attribute.value;
        QCOMPARE(pieces, QStringList({"SRC=\"a&amp;b\"|a&amp;b|a&b", "NOSHADE||", "alt=c|c|c"}));
        QCOMPARE(tag.value(u"src"), QStringLiteral("a&b"));
    }
};

VELLUMO_TEST_MAIN(TestTagAtCaret)
#include "tst_tag_at_caret.moc"
