#include "dialog_fixture.h"
#include "dialogs/insert_tags_dialog.h"
#include "test_main.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace vellumo;

namespace {

// The Insert Tags dialog, shown over the fixture's page, with its named controls.
struct InsertTags {
    DialogFixture fixture;
    TForm17 dialog{fixture.context};
    QListWidget *list = control<QListWidget>(dialog, "ListBox1");
    QLineEdit *field = edit(dialog, "Edit1");
    QPushButton *ok = control<QPushButton>(dialog, "Button1");
    QPushButton *cancel = control<QPushButton>(dialog, "Button2");

    explicit InsertTags(TagCase tagCase = TagCase::Upper) {
        fixture.core.setTagCase(tagCase);
        dialog.show();
    }

    // Clicks the list item with this text, as the user would.
    void pick(const QString &text) {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(text));
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
        QCOMPARE(list->currentItem(), found.first());
    }
};

} // namespace

class TestInsertTagsDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void window() {
        InsertTags session;
        QCOMPARE(session.dialog.objectName(), QStringLiteral("Form17"));
        QCOMPARE(session.dialog.windowTitle(), QStringLiteral("Insert Tags"));
        QVERIFY(session.list && session.field && session.ok && session.cancel);
        QCOMPARE(session.ok->text(), QStringLiteral("OK"));
        QVERIFY(session.ok->isDefault());
        QCOMPARE(session.cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(session.field->text().isEmpty());
        QCOMPARE(session.list->currentItem(), nullptr);
    }

    void listItems() {
        InsertTags session;
        QCOMPARE(session.list->count(), 100);
        const struct {
            int row;
            const char *text;
        } spots[] = {
            {0, "<!-- -->"},          {1, "<!DOCTYPE>"}, {2, "<A HREF=\"\"></A>"},
            {3, "<A NAME=\"\"></A>"}, {20, "<BR>"},      {51, "<INPUT TYPE=></INPUT>"},
            {70, "<P></P>"},          {87, "<TAB>"},     {99, "<XMP></XMP>"},
        };
        for (const auto &spot : spots)
            QCOMPARE(session.list->item(spot.row)->text(), QString::fromLatin1(spot.text));
        // Not sorted: the list keeps its own order.
        QCOMPARE(session.list->isSortingEnabled(), false);
    }

    void pickAndInsert_data() {
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("nominal: upper case inserts the item as listed")
            << UpperTagCase << "<INPUT TYPE=></INPUT>"
            << "<INPUT TYPE=></INPUT>";
        QTest::newRow("nominal: lower case lowers the picked item")
            << LowerTagCase << "<INPUT TYPE=></INPUT>"
            << "<input type=></input>";
        QTest::newRow("nominal: quotes of an attribute stay") << LowerTagCase << "<A HREF=\"\"></A>"
                                                              << "<a href=\"\"></a>";
        QTest::newRow("robustness: a tag case other than upper counts as lower case")
            << static_cast<TagCase>(2) << "<B></B>"
            << "<b></b>";
    }
    void pickAndInsert() {
        QFETCH(TagCase, tagCase);
        QFETCH(QString, item);
        QFETCH(QString, inserted);
        InsertTags session(tagCase);
        session.fixture.page(QStringLiteral("x sel y"), 2, 5);

        session.pick(item);
        QCOMPARE(session.field->text(), inserted);
        QTest::mouseClick(session.ok, Qt::LeftButton);

        // The selection is replaced, the caret stays after the text, the dialog stays open.
        QCOMPARE(session.fixture.text(), "x " + inserted + " y");
        QCOMPARE(session.fixture.caret(), 2 + inserted.size());
        QVERIFY(session.dialog.isVisible());
        session.fixture.editor.undo();
        QCOMPARE(session.fixture.text(), QStringLiteral("x sel y"));
    }

    void okRepeatsAndEnterIsOk() {
        InsertTags session;
        session.fixture.page(QString(), 0, 0);
        session.pick(QStringLiteral("<HR>"));
        QTest::mouseClick(session.ok, Qt::LeftButton);
        QTest::mouseClick(session.ok, Qt::LeftButton);
        QTest::keyClick(session.field, Qt::Key_Return);
        QCOMPARE(session.fixture.text(), QStringLiteral("<HR><HR><HR>"));
        QVERIFY(session.dialog.isVisible());
    }

    void okWithEmptyFieldDeletesSelection() {
        InsertTags session;
        session.fixture.page(QStringLiteral("keep gone keep"), 5, 10);
        QTest::mouseClick(session.ok, Qt::LeftButton);
        QCOMPARE(session.fixture.text(), QStringLiteral("keep keep"));
    }

