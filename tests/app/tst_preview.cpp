#include "app/about_dialog.h"
#include "app/preview.h"
#include "browser/link_tree.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/title_dialog.h"
#include "modal.h"
#include "platform/home_page.h"
#include "platform/launch_report.h"
#include "platform/qt_platform.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace vellumo;

class TestPreview : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<QWidget> m_window;
    PageEditor *m_editor = nullptr;
    std::unique_ptr<InsertionCore> m_core;
    std::unique_ptr<ScriptedPlatform> m_platform;
    DocumentController *m_document = nullptr;

    QString pagePath() const { return m_folder.filePath(QStringLiteral("page.htm")); }
    void preview() { previewInBrowser(*m_document, m_core->page(), *m_platform, m_window.get()); }

private Q_SLOTS:
    // A companion program is started with no arguments, in the folder this program
    // works in, and without waiting for it.
    void companionProgramsStartHere() {
        QTemporaryDir programs;
        QTemporaryDir here;
        const QString record = here.filePath(QStringLiteral("started"));
        const QString program = programs.filePath(QStringLiteral("Update"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$# $(pwd -P)\" > started.tmp && mv started.tmp started\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        QtPlatform platform;
        const bool started = platform.startProgram(program);
        QDir::setCurrent(before);
        QVERIFY(started);
        QTRY_VERIFY(QFile::exists(record));
        QFile result(record);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll().trimmed(),
                 "0 " + QFileInfo(here.path()).canonicalFilePath().toLocal8Bit());
    }

    void init() {
        m_window = std::make_unique<QWidget>();
        m_editor = new PageEditor(m_window.get());
        m_core = std::make_unique<InsertionCore>(m_editor);
        m_platform = std::make_unique<ScriptedPlatform>();
        auto *title = new TForm2(m_window.get());
        m_document = new DocumentController(*m_core, *m_platform, *title, m_window.get());
        QFile page(pagePath());
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<p>saved</p>");
        page.close();
    }
    void cleanup() {
        m_window.reset();
        m_platform.reset();
    }

    void savedPageOpensAtOnce() {
        QVERIFY(m_document->openFile(pagePath()));
        preview();
        QCOMPARE(m_platform->shown.size(), 0);
        QCOMPARE(m_platform->openedUrls, QList<QUrl>{QUrl::fromLocalFile(pagePath())});
    }

    void changedPage_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("nominal: No opens nothing, not even the older file")
            << int(QMessageBox::No) << false;
        QTest::newRow("nominal: Yes saves, then opens") << int(QMessageBox::Yes) << true;
    }
    void changedPage() {
        QVERIFY(m_document->openFile(pagePath()));
        m_core->InsertAtCaret(QStringLiteral("<b>new</b>"));
        QFETCH(int, answer);
        m_platform->queueAnswer(static_cast<QMessageBox::StandardButton>(answer));
        preview();
        QCOMPARE(m_platform->texts(QStringLiteral("ask")), QStringList{PreviewSaveQuestion});
        QFETCH(bool, opened);
        QCOMPARE(m_platform->openedUrls.size(), opened ? 1 : 0);
        if (opened) {
            QFile page(pagePath());
            QVERIFY(page.open(QIODevice::ReadOnly));
            QVERIFY(page.readAll().contains("<b>new</b>"));
        }
    }

    void untitledPageCancelledSaveAsOpensNothing() {
        m_platform->queueAnswer(QMessageBox::Yes);
        m_platform->queueFile(QString()); // Save As cancelled
        preview();
        QCOMPARE(m_platform->openedUrls, QList<QUrl>{});
        QCOMPARE(m_document->CurrentFileName, UntitledFileName);
    }

    void companionPrograms() {
        startUpdateProgram(*m_platform, m_folder.path());
        startFtpProgram(*m_platform, m_folder.path());
        QCOMPARE(m_platform->startedPrograms, QStringList{}); // missing: nothing at all
#ifdef Q_OS_WIN
        const QString update = m_folder.filePath(QStringLiteral("Update.exe"));
#else
        const QString update = m_folder.filePath(QStringLiteral("Update"));
#endif
        QFile program(update);
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
        startUpdateProgram(*m_platform, m_folder.path());
        startFtpProgram(*m_platform, m_folder.path());
        QCOMPARE(m_platform->startedPrograms, QStringList{QDir::toNativeSeparators(update)});
    }

    // Every road to the browser or a companion program says so when nothing could be
    // started, naming the address or the program, in the program's error box.
    void failureToStartIsReported_data() {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("message");
        const QString noBrowser = QStringLiteral("\nNo web browser could be started.");
        QTest::newRow("nominal: Preview in Browser")
            << "preview"
            << "Cannot open " + QDir::toNativeSeparators(pagePath()) + noBrowser;
        QTest::newRow("nominal: Go There!") << "go there"
                                            << "Cannot open https://www.altavista.com/" + noBrowser;
        QTest::newRow("nominal: the About box's address")
            << "about"
            << "Cannot open " + ProgramHomePage + noBrowser;
        const QString program = QDir::toNativeSeparators(m_folder.filePath(QStringLiteral("Ftp")));
        QTest::newRow("nominal: FTP Access")
            << "ftp"
            << "Cannot start " + program + "\nThe program could not be started.";
    }
    void failureToStartIsReported() {
        QFETCH(QString, road);
        QFETCH(QString, message);
        m_platform->browserStarts = false;
        m_platform->programsStart = false;
        if (road == "preview") {
            QVERIFY(m_document->openFile(pagePath()));
            preview();
        } else if (road == "go there") {
            QWidget page;
            LinkTree tree(&page, *m_platform);
            const auto found = tree.tree->findItems("AltaVista", Qt::MatchRecursive);
            QCOMPARE(found.size(), 1);
            tree.tree->setCurrentItem(found.first());
            tree.goButton->click();
        } else if (road == "about") {
            DialogContext context{*m_core, *m_platform};
            TForm4 about(context);
            QTest::mouseClick(about.HomePageLink, Qt::LeftButton);
        } else {
            QFile program(m_folder.filePath(QStringLiteral("Ftp")));
            QVERIFY(program.open(QIODevice::WriteOnly));
            QVERIFY(program.setPermissions(program.permissions() | QFile::ExeOwner));
            program.close();
            startFtpProgram(*m_platform, m_folder.path(), m_window.get());
        }
        QCOMPARE(m_platform->texts(QStringLiteral("error")), QStringList{message});
        QCOMPARE(m_platform->shown.last().caption, QStringLiteral("Vellumo"));
    }
    // The real platform: with no browser to be had (the offscreen display has none)
    // and a program file the system cannot run, the opener and the starter report
    // failure and the real error box says so.
    void qtPlatformReportsFailure() {
        QtPlatform platform;
        QString shownText;
        const auto answerBox = [&shownText] {
            shownText.clear();
            whenModalShown([&shownText](QWidget *modal) {
                if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                    shownText = box->text();
                    box->button(QMessageBox::Ok)->click();
                }
            });
        };
        answerBox();
        QVERIFY(!openInBrowser(platform, m_window.get(), QUrl(ProgramHomePage)));
        QCOMPARE(shownText,
                 "Cannot open " + ProgramHomePage + "\nNo web browser could be started.");

        const QString program = m_folder.filePath(QStringLiteral("Update"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));
        file.close();
        answerBox();
        QVERIFY(!startProgramOrSay(platform, m_window.get(), program));
        QCOMPARE(shownText, "Cannot start " + QDir::toNativeSeparators(program) +
                                "\nThe program could not be started.");
        QFile::remove(program);
    }

    void aboutBox() {
        DialogContext context{*m_core, *m_platform};
        TForm4 about(context);
        about.StartupFolder = QStringLiteral(VELLUMO_SOURCE_DATA);
        QCOMPARE(about.HomePageLink->text(), ProgramHomePage);
        about.FormActivate();
        QVERIFY(!about.logo->pixmap().isNull());
        QCOMPARE(about.logo->pixmap().size(), QSize(257, 161));
        QTest::mouseClick(about.HomePageLink, Qt::LeftButton);
        QCOMPARE(m_platform->openedUrls, QList<QUrl>{QUrl(ProgramHomePage)});
    }
};

VELLUMO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
