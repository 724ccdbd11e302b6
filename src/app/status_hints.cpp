#include "app/status_hints.h"

#include "markup/entity_palette.h"

#include <QMouseEvent>
#include <QSet>
#include <QStatusBar>
#include <QWidget>

namespace vellumo {

namespace {

// Buttons whose status text is their hint (tooltip), unless the tables below say otherwise.
// The character palette's buttons join them from its own table.
// clang-format off
constexpr const char *HintedButtons[] = {
    // standard toolbar
    "ToolbarButton976", "ToolbarButton974", "ToolbarButton977", "ToolbarButton975",
    "ToolbarButton978", "ToolbarButton979", "TransparentButton1", "TransparentButton2",
    "ToolbarButton9710", "ToolbarButton9711", "ToolbarButton9713", "ToolbarButton9712",
    "ToolbarButton9726", "ToolbarButton9714", "ToolbarButton9718", "ToolbarButton9715",
    "ToolbarButton9716", "ToolbarButton9717", "ToolbarButton9719", "ToolbarButton9720",
    "ToolbarButton9721", "ToolbarButton9722", "ToolbarButton9723", "ToolbarButton9724",
    // insert toolbar
    "ToolbarButton9725", "ToolbarButton97126", "ToolbarButton97134", "ToolbarButton97127",
    "ToolbarButton97136", "ToolbarButton97138", "ToolbarButton97139", "ToolbarButton97149",
    "ToolbarButton97131", "ToolbarButton97141", "ToolbarButton97146", "ToolbarButton97144",
    "ToolbarButton97151", "ToolbarButton97153", "ToolbarButton97155", "ToolbarButton97157",
    "ToolbarButton97159", "ToolbarButton97161", "ToolbarButton97163", "ToolbarButton97165",
    // "Normal" page
    "ToolbarButton97113", "ToolbarButton97130", "ToolbarButton97133", "ToolbarButton97135",
    "ToolbarButton97125", "ToolbarButton97137", "ToolbarButton97140", "ToolbarButton97142",
    "ToolbarButton97143", "ToolbarButton97145", "ToolbarButton97148", "ToolbarButton97150",
    "ToolbarButton97152", "ToolbarButton97154", "ToolbarButton97156", "ToolbarButton97158",
    "ToolbarButton97160", "ToolbarButton97162", "ToolbarButton97164",
    // "Fonts" page
    "ToolbarButton9727", "ToolbarButton9728", "ToolbarButton97114", "ToolbarButton97115",
    "ToolbarButton97116", "ToolbarButton97117", "ToolbarButton97118", "ToolbarButton97119",
    "ToolbarButton97120", "ToolbarButton97121", "ToolbarButton97122", "ToolbarButton97129",
    "ToolbarButton97128",
    // "Applets" page
    "ToolbarButton97123", "ToolbarButton97147",
};
// clang-format on

// Buttons that say more in the status bar than in their hint. A button that runs the same
// command as one listed here shows the same text (see Twins).
constexpr struct {
    const char *name;
    const char *text;
} FixedTexts[] = {
    {"ToolbarButton976", "Create a new file"},
    {"ToolbarButton974", "Open a saved file"},
    {"ToolbarButton977", "Save the current file"},
    {"ToolbarButton975", "Cut the selected text to the clipboard"},
    {"ToolbarButton978", "Copy selected text to clipboard"},
    {"ToolbarButton979", "Paste text from the clipboard"},
    {"TransparentButton1", "View the panel"},
    {"TransparentButton2", "Change to Uppercase or Lowercase letters"},
    {"ToolbarButton9715", "Insert Paragraph"},
    {"ToolbarButton9716", "Insert Break"},
    {"ToolbarButton9719", "Insert Heading 1"},
    {"ToolbarButton9720", "Insert Heading 2"},
    {"ToolbarButton9721", "Insert Heading 3"},
    {"ToolbarButton9722", "Insert Heading 4"},
    {"ToolbarButton9723", "Insert Heading 5"},
    {"ToolbarButton9724", "Insert Heading 6"},
    {"ToolbarButton97113", "Insert an image"},
    {"ToolbarButton97125", "Create a link from the selected text"},
    {"ToolbarButton97148", "Change the font"},
    {"ToolbarButton97129", "Increase Text Size + 1"},
    {"ToolbarButton97123",
     "This will automatically transfer the visitor of the page to another page"},
    // The palette's hint is misspelt; its status text is not.
    {"ToolbarButton9775", "i circumflex"},
};

// Twin -> the button whose status text it shares: the insert toolbar's buttons share the
// "Normal" page's, the "Fonts" page's copies share the standard toolbar's.
// clang-format off
constexpr struct {
    const char *twin;
    const char *original;
} Twins[] = {
    {"ToolbarButton97127", "ToolbarButton97113"}, {"ToolbarButton97131", "ToolbarButton97130"},
    {"ToolbarButton97134", "ToolbarButton97133"}, {"ToolbarButton97136", "ToolbarButton97135"},
    {"ToolbarButton97126", "ToolbarButton97125"}, {"ToolbarButton97138", "ToolbarButton97137"},
    {"ToolbarButton97139", "ToolbarButton97140"}, {"ToolbarButton97141", "ToolbarButton97142"},
    {"ToolbarButton97144", "ToolbarButton97143"}, {"ToolbarButton97146", "ToolbarButton97145"},
    {"ToolbarButton97149", "ToolbarButton97148"}, {"ToolbarButton97151", "ToolbarButton97150"},
    {"ToolbarButton97153", "ToolbarButton97152"}, {"ToolbarButton97155", "ToolbarButton97154"},
    {"ToolbarButton97157", "ToolbarButton97156"}, {"ToolbarButton97159", "ToolbarButton97158"},
    {"ToolbarButton97161", "ToolbarButton97160"}, {"ToolbarButton97163", "ToolbarButton97162"},
    {"ToolbarButton97165", "ToolbarButton97164"}, {"ToolbarButton97114", "ToolbarButton9711"},
    {"ToolbarButton97115", "ToolbarButton9713"}, {"ToolbarButton97116", "ToolbarButton9712"},
    {"ToolbarButton97117", "ToolbarButton9726"}, {"ToolbarButton97118", "ToolbarButton9714"},
    {"ToolbarButton97119", "ToolbarButton9718"}, {"ToolbarButton97120", "ToolbarButton9716"},
    {"ToolbarButton97121", "ToolbarButton9717"}, {"ToolbarButton97122", "ToolbarButton9725"},
};
// clang-format on

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
    for (const char *name : HintedButtons)
        m_table.insert(QString::fromLatin1(name), {});
    for (const EntityButton &button : entityButtons())
        m_table.insert(button.objectName, {});
    for (const auto &fixed : FixedTexts)
        m_table.insert(QString::fromLatin1(fixed.name),
                       {Entry::Fixed, QString::fromLatin1(fixed.text)});
    for (const auto &twin : Twins) {
        const Entry original = m_table.value(QString::fromLatin1(twin.original));
        if (original.source == Entry::Fixed)
            m_table.insert(QString::fromLatin1(twin.twin), original);
    }
    for (const char *name : BackgroundControls)
        m_table.insert(QString::fromLatin1(name), {Entry::Welcome, welcomeText()});
    m_table.insert(QString::fromLatin1(MenuRowFiller), {Entry::MenuRowFiller, welcomeText()});

    m_bar->showMessage(welcomeText());
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
    if (!text.isEmpty())
        m_bar->showMessage(text);
}

} // namespace vellumo
