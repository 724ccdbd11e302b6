// The main window's controls: editor, menus, toolbars, side panel and status bar,
// built from the command table in commands.cpp.

#include "app/main_window.h"
#include "search/find_bar.h"
#include "search/search_commands.h"
#include "search/search_results.h"

#include "app/commands.h"
#include "app/status_fields.h"
#include "app/status_hints.h"
#include "check/page_check.h"
#include "check/problems_panel.h"
#include "document/page.h"
#include "document/page_template.h"
#include "document/snippet_store.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "markup/abbreviation_expander.h"
#include "markup/auto_indent.h"
#include "markup/entity_palette.h"
#include "markup/markup_completion.h"
#include "markup/snippets_panel.h"
#include "preview/live_preview.h"
#include "widgets/drop_down_row.h"
#include "widgets/flat_tool_button.h"
#include "widgets/glyph_icon.h"

#include <QAction>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProxyStyle>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vellumo {

namespace {

// The style's own tabs with half its space beside each label: every label of the
// side panel stays whole and clear of its borders without widening the panel much.
class CompactTabStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
};

QIcon iconFor(const Face &face) {
    if (face.lines)
        return alignmentIcon(face.lines);
    return glyphIcon(face.glyph, face.colour, face.bold, face.italic, face.underline);
}

QFrame *makeFiller(const QString &name, QWidget *parent) {
    auto *filler = new QFrame(parent);
    filler->setObjectName(name);
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    filler->setMinimumHeight(22);
    return filler;
}

} // namespace

void TForm1::createEditor() {
    editor = new PageEditor;
    editor->setSyntaxColouring(m_settings.syntaxColouring());
    editor->setLineNumbersShown(m_settings.lineNumbersShown());
    editor->setObjectName(QStringLiteral("RichEdit1"));
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    editor->setPlainText(pageTemplate(true));
    editor->installEventFilter(this);
    m_core = std::make_unique<InsertionCore>(editor);
    // Made before the completion, whose list then sees Tab and Enter first while it is
    // shown; the expansion's places see Tab before the indentation does.
    new AutoIndent(editor, *m_core);
    m_abbreviations = new AbbreviationExpander(editor, *m_core);
    m_abbreviations->setExpandOnTab(m_settings.abbreviationTab());
    m_abbreviations->setSnippets(
        [this](QStringView trigger) { return snippets().byTrigger(trigger); },
        [this] { return snippetVariables(); });
    connect(m_abbreviations, &AbbreviationExpander::noted, this,
            [this](const QString &note) { statusLine->showMessage(note); });
    (new MarkupCompletion(editor, *m_core))->setEnabled(m_settings.autoComplete());
    m_search = new SearchCommands(*m_core, m_platform, this);
    // Local references resolve from the page's folder, or the start folder for a new page.
    m_pageCheck = new PageCheck(
        m_core->page(),
        [this] {
            const bool untitled = m_document->CurrentFileName == UntitledFileName;
            return CheckRequest{{},
                                untitled ? StartupFolder
                                         : QFileInfo(m_document->CurrentFileName).absolutePath(),
                                untitled,
                                encodingName(m_document->format.encoding)};
        },
        this);
    // Relative references of an untitled page resolve from the start folder.
    m_preview = new LivePreview(*this, m_core->page(), m_platform, [this] {
        if (m_document->CurrentFileName == UntitledFileName)
            return LivePreview::PageInfo{StartupFolder, UntitledFileName};
        const QFileInfo file(m_document->CurrentFileName);
        return LivePreview::PageInfo{file.absolutePath(), file.fileName()};
    });
}

QAction *TForm1::newAction(const QString &objectName, const QString &text) {
    auto *action = new QAction(text, this);
    action->setObjectName(objectName);
    m_actions.insert(objectName, action);
    return action;
}

QAction *TForm1::action(const QString &objectName) const {
    return m_actions.value(objectName);
}

