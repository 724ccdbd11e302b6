#include "dialog_fixture.h"
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
#include "modal.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QTemporaryDir>

#include <functional>
#include <memory>

using namespace vellumo;

namespace {

using Factory = std::function<ElementDialog *(DialogContext &)>;

template <typename T> Factory make() {
    return [](DialogContext &context) { return new T(context); };
}

struct Expected {
    Factory factory;
    QString caption;
    int topic;
    bool escape;
    bool picture = false;  // a decorative picture at the top left
    bool bevelled = false; // the fields in a bevelled panel
};

const QList<Expected> &allDialogs() {
    static const QList<Expected> table{
        {make<TForm5>(), "Image", 39, false},
        {make<TForm6>(), "Horizontal Rule", 44, true},
        {make<TForm7>(), "Create Link", 38, true},
        {make<TForm8>(), "E-Mail", 40, true, true},
        {make<TForm9>(), "Page Transfer", 57, true},
        {make<TForm11>(), "Music/Sound Effects", 41, true, true, true},
        {make<TForm12>(), "Marquee", 42, false, false, true},
        {make<TForm18>(), "Scrolling Text", 58, false, false, true},
        {make<TForm19>(), "Font", 43, false, true, true},
        {make<TForm20>(), "Form Action", 47, false, true},
        {make<TForm21>(), "Form Field", 0, false},
        {make<TForm22>(), "Map Name", 50, false},
        {make<TForm23>(), "Meta", 51, false, true},
        {make<TForm24>(), "Script", 52, false},
        {make<TForm25>(), "JAVA Applet", 53, false},
        {make<TForm26>(), "Parameter", 54, false},
        {make<TForm28>(), "Embeded Item", 55, false},
    };
    return table;
}

void pressKey(QDialog &dialog, Qt::Key key) {
    QWidget *target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
    QTest::keyClick(target, key);
}

} // namespace

class TestDialogConventions : public QObject {
    Q_OBJECT

    QString m_startFolder;

private Q_SLOTS:
    void init() { m_startFolder = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(m_startFolder); }

