// Saves the bytes of one file over another with writeFileDurably and exits:
//   save_probe TARGET SOURCE        the save; exit status 0 when it succeeded
//   save_probe --dry TARGET SOURCE  everything but the save
// tst_durable_save runs it under strace to kill it, or fail a system call, at
// every step of the save.
#include "editor/durable_write.h"

#include <QFile>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool dry = argc == 4 && std::strcmp(argv[1], "--dry") == 0;
    if (argc != (dry ? 4 : 3))
        return 2;
    const QString target = QString::fromLocal8Bit(argv[dry ? 2 : 1]);
    QFile source(QString::fromLocal8Bit(argv[dry ? 3 : 2]));
    if (!source.open(QIODevice::ReadOnly))
        return 2;
    const QByteArray bytes = source.readAll();
    source.close();
    const vellumo::WriteOutcome outcome =
        dry ? vellumo::WriteOutcome{} : vellumo::writeFileDurably(target, bytes);
    std::fprintf(stderr, "%s|%d\n", qPrintable(outcome.reason), outcome.oldFileKept ? 1 : 0);
    return outcome.ok() ? 0 : 1;
}
