#include "check/check_worker.h"
#include "check/page_check.h"
#include "check/problems_panel.h"
#include "document/page_file.h"
#include "editor/editor_page.h"
#include "editor/page_editor.h"
#include "test_main.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

using namespace vellumo;

namespace {

// The real editor and panel side by side in one window, as the main window shows them.
struct Fixture {
    QTemporaryDir folder;
    QWidget window;
    PageEditor editor{&window};
    EditorPage page{&editor};
    PageCheck check{page, [this] {
                        return CheckRequest{{}, folder.path(), false, QStringLiteral("UTF-8")};
                    }};
    Fixture() {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(&editor);
        layout->addWidget(check.panel());
        window.resize(800, 600);
        window.show();
    }
    ProblemsList *list() const { return check.panel()->findChild<ProblemsList *>("ProblemsList"); }
    QString summary() const {
        return check.panel()->findChild<QLabel *>("ProblemsSummary")->text();
    }
    // Runs Check Page and waits for its result.
    void runCheck() {
        QSignalSpy done(&check.worker(), &CheckWorker::finished);
        check.CheckPage1Click();
        QVERIFY(done.wait(20000));
    }
    int rowWithMessage(const QString &part) const {
        const QAbstractItemModel *model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (model->index(row, ProblemsModel::MessageColumn).data().toString().contains(part))
                return row;
        }
        return -1;
    }
    void doubleClickRow(int row) {
        const QModelIndex index = list()->model()->index(row, ProblemsModel::MessageColumn);
        list()->scrollTo(index);
        const QPoint at = list()->visualRect(index).center();
        // The first click selects; the second is the double-click.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    }
};

const QString Head = QStringLiteral("<!DOCTYPE html>\n<html><head><title>t</title></head><body>\n");

} // namespace

class TestProblemsPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A page read from disk with any kind of line break: the problem's line is the
    // editor's line, and a double-click selects the offending text there.
    void doubleClickSelectsTheProblem_data() {
        QTest::addColumn<QByteArray>("lineBreak");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("mixed") << QByteArray();
    }
    void doubleClickSelectsTheProblem() {
        QFETCH(QByteArray, lineBreak);
        const QList<QByteArray> lines{
            "<!DOCTYPE html>", "<html><head><title>t</title></head>", "<body>",
            "<p>caf\xe9",      "  <img src=\"gone.png\" alt=\"\">",   "<zz>",
            "</body></html>"};
        const QByteArray mixed[] = {"\r\n", "\r", "\n", "\r", "\r\n", "\n", "\r"};
        QByteArray bytes;
        for (int i = 0; i < lines.size(); ++i)
            bytes += lines.at(i) + (lineBreak.isEmpty() ? mixed[i] : lineBreak);
        const DecodedPage page = decodePage(bytes);
        QCOMPARE(encodingName(page.format.encoding), QStringLiteral("windows-1252"));

        Fixture f;
        f.editor.setPlainText(page.text);
        f.runCheck();
        const int missing = f.rowWithMessage("gone.png");
        QVERIFY(missing >= 0);
        QCOMPARE(f.list()->model()->index(missing, ProblemsModel::LineColumn).data().toInt(), 5);
        QCOMPARE(f.list()->model()->index(missing, ProblemsModel::ColumnColumn).data().toInt(), 13);
        f.doubleClickRow(missing);
        QCOMPARE(f.page.lineAt(f.page.caret()), 4);
        QCOMPARE(f.page.selectedText(), QStringLiteral("gone.png"));
        QVERIFY(f.editor.hasFocus());

        const int unknown = f.rowWithMessage("<zz> is not an HTML element");
        QVERIFY(unknown >= 0);
        f.doubleClickRow(unknown);
        QCOMPARE(f.page.lineAt(f.page.caret()), 5);
        QCOMPARE(f.page.selectedText(), QStringLiteral("<zz>"));
    }

    void enterOnSortedAndFilteredList() {
        Fixture f;
        f.editor.setPlainText(Head + "<center>c</center>\n<p><img src=\"gone.png\" alt=\"\">\n"
                                     "<zz></zz>\n</body></html>");
        f.runCheck();
        QCOMPARE(f.summary(), QStringLiteral("2 errors, 2 warnings, 1 note"));
        // Sorted by severity, the errors come first, in page order, and the note last.
        f.list()->sortByColumn(ProblemsModel::SeverityColumn, Qt::AscendingOrder);
        QCOMPARE(f.list()->model()->index(0, ProblemsModel::SeverityColumn).data().toString(),
                 QStringLiteral("Error"));
        QVERIFY(!f.list()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        f.list()->setFocus();
        f.list()->setCurrentIndex(f.list()->model()->index(0, 0));
        QCOMPARE(f.list()->model()->index(4, ProblemsModel::SeverityColumn).data().toString(),
                 QStringLiteral("Note"));
        QTest::keyClick(f.list(), Qt::Key_Return);
        QCOMPARE(f.page.selectedText(), QStringLiteral("gone.png"));
        QCOMPARE(f.page.lineAt(f.page.caret()), 3);

        // Filtering: only the note is left when errors and warnings are hidden.
        f.check.panel()->findChild<QToolButton *>("ProblemsShowErrors")->click();
        f.check.panel()->findChild<QToolButton *>("ProblemsShowWarnings")->click();
        QCOMPARE(f.list()->model()->rowCount(), 1);
        QCOMPARE(f.list()->model()->index(0, ProblemsModel::SeverityColumn).data().toString(),
                 QStringLiteral("Note"));
        f.list()->sortByColumn(ProblemsModel::LineColumn, Qt::DescendingOrder);
        f.check.panel()->findChild<QToolButton *>("ProblemsShowWarnings")->click();
        QCOMPARE(f.list()->model()->index(0, ProblemsModel::LineColumn).data().toInt(), 5);
    }

    // Lines added above a problem and text typed before it on its line, after the check or
    // while it runs, do not lose it: a double-click still selects the offending text.
    void problemsMoveWithTheEdits_data() {
        QTest::addColumn<bool>("whileChecking");
        QTest::newRow("after the check") << false;
        QTest::newRow("while the check runs") << true;
    }
    void problemsMoveWithTheEdits() {
        QFETCH(bool, whileChecking);
        Fixture f;
        f.editor.setPlainText(Head + "<p><img src=\"gone.png\" alt=\"\">\n</body></html>");
        QSignalSpy done(&f.check.worker(), &CheckWorker::finished);
        f.check.CheckPage1Click();
        if (!whileChecking)
            QVERIFY(done.wait(20000));
        const int problemLine = int(Head.count(u'\n'));
        f.page.apply({RangeEdit{0, 0, QStringLiteral("<!-- one -->\n<!-- two -->\n")},
                      RangeEdit{f.page.lineStart(problemLine), 0, QStringLiteral("x")}});
        if (whileChecking)
            QVERIFY(done.count() == 1 || done.wait(20000));
        f.doubleClickRow(f.rowWithMessage("gone.png"));
        QCOMPARE(f.page.selectedText(), QStringLiteral("gone.png"));
        QCOMPARE(f.page.lineAt(f.page.caret()), problemLine + 2);
    }

    // After an edit the list says it may be out of date; a new check clears that.
    void outOfDateAfterAnEdit() {
        Fixture f;
        QSignalSpy summaries(&f.check, &PageCheck::summaryChanged);
        f.editor.setPlainText(Head + "<p>x</p>\n</body></html>");
        f.runCheck();
        QCOMPARE(summaries.last().first().toString(), QStringLiteral("No problems found"));
        auto *outOfDate = f.check.panel()->findChild<QLabel *>("ProblemsOutOfDate");
        QVERIFY(outOfDate->isHidden());
        f.editor.setFocus();
        QTest::keyClick(&f.editor, Qt::Key_A);
        QVERIFY(!outOfDate->isHidden());
        QVERIFY(f.check.panel()->isOutOfDate());
        f.runCheck();
        QVERIFY(outOfDate->isHidden());
    }

    // A big page: F9 twice restarts (one result only), Stop ends the work.
    void restartAndStop() {
        Fixture f;
        f.editor.setPlainText(Head +
                              QStringLiteral("<p><b><i>x</b></i> &bogus; <img>\n").repeated(40000));
        QSignalSpy results(&f.check.worker(), &CheckWorker::finished);
        f.check.CheckPage1Click();
        f.check.CheckPage1Click();
        QVERIFY(f.check.isChecking());
        QVERIFY(results.wait(60000));
        QTRY_VERIFY_WITH_TIMEOUT(!f.check.worker().isBusy(), 20000);
        QCOMPARE(results.size(), 1);
        auto *more = f.check.panel()->findChild<QLabel *>("ProblemsMore");
        QVERIFY(!more->isHidden());
        QVERIFY2(more->text().contains(QLatin1String("more problems were found")),
                 qPrintable(more->text()));
        QCOMPARE(f.list()->model()->rowCount(), MaximumListedProblems);

        f.check.CheckPage1Click();
        f.check.panel()->findChild<QToolButton *>("ProblemsStop")->click();
        QCOMPARE(f.summary(), QStringLiteral("Check stopped"));
        QVERIFY(!f.check.isChecking());
        QTRY_VERIFY(!f.check.worker().isBusy());
        QCOMPARE(results.size(), 1);
    }

    // A page of many slices is copied whole, lines and characters in place; an
    // edit made before the copy is done is part of the check.
    void copiesABigPageWhole() {
        Fixture f;
        const QString line = QStringLiteral("<p>caf\u00e9&nbsp;\u00a0\U0001F600 x</p>\n");
        f.editor.setPlainText(Head + line.repeated(60000) + "<zz>\n</body></html>");
        QSignalSpy done(&f.check.worker(), &CheckWorker::finished);
        f.check.CheckPage1Click();
        QVERIFY(f.check.isChecking());
        f.editor.appendPlainText(QStringLiteral("<yy>"));
        QVERIFY(done.wait(60000));
        QCOMPARE(f.check.panel()->isOutOfDate(), false);
        const int unknown = f.rowWithMessage("<zz> is not an HTML element");
        QVERIFY(unknown >= 0);
        QCOMPARE(f.list()->model()->index(unknown, ProblemsModel::LineColumn).data().toInt(),
                 60003);
        f.doubleClickRow(unknown);
        QCOMPARE(f.page.selectedText(), QStringLiteral("<zz>"));
        QVERIFY(f.rowWithMessage("<yy> is not an HTML element") >= 0);
    }

    void checkOnSave() {
        Fixture f;
        f.editor.setPlainText(Head + "</body></html>");
        f.check.pageSaved(false);
        QVERIFY(!f.check.isChecking());
        QVERIFY(f.check.panel()->isHidden());
        QSignalSpy done(&f.check.worker(), &CheckWorker::finished);
        f.check.pageSaved(true);
        QVERIFY(!f.check.panel()->isHidden());
        QVERIFY(done.wait(20000));
    }
};

VELLUMO_TEST_MAIN(TestProblemsPanel)
#include "tst_problems_panel.moc"
