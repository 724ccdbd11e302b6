#include "files.h"
#include "recovery_page.h"
#include "test_main.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <unistd.h>

using namespace vellumo;

namespace {

const QByteArray NamedPage = "<HTML>\r\n<BODY>\r\nT\xc3\xabxt\xc2\xa0with a non-breaking space\r\n"
                             "</BODY>\r\n</HTML>\r\n";

// A folder on a disk of its own, 256 KiB small, to be filled up (root only).
class TinyDisk {
public:
    TinyDisk() {
        m_mounted = geteuid() == 0 &&
                    QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=256k",
                                                                "tmpfs", m_dir.path()}) == 0;
    }
    ~TinyDisk() {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    TinyDisk(const TinyDisk &) = delete;
    TinyDisk &operator=(const TinyDisk &) = delete;

    bool ready() const { return m_mounted; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Fills what is left of the disk.
    void fill() {
        QFile filler(path(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }
    void makeRoom() { QFile::remove(path(QStringLiteral("filler"))); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class TestRecoveryJournal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A folder of journals of its own for each test.
    QString freshFolder() { return m_dir.filePath(QStringLiteral("j%1").arg(++m_folders)); }

    QString namedFile(const QByteArray &bytes = NamedPage) {
        const QString path = m_dir.filePath(QStringLiteral("page%1.htm").arg(++m_folders));
        writeBytes(path, bytes);
        return path;
    }

    static RecoveredPage recover(const RecoveryPage &page) {
        return recoverJournal(page.journal.path(), *page.editor->document());
    }

private Q_SLOTS:
    // Whatever the user does to the page, the journal rebuilds it character for character.
    void roundTrip_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("steps");

        const QList<std::pair<const char *, QStringList>> scripts{
            {"typing", {"caret:0", "type:Hello"}},
            {"typing at the end, with line breaks", {"key:End", "type:a", "key:Return", "type:b"}},
            {"Backspace and Delete", {"caret:5", "key:Backspace", "key:Backspace", "key:Delete"}},
            {"paste of several lines", {"caret:3", "paste:one\ntwo\r\nthree\n"}},
            {"a selection replaced by typing", {"select:1,9", "type:X"}},
            {"a selection across lines replaced", {"select:2,40", "paste:joined"}},
            {"undo and redo", {"caret:4", "type:abc", "key:Return", "undo", "undo", "redo"}},
            {"a wrap insertion", {"select:2,7", "wrap"}},
            {"an insertion with a line break", {"caret:0", "insert:<P>\n</P>"}},
            {"non-ASCII and a surrogate pair", {"caret:1", "insert:\u00e9\u20ac\U0001F600\u4e2d"}},
            {"non-breaking spaces typed and pasted",
             {"caret:2", "type:a\u00a0b", "paste:\u00a0\u00a0"}},
            {"everything deleted", {"select:0,end", "key:Delete"}},
            {"everything deleted, then typed again", {"select:0,end", "key:Delete", "type:new"}},
            {"the end of the page edited", {"select:30,end", "key:Backspace", "type:tail"}},
        };
        for (bool named : {false, true})
            for (const auto &[name, steps] : scripts)
                QTest::newRow(qPrintable(
                    QStringLiteral("nominal: %1 (%2)")
                        .arg(QLatin1String(name), named ? QStringLiteral("opened file")
                                                        : QStringLiteral("untitled page"))))
                    << named << steps;
        QTest::newRow("robustness: undo back to the opened page, then a change")
            << true << QStringList{"caret:3", "type:xy", "undo", "caret:0", "type:z"};
        QTest::newRow("robustness: the whole text set at once, then typed into")
            << true
            << QStringList{"caret:3", "type:ab", "replace:other\ntext", "caret:2", "type:x"};
        QTest::newRow("robustness: the whole text of an untitled page set, then typed into")
            << false << QStringList{"replace:other\ntext", "caret:2", "type:x", "key:Return"};
        QTest::newRow("robustness: a change of look, then typing")
            << true << QStringList{"grey", "caret:1", "type:x"};
        QTest::newRow("robustness: many small edits")
            << false << QStringList{"caret:0",       "type:abcdefghijklmnopqrstuvwxyz",
                                    "key:Return",    "type:ABCDEFGHIJ",
                                    "key:Backspace", "key:Backspace",
                                    "key:Left",      "key:Left",
                                    "type:--",       "undo",
                                    "redo"};
    }
    void roundTrip() {
        QFETCH(bool, named);
        QFETCH(QStringList, steps);

        RecoveryPage page(freshFolder());
        if (named)
            QVERIFY(page.doc.openFile(namedFile()));
        QString error;
        QVERIFY2(page.edit(steps, &error), qPrintable(error));
        page.journal.flush();
        QVERIFY(page.journal.recording());

        const RecoveredPage recovered = recover(page);
        QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
        QCOMPARE(journalText(*recovered.document), page.text());
        QCOMPARE(recovered.fileName, page.doc.CurrentFileName);
        QCOMPARE(recovered.format, page.doc.format);
        QVERIFY(recovered.lastChange.isValid());
    }

    // The question counts every character added and removed, the first change
    // (which an untitled page's snapshot already holds) included.
    void countsIncludeTheFirstChange_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("removed");
        for (bool named : {false, true}) {
            const QString kind =
                named ? QStringLiteral(" (opened file)") : QStringLiteral(" (untitled page)");
            QTest::newRow(qPrintable("nominal: typing" + kind))
                << named << QStringList{"caret:0", "type:abc"} << 3 << 0;
            QTest::newRow(qPrintable("nominal: one paste" + kind))
                << named << QStringList{"caret:2", "paste:hello world"} << 11 << 0;
            QTest::newRow(qPrintable("nominal: one deletion" + kind))
                << named << QStringList{"select:0,5", "key:Delete"} << 0 << 5;
        }
    }
    void countsIncludeTheFirstChange() {
        QFETCH(bool, named);
        QFETCH(QStringList, steps);
        RecoveryPage page(freshFolder());
        if (named)
            QVERIFY(page.doc.openFile(namedFile()));
        QVERIFY(page.edit(steps));
        page.journal.flush();
        const RecoveredPage recovered = recover(page);
        QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
        QFETCH(int, added);
        QFETCH(int, removed);
        QCOMPARE(recovered.charactersAdded, qint64(added));
        QCOMPARE(recovered.charactersRemoved, qint64(removed));
        QVERIFY(!recovered.excerpt.isEmpty());
    }

    // A clean page leaves no journal, and a page whose changes are all undone or
    // saved has nothing to offer.
    void nothingToRecover_data() {
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("journalFile");

        QTest::newRow("nominal: opened, not edited") << true << QStringList{} << false;
        QTest::newRow("nominal: untitled, not edited") << false << QStringList{} << false;
        QTest::newRow("nominal: typed, then undone")
            << true << QStringList{"caret:2", "type:ab", "undo"} << true;
        QTest::newRow("nominal: only the look changed, and the page declared clean")
            << false << QStringList{"grey", "clean"} << true;
        QTest::newRow("nominal: the whole text set while clean")
            << false << QStringList{"replace:x"} << false;
        QTest::newRow("nominal: untitled, typed, then undone")
            << false << QStringList{"caret:2", "type:ab", "undo"} << true;
    }
    void nothingToRecover() {
        QFETCH(bool, named);
        QFETCH(QStringList, steps);
        QFETCH(bool, journalFile);

        RecoveryPage page(freshFolder());
        if (named)
            QVERIFY(page.doc.openFile(namedFile()));
        QVERIFY(page.edit(steps));
        QCOMPARE(page.journal.recording(), journalFile);
        if (journalFile)
            QCOMPARE(int(recover(page).outcome), int(RecoveredPage::Outcome::NothingToRecover));
    }

    // A recovered page keeps the bytes of the lines the changes left alone, as the page
    // would have without the crash: a byte not valid in UTF-8 is written back as it was,
    // before and after a save.
    void recoveredPageKeepsItsLinesBytes() {
        const QString file = m_dir.filePath(QStringLiteral("odd.htm"));
        const QByteArray mark("\xEF\xBB\xBF"); // read as UTF-8, whatever follows
        const QByteArray body("<p>caf\xC3\xA9</p>\n<p>bad \xFF byte</p>\n<p>end</p>\n");
        const QByteArray bytes = mark + body;
        writeBytes(file, bytes);
        for (const bool savedBefore : {false, true}) {
            RecoveryPage page(freshFolder());
            QVERIFY(page.doc.openFile(file));
            QVERIFY(page.edit({"caret:0", "type:X"}));
            if (savedBefore) {
                QVERIFY(page.doc.Save1Click());
                QVERIFY(page.edit({"type:Y"}));
            }
            RecoveredPage recovered = recover(page);
            QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
            RecoveryPage after(freshFolder());
            after.doc.showRecoveredPage(std::move(recovered));
            QVERIFY(after.doc.Save1Click());
            QCOMPARE(fileBytes(file), mark + (savedBefore ? "XY" : "X") + body);
            writeBytes(file, bytes);
        }
    }

    // The journal goes when the changes are saved or given up, and starts again
    // with the next change.
    void removedOnCleanSaveAndClose() {
        RecoveryPage page(freshFolder());
        const QString path = page.journal.path();
        QVERIFY(page.edit({"caret:0", "type:one"}));
        QVERIFY(QFile::exists(path));

        page.platform.queueFile(m_dir.filePath(QStringLiteral("saved.htm")));
        QVERIFY(page.doc.Save1Click());
        QVERIFY(!QFile::exists(path));

        QVERIFY(page.edit({"type:two"}));
        QVERIFY(QFile::exists(path));
        // Recovered from the saved file, not from the untitled page it was.
        const RecoveredPage recovered = recover(page);
        QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
        QCOMPARE(journalText(*recovered.document), page.text());
        QCOMPARE(recovered.fileName,
                 QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("saved.htm"))));

        page.platform.queueAnswer(QMessageBox::Cancel);
        QVERIFY(!page.doc.FormCloseQuery());
        QVERIFY(QFile::exists(path)); // the window stays, and so does the journal
        page.platform.queueAnswer(QMessageBox::No);
        QVERIFY(page.doc.FormCloseQuery());
        QVERIFY(!QFile::exists(path));
        QVERIFY(page.platform.unexpected.isEmpty());
    }

    // A program ended without the close question keeps unsaved changes for the
    // next start, and nothing when there were none.
    void endOfRunKeepsOnlyUnsavedWork() {
        const QString folder = freshFolder();
        QString kept;
        QString dropped;
        {
            RecoveryPage withChanges(folder);
            RecoveryPage undone(folder);
            QVERIFY(withChanges.edit({"caret:0", "type:x"}));
            QVERIFY(undone.edit({"caret:0", "type:x", "undo"}));
            kept = withChanges.journal.path();
            dropped = undone.journal.path();
        }
        QVERIFY(QFile::exists(kept));
        QVERIFY(!QFile::exists(dropped));
    }

    // Changes are never applied to a file that changed after they were made.
    void changedFileGuard_data() {
        QTest::addColumn<QByteArray>("newContents"); // empty: the file is deleted
        QTest::addColumn<int>("outcome");

        QTest::newRow("nominal: the file is as it was")
            << NamedPage << int(RecoveredPage::Outcome::Recovered);
        QTest::newRow("robustness: another program added a line")
            << NamedPage + "<!-- more -->\r\n"
            << int(RecoveredPage::Outcome::FileChanged);
        QTest::newRow("robustness: same size, one byte different")
            << QByteArray(NamedPage).replace("BODY", "body")
            << int(RecoveredPage::Outcome::FileChanged);
        QTest::newRow("robustness: the file was deleted")
            << QByteArray() << int(RecoveredPage::Outcome::FileChanged);
    }
    void changedFileGuard() {
        QFETCH(QByteArray, newContents);
        QFETCH(int, outcome);

        for (const bool recoveredBefore : {false, true}) {
            RecoveryPage page(freshFolder());
            const QString file = namedFile();
            QVERIFY(page.doc.openFile(file));
            if (recoveredBefore) {
                // A page recovered once is kept whole in the journal; the file
                // it belongs to is still checked.
                QVERIFY(page.edit({"caret:0", "type:x"}));
                RecoveredPage again = recover(page);
                page.doc.showRecoveredPage(std::move(again));
            }
            QVERIFY(page.edit({"caret:3", "type:typed"}));
            if (newContents.isEmpty())
                QVERIFY(QFile::remove(file));
            else
                writeBytes(file, newContents);
            const RecoveredPage recovered = recover(page);
            QCOMPARE(int(recovered.outcome), outcome);
            if (outcome == int(RecoveredPage::Outcome::Recovered))
                QCOMPARE(journalText(*recovered.document), page.text());
            else
                QVERIFY(!recovered.problem.isEmpty());
        }
    }

    // A journal cut short by a crash gives back every change before the cut; one
    // that is not a journal at all gives nothing.
    void damagedJournal_data() {
        // bytes cut from the end; -1: overwritten with junk; -2: an older format's first line
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("lastEditLost");

        QTest::newRow("nominal: whole") << 0 << int(RecoveredPage::Outcome::Recovered) << false;
        QTest::newRow("robustness: last record cut short")
            << 3 << int(RecoveredPage::Outcome::Recovered) << true;
        QTest::newRow("robustness: only the checksum missing")
            << 4 << int(RecoveredPage::Outcome::Recovered) << true;
        QTest::newRow("robustness: not a journal")
            << -1 << int(RecoveredPage::Outcome::Unreadable) << false;
        QTest::newRow("robustness: a journal of the first format")
            << -2 << int(RecoveredPage::Outcome::Unreadable) << false;
    }
    void damagedJournal() {
        QFETCH(int, cut);
        QFETCH(int, outcome);
        QFETCH(bool, lastEditLost);

        RecoveryPage page(freshFolder());
        QVERIFY(page.edit({"caret:0", "type:abc"}));
        const QString before = page.text();
        QVERIFY(page.edit({"type:d"}));
        QByteArray bytes = fileBytes(page.journal.path());
        QVERIFY(bytes.startsWith("Vellumo journal 2\n"));
        if (cut == -2)
            bytes.replace(0, 18, "Vellumo journal 1\n");
        else
            bytes = cut < 0 ? QByteArray("junk") + bytes.mid(4) : bytes.chopped(cut);
        const QString copy = page.journal.path() + QStringLiteral(".copy");
        writeBytes(copy, bytes);
        const RecoveredPage recovered = recoverJournal(copy, *page.editor->document());
        QCOMPARE(int(recovered.outcome), outcome);
        if (outcome == int(RecoveredPage::Outcome::Recovered))
            QCOMPARE(journalText(*recovered.document), lastEditLost ? before : page.text());
    }

    // Figures for a big page, when asked for (VELLUMO_RECOVERY_FIGURES=1): what the
    // journal adds to opening, to each keystroke, and what a recovery costs.
    void bigPageFigures() {
        if (qEnvironmentVariableIsEmpty("VELLUMO_RECOVERY_FIGURES"))
            QSKIP("figures only on request");
        QByteArray line =
            "<P>Some ordinary text of a page, with a <A HREF=\"x.htm\">link</A>.</P>\n";
        QByteArray bytes;
        while (bytes.size() < 50 * 1024 * 1024)
            bytes += line;
        const QString file = namedFile(bytes);
        QElapsedTimer clock;
        for (const bool journalled : {false, true}) {
            RecoveryPage page(freshFolder());
            if (!journalled)
                page.doc.setRecoveryJournal(nullptr);
            clock.start();
            QVERIFY(page.doc.openFile(file));
            const qint64 openMs = clock.elapsed();
            page.editor->moveCursor(QTextCursor::End);
            constexpr int Keys = 2000;
            clock.start();
            for (int i = 0; i < Keys; ++i)
                page.core.InsertAtCaret(QStringLiteral("x"));
            const qint64 typeNs = clock.nsecsElapsed() / Keys;
            qInfo("%s: open %lld ms, %lld us per insertion", journalled ? "journal" : "no journal",
                  openMs, typeNs / 1000);
            if (journalled) {
                clock.start();
                page.journal.flush();
                const RecoveredPage recovered = recover(page);
                qInfo("journal file %lld bytes; recovery of %lld characters: %lld ms",
                      QFileInfo(page.journal.path()).size(),
                      page.editor->document()->characterCount() * 1LL, clock.elapsed());
                QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
                QCOMPARE(recovered.document->characterCount(),
                         page.editor->document()->characterCount());
            }
        }
    }

    // A full disk stops the journal without stopping the user; once there is room
    // again, the journal starts over from the whole page.
    void diskFullWhileTyping() {
        TinyDisk disk;
        if (!disk.ready())
            QSKIP("needs root to mount a small disk");
        RecoveryPage page(disk.path(QStringLiteral("journals")));
        page.journal.setRetryDelay(0);
        QVERIFY(page.edit({"caret:0", "type:before"}));
        QVERIFY(page.journal.recording());
        disk.fill();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "recovery journal .* cannot be written")));
        QVERIFY(page.edit({QStringLiteral("paste:") + QString(20000, u'p')}));
        QVERIFY(!page.journal.recording());
        QVERIFY(!QFile::exists(page.journal.path())); // never a journal with a change missing

        disk.makeRoom();
        QVERIFY(page.edit({"type:after"}));
        QVERIFY(page.journal.recording());
        const RecoveredPage recovered = recover(page);
        QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
        QCOMPARE(journalText(*recovered.document), page.text());
        QVERIFY(page.text().contains(QStringLiteral("beforeppp")));
    }

    // A running instance's journal is never taken by another; a dead one's is.
    void lock() {
        const QString folder = freshFolder();
        auto first = std::make_unique<RecoveryPage>(folder);
        RecoveryPage second(folder);
        QVERIFY(first->edit({"caret:0", "type:live work"}));
        QVERIFY(second.journal.path() != first->journal.path());
        QVERIFY(claimOrphanedJournals(folder, second.journal.path()).empty());

        // A journal whose lock names a process that is gone is free to take.
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const QString dead = QDir(folder).filePath(QStringLiteral("page-dead.vlj"));
        QVERIFY(QFile::copy(first->journal.path(), dead));
        writeBytes(dead + QStringLiteral(".lock"), QByteArray::number(deadPid) + "\ntrue\n" +
                                                       QSysInfo::machineHostName().toUtf8() + "\n");
        // A lock file left by an instance that died before writing a journal is cleared.
        const QString leftoverLock = QDir(folder).filePath(QStringLiteral("page-x.vlj.lock"));
        writeBytes(leftoverLock, QByteArray::number(deadPid) + "\ntrue\n" +
                                     QSysInfo::machineHostName().toUtf8() + "\n");

        std::vector<OrphanedJournal> orphans = claimOrphanedJournals(folder, second.journal.path());
        QCOMPARE(orphans.size(), size_t(1));
        QCOMPARE(orphans.front().path, dead);
        QVERIFY(!QFile::exists(leftoverLock));
        // While this instance holds it, a third one does not get it.
        QVERIFY(claimOrphanedJournals(folder, QString()).empty());
        orphans.clear();

        // The first instance ends with its work unsaved: now its journal is free too.
        const QString firstPath = first->journal.path();
        first.reset();
        orphans = claimOrphanedJournals(folder, second.journal.path());
        QStringList paths;
        for (const OrphanedJournal &orphan : orphans)
            paths.append(orphan.path);
        QVERIFY2(paths.contains(firstPath), qPrintable(paths.join(u',')));
    }
};

VELLUMO_TEST_MAIN(TestRecoveryJournal)
#include "tst_recovery_journal.moc"
