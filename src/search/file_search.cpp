#include "search/file_search.h"

#include "document/page_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <utility>

namespace vellumo {

namespace {

// Lines longer than this are shown cut down to the part around the match.
constexpr int ShownLineLength = 240;

QString reasonOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QRegularExpression fileNameFilter(const QString &patterns) {
    QStringList parts;
    for (const QString &pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (!trimmed.isEmpty())
            parts << QRegularExpression::wildcardToRegularExpression(
                trimmed, QRegularExpression::UnanchoredWildcardConversion);
    }
    if (parts.isEmpty())
        parts << QStringLiteral(".*");
    return QRegularExpression(QStringLiteral("\\A(?:%1)\\z").arg(parts.join(u'|')),
                              QRegularExpression::CaseInsensitiveOption);
}

class Walker {
public:
    Walker(const FileSearchRequest &request, const std::function<void(FileResult)> &found,
           const std::function<void(SkippedEntry)> &skipped, const std::atomic_bool &cancel,
           const std::function<void(const FileSearchTotals &)> &progress)
        : m_request(request)
        , m_found(found)
        , m_skipped(skipped)
        , m_cancel(cancel)
        , m_progress(progress)
        , m_filter(fileNameFilter(request.filePatterns)) {
        m_sinceProgress.start();
    }

    FileSearchTotals run() {
        const QString folder = QDir::cleanPath(m_request.folder);
        walk(folder);
        m_totals.stopped = m_cancel.load();
        return m_totals;
    }

private:
    void skip(const QString &path, const QString &reason) {
        ++m_totals.unreadable;
        m_skipped(SkippedEntry{QDir::toNativeSeparators(path), reason});
    }

    void walk(const QString &folder) {
        if (m_cancel.load(std::memory_order_relaxed))
            return;
        const QByteArray native = QFile::encodeName(folder);
        struct stat info {};
        if (::stat(native.constData(), &info) != 0) {
            skip(folder, reasonOf(errno));
            return;
        }
        // A folder seen before (through a symbolic link) is not searched again.
        if (!m_seen.insert({info.st_dev, info.st_ino}).second)
            return;
        DIR *dir = ::opendir(native.constData());
        if (dir == nullptr) {
            skip(folder, reasonOf(errno));
            return;
        }
        std::vector<QByteArray> names;
        errno = 0;
        while (const dirent *entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        }
        const int readError = errno;
        ::closedir(dir);
        if (readError != 0)
            skip(folder, reasonOf(readError));
        std::sort(names.begin(), names.end());
        std::vector<QString> subfolders;
        for (const QByteArray &name : names) {
            if (m_cancel.load(std::memory_order_relaxed))
                return;
            const QString path = folder + u'/' + QFile::decodeName(name);
            const QByteArray entryPath = native + '/' + name;
            struct stat entryInfo {};
            if (::stat(entryPath.constData(), &entryInfo) != 0) {
                skip(path, reasonOf(errno));
                continue;
            }
            if (S_ISDIR(entryInfo.st_mode)) {
                if (m_request.subfolders)
                    subfolders.push_back(path);
            } else if (S_ISREG(entryInfo.st_mode) &&
                       m_filter.match(QFile::decodeName(name)).hasMatch()) {
                searchFile(path);
            }
        }
        // The files of a folder come before those of its sub-folders.
        for (const QString &path : subfolders)
            walk(path);
    }

    void searchFile(const QString &path) {
        QByteArray bytes;
        const QString error = readWholeFile(path, &bytes);
        if (!error.isEmpty()) {
            skip(path, error);
            return;
        }
        ++m_totals.filesSearched;
        m_totals.bytesSearched += bytes.size();
        if (!binaryFileKind(bytes).isEmpty()) {
            ++m_totals.binaryFilesSkipped;
        } else {
            const QString text = decodePage(bytes).text;
            bytes = QByteArray();
            FileResult result =
                matchesInText(QDir::toNativeSeparators(path), text, m_request.search);
            if (result.gaveUp) {
                --m_totals.filesSearched;
                skip(path, tooComplexMessage());
            } else if (result.matchCount > 0) {
                ++m_totals.filesMatched;
                m_totals.matches += result.matchCount;
                m_found(std::move(result));
            }
        }
        if (m_progress && m_sinceProgress.elapsed() >= 100) {
            m_progress(m_totals);
            m_sinceProgress.restart();
        }
    }

