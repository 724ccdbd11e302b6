// A running instance to be killed: edits a real editor page with a recovery
// journal, then waits to be killed with SIGKILL.
//   recovery_probe FOLDER EXPECTED [FILE]
// FOLDER holds the journal; FILE (when given) is opened first. Once the edits are
// done the probe writes the page's text to EXPECTED (UTF-8), prints "ready" and
// waits. tst_recovery_kill kills it and recovers the page in a new instance.
#include "recovery_page.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 3 && argc != 4)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vellumo::RecoveryPage page(QString::fromLocal8Bit(argv[1]));
    if (page.journal.path().isEmpty())
        return 3;
    if (argc == 4 && !page.doc.openFile(QString::fromLocal8Bit(argv[3])))
        return 4;
    page.window.show();
    QString error;
    const bool edited = page.edit(
        {QStringLiteral("caret:0"), QStringLiteral("type:<!-- first -->"),
         QStringLiteral("key:Return"), QStringLiteral("key:End"),
         QStringLiteral("type:Caf\u00e9\u00a0cr\u00e8me"), QStringLiteral("key:Backspace"),
         QStringLiteral("select:2,6"), QStringLiteral("wrap"),
         QStringLiteral("paste:pasted\nlines \u20ac \U0001F600\n"), QStringLiteral("undo"),
         QStringLiteral("redo"), QStringLiteral("caret:10"), QStringLiteral("key:Delete"),
         QStringLiteral("insert:<P>\u00a0</P>"), QStringLiteral("key:Return")},
        &error);
    if (!edited) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 5;
    }
    page.journal.flush();
    QFile expected(QString::fromLocal8Bit(argv[2]));
    const QByteArray text = page.text().toUtf8();
    if (!expected.open(QIODevice::WriteOnly) || expected.write(text) != text.size() ||
        !expected.flush())
        return 6;
    expected.close();
    std::printf("ready\n");
    std::fflush(stdout);
    return QApplication::exec();
}
