#include "check/page_check.h"

#include "check/check_worker.h"
#include "check/problems_panel.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>

namespace vellumo {

namespace {

// How much of the page is copied at a time, and for how long per turn of the event loop.
constexpr int CopySlice = 256 * 1024;
constexpr int CopyMillisecondsPerTurn = 10;

} // namespace

PageCheck::PageCheck(QPlainTextEdit &editor, std::function<CheckRequest()> describePage,
                     QObject *parent)
    : QObject(parent)
    , m_editor(editor)
    , m_describePage(std::move(describePage))
    , m_panel(new ProblemsPanel)
    , m_worker(new CheckWorker(this))
    , m_copier(new QTimer(this)) {
    m_panel->hide();
    m_copier->setInterval(0);
    connect(m_copier, &QTimer::timeout, this, &PageCheck::copyMore);
    connect(m_panel, &ProblemsPanel::goToProblemRequested, this, &PageCheck::goToProblem);
    connect(m_panel, &ProblemsPanel::stopRequested, this, &PageCheck::stop);
    connect(m_worker, &CheckWorker::finished, this, [this](const CheckResult &result) {
        m_panel->showResult(result);
        if (m_changedSinceRequest)
            m_panel->setOutOfDate(true);
        Q_EMIT summaryChanged(result.summary());
    });
    // The editor's own signal, which follows the page when Open attaches a new document.
    connect(&m_editor, &QPlainTextEdit::textChanged, this, [this] {
        if (m_copier->isActive()) {
            startCopy();
            return;
        }
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
    m_request.text.clear();
    m_copied = 0;
    m_changedSinceRequest = false;
    m_copier->start();
}

void PageCheck::copyMore() {
    // The raw text keeps non-breaking spaces; blocks end in paragraph separators,
    // which become line breaks on the check's own thread.
    QTextDocument *document = m_editor.document();
    const int end = document->characterCount() - 1;
    QElapsedTimer turn;
    turn.start();
    while (m_copied < end && turn.elapsed() < CopyMillisecondsPerTurn) {
        int to = m_copied + CopySlice;
        if (to >= end) {
            to = end;
        } else {
            // Slices end between lines, never inside a character.
            const QTextBlock block = document->findBlock(to);
            to = block.position() > m_copied ? block.position()
                                             : std::min(end, block.position() + block.length());
        }
        QTextCursor slice(document);
        slice.setPosition(m_copied);
        slice.setPosition(to, QTextCursor::KeepAnchor);
        m_request.text += slice.selectedText();
        m_copied = to;
    }
    if (m_copied < end)
        return;
    m_copier->stop();
    m_worker->start(std::exchange(m_request, {}));
}

void PageCheck::pageSaved(bool checkOnSave) {
    if (checkOnSave)
        CheckPage1Click();
}

void PageCheck::stop() {
    if (m_copier->isActive()) {
        m_copier->stop();
        m_request = {};
    } else if (!m_worker->isRunning()) {
        return;
    }
    m_worker->stop();
    m_panel->showStopped();
    Q_EMIT summaryChanged(QStringLiteral("Check stopped"));
}

void PageCheck::pageReplaced() {
    m_copier->stop();
    m_request = {};
    m_worker->stop();
    m_changedSinceRequest = false;
    m_panel->clear();
}

bool PageCheck::isChecking() const {
    return m_copier->isActive() || m_worker->isRunning();
}

void PageCheck::goToProblem(const Problem &problem) {
    if (problem.line <= 0)
        return;
    const QTextBlock block = m_editor.document()->findBlockByNumber(problem.line - 1);
    if (!block.isValid())
        return;
    const int lineLength = block.length() - 1;
    const int start = block.position() + std::min(problem.lineOffset, lineLength);
    const int end = std::min(start + problem.length, m_editor.document()->characterCount() - 1);
    QTextCursor cursor(m_editor.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_editor.setTextCursor(cursor);
    m_editor.ensureCursorVisible();
    m_editor.setFocus(Qt::OtherFocusReason);
}

} // namespace vellumo
