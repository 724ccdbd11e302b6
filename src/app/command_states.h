#pragma once

#include "app/commands.h"

#include <QObject>

#include <vector>

class QAction;

namespace vellumo {

// The state of every command, kept in one place: whether each kind of its controls can be
// used (a row may give its kinds different rules: the Save button shows whether there is
// something to save while File > Save always saves) and whether it is checked. Each
// control is bound to its command when it is made and follows the command's state from
// then on: handlers set the state, never a control. A checkable control the user clicks
// goes back to the state afterwards, unless the command's handler changed the state.
class CommandStates final : public QObject {
    Q_OBJECT

public:
    explicit CommandStates(QObject *parent = nullptr);

    // `control`, of `kind`, follows `command`'s state from now on.
    void bind(Command command, Control::Kind kind, QAction *control);

    void setEnabled(Command command, Control::Kind kind, bool enabled);
    void setChecked(Command command, bool checked);
    bool isEnabled(Command command, Control::Kind kind) const;
    bool isChecked(Command command) const;

private:
    struct State {
        bool checked = false;
        bool enabled[3] = {true, true, true}; // by Control::Kind
        std::vector<std::pair<Control::Kind, QAction *>> controls;
    };
    State &state(Command command);
    const State *find(Command command) const;
    void show(const State &state) const;

    std::vector<State> m_states; // by the command's value
};

} // namespace vellumo
