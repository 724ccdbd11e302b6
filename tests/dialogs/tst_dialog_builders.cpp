#include "browser/file_snippets.h"
#include "dialogs/applet_dialog.h"
#include "dialogs/email_dialog.h"
#include "dialogs/embedded_item_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/form_action_dialog.h"
#include "dialogs/form_field_dialog.h"
#include "dialogs/image_dialog.h"
#include "dialogs/link_dialog.h"
#include "dialogs/map_dialog.h"
#include "dialogs/marquee_dialog.h"
#include "dialogs/meta_dialog.h"
#include "dialogs/page_transfer_dialog.h"
#include "dialogs/rule_dialog.h"
#include "dialogs/script_dialog.h"
#include "dialogs/scrolling_text_dialog.h"
#include "dialogs/sound_dialog.h"
#include "generators/frameset.h"
#include "generators/search_page.h"
#include "test_main.h"

#include <functional>

using namespace vellumo;

namespace {
const MarkupStyle Upper{true, QStringLiteral("\"")};
const MarkupStyle Lower{false, QStringLiteral("\"")};
MarkupStyle style(bool upper) {
    return upper ? Upper : Lower;
}

const QString Value = QStringLiteral(R"(say "hi" & 'bye' \o/)");

// Builds a snippet with `v` typed into one field and ordinary values in the others.
using Build = std::function<QString(const QString &v, const MarkupStyle &s)>;

QString searchPage(const QString &v, const MarkupStyle &s, int field) {
    SearchPageFields f{"Tea", "http://tea.example/", "All about tea", {}, true};
    f.keywords.fill("k");
    if (field == 0)
        f.title = v;
    else if (field == 1)
        f.url = v;
    else
        f.keywords[field - 2] = v;
    return searchPageLines(f, s.quote, "https://home.example/").join('\n');
}
} // namespace

Q_DECLARE_METATYPE(Build)

