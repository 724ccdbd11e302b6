// The program's command line, run as a user runs it: the built executable with a
// settings and data folder of its own.
#include "document/page_lock.h"
#include "files.h"
#include "test_main.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

using namespace vellumo;

class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString recovery() const { return path(QStringLiteral("data/Vellumo/Vellumo/recovery")); }

    // The program, started in the scratch folder with its own settings and data.
    void prepare(QProcess &program, const QStringList &arguments) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(m_dir.path());
        program.setProgram(QStringLiteral(VELLUMO_PROGRAM));
        program.setArguments(arguments);
    }

    // The process id of the running copy that has the page open, 0 when none.
    qint64 ownerOf(const QString &page) const {
        QLockFile lock(PageLock::lockFilePath(recovery(), page));
        qint64 pid = 0;
        QString host;
        QString application;
        if (!QFileInfo::exists(PageLock::lockFilePath(recovery(), page)) ||
            !lock.getLockInfo(&pid, &host, &application))
            return 0;
        return pid;
    }

private Q_SLOTS:
    void initTestCase() {
        QDir().mkpath(path(QStringLiteral("config/Vellumo")));
        // No Tip of the Day over the window.
        writeBytes(path(QStringLiteral("config/Vellumo/Vellumo.conf")), "[General]\nTip=No\n");
        QDir().mkpath(path(QStringLiteral("folder")));
    }

    void refusedLines_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("an unknown option")
            << QStringList{"--frobnicate"}
            << QStringLiteral("vellumo: Unknown option 'frobnicate'.");
        QTest::newRow("a missing value")
            << QStringList{"--screenshot"}
            << QStringLiteral("vellumo: Missing value after '--screenshot'.");
        QTest::newRow("a folder") << QStringList{"page.htm", "folder"}
                                  << QStringLiteral("vellumo: folder is a folder, not a page.");
    }
    void refusedLines() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess program;
        prepare(program, arguments);
        program.start();
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(errors.startsWith(message + u'\n'), qPrintable(errors));
        QVERIFY(program.readAllStandardOutput().isEmpty());
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("page.htm"))));
    }

    void helpAndVersionEndNormally() {
        QProcess program;
        prepare(program, {QStringLiteral("--help")});
        program.start();
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        const QString help = QString::fromLocal8Bit(program.readAllStandardOutput());
        QVERIFY2(help.contains(QStringLiteral("--screenshot <png>")), qPrintable(help));
        QVERIFY2(help.contains(QStringLiteral("each in a window of its own")), qPrintable(help));
    }

    void severalPagesOpenInCopiesOfTheirOwn() {
        writeBytes(path(QStringLiteral("a.htm")), "<P>a</P>\n");
        QProcess program;
        // b.htm is not there yet: it opens as a new page of that name.
        prepare(program, {QStringLiteral("a.htm"), QStringLiteral("b.htm")});
        program.start();
        QVERIFY(program.waitForStarted());
        // Each page is held by a running copy of its own: this one has a.htm, the
        // copy it started has b.htm.
        QTRY_VERIFY_WITH_TIMEOUT(ownerOf(path(QStringLiteral("a.htm"))) != 0, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(ownerOf(path(QStringLiteral("b.htm"))) != 0, 60000);
        const qint64 first = ownerOf(path(QStringLiteral("a.htm")));
        const qint64 second = ownerOf(path(QStringLiteral("b.htm")));
        QCOMPARE(first, program.processId());
        QVERIFY(second != first);
        QVERIFY(PageLock(recovery()).heldElsewhere(path(QStringLiteral("a.htm"))));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("b.htm"))));

        // Both end without a trace of their locks being taken for live ones.
        ::kill(static_cast<pid_t>(second), SIGKILL);
        program.kill();
        QVERIFY(program.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(!PageLock(recovery()).heldElsewhere(path(QStringLiteral("b.htm"))),
                                 30000);
        QVERIFY(!PageLock(recovery()).heldElsewhere(path(QStringLiteral("a.htm"))));
    }
};

VELLUMO_TEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
