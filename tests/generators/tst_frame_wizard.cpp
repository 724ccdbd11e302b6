#include "dialog_fixture.h"
#include "editor/insertion_core.h"
#include "generators/frame_wizard.h"
#include "scripted_platform.h"
#include "test_main.h"
#include "widgets/number_field.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace vellumo;

class TestFrameWizard : public QObject {
    Q_OBJECT

    std::unique_ptr<DialogFixture> m_fixture;
    std::unique_ptr<TForm13> m_step1;
    std::unique_ptr<TForm14> m_step2;
    bool m_step2Seen = false;

    // Runs `act` on step 2 once it is up as the modal window over step 1.
    void whenStep2Shows(std::function<void(TForm14 &)> act) {
        auto *timer = new QTimer(this);
        timer->setInterval(5);
        connect(timer, &QTimer::timeout, this, [this, timer, act] {
            if (QApplication::activeModalWidget() != m_step2.get())
                return;
            timer->stop();
            timer->deleteLater();
            m_step2Seen = true;
            act(*m_step2);
        });
        timer->start();
    }

    // Puts `text` in the editor with the characters [from, to) selected.
    void prepareEditor(const QString &text, int from, int to) { m_fixture->page(text, from, to); }

    void choose(bool rows, const QString &count) {
        (rows ? m_step1->rowsButton : m_step1->columnsButton)->setChecked(true);
        m_step1->countField->setText(count);
    }

    void verifyWizardAtStart() {
        QVERIFY(m_step1->rowsButton->isChecked());
        QVERIFY(!m_step1->columnsButton->isChecked());
        QCOMPARE(m_step1->countField->text(), QStringLiteral("2"));
        for (int k = 1; k <= 8; ++k) {
            const TForm14::FrameGroup &g = m_step2->Groups[std::size_t(k - 1)];
            QCOMPARE(g.name->text(), QStringLiteral("Frame %1").arg(k));
            QCOMPARE(g.address->text(), QStringLiteral("http://"));
            QCOMPARE(g.scrolling->currentText(), QStringLiteral("Auto"));
            QVERIFY(!g.noResize->isChecked());
        }
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<DialogFixture>(true);
        m_step1 = std::make_unique<TForm13>(m_fixture->context);
        m_step2 = std::make_unique<TForm14>(m_fixture->context);
        m_step1->setFrameDetails(m_step2.get());
        m_step2Seen = false;
        m_step1->show();
    }
    void cleanup() {
        QVERIFY2(m_fixture->platform.unexpected.isEmpty(),
                 qPrintable(m_fixture->platform.unexpected.join(", ")));
        m_step1.reset();
        m_step2.reset();
        m_fixture.reset();
    }

