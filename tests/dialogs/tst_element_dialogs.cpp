#include "dialog_fixture.h"
#include "dialogs/applet_dialog.h"
#include "dialogs/email_dialog.h"
#include "dialogs/embedded_item_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/form_field_dialog.h"
#include "dialogs/link_dialog.h"
#include "dialogs/map_dialog.h"
#include "dialogs/marquee_dialog.h"
#include "dialogs/page_transfer_dialog.h"
#include "dialogs/rule_dialog.h"
#include "dialogs/script_dialog.h"
#include "dialogs/scrolling_text_dialog.h"
#include "dialogs/sound_dialog.h"
#include "platform/qt_platform.h"
#include "test_main.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace vellumo;

class TestElementDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void linkFromSelectedText_data() {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        QTest::newRow("nominal: selected address")
            << true << 2 << 10 << R"(x <A HREF="news.htm"></A> y)" << 21;
        QTest::newRow("nominal: right-to-left selection")
            << true << 10 << 2 << R"(x <A HREF="news.htm"></A> y)" << 21;
        QTest::newRow("nominal: lower case")
            << false << 2 << 10 << R"(x <a href="news.htm"></a> y)" << 21;
        QTest::newRow("robustness: nothing selected")
            << true << 2 << 2 << R"(x <A HREF=""></A>news.htm y)" << 13;
    }
    void linkFromSelectedText() {
        QFETCH(bool, upper);
        QFETCH(int, anchor);
        QFETCH(int, position);
        DialogFixture fixture(upper);
        fixture.page("x news.htm y", anchor, position);
        vellumo::linkFromSelectedText(fixture.core);
        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(fixture.text(), expected);
        QCOMPARE(fixture.caret(), caret);
        fixture.editor.undo();
        QCOMPARE(fixture.text(), QString("x news.htm y"));
    }

    void linkAndMailStepBackOnlyWithoutText_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        QTest::newRow("nominal: link at its reset values") << "Form7"
                                                           << ""
                                                           << R"(ab<A HREF="http://"></A>cd)" << 20;
        QTest::newRow("robustness: link text of one space")
            << "Form7"
            << " "
            << R"(ab<A HREF="http://"> </A>cd)" << 25;
        QTest::newRow("nominal: empty e-mail") << "Form8"
                                               << ""
                                               << R"(ab<A HREF="mailto:"></A>cd)" << 20;
        QTest::newRow("robustness: e-mail text of one space")
            << "Form8"
            << " "
            << R"(ab<A HREF="mailto:"> </A>cd)" << 25;
    }
    void linkAndMailStepBackOnlyWithoutText() {
        QFETCH(QString, form);
        QFETCH(QString, description);
        DialogFixture fixture;
        fixture.page("abXXcd", 2, 4);
        std::unique_ptr<ElementDialog> dialog;
        if (form == "Form7")
            dialog = std::make_unique<TForm7>(fixture.context);
        else
            dialog = std::make_unique<TForm8>(fixture.context);
        open(*dialog);
        type(edit(*dialog, "Edit2"), description);
        dialog->okButton()->click();
        QFETCH(QString, expected);
        QFETCH(int, caret);
        QCOMPARE(fixture.text(), expected);
        QCOMPARE(fixture.caret(), caret);
    }

    void ruleOpeningEmptiesTheNumbers() {
        DialogFixture fixture(false);
        TForm6 dialog(fixture.context);
        QCOMPARE(edit(dialog, "Edit1")->text(), QString("0"));
        open(dialog);
        QCOMPARE(edit(dialog, "Edit1")->text(), QString());
        QCOMPARE(dialog.focusWidget(), edit(dialog, "Edit1"));
        auto *size = control<QWidget>(dialog, "UpDown2");
        size->findChild<QToolButton *>("up")->click();
        size->findChild<QToolButton *>("down")->click();
        combo(dialog, "ComboBox1")->setCurrentIndex(0);
        click(dialog, "CheckBox1");
        click(dialog, "Button1");
        QCOMPARE(fixture.text(), QString(R"(<hr align="CENTER" size="0" noshade>)"));
        open(dialog);
        QCOMPARE(combo(dialog, "ComboBox1")->currentText(), QString());
        QVERIFY(!control<QCheckBox>(dialog, "CheckBox1")->isChecked());
        dialog.reject();
    }

    void pageTransferSwitchesViews() {
        DialogFixture fixture;
        TForm9 dialog(fixture.context);
        open(dialog);
        QCOMPARE(edit(dialog, "Edit1")->text(), QString("http://"));
        QCOMPARE(edit(dialog, "Edit1")->cursorPosition(), 7);
        click(dialog, "CheckBox1");
        QVERIFY(dialog.browserCheckShown());
        QVERIFY(control<QWidget>(dialog, "Panel1")->isHidden());
        QVERIFY(control<QCheckBox>(dialog, "CheckBox2")->isChecked());
        QVERIFY(!control<QCheckBox>(dialog, "CheckBox1")->isChecked());
        QCOMPARE(dialog.focusWidget(), edit(dialog, "Edit2"));
        QCOMPARE(edit(dialog, "Edit2")->cursorPosition(), 7);

        click(dialog, "CheckBox2");
        QVERIFY(!dialog.browserCheckShown());
        QVERIFY(!control<QCheckBox>(dialog, "CheckBox1")->isChecked());

        click(dialog, "CheckBox1");
        edit(dialog, "Edit2")->setText("a.htm");
        edit(dialog, "Edit3")->setText("b.htm");
        click(dialog, "Button2");
        QCOMPARE(fixture.text(), QString("<script language=\"JavaScript\">\nbName = "
                                         "navigator.appName;\nif (bName == \"Netscape\")\n"
                                         "window.location=\"a.htm\";\nelse "
                                         "window.location=\"b.htm\"\n</script>\n"));
        QCOMPARE(fixture.caret(), static_cast<int>(fixture.text().size()));

        open(dialog);
        QVERIFY(!dialog.browserCheckShown());
        click(dialog, "Button2");
        QVERIFY(fixture.text().endsWith("window.location=\"http://\"\n</script>\n"));
    }

    void formFieldTypeDrivesTheFields() {
        DialogFixture fixture;
        TForm21 dialog(fixture.context);
        open(dialog);
        QCOMPARE(dialog.focusWidget(), edit(dialog, "Edit1"));
        QVERIFY(!edit(dialog, "Edit3")->isEnabled());
        QVERIFY(!control<QWidget>(dialog, "UpDown1")->isEnabled());
        QComboBox *kind = combo(dialog, "ComboBox1");
        kind->setCurrentText("Select List");
        QVERIFY(!edit(dialog, "Edit2")->isEnabled());
        kind->setCurrentText("Text Area");
        QVERIFY(!edit(dialog, "Edit2")->isEnabled());
        QVERIFY(edit(dialog, "Edit3")->isEnabled());
        QCOMPARE(control<QLabel>(dialog, "Label5")->text(), QString("Columns"));

        kind->clearEditText();
        type(kind->lineEdit(), "Text");
        QVERIFY(edit(dialog, "Edit2")->isEnabled());
        QCOMPARE(control<QLabel>(dialog, "Label4")->text(), QString("Size"));
        QCOMPARE(control<QLabel>(dialog, "Label5")->text(), QString("Max Length"));
        edit(dialog, "Edit1")->setText("email");
        edit(dialog, "Edit3")->setText("30");
        click(dialog, "Button1");
        QCOMPARE(fixture.text(), QString(R"(<INPUT TYPE="TEXT" NAME="email" VALUE="" SIZE=30>)"));

        // The type and the field states survive; the texts do not.
        open(dialog);
        QCOMPARE(kind->currentText(), QString("Text"));
        QVERIFY(edit(dialog, "Edit3")->isEnabled());
        QCOMPARE(edit(dialog, "Edit3")->text(), QString());
        QCOMPARE(control<QLabel>(dialog, "Label4")->text(), QString("Size"));

        kind->setCurrentText("text");
        click(dialog, "Button1");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fixture.text(), QString(R"(<INPUT TYPE="TEXT" NAME="email" VALUE="" SIZE=30>)"));
    }

    void multiLineSnippetsLeaveTheCaretOnTheNextLine() {
        DialogFixture fixture;
        fixture.page("<P>", 3, 3);
        TForm22 map(fixture.context);
        open(map);
        type(edit(map, "Edit1"), "nav");
        click(map, "Button1");
        TForm24 script(fixture.context);
        open(script);
        combo(script, "ComboBox1")->setCurrentText("JavaScript");
        click(script, "Button1");
        const QString expected =
            "<P><MAP NAME=\"nav\">\n<AREA SHAPE=\"\" COORDS=\"\" "
            "HREF=\"\">\n</MAP>\n<SCRIPT LANGUAGE=\"JavaScript\">\n</SCRIPT>\n";
        QCOMPARE(fixture.text(), expected);
        QCOMPARE(fixture.caret(), static_cast<int>(expected.size()));
        open(script);
        QCOMPARE(combo(script, "ComboBox1")->currentText(), QString());
        script.reject();
    }

    void numberFieldsClearedOnOpening() {
        DialogFixture fixture;
        TForm25 applet(fixture.context);
        QCOMPARE(edit(applet, "Edit2")->text(), QString("0"));
        open(applet);
        QCOMPARE(edit(applet, "Edit2")->text(), QString());
        QCOMPARE(edit(applet, "Edit3")->text(), QString());
        edit(applet, "Edit1")->setText("Clock.class");
        click(applet, "Button1");
        TForm28 embedded(fixture.context);
        open(embedded);
        QCOMPARE(edit(embedded, "Edit2")->text(), QString());
        edit(embedded, "Edit2")->setText("240");
        click(embedded, "Button1");
        QCOMPARE(fixture.text(),
                 QString(R"(<APPLET CODE="Clock.class"></APPLET><EMBEDED SRC="" HEIGHT=240>)"));
    }

    void fontSizeZeroOnlyAtFirstOpening() {
        DialogFixture fixture;
        fixture.platform.fonts = {"Arial", "Times New Roman"};
        TForm19 dialog(fixture.context);
        open(dialog);
        QCOMPARE(combo(dialog, "ComboBox1")->count(), 2);
        QCOMPARE(dialog.focusWidget(), static_cast<QWidget *>(combo(dialog, "ComboBox1")));
        combo(dialog, "ComboBox1")->setCurrentIndex(1);
        click(dialog, "Button1");
        QCOMPARE(fixture.text(), QString(R"(<FONT SIZE="0" FACE="Times New Roman"></FONT>)"));
        QCOMPARE(fixture.caret(), static_cast<int>(fixture.text().size()) - 7);

        fixture.platform.fonts = {"Courier"};
        fixture.page("");
        fixture.core.setTagCase(LowerTagCase);
        open(dialog);
        QCOMPARE(combo(dialog, "ComboBox1")->itemText(0), QString("Courier"));
        QCOMPARE(combo(dialog, "ComboBox1")->currentText(), QString());
        QCOMPARE(edit(dialog, "Edit1")->text(), QString());
        click(dialog, "Button1");
        QCOMPARE(fixture.text(), QString("<font></font>"));
        QCOMPARE(fixture.caret(), 6);
    }

    // A family that several foundries make is offered once, by the name a browser knows.
    void fontFamiliesArePlain_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("plain");
        QTest::newRow("nominal: foundries dropped, each family once")
            << QStringList{"Arial", "C059 [UKWN]", "C059 [URW]", "Z003"}
            << QStringList{"Arial", "C059", "Z003"};
        QTest::newRow("robustness: brackets inside a name stay")
            << QStringList{"[Odd] Sans", "Odd [x", "Odd]"}
            << QStringList{"[Odd] Sans", "Odd [x", "Odd]"};
    }
    void fontFamiliesArePlain() {
        QFETCH(QStringList, families);
        QFETCH(QStringList, plain);
        QCOMPARE(plainFontFamilies(families), plain);
    }
    // The real font database: a second foundry's copy of an installed family (its
    // vendor field patched) makes Qt list the family twice, with the foundries.
    void installedFamilyOfTwoFoundriesIsOfferedOnce() {
        const QString original =
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
        QFile file(original);
        if (!file.open(QIODevice::ReadOnly))
            QSKIP("DejaVu Sans Mono is not installed");
        QByteArray font = file.readAll();
        const auto u16 = [&font](qsizetype at) {
            return (quint8(font[at]) << 8) | quint8(font[at + 1]);
        };
        const auto u32 = [&](qsizetype at) { return (u16(at) << 16) | u16(at + 2); };
        for (int table = 0; table < u16(4); ++table)
            if (font.mid(12 + 16 * table, 4) == "OS/2")
                font.replace(u32(12 + 16 * table + 8) + 58, 4, "UKWN");
        QVERIFY(QFontDatabase::addApplicationFontFromData(font) >= 0);
        QVERIFY2(QFontDatabase::families().contains("DejaVu Sans Mono [UKWN]"),
                 qPrintable(QFontDatabase::families().join(", ")));

        QtPlatform platform;
        const QStringList families = platform.fontFamilies();
        QCOMPARE(families.count("DejaVu Sans Mono"), 1);
        QVERIFY2(!families.join(',').contains(" ["), qPrintable(families.join(", ")));
    }

    void loopFieldUnchecksInfinite_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("loopName");
        QTest::newRow("nominal: marquee") << "Form12"
                                          << "MultiBaseEdit3";
        QTest::newRow("nominal: sound") << "Form11"
                                        << "MultiBaseEdit1";
    }
    void loopFieldUnchecksInfinite() {
        QFETCH(QString, form);
        QFETCH(QString, loopName);
        DialogFixture fixture;
        std::unique_ptr<ElementDialog> dialog;
        if (form == "Form12")
            dialog = std::make_unique<TForm12>(fixture.context);
        else
            dialog = std::make_unique<TForm11>(fixture.context);
        open(*dialog);
        QCOMPARE(dialog->focusWidget(), edit(*dialog, "Edit1"));
        QLineEdit *loop = edit(*dialog, qPrintable(loopName));
        auto *infinite = control<QCheckBox>(*dialog, "CheckBox1");
        QVERIFY(infinite->isChecked());
        loop->selectAll();
        type(loop, "x2-");
        QCOMPARE(loop->text(), QString("2")); // letters and a later minus are refused
        QVERIFY(!infinite->isChecked());
        loop->setCursorPosition(0);
        QTest::keyClick(loop, Qt::Key_Minus);
        QCOMPARE(loop->text(), QString("-2"));
        edit(*dialog, "Edit1")->setText("a");
        dialog->okButton()->click();
        QVERIFY(fixture.text().contains(" LOOP=-2>"));

        open(*dialog);
        QCOMPARE(loop->text(), QString("0"));
        QVERIFY(infinite->isChecked());
        QCOMPARE(edit(*dialog, "Edit1")->text(), QString());
        dialog->reject();
    }

    void scrollingTextEndsOnANewLine() {
        DialogFixture fixture;
        fixture.page("sel", 0, 3);
        TForm18 dialog(fixture.context);
        open(dialog);
        QCOMPARE(dialog.focusWidget(), edit(dialog, "Edit1"));
        type(edit(dialog, "Edit1"), "Hello");
        click(dialog, "Button1");
        QCOMPARE(fixture.text(), scrollingTextScript("Hello", "\""));
        QCOMPARE(fixture.caret(), static_cast<int>(fixture.text().size()));
        QCOMPARE(fixture.text().count('\n'), 38);
        open(dialog);
        QCOMPARE(edit(dialog, "Edit1")->text(), QString());
        dialog.reject();
    }
};

VELLUMO_TEST_MAIN(TestElementDialogs)
#include "tst_element_dialogs.moc"
