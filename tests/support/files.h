#pragma once

// Whole files in tests: written with every byte checked, read back for comparison.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace vellumo {

inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The file's bytes, or "<unreadable>" when it cannot be read.
inline QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace vellumo
