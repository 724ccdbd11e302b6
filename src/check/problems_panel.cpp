#include "check/problems_panel.h"

#include <QApplication>
#include <QBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace vellumo {

namespace {

QIcon severityIcon(ProblemSeverity severity) {
    QStyle *style = QApplication::style();
    switch (severity) {
    case ProblemSeverity::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case ProblemSeverity::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case ProblemSeverity::Note:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

// Keeps the rows of the severities the user wants to see.
class SeverityFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setShown(ProblemSeverity severity, bool shown) {
        m_hidden[int(severity)] = !shown;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override {
        const auto *model = static_cast<const ProblemsModel *>(sourceModel());
        return !m_hidden[int(model->problem(row).severity)];
    }

private:
    bool m_hidden[3] = {false, false, false};
};

} // namespace

void ProblemsModel::setProblems(QList<Problem> problems) {
    beginResetModel();
    m_problems = std::move(problems);
    m_outOfDate = false;
    endResetModel();
}

void ProblemsModel::setOutOfDate(bool outOfDate) {
    if (m_outOfDate == outOfDate)
        return;
    m_outOfDate = outOfDate;
    if (!m_problems.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                           {Qt::FontRole, Qt::ToolTipRole});
}

int ProblemsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_problems.size());
}

int ProblemsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 5;
}

QVariant ProblemsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_problems.size())
        return {};
    const Problem &p = m_problems.at(index.row());
    const bool placed = p.line > 0;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case SeverityColumn:
            return severityName(p.severity);
        case LineColumn:
            return placed ? QVariant(p.line) : QVariant();
        case ColumnColumn:
            return placed ? QVariant(p.column) : QVariant();
        case MessageColumn:
            return p.message;
        case SourceColumn:
            return sourceName(p.source);
        }
        break;
    case SortRole:
        switch (index.column()) {
        case SeverityColumn:
            return int(p.severity);
        case LineColumn:
            return p.line;
        case ColumnColumn:
            return p.column;
        case MessageColumn:
            return p.message;
        case SourceColumn:
            return sourceName(p.source);
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == SeverityColumn)
            return severityIcon(p.severity);
        break;
    case Qt::ToolTipRole:
        return m_outOfDate ? QStringLiteral("%1\n(The page has changed since it was checked.)")
                                 .arg(p.message)
                           : p.message;
    case Qt::FontRole:
        if (m_outOfDate) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        break;
    default:
        break;
    }
    return {};
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const titles[] = {"Severity", "Line", "Column", "Message", "Source"};
    return section >= 0 && section < 5 ? QString::fromLatin1(titles[section]) : QVariant();
}