    void editedTextIsInserted_data() {
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<bool>("pickFirst");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: typed before any pick goes in as typed, upper case")
            << UpperTagCase << false << "<Em>"
            << "<Em>";
        QTest::newRow("nominal: typed before any pick goes in as typed, lower case")
            << LowerTagCase << false << "<Em>"
            << "<Em>";
        QTest::newRow("nominal: after a lower-case pick typing is lowered")
            << LowerTagCase << true << " CLASS=X"
            << "<dd> class=x";
        QTest::newRow("nominal: after an upper-case pick typing is kept")
            << UpperTagCase << true << " class=X"
            << "<DD> class=X";
    }
    void editedTextIsInserted() {
        QFETCH(TagCase, tagCase);
        QFETCH(bool, pickFirst);
        QFETCH(QString, typed);
        InsertTags session(tagCase);
        session.fixture.page(QString(), 0, 0);
        if (pickFirst)
            session.pick(QStringLiteral("<DD>"));
        session.field->setFocus();
        session.field->end(false);
        QTest::keyClicks(session.field, typed);
        QTest::mouseClick(session.ok, Qt::LeftButton);
        QFETCH(QString, expected);
        QCOMPARE(session.fixture.text(), expected);
    }

    void caseModeFollowsTheLastPick() {
        InsertTags session(LowerTagCase);
        session.pick(QStringLiteral("<B></B>"));
        session.fixture.core.setTagCase(UpperTagCase);
        // Until the next pick the field keeps lowering what is typed...
        session.field->clear();
        QTest::keyClicks(session.field, QStringLiteral("AB"));
        QCOMPARE(session.field->text(), QStringLiteral("ab"));
        // ...and a pick in upper case ends it.
        session.pick(QStringLiteral("<I></I>"));
        QCOMPARE(session.field->text(), QStringLiteral("<I></I>"));
        QTest::keyClicks(session.field, QStringLiteral("X"));
        QCOMPARE(session.field->text(), QStringLiteral("<I></I>X"));
    }

    void keyboardSelectionCopiesItem() {
        InsertTags session;
        session.pick(QStringLiteral("<B></B>"));
        session.list->setFocus();
        QTest::keyClick(session.list, Qt::Key_Down);
        QCOMPARE(session.field->text(), QStringLiteral("<BANNER></BANNER>"));
    }

    void doubleClickInserts() {
        InsertTags session;
        session.fixture.page(QStringLiteral("ab"), 1, 1);
        QListWidgetItem *item =
            session.list->findItems(QStringLiteral("<LI>"), Qt::MatchExactly).first();
        session.list->scrollToItem(item);
        // What the window system delivers for a double click: a click, then the double
        // click and its release.
        const QPoint at = session.list->visualItemRect(item).center();
        QTest::mouseClick(session.list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(session.list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(session.list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(session.fixture.text(), QStringLiteral("a<LI>b"));
        QVERIFY(session.dialog.isVisible());
    }

    void closing_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("nominal: Cancel") << 0;
        QTest::newRow("nominal: close box") << 1;
    }
    void closing() {
        QFETCH(int, how);
        InsertTags session;
        session.pick(QStringLiteral("<TD></TD>"));
        if (how == 0)
            QTest::mouseClick(session.cancel, Qt::LeftButton);
        else
            session.dialog.close();
        QVERIFY(!session.dialog.isVisible());
        QVERIFY(session.field->text().isEmpty());
        // The picked item is still selected at the next opening.
        session.dialog.show();
        QCOMPARE(session.list->currentItem()->text(), QStringLiteral("<TD></TD>"));
        QVERIFY(session.field->text().isEmpty());
    }

    void escapeDoesNotClose() {
        InsertTags session;
        session.pick(QStringLiteral("<TD></TD>"));
        QTest::keyClick(session.field, Qt::Key_Escape);
        QTest::keyClick(session.list, Qt::Key_Escape);
        QVERIFY(session.dialog.isVisible());
        QCOMPARE(session.field->text(), QStringLiteral("<TD></TD>"));
    }

    void f1OpensHelpTopic() {
        InsertTags session;
        session.dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&session.dialog));
        QTest::keyClick(session.field, Qt::Key_F1);
        QCOMPARE(session.fixture.platform.helpTopics, QList<int>{46});
    }
};

VELLUMO_TEST_MAIN(TestInsertTagsDialog)
#include "tst_insert_tags_dialog.moc"
