#include "check/tag_scanner.h"

#include "test_main.h"

#include <QTest>

using namespace vellumo;

namespace {

// "a@0+12 href=x.htm@9+5 nowrap" per tag: its name ("/p" for an end tag), where it
// stands, and each attribute with its value and where the value is written.
QStringList described(const QList<ScannedTag> &tags) {
    QStringList out;
    for (const ScannedTag &tag : tags) {
        QString line = QStringLiteral("%1%2@%3+%4")
                           .arg(tag.end ? "/" : "", tag.name)
                           .arg(tag.start)
                           .arg(tag.length);
        for (const ScannedAttribute &a : tag.attributes) {
            line += u' ' + a.name;
            if (a.valueStart >= 0)
                line +=
                    QStringLiteral("=%1@%2+%3").arg(a.value).arg(a.valueStart).arg(a.valueLength);
        }
        out << line;
    }
    return out;
}

} // namespace

class tst_tag_scanner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tags_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("values: quoted, bare, valueless, empty")
            << "<a href=\"x.htm\" TITLE='t' width=3 nowrap alt= ></A>"
            << QStringList{"a@0+47 href=x.htm@9+5 title=t@23+1 width=3@32+1 nowrap alt=@46+0",
                           "/a@47+4"};
        QTest::newRow("values: references read, offsets as written")
            << "<a href=\"caf&eacute;&amp;.htm\" name=&#233;>"
            << QStringList{"a@0+43 href=caf\u00e9&.htm@9+20 name=\u00e9@36+6"};
        QTest::newRow("values: over lines, and one never closed")
            << "<img\nsrc =\n\"a\nb\" alt=\"x>\n<b>"
            << QStringList{"img@0+28 src=a\nb@12+3 alt=x>\n<b>@22+6"};
        QTest::newRow("raw text: script, style, title and textarea hold no tags")
            << "<script>a<b>\"</script>\"<style><i></style><title><u></title>"
               "<textarea><img></textarea>"
            << QStringList{"script@0+8", "/script@13+9", "style@23+7",     "/style@33+8",
                           "title@41+7", "/title@51+8",  "textarea@59+10", "/textarea@74+11"};
        QTest::newRow("comments: <!--> and <!---> end at once, --!> ends one")
            << "<!--><b><!---><i><!-- x --!><u><!x <p>><?y <p>>"
            << QStringList{"b@5+3", "i@14+3", "u@28+3"};
        QTest::newRow("no tags: '<' before a space, '</>', '<' in a tag")
            << "a < b </> <br/><a href=x <b>" << QStringList{"br@10+5", "a@15+13 href=x@23+1 <b"};
    }
    void tags() {
        QFETCH(QString, page);
        QFETCH(QStringList, tags);
        QCOMPARE(described(scanTags(page)), tags);
    }

    // A page on one line is lexed in pieces of a few million characters; a tag
    // across the place a piece ends is read whole.
    void tagAcrossPieces() {
        for (const qsizetype at : {(1 << 22) - 5, (1 << 22) - 9, (1 << 22) - 13}) {
            const QString page = QString(at, u'x') + QStringLiteral("<img src=\"p.png\" alt=a>");
            QCOMPARE(described(scanTags(page)),
                     QStringList{QStringLiteral("img@%1+23 src=p.png@%2+5 alt=a@%3+1")
                                     .arg(at)
                                     .arg(at + 10)
                                     .arg(at + 21)});
        }
    }
};

VELLUMO_TEST_MAIN(tst_tag_scanner)
#include "tst_tag_scanner.moc"
