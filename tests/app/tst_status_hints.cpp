#include "app/commands.h"
#include "app/status_hints.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "markup/entity_palette.h"
#include "test_main.h"
#include "widgets/flat_tool_button.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace vellumo;

namespace {

// A small window named like the main one: a toolbar of named actions, the menu row's filler,
// the side panel with its pages, the editor and the status bar.
struct HintsWindow {
    QWidget root;
    QToolBar *toolbar = new QToolBar(&root);
    QAction *separator = nullptr;
    QWidget *panel1 = new QWidget(&root);
    QTabWidget *pageControl1 = new QTabWidget(&root);
    PageEditor *editor = new PageEditor(&root);
    QStatusBar *bar = new QStatusBar(&root);
    InsertionCore core{editor};
    StatusHints hints{bar};
    int fillerCalls = 0;

    HintsWindow() {
        toolbar->setObjectName(QStringLiteral("Toolbar972"));
        addAction(QStringLiteral("ToolbarButton976"), QStringLiteral("New"));
        addAction(QStringLiteral("ToolbarButton977"), QStringLiteral("Save"))->setEnabled(false);
        separator = toolbar->addSeparator();
        addAction(QStringLiteral("ToolbarButton9711"), QStringLiteral("Bold"));
        addAction(QStringLiteral("ToolbarButton97127"), QStringLiteral("Insert Image"));
        addAction(QStringLiteral("ToolbarButton97144"), QStringLiteral("Insert Comment"));
        panel1->setObjectName(QStringLiteral("Panel1"));
        panel1->setMinimumHeight(20);

        pageControl1->setObjectName(QStringLiteral("PageControl1"));
        auto *webPages = new QWidget;
        webPages->setObjectName(QStringLiteral("TabSheet1"));
        auto *logo = new QLabel(QStringLiteral("logo"), webPages);
        logo->setObjectName(QStringLiteral("Image2"));
        auto *tree = new QTreeWidget(webPages);
        tree->setObjectName(QStringLiteral("TreeView1"));
        auto *goThere = new QPushButton(QStringLiteral("Go There!"), webPages);
        goThere->setObjectName(QStringLiteral("Button1"));
        goThere->setToolTip(QStringLiteral("not a status text"));
        auto *webLayout = new QVBoxLayout(webPages);
        webLayout->addWidget(logo);
        webLayout->addWidget(tree);
        webLayout->addWidget(goThere);
        pageControl1->addTab(webPages, QStringLiteral("Web Pages"));

        auto *insertHtml = new QWidget;
        insertHtml->setObjectName(QStringLiteral("TabSheet3"));
        auto *pageControl2 = new QTabWidget(insertHtml);
        pageControl2->setObjectName(QStringLiteral("PageControl2"));
        auto *fonts = new QWidget;
        fonts->setObjectName(QStringLiteral("TabSheet4"));
        auto *grid = new QGridLayout(fonts);
        int index = 0;
        for (const QString &name : fontsPalette()) {
            const Control *control = nullptr;
            commandOfControl(name, &control);
            addToPaletteGrid(grid, makeFlatButton(fonts, name, control->text, {}), index++);
        }
        auto *characters = new QWidget;
        characters->setObjectName(QStringLiteral("TabSheet5"));
        populateCharacterPalette(characters, core);
        pageControl2->addTab(fonts, QStringLiteral("Fonts"));
        pageControl2->addTab(characters, QStringLiteral("Characters"));
        auto *insertLayout = new QVBoxLayout(insertHtml);
        insertLayout->setContentsMargins(8, 8, 8, 8);
        insertLayout->addWidget(pageControl2);
        pageControl1->addTab(insertHtml, QStringLiteral("Insert HTML"));

        editor->setObjectName(QStringLiteral("RichEdit1"));
        bar->setObjectName(QStringLiteral("StatusBar1"));
        auto *layout = new QVBoxLayout(&root);
        layout->addWidget(toolbar);
        layout->addWidget(panel1);
        layout->addWidget(pageControl1);
        layout->addWidget(editor);
        layout->addWidget(bar);

        hints.onMenuRowFiller = [this] { ++fillerCalls; };
        hints.install(&root);
        root.resize(600, 700);
        root.show();
    }

