#pragma once

#include "check/problem.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QWidget>

class QLabel;
class QToolButton;

namespace vellumo {

// The problems of one check as table rows: severity, line, column, message, source.
class ProblemsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SeverityColumn, LineColumn, ColumnColumn, MessageColumn, SourceColumn };
    // Sorting by this role orders by severity rank and numbers, not by their text.
    static constexpr int SortRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void setProblems(QList<Problem> problems);
    const Problem &problem(int row) const { return m_problems.at(row); }
    void setOutOfDate(bool outOfDate);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<Problem> m_problems;
    bool m_outOfDate = false;
};

// The list of problems: sortable by any column; a double-click or Enter on a
// problem asks for the caret to go to it.
class ProblemsList final : public QTreeView {
    Q_OBJECT
public:
    explicit ProblemsList(QWidget *parent = nullptr);

Q_SIGNALS:
    void problemChosen(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The panel below the editor: a summary, severity filters, Stop, a warning when
// the page changed since the check, the list, and a line counting the problems
// left out of it.
class ProblemsPanel final : public QWidget {
    Q_OBJECT
public:
    explicit ProblemsPanel(QWidget *parent = nullptr);

    void showRunning();
    void showResult(const CheckResult &result);
    void showStopped();
    // Nothing checked yet: no summary, no problems.
    void clear();
    // The page changed after the check: positions may no longer be right.
    void setOutOfDate(bool outOfDate);
    bool isOutOfDate() const { return m_outOfDate; }

    ProblemsList *list() const { return m_list; }
    void setSeverityShown(ProblemSeverity severity, bool shown);

Q_SIGNALS:
    // Line and column of `problem` as found by the check (see isOutOfDate()).
    void goToProblemRequested(const vellumo::Problem &problem);
    void stopRequested();

private:
    void updateFilters();

    ProblemsModel *m_model;
    QSortFilterProxyModel *m_filter;
    ProblemsList *m_list;
    QLabel *m_summary;
    QLabel *m_outOfDateLabel;
    QLabel *m_more;
    QToolButton *m_stop;
    QToolButton *m_showErrors;
    QToolButton *m_showWarnings;
    QToolButton *m_showNotes;
    CheckResult m_result;
    bool m_outOfDate = false;
};

} // namespace vellumo
