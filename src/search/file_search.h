#pragma once

#include "search/text_search.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class QThread;

namespace vellumo {

// What Find in Files looks for and where.
struct FileSearchRequest {
    QString folder;
    // Wildcards separated by semicolons, matched against file names in any case.
    QString filePatterns = QStringLiteral("*.htm;*.html;*.css;*.js");
    bool subfolders = true;
    TextSearch search;
};

// One match in a file: where it is in the page as the editor will hold it (line
// breaks one character each), and the line to show it in.
struct FileMatch {
    int line = 0; // from 1
    qsizetype start = 0;
    qsizetype length = 0;
    // The line's text (a long line cut down to the part around the match) and
    // where in that text the match is.
    QString lineText;
    int markStart = 0;
    int markLength = 0;
};

struct FileResult {
    QString path;
    int matchCount = 0;
    // The first matches of the file; a file with thousands lists only the first of them.
    QList<FileMatch> matches;
    // The expression engine gave up on the file: its matches are not known.
    bool gaveUp = false;
};

// A file or folder that could not be searched, and why.
struct SkippedEntry {
    QString path;
    QString reason;
};

struct FileSearchTotals {
    int filesSearched = 0;
    int filesMatched = 0;
    qint64 matches = 0;
    qint64 bytesSearched = 0;
    int binaryFilesSkipped = 0;
    int unreadable = 0;
    bool stopped = false;
};

// Searches the files of a folder one after the other and hands each file with
// matches, and each entry it could not read, to the callbacks as soon as it is
// done. Only reads: nothing on disk is written. Files are decoded exactly as
// Open decodes them; binary files are skipped and counted; a folder reached
// again through a symbolic link is not searched again, so loops end.
// Stops early when `cancel` is set.
FileSearchTotals searchFiles(const FileSearchRequest &request,
                             const std::function<void(FileResult)> &found,
                             const std::function<void(SkippedEntry)> &skipped,
                             const std::atomic_bool &cancel,
                             const std::function<void(const FileSearchTotals &)> &progress = {});

// The matches of `search` in one decoded page, at most `limit` of them listed.
FileResult matchesInText(const QString &path, const QString &text, const TextSearch &search,
                         int limit = 1000);

// searchFiles() on a worker thread, its findings streamed back as signals.
class FileSearch : public QObject {
    Q_OBJECT

public:
    explicit FileSearch(QObject *parent = nullptr);
    // Stops a search still running and waits for its thread.
    ~FileSearch() override;

    void start(const FileSearchRequest &request);
    void stop();
    bool isRunning() const { return m_thread != nullptr; }

Q_SIGNALS:
    void fileFound(const vellumo::FileResult &result);
    void entrySkipped(const vellumo::SkippedEntry &entry);
    void progress(const vellumo::FileSearchTotals &totals);
    void finished(const vellumo::FileSearchTotals &totals);

private:
    void finish();

    QThread *m_thread = nullptr;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_generation = 0;
};

} // namespace vellumo

Q_DECLARE_METATYPE(vellumo::FileResult)
Q_DECLARE_METATYPE(vellumo::SkippedEntry)
Q_DECLARE_METATYPE(vellumo::FileSearchTotals)
