#include "document/page_template.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/title_dialog.h"
#include "files.h"
#include "modal.h"
#include "read_only_folder.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QAction>
#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace vellumo;

namespace {

// How the Title dialog is left.
enum class TitleAnswer { Ok, CancelButton, CloseBox };

void answerTitle(TitleAnswer how, const QString &typed) {
    whenModalShown([how, typed](QWidget *modal) {
        auto *dialog = qobject_cast<TForm2 *>(modal);
        if (dialog == nullptr)
            return;
        dialog->titleField->setText(typed);
        switch (how) {
        case TitleAnswer::Ok:
            dialog->okButton->click();
            break;
        case TitleAnswer::CancelButton:
            dialog->cancelButton->click();
            break;
        case TitleAnswer::CloseBox:
            dialog->close();
            break;
        }
    });
}

} // namespace

Q_DECLARE_METATYPE(TitleAnswer)

class TestDocument : public QObject {
    Q_OBJECT

    // One fresh page with its controller, as the main window holds them.
    struct Fixture {
        QWidget window;
        PageEditor *editor = new PageEditor(&window);
        InsertionCore core{editor};
        ScriptedPlatform platform;
        TForm2 title{&window};
        QAction save{nullptr};
        DocumentController doc{core, platform, title, &window};

        Fixture() {
            core.setTagCase(UpperTagCase);
            editor->setPlainText(pageTemplate(true));
            editor->document()->setModified(false);
            QObject::connect(&doc, &DocumentController::saveWanted, &save, &QAction::setEnabled);
        }
        void edit(const QString &text) {
            editor->moveCursor(QTextCursor::End);
            core.InsertAtCaret(text);
            save.setEnabled(true);
        }
        bool modified() const { return editor->document()->isModified(); }
    };

