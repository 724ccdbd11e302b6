#pragma once

// The program's windows on a scripted platform with a settings store of their own,
// for the tests of the real window.

#include "app/application.h"
#include "app/main_window.h"
#include "document/page.h"
#include "editor/insertion_core.h"
#include "editor/page_editor.h"
#include "scripted_platform.h"

#include <QVariantMap>

#include <memory>

namespace vellumo {

struct RunningWindows {
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<Windows> windows;

    // New windows on a new platform, the settings emptied first, then the Tip of the Day
    // turned off (unless `tipOff` is false) and `settings` written before the windows read them.
    TForm1 &start(const QVariantMap &settings = {}, bool tipOff = true) {
        stop();
        platform = std::make_unique<ScriptedPlatform>();
        ScriptedPlatform::clearSettings();
        if (tipOff)
            platform->writeSetting(QStringLiteral("Tip"), QStringLiteral("No"));
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            platform->writeSetting(it.key(), it.value());
        windows = std::make_unique<Windows>(*platform);
        return windows->mainWindow();
    }

    // The windows of another run of the program on the same platform and settings.
    TForm1 &restart() {
        stop();
        windows = std::make_unique<Windows>(*platform);
        return windows->mainWindow();
    }

    // The windows closed without the unsaved-changes question.
    void stop() {
        if (windows)
            windows->mainWindow().core().page().setModified(false);
        windows.reset();
    }
};

} // namespace vellumo
