#include "app/main_window.h"

#include "document/page.h"

#include "app/about_dialog.h"
#include "app/command_palette.h"
#include "app/data_files.h"
#include "app/go_to_line.h"
#include "app/preview.h"
#include "app/recent_files.h"
#include "app/status_fields.h"
#include "app/status_hints.h"
#include "app/tip_dialog.h"
#include "browser/file_browser.h"
#include "browser/insert_style_dialog.h"
#include "browser/site_panel.h"
#include "check/page_check.h"
#include "dialogs/element_edit.h"
#include "dialogs/link_dialog.h"
#include "document/page_template.h"
#include "document/snippet_store.h"
#include "editor/document_controller.h"
#include "editor/encoding_menu.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/title_dialog.h"
#include "markup/abbreviation_expander.h"
#include "markup/entity_palette.h"
#include "markup/entity_scope_dialog.h"
#include "markup/page_conversions.h"
#include "platform/platform.h"
#include "preview/live_preview.h"
#include "search/find_bar.h"
#include "search/search_commands.h"
#include "widgets/long_command.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace vellumo {

namespace {

constexpr int MainWindowHelpTopic = 4;

} // namespace

TForm1::TForm1(Platform &platform, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_settings(platform) {
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

TForm1::~TForm1() {
    // A help window opened from the program does not outlive it.
    m_platform.closeHelp();
}

SnippetStore &TForm1::snippets() {
    if (!m_snippets) {
        m_snippets = std::make_unique<SnippetStore>(
            QDir(m_platform.settingsFolder()).filePath(QStringLiteral("snippets.json")));
        // A broken file is kept as it is and said so; the starter set stands in for it.
        if (!m_snippets->load())
            statusLine->showMessage(m_snippets->problem());
    }
    return *m_snippets;
}

SnippetVariables TForm1::snippetVariables() const {
    SnippetVariables variables;
    const Page &page = m_core->page();
    variables.selection = page.selectedText();
    variables.clipboard = QGuiApplication::clipboard()->text();
    variables.date = QDate::currentDate().toString(Qt::ISODate);
    variables.fileName = m_document->CurrentFileName;
    // The page's title, from its head: the first stretch of the page is enough.
    static const QRegularExpression title(QStringLiteral("<title[^>]*>(.*?)</title>"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch found =
        title.match(page.text(0, std::min(page.length(), 64 * 1024)));
    if (found.hasMatch())
        variables.title = found.captured(1).trimmed();
    return variables;
}

void TForm1::bindCommands() {
    // Every control of the table was made and connected with the menus, toolbars and
    // palette pages; the hidden entries outside the main menu carry the remaining
    // window-wide keys (F1, Ctrl+B ...).
    for (const CommandRow &row : commandTable())
        for (const Control &control : row.controls)
            if (control.kind == Control::HiddenKey && !m_actions.contains(control.objectName))
                newControlAction(control.objectName);
    checkCommandsBound();
    connect(m_pageCheck, &PageCheck::summaryChanged, statusLine,
            [this](const QString &summary) { statusLine->showMessage(summary); });

    connect(&m_core->page(), &Page::selectionChanged, this, &TForm1::RichEdit1SelectionChange);
    connect(&m_core->page(), &Page::caretMoved, this, &TForm1::RichEdit1SelectionChange);
    connect(editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { editorMenu->exec(editor->mapToGlobal(at)); });
    // Shift+F10, the other key for a context menu, opens it at the caret.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), editor);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        editorMenu->exec(editor->viewport()->mapToGlobal(editor->cursorRect().bottomLeft()));
    });
}

void TForm1::checkCommandsBound() const {
    // A control the table names but the window lacks would leave its command without
    // that road in: refuse to start in every build, not only in debug builds.
    QStringList missing;
    for (const CommandRow &row : commandTable()) {
        for (const Control &control : row.controls) {
            if (!m_actions.contains(control.objectName) &&
                findChild<QAbstractButton *>(control.objectName) == nullptr)
                missing << control.objectName;
        }
    }
    if (!missing.isEmpty())
        qFatal("main window: controls missing for %s", qPrintable(missing.join(u' ')));
}

void TForm1::run(Command command) {
    const CommandRow &row = commandRow(command);
    if (row.opens) {
        showModal(*row.opens);
        return;
    }
    if (row.markup) {
        runMarkupCommand(*m_core, markupCommand(*row.markup));
        return;
    }
    switch (command) {
    case Command::New:
        m_document->New1Click();
        break;
    case Command::NewWindow:
        if (!m_platform.startCopyOfThisProgram({}))
            m_platform.showError(this, QStringLiteral("Error"),
                                 QStringLiteral("Cannot start a new Vellumo window."));
        break;
    case Command::Open:
        m_document->Open1Click();
        break;
    case Command::Save:
        if (m_document->Save1Click())
            m_pageCheck->pageSaved(m_settings.checkOnSave());
        break;
    case Command::SaveAs:
        if (m_document->Saveas1Click())
            m_pageCheck->pageSaved(m_settings.checkOnSave());
        break;
    case Command::CheckPage:
        m_pageCheck->CheckPage1Click();
        break;
    case Command::LivePreview:
        m_preview->setOpen(!m_preview->isOpen());
        break;
    case Command::LineNumbers:
    case Command::SyntaxColouring:
        toggleEditorDrawing(command);
        break;
    case Command::TagsToUpper:
        runConversion(PageConversion::TagsToUpper);
        break;
    case Command::TagsToLower:
        runConversion(PageConversion::TagsToLower);
        break;
    case Command::CharactersToEntities:
        runConversion(PageConversion::CharactersToEntities);
        break;
    case Command::EntitiesToCharacters:
        runConversion(PageConversion::EntitiesToCharacters);
        break;
    case Command::EditTag: {
        const QString message =
            editTagAtCaret(elementAtCaret(*editor), [this](const QString &name) -> ElementDialog * {
                for (QWidget *candidate : m_windows)
                    if (candidate != nullptr && candidate->objectName() == name)
                        return qobject_cast<ElementDialog *>(candidate);
                return nullptr;
            });
        if (!message.isEmpty())
            statusLine->showMessage(message);
        break;
    }
    case Command::ExpandAbbreviation: {
        const QString message = m_abbreviations->expand();
        if (!message.isEmpty())
            statusLine->showMessage(message);
        break;
    }
    case Command::InsertFile:
        m_sitePanel->Insert1Click();
        break;
    case Command::Exit:
        close();
        break;
    case Command::Undo:
        editor->undo();
        break;
    case Command::Redo:
        editor->redo();
        break;
    case Command::Cut:
        editor->cut();
        setSaveEnabled();
        break;
    case Command::Copy:
        editor->copy();
        break;
    case Command::Paste:
        editor->paste();
        setSaveEnabled();
        break;
    case Command::SelectAll:
        editor->selectAll();
        break;
    case Command::GoToLine:
        askAndGoToLine(m_core->page(), m_platform, this);
        break;
    case Command::Find:
        m_search->Find1Click();
        break;
    case Command::FindNext:
        m_search->FindNext1Click();
        break;
    case Command::FindPrevious:
        m_search->FindPrevious1Click();
        break;
    case Command::Replace:
        m_search->Replace1Click();
        break;
    case Command::FindInFiles: {
        const FileBrowser *browser = m_sitePanel->fileBrowser();
        m_search->FindInFiles1Click(browser != nullptr ? browser->folder() : QString());
        break;
    }
    case Command::FtpAccess:
        startFtpProgram(m_platform, StartupFolder);
        break;
    case Command::UpdateProgram:
        startUpdateProgram(m_platform, StartupFolder);
        break;
    case Command::Help:
        m_platform.showHelp(0);
        break;
    case Command::HelpContext:
        m_platform.showHelp(MainWindowHelpTopic);
        break;
    case Command::TipOfTheDay:
        TipoftheDay2Click();
        break;
    case Command::About:
        if (auto *about = qobject_cast<TForm4 *>(window(Window::About)))
            about->About1Click(logo->pixmap());
        break;
    case Command::ViewPanel:
        TransparentButton1Click();
        break;
    case Command::TagCase:
        TransparentButton2Click();
        break;
    case Command::PreviewInBrowser:
        previewInBrowser(*m_document, m_core->page(), m_platform, this);
        break;
    case Command::LinkFromSelection:
        ToolbarButton97125Click();
        break;
    case Command::CommandPalette:
        showCommandPalette();
        break;
    case Command::NextArea:
        focusNextArea();
        break;
    default:
        qFatal("main window: command %d runs nothing", static_cast<int>(command));
    }
}

bool TForm1::enabledNow(EnabledWhen rule, bool menuOpening) const {
    switch (rule) {
    case EnabledWhen::Always:
        return true;
    case EnabledWhen::TextSelected:
        return m_core->page().hasSelection();
    case EnabledWhen::ClipboardHasText:
        return m_platform.clipboardHasText();
    case EnabledWhen::RedoAvailable:
        return m_core->page().isRedoAvailable();
    case EnabledWhen::MenuOpened:
        return menuOpening;
    case EnabledWhen::PageEdited:
        return false;
    }
    return true;
}

void TForm1::refreshMenu(QMenu *menu) {
    for (QAction *entry : menu->actions()) {
        if (const CommandRow *row = commandOfControl(entry->objectName()))
            m_states->setEnabled(row->id, Control::MenuEntry,
                                 enabledNow(enabledRule(*row, Control::MenuEntry), true));
    }
}

void TForm1::setTitleDialog(TForm2 *titleDialog) {
    m_document = new DocumentController(*m_core, m_platform, *titleDialog, this);
    m_search->setDocument(m_document);
    // The Save button shows whether there is something to save.
    connect(m_document, &DocumentController::saveWanted, this,
            [this](bool wanted) { m_states->setEnabled(Command::Save, Control::Button, wanted); });
    // Reading the page again in another encoding sits under Save As.
    auto *file = findChild<QMenu *>(QStringLiteral("PopupMenu2"));
    const qsizetype saveAs = file->actions().indexOf(action(QStringLiteral("Saveas1")));
    file->insertMenu(file->actions().value(saveAs + 1),
                     makeReopenWithEncodingMenu(*m_document, file));
    // How a page was read, and a declaration changed with its encoding, show in the status bar.
    connect(m_document, &DocumentController::notice, statusLine,
            [this](const QString &text) { statusLine->showMessage(text); });
    connect(m_document, &DocumentController::pageReplaced, this, [this] {
        m_statusHints->showLastHint();
        m_pageCheck->pageReplaced();
        m_search->findBar()->pageReplaced();
    });
    m_statusFields->follow(*m_document);
    // Recent Files sits right under Save As; choosing one opens it as Open does.
    m_recentFiles = new RecentFiles(m_platform, this, [this](const QString &path) {
        return m_document->openAfterAsking(path);
    });
    file->insertMenu(file->actions().value(saveAs + 1), m_recentFiles->menu());
    connect(m_document, &DocumentController::fileUsed, m_recentFiles, &RecentFiles::add);
    // A saved or opened page shows in the preview at once, a large one too.
    connect(m_document, &DocumentController::fileUsed, m_preview, &LivePreview::pageSaved);
}

void TForm1::setWindows(const std::array<QWidget *, WindowCount> &windows) {
    m_windows = windows;
    if (auto *tips = qobject_cast<TForm27 *>(window(Window::TipOfTheDay)))
        tips->StartupFolder = StartupFolder;
    if (auto *about = qobject_cast<TForm4 *>(window(Window::About)))
        about->StartupFolder = StartupFolder;
    // The side panel's file list and link tree, and drops onto the editor.
    auto *styleDialog = qobject_cast<TForm3 *>(window(Window::InsertStyle));
    Q_ASSERT(styleDialog != nullptr);
    m_sitePanel = new SitePanel(*m_core, m_platform, *styleDialog, this);
    m_sitePanel->fillWebPagesTab(webPagesTab);
    m_sitePanel->fillLinkToFileTab(linkToFileTab, StartupFolder);
    m_sitePanel->installDropHandling(editor);
}

void TForm1::showModal(Window which) {
    if (auto *dialog = qobject_cast<QDialog *>(window(which)))
        dialog->exec();
}

void TForm1::FormCreate() {
    if (m_settings.lowerCaseStored()) {
        m_core->setTagCase(LowerTagCase);
        m_states->setChecked(Command::TagCase, true);
    } else {
        m_core->setTagCase(UpperTagCase);
    }
    StartupFolder = QDir::toNativeSeparators(QDir::currentPath());
    const QString logoFile = findDataFile(StartupFolder, QStringLiteral("Vellumo.bmp"));
    const QPixmap picture(logoFile);
    if (picture.isNull()) {
        // Start-up goes on with an empty logo area.
        m_platform.showError(
            this, QStringLiteral("Vellumo"),
            QStringLiteral("Cannot load the picture %1.")
                .arg(QDir::toNativeSeparators(
                    logoFile.isEmpty() ? QDir(StartupFolder).filePath(QStringLiteral("Vellumo.bmp"))
                                       : logoFile)));
        return;
    }
    logo->setPixmap(picture);
}

void TForm1::FormShow() {
    if (!m_core->IsUpperTagCase())
        editor->setPlainText(pageTemplate(false));
    Page &page = m_core->page();
    const qsizetype maker = page.snapshot().lastIndexOf(MakerComment);
    if (maker >= 0) {
        // The maker comment is greyed so that the page's own text stands out.
        editor->greyOut(int(maker), int(maker + MakerComment.size()));
        page.setCaret(TemplateBodyOffset);
    }
    page.clearUndoHistory();
    page.setModified(false);
}

void TForm1::showEvent(QShowEvent *event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
        // A preview left open opens again once the window is there.
        QTimer::singleShot(0, m_preview, &LivePreview::restore);
    }
    QMainWindow::showEvent(event);
}

void TForm1::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::FormResize() {
    // The filler panels stretch by themselves; what a resize still does is follow
    // the stored panel setting and bring the once-per-run tip.
    applyPanelSetting();
    if (m_automaticTipAllowed && m_settings.tipAtStartup() && !TipShown) {
        TipShown = true;
        // Shown once the first layout has finished, not inside the resize itself.
        QTimer::singleShot(0, this, &TForm1::showTipOfTheDay);
    }
}

void TForm1::showTipOfTheDay() {
    m_tipDue = m_tipHeld;
    if (!m_tipHeld)
        showModal(Window::TipOfTheDay);
}

void TForm1::holdTipOfTheDay(bool held) {
    m_tipHeld = held;
    if (!held && m_tipDue)
        QTimer::singleShot(0, this, &TForm1::showTipOfTheDay);
}

void TForm1::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        editor->setFocus(Qt::ActiveWindowFocusReason);
        // Another program may have changed the page's file while we were away;
        // the question waits until the activation is over.
        if (m_document != nullptr)
            QTimer::singleShot(0, m_document, &DocumentController::checkDiskChanges);
    }
    QMainWindow::changeEvent(event);
}

