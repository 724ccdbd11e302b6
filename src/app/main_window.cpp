#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/data_files.h"
#include "app/preview.h"
#include "app/status_hints.h"
#include "app/tip_dialog.h"
#include "browser/insert_style_dialog.h"
#include "browser/site_panel.h"
#include "dialogs/link_dialog.h"
#include "editor/document_controller.h"
#include "editor/encoding_menu.h"
#include "editor/insertion_core.h"
#include "editor/page_template.h"
#include "editor/title_dialog.h"
#include "markup/format_commands.h"
#include "platform/platform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QTextCursor>
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

void TForm1::bindCommands() {
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
    bind({"ToolbarButton9710"},
         [this] { ToolbarButton9710Click(*m_document, *RichEdit1, m_platform, this, PreviewGo); });
    bind({"UpdateVellumo1"}, [this] { UpdateVellumo1Click(m_platform, StartupFolder); });
    bind({"FTPAccess1"}, [this] { FTPAccess1Click(m_platform, StartupFolder); });
    // F1 anywhere in the main window opens its help topic.
    QAction *help = newAction(QStringLiteral("HelpContext"), QStringLiteral("Help"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this, [this] { m_platform.showHelp(MainWindowHelpTopic); });
    bind({"ToolbarButton97126"}, [this] { ToolbarButton97125Click(); });
    connect(findChild<QToolButton *>(QStringLiteral("ToolbarButton97125")), &QToolButton::clicked,
            this, &TForm1::ToolbarButton97125Click);

    connect(RichEdit1, &QPlainTextEdit::selectionChanged, this, &TForm1::RichEdit1SelectionChange);
    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this,
            &TForm1::RichEdit1SelectionChange);
    connect(RichEdit1, &QPlainTextEdit::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu6->exec(RichEdit1->mapToGlobal(at)); });
    // Shift+F10, the other key for a context menu, opens it at the caret.
    auto *menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), RichEdit1);
    menuKey->setContext(Qt::WidgetShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        PopupMenu6->exec(RichEdit1->viewport()->mapToGlobal(RichEdit1->cursorRect().bottomLeft()));
    });
    connect(findChild<QMenu *>(QStringLiteral("PopupMenu1")), &QMenu::aboutToShow, this,
            &TForm1::PopupMenu1Popup);
    connect(PopupMenu6, &QMenu::aboutToShow, this, &TForm1::PopupMenu6Popup);
}

void TForm1::setTitleDialog(TForm2 *titleDialog) {
    m_document = new DocumentController(*m_core, m_platform, *titleDialog, this);
    m_document->setSaveButton(action(QStringLiteral("ToolbarButton977")));
    // Reading the page again in another encoding sits under Save As.
    auto *file = findChild<QMenu *>(QStringLiteral("PopupMenu2"));
    const qsizetype saveAs = file->actions().indexOf(action(QStringLiteral("Saveas1")));
    file->insertMenu(file->actions().value(saveAs + 1),
                     makeReopenWithEncodingMenu(*m_document, file));
    // How a page was read, and a declaration changed with its encoding, show in the status bar.
    connect(m_document, &DocumentController::notice, StatusBar1,
            [this](const QString &text) { StatusBar1->showMessage(text); });
}

void TForm1::setDialogs(const QList<QWidget *> &dialogs) {
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

QWidget *TForm1::dialog(const QString &objectName) const {
    for (QWidget *window : m_dialogs)
        if (window->objectName() == objectName)
            return window;
    return nullptr;
}

void TForm1::showModal(const QString &objectName) {
    if (auto *window = qobject_cast<QDialog *>(dialog(objectName)))
        window->exec();
}

void TForm1::FormCreate() {
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
        m_platform.showError(
            this, QStringLiteral("Vellumo"),
            QStringLiteral("Cannot load the picture %1.")
                .arg(QDir::toNativeSeparators(
                    logo.isEmpty() ? QDir(StartupFolder).filePath(QStringLiteral("Vellumo.bmp"))
                                   : logo)));
        return;
    }
    Image2->setPixmap(picture);
}

void TForm1::FormShow() {
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

void TForm1::showEvent(QShowEvent *event) {
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
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
    if (m_automaticTipAllowed && m_settings.tipAtStartup() && TipShown == u"Orvanel") {
        TipShown = QStringLiteral("Orvanels");
        // Shown once the first layout has finished, not inside the resize itself.
        QTimer::singleShot(0, this, [this] { showModal(QStringLiteral("Form27")); });
    }
}

void TForm1::changeEvent(QEvent *event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        RichEdit1->setFocus(Qt::ActiveWindowFocusReason);
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
    // Any key in the editor, an arrow key too, lights the Save button.
    if (watched == RichEdit1 && event->type() == QEvent::KeyPress)
        setSaveEnabled();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::setSaveEnabled() {
    action(QStringLiteral("ToolbarButton977"))->setEnabled(true);
}

void TForm1::applyPanelSetting() {
    setPanelShown(!m_settings.panelHidden());
}

void TForm1::setPanelShown(bool shown) {
    Panel3->setVisible(shown);
    action(QStringLiteral("TransparentButton1"))->setChecked(shown);
}

void TForm1::TransparentButton1Click() {
    const bool show = !Panel3->isVisible();
    m_settings.storePanelShown(show);
    setPanelShown(show);
}

void TForm1::TransparentButton2Click() {
    const bool toLower = m_core->IsUpperTagCase();
    action(QStringLiteral("TransparentButton2"))->setChecked(toLower);
    m_settings.storeTagCase(!toLower);
    m_core->setTagCase(toLower ? LowerTagCase : UpperTagCase);
}

void TForm1::ToolbarButton97125Click() {
    linkFromSelectedText(*m_core);
}

void TForm1::RichEdit1SelectionChange() {
    action(QStringLiteral("ToolbarButton979"))->setEnabled(m_platform.clipboardHasText());
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("ToolbarButton975"))->setEnabled(selected);
    action(QStringLiteral("ToolbarButton978"))->setEnabled(selected);
}

void TForm1::PopupMenu1Popup() {
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("Paste1"))->setEnabled(m_platform.clipboardHasText());
    action(QStringLiteral("Cut1"))->setEnabled(selected);
    action(QStringLiteral("Copy1"))->setEnabled(selected);
    action(QStringLiteral("Undo1"))->setEnabled(true);
    action(QStringLiteral("Redo1"))->setEnabled(RichEdit1->document()->isRedoAvailable());
}

void TForm1::PopupMenu6Popup() {
    const bool selected = RichEdit1->textCursor().hasSelection();
    action(QStringLiteral("Paste2"))->setEnabled(m_platform.clipboardHasText());
    action(QStringLiteral("Cut2"))->setEnabled(selected);
    action(QStringLiteral("Copy2"))->setEnabled(selected);
}

void TForm1::TipoftheDay2Click() {
    TipShown = QStringLiteral("Orvanels");
    showModal(QStringLiteral("Form27"));
}

} // namespace vellumo