    QTemporaryDir m_dir;

private Q_SLOTS:
    void newPageFromTitleDialog_data() {
        QTest::addColumn<TitleAnswer>("answer");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<QString>("expectedTitleLine");

        QTest::newRow("nominal: O&K puts the typed title in")
            << TitleAnswer::Ok << "My page" << UpperTagCase << "<TITLE>My page</TITLE>";
        QTest::newRow("nominal: lower case page")
            << TitleAnswer::Ok << "My page" << LowerTagCase << "<title>My page</title>";
        QTest::newRow("nominal: empty title gives empty title tags")
            << TitleAnswer::Ok << "" << UpperTagCase << "<TITLE></TITLE>";
        QTest::newRow("nominal: C&ancel gives the plain template")
            << TitleAnswer::CancelButton << "ignored" << UpperTagCase
            << "<TITLE>Place your title here</TITLE>";
        QTest::newRow("nominal: the close box uses what was typed")
            << TitleAnswer::CloseBox << "typed" << LowerTagCase << "<title>typed</title>";
        QTest::newRow("robustness: markup and %1 in a title go in as typed")
            << TitleAnswer::Ok << "a<b>&c %1" << UpperTagCase << "<TITLE>a<b>&c %1</TITLE>";
    }
    void newPageFromTitleDialog() {
        QFETCH(TitleAnswer, answer);
        QFETCH(QString, typed);
        QFETCH(TagCase, tagCase);
        QFETCH(QString, expectedTitleLine);

        Fixture f;
        f.core.setTagCase(tagCase);
        f.doc.CurrentFileName = QStringLiteral("/somewhere/page.htm");
        f.save.setEnabled(true);
        answerTitle(answer, typed);
        f.doc.New1Click();

        const QStringList lines = f.editor->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines.at(2), expectedTitleLine);
        QCOMPARE(lines.last(), MakerComment);
        QCOMPARE(f.doc.CurrentFileName, UntitledFileName);
        QCOMPARE(f.doc.TitleCancelled, false);
        QVERIFY(!f.modified());
        QVERIFY(!f.save.isEnabled());
        QCOMPARE(f.title.titleField->text(), QString());
        QVERIFY(f.platform.shown.isEmpty()); // a clean page is replaced without a question
    }

    void newOnChangedPageAsksFirst_data() {
        QTest::addColumn<QMessageBox::StandardButton>("reply");
        QTest::newRow("nominal: No keeps the page") << QMessageBox::No;
        QTest::newRow("nominal: Yes makes a new page") << QMessageBox::Yes;
    }
    void newOnChangedPageAsksFirst() {
        QFETCH(QMessageBox::StandardButton, reply);
        Fixture f;
        f.edit(QStringLiteral("work"));
        const QString before = f.editor->toPlainText();
        f.platform.queueAnswer(reply);
        if (reply == QMessageBox::Yes)
            answerTitle(TitleAnswer::Ok, QStringLiteral("T"));
        f.doc.New1Click();

        QCOMPARE(f.platform.texts("ask"),
                 QStringList{"Are you sure you want to discard the changes?"});
        QCOMPARE(f.editor->toPlainText() == before, reply == QMessageBox::No);
        QCOMPARE(f.modified(), reply == QMessageBox::No);
        QCOMPARE(f.doc.TitleCancelled, false);
    }

    // Opening and saving without an edit gives back the very bytes of the file.
    void openSaveRoundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nominal: Windows-1252 page with CR LF")
            << QByteArray("<P>Caf\xE9 \x80 5\r\n<P>\x93quoted\x94\r\n");
        QTest::newRow("nominal: UTF-8 with non-breaking spaces")
            << QByteArray("<P>a\xC2\xA0\xC2\xA0"
                          "b&nbsp;</P>\n<P>\xE2\x80\xA8</P>\n");
        QTest::newRow("nominal: UTF-8 with BOM and CR LF")
            << QByteArray("\xEF\xBB\xBF<HTML>\r\n\r\n</HTML>");
        QTest::newRow("robustness: invalid UTF-8") << QByteArray("\xC3\x28 \xFF\xFE\x81\n");
    }
    void openSaveRoundTrip() {
        QFETCH(QByteArray, bytes);
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("round-trip.htm"));
        writeBytes(path, bytes);
        f.platform.queueFile(path);
        f.doc.Open1Click();
        QCOMPARE(f.doc.CurrentFileName, QDir::toNativeSeparators(path));
        QVERIFY(!f.modified());

        // Another program rewrites the file: saving over it asks first.
        writeBytes(path, "overwritten");
        f.platform.queueAnswer(QMessageBox::Yes);
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), bytes);
        QCOMPARE(f.platform.texts("ask").size(), 1);
        QVERIFY(
            f.platform.texts("ask").first().contains(QStringLiteral("changed by another program")));
        QVERIFY(f.platform.unexpected.isEmpty());
    }

    void oneCharacterEditChangesOnlyThatCharacter() {
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("edit.htm"));
        writeBytes(path, "caf\xE9\r\nend\r\n");
        QVERIFY(f.doc.openFile(path));
        QTextCursor cursor(f.editor->document());
        cursor.setPosition(5);
        f.editor->setTextCursor(cursor);
        f.core.InsertAtCaret(QStringLiteral("\u00E8"));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), QByteArray("caf\xE9\r\n\xE8"
                                             "end\r\n"));
    }

    // Characters outside ASCII typed into a page that came in as ASCII and declares no
    // encoding: a browser would take the page for windows-1252, so the save offers to
    // declare it, once per page.
    void undeclaredPageGetsItsEncodingDeclared_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // QMessageBox::NoButton: no question expected
        QTest::addColumn<QByteArray>("saved");
        const QByteArray ascii("<html><head><title>t</title></head>\n<p>x</p>\n");
        QTest::newRow("nominal: declared when the user says so")
            << ascii << "\u00E9" << int(QMessageBox::Yes)
            << QByteArray("<html><head><meta charset=\"UTF-8\"><title>t</title></head>\n"
                          "<p>x</p>\n\xC3\xA9");
        QTest::newRow("nominal: kept as it is, not asked again")
            << ascii << "\u00E9" << int(QMessageBox::No) << ascii + "\xC3\xA9";
        QTest::newRow("robustness: Cancel saves nothing")
            << ascii << "\u00E9" << int(QMessageBox::Cancel) << ascii;
        QTest::newRow("nominal: ASCII typed needs nothing")
            << ascii << "e" << int(QMessageBox::NoButton) << ascii + "e";
        QTest::newRow("nominal: a page that held such characters already is left alone")
            << ascii + "\xC3\xA8"
            << "\u00E9" << int(QMessageBox::NoButton) << ascii + "\xC3\xA8\xC3\xA9";
        QTest::newRow("nominal: a page in windows-1252 is read so anyway")
            << ascii + "\xE8"
            << "\u00E9" << int(QMessageBox::NoButton) << ascii + "\xE8\xE9";
    }
    void undeclaredPageGetsItsEncodingDeclared() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QByteArray, saved);
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("undeclared.htm"));
        writeBytes(path, bytes);
        QVERIFY(f.doc.openFile(path));
        f.edit(typed);
        if (answer != QMessageBox::NoButton)
            f.platform.queueAnswer(QMessageBox::StandardButton(answer));
        QCOMPARE(f.doc.Save1Click(), answer != QMessageBox::Cancel);
        QCOMPARE(fileBytes(path), saved);
        QCOMPARE(f.platform.texts(QStringLiteral("ask")).size(),
                 answer == QMessageBox::NoButton ? 0 : 1);
        QVERIFY(f.platform.unexpected.isEmpty());
        if (answer != QMessageBox::Yes && answer != QMessageBox::No)
            return;
        // Asked once: the next save of more such characters goes without a question.
        f.edit(QStringLiteral("\u00EA"));
        QVERIFY(f.doc.Save1Click());
        QVERIFY(f.platform.unexpected.isEmpty());
    }

    // Mixed breaks and U+2029 survive the editor; typing a character changes only
    // that character's bytes.
    void mixedBreaksThroughTheEditor() {
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("mixed.htm"));
        const QByteArray bytes("one\r\ntwo\nthree\rfour\xE2\x80\xA9"
                               "five\r\nsix");
        writeBytes(path, bytes);
        QVERIFY(f.doc.openFile(path));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), bytes);
        QTextCursor cursor(f.editor->document());
        cursor.setPosition(9); // after "one\ntwo\nt"
        f.editor->setTextCursor(cursor);
        f.core.InsertAtCaret(QStringLiteral("X"));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), QByteArray("one\r\ntwo\ntXhree\rfour\xE2\x80\xA9"
                                             "five\r\nsix"));
    }

    // A character the page's encoding cannot hold is never dropped silently.
    void unencodableCharacterAsks_data() {
        QTest::addColumn<QMessageBox::StandardButton>("reply");
        QTest::addColumn<QByteArray>("saved"); // empty: not saved
        QTest::newRow("nominal: Yes saves as UTF-8")
            << QMessageBox::Yes << QByteArray("<meta charset=utf-8>caf\xC3\xA9 \xC5\x91");
        QTest::newRow("nominal: No writes a reference")
            << QMessageBox::No << QByteArray("<meta charset=iso-8859-1>caf\xE9 &#337;");
        QTest::newRow("nominal: Cancel does not save") << QMessageBox::Cancel << QByteArray();
    }
    void unencodableCharacterAsks() {
        QFETCH(QMessageBox::StandardButton, reply);
        QFETCH(QByteArray, saved);
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("latin1.htm"));
        const QByteArray old("<meta charset=iso-8859-1>caf\xE9");
        writeBytes(path, old);
        QVERIFY(f.doc.openFile(path));
        QCOMPARE(f.doc.format.encoding, TextEncoding::Windows1252);
        f.edit(QString::fromUtf8(" ő"));
        f.platform.queueAnswer(reply);
        QCOMPARE(f.doc.Save1Click(), !saved.isEmpty());
        QCOMPARE(fileBytes(path), saved.isEmpty() ? old : saved);
        QCOMPARE(f.modified(), saved.isEmpty());
        const QStringList asked = f.platform.texts("ask");
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.first().contains(QString::fromUtf8("ISO-8859-1 cannot hold, such as \"ő\"")),
                 qPrintable(asked.first()));
    }

    // Another program changes, replaces or deletes the file; the editor's own
    // saves are never taken for such a change.
    void outsideChanges_data() {
        QTest::addColumn<QString>("change"); // "rewrite", "replace", "delete", "none"
        QTest::addColumn<QMessageBox::StandardButton>("reply");
        QTest::newRow("nominal: rewritten, reloaded") << "rewrite" << QMessageBox::Yes;
        QTest::newRow("nominal: replaced, kept") << "replace" << QMessageBox::No;
        QTest::newRow("nominal: deleted") << "delete" << QMessageBox::NoButton;
        QTest::newRow("robustness: own save is not reported") << "none" << QMessageBox::NoButton;
    }
    void outsideChanges() {
        QFETCH(QString, change);
        QFETCH(QMessageBox::StandardButton, reply);
        Fixture f;
        const QString path = m_dir.filePath(QStringLiteral("watched.htm"));
        writeBytes(path, "first");
        QVERIFY(f.doc.openFile(path));
        f.edit(QStringLiteral(" edit"));
        QVERIFY(f.doc.Save1Click());
        auto *watch = f.doc.findChild<QFileSystemWatcher *>();
        auto *deferredCheck = f.doc.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(watch && deferredCheck);
        QSignalSpy watchReports(watch, &QFileSystemWatcher::fileChanged);
        if (change == QLatin1String("rewrite")) {
            writeBytes(path, "outside");
        } else if (change == QLatin1String("replace")) {
            writeBytes(path + u'2', "replacement");
            QVERIFY(QFile::remove(path) && QFile::rename(path + u'2', path));
        } else if (change == QLatin1String("delete")) {
            QVERIFY(QFile::remove(path));
        }
        if (reply != QMessageBox::NoButton)
            f.platform.queueAnswer(reply);
        f.doc.checkDiskChanges();
        f.doc.checkDiskChanges(); // one change, one question
        // The file watch reports it as well, and says nothing more.
        if (change != QLatin1String("none"))
            QTRY_VERIFY(!watchReports.isEmpty());
        QCoreApplication::processEvents(); // whatever the watch has to say about the own save
        QTRY_VERIFY(!deferredCheck->isActive());

        const QStringList asked = f.platform.texts("ask");
        const QStringList told = f.platform.texts("information");
        if (change == QLatin1String("none")) {
            QVERIFY(asked.isEmpty() && told.isEmpty());
        } else if (change == QLatin1String("delete")) {
            QCOMPARE(told.size(), 1);
            QVERIFY(told.first().contains(QStringLiteral("deleted or moved")));
            QVERIFY(f.modified());
        } else {
            QCOMPARE(asked.size(), 1);
            QVERIFY(asked.first().contains(QStringLiteral("Do you want to reload it?")));
            QCOMPARE(f.editor->toPlainText(), reply == QMessageBox::Yes
                                                  ? QStringLiteral("outside")
                                                  : QStringLiteral("first edit"));
        }
        QVERIFY(f.platform.unexpected.isEmpty());
    }

    void openOnChangedPageAsksFirst() {
        Fixture f;
        f.edit(QStringLiteral("unsaved work"));
        const QString before = f.editor->toPlainText();
        f.platform.queueAnswer(QMessageBox::No);
        f.doc.Open1Click();
        QCOMPARE(f.editor->toPlainText(), before);
        QCOMPARE(f.platform.shown.size(), 1); // no file chooser after No
        QVERIFY(f.modified());
    }

    // A page that cannot be opened is reported by name and why; the page in the
    // editor stays as it was.
    void unopenableFileLeavesPageAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // written when not empty
        QTest::addColumn<QString>("reason");      // "" checks only the name
        QTest::newRow("robustness: missing file") << "no-such-page.htm" << QByteArray() << "";
        QTest::newRow("robustness: a folder") << "folder" << QByteArray() << "";
        QTest::newRow("robustness: a picture opened by mistake")
            << "picture.htm" << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)
            << "It looks like a PNG image, not a text page.";
    }
    void unopenableFileLeavesPageAlone() {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
        if (!contents.isEmpty())
            writeBytes(m_dir.filePath(name), contents);
        Fixture f;
        f.edit(QStringLiteral("kept"));
        const QString before = f.editor->toPlainText();
        const QString path = m_dir.filePath(name);
        QVERIFY(!f.doc.openFile(path));
        QCOMPARE(f.editor->toPlainText(), before);
        QCOMPARE(f.doc.CurrentFileName, UntitledFileName);
        QVERIFY(f.modified());
        const QStringList errors = f.platform.texts("error");
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().contains(QDir::toNativeSeparators(path)),
                 qPrintable(errors.first()));
        QVERIFY2(errors.first().contains(reason), qPrintable(errors.first()));
    }

    void saveOfUntitledPageAsksForName() {
        Fixture f;
        f.edit(QStringLiteral("x"));
        f.platform.queueFile(QString()); // the user cancels Save As
        QVERIFY(!f.doc.Save1Click());
        QCOMPARE(f.doc.CurrentFileName, UntitledFileName);
        QVERIFY(f.modified());
        QCOMPARE(f.platform.shown.last().kind, QStringLiteral("save"));
        QVERIFY(f.platform.shown.last().request.confirmOverwrite);

        const QString path = m_dir.filePath(QStringLiteral("new.htm"));
        f.platform.queueFile(path);
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(f.doc.CurrentFileName, QDir::toNativeSeparators(path));
        QVERIFY(!f.modified());
        QVERIFY(!f.save.isEnabled());
        QCOMPARE(fileBytes(path), encodePage(f.doc.pageText(), newPageFormat()));
    }

    // A save that cannot be written reports the file and why, keeps the old file
    // whole and leaves the page marked changed.
    void failedSaveKeepsOldFile() {
        ReadOnlyFolder folder(QStringLiteral("page.htm"), "old contents");
        QVERIFY2(folder.ready(), "could not make a read-only folder");
        const QString path = folder.path(QStringLiteral("page.htm"));
        Fixture f;
        f.doc.CurrentFileName = path;
        f.edit(QStringLiteral("new work"));

        QVERIFY(!f.doc.Save1Click());
        QCOMPARE(fileBytes(path), QByteArray("old contents"));
        QCOMPARE(f.doc.CurrentFileName, path);
        QVERIFY(f.modified());
        QVERIFY(f.save.isEnabled());
        const QStringList errors = f.platform.texts("error");
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().contains(QDir::toNativeSeparators(path)));
        QVERIFY(errors.first().contains(QStringLiteral("was not changed")));

        // Save As into the same place fails the same way and keeps the old name.
        f.platform.queueFile(folder.path(QStringLiteral("other.htm")));
        QVERIFY(!f.doc.Saveas1Click());
        QCOMPARE(f.doc.CurrentFileName, path);
        QVERIFY(!QFile::exists(folder.path(QStringLiteral("other.htm"))));
    }

    void closeQuery_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QMessageBox::StandardButton>("reply");
        QTest::addColumn<QString>("saveAsPath"); // "" cancels Save As
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");

        QTest::newRow("nominal: clean page closes without a question")
            << false << QMessageBox::NoButton << "" << true << false;
        QTest::newRow("nominal: No closes without saving")
            << true << QMessageBox::No << "" << true << false;
        QTest::newRow("nominal: Cancel stays open")
            << true << QMessageBox::Cancel << "" << false << false;
        QTest::newRow("robustness: box closed otherwise stays open")
            << true << QMessageBox::NoButton << "" << false << false;
        QTest::newRow("nominal: Yes saves, then closes")
            << true << QMessageBox::Yes << "closing.htm" << true << true;
        QTest::newRow("nominal: Yes, then cancelled Save As, stays open")
            << true << QMessageBox::Yes << "" << false << false;
    }
    void closeQuery() {
        QFETCH(bool, changed);
        QFETCH(QMessageBox::StandardButton, reply);
        QFETCH(QString, saveAsPath);
        QFETCH(bool, closes);
        QFETCH(bool, saved);

        Fixture f;
        if (changed) {
            f.edit(QStringLiteral("changes"));
            f.platform.queueAnswer(reply);
        }
        const QString path = saveAsPath.isEmpty() ? QString() : m_dir.filePath(saveAsPath);
        if (reply == QMessageBox::Yes)
            f.platform.queueFile(path);

        QCOMPARE(f.doc.FormCloseQuery(), closes);
        QCOMPARE(f.platform.texts("ask"),
                 changed ? QStringList{"Do you want to save the changes?"} : QStringList());
        QCOMPARE(!path.isEmpty() && QFile::exists(path), saved);
        QVERIFY(f.platform.answersUsed());
    }
};

VELLUMO_TEST_MAIN(TestDocument)
#include "tst_document.moc"
