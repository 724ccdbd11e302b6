#include "app/application.h"
#include "app/launchers.h"
#include "app/main_window.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/page_layout.h"
#include "editor/page_template.h"
#include "markup/format_commands.h"
#include "modal.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

#include <memory>

using namespace vellumo;

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<Windows> m_windows;

    // A fresh start with the given stored settings; the automatic tip is off
    // unless a test asks for it.
    TForm1 &start(const QVariantMap &settings = {}, bool allowTip = false) {
        m_windows.reset();
        m_platform = std::make_unique<ScriptedPlatform>();
        ScriptedPlatform::clearSettings();
        if (!allowTip)
            m_platform->writeSetting(QStringLiteral("Tip"), QStringLiteral("No"));
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            m_platform->writeSetting(it.key(), it.value());
        m_windows = std::make_unique<Windows>(*m_platform);
        return m_windows->mainWindow();
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
    static void select(QPlainTextEdit *editor, int from, int to) {
        QTextCursor cursor(editor->document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    }

private Q_SLOTS:
    void cleanup() {
        // Leave nothing modified behind, so closing asks nothing.
        if (m_windows)
            m_windows->mainWindow().RichEdit1->document()->setModified(false);
        m_windows.reset();
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
        for (QWidget *window : m_windows->all()) {
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

        QCOMPARE(main.RichEdit1->toPlainText(), pageTemplate(true));
        QCOMPARE(main.RichEdit1->textCursor().position(), TemplateBodyOffset);
        // The page's own layout, which keeps edits in a huge page cheap.
        QVERIFY(qobject_cast<PageDocumentLayout *>(main.RichEdit1->document()->documentLayout()));
        QVERIFY(!main.RichEdit1->document()->isModified());
        QVERIFY(!main.RichEdit1->document()->isUndoAvailable());
        QVERIFY(!main.action("TransparentButton2")->isChecked());
        QVERIFY(main.Panel3->isVisible());
        QVERIFY(main.action("TransparentButton1")->isChecked());
        QCOMPARE(main.core().tagCase(), UpperTagCase);
        QCOMPARE(main.document().CurrentFileName, UntitledFileName);
        QCOMPARE(main.StartupFolder, QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(main.TipShown, QStringLiteral("Orvanels"));

        // The tip comes once per run, however often the window is resized.
        main.resize(main.width() + 40, main.height());
        QTest::qWait(50);
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
        QVERIFY(main->Image2->pixmap().isNull());
        QCOMPARE(m_platform->texts("error").size(), 1);
        QVERIFY(m_platform->texts("error").first().contains(QStringLiteral("Vellumo.bmp")));

        QPixmap logo(40, 20);
        logo.fill(Qt::darkBlue);
        QVERIFY(logo.save(folder.filePath(QStringLiteral("Vellumo.bmp")), "BMP"));
        main = &start();
        QCOMPARE(main->Image2->pixmap().size(), QSize(40, 20));
        QVERIFY(m_platform->texts("error").isEmpty());
        QCOMPARE(main->StartupFolder, QDir::toNativeSeparators(folder.path()));
        QVERIFY(QDir::setCurrent(previous));
    }

    void openedPageKeepsTheEditorsLayout() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<P>one\r\n<P>two\r\n");
        file.close();
        TForm1 &main = start();
        main.show();
        QVERIFY(main.document().openFile(path));
        QCOMPARE(main.RichEdit1->toPlainText(), QStringLiteral("<P>one\n<P>two\n"));
        QVERIFY(qobject_cast<PageDocumentLayout *>(main.RichEdit1->document()->documentLayout()));
        QVERIFY(!main.RichEdit1->document()->isModified());
        QCOMPARE(main.RichEdit1->font(), main.RichEdit1->document()->defaultFont());
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
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *editor = qobject_cast<PageEditor *>(main.RichEdit1);
        QVERIFY(editor);
        QCOMPARE(editor->syntaxColouring(), colouring);
        QCOMPARE(editor->lineNumbersShown(), numbers);

        auto darkestIn = [editor](const QImage &image, int from, int to) {
            QTextCursor cursor(editor->document());
            cursor.setPosition(from);
            const QRect start = editor->cursorRect(cursor);
            cursor.setPosition(to);
            const QRect area(QPoint(start.left() + 1, start.top()),
                             QPoint(editor->cursorRect(cursor).left() - 1, start.bottom()));
            QColor darkest(Qt::white);
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (image.pixelColor(x, y).lightness() < darkest.lightness())
                        darkest = image.pixelColor(x, y);
            return darkest;
        };
        editor->moveCursor(QTextCursor::End);
        editor->moveCursor(QTextCursor::StartOfBlock);
        const QImage drawn = editor->viewport()->grab().toImage();
        const int maker = int(editor->toPlainText().lastIndexOf(MakerComment));
        const QColor comment = darkestIn(drawn, maker + 5, maker + 20);
        QVERIFY2(qAbs(comment.lightness() - 128) < 30, qPrintable(comment.name()));
        editor->moveCursor(QTextCursor::Start);
        const QColor tag = darkestIn(editor->viewport()->grab().toImage(), 1, 5);
        QCOMPARE(tag.blue() > tag.red() + 80, colouring);
        QVERIFY(!editor->document()->isModified());
        QCOMPARE(editor->document()->availableUndoSteps(), 0);
    }

    void lowerCaseStart() {
        TForm1 &main = start({{"Upercase", "No"}});
        main.show();
        QCOMPARE(main.RichEdit1->toPlainText(), pageTemplate(false));
        QCOMPARE(main.RichEdit1->textCursor().position(), 66);
        QVERIFY(main.action("TransparentButton2")->isChecked());
        QVERIFY(!main.RichEdit1->document()->isModified());
        // The maker comment is grey, the page itself is not.
        const QTextBlock last = main.RichEdit1->document()->lastBlock();
        QCOMPARE(last.text(), MakerComment);
        QTextCursor cursor(last);
        cursor.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(cursor.charFormat().foreground().color(), QColor(128, 128, 128));
        QVERIFY(main.RichEdit1->document()->firstBlock().charFormat().foreground().color() !=
                QColor(128, 128, 128));
    }

    // The editor's context menu: two submenus, then the clipboard, with lines
    // between the groups.
    void editorMenuLayout() {
        TForm1 &main = start();
        QStringList items;
        for (const QAction *item : main.PopupMenu6->actions())
            items << (item->isSeparator() ? QStringLiteral("-") : item->text());
        QCOMPARE(items, (QStringList{"&File", "-", "&Tags", "-", "Cut", "Copy", "Paste", "-",
                                     "Select All"}));
    }

    // New starts a page of plain text wherever the caret was, even right after
    // the greyed maker comment, whose colour would otherwise spread to the new page.
    void newPageIsNeverGrey() {
        TForm1 &main = start();
        main.show();
        main.RichEdit1->moveCursor(QTextCursor::End);
        whenModalShown([](QWidget *title) {
            title->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        });
        main.action(QStringLiteral("New1"))->trigger();
        QCOMPARE(main.RichEdit1->toPlainText(), pageTemplate(true, QString()));
        QTest::keyClicks(main.RichEdit1, QStringLiteral("typed"));
        for (QTextBlock block = main.RichEdit1->document()->firstBlock(); block.isValid();
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
        QCOMPARE(main.Panel3->isVisible(), shown);
        QCOMPARE(main.action("TransparentButton1")->isChecked(), shown);
    }

    void viewPanelToggleIsStoredAndSurvivesResize() {
        TForm1 &main = start();
        main.show();
        main.action("TransparentButton1")->trigger();
        QCOMPARE(stored("Panel").toInt(), 1);
        QVERIFY(!main.Panel3->isVisible());
        main.resize(main.width() + 30, main.height() + 10);
        QVERIFY(!main.Panel3->isVisible());
        QVERIFY(!main.action("TransparentButton1")->isChecked());
        main.action("TransparentButton1")->trigger();
        QCOMPARE(stored("Panel").toInt(), 2);
        QVERIFY(main.Panel3->isVisible());
        QVERIFY(main.action("TransparentButton1")->isChecked());
    }

    void caseToggleIsStoredAtOnce() {
        TForm1 &main = start();
        main.show();
        const QString text = main.RichEdit1->toPlainText();
        main.action("TransparentButton2")->trigger();
        QCOMPARE(stored("Upercase").toString(), QStringLiteral("No"));
        QCOMPARE(main.core().tagCase(), LowerTagCase);
        QVERIFY(main.action("TransparentButton2")->isChecked());
        main.action("TransparentButton2")->trigger();
        QCOMPARE(stored("Upercase").toString(), QStringLiteral("Yes"));
        QCOMPARE(main.core().tagCase(), UpperTagCase);
        QVERIFY(!main.action("TransparentButton2")->isChecked());
        QCOMPARE(main.RichEdit1->toPlainText(), text);
        QVERIFY(!main.RichEdit1->document()->isModified());
    }

    void editStatesFollowSelectionAndMenus() {
        TForm1 &main = start();
        main.show();
        m_platform->clipboardText = true;
        select(main.RichEdit1, 0, 6);
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
        m_platform->clipboardText = false;
        QVERIFY(main.action("ToolbarButton979")->isEnabled());
        select(main.RichEdit1, 3, 3);
        QVERIFY(!main.action("ToolbarButton979")->isEnabled());
        QVERIFY(!main.action("ToolbarButton975")->isEnabled());
        Q_EMIT main.PopupMenu6->aboutToShow();
        QVERIFY(!main.action("Paste2")->isEnabled());
        QVERIFY(!main.action("Cut2")->isEnabled());
        QVERIFY(!main.action("Copy2")->isEnabled());
    }

    void saveButtonLightsOnKeysCutAndPasteOnly() {
        TForm1 &main = start();
        main.show();
        QAction *save = main.action("ToolbarButton977");
        const QString text = main.RichEdit1->toPlainText();
        QTest::keyClick(main.RichEdit1, Qt::Key_Right);
        QVERIFY2(save->isEnabled(), "an arrow key lights Save");
        QCOMPARE(main.RichEdit1->toPlainText(), text);

        save->setEnabled(false);
        select(main.RichEdit1, 0, 6);
        main.action("Copy1")->trigger();
        QVERIFY(!save->isEnabled());
        main.core().InsertAtCaret(QStringLiteral("<B>"));
        QVERIFY(!save->isEnabled()); // insertions do not light it
        main.action("Cut2")->trigger();
        QVERIFY(save->isEnabled());
        save->setEnabled(false);
        m_platform->clipboardText = true;
        select(main.RichEdit1, 0, 0);
        main.action("ToolbarButton979")->trigger();
        QVERIFY(save->isEnabled());
    }

    void undoIsManyStepsDeepAndRedoable() {
        TForm1 &main = start();
        main.show();
        const QString original = main.RichEdit1->toPlainText();
        select(main.RichEdit1, 7, 13); // "<HEAD>"
        main.core().WrapSelection(QStringLiteral("<B>"), QStringLiteral("</B>"), 3);
        main.core().InsertAtCaret(QStringLiteral("&nbsp;"));
        // Undo is enabled when its menu opens.
        Q_EMIT main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->aboutToShow();
        main.action("Undo1")->trigger();
        QVERIFY2(main.RichEdit1->toPlainText().contains(QStringLiteral("<B><HEAD></B>")),
                 qPrintable(main.RichEdit1->toPlainText()));
        main.action("Undo1")->trigger();
        QCOMPARE(main.RichEdit1->toPlainText(), original);
        Q_EMIT main.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->aboutToShow();
        main.action("Redo1")->trigger();
        QVERIFY(main.RichEdit1->toPlainText().contains(QStringLiteral("<B><HEAD></B>")));
    }

    void exitAsksLikeClosing() {
        TForm1 &main = start();
        main.show();
        main.core().InsertAtCaret(QStringLiteral("unsaved"));
        m_platform->queueAnswer(QMessageBox::Cancel);
        main.action("Exit1")->trigger();
        QVERIFY(main.isVisible());
        QCOMPARE(m_platform->texts("ask"), QStringList{"Do you want to save the changes?"});
        m_platform->queueAnswer(QMessageBox::No);
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
        QTest::keyClick(main.RichEdit1, Qt::Key_N, Qt::ControlModifier);
        QTRY_COMPARE(opened, QStringLiteral("Form2"));
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        m_platform->queueFile(QString());
        QTest::keyClick(main.RichEdit1, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_platform->shown.last().kind, QStringLiteral("open"));
    }

    // The drop-down menus are reached from the keyboard as a menu bar is: F10
    // opens File with its first entry highlighted, Left and Right go from menu to
    // menu round the row, Escape closes.
    void dropDownMenusFromTheKeyboard() {
        TForm1 &main = start();
        main.show();
        QApplication::setActiveWindow(&main);
        QVERIFY(QTest::qWaitForWindowActive(&main));
        main.RichEdit1->setFocus();
        const QList<std::pair<Qt::Key, QString>> steps{
            {Qt::Key_Right, "PopupMenu2"}, {Qt::Key_Right, "PopupMenu1"},
            {Qt::Key_Left, "PopupMenu5"},  {Qt::Key_Left, "PopupMenu1"},
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
        QTest::keyClick(main.RichEdit1, Qt::Key_F10);
        QTRY_COMPARE(step, int(steps.size()));
        QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
        QCOMPARE(seen, (QStringList{"PopupMenu2:New1", "PopupMenu1:Undo1",
                                    "PopupMenu5:FrameWizard1", "PopupMenu1:Undo1",
                                    "PopupMenu2:New1", "PopupMenu4:Help1", "PopupMenu2:New1"}));
        QVERIFY(main.RichEdit1->hasFocus());

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
        main.RichEdit1->setFocus();
        QTRY_VERIFY(main.RichEdit1->hasFocus());
        QString opened;
        whenPopupShown([&opened](QWidget *popup) {
            opened = popup->objectName();
            QTest::keyClick(popup, Qt::Key_Escape);
            return true;
        });
        QTest::keyClick(main.RichEdit1, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_COMPARE(opened, QStringLiteral("PopupMenu6"));
    }

    // Every control of a formatting command, in the real window, runs it exactly once.
    void everyFormattingControlRunsItsCommand_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        for (const MarkupCommand &command : markupCommands())
            for (const QString &control : command.controls)
                QTest::newRow(qPrintable(control))
                    << control << QString(command.upperOpen).replace(QStringLiteral("%1"), "\"")
                    << (command.kind == MarkupCommand::Wrap ? command.upperClose : QString());
    }
    void everyFormattingControlRunsItsCommand() {
        QFETCH(QString, control);
        QFETCH(QString, open);
        QFETCH(QString, close);
        TForm1 &main = start();
        main.show();
        main.RichEdit1->setPlainText(QStringLiteral("one word"));
        select(main.RichEdit1, 4, 8);
        QVERIFY2(activate(main, control), qPrintable(control));
        const QString expected = close.isEmpty() ? QStringLiteral("one ") + open
                                                 : QStringLiteral("one ") + open + "word" + close;
        QCOMPARE(main.RichEdit1->toPlainText(), expected);
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
        main.StatusBar1->showMessage(QStringLiteral("before"));
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
        QCOMPARE(main.StatusBar1->currentMessage(),
                 expected.isEmpty() ? QStringLiteral("before") : expected);
    }

    // Moving over the first row's filler brings a dragged-away menu toolbar home.
    void menuToolbarDocksBackOverItsFiller() {
        TForm1 &main = start();
        main.resize(1200, 700);
        main.show();
        main.removeToolBar(main.Toolbar971);
        main.addToolBar(Qt::BottomToolBarArea, main.Toolbar971);
        main.Toolbar971->show();
        QTRY_COMPARE(main.toolBarArea(main.Toolbar971), Qt::BottomToolBarArea);

        const QPointF at(2, 2);
        QMouseEvent move(QEvent::MouseMove, at, main.Panel1->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(main.Panel1, &move);
        QCOMPARE(main.toolBarArea(main.Toolbar971), Qt::TopToolBarArea);
        QTRY_VERIFY(main.Toolbar971->isVisible());
        QTRY_VERIFY(main.Toolbar971->x() < main.Panel1->parentWidget()->x());
        QCOMPARE(main.Toolbar971->y(), main.Panel1->parentWidget()->y());
        QCOMPARE(main.StatusBar1->currentMessage(), QStringLiteral("Welcome to Vellumo"));
    }

    // Every launcher control opens its window, with the editor's selection intact.
    void launchersOpenTheirWindows_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("window");
        for (const Launcher &launcher : launchers())
            for (const QString &control : launcher.controls)
                QTest::newRow(qPrintable(control)) << control << launcher.window;
    }
    void launchersOpenTheirWindows() {
        QFETCH(QString, control);
        QFETCH(QString, window);
        TForm1 &main = start();
        main.show();
        select(main.RichEdit1, 14, 20);
        QString opened;
        bool selectionKept = false;
        whenModalShown([&](QWidget *modal) {
            opened = modal->objectName();
            selectionKept = main.RichEdit1->textCursor().selectedText() == u"<TITLE";
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
};

VELLUMO_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
