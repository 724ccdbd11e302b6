#include "app/tip_dialog.h"
#include "app/tips_file.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "scripted_platform.h"
#include "test_main.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

using namespace vellumo;

class TestTipDialog : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    PageEditor m_editor;
    InsertionCore m_core{&m_editor};
    ScriptedPlatform m_platform;
    DialogContext m_context{m_core, m_platform};

    void writeTips(const QByteArray &text) {
        QFile file(m_folder.filePath(QStringLiteral("Tips.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QString stored(const char *name) {
        return m_platform.readSetting(QLatin1String(name)).toString();
    }

private Q_SLOTS:
    void init() {
        ScriptedPlatform::clearSettings();
        m_platform.shown.clear();
        writeTips("[Orvanel]\nItems=2\n0=First tip\n1=Second, with a comma\n2 = \"Third\" \n");
    }

    void cyclesAcrossShowingsAndRuns() {
        TForm27 tip(m_context);
        tip.StartupFolder = m_folder.path();
        tip.FormShow();
        QCOMPARE(tip.tipText->toPlainText(), QStringLiteral("First tip"));
        QCOMPARE(stored("TNumber"), QStringLiteral("1"));
        tip.nextTipButton->click();
        QCOMPARE(tip.tipText->toPlainText(), QStringLiteral("Second, with a comma"));
        tip.nextTipButton->click();
        QCOMPARE(tip.tipText->toPlainText(), QStringLiteral("Third"));
        QCOMPARE(stored("TNumber"), QStringLiteral("0"));
        TForm27 nextRun(m_context);
        nextRun.StartupFolder = m_folder.path();
        nextRun.FormShow();
        QCOMPARE(nextRun.tipText->toPlainText(), QStringLiteral("First tip"));
        QCOMPARE(m_platform.shown.size(), 0);
    }

    void damagedState_data() {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("errors");
        QTest::newRow("robustness: a number past the last tip starts over") << "7"
                                                                            << "First tip" << 0;
        QTest::newRow("robustness: a damaged number is reported and starts over")
            << "x1"
            << "First tip" << 1;
    }
    void damagedState() {
        QFETCH(QString, number);
        m_platform.writeSetting(QStringLiteral("TNumber"), number);
        TForm27 tip(m_context);
        tip.StartupFolder = m_folder.path();
        tip.FormShow();
        QFETCH(QString, expected);
        QFETCH(int, errors);
        QCOMPARE(tip.tipText->toPlainText(), expected);
        QCOMPARE(m_platform.texts(QStringLiteral("error")).size(), errors);
        QCOMPARE(stored("TNumber"), QStringLiteral("1"));
    }

    void missingTipsFileIsReported() {
        TForm27 tip(m_context);
        tip.StartupFolder = m_folder.filePath(QStringLiteral("elsewhere"));
        tip.FormShow();
        QCOMPARE(m_platform.texts(QStringLiteral("error")).size(), 1);
        QVERIFY(m_platform.readSetting(QStringLiteral("TNumber")).isNull());
    }

    void missingTipShowsItsNumber() {
        writeTips("[orvanel]\nitems=1\n0=Only one\n");
        m_platform.writeSetting(QStringLiteral("TNumber"), QStringLiteral("1"));
        TForm27 tip(m_context);
        tip.StartupFolder = m_folder.path();
        tip.FormShow();
        QCOMPARE(tip.tipText->toPlainText(), QStringLiteral("1"));
        QCOMPARE(stored("TNumber"), QStringLiteral("0"));
    }

    void closeRemembersStartupChoice() {
        TForm27 tip(m_context);
        tip.StartupFolder = m_folder.path();
        tip.FormShow();
        QVERIFY(tip.showAtStartup->isChecked());
        tip.showAtStartup->setChecked(false);
        tip.closeButton->click();
        QCOMPARE(stored("Tip"), QStringLiteral("No"));
        tip.FormShow();
        QVERIFY(!tip.showAtStartup->isChecked());
        tip.showAtStartup->setChecked(true);
        tip.show();
        tip.close(); // the title bar's close box writes nothing
        QCOMPARE(stored("Tip"), QStringLiteral("No"));
    }

    void profileReading() {
        const TipsFile file = TipsFile::fromText(
            QStringLiteral("[Other]\n0=wrong\n[ORVANEL]\n ; a comment\n0 = 'quoted' \n0=second\n"
                           "1=50% off, \\n stays\n2=") +
            QString(2000, QLatin1Char('x')));
        QCOMPARE(file.value(TipsSection, QStringLiteral("0"), {}), QStringLiteral("quoted"));
        QCOMPARE(file.value(TipsSection, QStringLiteral("1"), {}),
                 QStringLiteral("50% off, \\n stays"));
        QCOMPARE(file.value(TipsSection, QStringLiteral("2"), {}).size(), 1023);
        QCOMPARE(file.value(TipsSection, QStringLiteral("9"), QStringLiteral("9")),
                 QStringLiteral("9"));
    }

    void shippedTipsFileIsWhole() {
        const TipsFile file = TipsFile::load(QStringLiteral(VELLUMO_SOURCE_DATA "/Tips.dat"));
        QVERIFY(file.exists());
        bool valid = false;
        const int last = file.value(TipsSection, QStringLiteral("Items"), {}).toInt(&valid);
        QVERIFY(valid);
        QVERIFY(last >= 19);
        for (int i = 0; i <= last; ++i)
            QVERIFY2(file.value(TipsSection, QString::number(i), {}).size() > 20,
                     qPrintable(QString::number(i)));
    }
};

VELLUMO_TEST_MAIN(TestTipDialog)
#include "tst_tip_dialog.moc"