QAction *TForm1::newControlAction(const QString &objectName) {
    const Control *control = nullptr;
    const CommandRow *row = commandOfControl(objectName, &control);
    if (row == nullptr)
        qFatal("main window: no command has a control named %s", qPrintable(objectName));
    QAction *item = newAction(objectName, control->text);
    switch (control->kind) {
    case Control::MenuEntry:
        // The shortcuts shown in the menus act only while their menu is open; the
        // window-wide ones are the hidden entries' and the editor's own keys, so no
        // key is ever bound twice.
        item->setShortcuts(row->keys);
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setCheckable(row->checkable);
        break;
    case Control::Button:
        item->setIcon(iconFor(row->face));
        item->setToolTip(control->text);
        item->setCheckable(row->checkable);
        break;
    case Control::HiddenKey:
        if (!row->keys.isEmpty())
            item->setShortcut(row->keys.first());
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
        break;
    }
    connect(item, &QAction::triggered, this, [this, id = row->id] { run(id); });
    m_states->bind(row->id, control->kind, item);
    return item;
}

void TForm1::createMenus() {
    auto fillMenu = [this](QMenu *menu, const QStringList &entries) {
        for (const QString &name : entries) {
            if (name.isEmpty())
                menu->addSeparator();
            else
                menu->addAction(newControlAction(name));
        }
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { refreshMenu(menu); });
    };
    for (const MenuLayout &layout : dropDownMenus()) {
        auto *menu = new QMenu(this);
        menu->setObjectName(layout.menuName);
        fillMenu(menu, layout.entries);
    }
    editorMenu = new QMenu(this);
    editorMenu->setObjectName(QStringLiteral("PopupMenu6"));
    for (const MenuLayout &layout : editorMenuSubmenus()) {
        // A line between the submenus, as between the groups of the menu's own items.
        if (!editorMenu->isEmpty())
            editorMenu->addSeparator();
        QMenu *submenu = editorMenu->addMenu(layout.buttonText);
        submenu->setObjectName(layout.menuName);
        submenu->menuAction()->setObjectName(layout.menuName);
        fillMenu(submenu, layout.entries);
    }
    fillMenu(editorMenu, editorMenuEntries());

    // The hidden main menu: its only item is invisible, its entries carry the
    // window's file shortcuts.
    auto *mainMenu = new QMenu(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    for (const QString &name : hiddenKeyEntries())
        mainMenu->addAction(newControlAction(name));
}

void TForm1::createToolbars() {
    auto makeToolbar = [this](const QString &name) {
        auto *toolbar = new QToolBar(QStringLiteral("Menu"), this);
        toolbar->setObjectName(name);
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setFloatable(true);
        addToolBar(Qt::TopToolBarArea, toolbar);
        return toolbar;
    };
    // The filler after each toolbar stretches its row to the right edge.
    auto addFiller = [this](const QString &name) {
        auto *holder = new QToolBar(this);
        holder->setObjectName(name + QStringLiteral("Row"));
        holder->setMovable(false);
        holder->setFloatable(false);
        QFrame *filler = makeFiller(name, holder);
        holder->addWidget(filler);
        addToolBar(Qt::TopToolBarArea, holder);
        return filler;
    };
    auto addButtons = [this](QToolBar *toolbar, const QStringList &buttons) {
        for (const QString &name : buttons) {
            if (name.isEmpty()) {
                toolbar->addSeparator();
                continue;
            }
            QAction *button = newControlAction(name);
            toolbar->addAction(button);
            toolbar->widgetForAction(button)->setObjectName(name);
            toolbar->widgetForAction(button)->setFocusPolicy(Qt::NoFocus);
        }
    };

    dropDownBar = makeToolbar(QStringLiteral("Toolbar971"));
    QList<QToolButton *> dropDowns;
    QList<QKeySequence> openers;
    for (const MenuLayout &layout : dropDownMenus()) {
        openers << layout.opener;
        auto *button = new QToolButton(dropDownBar);
        button->setObjectName(layout.buttonName);
        button->setText(layout.buttonText);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(findChild<QMenu *>(layout.menuName));
        dropDownBar->addWidget(button);
        dropDowns << button;
    }
    new DropDownRow(this, dropDowns, QKeySequence(Qt::Key_F10), openers);
    dropDownBarFiller = addFiller(QStringLiteral("Panel1"));
    addToolBarBreak();
    standardBar = makeToolbar(QStringLiteral("Toolbar972"));
    addButtons(standardBar, standardToolbar());
    standardBarFiller = addFiller(QStringLiteral("Panel2"));
    addToolBarBreak();
    insertBar = makeToolbar(QStringLiteral("Toolbar973"));
    addButtons(insertBar, insertToolbar());
    insertBarFiller = addFiller(QStringLiteral("Panel4"));

    // The editing commands start as an untouched page with nothing selected has them;
    // the panel starts shown. (Menu entries are set again each time their menu opens;
    // the editor menu's only then.)
    for (const CommandRow &row : commandTable())
        for (const Control::Kind kind : {Control::MenuEntry, Control::Button})
            m_states->setEnabled(row.id, kind, enabledNow(enabledRule(row, kind), false));
    m_states->setChecked(Command::ViewPanel, true);
    // The View menu's toggles show what the editor draws.
    m_states->setChecked(Command::LineNumbers, editor->lineNumbersShown());
    m_states->setChecked(Command::SyntaxColouring, editor->syntaxColouring());
    connect(m_preview, &LivePreview::openChanged, this,
            [this](bool open) { m_states->setChecked(Command::LivePreview, open); });
}

