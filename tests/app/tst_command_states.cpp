#include "app/command_states.h"

#include "test_main.h"

#include <QAction>
#include <QTest>

using namespace vellumo;

// A command's controls follow its one state.
class TestCommandStates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyControlFollowsTheCommandsState() {
        CommandStates states;
        QAction button;
        QAction entry;
        QAction key;
        for (QAction *checkable : {&button, &entry})
            checkable->setCheckable(true);
        states.bind(Command::LineNumbers, Control::Button, &button);
        states.bind(Command::LineNumbers, Control::MenuEntry, &entry);
        states.bind(Command::LineNumbers, Control::HiddenKey, &key);
        states.setChecked(Command::LineNumbers, true);
        QVERIFY(button.isChecked() && entry.isChecked());
        // A kind's own rule: the button dims, the menu entry and the key stay.
        states.setEnabled(Command::LineNumbers, Control::Button, false);
        QVERIFY(!button.isEnabled() && entry.isEnabled() && key.isEnabled());
        // A control bound later starts in the state.
        QAction late;
        late.setCheckable(true);
        states.bind(Command::LineNumbers, Control::Button, &late);
        QVERIFY(late.isChecked() && !late.isEnabled());

        // A click toggles the control on its own; unless the command changed its state,
        // the control shows the state again once the click is handled.
        entry.trigger();
        QVERIFY(!entry.isChecked());
        QTRY_VERIFY(entry.isChecked());
        connect(&entry, &QAction::triggered, &states,
                [&states] { states.setChecked(Command::LineNumbers, false); });
        entry.trigger();
        QTest::qWait(0);
        QVERIFY(!entry.isChecked() && !button.isChecked() && !late.isChecked());
    }

    void aControlGoneIsForgotten() {
        CommandStates states;
        auto *gone = new QAction;
        states.bind(Command::Save, Control::Button, gone);
        delete gone;
        states.setEnabled(Command::Save, Control::Button, false);
        QVERIFY(!states.isEnabled(Command::Save, Control::Button));
        QVERIFY(states.isEnabled(Command::Save, Control::MenuEntry));
    }
};

VELLUMO_TEST_MAIN(TestCommandStates)
#include "tst_command_states.moc"