    QAction *addAction(const QString &name, const QString &hint) {
        QAction *action = toolbar->addAction(hint);
        action->setObjectName(name);
        action->setToolTip(hint);
        toolbar->widgetForAction(action)->setObjectName(name);
        return action;
    }

    // The widget a row of the test names: a control, or one of Qt's parts of it.
    QWidget *widget(const QString &name) {
        if (name == QLatin1String("separator"))
            return toolbar->widgetForAction(separator);
        if (name == QLatin1String("toolbar"))
            return toolbar;
        if (name == QLatin1String("tab bar"))
            return pageControl1->tabBar();
        if (name == QLatin1String("editor text"))
            return editor->viewport();
        if (name == QLatin1String("link tree"))
            return root.findChild<QTreeWidget *>(QStringLiteral("TreeView1"))->viewport();
        QWidget *found = root.findChild<QWidget *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        // Pages are shown before they are moved over, as the user would have to.
        for (QWidget *w = found; w; w = w->parentWidget()) {
            if (auto *tabs = qobject_cast<QTabWidget *>(
                    w->parentWidget() ? w->parentWidget()->parentWidget() : nullptr)) {
                if (tabs->indexOf(w) >= 0)
                    tabs->setCurrentWidget(w);
            }
        }
        return found;
    }

    // A real mouse movement over `name`, delivered the way Qt delivers it: a control that
    // does not track the mouse passes it on to its parent.
    void moveOver(const QString &name, QPoint at = {-1, -1}) {
        QWidget *target = widget(name);
        if (at == QPoint(-1, -1))
            at = target->rect().center();
        QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
};

} // namespace

class TestStatusHints : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsWithWelcome() {
        HintsWindow window;
        QCOMPARE(window.bar->currentMessage(), QStringLiteral("Welcome to Vellumo"));
    }

    void statusText_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("expected");
        const QString welcome = QStringLiteral("Welcome to Vellumo");
        const QString newFile = QStringLiteral("Create a new file");

