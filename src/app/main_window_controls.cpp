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
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_template.h"
#include "markup/entity_palette.h"
#include "markup/markup_completion.h"
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
#include <QPlainTextEdit>
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
    auto *editor = new PageEditor;
    editor->setSyntaxColouring(m_settings.syntaxColouring());
    editor->setLineNumbersShown(m_settings.lineNumbersShown());
    RichEdit1 = editor;
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RichEdit1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    RichEdit1->setPlainText(pageTemplate(true));
    RichEdit1->installEventFilter(this);
    m_core = std::make_unique<InsertionCore>(RichEdit1);
    (new MarkupCompletion(editor, *m_core))->setEnabled(m_settings.autoComplete());
    m_search = new SearchCommands(*m_core, m_platform, this);
    // Local references resolve from the page's folder, or the start folder for a new page.
    m_pageCheck = new PageCheck(
        *RichEdit1,
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
    m_preview = new LivePreview(*this, *RichEdit1, m_platform, [this] {
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
    PopupMenu6 = new QMenu(this);
    PopupMenu6->setObjectName(QStringLiteral("PopupMenu6"));
    for (const MenuLayout &layout : editorMenuSubmenus()) {
        // A line between the submenus, as between the groups of the menu's own items.
        if (!PopupMenu6->isEmpty())
            PopupMenu6->addSeparator();
        QMenu *submenu = PopupMenu6->addMenu(layout.buttonText);
        submenu->setObjectName(layout.menuName);
        submenu->menuAction()->setObjectName(layout.menuName);
        fillMenu(submenu, layout.entries);
    }
    fillMenu(PopupMenu6, editorMenuEntries());

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

    Toolbar971 = makeToolbar(QStringLiteral("Toolbar971"));
    QList<QToolButton *> dropDowns;
    QList<QKeySequence> openers;
    for (const MenuLayout &layout : dropDownMenus()) {
        openers << layout.opener;
        auto *button = new QToolButton(Toolbar971);
        button->setObjectName(layout.buttonName);
        button->setText(layout.buttonText);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(findChild<QMenu *>(layout.menuName));
        Toolbar971->addWidget(button);
        dropDowns << button;
    }
    new DropDownRow(this, dropDowns, QKeySequence(Qt::Key_F10), openers);
    Panel1 = addFiller(QStringLiteral("Panel1"));
    addToolBarBreak();
    Toolbar972 = makeToolbar(QStringLiteral("Toolbar972"));
    addButtons(Toolbar972, standardToolbar());
    Panel2 = addFiller(QStringLiteral("Panel2"));
    addToolBarBreak();
    Toolbar973 = makeToolbar(QStringLiteral("Toolbar973"));
    addButtons(Toolbar973, insertToolbar());
    Panel4 = addFiller(QStringLiteral("Panel4"));

    // The editing commands start as an untouched page with nothing selected has them;
    // the panel starts shown.
    // (The editor menu's entries are set when it opens, Redo's when the Edit menu opens.)
    for (const MenuLayout &layout : dropDownMenus())
        for (const QString &name : layout.entries)
            if (const CommandRow *row = commandOfControl(name);
                row && row->enabled != EnabledWhen::RedoAvailable)
                action(name)->setEnabled(enabledNow(row->enabled, false));
    for (const CommandRow &row : commandTable())
        for (const Control &control : row.controls)
            if (control.kind == Control::Button && row.enabled != EnabledWhen::Always)
                if (QAction *button = action(control.objectName))
                    button->setEnabled(enabledNow(row.enabled, false));
    buttonAction(Command::ViewPanel)->setChecked(true);
    // The View menu's toggles show what the editor draws.
    auto *editor = static_cast<PageEditor *>(RichEdit1);
    action(QStringLiteral("LineNumbers1"))->setChecked(editor->lineNumbersShown());
    action(QStringLiteral("Highlight1"))->setChecked(editor->syntaxColouring());
    connect(m_preview, &LivePreview::openChanged, action(QStringLiteral("LivePreview1")),
            &QAction::setChecked);
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
    tabStyle->setParent(Panel3);
    for (QTabWidget *pages : {PageControl1, PageControl2}) {
        pages->setElideMode(Qt::ElideNone);
        pages->setUsesScrollButtons(false);
        pages->tabBar()->setStyle(tabStyle);
    }
    Panel3->setFixedWidth(std::max(Panel3->width(), Panel3->minimumSizeHint().width()));
}

void TForm1::createSidePanel() {
    Panel3 = new QFrame;
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedWidth(209);
    PageControl1 = new QTabWidget(Panel3);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *panelLayout = new QVBoxLayout(Panel3);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(PageControl1);

    auto makeTab = [](QTabWidget *pages, const QString &name, const QString &caption) {
        auto *tab = new QWidget;
        tab->setObjectName(name);
        pages->addTab(tab, caption);
        return tab;
    };
    TabSheet1 = makeTab(PageControl1, QStringLiteral("TabSheet1"), QStringLiteral("Web Pages"));
    TabSheet2 = makeTab(PageControl1, QStringLiteral("TabSheet2"), QStringLiteral("Link to File"));
    TabSheet3 = makeTab(PageControl1, QStringLiteral("TabSheet3"), QStringLiteral("Insert HTML"));

    Image2 = new QLabel(TabSheet1);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setFixedSize(185, 121);
    Image2->setFrameShape(QFrame::Panel);
    Image2->setFrameShadow(QFrame::Sunken);
    Image2->setScaledContents(true);
    Button1 = new QPushButton(QStringLiteral("Go There!"), TabSheet1);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *webLayout = new QVBoxLayout(TabSheet1);
    webLayout->addWidget(Image2, 0, Qt::AlignHCenter);
    webLayout->addStretch(1);
    webLayout->addWidget(Button1);

    Button2 = new QPushButton(QStringLiteral("&Link To File"), TabSheet2);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto *fileLayout = new QVBoxLayout(TabSheet2);
    fileLayout->addStretch(1);
    fileLayout->addWidget(Button2);

    PageControl2 = new QTabWidget(TabSheet3);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    auto *insertLayout = new QVBoxLayout(TabSheet3);
    insertLayout->setContentsMargins(0, 0, 0, 0);
    insertLayout->addWidget(PageControl2);
    TabSheet6 = makeTab(PageControl2, QStringLiteral("TabSheet6"), QStringLiteral("Normal"));
    TabSheet4 = makeTab(PageControl2, QStringLiteral("TabSheet4"), QStringLiteral("Fonts"));
    TabSheet7 = makeTab(PageControl2, QStringLiteral("TabSheet7"), QStringLiteral("Applets"));
    TabSheet5 = makeTab(PageControl2, QStringLiteral("TabSheet5"), QStringLiteral("Characters"));
    fitPanelToTabs();

    fillPalette(TabSheet6, normalPalette());
    fillPalette(TabSheet4, fontsPalette());
    fillPalette(TabSheet7, appletsPalette());
    populateCharacterPalette(TabSheet5, *m_core);

    auto *centre = new QWidget;
    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel3);
    // The problems of Check Page share the editor's height with the Find in Files
    // results, hidden until the first check.
    layout->addWidget(m_search->editorColumn({m_pageCheck->panel()}), 1);
    addBottomPanel(m_search->findBar());
    addBottomPanel(m_search->results());
    addBottomPanel(m_pageCheck->panel());
    setCentralWidget(centre);
}

void TForm1::createStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    StatusBar1->showMessage(StatusHints::welcomeText());
    m_statusFields = new StatusFields(StatusBar1, RichEdit1, this);
}

