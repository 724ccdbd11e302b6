#include "search/find_bar.h"

#include "document/page.h"

#include "editor/insertion_core.h"
#include "platform/platform.h"
#include "search/match_highlights.h"
#include "widgets/long_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <optional>
#include <utility>

namespace vellumo {

namespace {

const QString FindHistoryKey = QStringLiteral("FindHistory");
const QString ReplaceHistoryKey = QStringLiteral("ReplaceHistory");
constexpr int HistoryLength = 10;

QComboBox *historyField(const QString &name, QWidget *parent) {
    auto *field = new QComboBox(parent);
    field->setObjectName(name);
    field->setEditable(true);
    // The text is searched exactly as typed: no inline completion from the history.
    field->setCompleter(nullptr);
    field->setInsertPolicy(QComboBox::NoInsert);
    field->setMaxVisibleItems(HistoryLength);
    field->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    field->setMinimumContentsLength(24);
    return field;
}

QCheckBox *option(const QString &name, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent) {
    auto *push = new QPushButton(caption, parent);
    push->setObjectName(name);
    push->setAutoDefault(false);
    return push;
}

} // namespace

FindBar::FindBar(InsertionCore &core, Platform &platform, QWidget *parent)
    : QWidget(parent)
    , m_core(core)
    , m_platform(platform)
    , m_page(core.page())
    , m_highlights(new MatchHighlights(core.editor(), core.page()))
    , m_scope(std::make_unique<MovingRange>(core.page())) {
    setObjectName(QStringLiteral("FindBar"));
    m_findEdit = historyField(QStringLiteral("FindEdit"), this);
    m_replaceEdit = historyField(QStringLiteral("ReplaceEdit"), this);
    m_matchCase = option(QStringLiteral("MatchCase"), tr("Match case"), this);
    m_wholeWords = option(QStringLiteral("WholeWords"), tr("Whole words"), this);
    m_regularExpression =
        option(QStringLiteral("RegularExpression"), tr("Regular expression"), this);
    m_inSelection = option(QStringLiteral("InSelection"), tr("In selection"), this);
    m_findNext = button(QStringLiteral("FindNextButton"), tr("Next"), this);
    m_findPrevious = button(QStringLiteral("FindPreviousButton"), tr("Previous"), this);
    m_replace = button(QStringLiteral("ReplaceButton"), tr("Replace"), this);
    m_replaceAll = button(QStringLiteral("ReplaceAllButton"), tr("Replace All"), this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("FindStatus"));
    m_status->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("888888 of 888888")));
    auto *findLabel = new QLabel(tr("Find:"), this);
    findLabel->setBuddy(m_findEdit);
    auto *replaceLabel = new QLabel(tr("Replace:"), this);
    replaceLabel->setBuddy(m_replaceEdit);
    auto *closeButton = new QToolButton(this);
    closeButton->setAutoRaise(true);
    closeButton->setText(QStringLiteral("\u00D7"));
    closeButton->setToolTip(tr("Close the search bar (Escape)"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setVerticalSpacing(2);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(m_findEdit, 0, 1);
    grid->addWidget(m_findNext, 0, 2);
    grid->addWidget(m_findPrevious, 0, 3);
    auto *options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWords);
    options->addWidget(m_regularExpression);
    options->addWidget(m_inSelection);
    options->addWidget(m_status, 1);
    grid->addLayout(options, 0, 4);
    grid->addWidget(closeButton, 0, 5);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(m_replaceEdit, 1, 1);
    grid->addWidget(m_replace, 1, 2);
    grid->addWidget(m_replaceAll, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    m_replaceRow = {replaceLabel, m_replaceEdit, m_replace, m_replaceAll};

    // Enter reaches the combo box or its line edit, depending on which has the focus.
    for (QComboBox *field : {m_findEdit, m_replaceEdit}) {
        field->installEventFilter(this);
        field->lineEdit()->installEventFilter(this);
    }
    connect(m_findEdit->lineEdit(), &QLineEdit::textEdited, this, &FindBar::patternEdited);
    connect(m_findEdit, &QComboBox::textActivated, this, &FindBar::patternEdited);
    for (QCheckBox *box : {m_matchCase, m_wholeWords, m_regularExpression})
        connect(box, &QCheckBox::toggled, this, &FindBar::optionsChanged);
    connect(m_inSelection, &QCheckBox::toggled, this, &FindBar::scopeChanged);
    connect(m_findNext, &QPushButton::clicked, this, &FindBar::findNext);
    connect(m_findPrevious, &QPushButton::clicked, this, &FindBar::findPrevious);
    connect(m_replace, &QPushButton::clicked, this, &FindBar::replace);
    connect(m_replaceAll, &QPushButton::clicked, this, &FindBar::replaceAll);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &FindBar::close);
    // Typing into the page while the bar is open: the count follows once the
    // typing pauses, instead of taking the page's text again at every key.
    m_recount = new QTimer(this);
    m_recount->setSingleShot(true);
    m_recount->setInterval(400);
    connect(m_recount, &QTimer::timeout, this, [this] {
        if (isVisible())
            startCount();
    });
    // The action that waited for a big page to be read runs once it is, after the
    // event that finished the reading.
    connect(
        &m_page, &Page::snapshotReady, this,
        [this] {
            if (!m_pending)
                return;
            setStatus(m_statusBeforeReading.first, m_statusBeforeReading.second);
            std::exchange(m_pending, {})();
        },
        Qt::QueuedConnection);
    connect(&m_page, &Page::changed, this, [this] {
        cancelCounts();
        m_counted = false;
        m_recount->start();
    });
    hide();
}

