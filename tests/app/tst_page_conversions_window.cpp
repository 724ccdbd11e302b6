#include "app/application.h"
#include "app/main_window.h"
#include "document/page.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "files.h"
#include "modal.h"
#include "running_windows.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "whole_page.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <memory>

using namespace vellumo;

// The whole-page conversions run from the Tags menu of the real window, on pages
// read from and saved to real files.
class tst_page_conversions_window : public QObject {
    Q_OBJECT

    RunningWindows m_app;

private Q_SLOTS:
    void cleanup() { m_app.stop(); }

    void commandsChangeThePageInOneUndoStep_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("allToEntities"); // the stored choice before
        QTest::addColumn<QString>("choice");        // in the dialog: a button, then OK
        QTest::addColumn<int>("from");              // the selection, -1 for none
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("storedAfter");

        // windows-1252 with CR LF, an undefined byte (0x81) and a reference the
        // encoding cannot hold; lines the commands leave alone keep their bytes.
        const QByteArray latin("<meta charset=\"windows-1252\">\r\n"
                               "<p title=\"a>b\">caf\xE9 &eacute; &rarr;\x81</p>\r\n"
                               "<script>if (a </b) x = \"<b>\";</script>\r\n");
        QTest::newRow("upper case")
            << latin << "TagsToUpper1"
            << ""
            << "" << -1 << -1 << "5 tags changed to upper case"
            << QByteArray("<META CHARSET=\"windows-1252\">\r\n"
                          "<P TITLE=\"a>b\">caf\xE9 &eacute; &rarr;\x81</P>\r\n"
                          "<SCRIPT>if (a </b) x = \"<b>\";</SCRIPT>\r\n")
            << "";
        QTest::newRow("upper case, mixed line breaks")
            << QByteArray("<p>a</p>\r\n<p>b</p>\n<p>c</p>\r<br>") << "TagsToUpper1"
            << ""
            << "" << -1 << -1 << "7 tags changed to upper case"
            << QByteArray("<P>a</P>\r\n<P>b</P>\n<P>c</P>\r<BR>") << "";
        QTest::newRow("lower case, the selection only")
            << QByteArray("<P>a</P>\n<P>b</P>\n") << "TagsToLower1"
            << ""
            << "" << 9 << 17 << "2 tags changed to lower case" << QByteArray("<P>a</P>\n<p>b</p>\n")
            << "";
        QTest::newRow("references to characters")
            << latin << "EntitiesToCharacters1"
            << ""
            << "" << -1 << -1
            << "1 reference changed to characters, 1 kept: windows-1252 cannot hold its "
               "character"
            << QByteArray("<meta charset=\"windows-1252\">\r\n"
                          "<p title=\"a>b\">caf\xE9 \xE9 &rarr;\x81</p>\r\n"
                          "<script>if (a </b) x = \"<b>\";</script>\r\n")
            << "";
        // A browser reads a page without a declaration or a mark as windows-1252: the
        // characters written in UTF-8 come with the declaration that says so.
        QTest::newRow("references to characters, an undeclared page declares UTF-8")
            << QByteArray("<!DOCTYPE html>\n<html><head><title>t</title></head>\n"
                          "<body><p>Copyright &copy; 2001&hellip; &amp;</p></body></html>\n")
            << "EntitiesToCharacters1"
            << ""
            << "" << -1 << -1
            << "2 references changed to characters; the page now declares its encoding "
               "(UTF-8), which browsers would otherwise take for windows-1252"
            << QByteArray("<!DOCTYPE html>\n<html><head><meta charset=\"UTF-8\"><title>t</title>"
                          "</head>\n<body><p>Copyright \xC2\xA9 2001\xE2\x80\xA6 &amp;</p>"
                          "</body></html>\n")
            << "";
        QTest::newRow("references to characters, a byte-order mark declares enough")
            << QByteArray("\xEF\xBB\xBF<p>&copy;</p>\n") << "EntitiesToCharacters1"
            << ""
            << "" << -1 << -1 << "1 reference changed to characters"
            << QByteArray("\xEF\xBB\xBF<p>\xC2\xA9</p>\n") << "";
        QTest::newRow("characters to references, every one chosen")
            << latin << "CharactersToEntities1"
            << ""
            << "AllNonAscii" << -1 << -1 << "1 character changed to references"
            << QByteArray("<meta charset=\"windows-1252\">\r\n"
                          "<p title=\"a>b\">caf&eacute; &eacute; &rarr;\x81</p>\r\n"
                          "<script>if (a </b) x = \"<b>\";</script>\r\n")
            << "Yes";
        QTest::newRow("characters to references, the remembered choice")
            << QByteArray("<p>\xC3\xA9\xE2\x86\x92</p>") << "CharactersToEntities1"
            << "Yes"
            << "" << -1 << -1 << "2 characters changed to references"
            << QByteArray("<p>&eacute;&rarr;</p>") << "Yes";
        QTest::newRow("characters to references, only what the encoding cannot hold")
            << latin << "CharactersToEntities1"
            << "Yes"
            << "UnencodableOnly" << -1 << -1
            << "No characters changed: windows-1252 holds every character of the page" << latin
            << "No";
        QTest::newRow("characters to references, cancelled")
            << latin << "CharactersToEntities1"
            << "Yes"
            << "Cancel" << -1 << -1 << "" << latin << "Yes";
    }
    void commandsChangeThePageInOneUndoStep() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, entry);
        QFETCH(QString, allToEntities);
        QFETCH(QString, choice);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, saved);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        writeBytes(path, bytes);

        QVariantMap settings;
        if (!allToEntities.isEmpty())
            settings.insert(QStringLiteral("AllToEntities"), allToEntities);
        TForm1 &main = m_app.start(settings);
        main.show();
        QVERIFY(main.document().openFile(path));
        PageEditor *editor = main.editor;
        Page &page = main.core().page();
        const QString before = pageText(page);
        if (from >= 0)
            page.select(from, to);

        bool asked = false;
        bool allPreselected = false;
        QString firstChoice;
        if (entry == u"CharactersToEntities1") {
            whenModalShown([&](QWidget *dialog) {
                asked = true;
                allPreselected =
                    dialog->findChild<QRadioButton *>(QStringLiteral("AllNonAscii"))->isChecked();
                firstChoice =
                    dialog->findChild<QRadioButton *>(QStringLiteral("UnencodableOnly"))->text();
                auto *buttons = dialog->findChild<QDialogButtonBox *>();
                if (choice == u"Cancel") {
                    buttons->button(QDialogButtonBox::Cancel)->click();
                    return;
                }
                if (!choice.isEmpty())
                    dialog->findChild<QRadioButton *>(choice)->click();
                buttons->button(QDialogButtonBox::Ok)->click();
            });
        }
        main.statusLine->clearMessage();
        main.action(entry)->trigger();
        QCOMPARE(asked, entry == u"CharactersToEntities1");
        if (asked) {
            // The stored choice is the one offered, and the page's encoding is named.
            QCOMPARE(allPreselected, allToEntities == u"Yes");
            QCOMPARE(firstChoice,
                     bytes.startsWith("<meta")
                         ? QStringLiteral("&Only the characters windows-1252 cannot hold")
                         : QStringLiteral("&Only the characters UTF-8 cannot hold (it "
                                          "holds every one)"));
        }
        QTEST(main.statusLine->currentMessage(), "status");
        QTEST(QSettings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo"))
                  .value(QStringLiteral("AllToEntities"))
                  .toString(),
              "storedAfter");
        if (from >= 0) {
            QCOMPARE(page.selectionStart(), from);
            QCOMPARE(page.selectionEnd(), to);
        }
        QCOMPARE(page.isModified(), saved != bytes);

        QVERIFY(main.document().Save1Click());
        QCOMPARE(fileBytes(path), saved);
        // One undo step gives the page back as it was.
        if (saved != bytes) {
            editor->undo();
            QCOMPARE(pageText(page), before);
            QVERIFY(main.document().Save1Click());
            QCOMPARE(fileBytes(path), bytes);
        }
    }

    // A command over a big page that keeps the user waiting shows its progress after
    // half a second, and Cancel there leaves the page as it was. The machine is made
    // slow for a moment at the command's first pause, so the wait is always long.
    void longCommandsShowProgressAndCancel_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("robustness: All Tags to Upper Case") << "TagsToUpper1";
        QTest::newRow("robustness: Replace All") << "ReplaceAllButton";
    }
    void longCommandsShowProgressAndCancel() {
        QFETCH(QString, command);
        TForm1 &main = m_app.start({});
        main.show();
        PageEditor *editor = main.editor;
        Page &page = main.core().page();
        editor->setPlainText(QStringLiteral("<p>x</p>\n").repeated(60000));
        page.setModified(false);
        const QString before = pageText(page);
        QWidget *bar = nullptr;
        if (command == u"ReplaceAllButton") {
            QTest::keyClick(editor, Qt::Key_H, Qt::ControlModifier);
            bar = main.findChild<QWidget *>(QStringLiteral("FindBar"));
            bar->findChild<QComboBox *>(QStringLiteral("FindEdit"))->setCurrentText("p>");
            bar->findChild<QComboBox *>(QStringLiteral("ReplaceEdit"))->setCurrentText("P>");
        }
        bool slowed = false;
        QTimer::singleShot(0, [&slowed] {
            slowed = true;
            QThread::msleep(600);
        });
        bool shown = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            auto *progress = main.findChild<QProgressDialog *>();
            if (progress == nullptr || !progress->isVisible() || shown)
                return;
            shown = true;
            progress->findChild<QPushButton *>()->click();
        });
        watch.start(5);
        if (bar)
            bar->findChild<QPushButton *>(command)->click();
        else
            main.action(command)->trigger();
        QVERIFY(slowed);
        QVERIFY(shown);
        QCOMPARE(pageText(page), before);
        QVERIFY(!page.isModified());
        QVERIFY(!page.isUndoAvailable());
        const QString status = bar ? bar->findChild<QLabel *>(QStringLiteral("FindStatus"))->text()
                                   : main.statusLine->currentMessage();
        QCOMPARE(status, QStringLiteral("Cancelled: the page is as it was"));
    }
};

VELLUMO_TEST_MAIN(tst_page_conversions_window)
#include "tst_page_conversions_window.moc"
