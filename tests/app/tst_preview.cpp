#include "app/about_dialog.h"
#include "app/preview.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/title_dialog.h"
#include "platform/home_page.h"
#include "platform/qt_platform.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <memory>

using namespace vellumo;

class TestPreview : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    std::unique_ptr<QWidget> m_window;
    QPlainTextEdit *m_editor = nullptr;
    std::unique_ptr<InsertionCore> m_core;
    std::unique_ptr<ScriptedPlatform> m_platform;
    DocumentController *m_document = nullptr;
    QString m_previewGo;

    QString pagePath() const { return m_folder.filePath(QStringLiteral("page.htm")); }
    void preview() {
        ToolbarButton9710Click(*m_document, *m_editor, *m_platform, m_window.get(), m_previewGo);
        QCOMPARE(m_previewGo, QString());
    }

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
        m_editor = new QPlainTextEdit(m_window.get());
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
        UpdateVellumo1Click(*m_platform, m_folder.path());
        FTPAccess1Click(*m_platform, m_folder.path());
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
        UpdateVellumo1Click(*m_platform, m_folder.path());
        FTPAccess1Click(*m_platform, m_folder.path());
        QCOMPARE(m_platform->startedPrograms, QStringList{QDir::toNativeSeparators(update)});
    }

    void aboutBox() {
        DialogContext context{*m_core, *m_platform};
        TForm4 about(context);
        about.StartupFolder = QStringLiteral(VELLUMO_SOURCE_DATA);
        QCOMPARE(about.HomePageLink->text(), ProgramHomePage);
        about.FormActivate();
        QVERIFY(!about.Image1->pixmap().isNull());
        QCOMPARE(about.Image1->pixmap().size(), QSize(257, 161));
        QTest::mouseClick(about.HomePageLink, Qt::LeftButton);
        QCOMPARE(m_platform->openedUrls, QList<QUrl>{QUrl(ProgramHomePage)});
    }
};

VELLUMO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
