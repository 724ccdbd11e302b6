#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QStatusBar;
class QWidget;

namespace vellumo {

// Writes the status text of whatever control the mouse moves over into the status bar.
// The text stays until another control with a status text is moved over: leaving a control,
// or moving over one without a text (a separator, the link tree, a disabled button), leaves
// the status bar as it is. Qt's own status tips would clear it, so this is an event filter
// on mouse movement instead.
class StatusHints final : public QObject {
    Q_OBJECT
public:
    StatusHints(QStatusBar *bar, QObject *parent = nullptr);

    static QString welcomeText() { return QStringLiteral("Welcome to Vellumo"); }

    // Finds every control of the status-text table below `root` (and `root` itself) by
    // objectName, turns on mouse tracking for it and for Qt's unnamed parts of it, and
    // watches them. Call it again after adding controls; a control is watched once.
    void install(QWidget *root);

    // Shows the last control's status text again (the welcome text before any), in place
    // of what a command said since about a page that is no longer there.
    void showLastHint();

    // Table names that install() has not found so far, for a start-up check of the window.
    QStringList missingControls() const;

    // The status text a control shows: its fixed text, or its tooltip read at the moment the
    // mouse moves; empty for names outside the table.
    QString statusTextFor(const QWidget *control) const;

    // Called when the mouse moves over the menu row's filler `Panel1`, before the welcome
    // text is shown: the main window docks the menu toolbar back at the start of its row.
    std::function<void()> onMenuRowFiller;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        enum Source { ToolTip, Fixed, Welcome, MenuRowFiller };
        Source source = ToolTip;
        QString text;
    };

    void watch(QWidget *widget, const QString &name);
    void track(QWidget *widget);
    void showFor(QWidget *widget);

    QStatusBar *m_bar;
    QHash<QString, Entry> m_table;
    QHash<QWidget *, QString> m_controls; // watched controls and their table names
    QString m_lastHint = welcomeText();
};

} // namespace vellumo