    const FileSearchRequest &m_request;
    const std::function<void(FileResult)> &m_found;
    const std::function<void(SkippedEntry)> &m_skipped;
    const std::atomic_bool &m_cancel;
    const std::function<void(const FileSearchTotals &)> &m_progress;
    QRegularExpression m_filter;
    std::set<std::pair<dev_t, ino_t>> m_seen;
    FileSearchTotals m_totals;
    QElapsedTimer m_sinceProgress;
};

} // namespace

FileResult matchesInText(const QString &path, const QString &text, const TextSearch &search,
                         int limit) {
    FileResult result;
    result.path = path;
    int line = 1;
    qsizetype counted = 0; // line breaks counted up to here
    qsizetype lineStart = 0;
    result.gaveUp = !search.forEach(text, {}, [&](const TextMatch &match) {
        ++result.matchCount;
        if (result.matches.size() >= limit)
            return true;
        for (qsizetype i = counted; i < match.start; ++i) {
            if (text[i] == u'\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        counted = match.start;
        qsizetype lineEnd = text.indexOf(u'\n', match.start);
        if (lineEnd < 0)
            lineEnd = text.size();
        // A long line is shown from a little before the match.
        qsizetype shownStart = lineStart;
        if (lineEnd - lineStart > ShownLineLength)
            shownStart = std::max(lineStart, match.start - ShownLineLength / 4);
        const qsizetype shownEnd = std::min(lineEnd, shownStart + ShownLineLength);
        FileMatch found;
        found.line = line;
        found.start = match.start;
        found.length = match.length;
        found.lineText = text.mid(shownStart, shownEnd - shownStart);
        found.lineText.replace(u'\t', u' ');
        found.markStart = int(match.start - shownStart);
        found.markLength = int(std::min(match.end(), shownEnd) - match.start);
        result.matches.append(std::move(found));
        return true;
    });
    return result;
}

FileSearchTotals searchFiles(const FileSearchRequest &request,
                             const std::function<void(FileResult)> &found,
                             const std::function<void(SkippedEntry)> &skipped,
                             const std::atomic_bool &cancel,
                             const std::function<void(const FileSearchTotals &)> &progress) {
    return Walker(request, found, skipped, cancel, progress).run();
}

FileSearch::FileSearch(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<FileResult>();
    qRegisterMetaType<SkippedEntry>();
    qRegisterMetaType<FileSearchTotals>();
}

FileSearch::~FileSearch() {
    stop();
    finish();
}

void FileSearch::stop() {
    if (m_cancel)
        m_cancel->store(true);
}

void FileSearch::start(const FileSearchRequest &request) {
    // A search still running is stopped; whatever it still sends is dropped.
    stop();
    finish();
    const quint64 generation = ++m_generation;
    auto cancel = std::make_shared<std::atomic_bool>(false);
    m_cancel = cancel;
    // This object waits for the thread before it goes, so the thread may post to it.
    auto post = [this, generation](std::function<void()> function) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, function = std::move(function)] {
                if (generation == m_generation)
                    function();
            },
            Qt::QueuedConnection);
    };
    m_thread = QThread::create([this, request, cancel, post] {
        // A search of its own, so the thread shares nothing with the caller's.
        FileSearchRequest own = request;
        own.search = TextSearch(request.search.pattern(), request.search.options());
        const FileSearchTotals totals = searchFiles(
            own,
            [&](const FileResult &result) { post([this, result] { Q_EMIT fileFound(result); }); },
            [&](const SkippedEntry &entry) { post([this, entry] { Q_EMIT entrySkipped(entry); }); },
            *cancel,
            [&](const FileSearchTotals &now) { post([this, now] { Q_EMIT progress(now); }); });
        post([this, totals] {
            finish();
            Q_EMIT finished(totals);
        });
    });
    m_thread->start();
}

void FileSearch::finish() {
    if (m_thread != nullptr) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
}

} // namespace vellumo
