#include "app/main_window.h"

#include "app/control_tables.h"
#include "app/about_dialog.h"
#include "app/data_files.h"
#include "app/preview.h"
#include "app/tip_dialog.h"
#include "browser/insert_style_dialog.h"
#include "browser/site_panel.h"
#include "app/status_hints.h"
#include "dialogs/link_dialog.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_template.h"
#include "editor/title_dialog.h"
#include "markup/entity_palette.h"
#include "markup/format_commands.h"
#include "platform/platform.h"
#include "widgets/flat_tool_button.h"
#include "widgets/glyph_icon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace vellumo {

namespace {

const QString WelcomeText = QStringLiteral("Welcome to Vellumo");
constexpr int MainWindowHelpTopic = 4;

QIcon iconFor(const Face &face)
{
    return glyphIcon(face.glyph, face.colour, face.bold, face.italic, face.underline);
}

QFrame *makeFiller(const QString &name, QWidget *parent)
{
    auto *filler = new QFrame(parent);
    filler->setObjectName(name);
    filler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    filler->setMinimumHeight(22);
    return filler;
}

} // namespace

TForm1::TForm1(Platform &platform, QWidget *parent)
    : QMainWindow(parent), m_platform(platform), m_settings(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vellumo"));
    createEditor();
    createMenus();
    createToolbars();
    createSidePanel();
    createStatusBar();
    bindCommands();
    createStatusHints();
    FormCreate();
}

TForm1::~TForm1()
{
    // A help window opened from the program does not outlive it.
    m_platform.closeHelp();
}

void TForm1::createEditor()
{
    RichEdit1 = new PageEditor;
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RichEdit1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    RichEdit1->setPlainText(pageTemplate(true));
    RichEdit1->installEventFilter(this);
    m_core = std::make_unique<InsertionCore>(RichEdit1);
}

QAction *TForm1::newAction(const QString &objectName, const QString &text)
{
    auto *action = new QAction(text, this);
    action->setObjectName(objectName);
    m_actions.insert(objectName, action);
    return action;
}

QAction *TForm1::action(const QString &objectName) const { return m_actions.value(objectName); }

void TForm1::createMenus()
{
    // The shortcuts shown in the menus act only while their menu is open; the
    // window-wide ones are the hidden main menu's and the editor's own keys, so no
    // key is ever bound twice.
    auto fillMenu = [this](QMenu *menu, const std::vector<MenuEntry> &entries) {
        for (const MenuEntry &entry : entries) {
            if (entry.name.isEmpty()) {
                menu->addSeparator();
                continue;
            }
            QAction *item = newAction(entry.name, entry.text);
            item->setShortcut(entry.shortcut);
            item->setShortcutContext(Qt::WidgetShortcut);
            menu->addAction(item);
        }
    };
    for (const MenuTable &table : dropDownMenus()) {
        auto *menu = new QMenu(this);
        menu->setObjectName(table.menuName);
        fillMenu(menu, table.entries);
    }
    PopupMenu6 = new QMenu(this);
    PopupMenu6->setObjectName(QStringLiteral("PopupMenu6"));
    for (const MenuTable &table : editorMenuSubmenus()) {
        QMenu *submenu = PopupMenu6->addMenu(table.buttonText);
        submenu->setObjectName(table.menuName);
        submenu->menuAction()->setObjectName(table.menuName);
        fillMenu(submenu, table.entries);
    }
    fillMenu(PopupMenu6, editorMenuEntries());
    action(QStringLiteral("Redo1"))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    // The hidden main menu: its only item is invisible, its entries carry the
    // window's file shortcuts.
    auto *mainMenu = new QMenu(this);
    mainMenu->setObjectName(QStringLiteral("MainMenu1"));
    const std::pair<const char *, QKeySequence> hidden[] = {
        {"New2", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"Open2", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"Save2", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"Redo2", QKeySequence(Qt::CTRL | Qt::Key_Y)}};
    for (const auto &[name, keys] : hidden) {
        QAction *item = newAction(QString::fromLatin1(name), QString::fromLatin1(name));
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WindowShortcut);
        mainMenu->addAction(item);
        addAction(item);
    }
}