FindBar::~FindBar() {
    // The highlights keep the scope's place, which goes with the bar.
    if (m_highlights)
        m_highlights->clear();
    cancelCounts();
    for (const Count &count : std::as_const(m_counts)) {
        count.thread->wait();
        delete count.thread;
    }
}

void FindBar::showFind() {
    open(false);
}

void FindBar::showReplace() {
    open(true);
}

void FindBar::open(bool replacing) {
    if (!std::exchange(m_holdingCopy, true))
        m_page.holdSnapshot();
    for (QWidget *widget : std::as_const(m_replaceRow))
        widget->setVisible(replacing);
    const QStringList finds = history(FindHistoryKey);
    const QString typed = m_findEdit->currentText();
    m_findEdit->clear();
    m_findEdit->addItems(finds);
    m_findEdit->setEditText(typed);
    const QString replacement = m_replaceEdit->currentText();
    m_replaceEdit->clear();
    m_replaceEdit->addItems(history(ReplaceHistoryKey));
    m_replaceEdit->setEditText(replacement);

    if (m_page.hasSelection()) {
        const QString selected = m_page.selectedText();
        if (selected.contains(u'\n')) {
            // A selection of several lines is where the search is to happen.
            m_scope->set(m_page.selectionStart(), m_page.selectionEnd());
            const QSignalBlocker blocker(m_inSelection);
            m_inSelection->setChecked(true);
        } else {
            m_findEdit->setEditText(selected);
        }
    }
    m_startPosition = m_page.selectionStart();
    show();
    m_findEdit->setFocus(Qt::ShortcutFocusReason);
    m_findEdit->lineEdit()->selectAll();
    if (!m_findEdit->currentText().isEmpty())
        patternEdited();
}

void FindBar::close() {
    hide();
    m_pending = {};
    cancelCounts();
    m_highlights->clear();
    if (std::exchange(m_holdingCopy, false))
        m_page.releaseSnapshot();
    m_core.FocusEditor();
}

TextSearch FindBar::currentSearch() const {
    SearchOptions options;
    options.setFlag(SearchOption::MatchCase, m_matchCase->isChecked());
    options.setFlag(SearchOption::WholeWords, m_wholeWords->isChecked());
    options.setFlag(SearchOption::RegularExpression, m_regularExpression->isChecked());
    options.setFlag(SearchOption::InSelection, scoped());
    return TextSearch(m_findEdit->currentText(), options);
}

bool FindBar::scoped() const {
    return m_inSelection->isChecked() && !m_scope->isEmpty();
}

SearchRange FindBar::currentRange() const {
    return scoped() ? SearchRange{m_scope->start(), m_scope->end()} : SearchRange{};
}

void FindBar::scopeChanged(bool inSelection) {
    if (inSelection && m_page.hasSelection())
        m_scope->set(m_page.selectionStart(), m_page.selectionEnd());
    else
        m_scope->set(0, 0);
    if (scoped())
        m_startPosition = m_scope->start();
    optionsChanged();
}

void FindBar::optionsChanged() {
    if (isVisible())
        patternEdited();
}

bool FindBar::pageRead(std::function<void()> action) {
    if (m_page.isSnapshotCurrent() || m_page.length() <= Page::slicedFrom)
        return true;
    if (!m_pending)
        m_statusBeforeReading = {m_status->text(), m_statusIsProblem};
    m_pending = std::move(action);
    setStatus(tr("Reading the page..."));
    m_page.prepareSnapshot();
    return false;
}

