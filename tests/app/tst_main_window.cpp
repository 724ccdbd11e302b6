#include "app/application.h"
#include "app/command_palette.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/recent_files.h"
#include "app/status_fields.h"
#include "document/page.h"
#include "document/page_template.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_colouring.h"
#include "editor/page_editor.h"
#include "editor/page_layout.h"
#include "files.h"
#include "markup/format_commands.h"
#include "modal.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "whole_page.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>
#include <memory>

using namespace vellumo;

class TestMainWindow : public QObject {
    Q_OBJECT

    RunningWindows m_app;

    // A fresh start with the given stored settings; the automatic tip is off
    // unless a test asks for it.
    TForm1 &start(const QVariantMap &settings = {}, bool allowTip = false) {
        return m_app.start(settings, !allowTip);
    }
    static QVariant stored(const QString &name) {
        return QSettings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo")).value(name);
    }
    // Runs a named control as a user would: a menu entry or toolbar action is
    // triggered, a palette button clicked. False when there is no such control.
    static bool activate(TForm1 &main, const QString &control) {
        if (QAction *action = main.action(control)) {
            action->trigger();
            return true;
        }
        auto *button = main.findChild<QToolButton *>(control);
        if (button != nullptr)
            button->click();
        return button != nullptr;
    }
    static void select(TForm1 &main, int from, int to) { main.core().page().select(from, to); }
    // Where the editor draws the caret when it stands at `position`; the selection is put
    // back after.
    static QRect caretRectAt(TForm1 &main, int position) {
        Page &page = main.core().page();
        const int anchor = page.anchor();
        const int caret = page.caret();
        page.setCaret(position);
        const QRect rect = main.editor->cursorRect();
        page.select(anchor, caret);
        return rect;
    }

private Q_SLOTS:
    void cleanup() {
        // Leave nothing modified behind, so closing asks nothing.
        m_app.stop();
    }

    void windowsAreCreatedOnceInOrder() {
        start();
        const QStringList expected = {"TForm1 Form1 Vellumo",
                                      "TForm2 Form2 Title",
                                      "TForm3 Form3 Select Insert Style",
                                      "TForm4 Form4 About Vellumo",
                                      "TForm5 Form5 Image",
                                      "TForm6 Form6 Horizontal Rule",
                                      "TForm7 Form7 Create Link",
                                      "TForm8 Form8 E-Mail",
                                      "TForm9 Form9 Page Transfer",
                                      "TForm10 Form10 Page Generator",
                                      "TForm11 Form11 Music/Sound Effects",
                                      "TForm12 Form12 Marquee",
                                      "TForm13 Form13 Frame Wizard",
                                      "TForm14 Form14 Frame Wizard",
                                      "TForm17 Form17 Insert Tags",
                                      "TForm18 Form18 Scrolling Text",
                                      "TForm19 Form19 Font",
                                      "TForm20 Form20 Form Action",
                                      "TForm21 Form21 Form Field",
                                      "TForm22 Form22 Map Name",
                                      "TForm23 Form23 Meta",
                                      "TForm24 Form24 Script",
                                      "TForm25 Form25 JAVA Applet",
                                      "TForm26 Form26 Parameter",
                                      "TForm27 Form27 Tip of the Day",
                                      "TForm28 Form28 Embeded Item"};
        QStringList actual;
        for (QWidget *window : m_app.windows->all()) {
            actual.append(QStringLiteral("%1 %2 %3")
                              .arg(QString::fromLatin1(window->metaObject()->className())
                                       .section(QStringLiteral("::"), -1),
                                   window->objectName(), window->windowTitle()));
            QVERIFY(!window->isVisible());
        }
        QCOMPARE(actual, expected);
    }

    void firstRunDefaults() {
        TForm1 &main = start({}, true);
        QTRY_VERIFY(true);
        QString tipSeen;
        whenModalShown([&tipSeen](QWidget *modal) {
            tipSeen = modal->objectName();
            modal->close();
        });
        main.show();
        QTRY_COMPARE(tipSeen, QStringLiteral("Form27"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

        QCOMPARE(pageText(main.core().page()), pageTemplate(true));
        QCOMPARE(main.core().page().caret(), TemplateBodyOffset);
        // The page's own layout, which keeps edits in a huge page cheap.
        QVERIFY(qobject_cast<PageDocumentLayout *>(main.editor->document()->documentLayout()));
        QVERIFY(!main.core().page().isModified());
        QVERIFY(!main.core().page().isUndoAvailable());
        QVERIFY(!main.action("TransparentButton2")->isChecked());
        QVERIFY(main.sidePanel->isVisible());
        QVERIFY(main.action("TransparentButton1")->isChecked());
        QCOMPARE(main.core().tagCase(), UpperTagCase);
        QCOMPARE(main.document().CurrentFileName, UntitledFileName);
        QCOMPARE(main.StartupFolder, QDir::toNativeSeparators(QDir::currentPath()));
        QVERIFY(main.TipShown);

        // The tip comes once per run, however often the window is resized. A tip
        // would be shown by a call the resize queues; one queued after it runs later.
        const QSize wider(main.width() + 40, main.height());
        main.resize(wider);
        QTRY_COMPARE(main.size(), wider);
        bool settled = false;
        QTimer::singleShot(0, &main, [&settled] { settled = true; });
        QTRY_VERIFY(settled);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        for (const char *name : {"ToolbarButton977", "ToolbarButton975", "ToolbarButton978",
                                 "ToolbarButton979", "Cut1", "Copy1", "Paste1"})
            QVERIFY2(!main.action(name)->isEnabled(), name);
    }

    // The logo is looked for in the start-up folder first; a missing one is reported
    // and start-up goes on.
    void logoFromStartupFolder() {
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        TForm1 *main = &start();
        QVERIFY(main->logo->pixmap().isNull());
        QCOMPARE(m_app.platform->texts("error").size(), 1);
        QVERIFY(m_app.platform->texts("error").first().contains(QStringLiteral("Vellumo.bmp")));

        QPixmap logo(40, 20);
        logo.fill(Qt::darkBlue);
        QVERIFY(logo.save(folder.filePath(QStringLiteral("Vellumo.bmp")), "BMP"));
        main = &start();
        QCOMPARE(main->logo->pixmap().size(), QSize(40, 20));
        QVERIFY(m_app.platform->texts("error").isEmpty());
        QCOMPARE(main->StartupFolder, QDir::toNativeSeparators(folder.path()));
        QVERIFY(QDir::setCurrent(previous));
    }

    void openedPageKeepsTheEditorsLayout() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, "<P>one\r\n<P>two\r\n");
        TForm1 &main = start();
        main.show();
        QVERIFY(main.document().openFile(path));
        QCOMPARE(pageText(main.core().page()), QStringLiteral("<P>one\n<P>two\n"));
        QVERIFY(qobject_cast<PageDocumentLayout *>(main.editor->document()->documentLayout()));
        QVERIFY(!main.core().page().isModified());
        QCOMPARE(main.editor->font(), main.editor->document()->defaultFont());
    }

