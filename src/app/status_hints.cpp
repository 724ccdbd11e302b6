#include "app/status_hints.h"

#include "app/commands.h"
#include "markup/entity_palette.h"

#include <QMouseEvent>
#include <QSet>
#include <QStatusBar>
#include <QWidget>

namespace vellumo {

namespace {

// Palette buttons whose status text is not their hint: the hint is misspelt, the status
// text is not.
constexpr struct {
    const char *name;
    const char *text;
} EntityStatusTexts[] = {
    {"ToolbarButton9775", "i circumflex"},
};

// The large background areas: moving over them brings the welcome text back.
constexpr const char *BackgroundControls[] = {
    "RichEdit1", "PageControl1", "PageControl2", "TabSheet1", "TabSheet2", "TabSheet6",
    "TabSheet4", "TabSheet7",    "TabSheet5",    "Panel2",    "Panel4",
};

constexpr const char *MenuRowFiller = "Panel1";

// Qt's own parts of a control (a scroll area's viewport, a tab widget's tab bar) and
// unnamed layout holders belong to the named control around them.
bool isPartOfEnclosingControl(const QWidget *widget) {
    const QString name = widget->objectName();
    return name.isEmpty() || name.startsWith(QLatin1String("qt_"));
}

} // namespace

StatusHints::StatusHints(QStatusBar *bar, QObject *parent)
    : QObject(parent)
    , m_bar(bar) {
    // Every button of a command says the command's status text, or its own hint; the
    // buttons that run the same command therefore say the same.
    for (const CommandRow &row : commandTable()) {
        for (const Control &control : row.controls) {
            if (control.kind != Control::Button)
                continue;
            m_table.insert(control.objectName, row.statusText.isEmpty()
                                                   ? Entry{}
                                                   : Entry{Entry::Fixed, row.statusText});
        }
    }
    for (const EntityButton &button : entityButtons())
        m_table.insert(button.objectName, {});
    for (const auto &fixed : EntityStatusTexts)
        m_table.insert(QString::fromLatin1(fixed.name),
                       {Entry::Fixed, QString::fromLatin1(fixed.text)});
    for (const char *name : BackgroundControls)
        m_table.insert(QString::fromLatin1(name), {Entry::Welcome, welcomeText()});
    m_table.insert(QString::fromLatin1(MenuRowFiller), {Entry::MenuRowFiller, welcomeText()});

    m_bar->showMessage(m_lastHint);
}

void StatusHints::showLastHint() {
    m_bar->showMessage(m_lastHint);
}

void StatusHints::install(QWidget *root) {
    // Menu entries and actions hand their (empty) status tips up to the main window, which
    // would clear the status bar with them; the status bar shows this table's texts only.
    if (root->isWindow())
        root->installEventFilter(this);
    if (m_table.contains(root->objectName()))
        watch(root, root->objectName());
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (m_table.contains(widget->objectName()))
            watch(widget, widget->objectName());
    }
}

void StatusHints::watch(QWidget *widget, const QString &name) {
    if (m_controls.contains(widget))
        return;
    m_controls.insert(widget, name);
    connect(widget, &QObject::destroyed, this, [this, widget] { m_controls.remove(widget); });
    track(widget);
}

void StatusHints::track(QWidget *widget) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    // Qt drops a plain mouse movement over a widget that does not track the mouse instead of
    // passing it to the parent, so the parts of a control that actually receive the mouse
    // (the editor's text area, a page control's tab bar) have to track it too.
    for (QObject *child : widget->children()) {
        auto *part = qobject_cast<QWidget *>(child);
        if (part && !part->isWindow() && isPartOfEnclosingControl(part))
            track(part);
    }
}

QStringList StatusHints::missingControls() const {
    const QList<QString> foundNames = m_controls.values();
    const QSet<QString> found(foundNames.begin(), foundNames.end());
    QStringList missing;
    for (auto it = m_table.cbegin(); it != m_table.cend(); ++it) {
        if (!found.contains(it.key()))
            missing.append(it.key());
    }
    missing.sort();
    return missing;
}

QString StatusHints::statusTextFor(const QWidget *control) const {
    const auto entry = m_table.constFind(control->objectName());
    if (entry == m_table.cend())
        return {};
    return entry->source == Entry::ToolTip ? control->toolTip() : entry->text;
}

bool StatusHints::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::StatusTip)
        return true;
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        const QPoint position = static_cast<QMouseEvent *>(event)->position().toPoint();
        // A move can reach a watched control from a child that does not track the mouse;
        // the control actually under the mouse decides.
        QWidget *under = widget->childAt(position);
        showFor(under ? under : widget);
    }
    return QObject::eventFilter(watched, event);
}

void StatusHints::showFor(QWidget *widget) {
    while (widget && isPartOfEnclosingControl(widget))
        widget = widget->parentWidget();
    // A named control outside the table (the link tree, the logo, a toolbar's background)
    // and a disabled button leave the text as it is.
    if (!widget || !m_controls.contains(widget) || !widget->isEnabled())
        return;
    const Entry entry = m_table.value(m_controls.value(widget));
    if (entry.source == Entry::MenuRowFiller && onMenuRowFiller)
        onMenuRowFiller();
    const QString text = statusTextFor(widget);
    if (!text.isEmpty()) {
        m_lastHint = text;
        m_bar->showMessage(text);
    }
}

} // namespace vellumo
