#include "dialog_fixture.h"
#include "dialogs/applet_dialog.h"
#include "dialogs/element_edit.h"
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
#include "editor/page_colouring.h"
#include "modal.h"
#include "test_main.h"

#include <QCheckBox>
#include <QPushButton>

#include <memory>

using namespace vellumo;

namespace {

std::unique_ptr<ElementDialog> makeDialog(const QString &form, DialogContext &context) {
    const QList<std::pair<QString, std::function<ElementDialog *()>>> dialogs{
        {"Form5", [&] { return new TForm5(context); }},
        {"Form6", [&] { return new TForm6(context); }},
        {"Form7", [&] { return new TForm7(context); }},
        {"Form8", [&] { return new TForm8(context); }},
        {"Form9", [&] { return new TForm9(context); }},
        {"Form11", [&] { return new TForm11(context); }},
        {"Form12", [&] { return new TForm12(context); }},
        {"Form18", [&] { return new TForm18(context); }},
        {"Form19", [&] { return new TForm19(context); }},
        {"Form20", [&] { return new TForm20(context); }},
        {"Form21", [&] { return new TForm21(context); }},
        {"Form22", [&] { return new TForm22(context); }},
        {"Form23", [&] { return new TForm23(context); }},
        {"Form24", [&] { return new TForm24(context); }},
        {"Form25", [&] { return new TForm25(context); }},
        {"Form26", [&] { return new TForm26(context); }},
        {"Form28", [&] { return new TForm28(context); }},
    };
    for (const auto &[name, make] : dialogs)
        if (name == form)
            return std::unique_ptr<ElementDialog>(make());
    qFatal("no dialog %s", qPrintable(form));
}

// Sets the named field to `value`: a list field's text, a text field, a check box
// ("1" checks it).
void setField(QWidget &dialog, const QString &assignment) {
    const qsizetype equals = assignment.indexOf(u'=');
    const QString name = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    if (auto *list = dialog.findChild<QComboBox *>(name))
        list->setEditText(value);
    else if (auto *box = dialog.findChild<QCheckBox *>(name))
        box->setChecked(value == u"1");
    else
        control<QLineEdit>(dialog, qPrintable(name))->setText(value);
}

// A piece of upper-case markup as the lower tag case writes it: the name before '='.
QString inCase(const QString &piece, bool upper) {
    const qsizetype equals = piece.indexOf(u'=');
    if (upper || equals < 0)
        return piece;
    return piece.left(equals).toLower() + piece.mid(equals);
}

} // namespace

