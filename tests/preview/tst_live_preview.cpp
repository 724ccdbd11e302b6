#include "app/application.h"
#include "app/main_window.h"
#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "files.h"
#include "preview/live_preview.h"
#include "preview/preview_copy.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "whole_page.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

#include <unistd.h>

using namespace vellumo;

// The live preview in the real window, rendered by the real engine: what the page's
// DOM holds is read back from the engine.
class TestLivePreview : public QObject {
    Q_OBJECT

    RunningWindows m_app;
    QTemporaryDir m_folder;

    TForm1 &start(const QVariantMap &settings = {}) {
        TForm1 &main = m_app.start(settings);
        main.resize(1000, 700);
        main.show();
        QApplication::setActiveWindow(&main);
        return main;
    }
    // Opens the preview with F12 and waits for the first copy of the page.
    LivePreview &openPreview(TForm1 &main) {
        QSignalSpy refreshed(&main.livePreview(), &LivePreview::refreshed);
        QTest::keyClick(main.editor, Qt::Key_F12);
        if (refreshed.isEmpty())
            refreshed.wait(20000);
        return main.livePreview();
    }
    // F12 when the engine cannot start: the panel is there, without a page, and its
    // status says why.
    static QString refusal(TForm1 &main) {
        QTest::keyClick(main.editor, Qt::Key_F12);
        auto *panel = main.findChild<QDockWidget *>(QStringLiteral("PreviewPanel"));
        if (panel == nullptr || !panel->isVisible() ||
            panel->findChild<QWidget *>(QStringLiteral("PreviewView")) != nullptr)
            return QStringLiteral("(the panel is missing or shows a page)");
        return panel->findChild<QLabel *>(QStringLiteral("PreviewStatus"))->text();
    }
    // A script's result in the rendered page; invalid when it never answered.
    static QVariant evaluate(LivePreview &preview, const QString &script) {
        auto answer = std::make_shared<std::pair<bool, QVariant>>();
        preview.runScript(script, [answer](const QVariant &result) { *answer = {true, result}; });
        if (!QTest::qWaitFor([&answer] { return answer->first; }, 5000))
            return {};
        return answer->second;
    }

private Q_SLOTS:
    // The copy the preview renders: each start tag marked with the line it starts on.
    void copyMarksStartTagsWithTheirLine_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("copy");
        QTest::newRow("start tags, not end tags")
            << "<p>a</p>\n<div><b>x</b></div>"
            << "<p data-vellumo-line=\"1\">a</p>\n<div data-vellumo-line=\"2\"><b "
               "data-vellumo-line=\"2\">x</b></div>";
        QTest::newRow("the head draws nothing")
            << "<html><head><title>t</title><style>p{}</style></head><body>"
            << "<html><head><title>t</title><style>p{}</style></head><body "
               "data-vellumo-line=\"1\">";
        QTest::newRow("a tag over two lines: the line it starts on")
            << "<img\nsrc=\"a.png\"><br/>"
            << "<img\nsrc=\"a.png\" data-vellumo-line=\"1\"><br data-vellumo-line=\"2\"/>";
        QTest::newRow("scripts and comments as they are")
            << "<script>if (a<b) x = '<p>';</script><!-- <p> -->"
            << "<script>if (a<b) x = '<p>';</script><!-- <p> -->";
    }
    void copyMarksStartTagsWithTheirLine() {
        QFETCH(QString, page);
        QFETCH(QString, copy);
        QCOMPARE(previewCopy(page), "\xEF\xBB\xBF" + copy.toUtf8());
    }

    void cleanup() { m_app.stop(); }

    // As root the engine refuses to start with its sandbox on, and ends the whole program
    // when asked to: the panel says why instead and the editor goes on, until the user
    // chooses to run the engine without its sandbox.
    void asRootThePanelSaysWhyUntilTheSandboxIsTurnedOff() {
        if (geteuid() != 0)
            QSKIP("runs as root only");
        const QByteArray sandboxOff = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        const auto restore =
            qScopeGuard([&sandboxOff] { qputenv("QTWEBENGINE_DISABLE_SANDBOX", sandboxOff); });
        TForm1 &main = start();
        const QString status = refusal(main);
        QVERIFY2(
            status.startsWith(QStringLiteral("The preview cannot start: Vellumo runs as root")),
            qPrintable(status));
        QVERIFY(status.contains(QStringLiteral("PreviewWithoutSandbox=Yes")));
        QVERIFY(qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"));
        main.core().InsertAtCaret(QStringLiteral("<HR>"));
        QVERIFY(pageText(main.core().page()).contains(QStringLiteral("<HR>")));
        QTest::keyClick(main.editor, Qt::Key_F12);
        m_app.stop();

        TForm1 &chosen = start({{QStringLiteral("PreviewWithoutSandbox"), QStringLiteral("Yes")}});
        openPreview(chosen);
        QVERIFY(chosen.findChild<QWidget *>(QStringLiteral("PreviewView")) != nullptr);
        QCOMPARE(qgetenv("QTWEBENGINE_DISABLE_SANDBOX"), QByteArray("1"));
    }

    // Without its helper program the engine would stop the program: the panel says so.
    void missingEngineHelperIsReportedNotFatal() {
        qputenv("QTWEBENGINEPROCESS_PATH", m_folder.filePath(QStringLiteral("gone")).toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv("QTWEBENGINEPROCESS_PATH"); });
        const QString status = refusal(start());
        QVERIFY2(status.startsWith(QStringLiteral("The preview cannot start: the web engine's "
                                                  "helper program")),
                 qPrintable(status));
    }

    // F12 opens the panel beside the editor; what is typed shows in the rendered
    // page once typing pauses; F12 again closes it, and the settings keep its place.
    void f12OpensThePanelAndTypedTextShows() {
        TForm1 &main = start();
        QVERIFY(main.findChild<QDockWidget *>(QStringLiteral("PreviewPanel")) == nullptr);
        LivePreview &preview = openPreview(main);
        auto *panel = main.findChild<QDockWidget *>(QStringLiteral("PreviewPanel"));
        QVERIFY(panel != nullptr && panel->isVisible());
        QCOMPARE(main.dockWidgetArea(panel), Qt::RightDockWidgetArea);
        QVERIFY(panel->findChild<QWidget *>(QStringLiteral("PreviewView")) != nullptr);
        QCOMPARE(panel->findChild<QComboBox *>(QStringLiteral("PreviewWidth"))->count(), 4);
        QVERIFY(panel->findChild<QToolButton *>(QStringLiteral("PreviewRefresh")) != nullptr);
        QVERIFY(panel->findChild<QLabel *>(QStringLiteral("PreviewStatus"))
                    ->text()
                    .startsWith(QStringLiteral("Refreshed ")));
        QVERIFY(main.action(QStringLiteral("LivePreview1"))->isChecked());

        main.core().page().setCaret(main.core().page().length());
        QTest::keyClicks(main.editor, QStringLiteral("<p id=typed>Typed "));
        main.editor->insertPlainText(QStringLiteral("\u00e9</p>"));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(preview, QStringLiteral("document.getElementById('typed')?.textContent"))
                .toString(),
            QStringLiteral("Typed \u00e9"), 10000);
        // The page's own text never holds the preview's line marks.
        QVERIFY(!pageText(main.core().page()).contains(QStringLiteral("data-vellumo")));

        QTest::keyClick(main.editor, Qt::Key_F12);
        QVERIFY(!panel->isVisible());
        QVERIFY(panel->findChild<QWidget *>(QStringLiteral("PreviewView")) == nullptr);
        QVERIFY(m_app.platform->readSetting(QStringLiteral("PreviewPanel"))
                    .toString()
                    .startsWith(QStringLiteral("Hidden Right ")));

        // Left open on the left: the next start opens it there again.
        TForm1 &again = start({{QStringLiteral("PreviewPanel"), QStringLiteral("Shown Left 300")}});
        QTRY_VERIFY(again.findChild<QDockWidget *>(QStringLiteral("PreviewPanel")) != nullptr);
        auto *restored = again.findChild<QDockWidget *>(QStringLiteral("PreviewPanel"));
        QTRY_VERIFY(restored->isVisible());
        QCOMPARE(again.dockWidgetArea(restored), Qt::LeftDockWidgetArea);
    }

    // A picture beside the page loads: beside a saved page, and in the start folder for
    // an untitled one; one outside the page's folder tree is refused.
    void relativeImageLoads_data() {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("width");
        QTest::newRow("saved page: its folder") << true << "pic.png" << 37;
        QTest::newRow("untitled page: the start folder") << false << "pic.png" << 37;
        QTest::newRow("outside the page's folder: refused") << true << "../pic.png" << 0;
    }
    void relativeImageLoads() {
        QFETCH(bool, saved);
        QFETCH(QString, source);
        QFETCH(int, width);
        QImage picture(37, 11, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("site")));
        QVERIFY(picture.save(m_folder.filePath(QStringLiteral("site/pic.png"))));
        QVERIFY(picture.save(m_folder.filePath(QStringLiteral("pic.png"))));
        const QByteArray html =
            "<html><body><img id=pic src=\"" + source.toLatin1() + "\"></body></html>\n";
        const QString before = QDir::currentPath();
        QVERIFY(
            QDir::setCurrent(saved ? QDir::tempPath() : m_folder.filePath(QStringLiteral("site"))));
        TForm1 &main = start();
        QDir::setCurrent(before);
        const QString page = m_folder.filePath(QStringLiteral("site/page.htm"));
        if (saved) {
            writeBytes(page, html);
            QVERIFY(main.document().openOrName(page));
        } else {
            main.editor->setPlainText(QString::fromLatin1(html));
        }
        LivePreview &preview = openPreview(main);
        // The picture's width once it has loaded or failed.
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(preview, QStringLiteral("(function () { const p = document.getElementById("
                                             "'pic'); return p && p.complete ? p.naturalWidth : "
                                             "-1; })()"))
                .toInt(),
            width, 10000);
    }

    // Links go to the system browser, and the preview stays on the page; forms and a
    // script's pop-up go nowhere.
    void linksGoToTheBrowser_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("opened");
        QTest::newRow("link") << "document.getElementById('link').click()" << true;
        QTest::newRow("form") << "document.getElementById('form').submit()" << false;
        QTest::newRow("pop-up") << "window.open('other.htm')" << false;
    }
    void linksGoToTheBrowser() {
        QFETCH(QString, action);
        QFETCH(bool, opened);
        TForm1 &main = start();
        const QString path = m_folder.filePath(QStringLiteral("links.htm"));
        writeBytes(
            path,
            "<a id=link href=\"other.htm#there\">x</a><form id=form action=\"other.htm\"></form>");
        QVERIFY(main.document().openOrName(path));
        LivePreview &preview = openPreview(main);
        const QString address = evaluate(preview, QStringLiteral("location.href")).toString();
        QVERIFY(address.endsWith(QStringLiteral("/links.htm")));
        evaluate(preview, action);
        if (opened) {
            QUrl expected = QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("other.htm")));
            expected.setFragment(QStringLiteral("there"));
            QTRY_COMPARE(m_app.platform->openedUrls, QList<QUrl>{expected});
        } else {
            QSignalSpy refreshed(&preview, &LivePreview::refreshed);
            QVERIFY(!refreshed.wait(1500));
            QVERIFY(m_app.platform->openedUrls.isEmpty());
        }
        QCOMPARE(evaluate(preview, QStringLiteral("location.href")).toString(), address);
    }

    // A page over 5 MB refreshes on Refresh and on a save, never while typing.
    void largePageRefreshesOnRefreshOrSave() {
        TForm1 &main = start();
        QString page = QStringLiteral("<p id=v>1</p>\n<!--");
        const QString line = QString(79, u'x') + u'\n';
        while (page.size() <= LivePreview::LargePage)
            page += line;
        page += QStringLiteral("-->\n");
        main.editor->setPlainText(page);
        LivePreview &preview = openPreview(main);
        const QString value = QStringLiteral("document.getElementById('v').textContent");
        QCOMPARE(evaluate(preview, value).toString(), QStringLiteral("1"));

        QSignalSpy refreshed(&preview, &LivePreview::refreshed);
        main.core().page().apply({RangeEdit{8, 1, QStringLiteral("2")}});
        auto *status = main.findChild<QLabel *>(QStringLiteral("PreviewStatus"));
        QVERIFY(status->text().contains(QStringLiteral("Over 5 MB")));
        QVERIFY(!refreshed.wait(LivePreview::RefreshDelayMs * 4));
        main.findChild<QToolButton *>(QStringLiteral("PreviewRefresh"))->click();
        QVERIFY(refreshed.wait(20000));
        QCOMPARE(evaluate(preview, value).toString(), QStringLiteral("2"));

        main.core().page().apply({RangeEdit{8, 1, QStringLiteral("3")}});
        m_app.platform->queueFile(m_folder.filePath(QStringLiteral("large.htm")));
        main.run(Command::Save);
        QVERIFY(refreshed.wait(20000));
        QCOMPARE(evaluate(preview, value).toString(), QStringLiteral("3"));
    }

    // Moving the caret to another line scrolls the preview to the element on it.
    void caretFollowingScrollsToTheElement() {
        TForm1 &main = start();
        QString page;
        for (int i = 1; i <= 30; ++i)
            page += QStringLiteral("<p id=p%1 style=\"height: 200px\">%1</p>\n").arg(i);
        main.editor->setPlainText(page);
        main.core().page().setCaret(0);
        LivePreview &preview = openPreview(main);
        QCOMPARE(evaluate(preview, QStringLiteral("window.scrollY")).toInt(), 0);
        main.core().page().setCaret(main.core().page().lineStart(24));
        const QString p25InView =
            QStringLiteral("(function () { const r = document.getElementById('p25')"
                           ".getBoundingClientRect(); return r.top >= 0 && r.bottom <= "
                           "window.innerHeight; })()");
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(preview, p25InView).toBool(), 10000);
        QVERIFY(evaluate(preview, QStringLiteral("window.scrollY")).toInt() > 0);
    }

    // Without caret following, a refresh keeps the page where it was scrolled to.
    void refreshKeepsTheScrollPosition() {
        TForm1 &main = start({{QStringLiteral("PreviewFollowsCaret"), QStringLiteral("No")}});
        QString page;
        for (int i = 1; i <= 30; ++i)
            page += QStringLiteral("<p style=\"height: 200px\">%1</p>\n").arg(i);
        main.editor->setPlainText(page);
        LivePreview &preview = openPreview(main);
        evaluate(preview, QStringLiteral("window.scrollTo(0, 1000)"));
        QSignalSpy refreshed(&preview, &LivePreview::refreshed);
        main.core().page().setCaret(main.core().page().length());
        QTest::keyClicks(main.editor, QStringLiteral("<p id=last>end</p>"));
        QVERIFY(refreshed.wait(20000));
        QTRY_COMPARE(evaluate(preview, QStringLiteral("document.getElementById('last') ? "
                                                      "window.scrollY : -1"))
                         .toInt(),
                     1000);
    }

    // A page whose script never ends runs in the engine's own process: the editor
    // goes on taking keys, and the next copy of the page gets a new renderer.
    void endlessScriptLeavesTheEditorResponsive() {
        // Typed as it stands, without end tags completed.
        TForm1 &main = start({{QStringLiteral("AutoComplete"), QStringLiteral("No")}});
        LivePreview &preview = openPreview(main);
        main.editor->setPlainText(QStringLiteral("<script>while (true) {}</script>"));
        preview.refreshNow();
        // The page's script has started once the page stops answering.
        QTRY_VERIFY_WITH_TIMEOUT(!evaluate(preview, QStringLiteral("1")).isValid(), 20000);
        main.core().page().setCaret(main.core().page().length());
        QTest::keyClicks(main.editor, QStringLiteral("<p id=after>typed</p>"));
        QVERIFY(pageText(main.core().page()).endsWith(QStringLiteral("typed</p>")));
        main.editor->setPlainText(QStringLiteral("<p id=after>back</p>"));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(preview, QStringLiteral("document.getElementById('after')?.textContent"))
                .toString(),
            QStringLiteral("back"), 20000);
        const QString status = main.findChild<QLabel *>(QStringLiteral("PreviewStatus"))->text();
        QVERIFY2(status.endsWith(QStringLiteral("(the last one stopped: a script kept it busy)")),
                 qPrintable(status));
    }

    // A script that never ends is found on its own, without a next edit: the
    // renderer is ended and the status says why.
    void endlessScriptIsStoppedOnItsOwn() {
        TForm1 &main = start({{QStringLiteral("AutoComplete"), QStringLiteral("No")}});
        LivePreview &preview = openPreview(main);
        main.editor->setPlainText(
            QStringLiteral("<p>first</p><script>onload = () => { while (true) {} }</script>"));
        preview.refreshNow();
        const auto *status = main.findChild<QLabel *>(QStringLiteral("PreviewStatus"));
        QTRY_VERIFY_WITH_TIMEOUT(
            status->text().startsWith(QStringLiteral("The page stopped (a script kept it busy)")),
            30000);
    }

    // The older Preview in Browser still saves an untitled page first, then opens the
    // saved file in the system browser.
    void previewInBrowserStillSavesFirst() {
        TForm1 &main = start();
        const QString path = m_folder.filePath(QStringLiteral("browser.htm"));
        m_app.platform->queueAnswer(QMessageBox::Yes);
        m_app.platform->queueFile(path);
        main.action(QStringLiteral("ToolbarButton9710"))->trigger();
        QVERIFY(QFile::exists(path));
        QCOMPARE(m_app.platform->openedUrls, QList<QUrl>{QUrl::fromLocalFile(path)});
        QVERIFY(m_app.platform->answersUsed());
    }
};

VELLUMO_TEST_MAIN(TestLivePreview)

#include "tst_live_preview.moc"
