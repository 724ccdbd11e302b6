#include "check/page_check.h"

#include "check/check_worker.h"
#include "check/problems_panel.h"
#include "document/page.h"

namespace vellumo {

namespace {

// A page of more characters than this is copied a slice at a time between the
// window's events, so that even a page of many megabytes never holds the window up.
constexpr int CopiedAtOnceUpTo = 256 * 1024;

} // namespace

PageCheck::PageCheck(Page &page, std::function<CheckRequest()> describePage, QObject *parent)
    : QObject(parent)
    , m_page(page)
    , m_describePage(std::move(describePage))
    , m_panel(new ProblemsPanel)
    , m_worker(new CheckWorker(this)) {
    m_panel->hide();
    connect(m_panel, &ProblemsPanel::goToProblemRequested, this, &PageCheck::goToProblem);
    connect(m_panel, &ProblemsPanel::stopRequested, this, &PageCheck::stop);
    connect(m_worker, &CheckWorker::finished, this, [this](const CheckResult &result) {
        placeProblems(result);
        m_panel->showResult(result);
        if (m_changedSinceRequest)
            m_panel->setOutOfDate(true);
        Q_EMIT summaryChanged(result.summary());
    });
    connect(&m_page, &Page::snapshotReady, this, &PageCheck::copied);
    connect(&m_page, &Page::changed, this, &PageCheck::pageChanged);
}

PageCheck::~PageCheck() {
    dropPlaces();
    // The panel lives in the window's layout once placed there; otherwise it is ours.
    if (m_panel && !m_panel->parent())
        delete m_panel;
}

void PageCheck::pageChanged(const PageChange &change) {
    // An edit while the page is being copied starts the copy over; the page does that.
    if (m_copying)
        return;
    m_changedSinceRequest = true;
    if (m_worker->isRunning())
        m_editsSinceCopy.append(change);
    else
        m_panel->setOutOfDate(true);
}

void PageCheck::placeProblems(const CheckResult &result) {
    dropPlaces();
    m_problems = result.problems;
    m_places.reserve(std::size_t(m_problems.size()));
    for (const Problem &problem : std::as_const(m_problems)) {
        int start = 0;
        int end = 0;
        if (problem.line > 0) {
            start = problem.position;
            end = start + problem.length;
            for (const PageChange &edit : std::as_const(m_editsSinceCopy))
                MovingRange::follow(start, end, edit.position, edit.removed, edit.added);
        }
        m_places.push_back(std::make_unique<MovingRange>(m_page, start, end));
    }
    m_editsSinceCopy.clear();
}

void PageCheck::dropPlaces() {
    // The last made go first: each leaves the page's list from its back.
    while (!m_places.empty())
        m_places.pop_back();
    m_problems.clear();
}

ProblemsPanel *PageCheck::panel() const {
    return m_panel;
}

void PageCheck::CheckPage1Click() {
    // A check already running is of the old text: it makes way for this one.
    m_worker->stop();
    m_request = m_describePage ? m_describePage() : CheckRequest{};
    m_panel->show();
    m_panel->showRunning();
    Q_EMIT summaryChanged(QStringLiteral("Checking the page..."));
    startCopy();
}

void PageCheck::startCopy() {
    m_changedSinceRequest = false;
    if (!std::exchange(m_copying, true))
        m_page.holdSnapshot();
    m_page.prepareSnapshot(CopiedAtOnceUpTo);
}

void PageCheck::copied() {
    if (!m_copying)
        return;
    m_request.text = m_page.snapshot();
    m_editsSinceCopy.clear();
    endCopy();
    m_worker->start(std::exchange(m_request, {}));
}

void PageCheck::endCopy() {
    if (std::exchange(m_copying, false))
        m_page.releaseSnapshot();
}

void PageCheck::pageSaved(bool checkOnSave) {
    if (checkOnSave)
        CheckPage1Click();
}

void PageCheck::stop() {
    if (m_copying) {
        endCopy();
        m_request = {};
    } else if (!m_worker->isRunning()) {
        return;
    }
    m_worker->stop();
    m_panel->showStopped();
    Q_EMIT summaryChanged(QStringLiteral("Check stopped"));
}

void PageCheck::pageReplaced() {
    endCopy();
    m_request = {};
    m_worker->stop();
    m_changedSinceRequest = false;
    m_editsSinceCopy.clear();
    dropPlaces();
    m_panel->clear();
}

bool PageCheck::isChecking() const {
    return m_copying || m_worker->isRunning();
}

void PageCheck::goToProblem(const Problem &problem) {
    if (problem.line <= 0)
        return;
    const qsizetype listed = m_problems.indexOf(problem);
    if (listed >= 0 && std::size_t(listed) < m_places.size()) {
        const MovingRange &place = *m_places[std::size_t(listed)];
        m_page.select(place.start(), place.end());
        m_page.focus();
        return;
    }
    if (problem.line > m_page.lineCount())
        return;
    const int line = problem.line - 1;
    const int start =
        m_page.lineStart(line) + std::min(problem.lineOffset, m_page.lineLength(line));
    m_page.select(start, std::min(start + problem.length, m_page.length()));
    m_page.focus();
}

} // namespace vellumo
