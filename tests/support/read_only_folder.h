#pragma once

// A folder whose files cannot be written or replaced. As an ordinary user that is
// a folder and a file without write permission (a writable file in a locked folder
// is written in place); as root (where permissions do not stop anything) it is a
// small tmpfs mounted read-only over a temporary folder.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <unistd.h>

namespace vellumo {

class ReadOnlyFolder {
public:
    // Creates the folder holding `fileName` with `contents`, then makes it read-only.
    ReadOnlyFolder(const QString &fileName, const QByteArray &contents) {
        m_root = geteuid() == 0;
        if (m_root) {
            m_mounted = run({"-t", "tmpfs", "-o", "size=1m", "tmpfs", m_dir.path()});
            if (!m_mounted)
                return;
        }
        QFile file(path(fileName));
        m_ready = file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
        file.close();
        if (m_root)
            m_ready = m_ready && run({"-o", "remount,ro", m_dir.path()});
        else
            m_ready = m_ready && QFile::setPermissions(path(fileName), QFile::ReadOwner) &&
                      QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder() {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
        else
            QFile::setPermissions(m_dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool ready() const { return m_ready; }
    QString path(const QString &fileName) const { return m_dir.filePath(fileName); }

private:
    static bool run(const QStringList &arguments) {
        return QProcess::execute(QStringLiteral("mount"), arguments) == 0;
    }

    QTemporaryDir m_dir;
    bool m_root = false;
    bool m_mounted = false;
    bool m_ready = false;
};

} // namespace vellumo