class TestDialogBuilders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void image_data() {
        QTest::addColumn<QStringList>("f"); // image, alt, border, align, width, height
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: every attribute, in fixed order")
            << QStringList{"logo.gif", "Our logo", "0", "LEFT", "120", ""} << true
            << R"(<IMG SRC="logo.gif" WIDTH=120 BORDER=0 ALIGN="LEFT" ALT="Our logo">)";
        QTest::newRow("nominal: reset values in lower case")
            << QStringList{"logo.gif", "", "0", "", "", ""} << false
            << R"(<img src="logo.gif" border=0 alt="">)";
        QTest::newRow("nominal: list item keeps its letters in lower case")
            << QStringList{"a.gif", "x", "2", "MIDDLE", "5", "6"} << false
            << R"(<img src="a.gif" width=5 height=6 border=2 align="MIDDLE" alt="x">)";
        QTest::newRow("robustness: a space counts as a picture name")
            << QStringList{" ", "", "0", "", "", ""} << true << R"(<IMG SRC=" " BORDER=0 ALT="">)";
        QTest::newRow("robustness: emptied border leaves the bare attribute")
            << QStringList{"a.gif", "", "", "TOP", "", ""} << true
            << R"(<IMG SRC="a.gif" BORDER= ALIGN="TOP" ALT="">)";
        QTest::newRow("robustness: percentages and odd text unquoted, the quote escaped")
            << QStringList{"a.gif", R"(say "hi" & <b>)", "99", "", "50%", "abc"} << true
            << R"(<IMG SRC="a.gif" WIDTH=50% HEIGHT=abc BORDER=99 ALT="say &quot;hi&quot; & <b>">)";
    }
    void image() {
        QFETCH(QStringList, f);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QCOMPARE(imageTag(ImageFields{f[0], f[1], f[2], f[3], f[4], f[5]}, style(upper)), expected);
    }

    void rule_data() {
        QTest::addColumn<QStringList>("f"); // width, size, align
        QTest::addColumn<bool>("noShade");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: all empty") << QStringList{"", "", ""} << false << true << "<HR>";
        QTest::newRow("nominal: everything, lower case")
            << QStringList{"50%", "2", "CENTER"} << true << false
            << R"(<hr align="CENTER" size="2" width="50%" noshade>)";
        QTest::newRow("nominal: zero is written")
            << QStringList{"", "0", ""} << false << true << R"(<HR SIZE="0">)";
        QTest::newRow("robustness: spaces count as filled")
            << QStringList{" ", "", ""} << true << true << R"(<HR WIDTH=" " NOSHADE>)";
    }
    void rule() {
        QFETCH(QStringList, f);
        QFETCH(bool, noShade);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QCOMPARE(ruleTag(RuleFields{f[0], f[1], f[2], noShade}, style(upper)), expected);
    }

    void links_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("f");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: link with target and text")
            << "link" << QStringList{"news.htm", "News", "_blank"} << true
            << R"(<A HREF="news.htm" TARGET="_blank">News</A>)";
        QTest::newRow("nominal: bare link, lower case")
            << "link" << QStringList{"news.htm", "", ""} << false << R"(<a href="news.htm"></a>)";
        QTest::newRow("nominal: reset values")
            << "link" << QStringList{"http://", "", ""} << true << R"(<A HREF="http://"></A>)";
        QTest::newRow("robustness: empty address still written")
            << "link" << QStringList{"", " ", "frame 2"} << true
            << R"(<A HREF="" TARGET="frame 2"> </A>)";
        QTest::newRow("nominal: e-mail without text")
            << "mail" << QStringList{"A", ""} << true << R"(<A HREF="mailto:A"></A>)";
        QTest::newRow("nominal: e-mail with text, lower case")
            << "mail" << QStringList{"a@b.c", "Write to us"} << false
            << R"(<a href="mailto:a@b.c">Write to us</a>)";
        QTest::newRow("robustness: typed prefix is kept")
            << "mail" << QStringList{"mailto:x", ""} << true << R"(<A HREF="mailto:mailto:x"></A>)";
        QTest::newRow("robustness: both e-mail fields empty")
            << "mail" << QStringList{"", ""} << true << R"(<A HREF="mailto:"></A>)";
    }
    void links() {
        QFETCH(QString, kind);
        QFETCH(QStringList, f);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        const QString built = kind == "link" ? linkTag(LinkFields{f[0], f[1], f[2]}, style(upper))
                                             : emailLink(EmailFields{f[0], f[1]}, style(upper));
        QCOMPARE(built, expected);
    }

    void pageTransfer_data() {
        QTest::addColumn<bool>("check");
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: simple view")
            << false << QStringList{"next.htm", "x", "y"}
            << "<script language=\"JavaScript\">\nwindow.location=\"next.htm\"\n</script>\n";
        QTest::newRow("nominal: browser check")
            << true << QStringList{"x", "a.htm", "b.htm"}
            << "<script language=\"JavaScript\">\nbName = navigator.appName;\n"
               "if (bName == \"Netscape\")\nwindow.location=\"a.htm\";\n"
               "else window.location=\"b.htm\"\n</script>\n";
        QTest::newRow("robustness: a typed quote does not end the string")
            << false << QStringList{"a\"b", "", ""}
            << "<script language=\"JavaScript\">\nwindow.location=\"a\\\"b\"\n</script>\n";
    }
    void pageTransfer() {
        QFETCH(bool, check);
        QFETCH(QStringList, urls);
        QFETCH(QString, expected);
        // The script is lower case whatever the tag case.
        QCOMPARE(pageTransferScript({check, urls[0], urls[1], urls[2]}, "\""), expected);
    }

    void formAction_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: upper") << "/cgi-bin/mail.pl" << true
                                        << R"(<FORM METHOD=POST ACTION="/cgi-bin/mail.pl"></FORM>)";
        QTest::newRow("nominal: lower")
            << "a.pl" << false << R"(<form method=post action="a.pl"></form>)";
        QTest::newRow("robustness: empty and spaces")
            << "" << true << R"(<FORM METHOD=POST ACTION=""></FORM>)";
        QTest::newRow("robustness: spaces kept")
            << " x " << true << R"(<FORM METHOD=POST ACTION=" x "></FORM>)";
    }
    void formAction() {
        QFETCH(QString, action);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QCOMPARE(formActionTag(action, style(upper)), expected);
    }

    void formField_data() {
        QTest::addColumn<QStringList>("f"); // type, name, value, first, second
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: empty checkbox") << QStringList{"Checkbox", "", "", "", ""} << true
                                                 << R"(<INPUT TYPE="CHECKBOX" NAME="" VALUE="">)";
        QTest::newRow("nominal: hidden lower") << QStringList{"Hidden", "n", "v", "", ""} << false
                                               << R"(<input type="hidden" name="n" value="v">)";
        QTest::newRow("nominal: radio") << QStringList{"Radio Button", "n", "v", "", ""} << true
                                        << R"(<INPUT TYPE="RADIO" NAME="n" VALUE="v">)";
        QTest::newRow("nominal: reset") << QStringList{"Reset Button", "", "Clear", "", ""} << true
                                        << R"(<INPUT TYPE="RESET" NAME="" VALUE="Clear">)";
        QTest::newRow("nominal: submit lower")
            << QStringList{"Submit Button", "s", "Send", "9", "9"} << false
            << R"(<input type="submit" name="s" value="Send">)";
        QTest::newRow("nominal: select list ignores the value")
            << QStringList{"Select List", "pick", "v", "3", ""} << true
            << R"(<SELECT NAME="pick"></SELECT>)";
        QTest::newRow("nominal: text with size")
            << QStringList{"Text", "email", "", "30", ""} << true
            << R"(<INPUT TYPE="TEXT" NAME="email" VALUE="" SIZE=30>)";
        QTest::newRow("nominal: text with both numbers, lower")
            << QStringList{"Text", "a", "b", "5", "10"} << false
            << R"(<input type="text" name="a" value="b" size=5 maxlength=10>)";
        QTest::newRow("nominal: text area")
            << QStringList{"Text Area", "notes", "ignored", "4", "40"} << false
            << R"(<textarea name="notes" rows=4 cols=40></textarea>)";
        QTest::newRow("robustness: a space in a number field is written, quoted")
            << QStringList{"Text", "", "", " ", ""} << true
            << R"(<INPUT TYPE="TEXT" NAME="" VALUE="" SIZE=" ">)";
        QTest::newRow("robustness: type in small letters inserts nothing")
            << QStringList{"text", "a", "", "", ""} << true << "";
        QTest::newRow("robustness: unknown type inserts nothing")
            << QStringList{"Password", "a", "", "", ""} << true << "";
    }
    void formField() {
        QFETCH(QStringList, f);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QCOMPARE(formFieldMarkup({f[0], f[1], f[2], f[3], f[4]}, style(upper)), expected);
    }

    void formFieldStatesFollowTheTable() {
        const FormFieldStates select = formFieldStates("Select List");
        QCOMPARE(select.valueEnabled, std::optional<bool>(false));
        QVERIFY(!select.firstEnabled && select.clearFirst && !select.secondEnabled);
        QCOMPARE(select.firstCaption, QString("Rows"));
        const FormFieldStates text = formFieldStates("Text");
        QCOMPARE(text.valueEnabled, std::optional<bool>(true));
        QVERIFY(text.firstEnabled && text.secondEnabled && text.clearFirst && text.clearSecond);
        QCOMPARE(text.secondCaption, QString("Max Length"));
        const FormFieldStates partial = formFieldStates("Tex");
        QVERIFY(!partial.valueEnabled.has_value());
        QCOMPARE(partial.secondCaption, QString("Columns"));
        const FormFieldStates checkbox = formFieldStates("Checkbox");
        QVERIFY(!checkbox.clearFirst && !checkbox.firstEnabled);
        QVERIFY(checkbox.firstCaption.isEmpty());
    }

    void fixedElements_data() {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: image map")
            << imageMapSkeleton("nav", Upper)
            << "<MAP NAME=\"nav\">\n<AREA SHAPE=\"\" COORDS=\"\" HREF=\"\">\n</MAP>\n";
        QTest::newRow("nominal: image map, empty name, lower")
            << imageMapSkeleton("", Lower)
            << "<map name=\"\">\n<area shape=\"\" coords=\"\" href=\"\">\n</map>\n";
        QTest::newRow("nominal: meta")
            << metaTag({"Refresh", "5", "", ""}, Upper)
            << R"(<META HTTP-EQUIV="Refresh" CONTENT="5" NAME="" URL="">)";
        QTest::newRow("nominal: meta lower, typed name")
            << metaTag({"", "", "Author", "u"}, Lower)
            << R"(<meta http-equiv="" content="" name="Author" url="u">)";
        QTest::newRow("nominal: script")
            << scriptElement({"JavaScript", "menu.js"}, Upper)
            << "<SCRIPT LANGUAGE=\"JavaScript\" SOURCE=\"menu.js\">\n</SCRIPT>\n";
        QTest::newRow("nominal: empty script lower")
            << scriptElement({"", ""}, Lower) << "<script>\n</script>\n";
        QTest::newRow("nominal: applet")
            << appletElement({"Clock.class", "No Java here", "200", "50"}, Upper)
            << R"(<APPLET CODE="Clock.class" WIDTH=200 HEIGHT=50>No Java here</APPLET>)";
        QTest::newRow("nominal: empty applet") << appletElement({}, Upper) << "<APPLET></APPLET>";
        QTest::newRow("nominal: parameter lower") << parameterElement({"speed", "10"}, Lower)
                                                  << R"(<param name="speed" value="10"></param>)";
        QTest::newRow("nominal: empty parameter")
            << parameterElement({}, Upper) << "<PARAM></PARAM>";
        QTest::newRow("nominal: embedded item")
            << embeddedItemTag({"intro.avi", "240", "320"}, Upper)
            << R"(<EMBEDED SRC="intro.avi" WIDTH=320 HEIGHT=240>)";
        QTest::newRow("nominal: empty embedded item")
            << embeddedItemTag({}, Upper) << R"(<EMBEDED SRC="">)";
        QTest::newRow("nominal: only a height, lower")
            << embeddedItemTag({"a", "7", ""}, Lower) << R"(<embeded src="a" height=7>)";
        QTest::newRow("nominal: font") << fontElement({"+1", "Arial", "Red"}, Upper)
                                       << R"(<FONT SIZE="+1" FACE="Arial" COLOR="Red"></FONT>)";
        QTest::newRow("nominal: font lower")
            << fontElement({"+1", "Arial", "Red"}, Lower)
            << R"(<font size="+1" face="Arial" color="Red"></font>)";
        QTest::newRow("nominal: empty font") << fontElement({}, Upper) << "<FONT></FONT>";
        QTest::newRow("robustness: face with spaces, typed colour")
            << fontElement({"0", "Times New Roman", "#FF0000"}, Upper)
            << R"(<FONT SIZE="0" FACE="Times New Roman" COLOR="#FF0000"></FONT>)";
        QTest::newRow("nominal: sound infinite")
            << backgroundSoundTag({"song.mid", "0", true}, Upper)
            << R"(<BGSOUND SRC="song.mid" LOOP=INFINITE>)";
        QTest::newRow("nominal: sound lower") << backgroundSoundTag({"song.mid", "0", true}, Lower)
                                              << R"(<bgsound src="song.mid" loop=infinite>)";
        QTest::newRow("nominal: sound twice") << backgroundSoundTag({"song.mid", "2", false}, Upper)
                                              << R"(<BGSOUND SRC="song.mid" LOOP=2>)";
        QTest::newRow("robustness: sound with empty loop")
            << backgroundSoundTag({"", "", false}, Upper) << R"(<BGSOUND SRC="" LOOP=>)";
    }
    void fixedElements() {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void marquee_data() {
        QTest::addColumn<QStringList>("f"); // text width height vspace hspace loop
        QTest::addColumn<bool>("infinite");
        QTest::addColumn<QStringList>("lists"); // alignment direction behavior background
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        const QStringList none{"", "", "", ""};
        QTest::newRow("nominal: opening values")
            << QStringList{"Welcome", "0", "0", "0", "0", "0"} << true << none << true
            << "<MARQUEE LOOP=INFINITE>Welcome</MARQUEE>";
        QTest::newRow("nominal: several attributes")
            << QStringList{"Hi", "300", "0", "0", "0", "3"} << false
            << QStringList{"", "Right", "Slide", "Yellow"} << true
            << R"(<MARQUEE WIDTH=300 BGCOLOR="Yellow" BEHAVIOR=Slide DIRECTION="Right" LOOP=3>Hi</MARQUEE>)";
        QTest::newRow("nominal: every attribute in order, lower")
            << QStringList{"x", "1", "2", "3", "4", "5"} << true
            << QStringList{"Top", "Left", "Scroll", "Red"} << false
            << R"(<marquee align="Top" height=2 width=1 bgcolor="Red" behavior=Scroll direction="Left" hspace=4 vspace=3 loop=infinite>x</marquee>)";
        QTest::newRow("robustness: emptied number is not zero")
            << QStringList{"", "0", "", "0", "00", ""} << false << none << true
            << "<MARQUEE HEIGHT= HSPACE=00 LOOP=></MARQUEE>";
        QTest::newRow("robustness: loop zero and markup in the text")
            << QStringList{"<b>&", "0", "0", "0", "0", "0"} << false << none << true
            << "<MARQUEE LOOP=0><b>&</MARQUEE>";
    }
    void marquee() {
        QFETCH(QStringList, f);
        QFETCH(bool, infinite);
        QFETCH(QStringList, lists);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        const MarqueeFields fields{f[0],     f[1],     f[2],     f[3],     f[4],    f[5],
                                   infinite, lists[0], lists[1], lists[2], lists[3]};
        QCOMPARE(marqueeElement(fields, style(upper)), expected);
    }

    // A value holding both quote characters, in every field written between quotes
    // or bare, with either attribute quote: the quote in use becomes its reference
    // (a backslash escape in a script's strings), a bare value that would break the
    // tag is quoted, and nothing else changes. {q} is the quote, {v} the value as
    // written in an attribute, {j} as written in a script string.
    void quotesInValues_data() {
        QTest::addColumn<Build>("build");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const Build &build, const QString &expected) {
            QTest::newRow(name) << build << expected;
        };
        using V = const QString &;
        using S = const MarkupStyle &;
        row(
            "image source",
            [](V v, S s) {
                return imageTag({v, "", "0", "", "", ""}, s);
            },
            "<IMG SRC={q}{v}{q} BORDER=0 ALT={q}{q}>");
        row(
            "image alternate text",
            [](V v, S s) {
                return imageTag({"a", v, "0", "", "", ""}, s);
            },
            "<IMG SRC={q}a{q} BORDER=0 ALT={q}{v}{q}>");
        row(
            "image border, bare",
            [](V v, S s) {
                return imageTag({"a", "", v, "TOP", "", ""}, s);
            },
            "<IMG SRC={q}a{q} BORDER={q}{v}{q} ALIGN={q}TOP{q} ALT={q}{q}>");
        row(
            "image width and height, bare",
            [](V v, S s) {
                return imageTag({"a", "", "0", "", v, v}, s);
            },
            "<IMG SRC={q}a{q} WIDTH={q}{v}{q} HEIGHT={q}{v}{q} BORDER=0 ALT={q}{q}>");
        row(
            "image align",
            [](V v, S s) {
                return imageTag({"a", "", "0", v, "", ""}, s);
            },
            "<IMG SRC={q}a{q} BORDER=0 ALIGN={q}{v}{q} ALT={q}{q}>");
        row(
            "rule",
            [](V v, S s) {
                return ruleTag({v, v, v, false}, s);
            },
            "<HR ALIGN={q}{v}{q} SIZE={q}{v}{q} WIDTH={q}{v}{q}>");
        row(
            "link address and target",
            [](V v, S s) {
                return linkTag({v, v, v}, s);
            },
            "<A HREF={q}{v}{q} TARGET={q}{v}{q}>" + Value + "</A>");
        row(
            "e-mail address",
            [](V v, S s) {
                return emailLink({v, "x"}, s);
            },
            "<A HREF={q}mailto:{v}{q}>x</A>");
        row(
            "page transfer",
            [](V v, S s) {
                return pageTransferScript({false, v, "", ""}, s.quote);
            },
            "<script language={q}JavaScript{q}>\nwindow.location={q}{j}{q}\n</script>\n");
        row(
            "page transfer, browser check",
            [](V v, S s) {
                return pageTransferScript({true, "", v, v}, s.quote);
            },
            "window.location={q}{j}{q};\nelse window.location={q}{j}{q}\n</script>\n");
        row(
            "form action", [](V v, S s) { return formActionTag(v, s); },
            "<FORM METHOD=POST ACTION={q}{v}{q}></FORM>");
        row(
            "form field name and value",
            [](V v, S s) {
                return formFieldMarkup({"Checkbox", v, v, "", ""}, s);
            },
            "<INPUT TYPE={q}CHECKBOX{q} NAME={q}{v}{q} VALUE={q}{v}{q}>");
        row(
            "text field sizes, bare",
            [](V v, S s) {
                return formFieldMarkup({"Text", "n", "", v, v}, s);
            },
            "<INPUT TYPE={q}TEXT{q} NAME={q}n{q} VALUE={q}{q} SIZE={q}{v}{q} MAXLENGTH={q}{v}{q}>");
        row(
            "text area, bare numbers",
            [](V v, S s) {
                return formFieldMarkup({"Text Area", v, "", v, v}, s);
            },
            "<TEXTAREA NAME={q}{v}{q} ROWS={q}{v}{q} COLS={q}{v}{q}></TEXTAREA>");
        row(
            "selection list",
            [](V v, S s) {
                return formFieldMarkup({"Select List", v, "", "", ""}, s);
            },
            "<SELECT NAME={q}{v}{q}></SELECT>");
        row(
            "image map", [](V v, S s) { return imageMapSkeleton(v, s); },
            "<MAP NAME={q}{v}{q}>\n<AREA SHAPE={q}{q} COORDS={q}{q} HREF={q}{q}>\n</MAP>\n");
        row(
            "meta",
            [](V v, S s) {
                return metaTag({v, v, v, v}, s);
            },
            "<META HTTP-EQUIV={q}{v}{q} CONTENT={q}{v}{q} NAME={q}{v}{q} URL={q}{v}{q}>");
        row(
            "script",
            [](V v, S s) {
                return scriptElement({v, v}, s);
            },
            "<SCRIPT LANGUAGE={q}{v}{q} SOURCE={q}{v}{q}>\n</SCRIPT>\n");
        row(
            "applet, bare sizes",
            [](V v, S s) {
                return appletElement({v, "m", v, v}, s);
            },
            "<APPLET CODE={q}{v}{q} WIDTH={q}{v}{q} HEIGHT={q}{v}{q}>m</APPLET>");
        row(
            "parameter",
            [](V v, S s) {
                return parameterElement({v, v}, s);
            },
            "<PARAM NAME={q}{v}{q} VALUE={q}{v}{q}></PARAM>");
        row(
            "embedded item, bare sizes",
            [](V v, S s) {
                return embeddedItemTag({v, v, v}, s);
            },
            "<EMBEDED SRC={q}{v}{q} WIDTH={q}{v}{q} HEIGHT={q}{v}{q}>");
        row(
            "font",
            [](V v, S s) {
                return fontElement({v, v, v}, s);
            },
            "<FONT SIZE={q}{v}{q} FACE={q}{v}{q} COLOR={q}{v}{q}></FONT>");
        row(
            "background sound, bare loop",
            [](V v, S s) {
                return backgroundSoundTag({v, v, false}, s);
            },
            "<BGSOUND SRC={q}{v}{q} LOOP={q}{v}{q}>");
        row(
            "marquee, quoted and bare",
            [](V v, S s) {
                return marqueeElement({"t", v, v, v, v, v, false, v, v, v, v}, s);
            },
            "<MARQUEE ALIGN={q}{v}{q} HEIGHT={q}{v}{q} WIDTH={q}{v}{q} BGCOLOR={q}{v}{q} "
            "BEHAVIOR={q}{v}{q} DIRECTION={q}{v}{q} HSPACE={q}{v}{q} VSPACE={q}{v}{q} "
            "LOOP={q}{v}{q}>t</MARQUEE>");
        row(
            "scrolling text", [](V v, S s) { return scrollingTextScript(v, s.quote); },
            "\nvar msg ={q}{j}{q};\n");
        row(
            "frameset",
            [](V v, S s) {
                return buildFrameset({FrameOrientation::Rows, 2}, {{v, v, v, false}, {}}, s);
            },
            "<FRAMESET ROWS={q}27%,*{q}>\n<FRAME NAME={q}{v}{q} SRC={q}{v}{q} "
            "SCROLLING={q}{v}{q}>\n<FRAME NAME={q}{q} SRC={q}{q} SCROLLING={q}{q}>\n</FRAMESET>\n");
        row(
            "search page title", [](V v, S s) { return searchPage(v, s, 0); },
            "<META name={q}description{q} content={q}{v}{q}>\n<META name={q}keywords{q} "
            "content={q}k, k, k, k, k, k, k, k{q}>");
        row(
            "search page address", [](V v, S s) { return searchPage(v, s, 1); },
            "window.location={q}{j}{q};\nelse window.location={q}{j}{q}\n</script>");
        row(
            "search page address in the link", [](V v, S s) { return searchPage(v, s, 1); },
            "<P><A HREF={q}{v}{q}>Click Here");
        row(
            "search page keywords", [](V v, S s) { return searchPage(v, s, 2); },
            "<input type={q}hidden{q} name={q}{v}, k, k, k{q} value={q}k, k, k, k{q}>");
        row(
            "search page last keyword", [](V v, S s) { return searchPage(v, s, 9); },
            "content={q}k, k, k, k, k, k, k, {v}{q}>");
        row(
            "file link",
            [](V v, S s) { return fileSnippet(FileInsertStyle::Link, v, {}, true, s.quote).text; },
            "<A HREF={q}{v}{q}></A>");
        row(
            "file picture",
            [](V v, S s) { return fileSnippet(FileInsertStyle::Image, v, {}, true, s.quote).text; },
            "<IMG SRC={q}{v}{q} BORDER=0 ALT={q}{q}>");
        row(
            "file sound",
            [](V v, S s) { return fileSnippet(FileInsertStyle::Sound, v, {}, true, s.quote).text; },
            "<BGSOUND SRC={q}{v}{q} LOOP=INFINITE>");
        row(
            "link tree address", [](V v, S s) { return treeLinkSnippet(v, "x", true, s.quote); },
            "<A HREF={q}{v}{q}>x</A>");
    }
    void quotesInValues() {
        QFETCH(Build, build);
        QFETCH(QString, expected);
        struct Case {
            QString quote, attribute, script;
        };
        const Case cases[] = {
            {"\"", R"(say &quot;hi&quot; & 'bye' \o/)", R"(say \"hi\" & 'bye' \\o/)"},
            {"'", R"(say "hi" & &#39;bye&#39; \o/)", R"(say "hi" & \'bye\' \\o/)"},
        };
        for (const Case &c : cases) {
            const QString built = build(Value, MarkupStyle{true, c.quote});
            const QString wanted = QString(expected)
                                       .replace("{v}", c.attribute)
                                       .replace("{j}", c.script)
                                       .replace("{q}", c.quote);
            QVERIFY2(built.contains(wanted), qPrintable(c.quote + "\n" + built + "\n" + wanted));
        }
    }

    void scrollingText_data() {
        QTest::addColumn<QString>("message");
        QTest::newRow("nominal: a word") << "Hello";
        QTest::newRow("robustness: empty") << "";
        QTest::newRow("robustness: quotes and the filler letters") << "Say \"QM\" now";
        QTest::newRow("robustness: long message") << QString(150, 'x');
    }
    void scrollingText() {
        QFETCH(QString, message);
        const QString script = scrollingTextScript(message, "\"");
        const QStringList lines = script.split('\n');
        QCOMPARE(lines.size(), 39); // 38 lines, each ending in a break
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[0], QString("<SCRIPT LANGUAGE=\"JavaScript\">"));
        QCOMPARE(lines[3], "var msg =\"" + QString(message).replace("\"", "\\\"") + "\";");
        QCOMPARE(lines[4], QString("var out = \" \";"));
        QCOMPARE(lines[6], QString());
        QCOMPARE(lines[9], QString("var cmd=\"scrollit_r2l(\" + seed + \")\";"));
        QCOMPARE(lines[14], QString("out+=\" \";"));
        QCOMPARE(lines[31], QString("window.status=\" \";"));
        QCOMPARE(lines[32], QString("timerTwo=window.setTimeout(\"scrollit_r2l(100)\",75);"));
        QCOMPARE(lines[36], QString("</SCRIPT>"));
        QCOMPARE(lines[37], QString("<BODY onload=\"scrollit_r2l(99)\">"));
    }
};

VELLUMO_TEST_MAIN(TestDialogBuilders)
#include "tst_dialog_builders.moc"
