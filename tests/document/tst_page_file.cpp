#include "document/page_file.h"
#include "test_main.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vellumo;

Q_DECLARE_METATYPE(vellumo::TextEncoding)
Q_DECLARE_METATYPE(vellumo::LineBreakStyle)

class TestPageFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whatever the bytes, decoding and encoding again without an edit gives them back.
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TextEncoding>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<LineBreakStyle>("lineBreaks");
        QTest::addColumn<QString>("text");

        QTest::newRow("nominal: UTF-8, LF")
            << QByteArray("<P>caf\xC3\xA9</P>\n") << TextEncoding::Utf8 << false
            << LineBreakStyle::LF << QString::fromUtf8("<P>café</P>\n");
        QTest::newRow("nominal: UTF-8 with BOM, CR LF")
            << QByteArray("\xEF\xBB\xBFone\r\ntwo") << TextEncoding::Utf8 << true
            << LineBreakStyle::CRLF << "one\ntwo";
        QTest::newRow("nominal: non-breaking spaces stay")
            << QByteArray("a\xC2\xA0&nbsp;\xC2\xA0z") << TextEncoding::Utf8 << false
            << LineBreakStyle::LF << QString::fromUtf8("a\u00A0&nbsp;\u00A0z");
        QTest::newRow("nominal: Windows-1252 page")
            << QByteArray("caf\xE9 \x80 \x93quoted\x94\r\n") << TextEncoding::Windows1252 << false
            << LineBreakStyle::CRLF << QString::fromUtf8("café € “quoted”\n");
        QTest::newRow("robustness: invalid UTF-8 with undefined code page bytes")
            << QByteArray("\xC3(\x81\x8D\x8F\x90\x9D\xFF") << TextEncoding::Windows1252 << false
            << LineBreakStyle::LF << QString::fromUtf8("Ã(\u0081\u008D\u008F\u0090\u009Dÿ");
        QTest::newRow("nominal: UTF-16 LE with BOM")
            << QByteArray("\xFF\xFEh\0i\0\r\0\n\0", 10) << TextEncoding::Utf16LE << true
            << LineBreakStyle::CRLF << "hi\n";
        QTest::newRow("nominal: UTF-16 BE with BOM")
            << QByteArray("\xFE\xFF\0h\0\n", 6) << TextEncoding::Utf16BE << true
            << LineBreakStyle::LF << "h\n";
        QTest::newRow("nominal: CR line breaks") << QByteArray("a\rb\r") << TextEncoding::Utf8
                                                 << false << LineBreakStyle::CR << "a\nb\n";
        QTest::newRow("robustness: empty file")
            << QByteArray() << TextEncoding::Utf8 << false << newPageFormat().lineBreaks << "";
        QTest::newRow("robustness: BOM only") << QByteArray("\xEF\xBB\xBF") << TextEncoding::Utf8
                                              << true << newPageFormat().lineBreaks << "";
        QTest::newRow("robustness: two BOMs keep the second as text")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << TextEncoding::Utf8 << true
            << newPageFormat().lineBreaks << QString(QChar(0xFEFF)) + u'x';
        QTest::newRow("robustness: NUL bytes")
            << QByteArray("a\0b", 3) << TextEncoding::Utf8 << false << newPageFormat().lineBreaks
            << QString::fromLatin1("a\0b", 3);
        QTest::newRow("nominal: declared ISO-8859-1")
            << QByteArray("<meta charset=\"ISO-8859-1\">caf\xE9\n") << TextEncoding::Windows1252
            << false << LineBreakStyle::LF
            << QString::fromUtf8("<meta charset=\"ISO-8859-1\">café\n");
        QTest::newRow("nominal: declared in a Content-Type, even over valid UTF-8")
            << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                          "charset=windows-1252\">\xC3\xA9")
            << TextEncoding::Windows1252 << false << newPageFormat().lineBreaks
            << QString::fromUtf8("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                 "charset=windows-1252\">Ã©");
        QTest::newRow("robustness: declared UTF-8 that is not falls back")
            << QByteArray("<meta charset=utf-8>\x93x\x94") << TextEncoding::Windows1252 << false
            << newPageFormat().lineBreaks << QString::fromUtf8("<meta charset=utf-8>“x”");
        QTest::newRow("nominal: detected ISO-8859-1")
            << QByteArray("caf\xe9 au lait, cr\xe8me br\xfbl\xe9"
                          "e, na\xefve fa\xe7"
                          "ade\n")
            << TextEncoding::Windows1252 << false << LineBreakStyle::LF
            << QString::fromUtf8("café au lait, crème brûlée, naïve façade\n");
        QTest::newRow("nominal: mixed line breaks, the most common one is usual")
            << QByteArray("a\r\nb\nc\r\nd\re\r\n") << TextEncoding::Utf8 << false
            << LineBreakStyle::CRLF << "a\nb\nc\nd\ne\n";
        QTest::newRow("nominal: paragraph and line separators")
            << QByteArray("a\xE2\x80\xA9"
                          "b\xE2\x80\xA8"
                          "c\n")
            << TextEncoding::Utf8 << false << LineBreakStyle::LF
            << QString::fromUtf8("a\nb\u2028c\n");
        QTest::newRow("robustness: the editor's frame characters")
            << QByteArray("a\xEF\xB7\x90"
                          "b\xEF\xB7\x91")
            << TextEncoding::Utf8 << false << newPageFormat().lineBreaks << "a\nb\n";
        QTest::newRow("robustness: LF CR is two breaks")
            << QByteArray("a\n\rb") << TextEncoding::Utf8 << false << LineBreakStyle::LF
            << "a\n\nb";
        QTest::newRow("nominal: a 100,000-character line")
            << QByteArray(100000, 'x') + "\r\n"
            << TextEncoding::Utf8 << false << LineBreakStyle::CRLF << QString(100000, u'x') + u'\n';
        QTest::newRow("robustness: odd-length UTF-16 falls back to the code page")
            << QByteArray("\xFF\xFE"
                          "a")
            << TextEncoding::Windows1252 << false << newPageFormat().lineBreaks
            << QString::fromUtf8("ÿþa");
    }
    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(TextEncoding, encoding);
        QFETCH(bool, bom);
        QFETCH(LineBreakStyle, lineBreaks);
        QFETCH(QString, text);

        const DecodedPage page = decodePage(bytes);
        QCOMPARE(page.text, text);
        QCOMPARE(page.format.encoding, encoding);
        QCOMPARE(page.format.byteOrderMark, bom);
        QCOMPARE(page.format.lineBreaks, lineBreaks);
        QCOMPARE(encodePage(page.text, page.format, page.lineBreakKinds), bytes);
    }

    // A page that mixes line breaks keeps each one; a new line gets the usual kind.
    void mixedBreaksStayPerLine() {
        const DecodedPage page = decodePage("one\r\ntwo\nthree\r\n");
        QCOMPARE(page.lineBreakKinds, QByteArray("cnc"));
        QByteArray kinds = page.lineBreakKinds;
        kinds.append(Usual);
        QCOMPARE(encodePage(page.text + "four\n", page.format, kinds),
                 QByteArray("one\r\ntwo\nthree\r\nfour\r\n"));
        QVERIFY(decodePage("a\r\nb\r\n").lineBreakKinds.isEmpty());
        // "a" CR, "X" LF, "b": with "X" deleted, the CR and the LF would meet as one
        // CR LF; the empty line comes back.
        const DecodedPage joined = decodePage("a\rX\nb\nc\n");
        const QByteArray saved =
            encodePage(QStringLiteral("a\n\nb\nc\n"), joined.format, joined.lineBreakKinds);
        QCOMPARE(saved, QByteArray("a\r\n\nb\nc\n"));
        QCOMPARE(decodePage(saved).text, QStringLiteral("a\n\nb\nc\n"));
    }

    void binaryFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QTest::newRow("nominal: PNG")
            << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16) << "a PNG image";
        QTest::newRow("nominal: GIF") << QByteArray("GIF89a\x01\0") << "a GIF image";
        QTest::newRow("nominal: control bytes")
            << QByteArray("\0\1\2\3\4\5\6\7\x08\x0E ab", 14) << "binary data";
        QTest::newRow("nominal: a page") << QByteArray("<HTML>\r\n</HTML>") << "";
        QTest::newRow("robustness: a stray NUL is still text")
            << QByteArray("<P>a\0b</P>\n", 12) << "";
        QTest::newRow("robustness: a file of zero bytes is not a page")
            << QByteArray(64, '\0') << "binary data";
        QTest::newRow("nominal: UTF-16 without a byte-order mark is text")
            << QByteArray("<\0P\0>\0h\0i\0\r\0\n\0<\0/\0P\0>\0", 22) << "";
        QTest::newRow("robustness: UTF-16 is text")
            << QByteArray("\xFF\xFE<\0P\0>\0\x01\0", 10) << "";
    }
    void binaryFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QCOMPARE(binaryFileKind(bytes), kind);
    }

    void unencodableCharactersBecomeReferences() {
        const PageFormat format{TextEncoding::Windows1252, false, LineBreakStyle::LF};
        const QString text = QString::fromUtf8("€ ✓ 😀 é");
        QVERIFY(!canEncode(text, format));
        QVERIFY(canEncode(QString::fromUtf8("€ é"), format));
        QCOMPARE(encodePage(text, format), QByteArray("\x80 &#10003; &#128512; \xE9"));
        QVERIFY(canEncode(text, newPageFormat()));
        QCOMPARE(firstUnencodable(QString::fromUtf8("é ő x"), TextEncoding::Windows1252),
                 char32_t(0x151));
        QCOMPARE(encodePage(QString::fromUtf8("é ő"), format), QByteArray("\xE9 &#337;"));
    }

    void atomicWriteReplacesWholeFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        QCOMPARE(writeFileAtomically(path, "old text that is longer"), QString());
        QCOMPARE(writeFileAtomically(path, "new"), QString());
        QByteArray bytes;
        QCOMPARE(readWholeFile(path, &bytes), QString());
        QCOMPARE(bytes, QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.htm"});
    }

    void failuresAreReportedInWords_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("robustness: missing folder") << "missing/page.htm";
        QTest::newRow("robustness: a folder in place of the file") << "folder";
    }
    void failuresAreReportedInWords() {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(relative);
        QVERIFY(!writeFileAtomically(path, "x").isEmpty());
        QByteArray bytes("untouched");
        QVERIFY(!readWholeFile(path, &bytes).isEmpty());
        QCOMPARE(bytes, QByteArray("untouched"));
    }
};

VELLUMO_TEST_MAIN(TestPageFile)
#include "tst_page_file.moc"
