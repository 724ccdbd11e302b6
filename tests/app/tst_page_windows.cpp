// Two windows of the program, each a running copy with a page of its own: here
// two main windows with journals of their own in one recovery folder, as two
// copies of the program have.
#include "app/application.h"
#include "app/main_window.h"
#include "app/recovery_offer.h"
#include "document/page.h"
#include "document/page_lock.h"
#include "document/page_template.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/recovery_journal.h"
#include "files.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

using namespace vellumo;

namespace {

// One running copy: its platform, its journal and its window.
struct Copy {
    explicit Copy(const QString &recoveryFolder)
        : journal(recoveryFolder) {
        platform.writeSetting(QStringLiteral("Tip"), QStringLiteral("No"));
        windows = std::make_unique<Windows>(platform);
        main().showMaximized();
        if (journal.claim())
            document().setRecoveryJournal(&journal);
    }
    ~Copy() { windows.reset(); }
    TForm1 &main() { return windows->mainWindow(); }
    DocumentController &document() { return main().document(); }
    void type(const QString &text) { QTest::keyClicks(main().editor, text); }

    ScriptedPlatform platform;
    RecoveryJournal journal;
    std::unique_ptr<Windows> windows;
};

QString native(const QString &path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class TestPageWindows : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString recovery() const { return m_dir.filePath(QStringLiteral("recovery")); }

private Q_SLOTS:
    void init() { ScriptedPlatform::clearSettings(); }

    void eachWindowKeepsItsOwnPage() {
        writeBytes(path("a.htm"), "<P>page a</P>\n");
        writeBytes(path("b.htm"), "<P>page b</P>\n");
        auto first = std::make_unique<Copy>(recovery());
        Copy second(recovery());
        startRecoveryThenOpen(first->main(), first->journal, path("a.htm"));
        startRecoveryThenOpen(second.main(), second.journal, path("b.htm"));
        QTRY_COMPARE(first->document().CurrentFileName, native(path("a.htm")));
        QTRY_COMPARE(second.document().CurrentFileName, native(path("b.htm")));

        // Saving in one window writes its page and leaves the other's alone.
        first->type(QStringLiteral("A "));
        second.type(QStringLiteral("B "));
        QVERIFY(first->document().Save1Click());
        QCOMPARE(fileBytes(path("a.htm")), QByteArray("A <P>page a</P>\n"));
        QCOMPARE(fileBytes(path("b.htm")), QByteArray("<P>page b</P>\n"));
        QVERIFY(second.main().core().page().isModified());

        // The page open in the first window is noticed by the second; No keeps its own.
        second.platform.queueAnswer(QMessageBox::No);
        QVERIFY(!second.document().openFile(path("a.htm")));
        QCOMPARE(second.platform.texts(QStringLiteral("ask")),
                 QStringList{QStringLiteral("%1 is already open in another Vellumo window.\n\n"
                                            "Open it here as well?")
                                 .arg(native(path("a.htm")))});
        QCOMPARE(second.document().CurrentFileName, native(path("b.htm")));
        QCOMPARE(second.document().pageText(), QStringLiteral("B <P>page b</P>\n"));

        // Closing the first window gives its page free; the second goes on working.
        QVERIFY(first->main().close());
        first.reset();
        QVERIFY(second.document().Save1Click());
        QCOMPARE(fileBytes(path("b.htm")), QByteArray("B <P>page b</P>\n"));
        QVERIFY(second.document().openFile(path("a.htm")));
        QCOMPARE(second.document().pageText(), QStringLiteral("A <P>page a</P>\n"));
        QCOMPARE(second.platform.texts(QStringLiteral("ask")).size(), 1);
        QVERIFY(second.platform.unexpected.isEmpty());
    }

    void openAnywayAndReloadAskNoMore() {
        writeBytes(path("c.htm"), "<P>c</P>\n");
        Copy first(recovery());
        Copy second(recovery());
        QVERIFY(first.document().openFile(path("c.htm")));
        second.platform.queueAnswer(QMessageBox::Yes);
        QVERIFY(second.document().openFile(path("c.htm")));
        QCOMPARE(second.document().CurrentFileName, native(path("c.htm")));
        // The page already in this window is reloaded without a question.
        QVERIFY(second.document().openFile(path("c.htm")));
        QVERIFY(second.platform.answersUsed());
        QCOMPARE(second.platform.texts(QStringLiteral("ask")).size(), 1);
    }

    // Save As onto the page another window has open asks first; No writes nothing.
    void saveAsOntoAPageOpenElsewhereAsks() {
        writeBytes(path("e.htm"), "<P>e</P>\n");
        Copy first(recovery());
        Copy second(recovery());
        QVERIFY(first.document().openFile(path("e.htm")));
        second.type(QStringLiteral("mine "));
        for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            second.platform.queueFile(path("e.htm"));
            second.platform.queueAnswer(answer);
            QCOMPARE(second.document().Saveas1Click(), answer == QMessageBox::Yes);
            QCOMPARE(fileBytes(path("e.htm")) == "<P>e</P>\n", answer == QMessageBox::No);
        }
        QCOMPARE(second.platform.texts(QStringLiteral("ask")).first(),
                 QStringLiteral("%1 is already open in another Vellumo window.\n\n"
                                "Save this page over it anyway?")
                     .arg(native(path("e.htm"))));
        QVERIFY(second.platform.answersUsed());
    }

    void lockOfAGoneCopyIsIgnored() {
        // A lock file left by a copy that is no longer running (a process id
        // that cannot be alive) counts for nothing and is cleared.
        const QString page = path("d.htm");
        QDir().mkpath(recovery());
        const QString lockFile = PageLock::lockFilePath(recovery(), page);
        QVERIFY2(QFileInfo(lockFile).fileName().startsWith(QStringLiteral("d.htm.")),
                 qPrintable(lockFile));
        writeBytes(lockFile, "2147483646\nvellumo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        PageLock lock(recovery());
        QVERIFY(!lock.heldElsewhere(page));
        QVERIFY(!QFileInfo::exists(lockFile));
        QVERIFY(lock.hold(page));
        QVERIFY(QFileInfo::exists(lockFile));
        lock.release();
        QVERIFY(!QFileInfo::exists(lockFile));
    }

    void missingFileBecomesANewPageOfThatName() {
        const QString page = path("new/page.htm");
        QDir().mkpath(path("new"));
        Copy copy(recovery());
        startRecoveryThenOpen(copy.main(), copy.journal, page);
        QTRY_COMPARE(copy.document().CurrentFileName, native(page));
        QVERIFY(!QFileInfo::exists(page));
        QCOMPARE(copy.document().pageText(), pageTemplate(true));
        // Another copy is told this page is open, though it is not on disk yet.
        QVERIFY(PageLock(recovery()).heldElsewhere(page));
        copy.type(QStringLiteral("x"));
        QVERIFY(copy.document().Save1Click());
        // Saved there, without a file chooser.
        QVERIFY(copy.platform.texts(QStringLiteral("save")).isEmpty());
        QVERIFY(fileBytes(page).contains("x"));
    }

    void newWindowStartsAnEmptyCopy() {
        Copy copy(recovery());
        QAction *action = copy.main().action(QStringLiteral("NewWindow1"));
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), QStringLiteral("New &Window"));
        QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+N")));
        action->trigger();
        QCOMPARE(copy.platform.startedCopies, QList<QStringList>{QStringList{}});
    }
};

VELLUMO_TEST_MAIN(TestPageWindows)
#include "tst_page_windows.moc"
