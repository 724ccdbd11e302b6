// Pages in every encoding browsers read, opened, edited and saved through the
// document controller. The pages are generated from known text by the C
// library's iconv, which is not the converter the program reads them with.

#include "document/page_file.h"
#include "editor/document_controller.h"
#include "editor/encoding_menu.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "editor/title_dialog.h"
#include "files.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>

#include <iconv.h>

using namespace vellumo;

namespace {

QByteArray iconvBytes(const QString &text, const char *encoding) {
    const iconv_t cd = iconv_open(encoding, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<no such encoding>";
    QByteArray in = text.toUtf8();
    QByteArray out(in.size() * 4 + 16, '\0');
    char *inPtr = in.data();
    char *outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) &&
                    iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!ok)
        return "<unencodable>";
    out.truncate(out.size() - qsizetype(outLeft));
    return out;
}

enum Declaration { MetaCharset, HttpEquiv, Undeclared };

// A hand-written page holding `text`, its encoding declared in `style`; the
// charset attribute is written in lower case, the http-equiv one in upper case.
QString handWrittenPage(const QString &text, Declaration style, const QString &label) {
    const QString declaration =
        style == MetaCharset ? QStringLiteral("<meta charset=\"%1\">\n").arg(label.toLower())
        : style == HttpEquiv ? QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" "
                                              "CONTENT=\"text/html; charset=%1\">\n")
                                   .arg(label.toUpper())
                             : QString();
    return QStringLiteral("<html><head>\n%1<title>%2</title>\n</head><body>\n<p>%2</p>\n<p>%2 "
                          "%2</p>\n<p>%2</p>\n</body></html>\n")
        .arg(declaration, text);
}

QString withBreaks(QString page, bool crlf) {
    return crlf ? page.replace(u'\n', QStringLiteral("\r\n")) : page;
}

struct Fixture {
    QWidget window;
    PageEditor *editor = new PageEditor(&window);
    InsertionCore core{editor};
    ScriptedPlatform platform;
    TForm2 title{&window};
    QAction save{nullptr};
    DocumentController doc{core, platform, title, &window};
    QSignalSpy notices{&doc, &DocumentController::notice};

    Fixture() {
        QObject::connect(&doc, &DocumentController::saveWanted, &save, &QAction::setEnabled);
    }
    void typeAt(int position, const QString &text) {
        QTextCursor cursor(editor->document());
        cursor.setPosition(position);
        editor->setTextCursor(cursor);
        core.InsertAtCaret(text);
    }
    QString lastNotice() const {
        return notices.isEmpty() ? QString() : notices.last().first().toString();
    }
};

} // namespace

Q_DECLARE_METATYPE(Declaration)
Q_DECLARE_METATYPE(vellumo::TextEncoding)