void FindBar::takePageNow() {
    m_page.snapshot();
    if (m_pending) {
        setStatus(m_statusBeforeReading.first, m_statusBeforeReading.second);
        std::exchange(m_pending, {})();
    }
}

void FindBar::patternEdited() {
    if (!pageRead([this] { patternEdited(); }))
        return;
    // Each keystroke searches again from where the search began, so typing a
    // longer word never skips the place the shorter one was found.
    const TextSearch search = currentSearch();
    startCount();
    if (search.isEmpty()) {
        m_highlights->clear();
        setStatus({});
        return;
    }
    if (!search.isValid()) {
        m_highlights->clear();
        setStatus(search.errorString(), true);
        return;
    }
    m_highlights->show(search, scoped() ? m_scope.get() : nullptr);
    const TextMatch match =
        search.find(m_page.snapshot(), m_startPosition, false, currentRange(), true);
    if (match.found())
        showMatch(match, false);
    else
        showNotFound(match.gaveUp);
}

void FindBar::findNext() {
    search(false);
}

void FindBar::findPrevious() {
    search(true);
}

void FindBar::search(bool backward) {
    if (m_findEdit->currentText().isEmpty()) {
        showFind();
        return;
    }
    takePageNow();
    remember(FindHistoryKey, m_findEdit);
    const TextSearch search = currentSearch();
    if (!search.isValid()) {
        setStatus(search.errorString(), true);
        return;
    }
    if (!m_highlights->isShown() && isVisible())
        m_highlights->show(search, scoped() ? m_scope.get() : nullptr);
    // Going on from an empty match (a "^" or a look-ahead) moves past it.
    const bool onEmptyMatch = !m_page.hasSelection() && m_current.found() &&
                              m_current.length == 0 && m_current.start == m_page.caret();
    const TextMatch match =
        backward ? search.find(m_page.snapshot(), m_page.selectionStart(), true, currentRange())
                 : search.find(m_page.snapshot(), m_page.selectionEnd(), false, currentRange(),
                               !onEmptyMatch);
    if (!m_counted && m_counts.isEmpty())
        startCount();
    if (match.found()) {
        showMatch(match, backward);
        m_startPosition = int(match.start);
    } else {
        showNotFound(match.gaveUp);
    }
}

void FindBar::showMatch(const TextMatch &match, bool backward) {
    m_page.select(int(match.start), int(match.end()));
    m_current = match;
    m_wrapped = match.wrapped;
    m_backward = backward;
    updateStatus();
}

void FindBar::showNotFound(bool gaveUp) {
    m_current = {};
    m_wrapped = false;
    // The caret goes back to where the search began, so the text typed next
    // is searched from there.
    if (m_page.hasSelection())
        m_page.setCaret(std::min(m_startPosition, m_page.length()));
    setStatus(gaveUp ? tooComplexMessage() : tr("Not found"), true);
}

std::optional<TextSearch> FindBar::searchToReplace() {
    takePageNow();
    TextSearch search = currentSearch();
    if (!search.isValid()) {
        search.isEmpty() ? showReplace() : setStatus(search.errorString(), true);
        return std::nullopt;
    }
    remember(FindHistoryKey, m_findEdit);
    remember(ReplaceHistoryKey, m_replaceEdit);
    return search;
}

void FindBar::replace() {
    const std::optional<TextSearch> found = searchToReplace();
    if (!found)
        return;
    const TextSearch &search = *found;
    // The selection is replaced only when it is a match; either way the next
    // match is found, so pressing Replace again and again walks the page.
    const QString text = m_page.snapshot();
    const TextMatch match = search.next(text, m_page.selectionStart(), currentRange());
    if (match.found() && match.start == m_page.selectionStart() &&
        match.end() == m_page.selectionEnd()) {
        const QString replacement =
            search.replacementFor(text, match, m_replaceEdit->currentText());
        m_core.ReplaceRanges({RangeEdit{int(match.start), int(match.length), replacement}});
        m_current = {};
    }
    findNext();
}

