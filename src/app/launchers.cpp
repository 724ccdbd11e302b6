#include "app/launchers.h"

#include "app/main_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>

namespace vellumo {

const std::vector<Launcher> &launchers() {
    static const std::vector<Launcher> table = {
        {"ToolbarButton97113Click", {"ToolbarButton97113", "ToolbarButton97127"}, "Form5"},
        {"ToolbarButton97130Click",
         {"ToolbarButton97130", "ToolbarButton97131", "HorizontalRule1"},
         "Form6"},
        {"ToolbarButton97133Click", {"ToolbarButton97133", "ToolbarButton97134"}, "Form7"},
        {"ToolbarButton97135Click", {"ToolbarButton97135", "ToolbarButton97136"}, "Form8"},
        {"ToolbarButton97123Click", {"ToolbarButton97123"}, "Form9"},
        {"ToolbarButton97137Click", {"ToolbarButton97137", "ToolbarButton97138"}, "Form11"},
        {"ToolbarButton97139Click", {"ToolbarButton97140", "ToolbarButton97139"}, "Form12"},
        {"ToolbarButton97141Click",
         {"ToolbarButton97142", "ToolbarButton97141", "FrameWizard1"},
         "Form13"},
        {"PageGenerator1Click", {"PageGenerator1"}, "Form10"},
        {"ToolbarButton97145Click", {"ToolbarButton97145", "ToolbarButton97146"}, "Form17"},
        {"ToolbarButton97147Click", {"ToolbarButton97147"}, "Form18"},
        {"ToolbarButton97148Click", {"ToolbarButton97148", "ToolbarButton97149"}, "Form19"},
        {"ToolbarButton97150Click", {"ToolbarButton97150", "ToolbarButton97151"}, "Form20"},
        {"ToolbarButton97152Click", {"ToolbarButton97152", "ToolbarButton97153"}, "Form21"},
        {"ToolbarButton97154Click", {"ToolbarButton97154", "ToolbarButton97155"}, "Form22"},
        {"ToolbarButton97156Click", {"ToolbarButton97156", "ToolbarButton97157"}, "Form23"},
        {"ToolbarButton97158Click", {"ToolbarButton97158", "ToolbarButton97159"}, "Form24"},
        {"ToolbarButton97160Click", {"ToolbarButton97160", "ToolbarButton97161"}, "Form25"},
        {"ToolbarButton97162Click", {"ToolbarButton97162", "ToolbarButton97163"}, "Form26"},
        {"ToolbarButton97164Click", {"ToolbarButton97164", "ToolbarButton97165"}, "Form28"},
    };
    return table;
}

void bindLaunchers(TForm1 &mainWindow) {
    for (const Launcher &launcher : launchers()) {
        auto show = [&mainWindow, window = launcher.window] {
            if (auto *dialog = qobject_cast<QDialog *>(mainWindow.dialog(window)))
                dialog->exec();
        };
        for (const QString &name : launcher.controls) {
            // A toolbar button is made for its action and carries the same name:
            // bind the action, never both.
            if (QAction *action = mainWindow.action(name)) {
                QObject::connect(action, &QAction::triggered, &mainWindow, show);
                continue;
            }
            if (auto *button = mainWindow.findChild<QAbstractButton *>(name))
                QObject::connect(button, &QAbstractButton::clicked, &mainWindow, show);
        }
    }
}

} // namespace vellumo