        QTest::newRow("nominal: a button's own status text") << ""
                                                             << "ToolbarButton976" << newFile;
        QTest::newRow("nominal: from the New button onto the editor") << "ToolbarButton976"
                                                                      << "editor text" << welcome;
        QTest::newRow("nominal: a button without a fixed text shows its hint")
            << ""
            << "ToolbarButton9711"
            << "Bold";
        QTest::newRow("nominal: the insert toolbar's twin shares the Normal page's text")
            << ""
            << "ToolbarButton97127"
            << "Insert an image";
        QTest::newRow("nominal: the Fonts page's break shares the toolbar's text")
            << ""
            << "ToolbarButton97120"
            << "Insert Break";
        QTest::newRow("nominal: the Fonts page's bold shows the toolbar's text")
            << ""
            << "ToolbarButton97114"
            << "Bold";
        QTest::newRow("nominal: F+ has a text of its own") << ""
                                                           << "ToolbarButton97129"
                                                           << "Increase Text Size + 1";
        QTest::newRow("nominal: F- shows its hint") << ""
                                                    << "ToolbarButton97128"
                                                    << "Decrease Text Size - 1";
        QTest::newRow("nominal: a character button shows its hint") << ""
                                                                    << "ToolbarButton9734"
                                                                    << "Copyright";
        QTest::newRow("nominal: the misspelt hint is spelt right in the status bar")
            << ""
            << "ToolbarButton9775"
            << "i circumflex";
        QTest::newRow("nominal: a palette page's background is a welcome area")
            << "ToolbarButton976"
            << "TabSheet4" << welcome;
        QTest::newRow("nominal: the side panel's tabs are a welcome area") << "ToolbarButton976"
                                                                           << "tab bar" << welcome;
        QTest::newRow("nominal: the Web Pages page is a welcome area") << "ToolbarButton976"
                                                                       << "TabSheet1" << welcome;
        QTest::newRow("robustness: a separator leaves the text") << "ToolbarButton976"
                                                                 << "separator" << newFile;
        QTest::newRow("robustness: the toolbar's background leaves the text")
            << "ToolbarButton976"
            << "toolbar" << newFile;
        QTest::newRow("robustness: the link tree leaves the text") << "ToolbarButton976"
                                                                   << "link tree" << newFile;
        QTest::newRow("robustness: the logo leaves the text") << "ToolbarButton976"
                                                              << "Image2" << newFile;
        QTest::newRow("robustness: Go There! leaves the text, tooltip or not")
            << "ToolbarButton976"
            << "Button1" << newFile;
        QTest::newRow("robustness: the Insert HTML page itself leaves the text")
            << "ToolbarButton976"
            << "TabSheet3" << newFile;
        QTest::newRow("robustness: a disabled button leaves the text")
            << "ToolbarButton976"
            << "ToolbarButton977" << newFile;
    }
    void statusText() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        HintsWindow window;
        QVERIFY(QTest::qWaitForWindowExposed(&window.root));
        if (!first.isEmpty())
            window.moveOver(first);
        QPoint at(-1, -1);
        if (second.startsWith(QLatin1String("TabSheet"))) {
            // The page's own background, away from its controls.
            QWidget *page = window.widget(second);
            at = QPoint(page->width() - 3, page->height() - 3);
        }
        window.moveOver(second, at);
        QFETCH(QString, expected);
        QCOMPARE(window.bar->currentMessage(), expected);
    }

    void textStaysAfterLeaving() {
        HintsWindow window;
        QVERIFY(QTest::qWaitForWindowExposed(&window.root));
        window.moveOver(QStringLiteral("ToolbarButton976"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(window.widget(QStringLiteral("ToolbarButton976")), &leave);
        QCOMPARE(window.bar->currentMessage(), QStringLiteral("Create a new file"));
    }

    void menuRowFillerDocksTheMenuBack() {
        HintsWindow window;
        QVERIFY(QTest::qWaitForWindowExposed(&window.root));
        window.moveOver(QStringLiteral("ToolbarButton976"));
        window.moveOver(QStringLiteral("Panel1"));
        QCOMPARE(window.fillerCalls, 1);
        QCOMPARE(window.bar->currentMessage(), QStringLiteral("Welcome to Vellumo"));
        // Every movement counts, not only the first one over the filler.
        window.moveOver(QStringLiteral("Panel1"), QPoint(1, 1));
        QCOMPARE(window.fillerCalls, 2);
    }

    void statusTipsOfMenusDoNotClearTheText() {
        QMainWindow window;
        auto *button = new QToolButton(&window);
        button->setObjectName(QStringLiteral("ToolbarButton976"));
        window.setCentralWidget(button);
        StatusHints hints(window.statusBar());
        hints.install(&window);
        auto *entry = new QAction(QStringLiteral("Bold"), &window);
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), button->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &move);

        entry->showStatusText(button); // what a menu does while the mouse is over an entry

        QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Create a new file"));
    }

    void missingControlsAreListed() {
        HintsWindow window;
        const QStringList missing = window.hints.missingControls();
        QVERIFY(!missing.contains(QStringLiteral("ToolbarButton976")));
        QVERIFY(!missing.contains(QStringLiteral("ToolbarButton9775")));
        QVERIFY(missing.contains(QStringLiteral("ToolbarButton974")));
        QVERIFY(missing.contains(QStringLiteral("Panel4")));
    }
};

VELLUMO_TEST_MAIN(TestStatusHints)
#include "tst_status_hints.moc"
