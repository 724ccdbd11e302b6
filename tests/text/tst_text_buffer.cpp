#include "text/text_buffer.h"

#include "test_main.h"

#include <QTemporaryDir>

#include <vector>

using namespace vellumo;

namespace {

// The start of every line of `text` (breaks as '\n').
std::vector<qsizetype> lineStarts(const QString &text) {
    std::vector<qsizetype> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i) == u'\n')
            starts.push_back(i + 1);
    return starts;
}

// Every change the buffer reports.
struct ChangeLog {
    explicit ChangeLog(TextBuffer *buffer) {
        QObject::connect(buffer, &TextBuffer::changed, buffer,
                         [this](const TextChange &change) { changes.push_back(change); });
    }
    std::vector<TextChange> changes;
};

} // namespace

class TestTextBuffer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A page opened into the buffer reads exactly as the page codec decodes it, its
    // line index agrees with the text, and it saves back to the same bytes.
    void opensAsTheCodec_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nominal: UTF-8, LF, past one 16-byte block")
            << QByteArray("<P>caf\xC3\xA9 and more words</P>\n<P>\xF0\x9F\x98\x80 two</P>\n");
        QTest::newRow("nominal: UTF-8 mark, CR LF") << QByteArray("\xEF\xBB\xBFone\r\ntwo\r\n");
        QTest::newRow("nominal: mixed breaks") << QByteArray("lf\ncrlf\r\ncr\rpara\xE2\x80\xA9"
                                                             "frame\xEF\xB7\x90"
                                                             "end\xEF\xB7\x91"
                                                             "last\r");
        QTest::newRow("nominal: CR LF split over a 16-byte block")
            << QByteArray("fifteen chars..\r\nnext line\r\n");
        QTest::newRow("nominal: only paragraph separators") << QByteArray("a\xE2\x80\xA9"
                                                                          "b\xE2\x80\xA9");
        QTest::newRow("nominal: non-characters are text")
            << QByteArray("\xEF\xBF\xBE\xEF\xBF\xBF\n");
        QTest::newRow("nominal: empty") << QByteArray();
        QTest::newRow("nominal: declared ISO-8859-1, ASCII only")
            << QByteArray("<meta charset=\"iso-8859-1\">\nplain\n");
        QTest::newRow("nominal: Windows-1252") << QByteArray("caf\xE9 \x80\r\n\x93q\x94\r\n");
        QTest::newRow("nominal: UTF-16 LE") << QByteArray("\xFF\xFE"
                                                          "a\0\n\0\xE9\0",
                                                          8);
        QTest::newRow("nominal: UTF-16 BE") << QByteArray("\xFE\xFF\0a\0\r\0\n\0b", 10);
        QTest::newRow("robustness: overlong form") << QByteArray("ab\xC0\x80"
                                                                 "cd");
        QTest::newRow("robustness: encoded surrogate") << QByteArray("ab\xED\xA0\x80");
        QTest::newRow("robustness: past U+10FFFF") << QByteArray("ab\xF4\x90\x80\x80");
        QTest::newRow("robustness: character cut at the end") << QByteArray("line\n\xE2\x80");
        QTest::newRow("robustness: invalid UTF-8 mark page") << QByteArray("\xEF\xBB\xBF"
                                                                           "caf\xE9\n");
        QTest::newRow("robustness: lone CR at the end of a block")
            << QByteArray("0123456789abcde\r"
                          "0123456789abcde\n");
    }
    void opensAsTheCodec() {
        QFETCH(QByteArray, bytes);
        const DecodedPage page = decodePage(bytes);
        TextBuffer buffer;
        buffer.open(bytes);
        QCOMPARE(buffer.text(), page.text);
        QCOMPARE(buffer.format(), page.format);
        QCOMPARE(buffer.lineBreakKinds(), page.lineBreakKinds);
        QCOMPARE(buffer.encoded(), bytes);
        const std::vector<qsizetype> starts = lineStarts(page.text);
        QCOMPARE(buffer.lineCount(), static_cast<qsizetype>(starts.size()));
        for (qsizetype line = 0; line < buffer.lineCount(); ++line)
            QCOMPARE(buffer.lineStart(line), starts[line]);
        for (qsizetype position = 0; position <= page.text.size(); ++position)
            QCOMPARE(buffer.lineAt(position), page.text.left(position).count(u'\n'));
        QVERIFY(!buffer.isModified());
        QVERIFY(!buffer.canUndo());
    }

    // Untouched lines keep their own breaks; a typed break gets the page's usual
    // kind, and text cut out and undone comes back with its breaks.
    void editsKeepLineBreaks() {
        TextBuffer buffer;
        buffer.open("one\r\ntwo\nthree\r\nfour");
        QCOMPARE(buffer.format().lineBreaks, LineBreakStyle::CRLF);
        buffer.insert(buffer.lineStart(2), QStringLiteral("new\n"));
        QCOMPARE(buffer.encoded(), QByteArray("one\r\ntwo\nnew\r\nthree\r\nfour"));
        QCOMPARE(buffer.lineText(2), QStringLiteral("new"));
        buffer.remove(2, 9); // "e\ntwo\nn"
        QCOMPARE(buffer.text(), QStringLiteral("onew\nthree\nfour"));
        QCOMPARE(buffer.encoded(), QByteArray("onew\r\nthree\r\nfour"));
        buffer.undo();
        QCOMPARE(buffer.encoded(), QByteArray("one\r\ntwo\nnew\r\nthree\r\nfour"));
        QCOMPARE(buffer.lineBreakKinds(), QByteArray("cncc"));
    }

    // The edits of a group undo and redo together; the modified flag follows the
    // undo history back to the clean state, and a clean state thrown away with
    // the redo steps is gone for good.
    void undoGroupsAndModifiedFlag() {
        TextBuffer buffer;
        buffer.open("<P></P>");
        buffer.beginUndoGroup();
        buffer.insert(3, QStringLiteral("Hello"));
        buffer.beginUndoGroup();
        buffer.remove(0, 3);
        buffer.insert(0, QStringLiteral("<B>"));
        buffer.endUndoGroup();
        buffer.endUndoGroup();
        buffer.insert(buffer.size(), QStringLiteral("\n"));
        QCOMPARE(buffer.text(), QStringLiteral("<B>Hello</P>\n"));
        QVERIFY(buffer.isModified());

        buffer.undo();
        QCOMPARE(buffer.text(), QStringLiteral("<B>Hello</P>"));
        buffer.undo();
        QCOMPARE(buffer.text(), QStringLiteral("<P></P>"));
        QVERIFY(!buffer.isModified());
        QVERIFY(!buffer.canUndo());
        buffer.redo();
        QCOMPARE(buffer.text(), QStringLiteral("<B>Hello</P>"));
        buffer.markClean();
        buffer.undo();
        QVERIFY(buffer.isModified());
        buffer.insert(0, QStringLiteral("x")); // the clean state was among the redo steps
        QVERIFY(!buffer.canRedo());
        buffer.undo();
        QCOMPARE(buffer.text(), QStringLiteral("<P></P>"));
        QVERIFY(buffer.isModified());
    }

    // What a journal and a line-state cache learn of each change.
    void reportsChanges() {
        TextBuffer buffer;
        buffer.open("ab\ncd\nef");
        ChangeLog log(&buffer);
        buffer.insert(4, QStringLiteral("X\nY\n"));
        buffer.remove(1, 8); // "b\ncX\nY\n"
        buffer.undo();
        QCOMPARE(log.changes.size(), 3u);
        const auto check = [&](int i, qsizetype position, qsizetype removed, qsizetype added,
                               qsizetype line, qsizetype linesRemoved, qsizetype linesAdded) {
            const TextChange &c = log.changes.at(i);
            QCOMPARE(c.position, position);
            QCOMPARE(c.removed, removed);
            QCOMPARE(c.added, added);
            QCOMPARE(c.line, line);
            QCOMPARE(c.linesRemoved, linesRemoved);
            QCOMPARE(c.linesAdded, linesAdded);
        };
        check(0, 4, 0, 4, 1, 0, 2);
        check(1, 1, 7, 0, 0, 3, 0);
        check(2, 1, 0, 7, 0, 0, 3);
        QCOMPARE(buffer.text(), QStringLiteral("ab\ncX\nY\nd\nef"));
    }

    // A file that cannot be read leaves the page as it was and says why.
    void openFileFailure() {
        QTemporaryDir folder;
        TextBuffer buffer;
        buffer.open("kept");
        const QString problem = buffer.openFile(folder.filePath(QStringLiteral("missing.htm")));
        QVERIFY(!problem.isEmpty());
        QCOMPARE(buffer.text(), QStringLiteral("kept"));
        QVERIFY(buffer.openFile(folder.path()).contains(QStringLiteral("folder")));
    }
};

VELLUMO_TEST_MAIN(TestTextBuffer)
#include "tst_text_buffer.moc"
