#include "generators/frameset.h"
#include "test_main.h"

#include <QRegularExpression>

using namespace vellumo;

namespace {

QList<FrameSettings> startFrames() {
    QList<FrameSettings> frames;
    for (int k = 1; k <= MaximumFrameCount; ++k)
        frames.append({QStringLiteral("Frame %1").arg(k), QStringLiteral("http://"),
                       QStringLiteral("Auto"), false});
    return frames;
}

} // namespace

class TestFrameset : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count"); // 0: no count
        for (int n = 2; n <= 8; ++n)
            QTest::addRow("nominal: \"%d\"", n) << QString::number(n) << n;
        QTest::newRow("robustness: one frame is too few") << "1" << 0;
        QTest::newRow("robustness: nine frames are too many") << "9" << 0;
        QTest::newRow("robustness: leading zero") << "02" << 0;
        QTest::newRow("robustness: leading space") << " 3" << 0;
        QTest::newRow("robustness: trailing space") << "3 " << 0;
        QTest::newRow("robustness: empty") << "" << 0;
        QTest::newRow("robustness: plus sign") << "+4" << 0;
        QTest::newRow("robustness: other digits") << "\u0663" << 0;
    }
    void countText() {
        QFETCH(QString, text);
        QFETCH(int, count);
        const std::optional<int> found = frameCountFromText(text);
        QCOMPARE(found.value_or(0), count);
    }

    void sizes_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("sizes");
        QTest::newRow("nominal: 2") << 2 << "27%,*";
        QTest::newRow("nominal: 3") << 3 << "27%,*,31%";
        QTest::newRow("nominal: 4") << 4 << "27%,*,16%,15%";
        QTest::newRow("nominal: 5") << 5 << "14%,13%,*,16%,15%";
        QTest::newRow("nominal: 6") << 6 << "14%,13%,*,21%,16%,15%";
        QTest::newRow("nominal: 7") << 7 << "14%,13%,*,11%,10%,16%,15%";
        QTest::newRow("nominal: 8") << 8 << "14%,7%,6%,*,11%,10%,16%,15%";
        QTest::newRow("robustness: 1") << 1 << "";
        QTest::newRow("robustness: 9") << 9 << "";
    }
    void sizes() {
        QFETCH(int, count);
        QTEST(framesetSizes(count), "sizes");
    }

    void example_data() {
        QTest::addColumn<bool>("upper");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: upper case rows, second frame not resizable")
            << true << int(FrameOrientation::Rows)
            << "<FRAMESET ROWS=\"27%,*,31%\">\n"
               "<FRAME NAME=\"Frame 1\" SRC=\"http://\" SCROLLING=\"Auto\">\n"
               "<FRAME NAME=\"Frame 2\" SRC=\"http://\" SCROLLING=\"Auto\" NORESIZE>\n"
               "<FRAME NAME=\"Frame 3\" SRC=\"http://\" SCROLLING=\"Auto\">\n"
               "</FRAMESET>\n";
        QTest::newRow("nominal: lower case columns, scrolling keeps its capital")
            << false << int(FrameOrientation::Columns)
            << "<frameset cols=\"27%,*,31%\">\n"
               "<frame name=\"Frame 1\" src=\"http://\" scrolling=\"Auto\">\n"
               "<frame name=\"Frame 2\" src=\"http://\" scrolling=\"Auto\" noresize>\n"
               "<frame name=\"Frame 3\" src=\"http://\" scrolling=\"Auto\">\n"
               "</frameset>\n";
    }
    void example() {
        QFETCH(bool, upper);
        QFETCH(int, orientation);
        QList<FrameSettings> frames = startFrames();
        frames[1].noResize = true;
        const QString block = buildFrameset(FrameLayout{FrameOrientation(orientation), 3}, frames,
                                            MarkupStyle{upper, "\""});
        QTEST(block, "expected");
    }

    // Every count, both orientations and both cases: n + 2 lines of the right form.
    void everyShape_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("rows");
        QTest::addColumn<bool>("upper");
        for (int n = 2; n <= 8; ++n)
            for (bool rows : {true, false})
                for (bool upper : {true, false})
                    QTest::addRow("nominal: %d %s %s", n, rows ? "rows" : "columns",
                                  upper ? "upper" : "lower")
                        << n << rows << upper;
    }
    void everyShape() {
        QFETCH(int, count);
        QFETCH(bool, rows);
        QFETCH(bool, upper);
        QList<FrameSettings> frames = startFrames();
        for (int k = 0; k < frames.size(); k += 2)
            frames[k].noResize = true;
        const QString block = buildFrameset(
            FrameLayout{rows ? FrameOrientation::Rows : FrameOrientation::Columns, count}, frames,
            MarkupStyle{upper, "\""});

        QVERIFY(block.endsWith(u'\n'));
        const QStringList lines = block.chopped(1).split(u'\n');
        QCOMPARE(lines.size(), count + 2);
        const QString start =
            rows ? QStringLiteral("<FRAMESET ROWS=") : QStringLiteral("<FRAMESET COLS=");
        const QString expectedStart =
            (upper ? start : start.toLower()) + u'"' + framesetSizes(count) + QStringLiteral("\">");
        QCOMPARE(lines.first(), expectedStart);
        QCOMPARE(lines.last(),
                 upper ? QStringLiteral("</FRAMESET>") : QStringLiteral("</frameset>"));
        for (int k = 1; k <= count; ++k) {
            QString expected =
                QStringLiteral("<FRAME NAME=\"Frame %1\" SRC=\"http://\" SCROLLING=\"Auto\"")
                    .arg(k);
            if ((k - 1) % 2 == 0)
                expected += QStringLiteral(" NORESIZE");
            if (!upper)
                expected =
                    expected.replace(QStringLiteral("<FRAME NAME="), QStringLiteral("<frame name="))
                        .replace(QStringLiteral(" SRC="), QStringLiteral(" src="))
                        .replace(QStringLiteral(" SCROLLING="), QStringLiteral(" scrolling="))
                        .replace(QStringLiteral(" NORESIZE"), QStringLiteral(" noresize"));
            QCOMPARE(lines.at(k), expected + u'>');
        }
    }

    void valuesAreWrittenAsTheyStand() {
        QList<FrameSettings> frames = startFrames();
        frames[0] = {QStringLiteral("a\"b"), QString(), QStringLiteral(" yes "), false};
        frames[1] = {QString(), QStringLiteral("<x>&"), QString(), true};
        frames[2].name = QStringLiteral("beyond the count");
        const QString block =
            buildFrameset(FrameLayout{FrameOrientation::Rows, 2}, frames, MarkupStyle{true, "\""});
        QCOMPARE(block, QStringLiteral("<FRAMESET ROWS=\"27%,*\">\n"
                                       "<FRAME NAME=\"a&quot;b\" SRC=\"\" SCROLLING=\" yes \">\n"
                                       "<FRAME NAME=\"\" SRC=\"<x>&\" SCROLLING=\"\" NORESIZE>\n"
                                       "</FRAMESET>\n"));
    }
};

VELLUMO_TEST_MAIN(TestFrameset)
#include "tst_frameset.moc"
