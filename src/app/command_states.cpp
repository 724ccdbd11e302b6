#include "app/command_states.h"

#include <QAction>

namespace vellumo {

CommandStates::CommandStates(QObject *parent)
    : QObject(parent) {
}

CommandStates::State &CommandStates::state(Command command) {
    const auto index = static_cast<std::size_t>(command);
    if (index >= m_states.size())
        m_states.resize(index + 1);
    return m_states[index];
}

const CommandStates::State *CommandStates::find(Command command) const {
    const auto index = static_cast<std::size_t>(command);
    return index < m_states.size() ? &m_states[index] : nullptr;
}

void CommandStates::show(const State &state) const {
    for (const auto &[kind, control] : state.controls) {
        control->setEnabled(state.enabled[kind]);
        if (control->isCheckable())
            control->setChecked(state.checked);
    }
}

void CommandStates::bind(Command command, Control::Kind kind, QAction *control) {
    State &bound = state(command);
    bound.controls.emplace_back(kind, control);
    connect(control, &QObject::destroyed, this, [this, command, control] {
        std::erase_if(state(command).controls,
                      [control](const auto &entry) { return entry.second == control; });
    });
    // A click toggles a checkable control on its own; once the command has run, the
    // control shows the command's state again.
    if (control->isCheckable())
        connect(
            control, &QAction::triggered, this, [this, command] { show(state(command)); },
            Qt::QueuedConnection);
    show(bound);
}

void CommandStates::setEnabled(Command command, Control::Kind kind, bool enabled) {
    State &changed = state(command);
    changed.enabled[kind] = enabled;
    show(changed);
}

void CommandStates::setChecked(Command command, bool checked) {
    State &changed = state(command);
    changed.checked = checked;
    show(changed);
}

bool CommandStates::isEnabled(Command command, Control::Kind kind) const {
    const State *found = find(command);
    return found == nullptr || found->enabled[kind];
}

bool CommandStates::isChecked(Command command) const {
    const State *found = find(command);
    return found != nullptr && found->checked;
}

} // namespace vellumo