void TForm1::createStatusHints() {
    auto *hints = new StatusHints(StatusBar1, this);
    hints->onMenuRowFiller = [this] { dockMenuToolbarHome(); };
    hints->install(this);
    if (const QStringList missing = hints->missingControls(); !missing.isEmpty())
        qFatal("main window: no control for the status texts of %s",
               qPrintable(missing.join(u' ')));
}

void TForm1::dockMenuToolbarHome() {
    // The first toolbar of the top row, the menu toolbar apart.
    QToolBar *first = nullptr;
    for (QToolBar *toolbar : findChildren<QToolBar *>(Qt::FindDirectChildrenOnly)) {
        if (toolbar == Toolbar971 || toolbar->isFloating() ||
            toolBarArea(toolbar) != Qt::TopToolBarArea)
            continue;
        const QPoint at = toolbar->geometry().topLeft();
        if (first == nullptr || at.y() < first->y() ||
            (at.y() == first->y() && at.x() < first->x()))
            first = toolbar;
    }
    if (first == nullptr)
        return;
    const bool home = !Toolbar971->isFloating() && toolBarArea(Toolbar971) == Qt::TopToolBarArea &&
                      Toolbar971->y() <= first->y() && Toolbar971->x() < first->x();
    if (home)
        return;
    removeToolBar(Toolbar971);
    insertToolBar(first, Toolbar971);
    Toolbar971->show();
}

} // namespace vellumo
