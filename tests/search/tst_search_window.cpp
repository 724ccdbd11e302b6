// Searching in the main window: the Edit menu's search keys wherever the focus
// is, and a Find in Files result opened through Open's road.

#include "app/application.h"
#include "app/main_window.h"
#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "files.h"
#include "modal.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "search/search_results.h"
#include "test_main.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace vellumo;

class SearchWindowTest : public QObject {
    Q_OBJECT

    RunningWindows m_app;

    TForm1 &start() {
        TForm1 &main = m_app.start();
        main.show();
        QApplication::setActiveWindow(&main);
        return main;
    }
    static int selectionStart(TForm1 &main) { return main.core().page().selectionStart(); }

private Q_SLOTS:
    void cleanup() { m_app.stop(); }

    void keysWorkAnywhereInTheWindow() {
        TForm1 &main = start();
        main.editor->setPlainText("one two\none two");
        // The focus away from the editor, in the side panel.
        auto *panel = main.findChild<QTabWidget *>();
        QVERIFY(panel);
        panel->setFocus();
        QTRY_VERIFY(panel->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        auto *bar = main.findChild<QWidget *>("FindBar");
        QVERIFY(bar && bar->isVisible());
        auto *findEdit = bar->findChild<QComboBox *>("FindEdit");
        QCOMPARE(QApplication::focusWidget(), findEdit);
        QTest::keyClicks(findEdit, "two");
        QCOMPARE(selectionStart(main), 4);
        QTest::keyClick(findEdit, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QCOMPARE(QApplication::focusWidget(), main.editor);
        QTest::keyClick(main.editor, Qt::Key_F3);
        QCOMPARE(selectionStart(main), 12);
        QTest::keyClick(main.editor, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(selectionStart(main), 4);
        QTest::keyClick(main.editor, Qt::Key_H, Qt::ControlModifier);
        QVERIFY(bar->isVisible());
        QVERIFY(bar->findChild<QComboBox *>("ReplaceEdit")->isVisible());
        QCOMPARE(findEdit->currentText(), "two");
    }

    void findInFilesOpensAResultThroughOpen() {
        QTemporaryDir site;
        writeBytes(site.filePath("index.htm"), "<p>first</p>\n<p>the needle</p>\n");
        TForm1 &main = start();
        main.editor->setPlainText("unsaved work");
        main.core().page().setModified(true);
        whenModalShown([&](QWidget *dialog) {
            dialog->findChild<QComboBox *>("FindInFilesText")->setEditText("needle");
            dialog->findChild<QLineEdit *>("FindInFilesFolder")->setText(site.path());
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        QTest::keyClick(main.editor, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        auto *results = main.findChild<SearchResults *>("SearchResults");
        QVERIFY(results && results->isVisible());
        auto *list = results->findChild<QTreeWidget *>("SearchResultsList");
        QTRY_COMPARE(list->topLevelItemCount(), 1);
        QTRY_VERIFY(!results->isRunning());
        QCOMPARE(list->topLevelItem(0)->text(0), "index.htm (1)");
        m_app.platform->queueAnswer(QMessageBox::Yes);
        Q_EMIT list->itemActivated(list->topLevelItem(0)->child(0), 0);
        QCOMPARE(m_app.platform->texts("ask"),
                 QStringList({"Are you sure you want to discard the changes?"}));
        QCOMPARE(main.document().CurrentFileName,
                 QDir::toNativeSeparators(site.filePath("index.htm")));
        QCOMPARE(main.core().page().selectedText(), "needle");
        QCOMPARE(selectionStart(main), 20);
    }
};

VELLUMO_TEST_MAIN(SearchWindowTest)
#include "tst_search_window.moc"
