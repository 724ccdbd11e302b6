#include "app/tips_file.h"

#include "document/page_file.h"

#include <QFile>
#include <QFileInfo>

namespace vellumo {

namespace {

constexpr qsizetype LongestValue = 1023;
// Far more than any tips file needs; a bigger file is not read at all.
constexpr qint64 LargestTipsFile = qint64{4} * 1024 * 1024;

QString unquoted(const QString &value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

TipsFile TipsFile::load(const QString &path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > LargestTipsFile)
        return {};
    QByteArray bytes;
    if (!readWholeFile(path, &bytes).isEmpty())
        return {};
    TipsFile file = fromText(decodePage(bytes).text);
    file.m_exists = true;
    return file;
}

TipsFile TipsFile::fromText(const QString &text) {
    TipsFile file;
    QString section;
    for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            section = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        file.m_entries.append(
            {section, line.left(equals).trimmed(), unquoted(line.mid(equals + 1).trimmed())});
    }
    return file;
}

QString TipsFile::value(const QString &section, const QString &key, const QString &fallback) const {
    for (const Entry &entry : m_entries)
        if (entry.section.compare(section, Qt::CaseInsensitive) == 0 &&
            entry.key.compare(key, Qt::CaseInsensitive) == 0)
            return entry.value.left(LongestValue);
    return fallback;
}

} // namespace vellumo
