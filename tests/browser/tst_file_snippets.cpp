#include "browser/file_browser.h"
#include "browser/file_snippets.h"
#include "test_main.h"

#include <QFile>
#include <QTemporaryDir>

using namespace vellumo;

Q_DECLARE_METATYPE(FileInsertStyle)

class TestFileSnippets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void snippets_data() {
        QTest::addColumn<FileInsertStyle>("style");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caretBack");

        QTest::newRow("nominal: image, caret lands between the ALT quotes")
            << FileInsertStyle::Image << true << R"(<IMG SRC="photo.gif" BORDER=0 ALT="">)" << 2;
        QTest::newRow("nominal: image in lower case")
            << FileInsertStyle::Image << false << R"(<img src="photo.gif" border=0 alt="">)" << 2;
        QTest::newRow("nominal: sound")
            << FileInsertStyle::Sound << true << R"(<BGSOUND SRC="photo.gif" LOOP=INFINITE>)" << 0;
        QTest::newRow("nominal: sound in lower case")
            << FileInsertStyle::Sound << false << R"(<bgsound src="photo.gif" loop=infinite>)" << 0;
        QTest::newRow("nominal: link, caret lands between the tags")
            << FileInsertStyle::Link << true << R"(<A HREF="photo.gif"></A>)" << 4;
        QTest::newRow("nominal: link in lower case")
            << FileInsertStyle::Link << false << R"(<a href="photo.gif"></a>)" << 4;
        QTest::newRow("nominal: text keeps the file's lines inside PRE")
            << FileInsertStyle::Text << true << "<PRE>\none\ntwo\n</PRE>" << 0;
        QTest::newRow("nominal: text in lower case")
            << FileInsertStyle::Text << false << "<pre>\none\ntwo\n</pre>" << 0;
        QTest::newRow("robustness: a style never chosen inserts a link")
            << FileInsertStyle::Unset << true << R"(<A HREF="photo.gif"></A>)" << 4;
        QTest::newRow("robustness: cancelled inserts nothing")
            << FileInsertStyle::No << true << "" << 0;
    }
    void snippets() {
        QFETCH(FileInsertStyle, style);
        QFETCH(bool, upper);
        const FileSnippet snippet =
            fileSnippet(style, QStringLiteral("photo.gif"), QStringLiteral("one\ntwo"), upper,
                        QStringLiteral("\""));
        QFETCH(QString, expected);
        QFETCH(int, caretBack);
        QCOMPARE(snippet.text, expected);
        QCOMPARE(snippet.caretBack, caretBack);
    }

    void nameKeptAsListed() {
        // Names are written as the folder lists them: no escaping, no case change.
        QCOMPARE(fileSnippet(FileInsertStyle::Link, QStringLiteral("My Page & Co.HTM"), {}, false,
                             QStringLiteral("\""))
                     .text,
                 QStringLiteral(R"(<a href="My Page & Co.HTM"></a>)"));
    }

    void treeLinks_data() {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: upper case")
            << true << R"(<A HREF="https://www.altavista.com/">AltaVista</A>)";
        QTest::newRow("nominal: lower case")
            << false << R"(<a href="https://www.altavista.com/">AltaVista</a>)";
    }
    void treeLinks() {
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QCOMPARE(treeLinkSnippet(QStringLiteral("https://www.altavista.com/"),
                                 QStringLiteral("AltaVista"), upper, QStringLiteral("\"")),
                 expected);
    }

    void nameFilters_data() {
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("nominal: every file, dotted or not") << "*.*" << QStringList{"*"};
        QTest::newRow("nominal: blanks after the separators are dropped")
            << "*.htm; *.html; *.gif; *.jpg" << QStringList{"*.htm", "*.html", "*.gif", "*.jpg"};
        QTest::newRow("robustness: empty pieces are skipped")
            << "*.htm;; ;" << QStringList{"*.htm"};
    }
    void nameFilters() {
        QFETCH(QString, patterns);
        QFETCH(QStringList, expected);
        QCOMPARE(nameFiltersFor(patterns), expected);
    }

    void filterBoxEntries() {
        QStringList descriptions;
        for (const FileFilter &filter : fileFilters())
            descriptions << filter.description;
        QCOMPARE(descriptions, (QStringList{"All files (*.*)", "All Web Files", "All Web Documents",
                                            "All Web Images"}));
    }

    void readText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: UTF-8 with CR LF line breaks")
            << QByteArray("<p>caf\xc3\xa9</p>\r\n<p>2</p>")
            << QString::fromUtf8("<p>café</p>\n<p>2</p>");
        QTest::newRow("robustness: Windows-1252 bytes are not corrupted")
            << QByteArray("caf\xe9 \x80") << QString::fromUtf8("café €");
        QTest::newRow("robustness: UTF-16 with its mark")
            << QByteArray("\xff\xfeh\0i\0", 6) << QStringLiteral("hi");
        QTest::newRow("robustness: empty file") << QByteArray() << QString();
    }
    void readText() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("f.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QString text = QStringLiteral("untouched");
        QCOMPARE(readTextForInsertion(file.fileName(), &text), QString());
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void unreadable() {
        QTemporaryDir dir;
        QFile big(dir.filePath(QStringLiteral("big.txt")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(LargestInsertedFile + 1)); // sparse: no real 64 MiB written
        big.close();
        const QStringList paths{dir.filePath(QStringLiteral("missing.txt")), dir.path(),
                                big.fileName()};
        for (const QString &path : paths) {
            QString text = QStringLiteral("untouched");
            const QString reason = readTextForInsertion(path, &text);
            QVERIFY2(!reason.isEmpty(), qPrintable(path));
            QCOMPARE(text, QStringLiteral("untouched"));
            QVERIFY(unreadableFileMessage(path, reason).contains(QDir::toNativeSeparators(path)));
        }
    }
};

VELLUMO_TEST_MAIN(TestFileSnippets)
#include "tst_file_snippets.moc"
