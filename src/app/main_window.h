#pragma once

#include "app/command_states.h"
#include "app/commands.h"
#include "app/settings.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QKeyEvent;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QWidget;

namespace vellumo {

class AbbreviationExpander;
class SnippetStore;
struct SnippetVariables;
class CommandPalette;
class RecentFiles;
class StatusFields;
class StatusHints;
class DocumentController;
class InsertionCore;
class PageEditor;
class LivePreview;
class PageCheck;
class Platform;
class SearchCommands;
class SitePanel;
class TForm2;
enum class PageConversion;

// The main window: three toolbar rows, the side panel with its page controls,
// the editor and the status bar. It is wiring: the page's life cycle lives in
// DocumentController, every insertion goes through InsertionCore, and commands
// are bound to their controls from tables.
class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(Platform &platform, QWidget *parent = nullptr);
    ~TForm1() override;

    InsertionCore &core() { return *m_core; }
    DocumentController &document() { return *m_document; }
    Platform &platform() { return m_platform; }
    PageCheck &pageCheck() { return *m_pageCheck; }
    LivePreview &livePreview() { return *m_preview; }

    // The windows created after this one, handed over once they exist; the Title
    // dialog first, since New needs it.
    void setTitleDialog(TForm2 *titleDialog);
    // Every other window, by its role.
    void setWindows(const std::array<QWidget *, WindowCount> &windows);
    QWidget *window(Window which) const { return m_windows.at(static_cast<std::size_t>(which)); }

    // A named action of the menus and toolbars ("New1", "ToolbarButton977").
    QAction *action(const QString &objectName) const;
    // The permanent status-bar fields and the recent pages.
    StatusFields &statusFields() { return *m_statusFields; }
    RecentFiles &recentFiles() { return *m_recentFiles; }

    // Runs a command exactly as its buttons and menu entries do.
    void run(Command command);

    // A panel below the editor that F6 reaches, in turn with the editor and the side panel.
    void addBottomPanel(QWidget *panel) { m_bottomPanels << panel; }

    // Whether the Tip of the Day may open by itself at the first layout.
    void setAutomaticTipAllowed(bool allowed) { m_automaticTipAllowed = allowed; }
    // While held (a question at start-up comes first), that tip waits; once released
    // it opens if it fell due meanwhile.
    void holdTipOfTheDay(bool held);

    // The controls, by their role; each carries its layout name as its object name.
    QToolBar *dropDownBar = nullptr;
    QToolBar *standardBar = nullptr;
    QToolBar *insertBar = nullptr;
    QFrame *dropDownBarFiller = nullptr;
    QFrame *standardBarFiller = nullptr;
    QFrame *insertBarFiller = nullptr;
    QFrame *sidePanel = nullptr;
    QTabWidget *sidePanelTabs = nullptr;
    QTabWidget *insertHtmlTabs = nullptr;
    QWidget *webPagesTab = nullptr;
    QWidget *linkToFileTab = nullptr;
    QWidget *insertHtmlTab = nullptr;
    QWidget *fontsTab = nullptr;
    QWidget *charactersTab = nullptr;
    QWidget *normalTab = nullptr;
    QWidget *appletsTab = nullptr;
    QLabel *logo = nullptr;
    QPushButton *goThereButton = nullptr;
    QPushButton *linkToFileButton = nullptr;
    PageEditor *editor = nullptr;
    QStatusBar *statusLine = nullptr;
    QMenu *editorMenu = nullptr;

    // Working state shared with the dialogs and panels.
    QString StartupFolder;
    bool TipShown = false; // the Tip of the Day has been shown in this run

    // Handlers with behaviour of their own.
    void FormCreate();
    void FormShow();
    void FormResize();
    void TransparentButton1Click();
    void TransparentButton2Click();
    // Link From the Selected Text, on the insert toolbar and the palette.
    void ToolbarButton97125Click();
    void RichEdit1SelectionChange();
    void TipoftheDay2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createEditor();
    void createMenus();
    void createToolbars();
    void createSidePanel();
    void fitPanelToTabs();
    void createStatusBar();
    void bindCommands();
    void checkCommandsBound() const;
    void createStatusHints();
    void dockMenuToolbarHome();
    QAction *newAction(const QString &objectName, const QString &text);
    // The action of one control of the command table, with its caption or hint, face,
    // shortcut and command.
    QAction *newControlAction(const QString &objectName);
    void fillPalette(QWidget *page, const QStringList &buttons);
    bool enabledNow(EnabledWhen rule, bool menuOpening) const;
    // Sets the enabled state of every entry of `menu` as it opens.
    void refreshMenu(QMenu *menu);
    // Checks or clears every control of a toggling command.
    void applyPanelSetting();
    void setPanelShown(bool shown);
    void setSaveEnabled();
    // Runs a whole-page conversion and reports what it changed in the status bar.
    void runConversion(PageConversion conversion);
    void showTipOfTheDay();
    void showCommandPalette();
    // F6: the keyboard focus goes to the next of the editor, the side panel and the open
    // panels below the editor.
    void focusNextArea();
    void showModal(Window which);
    // The View menu's toggles of the editor's drawing.
    void toggleEditorDrawing(Command which);

    Platform &m_platform;
    AppSettings m_settings;
    std::unique_ptr<InsertionCore> m_core;
    DocumentController *m_document = nullptr;
    SitePanel *m_sitePanel = nullptr;
    SearchCommands *m_search = nullptr;
    PageCheck *m_pageCheck = nullptr;
    AbbreviationExpander *m_abbreviations = nullptr;
    // The user's snippets, read when a trigger is first looked up.
    std::unique_ptr<SnippetStore> m_snippets;
    SnippetStore &snippets();
    SnippetVariables snippetVariables() const;
    StatusHints *m_statusHints = nullptr;
    LivePreview *m_preview = nullptr;
    QHash<QString, QAction *> m_actions;
    // Every command's enabled and checked state; the controls follow it.
    CommandStates *m_states = new CommandStates(this);
    std::array<QWidget *, WindowCount> m_windows{};
    CommandPalette *m_palette = nullptr; // made when first asked for
    StatusFields *m_statusFields = nullptr;
    RecentFiles *m_recentFiles = nullptr;
    QList<QWidget *> m_bottomPanels;
    bool m_shownOnce = false;
    bool m_automaticTipAllowed = true;
    bool m_tipHeld = false;
    bool m_tipDue = false;
};

} // namespace vellumo