void FindBar::replaceAll() {
    const std::optional<TextSearch> found = searchToReplace();
    if (!found)
        return;
    const TextSearch &search = *found;
    bool gaveUp = false;
    const QString text = m_page.snapshot();
    const QString replacement = m_replaceEdit->currentText();
    const SearchRange range = currentRange();
    QList<RangeEdit> edits;
    // On a big page the matches are found on a worker thread and replaced in
    // slices, with progress and Cancel once it takes long.
    LongCommand command(window(), tr("Replacing..."));
    const bool searched = command.runAside([&](const std::atomic_bool &stop) {
        const QList<TextReplacement> replacements =
            search.replacements(text, replacement, range, &gaveUp, &stop);
        edits.reserve(replacements.size());
        for (const TextReplacement &r : replacements)
            edits.append(RangeEdit{int(r.start), int(r.length), r.text});
    });
    if (searched && gaveUp) {
        setStatus(tooComplexMessage(), true);
        return;
    }
    if (!searched || !m_core.ReplaceRanges(edits, [&command](qint64 done, qint64 total) {
            return command.step(done, total);
        })) {
        setStatus(LongCommand::cancelledReport());
        return;
    }
    m_page.select(m_page.anchor(), m_page.caret());
    m_current = {};
    setStatus(edits.isEmpty() ? tr("Not found") : tr("%n replaced", nullptr, int(edits.size())),
              edits.isEmpty());
}

void FindBar::setStatus(const QString &text, bool problem) {
    m_status->setText(text);
    m_statusIsProblem = problem;
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText,
                     problem ? QColor(176, 0, 32) : palette.color(QPalette::Text));
    m_status->setPalette(palette);
}

void FindBar::pageReplaced() {
    m_current = {};
    setStatus(QString());
}

QString FindBar::statusText() const {
    return m_status->text();
}

void FindBar::updateStatus() {
    if (!m_current.found())
        return;
    QString text;
    if (m_counted) {
        const auto before =
            std::lower_bound(m_matchStarts.cbegin(), m_matchStarts.cend(), m_current.start);
        text = tr("%1 of %2").arg(before - m_matchStarts.cbegin() + 1).arg(m_matchStarts.size());
    } else {
        text = tr("Found");
    }
    if (m_wrapped)
        text += m_backward ? tr(", went round from the start") : tr(", went round from the end");
    setStatus(text);
}

void FindBar::startCount() {
    if (!pageRead([this] { startCount(); }))
        return;
    cancelCounts();
    ++m_generation;
    m_counted = false;
    m_matchStarts.clear();
    const TextSearch search = currentSearch();
    if (!search.isValid())
        return;
    // The page's text is shared with the thread, not copied: the snapshot is
    // replaced, never changed, when the page changes.
    const QString text = m_page.snapshot();
    const SearchRange range = currentRange();
    const quint64 generation = m_generation;
    auto cancel = std::make_shared<std::atomic_bool>(false);
    QThread *thread = QThread::create([this, search, text, range, generation, cancel] {
        // A search of its own: nothing of the bar's is shared with the thread
        // but the text, which nobody changes.
        const TextSearch own(search.pattern(), search.options());
        auto starts = std::make_shared<QList<qsizetype>>();
        const bool whole = own.forEach(
            text, range,
            [&](const TextMatch &match) {
                starts->append(match.start);
                return true;
            },
            cancel.get());
        // Matches past where the engine gave up are not known: no count is shown.
        if (cancel->load() || !whole)
            return;
        // The bar waits for this thread before it goes, so it is still there.
        QMetaObject::invokeMethod(
            this, [this, generation, starts] { countDone(generation, starts); },
            Qt::QueuedConnection);
    });
    m_counts.append({thread, cancel});
    connect(thread, &QThread::finished, this, [this, thread] {
        m_counts.removeIf([thread](const Count &count) { return count.thread == thread; });
        thread->deleteLater();
    });
    thread->start(QThread::LowPriority);
}

void FindBar::cancelCounts() {
    for (const Count &count : std::as_const(m_counts))
        count.cancel->store(true);
}

void FindBar::countDone(quint64 generation, const std::shared_ptr<QList<qsizetype>> &starts) {
    if (generation != m_generation)
        return;
    m_counted = true;
    m_matchStarts = std::move(*starts);
    updateStatus();
}

QStringList FindBar::history(const QString &key) const {
    return m_platform.readSetting(key).toStringList().mid(0, HistoryLength);
}

void FindBar::remember(const QString &key, QComboBox *field) {
    const QString text = field->currentText();
    if (text.isEmpty())
        return;
    QStringList list = history(key);
    if (!list.isEmpty() && list.first() == text)
        return;
    list.removeAll(text);
    list.prepend(text);
    list = list.mid(0, HistoryLength);
    m_platform.writeSetting(key, list);
    const QSignalBlocker blocker(field);
    field->clear();
    field->addItems(list);
    field->setEditText(text);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return QWidget::eventFilter(watched, event);
    if (watched == m_replaceEdit || watched == m_replaceEdit->lineEdit())
        replace();
    else if (key->modifiers() & Qt::ShiftModifier)
        findPrevious();
    else
        findNext();
    return true;
}

} // namespace vellumo
