#include "generators/search_page.h"
#include "test_main.h"

using namespace vellumo;

namespace {

const QString Home = QStringLiteral("https://home.example/");
const QString Quote = QStringLiteral("\"");

SearchPageFields filledFields() {
    SearchPageFields f;
    f.title = QStringLiteral("Tea");
    f.url = QStringLiteral("http://tea.example/");
    f.description = QStringLiteral("All about tea");
    f.keywords = {QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("k3"),
                  QStringLiteral("k4"), QStringLiteral("k5"), QStringLiteral("k6"),
                  QStringLiteral("k7"), QStringLiteral("k8")};
    return f;
}

} // namespace

class TestSearchPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void problems_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("expected");

        const QString noTitle =
            QStringLiteral("You must enter a site title before you can generate the page");
        const QString noDescription = QStringLiteral(
            "You must write down a description of the site before you can generate the page");
        const QString noUrl = QStringLiteral(
            "You must enter the URL of the site you want to automatically be transfered to, or "
            "you can uncheck the checkbox.");

        QTest::newRow("nominal: everything filled") << "T"
                                                    << "D"
                                                    << "U" << true << "";
        QTest::newRow("nominal: no address needed without forwarding") << "T"
                                                                       << "D"
                                                                       << "" << false << "";
        QTest::newRow("nominal: title missing comes first") << ""
                                                            << ""
                                                            << "" << true << noTitle;
        QTest::newRow("nominal: description before address") << "T"
                                                             << ""
                                                             << "" << true << noDescription;
        QTest::newRow("nominal: address missing with forwarding") << "T"
                                                                  << "D"
                                                                  << "" << true << noUrl;
        QTest::newRow("robustness: spaces count as text") << " "
                                                          << " "
                                                          << " " << true << "";
    }
    void problems() {
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(QString, url);
        QFETCH(bool, forward);
        SearchPageFields f;
        f.title = title;
        f.description = description;
        f.url = url;
        f.forward = forward;
        QTEST(searchPageProblem(f), "expected");
    }

    // Every line of the page with forwarding on, against the layout the page must have.
    void linesWithForwarding() {
        const QStringList lines = searchPageLines(filledFields(), Quote, Home);
        const QString all = QStringLiteral("k1, k2, k3, k4, k5, k6, k7, k8");
        const QString titles = QStringLiteral("Tea, Tea, ") + all;
        const QString described = QStringLiteral("Tea, All about tea, Tea, ") + all;
        const QStringList expected{
            QStringLiteral("<HTML>"),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<META name=\"description\" content=\"Tea\">"),
            QStringLiteral("<META name=\"keywords\" content=\"k1, k2, k3, k4, k5, k6, k7, k8\">"),
            QStringLiteral("<TITLE>Tea</TITLE>"),
            QStringLiteral("<script language=\"JavaScript\">"),
            QStringLiteral("bName = navigator.appName;"),
            QStringLiteral("if (bName == \"Netscape\")"),
            QStringLiteral("window.location=\"http://tea.example/\";"),
            QStringLiteral("else window.location=\"http://tea.example/\""),
            QStringLiteral("</script>"),
            QStringLiteral("</HEAD>"),
            QStringLiteral("<BODY BGCOLOR=\"000000\">"),
            QStringLiteral("<CENTER>"),
            QStringLiteral("<FONT SIZE=\"8\" COLOR=\"FF0000\">Tea</FONT><BR>"),
            QStringLiteral("<!-- Tea -->"),
            QStringLiteral(
                "<input type=\"hidden\" name=\"k1, k2, k3, k4\" value=\"k5, k6, k7, k8\">"),
            QStringLiteral("<FONT COLOR=\"000000\"><SMALL><SMALL><SMALL><SMALL>"),
            titles,
            described,
            described,
            QStringLiteral("</SMALL></SMALL></SMALL></SMALL>"),
            QStringLiteral("<SMALL><SMALL><SMALL><SMALL>"),
            titles,
            described,
            described,
            QStringLiteral("</SMALL></SMALL></SMALL></SMALL>"),
            QStringLiteral("</FONT><P><A HREF=\"http://tea.example/\">Click Here if you haven't a "
                           "JAVA compatible browser</A>"),
            QStringLiteral("<P><A HREF=\"https://home.example/\">This page was generated with "
                           "Vellumo</A></CENTER>"),
            QStringLiteral("</BODY>"),
            QStringLiteral("</HTML>"),
        };
        QCOMPARE(lines.size(), 31);
        for (qsizetype row = 0; row < expected.size(); ++row)
            QCOMPARE(lines.at(row), expected.at(row));
    }

    void forwardingOffLeavesOutTheScript() {
        SearchPageFields f = filledFields();
        f.forward = false;
        f.url.clear();
        const QStringList lines = searchPageLines(f, Quote, Home);
        QCOMPARE(lines.size(), 25);
        QCOMPARE(lines.at(4), QStringLiteral("<TITLE>Tea</TITLE>"));
        QCOMPARE(lines.at(5), QStringLiteral("</HEAD>"));
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("<script")));
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("window.location")));
        QCOMPARE(lines.at(21), QStringLiteral("</FONT><P><A HREF=\"\">Click Here if you haven't a "
                                              "JAVA compatible browser</A>"));
    }

    void emptyKeywordsKeepTheirSeparators_data() {
        QTest::addColumn<int>("filled"); // index of the one filled keyword, -1 for none
        QTest::addColumn<QString>("metaContent");
        QTest::addColumn<QString>("hiddenName");
        QTest::addColumn<QString>("hiddenValue");
        QTest::addColumn<QString>("titleList");
        QTest::newRow("robustness: all keywords empty") << -1 << ", , , , , , , "
                                                        << ", , , "
                                                        << ", , , "
                                                        << "T, T, , , , , , , , ";
        QTest::newRow("robustness: only the first keyword") << 0 << "x, , , , , , , "
                                                            << "x, , , "
                                                            << ", , , "
                                                            << "T, T, x, , , , , , , ";
        QTest::newRow("robustness: only the last keyword") << 7 << ", , , , , , , x"
                                                           << ", , , "
                                                           << ", , , x"
                                                           << "T, T, , , , , , , , x";
    }
    void emptyKeywordsKeepTheirSeparators() {
        QFETCH(int, filled);
        SearchPageFields f;
        f.title = QStringLiteral("T");
        f.description = QStringLiteral("D");
        f.url = QStringLiteral("U");
        if (filled >= 0)
            f.keywords[std::size_t(filled)] = QStringLiteral("x");
        const QStringList lines = searchPageLines(f, Quote, Home);
        QFETCH(QString, metaContent);
        QFETCH(QString, hiddenName);
        QFETCH(QString, hiddenValue);
        QFETCH(QString, titleList);
        QCOMPARE(lines.at(3),
                 QStringLiteral("<META name=\"keywords\" content=\"%1\">").arg(metaContent));
        QCOMPARE(lines.at(16), QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">")
                                   .arg(hiddenName, hiddenValue));
        QCOMPARE(lines.at(18), titleList);
        QCOMPARE(lines.at(19), QStringLiteral("T, D, T, ") + metaContent);
    }

    // Only the quote is escaped, and only inside an attribute value.
    void valuesAreWrittenAsTyped() {
        SearchPageFields f = filledFields();
        f.title = QStringLiteral("Say \"hi\" & <b>");
        const QStringList lines = searchPageLines(f, Quote, Home);
        QCOMPARE(
            lines.at(2),
            QStringLiteral("<META name=\"description\" content=\"Say &quot;hi&quot; & <b>\">"));
        QCOMPARE(lines.at(15), QStringLiteral("<!-- Say \"hi\" & <b> -->"));
    }

    // Windows-1252 while every character fits, else UTF-8 behind a byte-order mark;
    // CR LF between lines either way.
    void bytesAreReadableWithoutDeclaration_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nominal: plain letters") << "tea" << QByteArray("tea");
        QTest::newRow("nominal: accents of Windows-1252")
            << QStringLiteral("caf\u00e9 G\u00e4rten \u20ac")
            << QByteArray("caf\xe9 G\xe4rten \x80");
        QTest::newRow("nominal: beyond Windows-1252")
            << QStringLiteral("G\u00e4rten \u0151")
            << QByteArray("\xef\xbb\xbfG\xc3\xa4rten \xc5\x91");
    }
    void bytesAreReadableWithoutDeclaration() {
        QFETCH(QString, word);
        QFETCH(QByteArray, bytes);
        const QStringList lines{QStringLiteral("<HTML>"), word, QStringLiteral("</HTML>")};
        const bool marked = bytes.startsWith("\xef\xbb\xbf");
        QCOMPARE(searchPageBytes(lines), (marked ? QByteArray("\xef\xbb\xbf") : QByteArray()) +
                                             "<HTML>\r\n" + bytes.mid(marked ? 3 : 0) +
                                             "\r\n</HTML>");
    }
};

VELLUMO_TEST_MAIN(TestSearchPage)
#include "tst_search_page.moc"