    void frameKeysAndHelp_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < allDialogs().size(); ++i)
            QTest::newRow(qPrintable("nominal: " + allDialogs()[i].caption)) << i;
    }
    void frameKeysAndHelp() {
        QFETCH(int, row);
        const Expected &expected = allDialogs()[row];
        DialogFixture fixture;
        fixture.page("keep");
        std::unique_ptr<ElementDialog> dialog(expected.factory(fixture.context));
        QCOMPARE(dialog->windowTitle(), expected.caption);
        QVERIFY(dialog->okButton()->isDefault());
        const auto *picture = dialog->findChild<QLabel *>(QStringLiteral("Picture"));
        QVERIFY(picture != nullptr);
        QCOMPARE(!picture->isHidden() && !picture->pixmap().isNull(), expected.picture);
        bool bevelled = false;
        for (const QFrame *frame : dialog->findChildren<QFrame *>(Qt::FindDirectChildrenOnly))
            bevelled = bevelled || (frame->frameShape() == QFrame::StyledPanel &&
                                    frame->frameShadow() == QFrame::Sunken);
        QCOMPARE(bevelled, expected.bevelled);
        QCOMPARE(dialog->layout()->sizeConstraint(), QLayout::SetFixedSize);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowMaximizeButtonHint));

        open(*dialog);
        pressKey(*dialog, Qt::Key_F1);
        QCOMPARE(fixture.platform.helpTopics,
                 expected.topic > 0 ? QList<int>{expected.topic} : QList<int>{});
        pressKey(*dialog, Qt::Key_Escape);
        QCOMPARE(dialog->isVisible(), !expected.escape);
        dialog->reject();
        QCOMPARE(fixture.text(), QString("keep"));
    }

    void closeQueryOnEveryRoad_data() {
        QTest::addColumn<QString>("road");
        QTest::newRow("nominal: OK") << "ok";
        QTest::newRow("nominal: Cancel") << "cancel";
        QTest::newRow("nominal: Escape") << "escape";
        QTest::newRow("nominal: close box") << "close";
    }
    void closeQueryOnEveryRoad() {
        QFETCH(QString, road);
        DialogFixture fixture;
        TForm7 dialog(fixture.context);
        open(dialog);
        edit(dialog, "Edit1")->setText("a.htm");
        edit(dialog, "Edit2")->setText("A");
        combo(dialog, "ComboBox1")->setEditText("_top");
        if (road == "ok")
            click(dialog, "Button2");
        else if (road == "cancel")
            click(dialog, "Button1");
        else if (road == "escape")
            pressKey(dialog, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fixture.text(),
                 road == "ok" ? QString(R"(<A HREF="a.htm" TARGET="_top">A</A>)") : QString());
        open(dialog);
        QCOMPARE(edit(dialog, "Edit1")->text(), QString("http://"));
        QCOMPARE(edit(dialog, "Edit1")->cursorPosition(), 7);
        QCOMPARE(edit(dialog, "Edit2")->text(), QString());
        QCOMPARE(combo(dialog, "ComboBox1")->currentText(), QString());
        dialog.reject();
    }

    // The address field opens with the caret after "http://" and nothing selected,
    // so the first key typed goes on with the address instead of replacing it.
    void addressFieldReadyAfterHttp_data() {
        QTest::addColumn<bool>("transfer");
        QTest::newRow("nominal: create link") << false;
        QTest::newRow("nominal: page transfer") << true;
    }
    void addressFieldReadyAfterHttp() {
        QFETCH(bool, transfer);
        DialogFixture fixture;
        std::unique_ptr<QDialog> dialog;
        if (transfer)
            dialog = std::make_unique<TForm9>(fixture.context);
        else
            dialog = std::make_unique<TForm7>(fixture.context);
        QString typed;
        whenModalShown([&typed](QWidget *modal) {
            auto *field = qobject_cast<QLineEdit *>(modal->focusWidget());
            if (field != nullptr) {
                QTest::keyClicks(field, QStringLiteral("example.org/"));
                typed = field->text();
            }
            static_cast<QDialog *>(modal)->reject();
        });
        dialog->exec();
        QCOMPARE(typed, QStringLiteral("http://example.org/"));
    }

    void refusedOkRunsActivationAgain() {
        DialogFixture fixture;
        fixture.page("abc", 0, 3);
        TForm5 dialog(fixture.context);
        open(dialog);
        edit(dialog, "Edit2")->setText("alt");
        edit(dialog, "Edit2")->setFocus();
        click(dialog, "Button1");
        QCOMPARE(fixture.platform.texts("error"),
                 QStringList{"You have to select an image before you can insert the HTML text!"});
        QCOMPARE(fixture.platform.shown.first().caption, QString("Error"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(fixture.text(), QString("abc"));
        QCOMPARE(dialog.focusWidget(), edit(dialog, "Edit1"));
        QCOMPARE(edit(dialog, "Edit2")->text(), QString("alt"));

        edit(dialog, "Edit1")->setText(" ");
        click(dialog, "Button1");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(fixture.text(), QString(R"(<IMG SRC=" " BORDER=0 ALT="alt">)"));
    }

    void browseFillsTheBareName_data() {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("chosen"); // relative to a temporary folder; "" cancels
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("error");
        QTest::newRow("nominal: image from another folder") << "Form5"
                                                            << "pics/Logo.GIF"
                                                            << "Logo.GIF"
                                                            << "Edit2"
                                                            << "";
        QTest::newRow("nominal: cancelled chooser changes nothing") << "Form5"
                                                                    << ""
                                                                    << "old"
                                                                    << ""
                                                                    << "";
        QTest::newRow("nominal: script keeps the focus on the button") << "Form24"
                                                                       << "pics/menu.js"
                                                                       << "menu.js"
                                                                       << "BitBtn1"
                                                                       << "";
        QTest::newRow("nominal: embedded item moves on to the height") << "Form28"
                                                                       << "pics/intro.avi"
                                                                       << "intro.avi"
                                                                       << "Edit2"
                                                                       << "";
        QTest::newRow("nominal: sound keeps the source focused") << "Form11"
                                                                 << "pics/song.mid"
                                                                 << "song.mid"
                                                                 << "Edit1"
                                                                 << "";
        QTest::newRow("robustness: link to a page still to be written") << "Form7"
                                                                        << "pics/new.htm"
                                                                        << "new.htm"
                                                                        << "Edit2"
                                                                        << "";
        QTest::newRow("robustness: link into a missing folder is refused")
            << "Form7"
            << "none/x.htm"
            << "old"
            << ""
            << "Invalid file name - ";
    }
    void browseFillsTheBareName() {
        QFETCH(QString, dialogName);
        QFETCH(QString, chosen);
        QFETCH(QString, field);
        QFETCH(QString, focus);
        QFETCH(QString, error);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("pics"));
        for (const char *name : {"Logo.GIF", "menu.js", "intro.avi", "song.mid"}) {
            QFile file(folder.filePath(QString("pics/") + name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        DialogFixture fixture;
        std::unique_ptr<ElementDialog> dialog;
        for (const Expected &row : allDialogs()) {
            std::unique_ptr<ElementDialog> candidate(row.factory(fixture.context));
            if (candidate->objectName() == dialogName)
                dialog = std::move(candidate);
        }
        QVERIFY(dialog);
        open(*dialog);
        QLineEdit *file = edit(*dialog, "Edit1"); // every file field is Edit1
        file->setText("old");
        QWidget *button = control<QWidget>(*dialog, "BitBtn1");
        button->setFocus();
        fixture.platform.queueFile(chosen.isEmpty() ? QString() : folder.filePath(chosen));
        click(*dialog, "BitBtn1");

        QCOMPARE(file->text(), field);
        QVERIFY(fixture.platform.answersUsed());
        QCOMPARE(fixture.platform.shown.first().kind, QString("open"));
        QCOMPARE(fixture.platform.shown.first().request.mustExist, dialogName != "Form7");
        if (!error.isEmpty()) {
            QCOMPARE(fixture.platform.texts("error").size(), 1);
            QVERIFY(fixture.platform.texts("error").first().startsWith(error));
            QCOMPARE(fixture.platform.shown.last().caption, QString("Vellumo"));
        } else {
            QVERIFY(fixture.platform.texts("error").isEmpty());
        }
        if (field != "old")
            QCOMPARE(QDir::currentPath(), QDir(folder.filePath("pics")).canonicalPath());
        else
            QCOMPARE(QDir::currentPath(), m_startFolder);
        if (!focus.isEmpty())
            QCOMPARE(dialog->focusWidget(), control<QWidget>(*dialog, qPrintable(focus)));
        dialog->reject();
    }

    void listedNameKeepsNewNames() {
        QTemporaryDir folder;
        QFile file(folder.filePath("Page.htm"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(listedFileName(folder.path(), "Page.htm"), QString("Page.htm"));
        QCOMPARE(listedFileName(folder.path(), "other.htm"), QString("other.htm"));
    }
};

VELLUMO_TEST_MAIN(TestDialogConventions)
#include "tst_dialog_conventions.moc"