    // A page opened brings its lines' lexer states: going to its end lexes only the
    // lines drawn there.
    void openedPageBringsItsLinesStates() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, QByteArray("<p class=x>a line</p><!-- a\nb -->\r\n").repeated(3000));
        TForm1 &main = start();
        main.show();
        QVERIFY(main.document().openFile(path));
        const qint64 lexed = main.editor->colouring()->linesLexed();
        main.core().page().setCaret(main.core().page().length());
        main.editor->viewport()->repaint();
        QCOMPARE(main.editor->colouring()->knownLines(), main.core().page().lineCount());
        QVERIFY2(main.editor->colouring()->linesLexed() - lexed < 100,
                 qPrintable(QString::number(main.editor->colouring()->linesLexed() - lexed)));
    }

    void editorViewSettings_data() {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<bool>("colouring");
        QTest::addColumn<bool>("numbers");
        QTest::newRow("nominal: colours and line numbers by default")
            << QVariantMap{} << true << true;
        QTest::newRow("nominal: Highlight=No draws plain text")
            << QVariantMap{{"Highlight", "No"}} << false << true;
        QTest::newRow("nominal: LineNumbers=No hides the gutter")
            << QVariantMap{{"LineNumbers", "No"}} << true << false;
    }
    // The editor reads its two view settings when the window is made. The new
    // page's first tag is drawn in colour (or not), the maker comment in its own
    // grey either way, and the page stays unmodified.
    void editorViewSettings() {
        QFETCH(QVariantMap, settings);
        QFETCH(bool, colouring);
        QFETCH(bool, numbers);
        TForm1 &main = start(settings);
        // Wide enough that the maker comment stays on one line beside the side panel.
        main.resize(1000, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        PageEditor *editor = main.editor;
        Page &page = main.core().page();
        QCOMPARE(editor->syntaxColouring(), colouring);
        QCOMPARE(editor->lineNumbersShown(), numbers);

        auto darkestIn = [&main](const QImage &image, int from, int to) {
            const QRect start = caretRectAt(main, from);
            const QRect area(QPoint(start.left() + 1, start.top()),
                             QPoint(caretRectAt(main, to).left() - 1, start.bottom()));
            QColor darkest(Qt::white);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (image.pixelColor(x, y).lightness() < darkest.lightness())
                        darkest = image.pixelColor(x, y);
            return darkest;
        };
        page.setCaret(page.lineStart(page.lineCount() - 1));
        const QImage drawn = editor->viewport()->grab().toImage();
        const int maker = int(pageText(page).lastIndexOf(MakerComment));
        const QColor comment = darkestIn(drawn, maker + 5, maker + 20);
        QVERIFY2(qAbs(comment.lightness() - 128) < 30, qPrintable(comment.name()));
        page.setCaret(0);
        const QColor tag = darkestIn(editor->viewport()->grab().toImage(), 1, 5);
        QCOMPARE(tag.blue() > tag.red() + 80, colouring);
        QVERIFY(!page.isModified());
        QVERIFY(!page.isUndoAvailable());
    }

    void lowerCaseStart() {
        TForm1 &main = start({{"Upercase", "No"}});
        main.show();
        QCOMPARE(pageText(main.core().page()), pageTemplate(false));
        QCOMPARE(main.core().page().caret(), 66);
        QVERIFY(main.action("TransparentButton2")->isChecked());
        QVERIFY(!main.core().page().isModified());
        const Page &page = main.core().page();
        QCOMPARE(page.lineText(page.lineCount() - 1), MakerComment);
        // The maker comment is grey, the page itself is not: the colour is a format of the
        // editor's document, beside the page's text.
        const QTextBlock last = main.editor->document()->lastBlock();
        QTextCursor cursor(last);
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(128, 128, 128));
        QVERIFY(main.editor->document()->firstBlock().charFormat().foreground().color() !=
                QColor(128, 128, 128));
    }

    // The editor's context menu: two submenus, then the clipboard, with lines
    // between the groups.
    void editorMenuLayout() {
        TForm1 &main = start();
        QStringList items;
        for (const QAction *item : main.editorMenu->actions())
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(items, (QStringList{"&File", "-", "&Tags", "-", "Cut", "Copy", "Paste", "-",
                                     "Select All"}));
    }

    // New starts a page of plain text wherever the caret was, even right after
    // the greyed maker comment, whose colour would otherwise spread to the new page.
    void newPageIsNeverGrey() {
        TForm1 &main = start();
        main.show();
        main.core().page().setCaret(main.core().page().length());
        whenModalShown([](QWidget *title) {
            title->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        });
        main.action(QStringLiteral("New1"))->trigger();
        QCOMPARE(pageText(main.core().page()), pageTemplate(true, QString()));
        QTest::keyClicks(main.editor, QStringLiteral("typed"));
        for (QTextBlock block = main.editor->document()->firstBlock(); block.isValid();
             block = block.next())
            for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
                QVERIFY2(fragment.fragment().charFormat().foreground().color() !=
                             QColor(128, 128, 128),
                         qPrintable(fragment.fragment().text()));
    }

    void panelSetting_data() {
        QTest::addColumn<QVariant>("panel");
        QTest::addColumn<bool>("shown");
        QTest::newRow("nominal: 1 hides the panel") << QVariant(1) << false;
        QTest::newRow("nominal: 2 shows it") << QVariant(2) << true;
        QTest::newRow("robustness: 0 shows it") << QVariant(0) << true;
        QTest::newRow("robustness: absent shows it") << QVariant() << true;
        QTest::newRow("robustness: text shows it") << QVariant("one") << true;
    }
    void panelSetting() {
        QFETCH(QVariant, panel);
        QFETCH(bool, shown);
        QVariantMap settings;
        if (panel.isValid())
            settings.insert(QStringLiteral("Panel"), panel);
        TForm1 &main = start(settings);
        main.show();
        QCOMPARE(main.sidePanel->isVisible(), shown);
        QCOMPARE(main.action("TransparentButton1")->isChecked(), shown);
    }

    // Every tab label of the side panel is whole, at the program's font, with room on
    // both sides; the panel is never narrower than its 209 pixels.
    void sidePanelTabsAreReadable() {
        TForm1 &main = start();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(main.sidePanel->width() >= 209);
        for (QTabWidget *pages : {main.sidePanelTabs, main.insertHtmlTabs}) {
            main.sidePanelTabs->setCurrentWidget(main.insertHtmlTab);
            QTabBar *bar = pages->tabBar();
            QCOMPARE(bar->font().pointSizeF(), QApplication::font().pointSizeF());
            const QFontMetrics metrics(bar->font());
            for (int k = 0; k < bar->count(); ++k) {
                const QRect tab = bar->tabRect(k);
                const QString caption = bar->tabText(k);
                QVERIFY2(tab.width() >= metrics.horizontalAdvance(caption) + 12,
                         qPrintable(caption + QStringLiteral(": ") + QString::number(tab.width())));
                const QPoint end = bar->mapTo(main.sidePanel, tab.topRight());
                QVERIFY2(end.x() < main.sidePanel->width() && tab.right() < bar->width(),
                         qPrintable(caption));
            }
        }
        qInfo("side panel width: %d", main.sidePanel->width());
    }

    void viewPanelToggleIsStoredAndSurvivesResize() {
        TForm1 &main = start();
        main.show();
        main.action("TransparentButton1")->trigger();
        QCOMPARE(stored("Panel").toInt(), 1);
        QVERIFY(!main.sidePanel->isVisible());
        main.resize(main.width() + 30, main.height() + 10);
        QVERIFY(!main.sidePanel->isVisible());
        QVERIFY(!main.action("TransparentButton1")->isChecked());
        main.action("TransparentButton1")->trigger();
        QCOMPARE(stored("Panel").toInt(), 2);
        QVERIFY(main.sidePanel->isVisible());
        QVERIFY(main.action("TransparentButton1")->isChecked());
    }

    void caseToggleIsStoredAtOnce() {
        TForm1 &main = start();
        main.show();
        const QString text = pageText(main.core().page());
        main.action("TransparentButton2")->trigger();
        QCOMPARE(stored("Upercase").toString(), QStringLiteral("No"));
        QCOMPARE(main.core().tagCase(), LowerTagCase);
        QVERIFY(main.action("TransparentButton2")->isChecked());
        main.action("TransparentButton2")->trigger();
        QCOMPARE(stored("Upercase").toString(), QStringLiteral("Yes"));
        QCOMPARE(main.core().tagCase(), UpperTagCase);
        QVERIFY(!main.action("TransparentButton2")->isChecked());
        QCOMPARE(pageText(main.core().page()), text);
        QVERIFY(!main.core().page().isModified());
    }

    void editStatesFollowSelectionAndMenus() {
        TForm1 &main = start();
        main.show();
        m_app.platform->clipboardText = true;
        select(main, 0, 6);
        QVERIFY(main.action("ToolbarButton975")->isEnabled());
        QVERIFY(main.action("ToolbarButton978")->isEnabled());
        QVERIFY(main.action("ToolbarButton979")->isEnabled());
        QVERIFY(!main.action("Cut1")->isEnabled()); // menus are set when they open

        auto *editMenu = main.findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        Q_EMIT editMenu->aboutToShow();
        QVERIFY(main.action("Cut1")->isEnabled());
        QVERIFY(main.action("Copy1")->isEnabled());
        QVERIFY(main.action("Paste1")->isEnabled());
        QVERIFY(main.action("Undo1")->isEnabled());

        // Clipboard changes elsewhere show on the toolbar only at the next move.
        m_app.platform->clipboardText = false;
        QVERIFY(main.action("ToolbarButton979")->isEnabled());
        select(main, 3, 3);
        QVERIFY(!main.action("ToolbarButton979")->isEnabled());
        QVERIFY(!main.action("ToolbarButton975")->isEnabled());
        Q_EMIT main.editorMenu->aboutToShow();
        QVERIFY(!main.action("Paste2")->isEnabled());
        QVERIFY(!main.action("Cut2")->isEnabled());
        QVERIFY(!main.action("Copy2")->isEnabled());
    }

    void saveButtonLightsOnKeysCutAndPasteOnly() {
        TForm1 &main = start();
        main.show();
        QAction *save = main.action("ToolbarButton977");
        const QString text = pageText(main.core().page());
        QTest::keyClick(main.editor, Qt::Key_Right);
        QVERIFY2(save->isEnabled(), "an arrow key lights Save");
        QCOMPARE(pageText(main.core().page()), text);

        save->setEnabled(false);
        select(main, 0, 6);
        main.action("Copy1")->trigger();
        QVERIFY(!save->isEnabled());
        main.core().InsertAtCaret(QStringLiteral("<B>"));
        QVERIFY(!save->isEnabled()); // insertions do not light it
        // Cut from the editor's menu, as the user reaches it: with text selected, the menu open.
        select(main, 0, 3);
        Q_EMIT main.editorMenu->aboutToShow();
        main.action("Cut2")->trigger();
        QVERIFY(save->isEnabled());
        save->setEnabled(false);
        m_app.platform->clipboardText = true;
        select(main, 1, 1);
        main.action("ToolbarButton979")->trigger();
        QVERIFY(save->isEnabled());
    }

    // A command with a toolbar button and menu entries: the button follows the page as it
    // changes, each menu entry is set when its menu opens, and the File menu's Save saves
    // whatever the Save button shows.
    void buttonsAndMenuEntriesFollowTheirOwnRules_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("buttonEnabled");
        QTest::addColumn<bool>("menuEnabled");
        const auto row = [](Command command, const char *situation, bool button, bool menu) {
            QTest::addRow("%s: %s", qPrintable(commandRow(command).title), situation)
                << int(command) << QString::fromLatin1(situation) << button << menu;
        };
        row(Command::Save, "untouched", false, true);
        row(Command::Save, "opened", false, true);
        row(Command::Save, "inserted", false, true);
        row(Command::Save, "key", true, true);
        row(Command::Cut, "untouched", false, false);
        row(Command::Cut, "selected", true, true);
        row(Command::Copy, "untouched", false, false);
        row(Command::Copy, "selected", true, true);
        row(Command::Paste, "untouched", false, false);
        row(Command::Paste, "clipboard", true, true);
    }
    void buttonsAndMenuEntriesFollowTheirOwnRules() {
        QFETCH(int, command);
        QFETCH(QString, situation);
        QFETCH(bool, buttonEnabled);
        QFETCH(bool, menuEnabled);
        TForm1 &main = start();
        main.show();
        QTemporaryDir folder;
        const QString page = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(page, "<p>one</p>\n");
        if (situation == u"opened") {
            QVERIFY(main.document().openFile(page));
        } else if (situation == u"inserted") {
            QVERIFY(main.document().openFile(page));
            main.core().InsertAtCaret(QStringLiteral("<HR>"));
        } else if (situation == u"key") {
            QTest::keyClick(main.editor, Qt::Key_Right);
        } else if (situation == u"selected") {
            select(main, 0, 4);
        } else if (situation == u"clipboard") {
            m_app.platform->clipboardText = true;
            select(main, 1, 1);
        }
        const CommandRow &row = commandRow(Command(command));
        for (const Control &control : row.controls) {
            QAction *item = main.action(control.objectName);
            QVERIFY2(item != nullptr, qPrintable(control.objectName));
            if (control.kind == Control::MenuEntry)
                for (QObject *holder : item->associatedObjects())
                    if (auto *menu = qobject_cast<QMenu *>(holder))
                        Q_EMIT menu->aboutToShow();
            const bool expected = control.kind == Control::Button      ? buttonEnabled
                                  : control.kind == Control::MenuEntry ? menuEnabled
                                                                       : true;
            QVERIFY2(item->isEnabled() == expected, qPrintable(control.objectName));
        }
        if (Command(command) == Command::Save && situation == u"inserted") {
            main.action(QStringLiteral("Save1"))->trigger();
            QCOMPARE(fileBytes(page), QByteArray("<HR><p>one</p>\n"));
        }
    }
    // Every command with both kinds of controls and a rule of its own has rows above.
    void everyRuleOfTwoKindsOfControlsIsTested() {
        QSet<int> twoKinds;
        for (const CommandRow &row : commandTable()) {
            const auto has = [&row](Control::Kind kind) {
                return std::any_of(row.controls.begin(), row.controls.end(),
                                   [kind](const Control &c) { return c.kind == kind; });
            };
            if (row.enabled != EnabledWhen::Always && has(Control::Button) &&
                has(Control::MenuEntry))
                twoKinds.insert(int(row.id));
        }
        QCOMPARE(twoKinds, (QSet<int>{int(Command::Save), int(Command::Cut), int(Command::Copy),
                                      int(Command::Paste)}));
    }

    void undoIsManyStepsDeepAndRedoable() {
        TForm1 &main = start();
        main.show();
        const QString original = pageText(main.core().page());
        select(main, 7, 13); // "<HEAD>"
        main.core().WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);
        main.core().InsertAtCaret(QStringLiteral("&nbsp;"));
        // Undo is enabled when its menu opens.
        Q_EMIT main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->aboutToShow();
        main.action("Undo1")->trigger();
        QVERIFY2(pageText(main.core().page()).contains(QStringLiteral("<B><HEAD></B>")),
                 qPrintable(pageText(main.core().page())));
        main.action("Undo1")->trigger();
        QCOMPARE(pageText(main.core().page()), original);
        Q_EMIT main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->aboutToShow();
        main.action("Redo1")->trigger();
        QVERIFY(pageText(main.core().page()).contains(QStringLiteral("<B><HEAD></B>")));
    }

    void exitAsksLikeClosing() {
        TForm1 &main = start();
        main.show();
        main.core().InsertAtCaret(QStringLiteral("unsaved"));
        m_app.platform->queueAnswer(QMessageBox::Cancel);
        main.action("Exit1")->trigger();
        QVERIFY(main.isVisible());
        QCOMPARE(m_app.platform->texts("ask"), QStringList{"Do you want to save the changes?"});
        m_app.platform->queueAnswer(QMessageBox::No);
        main.action("Exit1")->trigger();
        QVERIFY(!main.isVisible());
    }

    void windowShortcutsReachTheFileCommands() {
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QString opened;
        whenModalShown([&opened](QWidget *modal) {
            opened = modal->objectName();
            modal->close();
        });
        QTest::keyClick(main.editor, Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(opened, QStringLiteral("Form2"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        m_app.platform->queueFile(QString());
        QTest::keyClick(main.editor, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_app.platform->shown.last().kind, QStringLiteral("open"));
        // A new window from the editor and from the side panel.
        QTest::keyClick(main.editor, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        main.sidePanelTabs->setFocus();
        QTest::keyClick(main.sidePanelTabs, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_app.platform->startedCopies, (QList<QStringList>{{}, {}}));
    }

    // The drop-down menus are reached from the keyboard as a menu bar is: F10
    // opens File with its first entry highlighted, Left and Right go from menu to
    // menu round the row, Escape closes.
    void dropDownMenusFromTheKeyboard() {
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.editor->setFocus();
        const QList<std::pair<Qt::Key, QString>> steps{
            {Qt::Key_Right, "PopupMenu2"}, {Qt::Key_Right, "PopupMenu1"},
            {Qt::Key_Right, "ViewMenu"},   {Qt::Key_Left, "PopupMenu5"},
            {Qt::Key_Left, "ViewMenu"},    {Qt::Key_Left, "PopupMenu1"},
            {Qt::Key_Left, "PopupMenu2"},  {Qt::Key_Right, "PopupMenu4"},
            {Qt::Key_Escape, "PopupMenu2"}};
        QStringList seen;
        int step = 0;
        whenPopupShown([&](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            // Waits for the menu the last key asked for, highlighted.
            if (menu == nullptr || menu->objectName() != steps.at(step).second ||
                menu->activeAction() == nullptr)
                return false;
            seen << menu->objectName() + u':' + menu->activeAction()->objectName();
            QTest::keyClick(menu, steps.at(step).first);
            return ++step == steps.size();
        });
        QTest::keyClick(main.editor, Qt::Key_F10);
        QTRY_COMPARE(step, int(steps.size()));
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(seen, (QStringList{"PopupMenu2:New1", "PopupMenu1:Undo1", "ViewMenu:LivePreview1",
                                    "PopupMenu5:FrameWizard1", "ViewMenu:LivePreview1",
                                    "PopupMenu1:Undo1", "PopupMenu2:New1", "PopupMenu4:Help1",
                                    "PopupMenu2:New1"}));
        // The window's focus stays in the editor (whether the offscreen platform gives the
        // window itself back its activation after the last popup is not ours to test).
        QTRY_COMPARE(main.focusWidget(), main.editor);

        // A menu opened with the mouse goes on to its neighbour too.
        QString reached;
        whenPopupShown([&reached](QWidget *popup) {
            if (popup->objectName() == QLatin1String("PopupMenu5")) {
                QTest::keyClick(popup, Qt::Key_Right);
                return false;
            }
            reached = popup->objectName();
            QTest::keyClick(popup, Qt::Key_Escape);
            return true;
        });
        QTest::mouseClick(main.findChild<QToolButton *>(QStringLiteral("ToolbarButton97124")),
                          Qt::LeftButton);
        QTRY_COMPARE(reached, QStringLiteral("PopupMenu3"));
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);

        // Shift+F10 in the editor opens its context menu.
        QApplication::setActiveWindow(&main);
        main.editor->setFocus();
        QTRY_VERIFY(main.editor->hasFocus());
        QString opened;
        whenPopupShown([&opened](QWidget *popup) {
            opened = popup->objectName();
            QTest::keyClick(popup, Qt::Key_Escape);
            return true;
        });
        QTest::keyClick(main.editor, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_COMPARE(opened, QStringLiteral("PopupMenu6"));
    }

    // Alt with a letter opens its drop-down as F10 does and never types into the page; the
    // Ctrl keys of Bold, Italic and Underline work from the editor.
    void keysFromTheEditor_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("menu"); // the drop-down it opens, if any
        QTest::addColumn<QString>("text"); // what the empty page holds afterwards
        const int alt = Qt::AltModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Alt+F: File") << int(Qt::Key_F) << alt << "PopupMenu2"
                                     << "";
        QTest::newRow("Alt+E: Edit") << int(Qt::Key_E) << alt << "PopupMenu1"
                                     << "";
        QTest::newRow("Alt+T: Tools") << int(Qt::Key_T) << alt << "PopupMenu5"
                                      << "";
        QTest::newRow("Alt+A: Tags") << int(Qt::Key_A) << alt << "PopupMenu3"
                                     << "";
        QTest::newRow("Alt+H: Help") << int(Qt::Key_H) << alt << "PopupMenu4"
                                     << "";
        QTest::newRow("Alt+Q: nothing") << int(Qt::Key_Q) << alt << ""
                                        << "";
        QTest::newRow("Ctrl+B") << int(Qt::Key_B) << ctrl << ""
                                << "<B></B>";
        QTest::newRow("Ctrl+I") << int(Qt::Key_I) << ctrl << ""
                                << "<I></I>";
        QTest::newRow("Ctrl+U") << int(Qt::Key_U) << ctrl << ""
                                << "<U></U>";
    }
    void keysFromTheEditor() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, menu);
        QFETCH(QString, text);
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.editor->clear();
        main.editor->setFocus();
        QString opened;
        whenPopupShown([&opened](QWidget *popup) {
            opened = popup->objectName();
            QTest::keyClick(popup, Qt::Key_Escape);
            return true;
        });
        QTest::keyClick(main.editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (!menu.isEmpty())
            QTRY_COMPARE(opened, menu);
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(pageText(main.core().page()), text);
    }

    // F6 goes from the editor to the side panel, the status fields and back; a palette button
    // reached by the keyboard runs its command with Enter.
    void keyboardReachesTheSidePanel() {
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.editor->clear();
        main.editor->setFocus();
        QTest::keyClick(main.editor, Qt::Key_F6);
        QTRY_VERIFY(main.sidePanelTabs->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QTRY_COMPARE(QApplication::focusWidget(), main.statusFields().EncodingLabel);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QTRY_VERIFY(main.editor->hasFocus());

        main.sidePanelTabs->setCurrentWidget(main.insertHtmlTab);
        main.insertHtmlTabs->setCurrentWidget(main.normalTab);
        auto *comment = main.findChild<QToolButton *>(QStringLiteral("ToolbarButton97143"));
        comment->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(comment->hasFocus());
        QTest::keyClick(comment, Qt::Key_Return);
        QCOMPARE(pageText(main.core().page()), QStringLiteral("<!--  -->"));
    }

    // Ctrl+Shift+P lists every command of the table, the side panel's buttons and the
    // characters; Enter runs the chosen one as its button does: a formatting command, a
    // dialog, a toggle.
    void commandPaletteRunsCommands() {
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.editor->clear();
        main.editor->setFocus();
        // Types `filter` into the palette once it is up and presses Enter; `then` handles
        // the window the chosen command opens.
        const auto choose = [&main](const QString &filter, int *listed = nullptr,
                                    const std::function<void(QWidget *)> &then = {}) {
            whenModalShown([filter, listed, then](QWidget *modal) {
                auto *palette = qobject_cast<CommandPalette *>(modal);
                QVERIFY(palette != nullptr);
                if (listed) {
                    *listed = palette->list()->topLevelItemCount();
                    // All three columns in view, the keys whole.
                    QTreeWidget *list = palette->list();
                    const int keys =
                        list->header()->sectionViewportPosition(2) + list->header()->sectionSize(2);
                    QVERIFY2(keys <= list->viewport()->width(), qPrintable(QString::number(keys)));
                    QVERIFY(list->header()->sectionSize(2) >= list->header()->sectionSizeHint(2));
                }
                QTest::keyClicks(palette->filterField(), filter);
                if (then)
                    whenModalShown(then);
                QTest::keyClick(palette->filterField(), Qt::Key_Return);
            });
            // The window is active again once a dialog has closed, as on a desktop.
            QApplication::setActiveWindow(&main);
            QVERIFY(QTest::qWaitForWindowActive(&main));
            QTest::keyClick(main.editor, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        };
        int listed = 0;
        choose(QStringLiteral("bold"), &listed);
        QTRY_COMPARE(pageText(main.core().page()), QStringLiteral("<B></B>"));
        QCOMPARE(listed, int(commandTable().size()) - 1 + 2 + 84);

        QString opened;
        choose(QStringLiteral("image insert"), nullptr, [&opened](QWidget *modal) {
            opened = modal->objectName();
            qobject_cast<QDialog *>(modal)->done(QDialog::Rejected);
        });
        QTRY_COMPARE(opened, QStringLiteral("Form5"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

        QVERIFY(main.sidePanel->isVisible());
        choose(QStringLiteral("view panel"));
        QTRY_VERIFY(!main.sidePanel->isVisible());
        QCOMPARE(stored("Panel").toString(), QStringLiteral("1"));
    }

    // Every control of a formatting command, in the real window, runs it exactly once: what
    // each gives on an empty page in upper case, written out here rather than taken from the
    // program's tables.
    void everyFormattingControlRunsItsCommand_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected");
        const struct {
            const char *control;
            const char *upperResult;
        } controls[] = {
            {"ToolbarButton9711", "<B></B>"},
            {"ToolbarButton97114", "<B></B>"},
            {"Bold1", "<B></B>"},
            {"Bold2", "<B></B>"},
            {"ToolbarButton9713", "<I></I>"},
            {"ToolbarButton97115", "<I></I>"},
            {"Italic1", "<I></I>"},
            {"Italic2", "<I></I>"},
            {"ToolbarButton9712", "<U></U>"},
            {"ToolbarButton97116", "<U></U>"},
            {"Underlined1", "<U></U>"},
            {"Underlined2", "<U></U>"},
            {"ToolbarButton9725", "<STRONG></STRONG>"},
            {"ToolbarButton97122", "<STRONG></STRONG>"},
            {"Strong1", "<STRONG></STRONG>"},
            {"ToolbarButton9714", "<CENTER></CENTER>"},
            {"ToolbarButton97118", "<CENTER></CENTER>"},
            {"Center1", "<CENTER></CENTER>"},
            {"Center2", "<CENTER></CENTER>"},
            {"ToolbarButton9726", "<P ALIGN=\"LEFT\"></P>"},
            {"ToolbarButton97117", "<P ALIGN=\"LEFT\"></P>"},
            {"LeftJustify1", "<P ALIGN=\"LEFT\"></P>"},
            {"LeftJustify2", "<P ALIGN=\"LEFT\"></P>"},
            {"ToolbarButton9718", "<P ALIGN=\"RIGHT\"></P>"},
            {"ToolbarButton97119", "<P ALIGN=\"RIGHT\"></P>"},
            {"RightJustify1", "<P ALIGN=\"RIGHT\"></P>"},
            {"RightJustify2", "<P ALIGN=\"RIGHT\"></P>"},
            {"ToolbarButton9719", "<H1></H1>"},
            {"ToolbarButton9720", "<H2></H2>"},
            {"ToolbarButton9721", "<H3></H3>"},
            {"ToolbarButton9722", "<H4></H4>"},
            {"ToolbarButton9723", "<H5></H5>"},
            {"ToolbarButton9724", "<H6></H6>"},
            {"ToolbarButton9727", "<BIG></BIG>"},
            {"IncreaseTextSize1", "<BIG></BIG>"},
            {"ToolbarButton9728", "<SMALL></SMALL>"},
            {"DecreaseTextSize1", "<SMALL></SMALL>"},
            {"ToolbarButton97129", "<FONT SIZE=\"+1\"></FONT>"},
            {"ToolbarButton97128", "<FONT SIZE=\"-1\"></FONT>"},
            {"ToolbarButton9715", "<P>"},
            {"Paragraph2", "<P>"},
            {"Paragraph1", "<P>"},
            {"ToolbarButton9716", "<BR>"},
            {"ToolbarButton97120", "<BR>"},
            {"LineBreak1", "<BR>"},
            {"ToolbarButton9717", "&nbsp;"},
            {"ToolbarButton97121", "&nbsp;"},
            {"ToolbarButton97143", "<!--  -->"},
            {"ToolbarButton97144", "<!--  -->"},
        };
        for (const auto &row : controls)
            QTest::newRow(row.control) << row.control << row.upperResult;
    }
    void everyFormattingControlRunsItsCommand() {
        QFETCH(QString, control);
        QFETCH(QString, expected);
        TForm1 &main = start();
        main.show();
        main.editor->clear();
        QVERIFY2(activate(main, control), qPrintable(control));
        QCOMPARE(pageText(main.core().page()), expected);
    }

    // The command table against the real window: every control it names is there, with
    // its caption or hint, its face, and the command's keys beside its menu entries.
    void everyControlOfTheTableIsInTheWindow() {
        TForm1 &main = start();
        int controls = 0;
        for (const CommandRow &row : commandTable()) {
            QVERIFY2(!row.title.isEmpty(), qPrintable(QString::number(int(row.id))));
            for (const Control &control : row.controls) {
                const QByteArray name = control.objectName.toLatin1();
                ++controls;
                if (QAction *action = main.action(control.objectName)) {
                    QCOMPARE(action->text(), control.text);
                    if (control.kind == Control::MenuEntry)
                        QCOMPARE(action->shortcuts(), row.keys);
                    if (control.kind == Control::Button) {
                        QCOMPARE(action->toolTip(), control.text);
                        QVERIFY2(!action->icon().isNull(), name.constData());
                    }
                    continue;
                }
                auto *button = main.findChild<QToolButton *>(control.objectName);
                QVERIFY2(button != nullptr, name.constData());
                QCOMPARE(control.kind, Control::Button);
                QCOMPARE(button->toolTip(), control.text);
                QVERIFY2(!button->icon().isNull(), name.constData());
                QCOMPARE(button->focusPolicy(), Qt::TabFocus);
            }
        }
        QCOMPARE(controls, 163);
        // The window-wide keys of the file commands, Redo and help.
        const std::pair<const char *, QKeySequence> hidden[] = {
            {"New2", QKeySequence(Qt::CTRL | Qt::Key_N)},
            {"Open2", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {"Save2", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {"Redo2", QKeySequence(Qt::CTRL | Qt::Key_Y)},
            {"HelpContext", QKeySequence(Qt::Key_F1)},
            {"GoToLineKey", QKeySequence(Qt::CTRL | Qt::Key_G)}};
        for (const auto &[name, keys] : hidden) {
            QCOMPARE(main.action(QString::fromLatin1(name))->shortcut(), keys);
            QCOMPARE(main.action(QString::fromLatin1(name))->shortcutContext(), Qt::WindowShortcut);
        }
    }

    // The "Fonts" page: its buttons in palette order, eight in the first row, five in the
    // second, each with its hint and a face.
    void fontsPageButtons() {
        const struct {
            const char *name;
            const char *toolTip;
        } expected[] = {
            {"ToolbarButton9727", "Increase Text Size"},
            {"ToolbarButton9728", "Decrease Text Size"},
            {"ToolbarButton97114", "Bold"},
            {"ToolbarButton97115", "Italic"},
            {"ToolbarButton97116", "Underlined"},
            {"ToolbarButton97117", "Left Justify"},
            {"ToolbarButton97118", "Center"},
            {"ToolbarButton97119", "Right Justify"},
            {"ToolbarButton97120", "Break"},
            {"ToolbarButton97121", "Non-breaking space"},
            {"ToolbarButton97122", "Strong"},
            {"ToolbarButton97129", "Increase Text Size"},
            {"ToolbarButton97128", "Decrease Text Size - 1"},
        };
        TForm1 &main = start();
        main.show();
        main.sidePanelTabs->setCurrentWidget(main.insertHtmlTab);
        main.insertHtmlTabs->setCurrentWidget(main.fontsTab);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.fontsTab->findChildren<QToolButton *>().size(), std::size(expected));
        auto *first = main.findChild<QToolButton *>(QString::fromLatin1(expected[0].name));
        int index = 0;
        for (const auto &row : expected) {
            auto *button = main.fontsTab->findChild<QToolButton *>(QString::fromLatin1(row.name));
            QVERIFY2(button, row.name);
            QCOMPARE(button->toolTip(), QString::fromLatin1(row.toolTip));
            QCOMPARE(button->y() > first->y(), index >= 8);
            if (index % 8 != 0) {
                auto *left = main.fontsTab->findChild<QToolButton *>(
                    QString::fromLatin1(expected[index - 1].name));
                QVERIFY(button->x() > left->x());
                QCOMPARE(button->y(), left->y());
            }
            ++index;
        }
    }

    // The status bar describes whatever the mouse moves over in the real window.
    void statusTextFollowsTheMouse_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("expected"); // "" leaves the previous text
        QTest::newRow("New") << "ToolbarButton976"
                             << "Create a new file";
        QTest::newRow("Heading 1") << "ToolbarButton9719"
                                   << "Insert Heading 1";
        QTest::newRow("twins share texts") << "ToolbarButton97127"
                                           << "Insert an image";
        QTest::newRow("palette twin") << "ToolbarButton97113"
                                      << "Insert an image";
        QTest::newRow("Fonts page Bold") << "ToolbarButton97114"
                                         << "Bold";
        QTest::newRow("F+") << "ToolbarButton97129"
                            << "Increase Text Size + 1";
        QTest::newRow("F-") << "ToolbarButton97128"
                            << "Decrease Text Size - 1";
        QTest::newRow("i circumflex") << "ToolbarButton9775"
                                      << "i circumflex";
        QTest::newRow("Page Transfer") << "ToolbarButton97123"
                                       << "This will automatically transfer the visitor of the "
                                          "page to another page";
        QTest::newRow("case toggle") << "TransparentButton2"
                                     << "Change to Uppercase or Lowercase letters";
        QTest::newRow("editor") << "RichEdit1"
                                << "Welcome to Vellumo";
        QTest::newRow("filler panel") << "Panel2"
                                      << "Welcome to Vellumo";
        QTest::newRow("link tree leaves it") << "TreeView1"
                                             << "";
        QTest::newRow("Go There! leaves it") << "Button1"
                                             << "";
    }
    void statusTextFollowsTheMouse() {
        QFETCH(QString, control);
        QFETCH(QString, expected);
        TForm1 &main = start();
        main.resize(1200, 700); // wide enough for every toolbar button, as when maximized
        main.show();
        main.statusLine->showMessage(QStringLiteral("before"));
        QWidget *target = main.findChild<QWidget *>(control);
        QVERIFY2(target != nullptr, qPrintable(control));
        // Bring its palette page to the front, as a user would before reaching it.
        for (QWidget *page = target; page != nullptr; page = page->parentWidget())
            if (auto *pages = qobject_cast<QTabWidget *>(page->parentWidget() != nullptr
                                                             ? page->parentWidget()->parentWidget()
                                                             : nullptr))
                pages->setCurrentWidget(page);
        QVERIFY(target->isVisible());
        if (auto *scrollArea = qobject_cast<QAbstractScrollArea *>(target))
            target = scrollArea->viewport();
        const QPointF at(2, 2);
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QCOMPARE(main.statusLine->currentMessage(),
                 expected.isEmpty() ? QStringLiteral("before") : expected);
    }

    // Moving over the first row's filler brings a dragged-away menu toolbar home.
    void menuToolbarDocksBackOverItsFiller() {
        TForm1 &main = start();
        main.resize(1200, 700);
        main.show();
        main.removeToolBar(main.dropDownBar);
        main.addToolBar(Qt::BottomToolBarArea, main.dropDownBar);
        main.dropDownBar->show();
        QTRY_COMPARE(main.toolBarArea(main.dropDownBar), Qt::BottomToolBarArea);

        const QPointF at(2, 2);
        QMouseEvent move(QEvent::MouseMove, at, main.dropDownBarFiller->mapToGlobal(at),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(main.dropDownBarFiller, &move);
        QCOMPARE(main.toolBarArea(main.dropDownBar), Qt::TopToolBarArea);
        QTRY_VERIFY(main.dropDownBar->isVisible());
        QTRY_VERIFY(main.dropDownBar->x() < main.dropDownBarFiller->parentWidget()->x());
        QCOMPARE(main.dropDownBar->y(), main.dropDownBarFiller->parentWidget()->y());
        QCOMPARE(main.statusLine->currentMessage(), QStringLiteral("Welcome to Vellumo"));
    }

    // Every launcher control opens its window, with the editor's selection intact.
    void launchersOpenTheirWindows_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("window");
        const std::pair<const char *, const char *> launchers[] = {
            {"ToolbarButton97113", "Form5"},  {"ToolbarButton97127", "Form5"},
            {"ToolbarButton97130", "Form6"},  {"ToolbarButton97131", "Form6"},
            {"HorizontalRule1", "Form6"},     {"ToolbarButton97133", "Form7"},
            {"ToolbarButton97134", "Form7"},  {"ToolbarButton97135", "Form8"},
            {"ToolbarButton97136", "Form8"},  {"ToolbarButton97123", "Form9"},
            {"ToolbarButton97137", "Form11"}, {"ToolbarButton97138", "Form11"},
            {"ToolbarButton97140", "Form12"}, {"ToolbarButton97139", "Form12"},
            {"ToolbarButton97142", "Form13"}, {"ToolbarButton97141", "Form13"},
            {"FrameWizard1", "Form13"},       {"PageGenerator1", "Form10"},
            {"ToolbarButton97145", "Form17"}, {"ToolbarButton97146", "Form17"},
            {"ToolbarButton97147", "Form18"}, {"ToolbarButton97148", "Form19"},
            {"ToolbarButton97149", "Form19"}, {"ToolbarButton97150", "Form20"},
            {"ToolbarButton97151", "Form20"}, {"ToolbarButton97152", "Form21"},
            {"ToolbarButton97153", "Form21"}, {"ToolbarButton97154", "Form22"},
            {"ToolbarButton97155", "Form22"}, {"ToolbarButton97156", "Form23"},
            {"ToolbarButton97157", "Form23"}, {"ToolbarButton97158", "Form24"},
            {"ToolbarButton97159", "Form24"}, {"ToolbarButton97160", "Form25"},
            {"ToolbarButton97161", "Form25"}, {"ToolbarButton97162", "Form26"},
            {"ToolbarButton97163", "Form26"}, {"ToolbarButton97164", "Form28"},
            {"ToolbarButton97165", "Form28"},
        };
        for (const auto &[control, window] : launchers)
            QTest::newRow(control) << control << window;
    }
    void launchersOpenTheirWindows() {
        QFETCH(QString, control);
        QFETCH(QString, window);
        TForm1 &main = start();
        main.show();
        select(main, 14, 20);
        QString opened;
        bool selectionKept = false;
        whenModalShown([&](QWidget *modal) {
            opened = modal->objectName();
            selectionKept = main.core().page().selectedText() == u"<TITLE";
            // Staged and finished dialogs alike leave by their close box.
            QTimer::singleShot(0, modal, [modal] {
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->done(QDialog::Rejected);
            });
        });
        QVERIFY2(activate(main, control), qPrintable(control));
        QCOMPARE(opened, window);
        QVERIFY(selectionKept);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }
    // The permanent fields on the right of the status bar, for pages as they come from disk.
    void statusFieldsShowThePage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("breaks");
        QTest::newRow("tab counts one") << QByteArray("ab\ncd\tx\n") << 6 << "Ln 2, Col 4"
                                        << "UTF-8"
                                        << "LF";
        QTest::newRow("mark, CR LF") << QByteArray("\xEF\xBB\xBF"
                                                   "a\r\nb")
                                     << 3 << "Ln 2, Col 2"
                                     << "UTF-8 BOM"
                                     << "CR LF";
        QTest::newRow("declared Latin-1, CR")
            << QByteArray("<meta charset=iso-8859-1>\r\xE9t\xE9") << 28 << "Ln 2, Col 3"
            << "ISO-8859-1"
            << "CR";
        QTest::newRow("astral character counts one")
            << QByteArray("x\xF0\x9F\x98\x80y") << 4 << "Ln 1, Col 4"
            << "UTF-8"
            << "LF";
        QTest::newRow("mixed breaks") << QByteArray("a\nb\nc\r\nd\n") << 0 << "Ln 1, Col 1"
                                      << "UTF-8"
                                      << "Mixed";
    }
    void statusFieldsShowThePage() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, caret);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page & co.htm"));
        writeBytes(path, bytes);
        TForm1 &main = start();
        main.show();
        StatusFields &fields = main.statusFields();
        QCOMPARE(fields.PageName->text(), QStringLiteral("Untitled"));
        QCOMPARE(fields.CaretPosition->parentWidget(), main.statusLine);
        QVERIFY(main.document().openFile(path));
        Page &page = main.core().page();
        page.setCaret(caret);
        QTEST(fields.CaretPosition->text(), "position");
        QTEST(fields.EncodingLabel->text(), "encoding");
        QTEST(fields.LineBreakLabel->text(), "breaks");
        if (fields.LineBreakLabel->text() == u"Mixed") {
            // The lines with the odd breaks gone, the field says so once typing pauses.
            page.apply({RangeEdit{0, page.length(), QStringLiteral("a")}});
            QTRY_COMPARE(fields.LineBreakLabel->text(), QStringLiteral("LF"));
            main.editor->undo();
            page.setModified(false);
        }
        QCOMPARE(fields.PageName->text(), QStringLiteral("page & co.htm"));
        QCOMPARE(fields.PageName->toolTip(), QDir::toNativeSeparators(path));
        // A hint on the left leaves the fields as they are.
        main.statusLine->showMessage(QStringLiteral("hint"));
        QTest::keyClick(main.editor, Qt::Key_Z);
        QCOMPARE(main.statusLine->currentMessage(), QStringLiteral("hint"));
        QCOMPARE(fields.PageName->text(), QStringLiteral("page & co.htm*"));
        main.document().Save1Click();
        QCOMPARE(fields.PageName->text(), QStringLiteral("page & co.htm"));
        // Typed characters move the column as they should, astral ones by one.
        QCOMPARE(fields.CaretPosition->text(), StatusFields::caretText(page));
        page.apply({RangeEdit{page.caret(), 0, QStringLiteral("\U0001F600")}});
        QTest::keyClick(main.editor, Qt::Key_Q);
        const int at = page.caret();
        const qsizetype characters =
            page.lineText(page.lineAt(at)).left(page.columnAt(at)).toUcs4().size();
        QVERIFY(
            fields.CaretPosition->text().endsWith(QStringLiteral(", Col %1").arg(characters + 1)));
    }

    void goToLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("position"); // empty: refused, the caret stays
        QTest::newRow("line") << "300"
                              << "Ln 300, Col 1";
        QTest::newRow("line:column") << " 250 : 4 "
                                     << "Ln 250, Col 4";
        QTest::newRow("past the end") << "9999"
                                      << "Ln 400, Col 1";
        QTest::newRow("past the line's end") << "12:99"
                                             << "Ln 12, Col 9";
        QTest::newRow("zero") << "0"
                              << "Ln 1, Col 1";
        QTest::newRow("words") << "ten"
                               << "";
        QTest::newRow("negative") << "-5"
                                  << "";
        QTest::newRow("bad column") << "5:x"
                                    << "";
    }
    void goToLine() {
        QFETCH(QString, typed);
        QFETCH(QString, position);
        TForm1 &main = start();
        main.show();
        QStringList lines;
        for (int i = 1; i <= 400; ++i)
            lines << QStringLiteral("line %1").arg(i, 3, 10, QLatin1Char('0'));
        main.editor->setPlainText(lines.join(u'\n'));
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QTest::keyClick(main.editor, Qt::Key_Down); // the caret on line 2
        bool refusedAndOpen = false;
        whenModalShown([&](QWidget *modal) {
            auto *field = modal->findChild<QLineEdit *>(QStringLiteral("LineNumber"));
            field->setText(typed);
            QTest::keyClick(field, Qt::Key_Return);
            refusedAndOpen = modal->isVisible();
            if (refusedAndOpen)
                qobject_cast<QDialog *>(modal)->reject();
        });
        const qsizetype errorsBefore = m_app.platform->texts(QStringLiteral("error")).size();
        QTest::keyClick(main.editor, Qt::Key_G, Qt::ControlModifier);
        const qsizetype errors =
            m_app.platform->texts(QStringLiteral("error")).size() - errorsBefore;
        const QString shown = main.statusFields().CaretPosition->text();
        if (position.isEmpty()) {
            QVERIFY(refusedAndOpen);
            QCOMPARE(shown, QStringLiteral("Ln 2, Col 1"));
            QCOMPARE(errors, 1);
            return;
        }
        QCOMPARE(shown, position);
        QCOMPARE(errors, 0);
        QVERIFY(main.editor->viewport()->rect().contains(main.editor->cursorRect()));
    }

    // The recent pages, newest first, through a restart; a vanished page is reported and dropped.
    void recentFilesAcrossRuns() {
        QTemporaryDir folder;
        QStringList paths;
        for (int i = 0; i < 12; ++i) {
            paths << QDir::toNativeSeparators(folder.filePath(QStringLiteral("p%1.htm").arg(i)));
            writeBytes(QDir::fromNativeSeparators(paths.last()),
                       "<P>page " + QByteArray::number(i));
        }
        TForm1 &first = start();
        auto *fileMenu = first.findChild<QMenu *>(QStringLiteral("PopupMenu2"));
        const QList<QAction *> entries = fileMenu->actions();
        QCOMPARE(
            entries.at(entries.indexOf(first.action(QStringLiteral("Saveas1"))) + 1)->objectName(),
            QStringLiteral("RecentFiles1"));
        for (const QString &path : paths)
            QVERIFY(first.document().openFile(path));
        QVERIFY(first.document().openFile(paths.at(5)));
        QStringList expected = {paths.at(5)};
        for (int i = 11; expected.size() < 10; --i)
            if (i != 5)
                expected << paths.at(i);
        QCOMPARE(stored(QStringLiteral("RecentFiles")).toStringList(), expected);

        // Another run sees the same list; a page removed meanwhile goes with a message.
        TForm1 &second = m_app.restart();
        QVERIFY(QFile::remove(QDir::fromNativeSeparators(paths.at(11))));
        QMenu *recent = second.recentFiles().menu();
        Q_EMIT recent->aboutToShow();
        QStringList listed;
        for (QAction *entry : recent->actions())
            if (!entry->data().toString().isEmpty())
                listed << entry->data().toString();
        QCOMPARE(listed, expected);
        QCOMPARE(recent->actions().last()->text(), QStringLiteral("Clear List"));
        recent->actions().at(1)->trigger();
        QVERIFY(m_app.platform->texts(QStringLiteral("error")).last().contains(paths.at(11)));
        expected.removeAt(1);
        QCOMPARE(stored(QStringLiteral("RecentFiles")).toStringList(), expected);
        // Chosen with unsaved changes: the usual question first.
        second.core().page().setModified(true);
        m_app.platform->queueAnswer(QMessageBox::Yes);
        second.recentFiles().choose(expected.at(2));
        QVERIFY(m_app.platform->answersUsed());
        QCOMPARE(second.document().CurrentFileName, expected.at(2));
        QCOMPARE(stored(QStringLiteral("RecentFiles")).toStringList().value(0), expected.at(2));
        Q_EMIT recent->aboutToShow();
        recent->actions().last()->trigger();
        QVERIFY(stored(QStringLiteral("RecentFiles")).toStringList().isEmpty());
        Q_EMIT recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 1);
        QVERIFY(!recent->actions().first()->isEnabled());
    }
    // Drawing the page in colour leaves each line's own break alone.
    void mixedLineBreaksSurviveColouring() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("mixed.htm"));
        const QByteArray bytes("<P>a\n<P>b\r\n<P>c\n<P>d\r\n");
        writeBytes(path, bytes);
        TForm1 &main = start();
        main.show();
        QVERIFY(main.document().openFile(path));
        main.grab();
        main.core().page().setModified(true);
        QVERIFY(main.document().Save1Click());
        QCOMPARE(fileBytes(path), bytes);
    }
    // F2 opens the dialog that wrote the tag at the caret on that tag, from the menu's key
    // as from anywhere; OK rewrites only what was changed, and a page in CR LF and
    // Windows-1252 is written back byte for byte around it. Elsewhere F2 only says why.
    void editTagRewritesTheTagAtTheCaret_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("caretAfter");
        QTest::addColumn<QString>("form");  // empty: no dialog opens
        QTest::addColumn<QString>("field"); // the dialog's field set to "Caf\u00E9 2"
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("message");
        QTest::newRow("image across lines")
            << QByteArray("<IMG SRC=\"a.gif\"\r\n  ALT='Caf\xE9 &amp; bar' data-x=1>\r\n")
            << "<IMG SR"
            << "Form5"
            << "Edit1"
            << QByteArray("<IMG SRC=\"Caf\xE9 2\"\r\n  ALT='Caf\xE9 &amp; bar' data-x=1>\r\n")
            << "";
        QTest::newRow("link text")
            << QByteArray("<P><A class=x HREF=\"b.htm\">caf\xE9</A>\r\n") << ">ca"
            << "Form7"
            << "Edit2" << QByteArray("<P><A class=x HREF=\"b.htm\">Caf\xE9 2</A>\r\n") << "";
        QTest::newRow("mail link")
            << QByteArray("<a href=\"mailto:x@y.org\">me</a>\r\n") << "<a h"
            << "Form8"
            << "Edit1" << QByteArray("<a href=\"mailto:Caf\xE9 2\">me</a>\r\n") << "";
        QTest::newRow("no dialog writes it")
            << QByteArray("<TABLE BORDER=1>\r\n") << "<TAB"
            << ""
            << "" << QByteArray("<TABLE BORDER=1>\r\n") << "No dialog writes the tag <TABLE>.";
        QTest::newRow("in a comment")
            << QByteArray("<!-- <IMG SRC=a.gif> -->\r\n") << "<IMG"
            << ""
            << "" << QByteArray("<!-- <IMG SRC=a.gif> -->\r\n") << "There is no tag at the caret.";
    }
    void editTagRewritesTheTagAtTheCaret() {
        QFETCH(QByteArray, body);
        QFETCH(QString, caretAfter);
        QFETCH(QString, form);
        QFETCH(QString, field);
        const QByteArray head("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                              "charset=windows-1252\"></HEAD>\r\n<BODY>\r\n");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, head + body);
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(main.document().openFile(path));
        const QString page = pageText(main.core().page());
        main.core().page().setCaret(int(page.indexOf(caretAfter) + caretAfter.size()));
        main.editor->setFocus();
        main.statusLine->clearMessage();
        QString opened;
        if (!form.isEmpty())
            whenModalShown([&opened, field](QWidget *dialog) {
                opened = dialog->objectName();
                dialog->findChild<QLineEdit *>(field)->setText(QStringLiteral("Caf\u00E9 2"));
                for (auto *button : dialog->findChildren<QPushButton *>())
                    if (button->isDefault())
                        button->click();
            });
        QTest::keyClick(main.editor, Qt::Key_F2);
        QTRY_COMPARE(opened, form);
        QFETCH(QString, message);
        QCOMPARE(main.statusLine->currentMessage(), message);
        if (form.isEmpty()) {
            QVERIFY(!main.core().page().isModified());
            return;
        }
        QVERIFY(main.document().Save1Click());
        QFETCH(QByteArray, saved);
        QCOMPARE(fileBytes(path), head + saved);
        // One undo step takes the whole change back.
        main.editor->undo();
        QCOMPARE(pageText(main.core().page()), page);
    }

    // Ctrl+E in the page writes the table the abbreviation stands for, in the page's tag
    // case, and the caret waits in its first cell; the Tags drop-down offers the same.
    void ctrlEExpandsTheAbbreviationBeforeTheCaret() {
        TForm1 &main = start({{"Upercase", "No"}});
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        Page &page = main.core().page();
        page.setCaret(TemplateBodyOffset);
        main.editor->setFocus();
        QTest::keyClicks(main.editor, QStringLiteral("table>tr*2>td*3"));
        QTest::keyClick(main.editor, Qt::Key_E, Qt::ControlModifier);
        const QString cells = QStringLiteral("\t\t<td></td>\n").repeated(3);
        const QString table =
            "<table>\n\t<tr>\n" + cells + "\t</tr>\n\t<tr>\n" + cells + "\t</tr>\n</table>";
        QCOMPARE(page.text(TemplateBodyOffset, TemplateBodyOffset + int(table.size())), table);
        QCOMPARE(page.caret(), TemplateBodyOffset + int(table.indexOf(u"</td>")));
        QVERIFY(main.action(QStringLiteral("ExpandAbbreviation1"))->isEnabled());
        QCOMPARE(
            main.findChild<QMenu *>(QStringLiteral("PopupMenu3"))
                ->actions()
                .at(main.findChild<QMenu *>(QStringLiteral("PopupMenu3"))->actions().size() - 2),
            main.action(QStringLiteral("ExpandAbbreviation1")));
    }

    // The Snippets page lists the user's snippets once shown; New adds one, written to
    // the settings folder at once, and Enter on it writes its body at the caret.
    void snippetsPageAddsAndWritesSnippets() {
        TForm1 &main = start();
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QFile::remove(QDir(main.platform().settingsFolder()).filePath("snippets.json"));
        auto *tab = main.findChild<QWidget *>(QStringLiteral("SnippetsTab"));
        main.sidePanelTabs->setCurrentWidget(tab);
        auto *list = tab->findChild<QListWidget *>(QStringLiteral("SnippetsList"));
        const int starters = list->count();
        QVERIFY(starters >= 10);
        whenModalShown([](QWidget *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("SnippetName"))->setText("Note");
            dialog->findChild<QLineEdit *>(QStringLiteral("SnippetTrigger"))->setText("note");
            dialog->findChild<QTextEdit *>(QStringLiteral("SnippetBody"))
                ->setPlainText("<p class=\"note\">${1:text}</p>");
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        tab->findChild<QPushButton *>(QStringLiteral("NewSnippetButton"))->click();
        QCOMPARE(list->count(), starters + 1);
        QVERIFY(fileBytes(QDir(main.platform().settingsFolder()).filePath("snippets.json"))
                    .contains("\"trigger\": \"note\""));
        Page &page = main.core().page();
        page.setCaret(TemplateBodyOffset);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(page.selectedText(), "text");
        QCOMPARE(page.text(TemplateBodyOffset, TemplateBodyOffset + 24),
                 "<p class=\"note\">text</p>");
    }

    // A click on the encoding or line-break field changes how the page is written.
    void statusFieldsChangeTheBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("entry"); // "submenu/entry" or "entry", without '&'
        QTest::addColumn<QString>("shown"); // the field's text afterwards
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<bool>("byKeyboard"); // F6 to the fields, Tab, Space
        QTest::newRow("mixed to LF") << QByteArray("<P>a\r\n<P>b\n<P>c\n") << "LineBreakLabel"
                                     << "Convert to LF"
                                     << "LF" << QByteArray("<P>a\n<P>b\n<P>c\n") << false;
        QTest::newRow("LF to CR LF") << QByteArray("a\nb\n") << "LineBreakLabel"
                                     << "Convert to CR LF"
                                     << "CR LF" << QByteArray("a\r\nb\r\n") << false;
        QTest::newRow("CR LF to CR") << QByteArray("a\r\nb") << "LineBreakLabel"
                                     << "Convert to CR"
                                     << "CR" << QByteArray("a\rb") << false;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xC3\xA9") << "EncodingLabel"
                                   << "Encoding of the next save/UTF-8 with BOM"
                                   << "UTF-8 BOM" << QByteArray("\xEF\xBB\xBF\xC3\xA9") << false;
        QTest::newRow("UTF-16 LE") << QByteArray("\xC3\xA9") << "EncodingLabel"
                                   << "Encoding of the next save/UTF-16LE"
                                   << "UTF-16LE" << QByteArray("\xFF\xFE\xE9\x00", 4) << false;
        QTest::newRow("Windows-1252") << QByteArray("\xC3\xA9") << "EncodingLabel"
                                      << "Encoding of the next save/windows-1252"
                                      << "windows-1252" << QByteArray("\xE9") << false;
        QTest::newRow("Shift_JIS") << QByteArray("\xE6\x97\xA5") << "EncodingLabel"
                                   << "Encoding of the next save/Shift_JIS"
                                   << "Shift_JIS" << QByteArray("\x93\xFA") << false;
        QTest::newRow("reopen") << QByteArray("\xC3\xA9") << "EncodingLabel"
                                << "Reopen with encoding/windows-1252"
                                << "windows-1252" << QByteArray("\xC3\xA9") << false;
        QTest::newRow("mixed to LF by keyboard") << QByteArray("<P>a\r\n<P>b\n") << "LineBreakLabel"
                                                 << "Convert to LF"
                                                 << "LF" << QByteArray("<P>a\n<P>b\n") << true;
        QTest::newRow("UTF-8 BOM by keyboard")
            << QByteArray("\xC3\xA9") << "EncodingLabel"
            << "Encoding of the next save/UTF-8 with BOM"
            << "UTF-8 BOM" << QByteArray("\xEF\xBB\xBF\xC3\xA9") << true;
    }
    void statusFieldsChangeTheBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QString, entry);
        QFETCH(QByteArray, saved);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, bytes);
        TForm1 &main = start();
        main.show();
        QVERIFY(main.document().openFile(path));
        auto *label = main.statusLine->findChild<QLabel *>(field);
        bool chosen = false;
        whenPopupShown([&](QWidget *popup) {
            auto *menu = qobject_cast<QMenu *>(popup);
            for (const QString &step : entry.split(u'/')) {
                QAction *found = nullptr;
                for (QAction *action : menu->actions())
                    if (action->text().remove(u'&') == step)
                        found = action;
                if (found == nullptr)
                    return true;
                if (found->menu() != nullptr) {
                    menu = found->menu();
                    continue;
                }
                popup->close();
                found->trigger();
                chosen = true;
            }
            return true;
        });
        QFETCH(bool, byKeyboard);
        if (byKeyboard) {
            QApplication::setActiveWindow(&main);
            QVERIFY(QTest::qWaitForWindowActive(&main));
            main.editor->setFocus();
            for (int i = 0; i < 4 && !main.statusLine->isAncestorOf(QApplication::focusWidget());
                 ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("EncodingLabel"));
            if (field == u"LineBreakLabel")
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), label);
            QTest::keyClick(label, Qt::Key_Space);
        } else {
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QTRY_VERIFY(chosen);
        QTEST(label->text(), "shown");
        QVERIFY(main.document().Save1Click());
        QCOMPARE(fileBytes(path), saved);
        if (field == u"LineBreakLabel") {
            // One undo step gives the page its old breaks back.
            main.editor->undo();
            QVERIFY(main.document().Save1Click());
            QCOMPARE(fileBytes(path), bytes);
        }
    }
};

VELLUMO_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