void TForm1::fillPalette(QWidget *page, const QStringList &buttons) {
    auto *grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setColumnStretch(8, 1); // buttons keep to the left, rows of eight
    int index = 0;
    for (const QString &name : buttons) {
        const Control *control = nullptr;
        const CommandRow *row = commandOfControl(name, &control);
        if (row == nullptr)
            qFatal("main window: no command has a control named %s", qPrintable(name));
        QToolButton *button = makeFlatButton(page, name, control->text, {iconFor(row->face), {}});
        connect(button, &QToolButton::clicked, this, [this, id = row->id] { run(id); });
        addToPaletteGrid(grid, button, index++);
    }
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addStretch(1);
}

// Every tab label is shown whole at the program's font, clear of its borders: the
// panel keeps its 209 pixels and grows only as far as the wider row of tabs needs.
void TForm1::fitPanelToTabs() {
    // Made after the page controls, so it outlives their tab bars.
    auto *tabStyle = new CompactTabStyle;
    tabStyle->setParent(sidePanel);
    for (QTabWidget *pages : {sidePanelTabs, insertHtmlTabs}) {
        pages->setElideMode(Qt::ElideNone);
        pages->setUsesScrollButtons(false);
        pages->tabBar()->setStyle(tabStyle);
    }
    sidePanel->setFixedWidth(std::max(sidePanel->width(), sidePanel->minimumSizeHint().width()));
}

