#pragma once

namespace vellumo {

class InsertionCore;
class Platform;

// What every dialog receives when it is constructed: the one road into the page
// and the operating-system services. A dialog never reaches into the main window.
struct DialogContext {
    InsertionCore &core;
    Platform &platform;
};

} // namespace vellumo
