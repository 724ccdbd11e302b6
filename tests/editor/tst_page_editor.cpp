#include "editor/page_editor.h"
#include "editor/page_layout.h"
#include "editor/page_loader.h"
#include "test_main.h"

#include <QClipboard>
#include <QMimeData>
#include <QTextCursor>

using namespace vellumo;

namespace {

void select(QPlainTextEdit &editor, int anchor, int position) {
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

} // namespace

class TestPageEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { QGuiApplication::clipboard()->clear(); }

    void usesThePageLayout() {
        PageEditor editor;
        QVERIFY(qobject_cast<PageDocumentLayout *>(editor.document()->documentLayout()));
        editor.setPlainText(QStringLiteral("<HTML>\n</HTML>"));
        QVERIFY(qobject_cast<PageDocumentLayout *>(editor.document()->documentLayout()));
    }

    // Each page opened hands the editor a new document and the old one goes: the
    // editor's first document inside setDocument, before the caret is reported moved,
    // the later ones right after. Nothing the editor keeps of a page (the caret's line,
    // the marked tags) may be read once its document is gone. (The tests fill freed
    // memory, so a read of it from inside Qt crashes here.)
    void pagesComeAndGo() {
        PageEditor editor;
        editor.resize(400, 300);
        editor.show();
        for (int page = 0; page < 4; ++page) {
            const QString text =
                QStringLiteral("<a href=\"x\">y</a>\n<p>page %1</p>\n").arg(page).repeated(3);
            QTextCursor caret = editor.textCursor();
            caret.movePosition(QTextCursor::End);
            editor.setTextCursor(caret);
            editor.setMarkedRanges({{0, 3}});
            attachPageDocument(&editor, buildPageDocument(QString(text), *editor.document()));
            QCOMPARE(editor.toPlainText(), text);
            QVERIFY(editor.markedRanges().isEmpty());
            caret = editor.textCursor();
            caret.setPosition(text.size() - 2);
            editor.setTextCursor(caret);
            editor.repaint();
        }
    }

    void copyAndPaste_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("copied");

        QTest::newRow("nominal: a selection over lines keeps its line breaks")
            << "<P>one</P>\n<P>two</P>\nend" << 3 << 17 << "one</P>\n<P>two";
        QTest::newRow("nominal: selected backwards") << "<B>bold</B>" << 7 << 3 << "bold";
        QTest::newRow("robustness: non-breaking spaces stay what they are")
            << QStringLiteral("a\u00A0b\u00A0\u00A0c") << 0 << 6
            << QStringLiteral("a\u00A0b\u00A0\u00A0c");
        QTest::newRow("robustness: empty lines and the page's last line")
            << "x\n\n\ny" << 0 << 5 << "x\n\n\ny";
    }
    // Cut puts exactly the selected characters on the clipboard, as plain text
    // only; pasting them back gives the page as it was, and one undo each.
    void copyAndPaste() {
        QFETCH(QString, page);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, copied);
        PageEditor editor;
        editor.setPlainText(page);
        select(editor, anchor, position);

        editor.cut();

        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->text(), copied);
        QCOMPARE(editor.document()->characterCount() - 1, page.size() - copied.size());

        editor.paste();
        QCOMPARE(editor.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n'), page);
        QCOMPARE(editor.textCursor().position(), qMax(anchor, position));
        editor.undo();
        QCOMPARE(editor.document()->characterCount() - 1, page.size() - copied.size());
        editor.undo();
        QCOMPARE(editor.document()->toRawText().replace(QChar::ParagraphSeparator, u'\n'), page);
    }

    void pasteTakesPlainText_data() {
        QTest::addColumn<QStringList>("formats");
        QTest::addColumn<QStringList>("contents");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nominal: plain text replaces the selection")
            << QStringList{"text/plain"} << QStringList{"<I>new</I>"} << "a<I>new</I>d";
        QTest::newRow("nominal: CR LF and CR become line breaks")
            << QStringList{"text/plain"} << QStringList{"1\r\n2\r3"} << "a1\n2\n3d";
        QTest::newRow("robustness: Markdown offered first, its plain text goes in")
            << QStringList{"text/markdown", "text/plain"} << QStringList{"**b**", "**b**"}
            << "a**b**d";
        QTest::newRow("robustness: HTML with plain text, the plain text goes in")
            << QStringList{"text/html", "text/plain"} << QStringList{"<b>x</b>", "x"} << "axd";
        QTest::newRow("robustness: a copied file goes in as its address")
            << QStringList{"text/uri-list"} << QStringList{"file:///tmp/x.htm"}
            << "afile:///tmp/x.htmd";
        QTest::newRow("robustness: no text at all leaves the page alone")
            << QStringList{"image/png"} << QStringList{"PNG"} << "abcd";
    }
    void pasteTakesPlainText() {
        QFETCH(QStringList, formats);
        QFETCH(QStringList, contents);
        QFETCH(QString, expected);
        PageEditor editor;
        editor.setPlainText(QStringLiteral("abcd"));
        select(editor, 1, 3);
        auto *data = new QMimeData;
        for (int i = 0; i < formats.size(); ++i)
            data->setData(formats.at(i), contents.at(i).toUtf8());
        QGuiApplication::clipboard()->setMimeData(data);

        editor.paste();

        QCOMPARE(editor.toPlainText(), expected);
        if (expected != u"abcd") {
            editor.undo();
            QCOMPARE(editor.toPlainText(), QStringLiteral("abcd"));
        }
    }

    void readOnlyPageIsNotPastedInto() {
        PageEditor editor;
        editor.setPlainText(QStringLiteral("abcd"));
        editor.setReadOnly(true);
        QGuiApplication::clipboard()->setText(QStringLiteral("x"));
        editor.paste();
        QCOMPARE(editor.toPlainText(), QStringLiteral("abcd"));
    }
};

VELLUMO_TEST_MAIN(TestPageEditor)
#include "tst_page_editor.moc"
