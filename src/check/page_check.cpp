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
        m_panel->showResult(result);
        if (m_changedSinceRequest)
            m_panel->setOutOfDate(true);
        Q_EMIT summaryChanged(result.summary());
    });
    connect(&m_page, &Page::snapshotReady, this, &PageCheck::copied);
    // An edit while the page is being copied starts the copy over; the page does that.
    connect(&m_page, &Page::changed, this, [this] {
        if (m_copying)
            return;
        m_changedSinceRequest = true;
        if (!m_worker->isRunning())
            m_panel->setOutOfDate(true);
    });
}

PageCheck::~PageCheck() {
    // The panel lives in the window's layout once placed there; otherwise it is ours.
    if (m_panel && !m_panel->parent())
        delete m_panel;
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
    m_panel->clear();
}

bool PageCheck::isChecking() const {
    return m_copying || m_worker->isRunning();
}

void PageCheck::goToProblem(const Problem &problem) {
    if (problem.line <= 0)
        return;
    if (problem.line > m_page.lineCount())
        return;
    const int line = problem.line - 1;
    const int start =
        m_page.lineStart(line) + std::min(problem.lineOffset, m_page.lineLength(line));
    m_page.select(start, std::min(start + problem.length, m_page.length()));
    m_page.focus();
}

} // namespace vellumo
