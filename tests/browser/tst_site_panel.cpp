#include "browser/file_browser.h"
#include "browser/insert_style_dialog.h"
#include "browser/link_tree.h"
#include "browser/site_panel.h"
#include "dialogs/dialog_context.h"
#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "modal.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "whole_page.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace vellumo;

namespace {

// What the user does in the Select Insert Style dialog.
enum class StyleAnswer { ChooseItem, Cancel, Escape, CloseBox, TypeThenPickAgain };

// Closes the style dialog at once if it ever shows, and counts how often it did.
class DialogGuard : public QObject {
public:
    explicit DialogGuard(QDialog *dialog) { dialog->installEventFilter(this); }
    int shown = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Show) {
            ++shown;
            auto *dialog = static_cast<QDialog *>(watched);
            QTimer::singleShot(0, dialog, [dialog] { dialog->close(); });
        }
        return false;
    }
};

} // namespace

class TestSitePanel : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<QWidget> m_window;
    PageEditor *m_editor = nullptr;
    std::unique_ptr<InsertionCore> m_core;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<DialogContext> m_context;
    TForm3 *m_style = nullptr;
    SitePanel *m_panel = nullptr;

    void write(const QString &name, const QByteArray &bytes) {
        QFile file(m_folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QListWidget *files() const { return m_panel->fileBrowser()->fileList; }
    QTreeWidget *tree() const { return m_panel->linkTree()->tree; }

    void page(const QString &text, int anchor, int position) {
        setPageText(m_core->page(), text);
        m_core->page().select(anchor, position);
    }
    QString text() const { return pageText(m_core->page()); }
    int caret() const { return m_core->page().caret(); }

    // A click on a file of the list, as the user makes it.
    void clickFile(const QString &name) {
        const QList<QListWidgetItem *> found = files()->findItems(name, Qt::MatchExactly);
        QVERIFY2(found.size() == 1, qPrintable(name));
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {},
                          files()->visualItemRect(found.constFirst()).center());
    }
    QTreeWidgetItem *treeItem(const QString &caption) const {
        const QList<QTreeWidgetItem *> found =
            tree()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.constFirst();
    }
    void clickTree(const QString &caption) {
        QTreeWidgetItem *item = treeItem(caption);
        QVERIFY(item != nullptr);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {},
                          tree()->visualItemRect(item).center());
    }
    // Answers the style dialog when it shows; the flag tells when it was answered.
    std::shared_ptr<bool> answerStyle(StyleAnswer answer, int item = 0) {
        auto answered = std::make_shared<bool>(false);
        whenModalShown([answer, item, answered](QWidget *modal) {
            *answered = true;
            auto *dialog = qobject_cast<TForm3 *>(modal);
            QVERIFY(dialog != nullptr);
            switch (answer) {
            case StyleAnswer::ChooseItem:
                dialog->styleBox->setCurrentIndex(item);
                dialog->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
                break;
            case StyleAnswer::Cancel:
                dialog->findChild<QPushButton *>(QStringLiteral("Button2"))->click();
                break;
            case StyleAnswer::Escape:
                QTest::keyClick(dialog, Qt::Key_Escape);
                break;
            case StyleAnswer::CloseBox:
                dialog->close();
                break;
            case StyleAnswer::TypeThenPickAgain: {
                // The item shown, a letter typed over it, then the same item
                // picked from the open list.
                QComboBox *box = dialog->styleBox;
                box->setCurrentIndex(item);
                QTest::keyClick(box->lineEdit(), Qt::Key_X);
                box->showPopup();
                QAbstractItemView *list = box->view();
                const QPoint at = list->visualRect(box->model()->index(item, 0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
                dialog->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
                break;
            }
            }
        });
        return answered;
    }
    // A whole drag from one of the panel's lists over the editor and a drop at
    // `at`; the items it carries must not matter.
    void dropOnEditor(QPoint at = QPoint(5, 5)) {
        QMimeData data;
        data.setData(QStringLiteral("application/x-qabstractitemmodeldatalist"), "items");
        data.setText(QStringLiteral("dragged text that is never inserted"));
        QWidget *target = m_editor->viewport();
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QVERIFY(move.isAccepted());
        QCOMPARE(move.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(at), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
    }

private Q_SLOTS:
    void init() {
        write(QStringLiteral("photo.gif"), "GIF89a");
        write(QStringLiteral("index.htm"), "<p>caf\xe9</p>\r\n<p>two</p>");
        write(QStringLiteral("notes.txt"), "line one\nline two");
        QDir(m_folder.path()).mkpath(QStringLiteral("sub"));
        write(QStringLiteral("sub/inner.html"), "inner");

        m_window = std::make_unique<QWidget>();
        auto *tab1 = new QWidget(m_window.get());
        tab1->setObjectName(QStringLiteral("TabSheet1"));
        auto *tab2 = new QWidget(m_window.get());
        tab2->setObjectName(QStringLiteral("TabSheet2"));
        // The main window's own button, which the browser takes over.
        (new QPushButton(QStringLiteral("&Link To File"), tab2))
            ->setObjectName(QStringLiteral("Button2"));
        new QVBoxLayout(tab2);
        m_editor = new PageEditor(m_window.get());
        m_editor->setObjectName(QStringLiteral("RichEdit1"));
        auto *layout = new QHBoxLayout(m_window.get());
        layout->addWidget(tab1);
        layout->addWidget(tab2);
        layout->addWidget(m_editor, 1);

        m_core = std::make_unique<InsertionCore>(m_editor);
        m_core->setTagCase(UpperTagCase);
        m_platform = std::make_unique<ScriptedPlatform>();
        m_context = std::make_unique<DialogContext>(DialogContext{*m_core, *m_platform});
        m_style = new TForm3(*m_context, m_window.get());
        m_panel = new SitePanel(*m_core, *m_platform, *m_style, m_window.get());
        m_panel->fillWebPagesTab(tab1);
        m_panel->fillLinkToFileTab(tab2, m_folder.path());
        m_panel->installDropHandling(m_editor);
        m_window->resize(900, 600);
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        page(QStringLiteral("ab"), 1, 1);
    }
    void cleanup() {
        m_window.reset();
        QCOMPARE(m_platform->unexpected, QStringList());
        m_platform.reset();
    }

    void browserShowsBareNamesAndTakesOverButton() {
        FileBrowser *browser = m_panel->fileBrowser();
        QStringList names;
        for (int i = 0; i < files()->count(); ++i)
            names << files()->item(i)->text();
        QCOMPARE(names, (QStringList{"index.htm", "notes.txt", "photo.gif"}));
        QWidget *tab = browser->linkButton->parentWidget();
        QCOMPARE(tab->objectName(), QStringLiteral("TabSheet2"));
        QCOMPARE(tab->findChildren<QPushButton *>(QStringLiteral("Button2")).size(), 1);
        QVERIFY(files()->dragEnabled());
        QCOMPARE(files()->selectionMode(), QAbstractItemView::SingleSelection);

        browser->filterBox->setCurrentIndex(3); // All Web Images
        QCOMPARE(files()->count(), 1);
        QCOMPARE(files()->item(0)->text(), QStringLiteral("photo.gif"));

        QVERIFY(browser->setFolder(m_folder.filePath(QStringLiteral("sub"))));
        browser->filterBox->setCurrentIndex(2); // All Web Documents
        QCOMPARE(files()->count(), 1);
        QCOMPARE(files()->item(0)->text(), QStringLiteral("inner.html"));
    }

    void linkToFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caretAfter");
        const auto choose = static_cast<int>(StyleAnswer::ChooseItem);
        QTest::newRow("nominal: image, caret between the ALT quotes")
            << "photo.gif" << choose << 1 << R"(a<IMG SRC="photo.gif" BORDER=0 ALT="">b)" << 36;
        QTest::newRow("nominal: hyper link, caret between the tags")
            << "photo.gif" << choose << 0 << R"(a<A HREF="photo.gif"></A>b)" << 21;
        QTest::newRow("nominal: background sound")
            << "photo.gif" << choose << 2 << R"(a<BGSOUND SRC="photo.gif" LOOP=INFINITE>b)" << 40;
        QTest::newRow("nominal: pre-formatted text of a file with several lines")
            << "notes.txt" << choose << 3 << "a<PRE>\nline one\nline two\n</PRE>b" << 31;
        QTest::newRow("nominal: text keeps an old encoding's characters")
            << "index.htm" << choose << 3
            << QString::fromUtf8("a<PRE>\n<p>café</p>\n<p>two</p>\n</PRE>b") << 36;
        QTest::newRow("robustness: an item picked again after typing is chosen")
            << "photo.gif" << static_cast<int>(StyleAnswer::TypeThenPickAgain) << 1
            << R"(a<IMG SRC="photo.gif" BORDER=0 ALT="">b)" << 36;
        QTest::newRow("nominal: cancel inserts nothing")
            << "photo.gif" << static_cast<int>(StyleAnswer::Cancel) << 1 << "ab" << 1;
        QTest::newRow("nominal: escape is cancel")
            << "photo.gif" << static_cast<int>(StyleAnswer::Escape) << 1 << "ab" << 1;
        QTest::newRow("nominal: the close box inserts a link")
            << "photo.gif" << static_cast<int>(StyleAnswer::CloseBox) << 1
            << R"(a<A HREF="photo.gif"></A>b)" << 21;
    }
    void linkToFile() {
        QFETCH(QString, file);
        QFETCH(int, answer);
        QFETCH(int, item);
        // Lower-case mode changes nothing: Link To File always writes upper case.
        m_core->setTagCase(LowerTagCase);
        clickFile(file);
        QCOMPARE(m_panel->FilePicked, PickedList::FileList);
        answerStyle(static_cast<StyleAnswer>(answer), item);
        m_panel->fileBrowser()->linkButton->click();
        QFETCH(QString, expected);
        QFETCH(int, caretAfter);
        QCOMPARE(text(), expected);
        QCOMPARE(caret(), caretAfter);
        QCOMPARE(m_panel->FilePicked, PickedList::Neither);
        QCOMPARE(m_style->InsertStyle, FileInsertStyle::Unset);
    }

    void linkToFileOncePerClick() {
        DialogGuard guard(m_style);
        m_panel->fileBrowser()->linkButton->click(); // nothing picked yet
        QCOMPARE(guard.shown, 0);
        clickFile(QStringLiteral("photo.gif"));
        clickTree(QStringLiteral("AltaVista")); // the tree was clicked last
        m_panel->fileBrowser()->linkButton->click();
        QCOMPARE(guard.shown, 0);
        QCOMPARE(text(), QStringLiteral("ab"));

        clickFile(QStringLiteral("photo.gif"));
        answerStyle(StyleAnswer::ChooseItem, 0);
        m_panel->fileBrowser()->linkButton->click();
        QCOMPARE(text(), QStringLiteral(R"(a<A HREF="photo.gif"></A>b)"));
        m_panel->fileBrowser()->linkButton->click(); // no new click
        QCOMPARE(guard.shown, 1);
        QCOMPARE(text(), QStringLiteral(R"(a<A HREF="photo.gif"></A>b)"));
    }

    void doubleClickRunsLinkToFile() {
        const QList<QListWidgetItem *> found =
            files()->findItems(QStringLiteral("photo.gif"), Qt::MatchExactly);
        const QPoint at = files()->visualItemRect(found.constFirst()).center();
        answerStyle(StyleAnswer::ChooseItem, 1);
        QTest::mouseClick(files()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(files()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(text(), QStringLiteral(R"(a<IMG SRC="photo.gif" BORDER=0 ALT="">b)"));
    }

    void folderChangedAfterClickInsertsNothing() {
        DialogGuard guard(m_style);
        clickFile(QStringLiteral("photo.gif"));
        QVERIFY(m_panel->fileBrowser()->setFolder(m_folder.filePath(QStringLiteral("sub"))));
        m_panel->fileBrowser()->linkButton->click();
        QCOMPARE(guard.shown, 0);
        QCOMPARE(text(), QStringLiteral("ab"));
        QCOMPARE(m_panel->FilePicked, PickedList::Neither);
    }

    void unreadableTextLeavesPageUntouched() {
        QFile big(m_folder.filePath(QStringLiteral("huge.txt")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(LargestInsertedFile + 1));
        big.close();
        m_panel->fileBrowser()->refresh();
        clickFile(QStringLiteral("huge.txt"));
        answerStyle(StyleAnswer::ChooseItem, 3);
        m_panel->fileBrowser()->linkButton->click();
        QCOMPARE(text(), QStringLiteral("ab"));
        QCOMPARE(m_core->page().isUndoAvailable(), false);
        const QStringList errors = m_platform->texts(QStringLiteral("error"));
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.constFirst().contains(QStringLiteral("huge.txt")));
        QVERIFY(errors.constFirst().contains(QStringLiteral("too large")));
    }

    void dropFromLinkTree_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: AltaVista in upper case")
            << "AltaVista" << true << R"(a<A HREF="https://www.altavista.com/">AltaVista</A>b)";
        QTest::newRow("nominal: AltaVista in lower case")
            << "AltaVista" << false << R"(a<a href="https://www.altavista.com/">AltaVista</a>b)";
        QTest::newRow("nominal: the e-mail entry links with mailto:")
            << "E-Mail the author" << true
            << "a<A HREF=\"mailto:" + AuthorEmailAddress + "\">Orvanel</A>b";
        QTest::newRow("robustness: a group inserts nothing") << "Other" << true << "ab";
    }
    void dropFromLinkTree() {
        QFETCH(QString, entry);
        QFETCH(bool, upper);
        m_core->setTagCase(upper ? UpperTagCase : LowerTagCase);
        clickTree(entry);
        QCOMPARE(m_panel->FilePicked, PickedList::LinkTree);
        // The drop position is far from the caret; the snippet still goes to the caret.
        dropOnEditor(QPoint(200, 150));
        QFETCH(QString, expected);
        QTRY_COMPARE(text(), expected);
        QCOMPARE(m_panel->FilePicked, PickedList::LinkTree);
    }

    void dropFromFileList() {
        m_core->setTagCase(LowerTagCase);
        page(QStringLiteral("a SELECTED b"), 2, 10); // a selection is replaced
        clickFile(QStringLiteral("photo.gif"));
        answerStyle(StyleAnswer::ChooseItem, 1);
        dropOnEditor();
        QTRY_COMPARE(text(), QStringLiteral(R"(a <img src="photo.gif" border=0 alt=""> b)"));
        QCOMPARE(caret(), 37);
        QCOMPARE(m_panel->FilePicked, PickedList::FileList);
        QTRY_COMPARE(m_window->focusWidget(), m_editor);

        // A second drop asks again, and Link To File still works once afterwards.
        const auto cancelled = answerStyle(StyleAnswer::Cancel);
        dropOnEditor();
        QTRY_VERIFY(*cancelled);
        QTRY_COMPARE(m_style->isVisible(), false);
        QCOMPARE(text(), QStringLiteral(R"(a <img src="photo.gif" border=0 alt=""> b)"));
        answerStyle(StyleAnswer::ChooseItem, 2);
        m_panel->fileBrowser()->linkButton->click();
        QVERIFY(text().contains(QStringLiteral(R"(<BGSOUND SRC="photo.gif" LOOP=INFINITE>)")));
    }

    // Text dragged in the editor itself, or from another program, stays the
    // editor's: it goes in where it is dropped, and no reference comes of it.
    void textDragsStayTheEditors() {
        DialogGuard guard(m_style);
        clickFile(QStringLiteral("photo.gif")); // a list drag would now ask for a style
        QMimeData data;
        data.setText(QStringLiteral("moved"));
        QWidget *target = m_editor->viewport();
        const QPoint at(2, 2);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        QCOMPARE(guard.shown, 0);
        QCOMPARE(text(), QStringLiteral("movedab"));
        QCOMPARE(m_panel->FilePicked, PickedList::FileList);
    }

    void dropWithNothingPicked() {
        DialogGuard guard(m_style);
        dropOnEditor();
        QCoreApplication::processEvents();
        QCOMPARE(guard.shown, 0);
        QCOMPARE(text(), QStringLiteral("ab"));
    }

    void goThere_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("opened");
        QTest::newRow("nominal: a web entry") << "AltaVista"
                                              << "https://www.altavista.com/";
        QTest::newRow("nominal: the e-mail entry") << "E-Mail the author"
                                                   << "mailto:" + AuthorEmailAddress;
        QTest::newRow("robustness: a group goes nowhere") << "Other"
                                                          << "";
    }
    void goThere() {
        QFETCH(QString, entry);
        QFETCH(QString, opened);
        clickTree(entry);
        m_panel->linkTree()->goButton->click();
        const QList<QUrl> expected = opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)};
        QCOMPARE(m_platform->openedUrls, expected);
    }

    void doubleClickOpensEntry() {
        QTreeWidgetItem *item = treeItem(QStringLiteral("Microsoft"));
        const QPoint at = tree()->visualItemRect(item).center();
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m_platform->openedUrls,
                 QList<QUrl>{QUrl(QStringLiteral("https://www.microsoft.com/"))});
    }

    void insertFile_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("errors");
        QTest::newRow("nominal: an HTML file's source goes in unchanged")
            << "index.htm" << QString::fromUtf8("a<p>café</p>\n<p>two</p>b") << 0;
        QTest::newRow("nominal: cancelled chooser") << ""
                                                    << "ab" << 0;
        QTest::newRow("robustness: a folder is reported, nothing inserted") << "sub"
                                                                            << "ab" << 1;
        QTest::newRow("robustness: a vanished file is reported") << "gone.txt"
                                                                 << "ab" << 1;
    }
    void insertFile() {
        QFETCH(QString, chosen);
        m_platform->queueFile(chosen.isEmpty() ? QString() : m_folder.filePath(chosen));
        m_panel->Insert1Click();
        QFETCH(QString, expected);
        QFETCH(int, errors);
        QCOMPARE(text(), expected);
        QCOMPARE(m_platform->texts(QStringLiteral("error")).size(), errors);
        const ScriptedPlatform::Shown &asked = m_platform->shown.constFirst();
        QCOMPARE(asked.kind, QStringLiteral("open"));
        QCOMPARE(asked.request.title, QStringLiteral("Insert File"));
        QVERIFY(asked.request.mustExist);
        if (errors == 0 && !chosen.isEmpty()) {
            m_editor->undo(); // one undo step takes the whole file back
            QCOMPARE(text(), QStringLiteral("ab"));
        }
    }
};

VELLUMO_TEST_MAIN(TestSitePanel)
#include "tst_site_panel.moc"
