#include "app/application.h"
#include "app/main_window.h"
#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "whole_page.h"

#include <QListView>

#include <memory>

using namespace vellumo;

// Completion in the real window: the list after '<', a space in a tag and '&',
// taken with Enter or Tab, left with Escape or by typing on; "</" closing the
// open element; each one undo step; the AutoComplete setting; the tags matching
// at the caret marked.
class TestCompletionWindow : public QObject {
    Q_OBJECT

    RunningWindows m_app;

    // The window with `page` in its editor and the caret where `|` stands.
    PageEditor *start(const QString &page, const QVariantMap &settings = {}) {
        TForm1 &main = m_app.start(settings);
        main.show();
        QApplication::setActiveWindow(&main);
        if (!QTest::qWaitForWindowActive(&main))
            return nullptr;
        PageEditor *editor = main.editor;
        const qsizetype caret = page.indexOf(u'|');
        editor->setPlainText(QString(page).remove(caret, 1));
        main.core().page().setCaret(int(caret));
        editor->setFocus();
        return editor;
    }
    QListView *list() const {
        return m_app.windows->mainWindow().findChild<QListView *>(QStringLiteral("CompletionList"));
    }
    // The page's text with `|` where the caret is.
    QString withCaret() const {
        const Page &page = m_app.windows->mainWindow().core().page();
        return pageText(page).insert(page.caret(), u'|');
    }

private Q_SLOTS:
    void cleanup() { m_app.stop(); }

    void takenWithAKey_data() {
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown"); // the first name offered
        QTest::addColumn<QString>("after");
        QTest::newRow("element, Enter") << "Yes"
                                        << "<body>\n|\n</body>"
                                        << "<di" << int(Qt::Key_Return) << "DIALOG"
                                        << "<body>\n<DIALOG|\n</body>";
        QTest::newRow("element in lower case, Tab") << "No"
                                                    << "<body>|</body>"
                                                    << "<tab" << int(Qt::Key_Tab) << "table"
                                                    << "<body><table|</body>";
        QTest::newRow("element, Down and Enter") << "No"
                                                 << "<body>|"
                                                 << "<di" << int(Qt::Key_Down) << "dialog"
                                                 << "<body><dir|";
        QTest::newRow("attribute between its quotes") << "No"
                                                      << "<p>|</p>"
                                                      << "<img sr" << int(Qt::Key_Enter) << "src"
                                                      << "<p><img src=\"|\"</p>";
        QTest::newRow("an attribute the tag has is not offered again")
            << "No"
            << "<p>|</p>"
            << "<img src=x sr" << int(Qt::Key_Enter) << "srcset"
            << "<p><img src=x srcset=\"|\"</p>";
        QTest::newRow("attribute after a value with '>'")
            << "Yes"
            << "|"
            << "<a title=\"a>b\" hre" << int(Qt::Key_Tab) << "HREF"
            << "<a title=\"a>b\" HREF=\"|\"";
        QTest::newRow("entity, the palette's first") << "No"
                                                     << "<p>|</p>"
                                                     << "&e" << int(Qt::Key_Return) << "emsp"
                                                     << "<p>&emsp;|</p>";
    }
    void takenWithAKey() {
        QFETCH(QString, tagCase);
        QFETCH(QString, page);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        PageEditor *editor = start(page, {{"Upercase", tagCase}});
        QVERIFY(editor);
        QTest::keyClicks(editor, typed);
        QVERIFY(list()->isVisible());
        QCOMPARE(list()->model()->index(0, 0).data().toString(), shown);
        const QString typedText = withCaret();
        if (key == Qt::Key_Down) {
            QTest::keyClick(editor, Qt::Key_Down);
            QTest::keyClick(editor, Qt::Key_Return);
        } else {
            QTest::keyClick(editor, Qt::Key(key));
        }
        QVERIFY(!list()->isVisible());
        QCOMPARE(withCaret(), after);
        // The name taken is one step of its own: undo leaves what was typed.
        editor->undo();
        QCOMPARE(withCaret(), typedText);
    }

