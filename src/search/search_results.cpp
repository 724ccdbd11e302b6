#include "search/search_results.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vellumo {

namespace {

// Draws a match's line with the match itself marked.
class MatchLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const QVariant markStart = index.data(SearchResults::MarkStartRole);
        if (!markStart.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(2, 0, -2, 0);
        const int start = markStart.toInt();
        const int length = index.data(SearchResults::MarkLengthRole).toInt();
        const QFontMetrics metrics(item.font);
        const int before = metrics.horizontalAdvance(text.left(start));
        const int marked = metrics.horizontalAdvance(text.mid(start, length));
        painter->save();
        painter->setClipRect(area);
        painter->fillRect(QRect(area.left() + before, area.top(), marked, area.height()),
                          QColor(255, 226, 128));
        painter->setPen(item.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        painter->restore();
    }
};

} // namespace

SearchResults::SearchResults(QWidget *parent)
    : QWidget(parent)
    , m_search(new FileSearch(this))
    , m_progress(new QLabel(this))
    , m_stop(new QPushButton(tr("Stop"), this))
    , m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("SearchResults"));
    m_list->setObjectName(QStringLiteral("SearchResultsList"));
    m_progress->setObjectName(QStringLiteral("SearchResultsProgress"));
    m_stop->setObjectName(QStringLiteral("SearchResultsStop"));
    m_stop->setEnabled(false);
    m_list->setHeaderHidden(true);
    m_list->setColumnCount(1);
    m_list->setUniformRowHeights(true);
    m_list->setItemDelegate(new MatchLineDelegate(m_list));

    auto *top = new QHBoxLayout;
    top->addWidget(m_progress, 1);
    top->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addLayout(top);
    layout->addWidget(m_list);

    connect(m_stop, &QPushButton::clicked, this, &SearchResults::stop);
    connect(m_list, &QTreeWidget::itemActivated, this, &SearchResults::activate);
    connect(m_search, &FileSearch::fileFound, this, &SearchResults::addFile);
    connect(m_search, &FileSearch::entrySkipped, this, &SearchResults::addSkipped);
    connect(m_search, &FileSearch::progress, this,
            [this](const FileSearchTotals &totals) { showProgress(totals, false); });
    connect(m_search, &FileSearch::finished, this, [this](const FileSearchTotals &totals) {
        m_stop->setEnabled(false);
        showProgress(totals, true);
        Q_EMIT finished(totals);
    });
}

void SearchResults::start(const FileSearchRequest &request) {
    m_list->clear();
    m_skipped = nullptr;
    m_folder = QDir::cleanPath(request.folder);
    m_stop->setEnabled(true);
    m_progress->setText(tr("Searching %1...").arg(QDir::toNativeSeparators(m_folder)));
    m_search->start(request);
}

void SearchResults::stop() {
    m_search->stop();
}

QString SearchResults::progressText() const {
    return m_progress->text();
}

void SearchResults::addFile(const FileResult &result) {
    const QString shown = QDir(m_folder).relativeFilePath(QDir::fromNativeSeparators(result.path));
    auto *file = new QTreeWidgetItem(
        {tr("%1 (%2)").arg(QDir::toNativeSeparators(shown)).arg(result.matchCount)});
    file->setToolTip(0, result.path);
    for (const FileMatch &match : result.matches) {
        const QString prefix = QStringLiteral("%1: ").arg(match.line);
        auto *line = new QTreeWidgetItem(file, {prefix + match.lineText});
        line->setData(0, PathRole, result.path);
        line->setData(0, StartRole, int(match.start));
        line->setData(0, LengthRole, int(match.length));
        line->setData(0, MarkStartRole, int(prefix.size()) + match.markStart);
        line->setData(0, MarkLengthRole, match.markLength);
    }
    if (result.matchCount > result.matches.size())
        new QTreeWidgetItem(
            file, {tr("... and %n more", nullptr, int(result.matchCount - result.matches.size()))});
    // Files come before the list of what was skipped.
    const int at =
        m_skipped != nullptr ? m_list->indexOfTopLevelItem(m_skipped) : m_list->topLevelItemCount();
    m_list->insertTopLevelItem(at, file);
    file->setExpanded(true);
}

void SearchResults::addSkipped(const SkippedEntry &entry) {
    if (m_skipped == nullptr) {
        m_skipped = new QTreeWidgetItem(m_list);
        m_skipped->setExpanded(true);
    }
    new QTreeWidgetItem(m_skipped, {tr("%1: %2").arg(entry.path, entry.reason)});
    m_skipped->setText(0, tr("Not searched (%1)").arg(m_skipped->childCount()));
}

void SearchResults::showProgress(const FileSearchTotals &totals, bool done) {
    const QLocale locale;
    QString text =
        tr("%1 in %2 of %3 files")
            .arg(totals.matches == 1 ? tr("1 match")
                                     : tr("%1 matches").arg(locale.toString(totals.matches)))
            .arg(locale.toString(totals.filesMatched))
            .arg(locale.toString(totals.filesSearched));
    if (totals.binaryFilesSkipped > 0)
        text += totals.binaryFilesSkipped == 1
                    ? tr("; 1 binary file skipped")
                    : tr("; %1 binary files skipped").arg(totals.binaryFilesSkipped);
    if (totals.unreadable > 0)
        text += tr("; %1 not readable").arg(totals.unreadable);
    if (!done)
        text = tr("Searching: %1").arg(text);
    else if (totals.stopped)
        text = tr("Stopped: %1").arg(text);
    m_progress->setText(text);
}

void SearchResults::activate(QTreeWidgetItem *item) {
    const QVariant path = item->data(0, PathRole);
    if (path.isValid())
        Q_EMIT openRequested(path.toString(), item->data(0, StartRole).toInt(),
                             item->data(0, LengthRole).toInt());
}

} // namespace vellumo
