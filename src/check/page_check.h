#pragma once

#include "check/problem.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

namespace vellumo {

class MovingRange;
class Page;
struct PageChange;

class CheckWorker;
class ProblemsPanel;

// What the main window needs of the page check: Check Page (F9) on the editor's
// current text, the problems panel (the window places it below the editor), a
// summary for the status bar, and the caret moved to a chosen problem.
class PageCheck final : public QObject {
    Q_OBJECT
public:
    // `describePage` tells the page's folder (or the start folder for an
    // untitled page) and its real encoding; the text is taken from `page`.
    PageCheck(Page &page, std::function<CheckRequest()> describePage, QObject *parent = nullptr);
    ~PageCheck() override;

    ProblemsPanel *panel() const;
    CheckWorker &worker() const { return *m_worker; }

    // Check Page: shows the panel and checks a copy of the page's text; while a
    // check runs, starts it again on the current text.
    void CheckPage1Click();
    // After a successful save: checks the page when the user asked for that.
    void pageSaved(bool checkOnSave);
    void stop();
    // Another page came into the editor: a check of the old one stops and its problems go.
    void pageReplaced();
    // Whether a check is under way: the page being copied or checked.
    bool isChecking() const;
    // Puts the caret at the problem and selects the offending text, where the
    // edits made since the check have moved it.
    void goToProblem(const Problem &problem);

Q_SIGNALS:
    // "Checking the page...", "3 errors, 5 warnings", "No problems found".
    void summaryChanged(const QString &summary);

private:
    Page &m_page;
    std::function<CheckRequest()> m_describePage;
    QPointer<ProblemsPanel> m_panel;
    CheckWorker *m_worker;
    // The page's copy is taken in slices between the window's events; an edit
    // meanwhile starts it over.
    void startCopy();
    void copied();
    void endCopy();
    void pageChanged(const PageChange &change);
    // Gives each problem of `result` its place on the page, moving with the edits
    // from now on.
    void placeProblems(const CheckResult &result);
    void dropPlaces();

    // The page changed after the copy for the running check was taken.
    bool m_changedSinceRequest = false;
    bool m_copying = false;
    CheckRequest m_request;

    // The edits made since the running check's text was copied: what brings the
    // problems' places up to date when they come back.
    QList<PageChange> m_editsSinceCopy;
    // The problems listed and, in the same order, where each is on the page now.
    QList<Problem> m_problems;
    std::vector<std::unique_ptr<MovingRange>> m_places;
};

} // namespace vellumo
