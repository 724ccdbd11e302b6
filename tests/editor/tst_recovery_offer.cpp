#include "app/application.h"
#include "app/main_window.h"
#include "app/recovery_offer.h"
#include "editor/page_editor.h"
#include "files.h"
#include "modal.h"
#include "recovery_page.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace vellumo;

namespace {

QStringList journalsIn(const QString &folder) {
    return QDir(folder).entryList({QStringLiteral("*.vlj*")}, QDir::Files);
}

} // namespace

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestRecoveryOffer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_count = 0;

    QString fresh(const QString &what) { return m_dir.filePath(what + QString::number(++m_count)); }

    static bool offer(RecoveryPage &page) {
        return offerRecovery(page.doc, page.platform, &page.window, page.journal);
    }

    // Leaves a journal in `folder` as a run that ended without the close question
    // would; returns the page's text at the end.
    static QString leaveJournal(const QString &folder, const QString &file,
                                const QStringList &steps) {
        RecoveryPage earlier(folder);
        if (!file.isEmpty() && !earlier.doc.openFile(file))
            return QStringLiteral("<not opened>");
        if (!earlier.edit(steps))
            return QStringLiteral("<not edited>");
        return earlier.text();
    }

private Q_SLOTS:
    // The question says what would come back; Yes brings it, No discards it.
    void startupOffer_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QMessageBox::StandardButton>("answer");

        QTest::newRow("nominal: Yes recovers an untitled page") << false << QMessageBox::Yes;
        QTest::newRow("nominal: Yes recovers an opened file") << true << QMessageBox::Yes;
        QTest::newRow("nominal: No discards the changes") << true << QMessageBox::No;
    }
    void startupOffer() {
        QFETCH(bool, named);
        QFETCH(QMessageBox::StandardButton, answer);

        const QString folder = fresh(QStringLiteral("journals"));
        const QString file = fresh(QStringLiteral("page")) + QStringLiteral(".htm");
        writeBytes(file, "<HTML>\n<BODY>\n</BODY>\n</HTML>\n");
        const QString expected =
            leaveJournal(folder, named ? file : QString(),
                         {"caret:14", "type:Recovered text", "key:Return", "insert:<P>\u00a0</P>"});

        RecoveryPage now(folder);
        const QString pageBefore = now.text();
        now.platform.queueAnswer(answer);
        QCOMPARE(offer(now), answer == QMessageBox::Yes);
        QVERIFY(now.platform.answersUsed());
        QVERIFY(now.platform.unexpected.isEmpty());
        QCOMPARE(now.platform.shown.size(), 1);
        const auto &question = now.platform.shown.first();
        QCOMPARE(question.caption, QStringLiteral("Confirm"));
        const QString name = named ? QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())
                                   : QStringLiteral("Untitled");
        QVERIFY2(question.text.contains(QStringLiteral("the page %1 had unsaved").arg(name)),
                 qPrintable(question.text));
        QVERIFY2(question.text.contains(QStringLiteral("characters added")),
                 qPrintable(question.text));
        QVERIFY2(question.text.contains(QStringLiteral("Recovered text")),
                 qPrintable(question.text));
        QVERIFY(question.text.contains(QStringLiteral("No: the changes are discarded for good.")));

        if (answer == QMessageBox::Yes) {
            QCOMPARE(now.text(), expected);
            QCOMPARE(now.doc.CurrentFileName, name);
            QVERIFY(now.editor->document()->isModified());
            // The recovered page is this run's unsaved work from the start.
            QVERIFY(now.journal.recording());
            QCOMPARE(journalsIn(folder).filter(QRegularExpression(QStringLiteral("vlj$"))),
                     QStringList{QFileInfo(now.journal.path()).fileName()});
        } else {
            QCOMPARE(now.text(), pageBefore);
            QVERIFY(!now.editor->document()->isModified());
        }
        // Offered once: the old journal is gone either way.
        RecoveryPage later(folder);
        QVERIFY(!offer(later));
        QVERIFY(later.platform.shown.isEmpty());
    }

    // A journal that no longer fits its file is kept aside and the user is told;
    // no question, no page replaced.
    void changedFileIsNotApplied() {
        const QString folder = fresh(QStringLiteral("journals"));
        const QString file = fresh(QStringLiteral("page")) + QStringLiteral(".htm");
        writeBytes(file, "<HTML>\n</HTML>\n");
        leaveJournal(folder, file, {"caret:6", "type:lost?"});
        writeBytes(file, "<HTML>\nchanged elsewhere\n</HTML>\n");

        RecoveryPage now(folder);
        const QString pageBefore = now.text();
        QVERIFY(!offer(now));
        QCOMPARE(now.platform.texts(QStringLiteral("ask")).size(), 0);
        const QStringList told = now.platform.texts(QStringLiteral("information"));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(QStringLiteral("They cannot be restored")),
                 qPrintable(told.first()));
        QCOMPARE(now.text(), pageBefore);
        const QStringList aside = QDir(folder).entryList({QStringLiteral("*.rejected")});
        QCOMPARE(aside.size(), 1);
        QVERIFY(told.first().contains(aside.first()));
        // Kept, and not offered again.
        RecoveryPage later(folder);
        QVERIFY(!offer(later));
        QVERIFY(later.platform.shown.isEmpty());
    }

    // The start of a run in the real main window: earlier work is offered before
    // the command line's file opens, and never replaced by it.
    void startOfRun_data() {
        QTest::addColumn<bool>("earlierWork");
        QTest::addColumn<bool>("earlierPageWasTheFile");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("fileOpened");
        QTest::addColumn<bool>("toldFileNotOpened");

        QTest::newRow("nominal: nothing to recover, the file opens")
            << false << false << QMessageBox::NoButton << true << false;
        QTest::newRow("nominal: changes to the same file recovered")
            << true << true << QMessageBox::Yes << false << false;
        QTest::newRow("nominal: an untitled page recovered, the file waits")
            << true << false << QMessageBox::Yes << false << true;
        QTest::newRow("nominal: recovery declined, the file opens")
            << true << false << QMessageBox::No << true << false;
    }
    void startOfRun() {
        QFETCH(bool, earlierWork);
        QFETCH(bool, earlierPageWasTheFile);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, fileOpened);
        QFETCH(bool, toldFileNotOpened);

        const QString folder = fresh(QStringLiteral("journals"));
        const QString file = fresh(QStringLiteral("page")) + QStringLiteral(".htm");
        writeBytes(file, "<HTML>\n<BODY>from the file</BODY>\n</HTML>\n");
        if (earlierWork)
            leaveJournal(folder, earlierPageWasTheFile ? file : QString(),
                         {"caret:0", "type:earlier work"});

        ScriptedPlatform platform;
        ScriptedPlatform::clearSettings();
        platform.writeSetting(QStringLiteral("Tip"), QStringLiteral("No"));
        if (earlierWork)
            platform.queueAnswer(answer);
        RecoveryJournal journal(folder);
        Windows windows(platform);
        TForm1 &main = windows.mainWindow();
        main.showMaximized();
        startRecoveryThenOpen(main, journal, file);
        const QString filePath = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        if (earlierWork)
            QTRY_VERIFY(platform.answersUsed());
        if (fileOpened)
            QTRY_COMPARE(main.document().CurrentFileName, filePath);
        QVERIFY(platform.unexpected.isEmpty());

        const QString text = main.document().pageText();
        QCOMPARE(text.contains(QStringLiteral("from the file")),
                 fileOpened || earlierPageWasTheFile);
        QCOMPARE(text.contains(QStringLiteral("earlier work")), answer == QMessageBox::Yes);
        QCOMPARE(main.document().CurrentFileName == filePath, fileOpened || earlierPageWasTheFile);
        const QStringList told = platform.texts(QStringLiteral("information"));
        QCOMPARE(told.size(), toldFileNotOpened ? 1 : 0);
        if (toldFileNotOpened)
            QVERIFY2(told.first().contains(QStringLiteral("was not opened")),
                     qPrintable(told.first()));
        // A recovered page is unsaved work from the start; a clean one has no journal yet.
        QCOMPARE(journal.recording(), answer == QMessageBox::Yes);

        // Typing is journalled; closing without saving leaves nothing behind.
        QTest::keyClicks(main.editor, QStringLiteral("typed"));
        QVERIFY(journal.recording());
        QVERIFY(QFile::exists(journal.path()));
        platform.queueAnswer(QMessageBox::No);
        QVERIFY(main.close());
        QVERIFY(!QFile::exists(journal.path()));
        QVERIFY(platform.unexpected.isEmpty());
    }

    // After a crash the recovery question comes alone; the Tip of the Day opens
    // once it is answered, never on top of it.
    void tipWaitsForTheQuestion() {
        const QString folder = fresh(QStringLiteral("journals"));
        leaveJournal(folder, {}, {"caret:0", "type:earlier work"});
        ScriptedPlatform platform;
        ScriptedPlatform::clearSettings();
        platform.queueAnswer(QMessageBox::No);
        RecoveryJournal journal(folder);
        Windows windows(platform);
        TForm1 &main = windows.mainWindow();
        bool tipOpened = false;
        bool answeredBeforeTip = false;
        whenModalShown(
            [&](QWidget *modal) {
                if (modal->objectName() == QStringLiteral("Form27")) {
                    tipOpened = true;
                    answeredBeforeTip = platform.answersUsed();
                }
                modal->close();
            },
            1000);
        main.showMaximized();
        startRecoveryThenOpen(main, journal, {});
        QTRY_VERIFY(tipOpened);
        QVERIFY(answeredBeforeTip);
        const QStringList asked = platform.texts(QStringLiteral("ask"));
        QCOMPARE(asked.size(), 1);
        for (const ScriptedPlatform::Shown &box : platform.shown)
            if (box.kind == QStringLiteral("ask"))
                QCOMPARE(box.over, QString());
    }

    // The real thing: an instance types into its page and is killed with SIGKILL;
    // the next one recovers exactly the page it had.
    void killedInstance_data() {
        QTest::addColumn<bool>("named");
        QTest::newRow("nominal: untitled page") << false;
        QTest::newRow("nominal: opened file with mixed line breaks") << true;
    }
    void killedInstance() {
        QFETCH(bool, named);

        const QString folder = fresh(QStringLiteral("journals"));
        const QString expectedPath = fresh(QStringLiteral("expected"));
        const QString file = fresh(QStringLiteral("page")) + QStringLiteral(".htm");
        writeBytes(file, "<HTML>\r\n<HEAD>\n<TITLE>Caf\xc3\xa9</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
                         "\xc2\xa0</BODY>\r\n</HTML>");
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A killed process leaks by design.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        probe.setProcessEnvironment(environment);
        QStringList arguments{folder, expectedPath};
        if (named)
            arguments << file;
        probe.start(QStringLiteral(VELLUMO_RECOVERY_PROBE), arguments);
        QVERIFY(probe.waitForStarted());
        QByteArray out;
        while (!out.contains("ready") && probe.waitForReadyRead(30000))
            out += probe.readAllStandardOutput();
        QVERIFY2(out.contains("ready"), probe.readAllStandardError().constData());
        probe.kill(); // SIGKILL: no handler, no clean-up, nothing flushed on the way out
        QVERIFY(probe.waitForFinished());
        QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
        const QString expected = QString::fromUtf8(fileBytes(expectedPath));
        QVERIFY(expected.contains(QStringLiteral("Caf\u00e9\u00a0cr\u00e8m")));

        RecoveryPage next(folder);
        next.platform.queueAnswer(QMessageBox::Yes);
        QVERIFY(offer(next));
        QCOMPARE(next.text(), expected);
        QCOMPARE(next.doc.CurrentFileName,
                 named ? QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath())
                       : QStringLiteral("Untitled"));
        QVERIFY(next.editor->document()->isModified());
        if (named) {
            // Saved back, the lines the probe never touched keep their own breaks.
            QVERIFY(next.doc.Save1Click());
            const QByteArray saved = fileBytes(file);
            QVERIFY2(saved.contains("<HEAD>\n<TITLE>"), saved.constData());
            QVERIFY2(saved.contains("</HEAD>\r\n"), saved.constData());
        }
    }
};

VELLUMO_TEST_MAIN(TestRecoveryOffer)
#include "tst_recovery_offer.moc"
