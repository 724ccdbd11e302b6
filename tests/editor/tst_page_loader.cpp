#include "editor/journal_replay.h"
#include "editor/page_editor.h"
#include "editor/page_loader.h"
#include "editor/recovery_journal.h"
#include "test_main.h"

#include <QFile>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegion>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

using namespace vellumo;

class TestPageLoader : public QObject {
    Q_OBJECT

    // The document's text with its blocks joined by '\n', non-breaking spaces kept.
    static QString textOf(const QTextDocument &document) {
        return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }

    static QString writeFile(const QTemporaryDir &folder, const QByteArray &bytes) {
        const QString path = folder.filePath(QStringLiteral("page.htm"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return {};
        return path;
    }

    // Gathers what is painted of a widget.
    struct PaintRecorder : QObject {
        explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                region += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
        QRegion region;
    };

    // An editor set up as the main window sets up its own.
    static void showEditor(PageEditor &editor, int width) {
        editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        editor.resize(width, 300);
        editor.show();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void keepsTheTextExactly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sliceSize");

        const QString lines = QStringLiteral("<P>one</P>\n<P>two&nbsp;\u00A0</P>\n\n<BR>\n");
        QTest::newRow("nominal: one slice") << lines << 1000;
        QTest::newRow("nominal: slices cut inside lines") << lines << 3;
        QTest::newRow("nominal: a slice per character") << lines << 1;
        QTest::newRow("nominal: last line without a break") << QStringLiteral("a\nbc") << 1;
        QTest::newRow("robustness: empty page") << QString() << 4;
        QTest::newRow("robustness: only line breaks") << QStringLiteral("\n\n\n") << 1;
        QTest::newRow("robustness: a pair of surrogates is never split")
            << QStringLiteral("x\U0001F600y\U0001F600") << 1;
        QTest::newRow("robustness: a CR LF is never split") << QStringLiteral("a\r\nb\r\n") << 1;
    }

    void keepsTheTextExactly() {
        QFETCH(QString, text);
        QFETCH(int, sliceSize);
        QPlainTextEdit editor;
        QString expected = text;
        // The editor itself reads a CR LF as one break.
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        auto document = buildPageDocument(QString(text), *editor.document(), {{}, sliceSize});
        QVERIFY(document);
        QCOMPARE(textOf(*document), expected);
        QCOMPARE(document->blockCount(), int(expected.count(u'\n')) + 1);
    }

    void reportsProgressAndCanStop_data() {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<bool>("built");
        QTest::newRow("nominal: runs to the end") << 1000 << true;
        QTest::newRow("robustness: stopped half way gives nothing") << 2 << false;
    }

    void reportsProgressAndCanStop() {
        QFETCH(int, stopAfter);
        QFETCH(bool, built);
        QPlainTextEdit editor;
        QList<qsizetype> seen;
        PageFill fill{[&](qsizetype done, qsizetype total) {
                          seen.append(done);
                          return total == 10 && seen.size() < stopAfter;
                      },
                      3};
        const auto document =
            buildPageDocument(QStringLiteral("0123456789"), *editor.document(), fill);
        QCOMPARE(bool(document), built);
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        if (built)
            QCOMPARE(seen, (QList<qsizetype>{3, 6, 9, 10}));
        else
            QCOMPARE(seen.size(), stopAfter);
    }

    void attachedDocumentIsCleanUndoableAndLooksTheSame() {
        QPlainTextEdit editor;
        editor.setFont(QFont(QStringLiteral("Monospace"), 13));
        editor.setPlainText(QStringLiteral("old page"));
        const QFont font = editor.document()->defaultFont();
        auto first = buildPageDocument(QStringLiteral("first\npage"), *editor.document());
        attachPageDocument(&editor, std::move(first));
        QPointer<QTextDocument> firstShown = editor.document();
        QCOMPARE(editor.toPlainText(), QStringLiteral("first\npage"));
        QCOMPARE(editor.document()->defaultFont(), font);
        QVERIFY(!editor.document()->isModified());
        QVERIFY(!editor.document()->isUndoAvailable());
        QCOMPARE(editor.textCursor().position(), 0);

        editor.insertPlainText(QStringLiteral("x"));
        QVERIFY(editor.document()->isUndoAvailable());
        editor.undo();
        QCOMPARE(editor.toPlainText(), QStringLiteral("first\npage"));

        // A second page replaces the first, whose document goes with it.
        attachPageDocument(&editor,
                           buildPageDocument(QStringLiteral("second"), *editor.document()));
        QCOMPARE(editor.toPlainText(), QStringLiteral("second"));
        QVERIFY(firstShown.isNull());
    }

    // The page is built at the editor's width without the editor laying every
    // line out again; when the editor's width changed meanwhile, the page
    // follows it.
    // A page that takes the place of one as short is drawn at once over the whole
    // view, though nothing scrolls and no width changes to ask for it.
    void attachedPageIsDrawn_data() {
        QTest::addColumn<QString>("page");
        QTest::newRow("nominal: a short page for a short one") << "new one\nnew two";
        QTest::newRow("nominal: a long page for a short one")
            << QStringLiteral("<P>a line of the new page</P>\n").repeated(200);
    }
    void attachedPageIsDrawn() {
        QFETCH(QString, page);
        PageEditor editor;
        showEditor(editor, 500);
        editor.setPlainText(QStringLiteral("old one\nold two"));
        QCoreApplication::processEvents();
        PaintRecorder painted(editor.viewport());
        attachPageDocument(&editor, buildPageDocument(QString(page), *editor.document()));
        QCoreApplication::processEvents();
        QVERIFY(painted.region.contains(editor.viewport()->rect()));
    }

    void wrapsAtTheEditorsWidth_data() {
        QTest::addColumn<int>("widthChange");
        QTest::newRow("nominal: the editor kept its size") << 0;
        QTest::newRow("robustness: the window shrank while the page went in") << -150;
        QTest::newRow("robustness: the window grew while the page went in") << 150;
    }

    void wrapsAtTheEditorsWidth() {
        QFETCH(int, widthChange);
        QString longLine;
        while (longLine.size() < 3000)
            longLine += QStringLiteral("<B>word</B> ");
        const QString text = longLine + QStringLiteral("\nshort\n") + longLine;

        PageEditor editor;
        showEditor(editor, 500);
        auto document = buildPageDocument(QString(text), *editor.document());
        editor.resize(500 + widthChange, 300);
        QCoreApplication::processEvents();
        attachPageDocument(&editor, std::move(document));
        QCoreApplication::processEvents();

        PageEditor reference;
        showEditor(reference, 500 + widthChange);
        reference.setPlainText(text);
        QCoreApplication::processEvents();

        QCOMPARE(textOf(*editor.document()), text);
        QCOMPARE(editor.document()->documentLayout()->frameBoundingRect(nullptr).width(),
                 qreal(editor.viewport()->width()));
        for (int i = 0; i < 3; ++i) {
            const QTextBlock shown = editor.document()->findBlockByNumber(i);
            const QTextBlock expected = reference.document()->findBlockByNumber(i);
            editor.document()->documentLayout()->blockBoundingRect(shown);
            reference.document()->documentLayout()->blockBoundingRect(expected);
            QCOMPARE(shown.layout()->lineCount(), expected.layout()->lineCount());
        }
        QVERIFY(editor.document()->findBlockByNumber(0).layout()->lineCount() > 1);
    }

    void readsAPageFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("binary");
        QTest::newRow("nominal: a UTF-8 page")
            << QByteArray("<P>caf\xc3\xa9</P>\n") << QStringLiteral("<P>caf\u00e9</P>\n") << false;
        QTest::newRow("nominal: CR LF line breaks")
            << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n") << false;
        QTest::newRow("robustness: a picture is not a page")
            << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << QString() << true;
    }

    void readsAPageFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, binary);
        QTemporaryDir folder;
        const QString path = writeFile(folder, bytes);
        QVERIFY(!path.isEmpty());
        int turns = 0;
        const std::optional<PageRead> read = readPageFileAside(path, [&turns] {
            ++turns;
            return true;
        });
        QVERIFY(read);
        QVERIFY(read->reason.isEmpty());
        QCOMPARE(!read->binaryKind.isEmpty(), binary);
        QCOMPARE(read->page.text, text);
        QCOMPARE(read->fingerprint.taken, !binary);
    }

    void aMissingFileGivesItsReason() {
        QTemporaryDir folder;
        const std::optional<PageRead> read =
            readPageFileAside(folder.filePath(QStringLiteral("none.htm")), [] { return true; });
        QVERIFY(read);
        QVERIFY(!read->reason.isEmpty());
        QVERIFY(read->page.text.isEmpty());
    }

    void givingUpWaitsForTheReadAndGivesNothing() {
        // Big enough to take longer than one wait of the event loop.
        QTemporaryDir folder;
        QByteArray bytes;
        while (bytes.size() < (24 << 20))
            bytes += "<P>One more line of a big page, with <B>bold</B> text &amp; more.</P>\n";
        const QString path = writeFile(folder, bytes);
        QVERIFY(!path.isEmpty());
        int turns = 0;
        const std::optional<PageRead> read = readPageFileAside(path, [&turns] {
            ++turns;
            return false;
        });
        QCOMPARE(turns, 1);
        QVERIFY(!read);
    }

    // The journal of a page opened from its file starts from the fingerprint
    // taken while the file was read, and gives the unsaved work back from it.
    void journalRecoversAPageOpenedFromItsFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fileChangedAfter");
        QTest::addColumn<bool>("fingerprintFromFile"); // false: as after a save
        const QByteArray page("<HTML>\n<BODY>T\xc3\xabxt\xc2\xa0here</BODY>\n</HTML>\n");
        for (const bool opened : {true, false}) {
            const char *when = opened ? "opened" : "saved";
            QTest::addRow("nominal: a UTF-8 page, %s", when) << page << false << opened;
            QTest::addRow("nominal: mixed line breaks, %s", when)
                << QByteArray("a\r\nb\nc\r\n") << false << opened;
            QTest::addRow("nominal: a Windows-1252 page, %s", when)
                << QByteArray("caf\xe9 \x80\n") << false << opened;
            QTest::addRow("robustness: a paragraph separator inside a line, %s", when)
                << QByteArray("one\xe2\x80\xa9two\nthree\n") << false << opened;
            QTest::addRow("robustness: the file changed afterwards, %s", when)
                << page << true << opened;
        }
    }

    void journalRecoversAPageOpenedFromItsFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fileChangedAfter);
        QFETCH(bool, fingerprintFromFile);
        QTemporaryDir folder;
        const QString path = writeFile(folder, bytes);
        QVERIFY(!path.isEmpty());
        PageRead read = readPageFile(path);
        QVERIFY(read.reason.isEmpty());
        PageEditor editor;
        attachPageDocument(&editor,
                           buildPageDocument(std::move(read.page.text), *editor.document()));
        RecoveryJournal journal(folder.filePath(QStringLiteral("recovery")));
        QVERIFY(journal.claim());
        journal.follow(editor.document(), path, read.page.format, JournalBase::File,
                       fingerprintFromFile ? read.fingerprint : PageFingerprint());
        QTextCursor cursor(editor.document());
        cursor.setPosition(2);
        cursor.insertText(QStringLiteral("typed"));
        journal.flush();
        QVERIFY(journal.recording());
        if (fileChangedAfter)
            QVERIFY(!writeFile(folder, bytes + "more").isEmpty());

        const RecoveredPage recovered = recoverJournal(journal.path(), *editor.document());
        if (fileChangedAfter) {
            QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::FileChanged));
            return;
        }
        QCOMPARE(int(recovered.outcome), int(RecoveredPage::Outcome::Recovered));
        QCOMPARE(journalText(*recovered.document), journalText(*editor.document()));
    }
};

VELLUMO_TEST_MAIN(TestPageLoader)
#include "tst_page_loader.moc"
