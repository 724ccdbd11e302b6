#include "check/page_check.h"

#include "check/check_worker.h"
#include "check/problems_panel.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace vellumo {

PageCheck::PageCheck(QPlainTextEdit &editor, std::function<CheckRequest()> describePage,
                     QObject *parent)
    : QObject(parent)
    , m_editor(editor)
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
    // The editor's own signal, which follows the page when Open attaches a new document.
    connect(&m_editor, &QPlainTextEdit::textChanged, this, [this] {
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
    CheckRequest request = m_describePage ? m_describePage() : CheckRequest{};
    request.text = m_editor.toPlainText();
    m_changedSinceRequest = false;
    m_panel->show();
    m_panel->showRunning();
    Q_EMIT summaryChanged(QStringLiteral("Checking the page..."));
    m_worker->start(std::move(request));
}

void PageCheck::pageSaved(bool checkOnSave) {
    if (checkOnSave)
        CheckPage1Click();
}

void PageCheck::stop() {
    if (!m_worker->isRunning())
        return;
    m_worker->stop();
    m_panel->showStopped();
    Q_EMIT summaryChanged(QStringLiteral("Check stopped"));
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
