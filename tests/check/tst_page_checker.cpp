#include "check/page_checker.h"
#include "document/page_template.h"
#include "files.h"
#include "generators/frameset.h"
#include "generators/search_page.h"
#include "test_main.h"

#include <QDir>
#include <QTemporaryDir>

using namespace vellumo;

namespace {

// The head every row's page starts with, so that the rows show only their own
// problems; the body's lines start at line 3.
const QString Head = QStringLiteral("<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n");

QString kindName(ProblemKind kind) {
    static const char *const names[] = {
        "Markup",      "MissingFile",  "CaseMismatch",    "MissingFragment",    "MissingMap",
        "DuplicateId", "MissingAlt",   "CharsetMismatch", "FrameWithoutSource", "MissingNoFrames",
        "Obsolete",    "UntitledBase", "Unavailable",     "MoreProblems"};
    return QLatin1String(names[int(kind)]);
}

// "E MissingFile 3:11" per problem: severity, kind, line and column.
QStringList described(const CheckResult &result) {
    QStringList out;
    for (const Problem &p : result.problems)
        out << QStringLiteral("%1 %2 %3:%4")
                   .arg(severityName(p.severity).at(0))
                   .arg(kindName(p.kind))
                   .arg(p.line)
                   .arg(p.column);
    return out;
}

CheckResult check(const QString &text, const QString &folder, const QString &encoding = {},
                  bool untitled = false) {
    const std::atomic_bool cancel{false};
    return checkPage({text, folder, untitled, encoding}, cancel);
}

QStringList errorsOf(const CheckResult &result) {
    QStringList out;
    for (const Problem &p : result.problems) {
        if (p.severity == ProblemSeverity::Error)
            out << QStringLiteral("%1:%2 %3").arg(p.line).arg(p.column).arg(p.message);
    }
    return out;
}

} // namespace