    void stepsOpenAsDesigned() {
        QCOMPARE(m_step1->objectName(), QStringLiteral("Form13"));
        QCOMPARE(m_step2->objectName(), QStringLiteral("Form14"));
        QCOMPARE(m_step1->windowTitle(), QStringLiteral("Frame Wizard"));
        QCOMPARE(m_step2->windowTitle(), QStringLiteral("Frame Wizard"));
        QCOMPARE(m_step1->rowsButton->text(), QStringLiteral("Rows"));
        QCOMPARE(m_step1->columnsButton->text(), QStringLiteral("Columns"));
        QVERIFY(m_step1->findChild<QWidget *>(QStringLiteral("UpDown1")));
        QVERIFY(m_step1->okButton()->isDefault());
        verifyWizardAtStart();

        m_step2->show();
        const QStringList items{"Auto", "Yes", "No"};
        for (int k = 1; k <= 8; ++k) {
            auto *box = m_step2->findChild<QGroupBox *>(QStringLiteral("GroupBox%1").arg(k));
            QVERIFY(box);
            QCOMPARE(box->title(), QStringLiteral("Frame %1").arg(k));
            QVERIFY(box->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(2 * k - 1)));
            QVERIFY(box->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(2 * k)));
            auto *combo = box->findChild<QComboBox *>(QStringLiteral("ComboBox%1").arg(k));
            QVERIFY(combo && combo->isEditable());
            QStringList listed;
            for (int i = 0; i < combo->count(); ++i)
                listed << combo->itemText(i);
            QCOMPARE(listed, items);
            QVERIFY(box->findChild<QCheckBox *>(QStringLiteral("CheckBox%1").arg(k)));
        }
        // Groups 1 to 4 down the left column, 5 to 8 down the right one.
        const auto at = [this](int k) {
            return m_step2->findChild<QGroupBox *>(QStringLiteral("GroupBox%1").arg(k))->pos();
        };
        for (int k : {1, 2, 3, 5, 6, 7})
            QVERIFY(at(k).y() < at(k + 1).y());
        QVERIFY(at(1).x() < at(5).x());
        QCOMPARE(at(1).y(), at(5).y());
        m_step2->close();
    }

    void arrowsStopAtTheEnds() {
        auto *up = m_step1->Count->upButton();
        auto *down = m_step1->Count->downButton();
        for (int i = 0; i < 10; ++i)
            up->click();
        QCOMPARE(m_step1->countField->text(), QStringLiteral("8"));
        for (int i = 0; i < 10; ++i)
            down->click();
        QCOMPARE(m_step1->countField->text(), QStringLiteral("2"));
        m_step1->countField->setText(QStringLiteral("5"));
        up->click();
        QCOMPARE(m_step1->countField->text(), QStringLiteral("6"));
    }

    void okWritesTheFrameset_data() {
        QTest::addColumn<TagCase>("tagCase");
        QTest::addColumn<bool>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nominal: upper case rows")
            << UpperTagCase << true
            << "ab<FRAMESET ROWS=\"27%,*,31%\">\n"
               "<FRAME NAME=\"Frame 1\" SRC=\"http://\" SCROLLING=\"Auto\">\n"
               "<FRAME NAME=\"Frame 2\" SRC=\"http://\" SCROLLING=\"Auto\" NORESIZE>\n"
               "<FRAME NAME=\"Frame 3\" SRC=\"http://\" SCROLLING=\"Auto\">\n"
               "</FRAMESET>\nyz";
        QTest::newRow("nominal: lower case columns")
            << LowerTagCase << false
            << "ab<frameset cols=\"27%,*,31%\">\n"
               "<frame name=\"Frame 1\" src=\"http://\" scrolling=\"Auto\">\n"
               "<frame name=\"Frame 2\" src=\"http://\" scrolling=\"Auto\" noresize>\n"
               "<frame name=\"Frame 3\" src=\"http://\" scrolling=\"Auto\">\n"
               "</frameset>\nyz";
        QTest::newRow("robustness: a tag case other than exactly upper is lower")
            << static_cast<TagCase>(2) << false
            << "ab<frameset cols=\"27%,*,31%\">\n"
               "<frame name=\"Frame 1\" src=\"http://\" scrolling=\"Auto\">\n"
               "<frame name=\"Frame 2\" src=\"http://\" scrolling=\"Auto\" noresize>\n"
               "<frame name=\"Frame 3\" src=\"http://\" scrolling=\"Auto\">\n"
               "</frameset>\nyz";
    }
    void okWritesTheFrameset() {
        QFETCH(TagCase, tagCase);
        QFETCH(bool, rows);
        m_fixture->core.setTagCase(tagCase);
        prepareEditor(QStringLiteral("abSELECTEDyz"), 2, 10);
        m_fixture->core.page().setModified(false);
        choose(rows, QStringLiteral("3"));
        whenStep2Shows([](TForm14 &step2) {
            step2.Groups[1].noResize->setChecked(true);
            QTest::mouseClick(step2.okButton(), Qt::LeftButton);
        });

        QTest::mouseClick(m_step1->okButton(), Qt::LeftButton);

        QVERIFY(m_step2Seen);
        QFETCH(QString, expected);
        QCOMPARE(m_fixture->text(), expected);
        // The caret stands at the start of the line after the frameset.
        QCOMPARE(m_fixture->caret(), int(expected.size()) - 2);
        QVERIFY(!m_fixture->core.page().hasSelection());
        QVERIFY(m_fixture->core.page().isModified());
        QVERIFY(!m_step1->isVisible());
        QVERIFY(!m_step2->isVisible());
        verifyWizardAtStart();

        // One undo step takes the whole frameset back.
        m_fixture->editor.undo();
        QCOMPARE(m_fixture->text(), QStringLiteral("abSELECTEDyz"));
    }

    // The way the main window runs it: step 1 modal, step 2 modal over it.
    void modalRunFromTheStart() {
        m_step1->hide();
        QTimer::singleShot(0, this, [this] {
            QCOMPARE(QApplication::activeModalWidget(), m_step1.get());
            choose(true, QStringLiteral("2"));
            m_step1->okButton()->click();
        });
        whenStep2Shows([](TForm14 &step2) { step2.okButton()->click(); });

        m_step1->exec();

        QVERIFY(m_step2Seen);
        QVERIFY(!m_step1->isVisible());
        QCOMPARE(m_fixture->text().count(u'\n'), 4);
    }

    void framesBeyondTheCountAreIgnored() {
        choose(true, QStringLiteral("2"));
        whenStep2Shows([](TForm14 &step2) {
            for (std::size_t k = 2; k < 8; ++k) {
                step2.Groups[k].name->setText(QStringLiteral("extra"));
                step2.Groups[k].noResize->setChecked(true);
            }
            step2.Groups[0].scrolling->setEditText(QStringLiteral("maybe"));
            step2.Groups[1].address->setText(QString());
            step2.okButton()->click();
        });
        m_step1->okButton()->click();

        QCOMPARE(m_fixture->text(),
                 QStringLiteral("<FRAMESET ROWS=\"27%,*\">\n"
                                "<FRAME NAME=\"Frame 1\" SRC=\"http://\" SCROLLING=\"maybe\">\n"
                                "<FRAME NAME=\"Frame 2\" SRC=\"\" SCROLLING=\"Auto\">\n"
                                "</FRAMESET>\n"));
        verifyWizardAtStart();
    }

    void cancelInStep1KeepsTheChoice_data() {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("nominal: Cancel button") << false;
        QTest::newRow("nominal: Escape") << true;
    }
    void cancelInStep1KeepsTheChoice() {
        QFETCH(bool, byEscape);
        choose(false, QStringLiteral("5"));
        if (byEscape)
            QTest::keyClick(m_step1->countField, Qt::Key_Escape);
        else
            m_step1->cancelButton()->click();

        QVERIFY(!m_step1->isVisible());
        m_step1->show();
        QVERIFY(m_step1->columnsButton->isChecked());
        QCOMPARE(m_step1->countField->text(), QStringLiteral("5"));
        QVERIFY(m_fixture->text().isEmpty());
    }

    void leavingStep2EndsTheWizard_data() {
        QTest::addColumn<int>("road");
        QTest::newRow("nominal: Cancel button") << 0;
        QTest::newRow("nominal: close box") << 1;
    }
    void leavingStep2EndsTheWizard() {
        QFETCH(int, road);
        choose(false, QStringLiteral("5"));
        whenStep2Shows([road](TForm14 &step2) {
            step2.Groups[0].name->setText(QStringLiteral("changed"));
            step2.Groups[4].noResize->setChecked(true);
            if (road == 0)
                step2.cancelButton()->click();
            else
                step2.close();
        });
        m_step1->okButton()->click();

        QVERIFY(m_step2Seen);
        QVERIFY(m_fixture->text().isEmpty());
        QVERIFY(!m_step1->isVisible());
        QVERIFY(!m_step2->isVisible());
        verifyWizardAtStart();
    }

    void escapeInStep2DoesNothing() {
        m_step2->show();
        m_step2->Groups[0].name->setText(QStringLiteral("kept"));
        QTest::keyClick(m_step2->Groups[0].name, Qt::Key_Escape);
        QVERIFY(m_step2->isVisible());
        QCOMPARE(m_step2->Groups[0].name->text(), QStringLiteral("kept"));
        m_step2->close();
    }

    void helpKeyOpensTheTopic() {
        QTest::keyClick(m_step1->countField, Qt::Key_F1);
        m_step2->show();
        QTest::keyClick(m_step2->Groups[0].name, Qt::Key_F1);
        QCOMPARE(m_fixture->platform.helpTopics, (QList<int>{45, 45}));
        m_step2->close();
    }

    void unknownCountIsRefused_data() {
        QTest::addColumn<QString>("count");
        QTest::newRow("robustness: nine") << "9";
        QTest::newRow("robustness: one") << "1";
        QTest::newRow("robustness: leading zero") << "02";
        QTest::newRow("robustness: empty") << "";
    }
    void unknownCountIsRefused() {
        QFETCH(QString, count);
        choose(false, count);
        prepareEditor(QStringLiteral("text"), 0, 4);
        whenStep2Shows([](TForm14 &step2) { step2.okButton()->click(); });

        m_step1->okButton()->click();

        QVERIFY(!m_step2Seen);
        QCOMPARE(m_fixture->platform.shown.size(), 1);
        QCOMPARE(m_fixture->platform.shown.first().kind, QStringLiteral("error"));
        QCOMPARE(m_fixture->platform.shown.first().caption, QStringLiteral("Error"));
        QCOMPARE(m_fixture->platform.shown.first().text,
                 QStringLiteral("The number of frames must be from 2 to 8."));
        QVERIFY(m_step1->isVisible());
        QCOMPARE(m_step1->countField->text(), count);
        QVERIFY(m_step1->columnsButton->isChecked());
        QCOMPARE(m_fixture->text(), QStringLiteral("text"));
        // The pending step-2 action must not fire in a later test.
        qDeleteAll(findChildren<QTimer *>());
    }
};

VELLUMO_TEST_MAIN(TestFrameWizard)
#include "tst_frame_wizard.moc"
