#include "editor/page_loader.h"
#include "test_main.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

using namespace vellumo;

class TestPageLoader : public QObject {
    Q_OBJECT

    // The document's text with its blocks joined by '\n', non-breaking spaces kept.
    static QString textOf(const QTextDocument &document)
    {
        return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
    }

private Q_SLOTS:
    void keepsTheTextExactly_data()
    {
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
        QTest::newRow("robustness: a CR LF is never split")
            << QStringLiteral("a\r\nb\r\n") << 1;
    }

    void keepsTheTextExactly()
    {
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

    void reportsProgressAndCanStop_data()
    {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<bool>("built");
        QTest::newRow("nominal: runs to the end") << 1000 << true;
        QTest::newRow("robustness: stopped half way gives nothing") << 2 << false;
    }

    void reportsProgressAndCanStop()
    {
        QFETCH(int, stopAfter);
        QFETCH(bool, built);
        QPlainTextEdit editor;
        QList<qsizetype> seen;
        PageFill fill{[&](qsizetype done, qsizetype total) {
                          seen.append(done);
                          return total == 10 && seen.size() < stopAfter;
                      },
                      3};
        const auto document = buildPageDocument(QStringLiteral("0123456789"), *editor.document(), fill);
        QCOMPARE(bool(document), built);
        QVERIFY(std::is_sorted(seen.cbegin(), seen.cend()));
        if (built)
            QCOMPARE(seen, (QList<qsizetype>{3, 6, 9, 10}));
        else
            QCOMPARE(seen.size(), stopAfter);
    }

    void attachedDocumentIsCleanUndoableAndLooksTheSame()
    {
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
        attachPageDocument(&editor, buildPageDocument(QStringLiteral("second"), *editor.document()));
        QCOMPARE(editor.toPlainText(), QStringLiteral("second"));
        QVERIFY(firstShown.isNull());
    }
};

VELLUMO_TEST_MAIN(TestPageLoader)
#include "tst_page_loader.moc"
