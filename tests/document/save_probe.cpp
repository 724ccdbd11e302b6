// Saves the bytes of one file over another with writeFileDurably and exits:
//   save_probe TARGET SOURCE [SPARE-FOLDER]
// The exit status is 0 when the save succeeded, 1 when it failed.
// tst_durable_save runs it under strace to kill it, or fail a system call, at
// every step of the save. The save is fenced by two getppid() calls, which
// nothing else in the probe makes: the calls between them are the save's own.
// The probe is built without the sanitizers, whose start-up makes a varying
// number of calls, so that the calls before the fence can be counted in advance.
#include "document/durable_write.h"

#include <QFile>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    if (argc != 3 && argc != 4)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]);
    QFile source(QString::fromLocal8Bit(argv[2]));
    if (!source.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = source.readAll();
    source.close();
    ::getppid();
    const QString spare = argc == 4 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("/nowhere");
    const vellumo::WriteOutcome outcome = vellumo::writeFileDurably(target, bytes, spare);
    ::getppid();
    std::fprintf(stderr, "%s|%d\n", qPrintable(outcome.reason), outcome.oldFileKept ? 1 : 0);
    return outcome.ok() ? 0 : 1;
}
