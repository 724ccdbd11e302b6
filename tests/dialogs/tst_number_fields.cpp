#include "test_main.h"
#include "widgets/number_field.h"
#include "widgets/numeric_edit.h"

#include <QLineEdit>
#include <QToolButton>

using namespace vellumo;

class TestNumberFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arrowsStepWithinTheRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: up from a number") << "4" << 1 << "5";
        QTest::newRow("nominal: down from a number") << "4" << -1 << "3";
        QTest::newRow("nominal: stops at the top") << "10" << 3 << "10";
        QTest::newRow("nominal: stops at zero") << "0" << -1 << "0";
        QTest::newRow("robustness: typed beyond the range comes back in") << "50" << -1 << "9";
        QTest::newRow("robustness: no number starts from the arrows' place") << "abc" << 1 << "1";
        QTest::newRow("robustness: empty field") << "" << 2 << "2";
    }
    void arrowsStepWithinTheRange() {
        QFETCH(QString, typed);
        QFETCH(int, steps);
        NumberField field(QStringLiteral("Edit3"), QStringLiteral("UpDown1"), 0, 10);
        field.setText(typed);
        field.stepBy(steps);
        QFETCH(QString, expected);
        QCOMPARE(field.text(), expected);
    }

    void typedTextIsKeptAndKeysStep() {
        NumberField field(QStringLiteral("Edit1"), QStringLiteral("UpDown1"), 0, 100);
        QCOMPARE(field.edit()->objectName(), QString("Edit1"));
        QCOMPARE(field.arrows()->objectName(), QString("UpDown1"));
        QVERIFY(field.upButton()->focusPolicy() == Qt::NoFocus);
        QTest::keyClicks(field.edit(), QStringLiteral("50% "));
        QCOMPARE(field.text(), QString("50% "));
        field.setText(QStringLiteral("7"));
        QTest::keyClick(field.edit(), Qt::Key_Up);
        QCOMPARE(field.text(), QString("8"));
        field.downButton()->click();
        field.downButton()->click();
        QCOMPARE(field.text(), QString("6"));
        field.setEnabled(false);
        QVERIFY(!field.upButton()->isEnabled());
    }

    void numericEditTakesDigitsAndALeadingMinus_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: digits") << "0123456789"
                                         << "0123456789";
        QTest::newRow("nominal: leading minus") << "-12"
                                                << "-12";
        QTest::newRow("robustness: letters and signs refused") << "1a+.2 "
                                                               << "12";
        QTest::newRow("robustness: a second minus refused") << "-1-2"
                                                            << "-12";
    }
    void numericEditTakesDigitsAndALeadingMinus() {
        QFETCH(QString, keys);
        NumericEdit edit;
        QTest::keyClicks(&edit, keys);
        QFETCH(QString, expected);
        QCOMPARE(edit.text(), expected);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), expected.chopped(1));
    }
};

VELLUMO_TEST_MAIN(TestNumberFields)
#include "tst_number_fields.moc"
