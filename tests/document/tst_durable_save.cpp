#include "document/durable_write.h"
#include "files.h"
#include "read_only_folder.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

using namespace vellumo;

namespace {

// Every system call a save makes, each a place to kill it or make it fail.
const QString SaveCalls = QStringLiteral(
    "openat,read,write,fsync,fchmod,fchown,close,rename,renameat,renameat2,unlink,ftruncate,"
    "lseek,access,faccessat,faccessat2,newfstatat,stat,lstat,readlink,umask");

struct ProbeRun {
    int exitCode = -1;
    QString reason;
    bool oldFileKept = true;
    bool saveStarted = false;
    QMap<QString, int> before; // calls made before the save began: name -> how many
    QStringList steps;         // the save's own calls, in order
    int tampered = -1;         // the step strace failed or killed, -1 if none of the save's

    // How many calls like steps[step] the save made up to and including it.
    int occurrence(int step) const {
        return int(std::count(steps.cbegin(), steps.cbegin() + step + 1, steps.at(step)));
    }
};

// How a test's target stands.
enum class Target {
    Plain,
    HardLinked,     // shares its contents with other.htm beside it
    InLockedFolder, // the user "nobody" may write it but not its folder
};

// A copy of the probe that the user "nobody" can reach whatever folder the build is in.
QString nobodysProbe;

// Runs the save probe under strace, with `inject` (strace's -e inject=...) if given,
// as the user "nobody" for a target in a locked folder.
ProbeRun runProbe(const QStringList &probeArguments, const QString &inject = {},
                  Target kind = Target::Plain) {
    QTemporaryDir logDir;
    const QString log = logDir.filePath(QStringLiteral("calls"));
    QStringList arguments{QStringLiteral("-qq"), QStringLiteral("-o"), log, QStringLiteral("-e"),
                          QStringLiteral("trace=getppid,") + SaveCalls};
    if (!inject.isEmpty())
        arguments << QStringLiteral("-e") << QStringLiteral("inject=") + inject;
    if (kind == Target::InLockedFolder)
        arguments << QStringLiteral("-u") << QStringLiteral("nobody");
    arguments << (kind == Target::InLockedFolder ? nobodysProbe
                                                 : QStringLiteral(VELLUMO_SAVE_PROBE))
              << probeArguments;
    QProcess strace;
    strace.start(QStringLiteral("strace"), arguments);
    strace.waitForFinished(60000);
    ProbeRun run;
    run.exitCode = strace.exitStatus() == QProcess::NormalExit ? strace.exitCode() : -1;
    const QList<QByteArray> parts =
        strace.readAllStandardError().trimmed().split('\n').last().split('|');
    if (parts.size() == 2) {
        run.reason = QString::fromLocal8Bit(parts.at(0));
        run.oldFileKept = parts.at(1) == "1";
    }
    // The probe fences its save with two getppid() calls.
    int fences = 0;
    bool lastCallInSave = false;
    const QList<QByteArray> lines = fileBytes(log).split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("+++ killed by")) {
            // A killed call never returns, so it is the last one written down.
            if (run.tampered < 0 && lastCallInSave)
                run.tampered = int(run.steps.size()) - 1;
            continue;
        }
        const qsizetype paren = line.indexOf('(');
        if (paren <= 0 || line.startsWith('<') || line.startsWith("+++") || line.startsWith("---"))
            continue;
        const QString call = QString::fromLatin1(line.left(paren));
        if (call == QLatin1String("getppid")) {
            ++fences;
            lastCallInSave = false;
            continue;
        }
        lastCallInSave = fences == 1;
        if (fences == 0) {
            ++run.before[call];
        } else if (fences == 1) {
            run.steps << call;
            if (line.contains("(INJECTED)"))
                run.tampered = int(run.steps.size()) - 1;
        }
    }
    run.saveStarted = fences > 0;
    return run;
}

QStringList leftovers(const QString &folder, const QString &keep) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.removeAll(keep);
    names.removeAll(QStringLiteral("new-contents"));
    return names;
}

} // namespace

