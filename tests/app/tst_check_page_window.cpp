#include "app/application.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "check/check_worker.h"
#include "check/page_check.h"
#include "check/problems_panel.h"
#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "files.h"
#include "modal.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

#include <memory>

using namespace vellumo;

// Check Page in the real window: F9, the panel below the editor, the caret
// moved to a problem, the list marked out of date after an edit, CheckOnSave.
class TestCheckPageWindow : public QObject {
    Q_OBJECT

    RunningWindows m_app;
    QTemporaryDir m_folder;

    TForm1 &start(const QVariantMap &settings = {}) {
        TForm1 &main = m_app.start(settings);
        main.show();
        QApplication::setActiveWindow(&main);
        return main;
    }
    // A page on disk with CR LF breaks and a picture that is not there.
    QString writePage() {
        const QString path = m_folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, "<!DOCTYPE html>\r\n<html><head><title>t</title></head>\r\n<body>\r\n"
                         "<p><img src=\"gone.png\" alt=\"\">\r\n</body></html>\r\n");
        return path;
    }

private Q_SLOTS:
    void cleanup() { m_app.stop(); }

    void f9ListsTheProblemsAndLeadsToThem() {
        TForm1 &main = start();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.document().openFile(writePage()));
        auto *panel = main.findChild<ProblemsPanel *>(QStringLiteral("ProblemsPanel"));
        QVERIFY(panel);
        QVERIFY(panel->isHidden());
        QCOMPARE(main.action(QStringLiteral("CheckPage1"))->text(), QStringLiteral("&Check Page"));

        main.editor->setFocus();
        QTest::keyClick(main.editor, Qt::Key_F9);
        QVERIFY(panel->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(main.statusLine->currentMessage(), QStringLiteral("1 error"),
                                  20000);
        auto *list = panel->findChild<ProblemsList *>(QStringLiteral("ProblemsList"));
        QCOMPARE(list->model()->rowCount(), 1);
        QVERIFY(list->model()
                    ->index(0, ProblemsModel::MessageColumn)
                    .data()
                    .toString()
                    .contains(m_folder.path()));
        const QRect row = list->visualRect(list->model()->index(0, ProblemsModel::MessageColumn));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(main.core().page().lineAt(main.core().page().caret()), 3);
        QCOMPARE(main.core().page().selectedText(), QStringLiteral("gone.png"));

        // Typing over the selection: the list now says it may be out of date.
        auto *outOfDate = panel->findChild<QLabel *>(QStringLiteral("ProblemsOutOfDate"));
        QVERIFY(outOfDate->isHidden());
        QTest::keyClicks(main.editor, QStringLiteral("x"));
        QVERIFY(outOfDate->isVisible());

        // Once on disk, the picture is found by the next check (the old list stays
        // marked until the new one arrives).
        writeBytes(m_folder.filePath(QStringLiteral("x")), "x");
        QTest::keyClick(main.editor, Qt::Key_F9);
        QTRY_COMPARE_WITH_TIMEOUT(main.statusLine->currentMessage(),
                                  QStringLiteral("No problems found"), 20000);
        QVERIFY(outOfDate->isHidden());
    }

    // What described the page before (its problems, the last search's result, a message
    // in the status bar) goes when another page comes in, opened or new.
    void anotherPageClearsWhatDescribedTheOldOne_data() {
        QTest::addColumn<bool>("opened");
        QTest::newRow("opened") << true;
        QTest::newRow("new") << false;
    }
    void anotherPageClearsWhatDescribedTheOldOne() {
        QFETCH(bool, opened);
        TForm1 &main = start();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.document().openFile(writePage()));
        QTest::keyClick(main.editor, Qt::Key_F9);
        QTRY_COMPARE_WITH_TIMEOUT(main.statusLine->currentMessage(), QStringLiteral("1 error"),
                                  20000);
        auto *list = main.findChild<ProblemsList *>(QStringLiteral("ProblemsList"));
        QCOMPARE(list->model()->rowCount(), 1);
        main.action(QStringLiteral("Find1"))->trigger();
        auto *field = main.findChild<QComboBox *>(QStringLiteral("FindEdit"));
        QVERIFY(field);
        QTest::keyClicks(field->lineEdit(), QStringLiteral("img"));
        main.action(QStringLiteral("FindNext1"))->trigger();
        auto *found = main.findChild<QLabel *>(QStringLiteral("FindStatus"));
        QVERIFY(!found->text().isEmpty());

        const QString other = m_folder.filePath(QStringLiteral("other.htm"));
        writeBytes(other, "<p>other</p>\n");
        if (opened) {
            QVERIFY(main.document().openFile(other));
        } else {
            whenModalShown([](QWidget *title) { title->close(); });
            main.document().NewPage();
        }
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(found->text(), QString());
        QCOMPARE(main.statusLine->currentMessage(), QStringLiteral("Welcome to Vellumo"));
        auto *summary = main.findChild<QLabel *>(QStringLiteral("ProblemsSummary"));
        QVERIFY(summary == nullptr || summary->text().isEmpty());
    }

    void checkOnSave_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("checks");
        QTest::newRow("default: no check") << QVariant() << false;
        QTest::newRow("No") << QVariant(QStringLiteral("No")) << false;
        QTest::newRow("Yes") << QVariant(QStringLiteral("Yes")) << true;
        QTest::newRow("robustness: other case") << QVariant(QStringLiteral("yes")) << false;
    }
    void checkOnSave() {
        QFETCH(QVariant, stored);
        QFETCH(bool, checks);
        QVariantMap settings;
        if (stored.isValid())
            settings.insert(QStringLiteral("CheckOnSave"), stored);
        TForm1 &main = start(settings);
        QCOMPARE(AppSettings(*m_app.platform).checkOnSave(), checks);
        QVERIFY(main.document().openFile(writePage()));
        main.editor->insertPlainText(QStringLiteral(" "));
        QSignalSpy done(&main.pageCheck().worker(), &CheckWorker::finished);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(main.editor, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!main.core().page().isModified());
        auto *panel = main.findChild<ProblemsPanel *>(QStringLiteral("ProblemsPanel"));
        QCOMPARE(panel->isVisible(), checks);
        QCOMPARE(main.pageCheck().isChecking(), checks);
        if (checks) {
            QVERIFY(done.wait(20000));
            QCOMPARE(main.statusLine->currentMessage(), QStringLiteral("1 error"));
        }
    }
};

VELLUMO_TEST_MAIN(TestCheckPageWindow)
#include "tst_check_page_window.moc"