class TestPageChecker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void problems_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QStringList>("files"); // made in the page's folder
        QTest::addColumn<QStringList>("expected");
        const QStringList none;
        QTest::newRow("nominal: a clean page")
            << "<p>Hello <a href=\"pic.png\">there</a> <img src=\"pic.png\" alt=\"a\">\n"
            << "" << QStringList{"pic.png"} << none;
        QTest::newRow("links: a missing image") << "<img src=\"nothere.png\" alt=\"x\">\n"
                                                << "" << none << QStringList{"E MissingFile 3:11"};
        QTest::newRow("links: a file in a subfolder, with query and fragment")
            << "<a href=\"sub/page.htm?x=1#part\">p</a>\n<a href=\"sub/gone.htm\">g</a>\n"
            << "" << QStringList{"sub/page.htm"} << QStringList{"E MissingFile 4:10"};
        QTest::newRow("links: an image that exists only under another case")
            << "<IMG SRC=\"images/logo.png\" ALT=\"Logo\">\n"
            << "" << QStringList{"Images/Logo.PNG"} << QStringList{"W CaseMismatch 3:11"};
        QTest::newRow("links: a percent-encoded name and &amp; in a link")
            << "<a href=\"my%20page.htm\">a</a><a href=\"a&amp;b.htm\">b</a>\n"
            << "" << QStringList{"my page.htm", "a&b.htm"} << none;
        QTest::newRow("links: a name written with named and numeric references")
            << "<a href=\"caf&eacute;.htm\">a</a><a href=\"caf&#233;.htm\">b</a>"
               "<img src=\"&Eacute;t&eacute;.png\" alt=\"\"><a href=\"gone&eacute;.htm\">c</a>\n"
            << ""
            << QStringList{"caf\u00e9.htm", "\u00c9t\u00e9.png"}
            // (Tidy warns of a character outside ASCII in each address.)
            << QStringList{"W Markup 3:1", "W Markup 3:32", "W Markup 3:61", "W Markup 3:101",
                           "E MissingFile 3:110"};
        QTest::newRow("links: a place and a map named with references")
            << "<a name=\"a&amp;b\">a</a><a href=\"#a&amp;b\">b</a>"
               "<map name=\"m&amp;n\"><area href=\"#a&#38;b\" alt=\"x\"></map>"
               "<img src=\"p.png\" alt=\"\" usemap=\"#m&amp;n\">\n"
            << "" << QStringList{"p.png"} << none;
        QTest::newRow("links: no tags inside TEXTAREA; an empty comment ends at once")
            << "<textarea><img src=\"gone.png\"></textarea><!--><img src=\"gone.png\" alt=\"\">"
               "<!-- x -->\n"
            << "" << none << QStringList{"W Markup 3:11", "E MissingFile 3:57"};
        QTest::newRow("links: the web, mail and scripts are never looked up")
            << "<a href=\"http://example.invalid/x\">a</a><a href=\"mailto:a@b.c\">b</a>"
               "<a href=\"javascript:go()\">c</a><a href=\"ftp://x/y\">d</a>"
               "<a href=\"HTTPS://x\">e</a><a href=\"//cdn/x.js\">f</a>\n"
            << "" << none << none;
        QTest::newRow("links: background, form action, stylesheet and script")
            << "<table background=\"bg.gif\"><tr><td>x</td></tr></table>\n"
               "<form action=\"send.cgi\"></form>\n"
               "<link rel=\"stylesheet\" href=\"site.css\"><script src=\"site.js\"></script>\n"
            << "" << QStringList{"site.js"}
            << QStringList{"E MissingFile 3:20", "E MissingFile 4:15", "E MissingFile 5:30"};
        QTest::newRow("fragments: present, missing, other case, top")
            << "<a href=\"#end\">a</a> <a href=\"#nowhere\">b</a> <a href=\"#top\">c</a>\n"
               "<p id=\"End\">e</p><a name=\"here\"></a><a href=\"#here\">h</a>\n"
            << "" << none << QStringList{"W CaseMismatch 3:10", "E MissingFragment 3:31"};
        QTest::newRow("image maps: USEMAP against MAP NAME")
            << "<img src=\"p.png\" alt=\"\" usemap=\"#nav\"><img src=\"p.png\" alt=\"\" "
               "usemap=\"#other\">\n<img src=\"p.png\" alt=\"\" usemap=\"#NAV\">\n"
               "<map name=\"nav\"><area href=\"p.png\" alt=\"x\" shape=\"rect\" "
               "coords=\"0,0,1,1\"></map>\n"
            << "" << QStringList{"p.png"}
            << QStringList{"E MissingMap 3:71", "W CaseMismatch 4:33"};
        QTest::newRow("ids: used twice, and an anchor name equal to an id")
            << "<p id=\"a\">1</p>\n<div id=\"a\">2</div><a name=\"b\" id=\"b\">3</a>"
               "<a name=\"a\">4</a>\n"
            << "" << none << QStringList{"E DuplicateId 4:10", "E DuplicateId 4:53"};
        QTest::newRow("images: IMG without ALT")
            << "<p><img src=\"p.png\"></p>\n"
            << "" << QStringList{"p.png"} << QStringList{"W MissingAlt 3:4"};
        QTest::newRow("charset: declared UTF-8, stored as Windows-1252")
            << "<meta charset=\"utf-8\">\n"
            << "Windows-1252" << none << QStringList{"W CharsetMismatch 3:16"};
        QTest::newRow("charset: http-equiv ISO-8859-1 on a Windows-1252 page is fine")
            << "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
            << "Windows-1252" << none << none;
        QTest::newRow("charset: http-equiv ISO-8859-1 on a UTF-8 page")
            << "<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">\n"
            << "UTF-8" << none << QStringList{"W CharsetMismatch 3:42"};
        QTest::newRow("obsolete: FONT, CENTER and MARQUEE are notes")
            << "<center><font color=\"red\">x</font></center><marquee>m</marquee>\n"
            << "" << none << QStringList{"N Obsolete 3:1", "N Obsolete 3:9", "N Obsolete 3:44"};
        QTest::newRow("markup: misnesting and an unknown reference")
            << "<b><i>x</b></i> &bogus;\n"
            << "" << none
            << QStringList{"W Markup 3:4", "W Markup 3:12", "N Markup 3:12", "W Markup 3:17"};
        QTest::newRow("markup: an unknown element is an error")
            << "<p>caf\u00e9 \U0001F600 <zz>q</zz></p>\n"
            << "" << none << QStringList{"E Markup 3:11", "W Markup 3:11", "W Markup 3:16"};
    }
    void problems() {
        QFETCH(QString, body);
        QFETCH(QString, encoding);
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);
        QTemporaryDir folder;
        for (const QString &file : files) {
            QVERIFY(QDir(folder.path()).mkpath(QFileInfo(file).path()));
            writeBytes(folder.filePath(file), "x");
        }
        const CheckResult result =
            check(Head + body + QStringLiteral("</body></html>\n"), folder.path(), encoding);
        QCOMPARE(described(result), expected);
        QCOMPARE(result.notListed, 0);
    }

    // Tidy counts CR LF and a lone CR as one break each, like LF: the same page
    // with any kind of break reports the same lines and columns.
    void lineBreaks_data() {
        QTest::addColumn<QString>("lineBreak");
        QTest::newRow("LF") << "\n";
        QTest::newRow("CR LF") << "\r\n";
        QTest::newRow("CR") << "\r";
        QTest::newRow("mixed") << "";
    }
    void lineBreaks() {
        QFETCH(QString, lineBreak);
        const QStringList lines{"<!DOCTYPE html>",
                                "<html><head><title>t</title></head><body>",
                                "<p>one",
                                "\t<b><i>two</b></i>",
                                "<img src=\"x.png\">",
                                "</body></html>"};
        QString page;
        const QString mixed[] = {"\r\n", "\r", "\n", "\r\n", "\r", "\n"};
        for (int i = 0; i < lines.size(); ++i)
            page += lines.at(i) + (lineBreak.isEmpty() ? mixed[i] : lineBreak);
        QTemporaryDir folder;
        QCOMPARE(described(check(page, folder.path())),
                 QStringList({"W Markup 4:5", "W Markup 4:15", "N Markup 4:15", "W MissingAlt 5:1",
                              "E MissingFile 5:11"}));
    }

    void untitledPage() {
        QTemporaryDir start;
        const CheckResult result =
            check(Head + "<a href=\"a.htm\">a</a><a href=\"#x\">x</a>\n</body></html>",
                  start.path(), {}, true);
        QCOMPARE(described(result), QStringList({"N UntitledBase 0:0", "E MissingFile 3:10",
                                                 "E MissingFragment 3:31"}));
        QVERIFY(result.problems.first().message.contains(QDir::toNativeSeparators(start.path())));
        writeBytes(start.filePath("a.htm"), "x");
        QCOMPARE(described(check(Head + "<a href=\"a.htm\">a</a>\n</body></html>", start.path(), {},
                                 true)),
                 QStringList{"N UntitledBase 0:0"});
    }

    void frameset() {
        QTemporaryDir folder;
        writeBytes(folder.filePath("menu.htm"), "x");
        const QString page = QStringLiteral(
            "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\">\n<html><head><title>"
            "t</title></head>\n<frameset cols=\"25%,*\">\n<frame src=\"menu.htm\">\n"
            "<frame src=\"main.htm\">\n<frame name=\"x\">\n</frameset></html>\n");
        QCOMPARE(described(check(page, folder.path())),
                 QStringList({"N Obsolete 3:1", "W MissingNoFrames 3:1", "N Obsolete 4:1",
                              "N Obsolete 5:1", "E MissingFile 5:13", "N Obsolete 6:1",
                              "W FrameWithoutSource 6:1"}));
    }

    // The editor's own markup: a new page, the Page Generator's page and the
    // Frame Wizard's frameset must not show a single error.
    void ownMarkupHasNoErrors_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("template, upper case") << pageTemplate(true);
        QTest::newRow("template, lower case") << pageTemplate(false);
        SearchPageFields fields;
        fields.title = QStringLiteral("Site");
        fields.url = QStringLiteral("http://example.invalid/");
        fields.description = QStringLiteral("A site");
        fields.keywords = {"a", "b", "c", "d", "e", "f", "g", "h"};
        QTest::newRow("search page")
            << searchPageLines(fields, "\"", "http://example.invalid/vellumo").join("\r\n");
        fields.forward = false;
        QTest::newRow("search page, not forwarding, no quotes")
            << searchPageLines(fields, "", "http://example.invalid/vellumo").join("\r\n");
        QList<FrameSettings> frames;
        for (int k = 1; k <= 3; ++k)
            frames.append({QStringLiteral("Frame %1").arg(k), QStringLiteral("http://"),
                           QStringLiteral("Auto"), k == 2});
        const QString frameset = buildFrameset({FrameOrientation::Columns, 3}, frames, {});
        QString inTemplate = pageTemplate(true);
        inTemplate.insert(TemplateBodyOffset, frameset);
        QTest::newRow("frameset in a new page") << inTemplate;
    }
    void ownMarkupHasNoErrors() {
        QFETCH(QString, page);
        QTemporaryDir folder;
        QCOMPARE(errorsOf(check(page, folder.path(), QStringLiteral("UTF-8"))), QStringList());
    }

    // Whatever the page holds, the check ends with at most 5,000 problems listed
    // and says how many more there were.
    void badInput_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<qsizetype>("notListed");
        QTest::newRow("robustness: 100,000 problems")
            << Head + QStringLiteral("<img src=\"p.png\">\n").repeated(100000) << qsizetype(195000);
        QTest::newRow("robustness: 10,000 character reference problems")
            << Head + QStringLiteral("<p>&bogus;</p>\n").repeated(10000) + "</body></html>"
            << qsizetype(5000);
        QString binary;
        for (int i = 0; i < 20000; ++i)
            binary += QChar(char16_t((i * 7919) % 0xD800));
        QTest::newRow("robustness: binary-looking text") << binary << qsizetype(-1);
        QTest::newRow("robustness: NUL characters")
            << Head + QString(QChar(0)) + "<p>\0x<" + QString(3, QChar(0)) + "\n"
            << qsizetype(0);
        QTest::newRow("robustness: unclosed everything")
            << QStringLiteral("<a href=\"x<b <!-- <script> <table><tr><td") << qsizetype(0);
        QTest::newRow("robustness: custom elements")
            << Head + "<my-widget>x</my-widget><x-y/>\n</body></html>" << qsizetype(0);
        QTest::newRow("robustness: lone surrogates")
            << Head + QChar(0xD800) + "<zz>" + QChar(0xDC00) + "</zz>" << qsizetype(0);
    }
    void badInput() {
        QFETCH(QString, page);
        QFETCH(qsizetype, notListed);
        QTemporaryDir folder;
        const CheckResult result = check(page, folder.path());
        QVERIFY(result.problems.size() <= MaximumListedProblems);
        if (notListed >= 0)
            QCOMPARE(result.notListed, notListed);
        for (const Problem &p : result.problems) {
            QVERIFY(p.line >= 0 && p.column >= 0 && p.lineOffset >= 0 && p.length >= 0);
            QVERIFY2(!p.message.contains(QLatin1String("Tidy")) &&
                         !p.message.contains(QLatin1String("option")),
                     qPrintable(p.message));
        }
    }

    void cancelledCheckStops() {
        const std::atomic_bool cancel{true};
        const CheckResult result = checkPage({Head + "<zz>", QDir::tempPath(), false, {}}, cancel);
        QVERIFY(result.stopped);
        QVERIFY(result.problems.isEmpty());
    }

    void summary() {
        CheckResult result;
        QCOMPARE(result.summary(), QStringLiteral("No problems found"));
        Problem warning;
        warning.severity = ProblemSeverity::Warning;
        result.problems = {Problem{}, Problem{}, warning};
        QCOMPARE(result.summary(), QStringLiteral("2 errors, 1 warning"));
        result.notListed = 12;
        QCOMPARE(result.summary(), QStringLiteral("2 errors, 1 warning (and 12 more not listed)"));
    }
};

VELLUMO_TEST_MAIN(TestPageChecker)
#include "tst_page_checker.moc"