class TestDurableSave : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_old;
    QByteArray m_new;

    // A fresh target with the old contents and a source with the new ones.
    QString prepare(const QString &name, Target kind = Target::Plain) {
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder);
        const QString target = folder + QStringLiteral("/page.htm");
        const QString other = folder + QStringLiteral("/other.htm");
        QFile::remove(target);
        QFile::remove(other);
        writeBytes(target, m_old);
        writeBytes(folder + QStringLiteral("/new-contents"), m_new);
        if (kind == Target::HardLinked && ::link(QFile::encodeName(target).constData(),
                                                 QFile::encodeName(other).constData()) != 0)
            qWarning("could not link %s", qPrintable(other));
        if (kind == Target::InLockedFolder) {
            // The administrator preparing it may write anywhere; "nobody" may
            // write the page and its own spare folder only.
            const QString spareFolder = spare(name);
            QDir(spareFolder).removeRecursively();
            QDir().mkpath(spareFolder);
            if (::chown(QFile::encodeName(target).constData(), Nobody, Nobody) != 0 ||
                ::chown(QFile::encodeName(spareFolder).constData(), Nobody, Nobody) != 0 ||
                ::chmod(QFile::encodeName(folder).constData(), 0555) != 0)
                qWarning("could not hand %s to nobody", qPrintable(target));
        }
        return target;
    }
    QString source(const QString &name) const { return m_dir.filePath(name) + "/new-contents"; }
    QString spare(const QString &name) const { return m_dir.filePath(name) + "-spare"; }
    QStringList probeArguments(const QString &name, Target kind) const {
        QStringList arguments{m_dir.filePath(name) + "/page.htm", source(name)};
        if (kind == Target::InLockedFolder)
            arguments << spare(name);
        return arguments;
    }
    static constexpr uid_t Nobody = 65534;

    // Runs the save in folder `name` afresh with strace doing `action` (for
    // example "error=EIO") to the save's step `step` as the untouched run `full`
    // made it. strace counts calls from the start of the process, and the
    // start-up before the save does not always make the same number of them, so
    // a run that hit another call is made again with that run's own count.
    ProbeRun tamperWithStep(const QString &name, const ProbeRun &full, int step,
                            const QString &action, Target kind = Target::Plain) {
        const QString call = full.steps.at(step);
        const int occurrence = full.occurrence(step);
        int before = full.before.value(call);
        ProbeRun run;
        for (int attempt = 0; attempt < 5; ++attempt) {
            prepare(name, kind);
            run = runProbe(
                probeArguments(name, kind),
                QStringLiteral("%1:%2:when=%3").arg(call, action).arg(before + occurrence), kind);
            if (run.tampered >= 0 && run.steps.at(run.tampered) == call &&
                run.occurrence(run.tampered) == occurrence)
                return run;
            // Start-up made more such calls than counted when it was stopped before
            // the save; otherwise this run's own count is the one to use.
            before = run.saveStarted ? run.before.value(call) : before + occurrence;
        }
        qWarning("strace never reached %s #%d of the save", qPrintable(call), occurrence);
        run.tampered = -1;
        return run;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        // The user "nobody" reaches the locked folder's page through it.
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther));
        nobodysProbe = m_dir.filePath(QStringLiteral("save_probe"));
        QVERIFY(QFile::copy(QStringLiteral(VELLUMO_SAVE_PROBE), nobodysProbe));
        QVERIFY(QFile::setPermissions(nobodysProbe, QFile::ReadOwner | QFile::ExeOwner |
                                                        QFile::ReadOther | QFile::ExeOther));
        // Big enough to take several write calls.
        m_old = QByteArray(1500 * 1024, 'o') + "old end";
        m_new = QByteArray(2500 * 1024, 'n') + "new end";
        const ProbeRun probe = runProbe({QStringLiteral("/x"), QStringLiteral("/no-such-source")});
        QVERIFY2(probe.exitCode == 2, "strace cannot run the probe");
    }

    // The process killed before each system call of a save, one after another:
    // the file on disk is always the old version or the new one, whole.
    void killedAtEveryStep() {
        const QString target = prepare(QStringLiteral("kill"));
        const ProbeRun full = runProbe({target, source("kill")});
        QCOMPARE(full.exitCode, 0);
        QCOMPARE(fileBytes(target), m_new);
        QVERIFY2(full.steps.size() >= 8, qPrintable(full.steps.join(u',')));

        bool sawOld = false;
        bool sawNew = false;
        for (int step = 0; step < full.steps.size(); ++step) {
            const QString where = QStringLiteral("killed before %1 #%2")
                                      .arg(full.steps.at(step))
                                      .arg(full.occurrence(step));
            const ProbeRun run = tamperWithStep(QStringLiteral("kill"), full, step,
                                                QStringLiteral("error=EIO:signal=SIGKILL"));
            QVERIFY2(run.tampered >= 0 && run.exitCode != 0, qPrintable(where));
            const QByteArray now = fileBytes(target);
            QVERIFY2(now == m_old || now == m_new,
                     qPrintable(QStringLiteral("%1: %2 bytes").arg(where).arg(now.size())));
            sawOld = sawOld || now == m_old;
            sawNew = sawNew || now == m_new;
        }
        QVERIFY(sawOld && sawNew);
        qInfo("survived %d kill points", int(full.steps.size()));
    }

    // A system call of the save fails: the save reports it and the old file is
    // whole, with no temporary file left behind.
    void failedCalls_data() {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("occurrence"); // counted from the save's first such call
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("oldKept");

        // clang-format off
        QTest::newRow("robustness: disk full on the first write")
            << "write"  << 1 << "ENOSPC" << "No space left on device"     << true;
        QTest::newRow("robustness: disk full half way")
            << "write"  << 2 << "ENOSPC" << "No space left on device"     << true;
        QTest::newRow("robustness: I/O error on write")
            << "write"  << 1 << "EIO"    << "Input/output error"          << true;
        QTest::newRow("robustness: the flush fails")
            << "fsync"  << 1 << "EIO"    << "Input/output error"          << true;
        QTest::newRow("robustness: the flush finds the disk full")
            << "fsync"  << 1 << "ENOSPC" << "No space left on device"     << true;
        QTest::newRow("robustness: closing reports a lost write")
            << "close"  << 1 << "EIO"    << "Input/output error"          << true;
        QTest::newRow("robustness: permissions cannot be set")
            << "fchmod" << 1 << "EPERM"  << "Operation not permitted"     << true;
        QTest::newRow("robustness: the rename fails")
            << "rename" << 1 << "EIO"    << "Input/output error"          << true;
        QTest::newRow("robustness: the temporary file cannot be made")
            << "openat" << 1 << "EACCES" << "Permission denied"           << true;
        QTest::newRow("robustness: the folder cannot be opened to flush it")
            << "openat" << 2 << "EMFILE" << "folder could not be flushed" << false;
        QTest::newRow("robustness: the folder flush fails after the rename")
            << "fsync"  << 2 << "EIO"    << "folder could not be flushed" << false;
        // clang-format on
    }

    void failedCalls() {
        QFETCH(QString, call);
        QFETCH(int, occurrence);
        QFETCH(QString, error);
        QFETCH(QString, reason);
        QFETCH(bool, oldKept);

        const QString target = prepare(QStringLiteral("fail"));
        const ProbeRun full = runProbe({target, source("fail")});
        int step = 0;
        while (step < full.steps.size() &&
               !(full.steps.at(step) == call && full.occurrence(step) == occurrence))
            ++step;
        QVERIFY2(step < full.steps.size(), qPrintable(full.steps.join(u',')));
        const ProbeRun run =
            tamperWithStep(QStringLiteral("fail"), full, step, QStringLiteral("error=") + error);
        QVERIFY(run.tampered >= 0);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.reason.contains(reason), qPrintable(run.reason));
        QCOMPARE(run.oldFileKept, oldKept);
        QCOMPARE(fileBytes(target), oldKept ? m_old : m_new);
        QCOMPARE(leftovers(m_dir.filePath(QStringLiteral("fail")), QStringLiteral("page.htm")),
                 QStringList());
    }

    // A real full disk: a tiny file system that cannot take the new version.
    void fullDisk() {
        QVERIFY2(geteuid() == 0, "mounting the tiny file system needs the administrator");
        QTemporaryDir mountPoint;
        QCOMPARE(QProcess::execute(QStringLiteral("mount"),
                                   {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint.path()}),
                 0);
        const QString target = mountPoint.filePath(QStringLiteral("page.htm"));
        writeBytes(target, QByteArray(40 * 1024, 'o'));
        const WriteOutcome outcome = writeFileDurably(target, QByteArray(48 * 1024, 'n'));
        const QByteArray after = fileBytes(target);
        const QStringList left = QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden);
        QProcess::execute(QStringLiteral("umount"), {mountPoint.path()});
        QCOMPARE(outcome.reason, QStringLiteral("No space left on device"));
        QVERIFY(outcome.oldFileKept);
        QCOMPARE(after, QByteArray(40 * 1024, 'o'));
        QCOMPARE(left, QStringList{"page.htm"});
    }

    void refusedTargets_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("robustness: a read-only file") << "read-only file"
                                                      << "The file is read-only.";
        QTest::newRow("robustness: a read-only folder") << "read-only folder"
                                                        << "Read-only file system";
    }
    void refusedTargets() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QString target;
        QByteArray old = m_old;
        std::unique_ptr<ReadOnlyFolder> folder;
        if (kind == QLatin1String("read-only file")) {
            target = prepare(QStringLiteral("read-only"));
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        } else {
            old = "a small page";
            folder = std::make_unique<ReadOnlyFolder>(QStringLiteral("page.htm"), old);
            QVERIFY(folder->ready());
            target = folder->path(QStringLiteral("page.htm"));
            if (geteuid() != 0)
                reason = QStringLiteral("The file is read-only.");
        }
        const WriteOutcome outcome = writeFileDurably(target, m_new);
        QCOMPARE(outcome.reason, reason);
        QVERIFY(outcome.oldFileKept);
        QCOMPARE(fileBytes(target), old);
    }

    // What the target is keeps being what it is: its permissions, a symbolic link
    // to it, the hard links that share it.
    void targetKeepsItsNature() {
        const QString target = prepare(QStringLiteral("nature"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        const QString link = m_dir.filePath(QStringLiteral("nature/link.htm"));
        QVERIFY(QFile::link(QStringLiteral("page.htm"), link));
        const QString hard = m_dir.filePath(QStringLiteral("nature/hard.htm"));
        QCOMPARE(::link(QFile::encodeName(target).constData(), QFile::encodeName(hard).constData()),
                 0);

        // Through the symbolic link: the link stays, the file it names changes.
        QVERIFY(writeFileDurably(link, "through the link").ok());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(fileBytes(target), QByteArray("through the link"));
        // Hard links still share the contents; no safety copy is left.
        QCOMPARE(fileBytes(hard), QByteArray("through the link"));
        QVERIFY(writeFileDurably(hard, "shared").ok());
        QCOMPARE(fileBytes(target), QByteArray("shared"));
        QVERIFY(!QFile::exists(hard + u'~'));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        QCOMPARE(st.st_nlink, nlink_t(2));

        // A dangling link creates the file it points at.
        const QString dangling = m_dir.filePath(QStringLiteral("nature/dangling.htm"));
        QVERIFY(QFile::link(QStringLiteral("created.htm"), dangling));
        QVERIFY(writeFileDurably(dangling, "new file").ok());
        QVERIFY(QFileInfo(dangling).isSymLink());
        QCOMPARE(fileBytes(m_dir.filePath(QStringLiteral("nature/created.htm"))),
                 QByteArray("new file"));
    }

    // A hard-linked file killed half way through its rewrite in place: the safety
    // copy beside it holds the old contents whole.
    void hardLinkedFileKilledHalfWay() {
        const QString target = prepare(QStringLiteral("hard"), Target::HardLinked);
        const QString other = m_dir.filePath(QStringLiteral("hard/other.htm"));
        const ProbeRun full = runProbe({target, source("hard")});
        QCOMPARE(full.exitCode, 0);
        QCOMPARE(fileBytes(other), m_new);
        QVERIFY(full.steps.contains(QStringLiteral("write")));
        for (int step = 0; step < full.steps.size(); ++step) {
            if (full.steps.at(step) != QLatin1String("write"))
                continue;
            const ProbeRun run =
                tamperWithStep(QStringLiteral("hard"), full, step,
                               QStringLiteral("error=EIO:signal=SIGKILL"), Target::HardLinked);
            QVERIFY(run.tampered >= 0);
            const QByteArray now = fileBytes(target);
            QVERIFY2(now == m_old || now == m_new || fileBytes(target + u'~') == m_old,
                     qPrintable(QStringLiteral("write #%1").arg(full.occurrence(step))));
            QCOMPARE(fileBytes(other), now);
        }
    }

    // A page the user may write in a folder the user may not is written in place;
    // while the write lasts its old contents are kept in the spare folder, and
    // killed at any write, the page or that copy holds them whole.
    void pageInALockedFolder() {
        if (geteuid() != 0)
            QSKIP("the save is made as another user, which only the administrator can become");
        const QString target = prepare(QStringLiteral("locked"), Target::InLockedFolder);
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &before), 0);
        const ProbeRun full =
            runProbe(probeArguments(QStringLiteral("locked"), Target::InLockedFolder), {},
                     Target::InLockedFolder);
        QCOMPARE(full.exitCode, 0);
        QCOMPARE(fileBytes(target), m_new);
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_uid, Nobody);
        QCOMPARE(QDir(spare(QStringLiteral("locked"))).entryList(QDir::Files | QDir::Hidden),
                 QStringList());
        int writes = 0;
        for (int step = 0; step < full.steps.size(); ++step) {
            if (full.steps.at(step) != QLatin1String("write"))
                continue;
            ++writes;
            const ProbeRun run =
                tamperWithStep(QStringLiteral("locked"), full, step,
                               QStringLiteral("error=EIO:signal=SIGKILL"), Target::InLockedFolder);
            QVERIFY(run.tampered >= 0);
            const QByteArray now = fileBytes(target);
            const QStringList copies =
                QDir(spare(QStringLiteral("locked"))).entryList(QDir::Files | QDir::Hidden);
            const bool copyWhole = copies.size() == 1 && fileBytes(spare(QStringLiteral("locked")) +
                                                                   u'/' + copies.first()) == m_old;
            QVERIFY2(now == m_old || now == m_new || copyWhole,
                     qPrintable(QStringLiteral("write #%1").arg(full.occurrence(step))));
        }
        // The copy and the page, each written in several calls.
        QVERIFY(writes >= 4);
    }
};

VELLUMO_TEST_MAIN(TestDurableSave)
#include "tst_durable_save.moc"