class TestPageEncodings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void everyEncoding_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("iconvName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Declaration>("style");
        QTest::addColumn<bool>("crlf");
        // Whether the text is known without a declaration: the detector cannot
        // tell a few code pages from their neighbours on a short page.
        QTest::addColumn<bool>("detectable");

        const QString russian = QStringLiteral("Привет, мир! Съешь же ещё этих мягких "
                                               "французских булок, да выпей чаю.");
        const QString greek = QStringLiteral("Γειά σου Κόσμε! Ξεσκεπάζω την ψυχοφθόρα βδελυγμία.");
        const QString polish = QStringLiteral("Zażółć gęślą jaźń. Pchnąć w tę łódź jeża lub ośm "
                                              "skrzyń fig.");
        const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy.");
        const QString turkish =
            QStringLiteral("Pijamalı hasta yağız şoföre çabucak güvendi. Öğün ışığı.");
        const QString hebrew = QStringLiteral("שלום עולם! דג סקרן שט בים מאוכזב ולפתע מצא חברה.");
        const QString arabic = QStringLiteral("مرحبا بالعالم، نص حكيم له سر قاطع وذو شأن عظيم.");
        const QString thai = QStringLiteral("สวัสดีชาวโลก เป็นมนุษย์สุดประเสริฐเลิศคุณค่า");
        const QString japanese =
            QStringLiteral("こんにちは世界。いろはにほへと、ちりぬるを。日本語のページです。");
        const QString chinese = QStringLiteral("你好，世界！我能吞下玻璃而不伤身体。中文网页。");
        const QString traditional =
            QStringLiteral("你好，世界！我能吞下玻璃而不傷身體。中文網頁。");
        const QString korean = QStringLiteral("안녕하세요 세계! 다람쥐 헌 쳇바퀴에 타고파.");
        const struct {
            const char *label;
            const char *iconvName;
            QString text;
            bool detectable;
        } encodings[] = {
            {"UTF-8", "UTF-8", russian, true},
            {"UTF-16LE", "UTF-16LE", japanese, true},
            {"UTF-16BE", "UTF-16BE", greek, true},
            {"windows-1251", "CP1251", russian, true},
            {"KOI8-R", "KOI8-R", russian, true},
            {"KOI8-U", "KOI8-U", russian, true},
            {"IBM866", "CP866", russian, true},
            {"ISO-8859-5", "ISO-8859-5", russian, true},
            {"x-mac-cyrillic", "MAC-CYRILLIC", russian, true},
            {"windows-1253", "CP1253", greek, true},
            {"ISO-8859-7", "ISO-8859-7", greek, true},
            {"windows-1250", "CP1250", polish, true},
            {"ISO-8859-2", "ISO-8859-2", czech, true},
            {"ISO-8859-13", "ISO-8859-13", polish, true},
            {"ISO-8859-16", "ISO-8859-16", polish, true},
            {"windows-1254", "CP1254", turkish, true},
            {"ISO-8859-3", "ISO-8859-3", turkish, true},
            {"windows-1255", "CP1255", hebrew, true},
            {"ISO-8859-8", "ISO-8859-8", hebrew, true},
            {"windows-1256", "CP1256", arabic, true},
            {"ISO-8859-6", "ISO-8859-6", arabic, true},
            {"windows-874", "CP874", thai, true},
            {"Shift_JIS", "CP932", japanese, true},
            {"EUC-JP", "EUC-JP", japanese, true},
            {"ISO-2022-JP", "ISO-2022-JP", japanese, true},
            {"GBK", "GBK", chinese, true},
            {"gb18030", "GB18030", chinese, true},
            {"Big5", "BIG5", traditional, true},
            {"EUC-KR", "CP949", korean, true},
            {"windows-1257", "CP1257", QStringLiteral("Labas pasauli, ąčęėįšųūž ĄČĘĖĮŠŲŪŽ."),
             false},
            {"ISO-8859-4", "ISO-8859-4", QStringLiteral("Sveika, pasaule! āēīū ķļņ ŗ ĸ."), false},
            {"ISO-8859-10", "ISO-8859-10", QStringLiteral("Þórður og Ŋ ŧ ĸ ū ð æ."), false},
            {"ISO-8859-14", "ISO-8859-14", QStringLiteral("Helô byd, ŵŷ ẁẃ ẅ ỳ Ḃḃ."), false},
            {"ISO-8859-15", "ISO-8859-15", QStringLiteral("Œuvre à 5 €, ça coûte ÿ."), true},
            {"macintosh", "MACINTOSH", QStringLiteral("Déjà vu — façade “ﬁn”."), false},
            {"windows-1258", "CP1258", QStringLiteral("Đơn ưu, đà ơn Ư."), false},
            {"windows-1252", "CP1252", QStringLiteral("Café — “quoted” œuvre."), true},
        };
        const struct {
            Declaration style;
            const char *name;
        } styles[] = {
            {MetaCharset, "meta charset"}, {HttpEquiv, "http-equiv"}, {Undeclared, "undeclared"}};
        for (const auto &encoding : encodings)
            for (const auto &style : styles)
                for (const bool crlf : {false, true})
                    QTest::addRow("%s, %s, %s", encoding.label, style.name, crlf ? "CR LF" : "LF")
                        << QString::fromLatin1(encoding.label) << QByteArray(encoding.iconvName)
                        << encoding.text << style.style << crlf << encoding.detectable;
    }
    void everyEncoding() {
        QFETCH(QString, label);
        QFETCH(QByteArray, iconvName);
        QFETCH(QString, text);
        QFETCH(Declaration, style);
        QFETCH(bool, crlf);
        QFETCH(bool, detectable);

        const QString page = handWrittenPage(text, style, label);
        const QByteArray bytes = iconvBytes(withBreaks(page, crlf), iconvName);
        const QString path = m_dir.filePath(QStringLiteral("page.htm"));
        writeBytes(path, bytes);
        Fixture f;
        QVERIFY(f.doc.openFile(path));
        const bool known = style != Undeclared || detectable;
        if (known)
            QCOMPARE(f.doc.pageText(), page);

        // Saved without an edit: the very bytes.
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), bytes);

        // An edit changes only the edited bytes.
        f.typeAt(static_cast<int>(f.doc.pageText().lastIndexOf(QStringLiteral("<p>"))),
                 QStringLiteral("X"));
        QVERIFY(f.doc.Save1Click());
        QByteArray edited = bytes;
        edited.insert(bytes.lastIndexOf(iconvBytes(QStringLiteral("<p>"), iconvName)),
                      iconvBytes(QStringLiteral("X"), iconvName));
        QCOMPARE(fileBytes(path), edited);
        if (!known)
            return;

        // Saved as UTF-8: the declaration says so, changed in the same save as
        // one undo step.
        QVERIFY(f.doc.setSaveEncoding(QStringLiteral("utf-8")));
        QVERIFY(f.platform.texts("ask").isEmpty());
        QVERIFY(f.doc.Save1Click());
        QString inUtf8 = page;
        inUtf8.insert(inUtf8.lastIndexOf(QStringLiteral("<p>")), u'X');
        if (style != Undeclared)
            inUtf8.replace(style == MetaCharset ? label.toLower() : label.toUpper(),
                           style == MetaCharset ? QStringLiteral("utf-8")
                                                : QStringLiteral("UTF-8"));
        QCOMPARE(fileBytes(path), withBreaks(inUtf8, crlf).toUtf8());
        if (style != Undeclared && label != QLatin1String("UTF-8")) {
            QVERIFY2(f.lastNotice().contains(QStringLiteral("declaration now says")),
                     qPrintable(f.lastNotice()));
            f.editor->undo();
            QVERIFY2(
                f.doc.pageText().contains(style == MetaCharset ? label.toLower() : label.toUpper()),
                qPrintable(f.doc.pageText().left(200)));
        }
        QVERIFY(f.platform.unexpected.isEmpty());
    }

    // Pages a converter would not give back whole, and declarations that lie.
    void pagesNotWrittenTheUsualWay_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");      // as shown
        QTest::addColumn<QString>("encoding");  // the encoding it is read in
        QTest::addColumn<QString>("note");      // part of what the status bar says; "" nothing
        QTest::addColumn<QByteArray>("edited"); // after typing "X" at the start of the last line

        QTest::newRow("nominal: UTF-16 LE without a byte-order mark")
            << iconvBytes(QStringLiteral("<p>日本語</p>\n<p>end</p>"), "UTF-16LE")
            << QStringLiteral("<p>日本語</p>\n<p>end</p>") << "UTF-16LE"
            << "" << iconvBytes(QStringLiteral("<p>日本語</p>\nX<p>end</p>"), "UTF-16LE");
        QTest::newRow("robustness: declared UTF-8, written in windows-1251")
            << QByteArray("<meta charset=utf-8><p>") +
                   iconvBytes(QStringLiteral("Привет, мир! Съешь же ещё этих мягких булок."),
                              "CP1251") +
                   "</p>\n<p>end</p>"
            << QStringLiteral("<meta charset=utf-8><p>Привет, мир! Съешь же ещё этих мягких "
                              "булок.</p>\n<p>end</p>")
            << "windows-1251"
            << "The page declares utf-8, but its bytes are not utf-8: it was read as windows-1251."
            << QByteArray("<meta charset=utf-8><p>") +
                   iconvBytes(QStringLiteral("Привет, мир! Съешь же ещё этих мягких булок."),
                              "CP1251") +
                   "</p>\nX<p>end</p>";
        // ESC $ @ (the 1978 set) and ESC ( J (JIS Roman): read, and kept as written.
        QTest::newRow("nominal: ISO-2022-JP escapes written another way")
            << QByteArray(
                   "<meta charset=iso-2022-jp>\n\x1B$@$3$s\x1B(B\n\x1B(Jab\x1B(B\n<p>end</p>")
            << QStringLiteral("<meta charset=iso-2022-jp>\nこん\nab\n<p>end</p>") << "ISO-2022-JP"
            << ""
            << QByteArray(
                   "<meta charset=iso-2022-jp>\n\x1B$@$3$s\x1B(B\n\x1B(Jab\x1B(B\nX<p>end</p>");
        QTest::newRow("robustness: Shift_JIS with a broken sequence")
            << QByteArray("<meta charset=shift_jis>\n\x82\xB1\x82\xF1\x82\xC9\x82\n"
                          "\x82\xBF\x82\xCD\n<p>end</p>")
            << QStringLiteral("<meta charset=shift_jis>\nこんに\uFFFD\nちは\n<p>end</p>")
            << "Shift_JIS"
            << "Some bytes of the page are not valid Shift_JIS"
            << QByteArray("<meta charset=shift_jis>\n\x82\xB1\x82\xF1\x82\xC9\x82\n"
                          "\x82\xBF\x82\xCD\nX<p>end</p>");
        QTest::newRow("robustness: UTF-8 with a stray byte")
            << QByteArray("<meta charset=utf-8>\r\n<p>\xC3\xA9t\xE9 \xE2\x80\x94 "
                          "\xC3\xA0 bient\xC3\xB4t</p>\r\n<p>end</p>")
            << QStringLiteral("<meta charset=utf-8>\n<p>ét\uFFFD — à bientôt</p>\n<p>end</p>")
            << "UTF-8"
            << "Some bytes of the page are not valid UTF-8"
            << QByteArray("<meta charset=utf-8>\r\n<p>\xC3\xA9t\xE9 \xE2\x80\x94 "
                          "\xC3\xA0 bient\xC3\xB4t</p>\r\nX<p>end</p>");
    }
    void pagesNotWrittenTheUsualWay() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(QString, note);
        QFETCH(QByteArray, edited);

        const QString path = m_dir.filePath(QStringLiteral("odd.htm"));
        writeBytes(path, bytes);
        Fixture f;
        QVERIFY(f.doc.openFile(path));
        QCOMPARE(f.doc.pageText(), text);
        QCOMPARE(encodingName(f.doc.format.encoding), encoding);
        QVERIFY2(note.isEmpty() ? f.notices.isEmpty() : f.lastNotice().startsWith(note),
                 qPrintable(f.lastNotice()));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), bytes);
        f.typeAt(f.editor->document()->lastBlock().position(), QStringLiteral("X"));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(fileBytes(path), edited);
        QVERIFY(f.platform.unexpected.isEmpty());
    }

    // Whatever the bytes and whatever encoding the user reads them in, a save
    // without an edit gives them back.
    void anyBytesComeBackInEveryEncoding_data() {
        QTest::addColumn<TextEncoding>("encoding");
        for (const TextEncoding encoding : allEncodings())
            QTest::newRow(qPrintable(encodingName(encoding))) << encoding;
    }
    void anyBytesComeBackInEveryEncoding() {
        QFETCH(TextEncoding, encoding);
        QRandomGenerator random(static_cast<quint32>(encoding));
        for (int round = 0; round < 20; ++round) {
            QByteArray bytes(1 + random.bounded(600), Qt::Uninitialized);
            for (char &b : bytes)
                b = random.bounded(8) == 0 ? '\n' : static_cast<char>(random.bounded(256));
            const DecodedPage page = decodePageAs(bytes, encoding);
            QCOMPARE(encodePage(page.text, page.format, page.lineBreakKinds, page.originalLines),
                     bytes);
        }
    }

    // The answer "write references" holds until the page is read again or its
    // encoding changes.
    void unencodableQuestionRemembersItsAnswer() {
        const QString path = m_dir.filePath(QStringLiteral("hungarian.htm"));
        writeBytes(path, "<meta charset=windows-1252><p>caf\xE9</p>");
        Fixture f;
        QVERIFY(f.doc.openFile(path));
        f.typeAt(0, QStringLiteral("ő"));
        f.platform.queueAnswer(QMessageBox::No);
        QVERIFY(f.doc.Save1Click());
        f.typeAt(0, QStringLiteral("ű"));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(f.platform.texts("ask").size(), 1);
        QCOMPARE(fileBytes(path),
                 QByteArray("&#369;&#337;<meta charset=windows-1252><p>caf\xE9</p>"));

        // Another encoding that holds them: no question, the declaration follows.
        QVERIFY(f.doc.setSaveEncoding(QStringLiteral("windows-1250")));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(f.platform.texts("ask").size(), 1);
        QCOMPARE(fileBytes(path), QByteArray("\xFB\xF5<meta charset=windows-1250><p>caf\xE9</p>"));

        // Read again: the question comes back.
        QVERIFY(f.doc.reopenWithEncoding(QStringLiteral("windows-1252")));
        f.typeAt(0, QStringLiteral("ő"));
        f.platform.queueAnswer(QMessageBox::Cancel);
        QVERIFY(!f.doc.Save1Click());
        QCOMPARE(f.platform.texts("ask").size(), 2);
        QVERIFY(f.platform.answersUsed());
    }

    // A page read in another encoding than it declares: the save asks whether the
    // declaration follows the encoding, once per page.
    void declarationNamingAnotherEncodingIsOfferedToFollow_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("Yes: it follows")
            << int(QMessageBox::Yes) << QByteArray("x<meta charset=utf-8><p>\xC3\xA9</p>");
        QTest::newRow("No: kept") << int(QMessageBox::No)
                                  << QByteArray("x<meta charset=windows-1251><p>\xC3\xA9</p>");
        QTest::newRow("Cancel: not saved")
            << int(QMessageBox::Cancel) << QByteArray("<meta charset=windows-1251><p>\xC3\xA9</p>");
    }
    void declarationNamingAnotherEncodingIsOfferedToFollow() {
        QFETCH(int, answer);
        const QString path = m_dir.filePath(QStringLiteral("declared.htm"));
        writeBytes(path, "<meta charset=windows-1251><p>\xC3\xA9</p>");
        Fixture f;
        QVERIFY(f.doc.openFile(path));
        QVERIFY(f.doc.reopenWithEncoding(QStringLiteral("utf-8")));
        f.typeAt(0, QStringLiteral("x"));
        f.platform.queueAnswer(QMessageBox::StandardButton(answer));
        QCOMPARE(f.doc.Save1Click(), answer != QMessageBox::Cancel);
        QTEST(fileBytes(path), "saved");
        QCOMPARE(f.platform.texts("ask"),
                 QStringList{"The page declares its encoding as windows-1251, but it is saved as "
                             "UTF-8.\n\nYes: change the declaration to UTF-8.\nNo: keep the "
                             "declaration as it is.\nCancel: do not save now."});
        if (answer == QMessageBox::Cancel)
            return;
        f.typeAt(0, QStringLiteral("y"));
        QVERIFY(f.doc.Save1Click());
        QCOMPARE(f.platform.texts("ask").size(), 1);
    }

    // A page read in the wrong encoding is read again in the one the user names;
    // unsaved changes are not dropped without a question.
    void reopenWithEncoding() {
        const QString path = m_dir.filePath(QStringLiteral("koi8.htm"));
        const QString text = QStringLiteral("<p>Съешь ещё</p>");
        writeBytes(path, iconvBytes(text, "KOI8-R"));
        Fixture f;
        QVERIFY(f.doc.openFile(path));
        f.typeAt(0, QStringLiteral("x"));
        f.platform.queueAnswer(QMessageBox::No);
        QVERIFY(!f.doc.reopenWithEncoding(QStringLiteral("cskoi8r")));
        QVERIFY(f.doc.pageText().startsWith(u'x'));
        f.platform.queueAnswer(QMessageBox::Yes);
        QVERIFY(f.doc.reopenWithEncoding(QStringLiteral("cskoi8r")));
        QCOMPARE(f.doc.pageText(), text);
        QCOMPARE(f.doc.format.encoding, TextEncoding::Koi8R);
        QCOMPARE(f.lastNotice(), QStringLiteral("The page was read again as KOI8-R."));
        // The same from the menu, which checks the page's encoding.
        std::unique_ptr<QMenu> menu(makeReopenWithEncodingMenu(f.doc, nullptr));
        QCOMPARE(menu->menuAction()->objectName(), QStringLiteral("ReopenWithEncoding1"));
        QCOMPARE(menu->actions().size(), allEncodings().size());
        menu->findChild<QAction *>(QStringLiteral("ReopenWithEncoding_windows-1251"))->trigger();
        QCOMPARE(f.doc.format.encoding, TextEncoding::Windows1251);
        QVERIFY(f.doc.pageText() != text);
        QVERIFY(menu->findChild<QAction *>(QStringLiteral("ReopenWithEncoding_windows-1251"))
                    ->isChecked());
        QVERIFY(!f.doc.reopenWithEncoding(QStringLiteral("klingon")));
        QCOMPARE(f.platform.texts("error"), QStringList{"There is no encoding named \"klingon\"."});
        QVERIFY(f.platform.answersUsed());
    }
};

VELLUMO_TEST_MAIN(TestPageEncodings)
#include "tst_page_encodings.moc"
