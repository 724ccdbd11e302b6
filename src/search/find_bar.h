#pragma once

#include "search/text_search.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QThread;
class QTimer;

namespace vellumo {

class InsertionCore;
class MatchHighlights;
class MovingRange;
class Page;
class Platform;

// The search bar below the editor: Find and Replace without a modal dialog.
//
// Typing searches at once from where the search began; Enter finds the next
// match and Shift+Enter the previous one, going round the page's end; Escape
// hides the bar and gives the editor the focus with the last match selected.
// Every match on screen is drawn highlighted, and "3 of 120" is counted on a
// worker thread so a big page never stops the window painting. Replace All is
// one undo step through the insertion core. The last ten search and replace
// texts are kept in the settings (FindHistory, ReplaceHistory).
class FindBar : public QWidget {
    Q_OBJECT

public:
    FindBar(InsertionCore &core, Platform &platform, QWidget *parent = nullptr);
    ~FindBar() override;

    // Edit > Find... (Ctrl+F) and Replace... (Ctrl+H): the bar with its find
    // field focused, filled with the selected text when that is on one line.
    void showFind();
    void showReplace();
    // Find Next (F3) and Find Previous (Shift+F3): with the last search text,
    // whether the bar is shown or not (an empty one shows the bar).
    void findNext();
    void findPrevious();
    void replace();
    void replaceAll();
    // Escape: hides the bar, the editor takes the focus with the match selected.
    void close();

    QString statusText() const;
    // Another page came into the editor: the last search's result was the old page's.
    void pageReplaced();

private:
    void open(bool replacing);
    void patternEdited();
    void optionsChanged();
    void scopeChanged(bool inSelection);
    void search(bool backward);
    void showMatch(const TextMatch &match, bool backward);
    // `gaveUp`: the expression engine gave up, which is no "not found".
    void showNotFound(bool gaveUp = false);
    TextSearch currentSearch() const;
    SearchRange currentRange() const;
    bool scoped() const;
    void setStatus(const QString &text, bool problem = false);
    // True when the page's text is at hand; otherwise a big page is being read in
    // slices and `action` runs once it is (only the latest action waits).
    bool pageRead(std::function<void()> action);
    // A command (Find Next, Replace...) answers at once: the page's text is taken now,
    // and what waited for a reading in slices runs first.
    void takePageNow();
    // The search Replace and Replace All run: with a valid pattern, both fields
    // remembered; none when there is nothing to run.
    std::optional<TextSearch> searchToReplace();
    void startCount();
    void countDone(quint64 generation, const std::shared_ptr<QList<qsizetype>> &starts);
    void cancelCounts();
    void updateStatus();
    QStringList history(const QString &key) const;
    void remember(const QString &key, QComboBox *field);
    bool eventFilter(QObject *watched, QEvent *event) override;

    InsertionCore &m_core;
    Platform &m_platform;
    Page &m_page;
    // The page holds its copy for the search while the bar is open.
    bool m_holdingCopy = false;
    // The editor owns the highlights; they may go before the bar does.
    QPointer<MatchHighlights> m_highlights;

    QComboBox *m_findEdit;
    QComboBox *m_replaceEdit;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QCheckBox *m_regularExpression;
    QCheckBox *m_inSelection;
    QPushButton *m_findNext;
    QPushButton *m_findPrevious;
    QPushButton *m_replace;
    QPushButton *m_replaceAll;
    QLabel *m_status;
    QList<QWidget *> m_replaceRow;

    // Where typing searches from: the caret when the bar opened, then each match
    // Find Next or Find Previous went to.
    int m_startPosition = 0;
    TextMatch m_current;
    bool m_wrapped = false;
    bool m_backward = false;
    // The selection the search is kept inside when In Selection is checked.
    // The selection searched In selection, following the page's edits.
    std::unique_ptr<MovingRange> m_scope;

    // The matches of the current search, counted on a worker thread.
    quint64 m_generation = 0;
    bool m_counted = false;
    QList<qsizetype> m_matchStarts;
    struct Count {
        QThread *thread;
        std::shared_ptr<std::atomic_bool> cancel;
    };
    QList<Count> m_counts;
    QTimer *m_recount;
    std::function<void()> m_pending;
    std::pair<QString, bool> m_statusBeforeReading;
    bool m_statusIsProblem = false;
};

} // namespace vellumo