void TForm1::createToolbars()
{
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
    auto addButtons = [this](QToolBar *toolbar, const std::vector<ButtonEntry> &buttons) {
        for (const ButtonEntry &entry : buttons) {
            if (entry.name.isEmpty()) {
                toolbar->addSeparator();
                continue;
            }
            QAction *button = newAction(entry.name, entry.hint);
            button->setIcon(iconFor(faceForHint(entry.hint)));
            button->setToolTip(entry.hint);
            toolbar->addAction(button);
            toolbar->widgetForAction(button)->setObjectName(entry.name);
            toolbar->widgetForAction(button)->setFocusPolicy(Qt::NoFocus);
        }
    };

    Toolbar971 = makeToolbar(QStringLiteral("Toolbar971"));
    for (const MenuTable &table : dropDownMenus()) {
        auto *button = new QToolButton(Toolbar971);
        button->setObjectName(table.buttonName);
        button->setText(table.buttonText);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setMenu(findChild<QMenu *>(table.menuName));
        Toolbar971->addWidget(button);
    }
    Panel1 = addFiller(QStringLiteral("Panel1"));
    addToolBarBreak();
    Toolbar972 = makeToolbar(QStringLiteral("Toolbar972"));
    addButtons(Toolbar972, standardToolbar());
    Panel2 = addFiller(QStringLiteral("Panel2"));
    addToolBarBreak();
    Toolbar973 = makeToolbar(QStringLiteral("Toolbar973"));
    addButtons(Toolbar973, insertToolbar());
    Panel4 = addFiller(QStringLiteral("Panel4"));

    for (const char *name : {"ToolbarButton977", "ToolbarButton975", "ToolbarButton978",
                             "ToolbarButton979", "Undo1", "Cut1", "Copy1", "Paste1"})
        action(QString::fromLatin1(name))->setEnabled(false);
    action(QStringLiteral("TransparentButton1"))->setCheckable(true);
    action(QStringLiteral("TransparentButton1"))->setChecked(true);
    action(QStringLiteral("TransparentButton2"))->setCheckable(true);
}

void TForm1::createSidePanel()
{
    Panel3 = new QFrame;
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedWidth(209);
    // Narrow tabs, so that every tab of both page controls fits the panel's width.
    Panel3->setStyleSheet(QStringLiteral("QTabBar { font-size: 8pt; } QTabBar::tab { padding: 2px 3px; }"));
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

    auto fillPalette = [](QWidget *page, const std::vector<ButtonEntry> &buttons) {
        auto *grid = new QGridLayout;
        grid->setSpacing(0);
        grid->setColumnStretch(8, 1); // buttons keep to the left, rows of eight
        int index = 0;
        for (const ButtonEntry &entry : buttons)
            addToPaletteGrid(grid, makeFlatButton(page, entry.name, entry.hint,
                                                  {iconFor(faceForHint(entry.hint)), {}}),
                             index++);
        auto *layout = new QVBoxLayout(page);
        layout->addLayout(grid);
        layout->addStretch(1);
    };
    fillPalette(TabSheet6, normalPalette());
    fillPalette(TabSheet7, appletsPalette());
    populateFontsPage(TabSheet4);
    populateCharacterPalette(TabSheet5, *m_core);

    auto *centre = new QWidget;
    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel3);
    layout->addWidget(RichEdit1, 1);
    setCentralWidget(centre);
}

void TForm1::createStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(StatusBar1);
    StatusBar1->showMessage(WelcomeText);
}

void TForm1::createStatusHints()
{
    auto *hints = new StatusHints(StatusBar1, this);
    hints->onMenuRowFiller = [this] { dockMenuToolbarHome(); };
    hints->install(this);
    Q_ASSERT_X(hints->missingControls().isEmpty(), "TForm1",
               qPrintable(hints->missingControls().join(u' ')));
}