void TForm1::createSidePanel() {
    sidePanel = new QFrame;
    sidePanel->setObjectName(QStringLiteral("Panel3"));
    sidePanel->setFixedWidth(209);
    sidePanelTabs = new QTabWidget(sidePanel);
    sidePanelTabs->setObjectName(QStringLiteral("PageControl1"));
    auto *panelLayout = new QVBoxLayout(sidePanel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(sidePanelTabs);

    auto makeTab = [](QTabWidget *pages, const QString &name, const QString &caption) {
        auto *tab = new QWidget;
        tab->setObjectName(name);
        pages->addTab(tab, caption);
        return tab;
    };
    webPagesTab = makeTab(sidePanelTabs, QStringLiteral("TabSheet1"), QStringLiteral("Web Pages"));
    linkToFileTab =
        makeTab(sidePanelTabs, QStringLiteral("TabSheet2"), QStringLiteral("Link to File"));
    insertHtmlTab =
        makeTab(sidePanelTabs, QStringLiteral("TabSheet3"), QStringLiteral("Insert HTML"));
    // The user's own snippets, beside the pages the program came with.
    auto *snippetsPanel =
        new SnippetsPanel([this]() -> SnippetStore & { return snippets(); }, m_platform);
    sidePanelTabs->addTab(snippetsPanel, QStringLiteral("Snippets"));
    connect(snippetsPanel, &SnippetsPanel::insertRequested, this, [this](const Snippet &snippet) {
        const Page &page = m_core->page();
        const QString message = m_abbreviations->insertSnippet(
            snippet.body, page.selectionStart(), page.selectionEnd(), snippetVariables());
        if (!message.isEmpty())
            statusLine->showMessage(message);
        m_core->FocusEditor();
    });
    connect(snippetsPanel, &SnippetsPanel::noted, this,
            [this](const QString &note) { statusLine->showMessage(note); });

    logo = new QLabel(webPagesTab);
    logo->setObjectName(QStringLiteral("Image2"));
    logo->setFixedSize(185, 121);
    logo->setFrameShape(QFrame::Panel);
    logo->setFrameShadow(QFrame::Sunken);
    logo->setScaledContents(true);
    goThereButton = new QPushButton(QStringLiteral("Go There!"), webPagesTab);
    goThereButton->setObjectName(QStringLiteral("Button1"));
    auto *webLayout = new QVBoxLayout(webPagesTab);
    webLayout->addWidget(logo, 0, Qt::AlignHCenter);
    webLayout->addStretch(1);
    webLayout->addWidget(goThereButton);

    linkToFileButton = new QPushButton(QStringLiteral("&Link To File"), linkToFileTab);
    linkToFileButton->setObjectName(QStringLiteral("Button2"));
    auto *fileLayout = new QVBoxLayout(linkToFileTab);
    fileLayout->addStretch(1);
    fileLayout->addWidget(linkToFileButton);

    insertHtmlTabs = new QTabWidget(insertHtmlTab);
    insertHtmlTabs->setObjectName(QStringLiteral("PageControl2"));
    auto *insertLayout = new QVBoxLayout(insertHtmlTab);
    insertLayout->setContentsMargins(0, 0, 0, 0);
    insertLayout->addWidget(insertHtmlTabs);
    normalTab = makeTab(insertHtmlTabs, QStringLiteral("TabSheet6"), QStringLiteral("Normal"));
    fontsTab = makeTab(insertHtmlTabs, QStringLiteral("TabSheet4"), QStringLiteral("Fonts"));
    appletsTab = makeTab(insertHtmlTabs, QStringLiteral("TabSheet7"), QStringLiteral("Applets"));
    charactersTab =
        makeTab(insertHtmlTabs, QStringLiteral("TabSheet5"), QStringLiteral("Characters"));
    fitPanelToTabs();

    fillPalette(normalTab, normalPalette());
    fillPalette(fontsTab, fontsPalette());
    fillPalette(appletsTab, appletsPalette());
    populateCharacterPalette(charactersTab, *m_core);

    auto *centre = new QWidget;
    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(sidePanel);
    // The problems of Check Page share the editor's height with the Find in Files
    // results, hidden until the first check.
    layout->addWidget(m_search->editorColumn(editor, {m_pageCheck->panel()}), 1);
    addBottomPanel(m_search->findBar());
    addBottomPanel(m_search->results());
    addBottomPanel(m_pageCheck->panel());
    setCentralWidget(centre);
}

void TForm1::createStatusBar() {
    statusLine = new QStatusBar(this);
    statusLine->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(statusLine);
    statusLine->showMessage(StatusHints::welcomeText());
    m_statusFields = new StatusFields(statusLine, m_core->page(), this);
}

void TForm1::createStatusHints() {
    m_statusHints = new StatusHints(statusLine, this);
    m_statusHints->onMenuRowFiller = [this] { dockMenuToolbarHome(); };
    m_statusHints->install(this);
    if (const QStringList missing = m_statusHints->missingControls(); !missing.isEmpty())
        qFatal("main window: no control for the status texts of %s",
               qPrintable(missing.join(u' ')));
}

void TForm1::dockMenuToolbarHome() {
    // The first toolbar of the top row, the menu toolbar apart.
    QToolBar *first = nullptr;
    for (QToolBar *toolbar : findChildren<QToolBar *>(Qt::FindDirectChildrenOnly)) {
        if (toolbar == dropDownBar || toolbar->isFloating() ||
            toolBarArea(toolbar) != Qt::TopToolBarArea)
            continue;
        const QPoint at = toolbar->geometry().topLeft();
        if (first == nullptr || at.y() < first->y() ||
            (at.y() == first->y() && at.x() < first->x()))
            first = toolbar;
    }
    if (first == nullptr)
        return;
    const bool home = !dropDownBar->isFloating() &&
                      toolBarArea(dropDownBar) == Qt::TopToolBarArea &&
                      dropDownBar->y() <= first->y() && dropDownBar->x() < first->x();
    if (home)
        return;
    removeToolBar(dropDownBar);
    insertToolBar(first, dropDownBar);
    dropDownBar->show();
}

} // namespace vellumo
