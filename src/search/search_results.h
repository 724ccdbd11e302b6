#pragma once

#include "search/file_search.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vellumo {

// The panel of Find in Files below the editor: a progress line with Stop, and
// the list of matches grouped by file with their counts, filled while the
// search runs. Files and folders that could not be read are listed at the end
// with the reason.
class SearchResults : public QWidget {
    Q_OBJECT

public:
    explicit SearchResults(QWidget *parent = nullptr);

    void start(const FileSearchRequest &request);
    void stop();
    bool isRunning() const { return m_search->isRunning(); }
    QString progressText() const;

    // Item data of a match in the list.
    enum Role { PathRole = Qt::UserRole + 1, StartRole, LengthRole, MarkStartRole, MarkLengthRole };

Q_SIGNALS:
    // A match was double-clicked or Enter pressed on it: its page is to be opened
    // (through the ordinary Open, with its unsaved-changes question) and the match selected.
    void openRequested(const QString &path, int start, int length);
    void finished(const vellumo::FileSearchTotals &totals);

private:
    void addFile(const FileResult &result);
    void addSkipped(const SkippedEntry &entry);
    void showProgress(const FileSearchTotals &totals, bool done);
    void activate(QTreeWidgetItem *item);

    FileSearch *m_search;
    QLabel *m_progress;
    QPushButton *m_stop;
    QTreeWidget *m_list;
    QTreeWidgetItem *m_skipped = nullptr;
    QString m_folder;
};

} // namespace vellumo