void TForm1::dockMenuToolbarHome()
{
    // The first toolbar of the top row, the menu toolbar apart.
    QToolBar *first = nullptr;
    for (QToolBar *toolbar : findChildren<QToolBar *>(Qt::FindDirectChildrenOnly)) {
        if (toolbar == Toolbar971 || toolbar->isFloating() ||
            toolBarArea(toolbar) != Qt::TopToolBarArea)
            continue;
        const QPoint at = toolbar->geometry().topLeft();
        if (first == nullptr || at.y() < first->y() || (at.y() == first->y() && at.x() < first->x()))
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

void TForm1::bindCommands()
{
    // The formatting commands and Insert Comment come from their own table.
    const QStringList unbound = bindMarkupCommands(this, *m_core);
    Q_ASSERT_X(unbound.isEmpty(), "TForm1", qPrintable(unbound.join(u' ')));
    auto bind = [this](std::initializer_list<const char *> names, auto handler) {
        for (const char *name : names)
            connect(action(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    bind({"New1", "New2", "New3", "ToolbarButton976"}, [this] { m_document->New1Click(); });
    bind({"Open1", "Open2", "Open3", "ToolbarButton974"}, [this] { m_document->Open1Click(); });
    bind({"Save1", "Save2", "Save3", "ToolbarButton977"}, [this] { m_document->Save1Click(); });
    bind({"Saveas1", "SaveAs2"}, [this] { m_document->Saveas1Click(); });
    bind({"Exit1"}, [this] { close(); });
    bind({"Cut1", "Cut2", "ToolbarButton975"}, [this] {
        RichEdit1->cut();
        setSaveEnabled();
    });
    bind({"Copy1", "Copy2", "ToolbarButton978"}, [this] { RichEdit1->copy(); });
    bind({"Paste1", "Paste2", "ToolbarButton979"}, [this] {
        RichEdit1->paste();
        setSaveEnabled();
    });
    bind({"SelectAll1", "SelectAll2"}, [this] { RichEdit1->selectAll(); });
    bind({"Undo1"}, [this] { RichEdit1->undo(); });
    bind({"Redo1", "Redo2"}, [this] { RichEdit1->redo(); });
    bind({"TransparentButton1"}, [this] { TransparentButton1Click(); });
    bind({"TransparentButton2"}, [this] { TransparentButton2Click(); });
    bind({"Help1"}, [this] { m_platform.showHelp(0); });
    bind({"TipoftheDay2"}, [this] { TipoftheDay2Click(); });
    bind({"About1"}, [this] {
        if (auto *about = qobject_cast<TForm4 *>(dialog(QStringLiteral("Form4"))))
            about->About1Click(Image2->pixmap());
    });
    bind({"Insert1"}, [this] { m_sitePanel->Insert1Click(); });
    bind({"ToolbarButton9710"}, [this] {
        ToolbarButton9710Click(*m_document, *RichEdit1, m_platform, this, PreviewGo);
    });
    bind({"UpdateVellumo1"}, [this] { UpdateVellumo1Click(m_platform, StartupFolder); });
    bind({"FTPAccess1"}, [this] { FTPAccess1Click(m_platform, StartupFolder); });
    // F1 anywhere in the main window opens its help topic.
    QAction *help = newAction(QStringLiteral("HelpContext"), QStringLiteral("Help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this, [this] { m_platform.showHelp(MainWindowHelpTopic); });
    bind({"ToolbarButton97126"}, [this] { linkFromSelectedText(*m_core); });
    connect(findChild<QToolButton *>(QStringLiteral("ToolbarButton97125")), &QToolButton::clicked,
            this, [this] { linkFromSelectedText(*m_core); });

    connect(RichEdit1, &QPlainTextEdit::selectionChanged, this, &TForm1::RichEdit1SelectionChange);
    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
            &TForm1::RichEdit1SelectionChange);
    connect(RichEdit1, &QPlainTextEdit::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu6->exec(RichEdit1->mapToGlobal(at)); });
    connect(findChild<QMenu *>(QStringLiteral("PopupMenu1")), &QMenu::aboutToShow, this,
            &TForm1::PopupMenu1Popup);
    connect(PopupMenu6, &QMenu::aboutToShow, this, &TForm1::PopupMenu6Popup);
}

void TForm1::setTitleDialog(TForm2 *titleDialog)
{
    m_document = new DocumentController(*m_core, m_platform, *titleDialog, this);
    m_document->setSaveButton(action(QStringLiteral("ToolbarButton977")));
}

void TForm1::setDialogs(const QList<QWidget *> &dialogs)
{
    m_dialogs = dialogs;
    if (auto *tips = qobject_cast<TForm27 *>(dialog(QStringLiteral("Form27"))))
        tips->StartupFolder = StartupFolder;
    if (auto *about = qobject_cast<TForm4 *>(dialog(QStringLiteral("Form4"))))
        about->StartupFolder = StartupFolder;
    // The side panel's file list and link tree, and drops onto the editor.
    auto *styleDialog = qobject_cast<TForm3 *>(dialog(QStringLiteral("Form3")));
    Q_ASSERT(styleDialog != nullptr);
    m_sitePanel = new SitePanel(*m_core, m_platform, *styleDialog, this);
    m_sitePanel->fillWebPagesTab(TabSheet1);
    m_sitePanel->fillLinkToFileTab(TabSheet2, StartupFolder);
    m_sitePanel->installDropHandling(RichEdit1);
}

QWidget *TForm1::dialog(const QString &objectName) const
{
    for (QWidget *window : m_dialogs)
        if (window->objectName() == objectName)
            return window;
    return nullptr;
}

void TForm1::showModal(const QString &objectName)
{
    if (auto *window = qobject_cast<QDialog *>(dialog(objectName)))
        window->exec();
}

void TForm1::FormCreate()
{
    if (m_settings.lowerCaseStored()) {
        m_core->setTagCase(LowerTagCase);
        action(QStringLiteral("TransparentButton2"))->setChecked(true);
    } else {
        m_core->setTagCase(UpperTagCase);
    }
    const bool clipboardText = m_platform.clipboardHasText();
    action(QStringLiteral("Paste1"))->setEnabled(clipboardText);
    action(QStringLiteral("ToolbarButton979"))->setEnabled(clipboardText);
    StartupFolder = QDir::toNativeSeparators(QDir::currentPath());
    const QString logo = findDataFile(StartupFolder, QStringLiteral("Vellumo.bmp"));
    const QPixmap picture(logo);
    if (picture.isNull()) {
        // Start-up goes on with an empty logo area.
        m_platform.showError(this, QStringLiteral("Vellumo"),
                             QStringLiteral("Cannot load the picture %1.")
                                 .arg(QDir::toNativeSeparators(
                                     logo.isEmpty() ? QDir(StartupFolder).filePath(
                                                          QStringLiteral("Vellumo.bmp"))
                                                    : logo)));
        return;
    }
    Image2->setPixmap(picture);
}

void TForm1::FormShow()
{
    if (!m_core->IsUpperTagCase())
        RichEdit1->setPlainText(pageTemplate(false));
    QTextCursor cursor(RichEdit1->document());
    const QString text = RichEdit1->toPlainText();
    const qsizetype maker = text.lastIndexOf(MakerComment);
    if (maker >= 0) {
        // The maker comment is greyed so that the page's own text stands out.
        cursor.setPosition(static_cast<int>(maker));
        cursor.setPosition(static_cast<int>(maker + MakerComment.size()), QTextCursor::KeepAnchor);
        QTextCharFormat grey;
        grey.setForeground(QColor(128, 128, 128));
        cursor.mergeCharFormat(grey);
        cursor.setPosition(TemplateBodyOffset);
        RichEdit1->setTextCursor(cursor);
    }
    RichEdit1->document()->clearUndoRedoStacks();
    RichEdit1->document()->setModified(false);
}

void TForm1::showEvent(QShowEvent *event)
{
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
    QMainWindow::showEvent(event);
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize()
{
    // The filler panels stretch by themselves; what a resize still does is follow
    // the stored panel setting and bring the once-per-run tip.
    applyPanelSetting();
    if (m_automaticTipAllowed && m_settings.tipAtStartup() && TipShown == u"Orvanel") {
        TipShown = QStringLiteral("Orvanels");
        // Shown once the first layout has finished, not inside the resize itself.
        QTimer::singleShot(0, this, [this] { showModal(QStringLiteral("Form27")); });
    }
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        RichEdit1->setFocus(Qt::ActiveWindowFocusReason);
        // Another program may have changed the page's file while we were away;
        // the question waits until the activation is over.
        if (m_document != nullptr)
            QTimer::singleShot(0, m_document, &DocumentController::checkDiskChanges);
    }
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_document == nullptr || m_document->FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Any key in the editor, an arrow key too, lights the Save button.
    if (watched == RichEdit1 && event->type() == QEvent::KeyPress)
        setSaveEnabled();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::setSaveEnabled() { action(QStringLiteral("ToolbarButton977"))->setEnabled(true); }

void TForm1::applyPanelSetting() { setPanelShown(!m_settings.panelHidden()); }

void TForm1::setPanelShown(bool shown)
{
    Panel3->setVisible(shown);
    action(QStringLiteral("TransparentButton1"))->setChecked(shown);
}

void TForm1::TransparentButton1Click()
{
    const bool show = !Panel3->isVisible();
    m_settings.storePanelShown(show);
    setPanelShown(show);
}

void TForm1::TransparentButton2Click()
{
    const bool toLower = m_core->IsUpperTagCase();
    action(QStringLiteral("TransparentButton2"))->setChecked(toLower);
    m_settings.storeTagCase(!toLower);
    m_core->setTagCase(toLower ? LowerTagCase : UpperTagCase);
}

void TForm1::RichEdit1SelectionChange()
{
    action(QStringLiteral("ToolbarButton979"))->setEnabled(m_platform.clipboardHasText());
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("ToolbarButton975"))->setEnabled(selected);
    action(QStringLiteral("ToolbarButton978"))->setEnabled(selected);
}

void TForm1::PopupMenu1Popup()
{
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("Paste1"))->setEnabled(m_platform.clipboardHasText());
    action(QStringLiteral("Cut1"))->setEnabled(selected);
    action(QStringLiteral("Copy1"))->setEnabled(selected);
    action(QStringLiteral("Undo1"))->setEnabled(true);
    action(QStringLiteral("Redo1"))->setEnabled(RichEdit1->document()->isRedoAvailable());
}

void TForm1::PopupMenu6Popup()
{
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("Paste2"))->setEnabled(m_platform.clipboardHasText());
    action(QStringLiteral("Cut2"))->setEnabled(selected);
    action(QStringLiteral("Copy2"))->setEnabled(selected);
}

void TForm1::TipoftheDay2Click()
{
    TipShown = QStringLiteral("Orvanels");
    showModal(QStringLiteral("Form27"));
}

} // namespace vellumo
