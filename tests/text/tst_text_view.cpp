#include "text/text_buffer.h"
#include "text/text_view.h"

#include "test_main.h"

#include <QClipboard>
#include <QScrollBar>

using namespace vellumo;

class TestTextView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Typed keys, Return and Backspace edit at the caret; each undoes on its own.
    void typingAndUndo() {
        TextBuffer buffer;
        buffer.open("x\ny");
        TextView view(&buffer);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&view, QStringLiteral("ab"));
        QTest::keyClick(&view, Qt::Key_Return);
        QTest::keyClicks(&view, QStringLiteral("c"));
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(buffer.text(), QStringLiteral("x\nyab\n"));
        QCOMPARE(view.caret(), 6);
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(buffer.text(), QStringLiteral("x\nyab\nc"));
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(buffer.text(), QStringLiteral("x\nyab"));
        QCOMPARE(view.caret(), 5);
        QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(buffer.text(), QStringLiteral("x\nyab\n"));
    }

    // A character written as a surrogate pair moves and goes as one; a selection
    // goes to the clipboard and comes back.
    void pairsSelectionAndClipboard() {
        TextBuffer buffer;
        buffer.open("a\xF0\x9F\x98\x80"
                    "b");
        TextView view(&buffer);
        view.show();
        QTest::keyClick(&view, Qt::Key_End);
        QTest::keyClick(&view, Qt::Key_Left);
        QTest::keyClick(&view, Qt::Key_Left);
        QCOMPARE(view.caret(), 1);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.selectedText(), QString::fromUtf8("\xF0\x9F\x98\x80"));
        QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(buffer.text(), QStringLiteral("ab"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("\xF0\x9F\x98\x80"));
        QTest::keyClick(&view, Qt::Key_End);
        QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Backspace);
        QCOMPARE(buffer.text(), QStringLiteral("ab"));
    }

    // The scroll range comes from the line count alone; Ctrl+End shows the last line.
    void scrollsToTheCaret() {
        TextBuffer buffer;
        buffer.open(QByteArray("<p>line</p>\n").repeated(1000));
        TextView view(&buffer);
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QScrollBar *bar = view.verticalScrollBar();
        QCOMPARE(bar->maximum(), 1000 * view.fontMetrics().lineSpacing());
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view.caret(), buffer.size());
        QCOMPARE(bar->value(),
                 bar->maximum() - view.viewport()->height() + view.fontMetrics().lineSpacing());
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(bar->value(), 0);
    }
};

VELLUMO_TEST_MAIN(TestTextView)
#include "tst_text_view.moc"
