#include "dialog_fixture.h"
#include "editor/insertion_core.h"
#include "generators/page_generator_dialog.h"
#include "platform/home_page.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

using namespace vellumo;

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The whole file for the fields that fill() types, written out by hand.
QByteArray expectedFile(bool forward) {
    QByteArray page = "<HTML>\r\n"
                      "<HEAD>\r\n"
                      "<META name=\"description\" content=\"Green Tea\">\r\n"
                      "<META name=\"keywords\" content=\"tea, green, , leaf, , , , pot\">\r\n"
                      "<TITLE>Green Tea</TITLE>\r\n";
    if (forward)
        page += "<script language=\"JavaScript\">\r\n"
                "bName = navigator.appName;\r\n"
                "if (bName == \"Netscape\")\r\n"
                "window.location=\"http://tea.example/\";\r\n"
                "else window.location=\"http://tea.example/\"\r\n"
                "</script>\r\n";
    const QByteArray url = forward ? "http://tea.example/" : "";
    const QByteArray titles = "Green Tea, Green Tea, tea, green, , leaf, , , , pot\r\n";
    const QByteArray described =
        "Green Tea, Leaves and more, Green Tea, tea, green, , leaf, , , , pot\r\n";
    page += "</HEAD>\r\n"
            "<BODY BGCOLOR=\"000000\">\r\n"
            "<CENTER>\r\n"
            "<FONT SIZE=\"8\" COLOR=\"FF0000\">Green Tea</FONT><BR>\r\n"
            "<!-- Green Tea -->\r\n"
            "<input type=\"hidden\" name=\"tea, green, , leaf\" value=\", , , pot\">\r\n"
            "<FONT COLOR=\"000000\"><SMALL><SMALL><SMALL><SMALL>\r\n" +
            titles + described + described +
            "</SMALL></SMALL></SMALL></SMALL>\r\n"
            "<SMALL><SMALL><SMALL><SMALL>\r\n" +
            titles + described + described +
            "</SMALL></SMALL></SMALL></SMALL>\r\n"
            "</FONT><P><A HREF=\"" +
            url +
            "\">Click Here if you haven't a JAVA compatible browser</A>\r\n"
            "<P><A HREF=\"" +
            ProgramHomePage.toUtf8() +
            "\">This page was generated with Vellumo</A></CENTER>\r\n"
            "</BODY>\r\n"
            "</HTML>";
    return page;
}

} // namespace

class TestPageGeneratorDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<DialogFixture> m_fixture;
    std::unique_ptr<TForm10> m_dialog;
    std::unique_ptr<QTemporaryDir> m_folder;

    QLineEdit *field(const char *name) const {
        return m_dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
    }

    // Title, address, description and four of the eight keywords.
    void fill(bool forward = true) {
        field("Edit1")->setText(QStringLiteral("Green Tea"));
        if (forward)
            field("Edit2")->setText(QStringLiteral("http://tea.example/"));
        field("Edit11")->setText(QStringLiteral("Leaves and more"));
        field("Edit3")->setText(QStringLiteral("tea"));
        field("Edit4")->setText(QStringLiteral("green"));
        field("Edit8")->setText(QStringLiteral("leaf"));
        field("Edit9")->setText(QStringLiteral("pot"));
        m_dialog->noForwarding->setChecked(!forward);
    }

    QString pagePath(const char *name) const {
        return m_folder->filePath(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<DialogFixture>(false);
        m_fixture->page(QStringLiteral("<P>page</P>"), 0);
        m_dialog = std::make_unique<TForm10>(m_fixture->context);
        m_folder = std::make_unique<QTemporaryDir>();
        m_dialog->show();
    }
    void cleanup() {
        QVERIFY2(m_fixture->platform.unexpected.isEmpty(),
                 qPrintable(m_fixture->platform.unexpected.join(", ")));
        m_dialog.reset();
        m_fixture.reset();
        m_folder.reset();
    }

    void opensAsDesigned() {
        QCOMPARE(m_dialog->objectName(), QStringLiteral("Form10"));
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Page Generator"));
        QCOMPARE(m_dialog->Pages->tabText(0), QStringLiteral("Description"));
        QCOMPARE(m_dialog->Pages->tabText(1), QStringLiteral("Page Generator"));
        QCOMPARE(m_dialog->Pages->currentIndex(), 0);
        QCOMPARE(m_dialog->generateButton->text(), QStringLiteral("Generate"));
        QVERIFY(m_dialog->generateButton->isDefault());
        QCOMPARE(m_dialog->exitButton->text(), QStringLiteral("Exit"));
        QCOMPARE(m_dialog->viewCodeButton->text(), QStringLiteral("View Code"));
        QVERIFY(m_dialog->viewCodeButton->isHidden());
        QVERIFY(m_dialog->codeView->isHidden());
        QVERIFY(!m_dialog->noForwarding->isChecked());

        QStringList labels;
        for (const QLabel *label : m_dialog->findChildren<QLabel *>())
            labels << label->text();
        QVERIFY(labels.contains(QStringLiteral("Title of the page  -  Be descriptive:")));
        QVERIFY(labels.contains(
            QStringLiteral("URL of your homepage to automatically forward the user to:")));
        QVERIFY(labels.contains(QStringLiteral("Keywords:")));
        QVERIFY(labels.contains(QStringLiteral("Description of site:")));
        QVERIFY(labels.contains(QStringLiteral(
            "When you have generated the page you might want to add it to the most popular "
            "search engines.")));
    }

    void tabOrderFollowsTheKeywordRows() {
        const QStringList expected{"Edit1", "Edit2", "Edit3",  "Edit4", "Edit5",  "Edit8",
                                   "Edit6", "Edit7", "Edit10", "Edit9", "Edit11", "CheckBox1"};
        QStringList order;
        QWidget *w = field("Edit1");
        while (order.size() < expected.size()) {
            if (expected.contains(w->objectName()))
                order << w->objectName();
            w = w->nextInFocusChain();
        }
        QCOMPARE(order, expected);
    }

    void validation_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("message");
        QTest::newRow("nominal: title first")
            << ""
            << "" << true << "You must enter a site title before you can generate the page";
        QTest::newRow("nominal: description second")
            << "T"
            << "" << true
            << "You must write down a description of the site before you can generate the page";
        QTest::newRow("nominal: address third")
            << "T"
            << "D" << true
            << "You must enter the URL of the site you want to automatically be transfered to, "
               "or you can uncheck the checkbox.";
    }
    void validation() {
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(bool, forward);
        field("Edit1")->setText(title);
        field("Edit11")->setText(description);
        field("Edit3")->setText(QStringLiteral("kept"));
        m_dialog->noForwarding->setChecked(!forward);
        m_dialog->Pages->setCurrentIndex(1);

        QTest::mouseClick(m_dialog->generateButton, Qt::LeftButton);

        QCOMPARE(m_fixture->platform.shown.size(), 1);
        QCOMPARE(m_fixture->platform.shown.first().kind, QStringLiteral("information"));
        QCOMPARE(m_fixture->platform.shown.first().caption, QStringLiteral("Information"));
        QTEST(m_fixture->platform.shown.first().text, "message");
        // Nothing generated, the fields kept, and the dialog back on its first page.
        QVERIFY(m_dialog->codeView->toPlainText().isEmpty());
        QCOMPARE(field("Edit3")->text(), QStringLiteral("kept"));
        QCOMPARE(m_dialog->Pages->currentIndex(), 0);
        QVERIFY(m_dialog->isVisible());
    }

    void generatesTheFile_data() {
        QTest::addColumn<bool>("forward");
        QTest::newRow("nominal: forwarding on") << true;
        QTest::newRow("nominal: forwarding off, no address") << false;
    }
    void generatesTheFile() {
        QFETCH(bool, forward);
        fill(forward);
        const QString path = pagePath("entry.htm");
        m_fixture->platform.queueFile(path);

        QTest::mouseClick(m_dialog->generateButton, Qt::LeftButton);

        QCOMPARE(readAll(path), expectedFile(forward));
        const FileChooserRequest request = m_fixture->platform.shown.last().request;
        QCOMPARE(m_fixture->platform.shown.last().kind, QStringLiteral("save"));
        QCOMPARE(request.defaultSuffix, QStringLiteral("htm"));
        QVERIFY(request.confirmOverwrite);
        QVERIFY(!request.mustExist);
        QVERIFY(request.filters.first().startsWith(QStringLiteral("HTML Files (")));
        QVERIFY(!m_dialog->viewCodeButton->isHidden());
        QVERIFY(m_dialog->codeView->isHidden());
        // The dialog stays open with its fields, and the page in the editor is untouched.
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(field("Edit1")->text(), QStringLiteral("Green Tea"));
        QCOMPARE(m_fixture->text(), QStringLiteral("<P>page</P>"));
        QVERIFY(!m_fixture->core.page().isModified());
    }

    // A keyword outside ASCII: the file is still read right by a browser, since the
    // page declares no encoding.
    void nonAsciiKeywordIsReadable_data() {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("marked");
        QTest::newRow("nominal: fits Windows-1252")
            << QStringLiteral("G\u00e4rten") << QByteArray("G\xe4rten") << false;
        QTest::newRow("nominal: needs UTF-8")
            << QStringLiteral("Gy\u0151r") << QByteArray("Gy\xc5\x91r") << true;
    }
    void nonAsciiKeywordIsReadable() {
        QFETCH(QString, keyword);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, marked);
        fill();
        field("Edit3")->setText(keyword);
        const QString path = pagePath("entry.htm");
        m_fixture->platform.queueFile(path);
        m_dialog->generateButton->click();
        const QByteArray expected = (marked ? QByteArray("\xef\xbb\xbf") : QByteArray()) +
                                    expectedFile(true).replace("tea, ", bytes + ", ");
        QCOMPARE(readAll(path), expected);
    }

    void viewCodeShowsWhatWasWritten() {
        fill();
        const QString path = pagePath("entry.htm");
        m_fixture->platform.queueFile(path);
        m_dialog->generateButton->click();

        m_dialog->viewCodeButton->click();
        QVERIFY(!m_dialog->codeView->isHidden());
        QCOMPARE(m_dialog->viewCodeButton->text(), QStringLiteral("Hide Code"));
        QCOMPARE(m_dialog->codeView->toPlainText().toUtf8().replace("\n", "\r\n"), readAll(path));

        m_dialog->viewCodeButton->click();
        QVERIFY(m_dialog->codeView->isHidden());
        QCOMPARE(m_dialog->viewCodeButton->text(), QStringLiteral("View Code"));
    }

    void cancelledSaveWritesNothing() {
        fill();
        m_fixture->platform.queueFile(pagePath("first.htm"));
        m_dialog->generateButton->click();
        m_dialog->viewCodeButton->click(); // the code view over the fields

        m_fixture->platform.queueFile(QString());
        m_dialog->generateButton->click();

        QCOMPARE(m_fixture->platform.shown.size(), 2);
        QVERIFY(m_dialog->viewCodeButton->isHidden());
        QVERIFY(m_dialog->codeView->isHidden());
        QCOMPARE(m_dialog->viewCodeButton->text(), QStringLiteral("View Code"));
        QCOMPARE(field("Edit1")->text(), QStringLiteral("Green Tea"));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"first.htm"});
    }

    void generatingTwiceWritesTwoWholePages() {
        fill();
        m_fixture->platform.queueFile(pagePath("one.htm"));
        m_dialog->generateButton->click();
        field("Edit1")->setText(QStringLiteral("Black Tea"));
        m_fixture->platform.queueFile(pagePath("two.htm"));
        m_dialog->generateButton->click();

        QCOMPARE(readAll(pagePath("one.htm")), expectedFile(true));
        QCOMPARE(readAll(pagePath("two.htm")),
                 expectedFile(true).replace("Green Tea", "Black Tea"));
    }

    void failedWriteIsReported() {
        fill();
        const QString path = pagePath("missing/entry.htm");
        m_fixture->platform.queueFile(path);
        m_dialog->Pages->setCurrentIndex(1);

        m_dialog->generateButton->click();

        QCOMPARE(m_fixture->platform.shown.last().kind, QStringLiteral("error"));
        QCOMPARE(m_fixture->platform.shown.last().caption, QStringLiteral("Vellumo"));
        QVERIFY2(
            m_fixture->platform.shown.last().text.startsWith(
                QStringLiteral("Cannot create file %1.\n").arg(QDir::toNativeSeparators(path))),
            qPrintable(m_fixture->platform.shown.last().text));
        QVERIFY(m_fixture->platform.shown.last().text.size() >
                path.size() + 21); // names the reason
        QVERIFY(m_dialog->viewCodeButton->isHidden());
        QCOMPARE(m_dialog->Pages->currentIndex(), 0);
        QVERIFY(m_dialog->isVisible());
    }

    void everyRoadOutResets_data() {
        QTest::addColumn<int>("road");
        QTest::newRow("nominal: Exit") << 0;
        QTest::newRow("nominal: close box") << 1;
    }
    void everyRoadOutResets() {
        QFETCH(int, road);
        fill(false);
        m_fixture->platform.queueFile(pagePath("entry.htm"));
        m_dialog->generateButton->click();
        m_dialog->viewCodeButton->click();

        if (road == 0)
            QTest::mouseClick(m_dialog->exitButton, Qt::LeftButton);
        else
            m_dialog->close();

        QVERIFY(!m_dialog->isVisible());
        for (QLineEdit *edit : m_dialog->findChildren<QLineEdit *>())
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        QVERIFY(!m_dialog->noForwarding->isChecked());
        QVERIFY(m_dialog->codeView->toPlainText().isEmpty());
        QVERIFY(m_dialog->codeView->isHidden());
        QVERIFY(m_dialog->viewCodeButton->isHidden());
        QCOMPARE(m_dialog->viewCodeButton->text(), QStringLiteral("View Code"));
    }

    void escapeDoesNotClose() {
        fill();
        QTest::keyClick(field("Edit1"), Qt::Key_Escape);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(field("Edit1")->text(), QStringLiteral("Green Tea"));
    }

    void enterGenerates() {
        fill();
        m_fixture->platform.queueFile(pagePath("entry.htm"));
        QTest::keyClick(field("Edit11"), Qt::Key_Return);
        QCOMPARE(readAll(pagePath("entry.htm")), expectedFile(true));
    }
};

VELLUMO_TEST_MAIN(TestPageGeneratorDialog)
#include "tst_page_generator_dialog.moc"
