#include "generators/search_page.h"

#include "dialogs/tag_writer.h"
#include "document/page_file.h"

namespace vellumo {

namespace {

// Neighbouring values are always separated, empty ones too, so that every
// keyword keeps its place in the lists.
const QString Separator = QStringLiteral(", ");

QString keywordRange(const SearchPageFields &f, qsizetype from, qsizetype count) {
    return QStringList(f.keywords.begin(), f.keywords.end()).mid(from, count).join(Separator);
}

} // namespace

QString searchPageProblem(const SearchPageFields &fields) {
    if (fields.title.isEmpty())
        return QStringLiteral("You must enter a site title before you can generate the page");
    if (fields.description.isEmpty())
        return QStringLiteral(
            "You must write down a description of the site before you can generate the page");
    if (fields.forward && fields.url.isEmpty())
        return QStringLiteral("You must enter the URL of the site you want to automatically be "
                              "transfered to, or you can uncheck the checkbox.");
    return {};
}

QStringList searchPageLines(const SearchPageFields &f, const QString &quote,
                            const QString &homePage) {
    // q("x") is the value x between two attribute quotes; js("x") the same as a
    // string of the forwarding script.
    const auto q = [&quote](const QString &value) { return quotedAttributeValue(value, quote); };
    const auto js = [&quote](const QString &value) {
        return quote + scriptStringValue(value, quote) + quote;
    };
    const QString allKeywords = keywordRange(f, 0, 8);
    const QString firstFour = keywordRange(f, 0, 4);
    const QString lastFour = keywordRange(f, 4, 4);
    const QString titleList = QStringList{f.title, f.title, allKeywords}.join(Separator);
    const QString descriptionList =
        QStringList{f.title, f.description, f.title, allKeywords}.join(Separator);
    const QString smallOpen = QStringLiteral("<SMALL><SMALL><SMALL><SMALL>");
    const QString smallClose = QStringLiteral("</SMALL></SMALL></SMALL></SMALL>");

    QStringList lines;
    lines << QStringLiteral("<HTML>")
          << QStringLiteral("<HEAD>")
          // The description META carries the title: search engines show it as the
          // page's summary, and the site description is spread through the body.
          << QStringLiteral("<META name=") + q(QStringLiteral("description")) +
                 QStringLiteral(" content=") + q(f.title) + u'>'
          << QStringLiteral("<META name=") + q(QStringLiteral("keywords")) +
                 QStringLiteral(" content=") + q(allKeywords) + u'>'
          << QStringLiteral("<TITLE>") + f.title + QStringLiteral("</TITLE>");
    if (f.forward) {
        lines << QStringLiteral("<script language=") + q(QStringLiteral("JavaScript")) + u'>'
              << QStringLiteral("bName = navigator.appName;")
              << QStringLiteral("if (bName == ") + q(QStringLiteral("Netscape")) + u')'
              << QStringLiteral("window.location=") + js(f.url) + u';'
              << QStringLiteral("else window.location=") + js(f.url) << QStringLiteral("</script>");
    }
    lines << QStringLiteral("</HEAD>")
          << QStringLiteral("<BODY BGCOLOR=") + q(QStringLiteral("000000")) + u'>'
          << QStringLiteral("<CENTER>")
          << QStringLiteral("<FONT SIZE=") + q(QStringLiteral("8")) + QStringLiteral(" COLOR=") +
                 q(QStringLiteral("FF0000")) + u'>' + f.title + QStringLiteral("</FONT><BR>")
          << QStringLiteral("<!-- ") + f.title + QStringLiteral(" -->")
          << QStringLiteral("<input type=") + q(QStringLiteral("hidden")) +
                 QStringLiteral(" name=") + q(firstFour) + QStringLiteral(" value=") + q(lastFour) +
                 u'>'
          // Black on black in the smallest size: the keywords are there for the
          // search engines, not for the visitor.
          << QStringLiteral("<FONT COLOR=") + q(QStringLiteral("000000")) + u'>' + smallOpen
          << titleList << descriptionList << descriptionList << smallClose << smallOpen << titleList
          << descriptionList << descriptionList << smallClose
          << QStringLiteral("</FONT><P><A HREF=") + q(f.url) +
                 QStringLiteral(">Click Here if you haven't a JAVA compatible browser</A>")
          << QStringLiteral("<P><A HREF=") + q(homePage) +
                 QStringLiteral(">This page was generated with Vellumo</A></CENTER>")
          << QStringLiteral("</BODY>") << QStringLiteral("</HTML>");
    return lines;
}

QByteArray searchPageBytes(const QStringList &lines) {
    // The page declares no encoding, so a browser reads it as Windows-1252 unless
    // a byte-order mark says otherwise.
    const QString text = lines.join(u'\n');
    PageFormat format;
    format.encoding = TextEncoding::Windows1252;
    format.lineBreaks = LineBreakStyle::CRLF;
    if (!canEncode(text, format)) {
        format.encoding = TextEncoding::Utf8;
        format.byteOrderMark = true;
    }
    return encodePage(text, format);
}

} // namespace vellumo