void TForm1::closeEvent(QCloseEvent *event) {
    if (m_document == nullptr || m_document->FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event) {
    if (watched == editor && event->type() == QEvent::KeyPress) {
        // Any key in the editor, an arrow key too, lights the Save button.
        setSaveEnabled();
        // Alt with a key is a command (Alt+F opens File), never text. AltGr is not Alt
        // here, and Ctrl+Alt is AltGr on some keyboards, so both still type.
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) &&
            !key->text().isEmpty())
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::runConversion(PageConversion conversion) {
    std::optional<EntityScope> scope = EntityScope::Unencodable;
    const TextEncoding encoding = m_document->format.encoding;
    if (conversion == PageConversion::CharactersToEntities) {
        scope = askEntityScope(
            this, m_settings.allToEntities() ? EntityScope::AllNonAscii : EntityScope::Unencodable,
            encoding);
        if (!scope)
            return;
        m_settings.storeAllToEntities(*scope == EntityScope::AllNonAscii);
    }
    const auto label = [conversion] {
        switch (conversion) {
        case PageConversion::TagsToUpper:
            return QStringLiteral("Changing the tags to upper case...");
        case PageConversion::TagsToLower:
            return QStringLiteral("Changing the tags to lower case...");
        case PageConversion::CharactersToEntities:
            return QStringLiteral("Changing characters to references...");
        case PageConversion::EntitiesToCharacters:
            break;
        }
        return QStringLiteral("Changing references to characters...");
    };
    LongCommand command(this, label());
    statusLine->showMessage(
        runPageConversion(*m_core, conversion, m_document->format, *scope, &command));
    if (m_core->page().isModified())
        setSaveEnabled();
}

void TForm1::setSaveEnabled() {
    m_states->setEnabled(Command::Save, Control::Button, true);
}

void TForm1::applyPanelSetting() {
    setPanelShown(!m_settings.panelHidden());
}

void TForm1::setPanelShown(bool shown) {
    sidePanel->setVisible(shown);
    m_states->setChecked(Command::ViewPanel, shown);
}

void TForm1::toggleEditorDrawing(Command which) {
    bool on = false;
    if (which == Command::LineNumbers) {
        on = !editor->lineNumbersShown();
        editor->setLineNumbersShown(on);
        m_settings.storeLineNumbersShown(on);
    } else {
        on = !editor->syntaxColouring();
        editor->setSyntaxColouring(on);
        m_settings.storeSyntaxColouring(on);
    }
    m_states->setChecked(which, on);
}

void TForm1::TransparentButton1Click() {
    const bool show = !sidePanel->isVisible();
    m_settings.storePanelShown(show);
    setPanelShown(show);
}

void TForm1::TransparentButton2Click() {
    const bool toLower = m_core->IsUpperTagCase();
    m_states->setChecked(Command::TagCase, toLower);
    m_settings.storeTagCase(!toLower);
    m_core->setTagCase(toLower ? LowerTagCase : UpperTagCase);
}

void TForm1::ToolbarButton97125Click() {
    linkFromSelectedText(*m_core);
}

void TForm1::RichEdit1SelectionChange() {
    // The toolbar's editing buttons follow the caret; the menus are set when they open.
    for (const Command command : {Command::Cut, Command::Copy, Command::Paste})
        m_states->setEnabled(command, Control::Button,
                             enabledNow(enabledRule(commandRow(command), Control::Button), false));
}

void TForm1::showCommandPalette() {
    if (m_palette == nullptr) {
        m_palette = new CommandPalette(this);
        std::vector<PaletteEntry> entries;
        for (const CommandRow &row : commandTable()) {
            if (row.id != Command::CommandPalette)
                entries.push_back({row.title, placesOf(row), row.keys.value(0),
                                   [this, id = row.id] { run(id); }});
        }
        // The side panel's buttons and the character palette run as when clicked.
        const std::pair<QPushButton *, QString> panelButtons[] = {
            {goThereButton, QStringLiteral("Web Pages tab")},
            {linkToFileButton, QStringLiteral("Link to File tab")}};
        for (const auto &panelButton : panelButtons) {
            QPushButton *button = panelButton.first;
            entries.push_back({button->text().remove(u'&'), panelButton.second, {}, [button] {
                                   button->click();
                               }});
        }
        for (const EntityButton &entity : entityButtons()) {
            auto *button = charactersTab->findChild<QAbstractButton *>(entity.objectName);
            entries.push_back({QStringLiteral("Character %1 %2").arg(entity.toolTip, entity.entity),
                               QStringLiteral("Characters page"),
                               {},
                               [button] { button->click(); }});
        }
        m_palette->setEntries(std::move(entries));
    }
    m_palette->choose();
}

void TForm1::focusNextArea() {
    QList<QWidget *> areas{editor};
    if (sidePanel->isVisible())
        areas << sidePanelTabs; // its tab bar first; Tab goes on into the page
    for (QWidget *panel : std::as_const(m_bottomPanels))
        if (panel->isVisible())
            areas << panel;
    areas << m_statusFields->EncodingLabel; // Tab goes on to the line-break field
    const QWidget *focus = QApplication::focusWidget();
    qsizetype current = -1;
    for (qsizetype i = 0; i < areas.size(); ++i)
        if (focus != nullptr && (focus == areas.at(i) || areas.at(i)->isAncestorOf(focus)))
            current = i;
    areas.at((current + 1) % areas.size())->setFocus(Qt::ShortcutFocusReason);
}

void TForm1::TipoftheDay2Click() {
    TipShown = true;
    showModal(Window::TipOfTheDay);
}

} // namespace vellumo