ProblemsList::ProblemsList(QWidget *parent)
    : QTreeView(parent) {
    setObjectName(QStringLiteral("ProblemsList"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QAbstractItemView::doubleClicked, this, &ProblemsList::problemChosen);
}

void ProblemsList::keyPressEvent(QKeyEvent *event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        Q_EMIT problemChosen(currentIndex());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

ProblemsPanel::ProblemsPanel(QWidget *parent)
    : QWidget(parent)
    , m_model(new ProblemsModel(this))
    , m_filter(new SeverityFilter(this))
    , m_list(new ProblemsList(this))
    , m_summary(new QLabel(this))
    , m_outOfDateLabel(new QLabel(this))
    , m_more(new QLabel(this))
    , m_stop(new QToolButton(this))
    , m_showErrors(new QToolButton(this))
    , m_showWarnings(new QToolButton(this))
    , m_showNotes(new QToolButton(this)) {
    setObjectName(QStringLiteral("ProblemsPanel"));
    m_filter->setSourceModel(m_model);
    m_filter->setSortRole(ProblemsModel::SortRole);
    m_list->setModel(m_filter);
    m_list->sortByColumn(ProblemsModel::LineColumn, Qt::AscendingOrder);
    m_list->header()->setSectionResizeMode(ProblemsModel::MessageColumn, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);

    m_summary->setObjectName(QStringLiteral("ProblemsSummary"));
    m_outOfDateLabel->setObjectName(QStringLiteral("ProblemsOutOfDate"));
    m_outOfDateLabel->setText(QStringLiteral("The page has changed since it was checked: lines "
                                             "and columns may have moved. Press F9 to check "
                                             "again."));
    m_outOfDateLabel->setWordWrap(true);
    m_outOfDateLabel->hide();
    m_more->setObjectName(QStringLiteral("ProblemsMore"));
    m_more->hide();
    m_stop->setObjectName(QStringLiteral("ProblemsStop"));
    m_stop->setText(QStringLiteral("Stop"));
    m_stop->setEnabled(false);
    connect(m_stop, &QToolButton::clicked, this, &ProblemsPanel::stopRequested);

    const struct {
        QToolButton *button;
        const char *name;
        ProblemSeverity severity;
    } filters[] = {{m_showErrors, "ProblemsShowErrors", ProblemSeverity::Error},
                   {m_showWarnings, "ProblemsShowWarnings", ProblemSeverity::Warning},
                   {m_showNotes, "ProblemsShowNotes", ProblemSeverity::Note}};
    auto *top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(m_summary, 1);
    for (const auto &f : filters) {
        f.button->setObjectName(QLatin1String(f.name));
        f.button->setCheckable(true);
        f.button->setChecked(true);
        f.button->setIcon(severityIcon(f.severity));
        f.button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        const ProblemSeverity severity = f.severity;
        connect(f.button, &QToolButton::toggled, this,
                [this, severity](bool shown) { setSeverityShown(severity, shown); });
        top->addWidget(f.button);
    }
    top->addWidget(m_stop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addWidget(m_outOfDateLabel);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_more);

    connect(m_list, &ProblemsList::problemChosen, this, [this](const QModelIndex &index) {
        const QModelIndex source = m_filter->mapToSource(index);
        if (source.isValid())
            Q_EMIT goToProblemRequested(m_model->problem(source.row()));
    });
    updateFilters();
}

void ProblemsPanel::setSeverityShown(ProblemSeverity severity, bool shown) {
    static_cast<SeverityFilter *>(m_filter)->setShown(severity, shown);
    QToolButton *button = severity == ProblemSeverity::Error     ? m_showErrors
                          : severity == ProblemSeverity::Warning ? m_showWarnings
                                                                 : m_showNotes;
    if (button->isChecked() != shown)
        button->setChecked(shown);
}

void ProblemsPanel::updateFilters() {
    m_showErrors->setText(
        QStringLiteral("Errors (%1)").arg(m_result.count(ProblemSeverity::Error)));
    m_showWarnings->setText(
        QStringLiteral("Warnings (%1)").arg(m_result.count(ProblemSeverity::Warning)));
    m_showNotes->setText(QStringLiteral("Notes (%1)").arg(m_result.count(ProblemSeverity::Note)));
}

void ProblemsPanel::showRunning() {
    m_summary->setText(QStringLiteral("Checking the page..."));
    m_stop->setEnabled(true);
}

void ProblemsPanel::showResult(const CheckResult &result) {
    m_result = result;
    m_model->setProblems(result.problems);
    setOutOfDate(false);
    m_summary->setText(result.summary());
    m_stop->setEnabled(false);
    m_more->setVisible(result.notListed > 0);
    m_more->setText(QStringLiteral("%1 more problems were found but are not listed; correct "
                                   "the first ones and check again.")
                        .arg(result.notListed));
    updateFilters();
}

void ProblemsPanel::showStopped() {
    m_summary->setText(QStringLiteral("Check stopped"));
    m_stop->setEnabled(false);
}

void ProblemsPanel::clear() {
    showResult({});
    m_summary->clear();
}

void ProblemsPanel::setOutOfDate(bool outOfDate) {
    m_outOfDate = outOfDate;
    m_model->setOutOfDate(outOfDate);
    m_outOfDateLabel->setVisible(outOfDate);
}

} // namespace vellumo
