#pragma once

// File permissions that hold for root too. While one of these lives, the calling
// thread, and every thread it starts meanwhile, lacks the capabilities that let
// root read and enter any folder, so a folder without read permission is closed
// to it as it is to an ordinary user. Capabilities belong to each thread, so the
// rest of the test process keeps its own.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstring>

namespace vellumo {

class PermissionsEnforced {
public:
    PermissionsEnforced() {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2];
        std::memcpy(reduced, m_saved, sizeof reduced);
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~PermissionsEnforced() {
        if (m_active)
            syscall(SYS_capset, &m_header, m_saved);
    }
    PermissionsEnforced(const PermissionsEnforced &) = delete;
    PermissionsEnforced &operator=(const PermissionsEnforced &) = delete;

    // False only when root's capabilities could not be given up.
    bool ready() const { return m_active || geteuid() != 0; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_active = false;
};

} // namespace vellumo