class TestEditTag : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What a dialog's markup before and after the user's change does to a tag written
    // by hand: the page holds one element, its end tag the last "</" in it.
    void editsTouchOnlyWhatChanged_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("writesText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: an emptied field drops its attribute")
            << "<HR ALIGN=\"CENTER\" SIZE=\"3\">"
            << "<HR ALIGN=\"CENTER\" SIZE=\"3\">"
            << "<HR SIZE=\"3\">" << false << "<HR SIZE=\"3\">";
        QTest::newRow("nominal: what the dialog writes by default stays out")
            << "<img src=a.gif>"
            << "<img src=\"a.gif\" border=0 alt=\"\">"
            << "<img src=\"b.gif\" border=0 alt=\"\">" << false << "<img src=\"b.gif\">";
        QTest::newRow("nominal: other attributes after, line breaks kept")
            << "<a class=x\n  href=\"a.htm\" target=_top>t</a>"
            << "<a href=\"a.htm\" target=\"_top\">t</a>"
            << "<a href=\"b.htm\" target=\"_top\">t</a>" << true
            << "<a\n  href=\"b.htm\" target=_top class=x>t</a>";
        QTest::newRow("nominal: an unchanged value keeps its references")
            << "<img alt=\"a &amp; b\" src=x>"
            << "<img src=\"x\" alt=\"a & b\">"
            << "<img src=\"y\" alt=\"a & b\">" << false << "<img src=\"y\" alt=\"a &amp; b\">";
        QTest::newRow("nominal: the tag's own ending kept")
            << "<hr size=3 />"
            << "<hr size=\"3\">"
            << "<hr size=\"4\">" << false << "<hr size=\"4\" />";
        QTest::newRow("robustness: a repeated attribute stays as written")
            << "<a href=\"index.html\" href=\"x.html\">t</a>"
            << "<a href=\"index.html\">t</a>"
            << "<a href=\"new.html\">t</a>" << true << "<a href=\"new.html\" href=\"x.html\">t</a>";
        QTest::newRow("robustness: a repeated attribute stays when the first goes")
            << "<hr size=3 size=4 noshade>"
            << "<hr size=\"3\">"
            << "<hr>" << false << "<hr size=4 noshade>";
        QTest::newRow("robustness: text holding markup stays")
            << "<a href=\"a.htm\"><b>t</b></a>"
            << "<a href=\"a.htm\"></a>"
            << "<a href=\"a.htm\">u</a>" << true << "<a href=\"a.htm\"><b>t</b></a>";
        QTest::newRow("robustness: another element keeps the content")
            << "<select name=s><option>1</select>"
            << "<select name=\"s\"></select>"
            << "<input type=\"text\" name=\"s\">" << false
            << "<input type=\"text\" name=\"s\"><option>1</select>";
    }
    void editsTouchOnlyWhatChanged() {
        QFETCH(QString, page);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(bool, writesText);
        const TagReading reading = readStartTag(page);
        QVERIFY(reading.ok());
        PageElement element{reading.tag, page.left(reading.tag.end), -1, -1, {}, {}, {}};
        if (const auto end = int(page.lastIndexOf(QStringLiteral("</"))); end > 0) {
            element.endTagStart = end;
            element.endTagEnd = int(page.indexOf(u'>', end)) + 1;
            element.inner = page.mid(reading.tag.end, end - reading.tag.end);
        }
        QString edited = page;
        const QList<RangeEdit> edits = elementEdits(element, before, after, writesText);
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            edited.replace(edits.at(i).start, edits.at(i).length, edits.at(i).text);
        QFETCH(QString, expected);
        QCOMPARE(edited, expected);
    }

    // Each dialog re-opens the markup its own OK wrote, in both tag cases: one field
    // changed rewrites that attribute alone, an attribute written by hand stays where
    // it is, one undo step takes it back, and Cancel leaves the page.
    void dialogsRewriteOnlyWhatChanged_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QStringList>("fill"); // what the insertion is made with
        QTest::addColumn<QString>("change");   // the one field changed in Edit Tag
        QTest::addColumn<QString>("before");   // the piece of markup it changes
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, const char *form, const QStringList &fill,
                            const char *change, const char *before, const char *after) {
            for (const bool upper : {true, false})
                QTest::addRow("%s, %s", name, upper ? "upper case" : "lower case")
                    << QString(form) << fill << QString(change) << inCase(before, upper)
                    << inCase(after, upper);
        };
        row("image", "Form5", {"Edit1=a.gif", "Edit2=Logo"}, "Edit2=Our logo", "ALT=\"Logo\"",
            "ALT=\"Our logo\"");
        row("rule", "Form6", {"Edit1=50", "Edit2=3", "ComboBox1=CENTER"}, "Edit2=5", "SIZE=\"3\"",
            "SIZE=\"5\"");
        row("link address", "Form7", {"Edit1=http://x.org/", "Edit2=Home"}, "Edit1=http://y.org/",
            "HREF=\"http://x.org/\"", "HREF=\"http://y.org/\"");
        row("link text", "Form7", {"Edit1=http://x.org/", "Edit2=Home"}, "Edit2=Start", ">Home<",
            ">Start<");
        row("e-mail", "Form8", {"Edit1=me@x.org", "Edit2=Me"}, "Edit1=you@x.org", "mailto:me@x.org",
            "mailto:you@x.org");
        row("sound", "Form11", {"Edit1=a.mid"}, "Edit1=b.mid", "SRC=\"a.mid\"", "SRC=\"b.mid\"");
        row("marquee", "Form12", {"Edit1=Hello", "ComboBox3=Red"}, "ComboBox3=Blue",
            "BGCOLOR=\"Red\"", "BGCOLOR=\"Blue\"");
        row("font", "Form19", {"ComboBox1=Arial", "Edit1=3"}, "Edit1=4", "SIZE=\"3\"",
            "SIZE=\"4\"");
        row("form action", "Form20", {"Edit1=go.cgi"}, "Edit1=run.cgi", "ACTION=\"go.cgi\"",
            "ACTION=\"run.cgi\"");
        row("form field text", "Form21", {"ComboBox1=Text", "Edit1=q", "Edit2=x", "Edit3=20"},
            "Edit1=query", "NAME=\"q\"", "NAME=\"query\"");
        row("form field text area", "Form21",
            {"ComboBox1=Text Area", "Edit1=msg", "Edit3=4", "Edit4=40"}, "Edit4=60", "COLS=40",
            "COLS=60");
        row("map", "Form22", {"Edit1=nav"}, "Edit1=menu", "NAME=\"nav\"", "NAME=\"menu\"");
        row("meta", "Form23", {"ComboBox2=Keywords", "Edit1=html"}, "Edit1=html, css",
            "CONTENT=\"html\"", "CONTENT=\"html, css\"");
        row("script", "Form24", {"ComboBox1=JavaScript", "Edit1=a.js"}, "Edit1=b.js",
            "SOURCE=\"a.js\"", "SOURCE=\"b.js\"");
        row("applet", "Form25", {"Edit1=A.class", "Edit4=No Java", "Edit2=100", "Edit3=50"},
            "Edit2=200", "WIDTH=100", "WIDTH=200");
        row("parameter", "Form26", {"Edit1=speed", "Edit2=3"}, "Edit2=5", "VALUE=\"3\"",
            "VALUE=\"5\"");
        // Scripts are recognised only whole, so nothing is added to them by hand.
        row("scrolling text", "Form18", {"Edit1=Hi \"there\""}, "Edit1=Bye",
            "var msg =\"Hi \\\"there\\\"\";", "var msg =\"Bye\";");
        row("page transfer", "Form9", {"Edit1=http://a.org/"}, "Edit1=http://b.org/",
            "\"http://a.org/\"", "\"http://b.org/\"");
        row("page transfer with browser check", "Form9",
            {"CheckBox1=1", "Edit2=http://n.org/", "Edit3=http://o.org/"}, "Edit3=http://p.org/",
            "\"http://o.org/\"", "\"http://p.org/\"");
        row("embedded item", "Form28", {"Edit1=a.swf", "Edit2=100", "Edit3=200"}, "Edit2=120",
            "HEIGHT=100", "HEIGHT=120");
    }
    void dialogsRewriteOnlyWhatChanged() {
        QFETCH(QString, form);
        QFETCH(QStringList, fill);
        QFETCH(QString, change);
        const bool upper = !QString(QTest::currentDataTag()).endsWith(u"lower case");
        DialogFixture fixture(upper);
        PageColouring colouring;
        colouring.setDocument(fixture.editor.document());
        const std::unique_ptr<ElementDialog> dialog = makeDialog(form, fixture.context);
        fixture.page(QStringLiteral("ab"), 1);
        open(*dialog);
        for (const QString &assignment : fill)
            setField(*dialog, assignment);
        dialog->okButton()->click();
        QVERIFY(!dialog->isVisible());

        // An attribute no dialog writes, added by hand.
        QString page = fixture.text();
        if (form != u"Form18" && form != u"Form9")
            page.insert(page.indexOf(u'>'), QStringLiteral(" data-x='k&amp;1'"));
        fixture.page(page, 3);
        const auto dialogNamed = [&](const QString &name) {
            return name == form ? dialog.get() : nullptr;
        };
        QString opened;
        whenModalShown([&](QWidget *modal) {
            opened = modal->objectName();
            setField(*modal, change);
            dialog->okButton()->click();
        });
        QCOMPARE(
            editTagAtCaret(elementAtCaret(fixture.editor.document(), colouring, fixture.caret()),
                           dialogNamed),
            QString());
        QCOMPARE(opened, form);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(page.count(before), 1);
        QCOMPARE(fixture.text(), QString(page).replace(before, after));

        fixture.editor.undo();
        QCOMPARE(fixture.text(), page);

        fixture.page(page, 3);
        whenModalShown([&](QWidget *modal) {
            setField(*modal, change);
            dialog->cancelButton()->click();
        });
        QCOMPARE(
            editTagAtCaret(elementAtCaret(fixture.editor.document(), colouring, fixture.caret()),
                           dialogNamed),
            QString());
        QCOMPARE(fixture.text(), page);
        // Closed either way, the dialog inserts as before.
        fixture.page(QString());
        open(*dialog);
        for (const QString &assignment : fill)
            setField(*dialog, assignment);
        dialog->okButton()->click();
        QCOMPARE(fixture.text(),
                 QString(page).remove(QStringLiteral(" data-x='k&amp;1'")).mid(1).chopped(1));
    }
};

VELLUMO_TEST_MAIN(TestEditTag)
#include "tst_edit_tag.moc"