    // The list stays under the caret when the window is moved.
    void listFollowsTheWindow() {
        PageEditor *editor = start(QStringLiteral("<body>|</body>"));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("<di"));
        QVERIFY(list()->isVisible());
        const QPoint before = list()->pos();
        QWidget *window = editor->window();
        window->move(window->pos() + QPoint(40, 30));
        QTRY_COMPARE(list()->pos(), before + QPoint(40, 30));
    }

    void leftAsTyped() {
        PageEditor *editor = start(QStringLiteral("<body>|</body>"), {{"Upercase", "No"}});
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("<di"));
        QVERIFY(list()->isVisible());
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!list()->isVisible());
        QTest::keyClicks(editor, QStringLiteral("v>"));
        QVERIFY(!list()->isVisible());
        // Enter after the block's start tag goes one level in.
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(withCaret(), QStringLiteral("<body><div>\n\t|</body>"));

        // Typing on past a name: the list follows, then goes at the first other character.
        QTest::keyClicks(editor, QStringLiteral("<sp"));
        QCOMPARE(list()->model()->rowCount(), 2); // spacer, span
        QTest::keyClicks(editor, QStringLiteral("an>x"));
        QVERIFY(!list()->isVisible());
        QCOMPARE(withCaret(), QStringLiteral("<body><div>\n\t<span>x|</body>"));
    }

    void closingTags_data() {
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("after");
        QTest::newRow("paragraph") << "Yes"
                                   << "<body>\n<p>Some <b>bold</b> text|"
                                   << "<body>\n<p>Some <b>bold</b> text</P>|";
        QTest::newRow("list item, lower case") << "No"
                                               << "<ul>\n<li>one\n<li>two|\n</ul>"
                                               << "<ul>\n<li>one\n<li>two</li>|\n</ul>";
        const QString longLine = QStringLiteral("<b>x</b> ").repeated(600);
        QTest::newRow("a line of 5,400 characters") << "No"
                                                    << "<div>" + longLine + "|"
                                                    << "<div>" + longLine + "</div>|";
        QTest::newRow("never in a script") << "No"
                                           << "<div><script>\nif (a |"
                                           << "<div><script>\nif (a </|";
        QTest::newRow("never in a comment") << "No"
                                            << "<div><!-- |"
                                            << "<div><!-- </|";
        QTest::newRow("nothing open") << "No"
                                      << "<p>a</p>|"
                                      << "<p>a</p></|";
    }
    void closingTags() {
        QFETCH(QString, tagCase);
        QFETCH(QString, page);
        QFETCH(QString, after);
        PageEditor *editor = start(page, {{"Upercase", tagCase}});
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("</"));
        QCOMPARE(withCaret(), after);
        QVERIFY(!list()->isVisible());
        if (after.endsWith(QStringLiteral(">|"))) {
            editor->undo();
            QCOMPARE(withCaret(), QString(page).replace(u'|', QStringLiteral("</|")));
        }
    }

    void offSetting() {
        PageEditor *editor =
            start(QStringLiteral("<body><p>a|"), {{"AutoComplete", "No"}, {"Upercase", "No"}});
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("<b"));
        QVERIFY(!list()->isVisible());
        QTest::keyClicks(editor, QStringLiteral("></"));
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(withCaret(), QStringLiteral("<body><p>a<b></\t|"));
    }

    void matchingTagsMarked() {
        PageEditor *editor = start(QStringLiteral("<div>\n<p>x<br></p>\n</d|iv>"));
        QVERIFY(editor);
        Page &page = m_app.windows->mainWindow().core().page();
        using Ranges = QList<std::pair<int, int>>;
        QTRY_COMPARE(editor->markedRanges(), Ranges({{19, 25}, {0, 5}}));
        const bool modified = page.isModified();
        const bool undoable = page.isUndoAvailable();
        page.setCaret(8); // in <p>'s name
        QTRY_COMPARE(editor->markedRanges(), Ranges({{6, 9}, {14, 18}}));
        page.setCaret(12); // on <br>: a void element, no match
        QTRY_COMPARE(editor->markedRanges(), Ranges({{10, 14}}));
        QCOMPARE(page.isModified(), modified);
        QCOMPARE(page.isUndoAvailable(), undoable);
        QTest::keyClicks(editor, QStringLiteral("x"));
        QCOMPARE(editor->markedRanges(), Ranges());
    }
};

VELLUMO_TEST_MAIN(TestCompletionWindow)
#include "tst_completion_window.moc"
