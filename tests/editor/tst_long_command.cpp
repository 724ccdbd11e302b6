#include "test_main.h"
#include "widgets/long_command.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <thread>

using namespace vellumo;

class TestLongCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A quick command shows nothing; a long one shows its progress window once
    // the wait is noticeable, and Cancel there stops the worker and says so.
    void progressWindowAndCancel_data() {
        QTest::addColumn<int>("workMs");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("nominal: a quick command shows nothing") << 20 << false;
        QTest::newRow("nominal: a long command shows its progress") << 400 << false;
        QTest::newRow("robustness: Cancel stops the worker") << 20000 << true;
    }
    void progressWindowAndCancel() {
        QFETCH(int, workMs);
        QFETCH(bool, cancel);
        QWidget window;
        window.show();
        LongCommand command(&window, QStringLiteral("Working..."), 100);
        bool shown = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto *dialog = window.findChild<QProgressDialog *>();
            if (dialog == nullptr || !dialog->isVisible())
                return;
            shown = true;
            if (cancel)
                dialog->findChild<QPushButton *>()->click();
        });
        watch.start(10);
        bool stoppedEarly = false;
        const auto started = std::chrono::steady_clock::now();
        const bool finished = command.runAside([&](const std::atomic_bool &stop) {
            while (std::chrono::steady_clock::now() - started < std::chrono::milliseconds(workMs)) {
                if (stop) {
                    stoppedEarly = true;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
        QCOMPARE(finished, !cancel);
        QCOMPARE(command.cancelled(), cancel);
        QCOMPARE(stoppedEarly, cancel);
        QCOMPARE(shown, workMs > 100);
        // Once cancelled, the command's later steps stop at once.
        QCOMPARE(command.step(1, 2), !cancel);
    }
};

VELLUMO_TEST_MAIN(TestLongCommand)
#include "tst_long_command.moc"
