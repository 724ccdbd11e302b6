#include "app/application.h"

#include "app/about_dialog.h"
#include "app/command_line.h"
#include "app/tip_dialog.h"
#include "browser/insert_style_dialog.h"

#include "app/data_files.h"
#include "app/main_window.h"
#include "app/recovery_offer.h"
#include "dialogs/applet_dialog.h"
#include "dialogs/email_dialog.h"
#include "dialogs/embedded_item_dialog.h"
#include "dialogs/font_dialog.h"
#include "dialogs/form_action_dialog.h"
#include "dialogs/form_field_dialog.h"
#include "dialogs/image_dialog.h"
#include "dialogs/insert_tags_dialog.h"
#include "dialogs/link_dialog.h"
#include "dialogs/map_dialog.h"
#include "dialogs/marquee_dialog.h"
#include "dialogs/meta_dialog.h"
#include "dialogs/page_transfer_dialog.h"
#include "dialogs/rule_dialog.h"
#include "dialogs/script_dialog.h"
#include "dialogs/scrolling_text_dialog.h"
#include "dialogs/sound_dialog.h"
#include "editor/document_controller.h"
#include "editor/insertion_core.h"
#include "editor/recovery_journal.h"
#include "editor/title_dialog.h"
#include "generators/frame_wizard.h"
#include "generators/page_generator_dialog.h"
#include "platform/qt_platform.h"
#include "preview/live_preview.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace vellumo {

Windows::Windows(Platform &platform)
    : m_main(new TForm1(platform)) {
    m_main->setAttribute(Qt::WA_DeleteOnClose, false);
    auto *title = new TForm2(m_main);
    m_main->setTitleDialog(title);
    DialogContext context{m_main->core(), platform};
    // Each window is registered under its role; the dialogs are children of the main
    // window, so they close with it. They are created in the order of their numbers.
    std::array<QWidget *, WindowCount> byRole{};
    m_all = {m_main};
    const auto add = [&](Window role, QWidget *window) {
        byRole[static_cast<std::size_t>(role)] = window;
        m_all.append(window);
    };
    add(Window::Title, title);
    add(Window::InsertStyle, new TForm3(context, m_main));
    add(Window::About, new TForm4(context, m_main));
    add(Window::Image, new TForm5(context, m_main));
    add(Window::Rule, new TForm6(context, m_main));
    add(Window::Link, new TForm7(context, m_main));
    add(Window::EMail, new TForm8(context, m_main));
    add(Window::PageTransfer, new TForm9(context, m_main));
    add(Window::PageGenerator, new TForm10(context, m_main));
    add(Window::Sound, new TForm11(context, m_main));
    add(Window::Marquee, new TForm12(context, m_main));
    add(Window::FrameWizard, new TForm13(context, m_main));
    add(Window::FrameDetails, new TForm14(context, m_main));
    add(Window::InsertTags, new TForm17(context, m_main));
    add(Window::ScrollingText, new TForm18(context, m_main));
    add(Window::Font, new TForm19(context, m_main));
    add(Window::FormAction, new TForm20(context, m_main));
    add(Window::FormField, new TForm21(context, m_main));
    add(Window::ImageMap, new TForm22(context, m_main));
    add(Window::Meta, new TForm23(context, m_main));
    add(Window::Script, new TForm24(context, m_main));
    add(Window::Applet, new TForm25(context, m_main));
    add(Window::Parameter, new TForm26(context, m_main));
    add(Window::TipOfTheDay, new TForm27(context, m_main));
    add(Window::EmbeddedItem, new TForm28(context, m_main));
    // A role left without its window (or given two) stops the program here, not at its first use.
    if (std::find(byRole.cbegin(), byRole.cend(), nullptr) != byRole.cend())
        qFatal("A window has no place among the main window's windows");
    for (QWidget *window : m_all)
        window->hide();
    m_main->setWindows(byRole);
    // The Frame Wizard's first step hands over to its second.
    qobject_cast<TForm13 *>(m_main->window(Window::FrameWizard))
        ->setFrameDetails(qobject_cast<TForm14 *>(m_main->window(Window::FrameDetails)));
}

Windows::~Windows() {
    delete m_main;
}

namespace {

// Renders the main window as it looks after start-up, for the README and for
// machines without a display.
int writeScreenshot(TForm1 &window, const QString &out, const QString &file) {
    window.setAutomaticTipAllowed(false);
    window.resize(1100, 720);
    window.show();
    QApplication::processEvents();
    if (!file.isEmpty()) {
        window.document().openOrName(file);
        QApplication::processEvents();
    }
    // A live preview left open is drawn with the page in it: its last copy loaded, then
    // a moment for the engine's frame to arrive.
    LivePreview &preview = window.livePreview();
    if (preview.isOpen()) {
        QEventLoop wait;
        QObject::connect(&preview, &LivePreview::refreshed, &wait,
                         [&wait] { QTimer::singleShot(1500, &wait, &QEventLoop::quit); });
        QTimer::singleShot(20000, &wait, &QEventLoop::quit);
        wait.exec();
    }
    if (!window.grab().save(out, "PNG")) {
        std::fprintf(stderr, "vellumo: cannot write the picture %s\n",
                     qPrintable(QDir::toNativeSeparators(out)));
        return 1;
    }
    return 0;
}

} // namespace

namespace {

void nameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("Vellumo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Vellumo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLUMO_VERSION));
}

} // namespace

int runApplication(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseCommandLine(arguments);
    // Help, version and mistakes need no display.
    if (line.help || line.version || !line.error.isEmpty()) {
        QCoreApplication app(argc, argv);
        nameTheProgram();
        return answerWithoutWindow(line);
    }
    const bool screenshot = !line.screenshot.isEmpty();
    if (screenshot) {
        // The picture is drawn off screen, display or not.
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef Q_OS_LINUX
    else if (qEnvironmentVariableIsEmpty("DISPLAY") &&
             qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
             qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "vellumo: there is no display to show the editor on (neither DISPLAY nor "
                     "WAYLAND_DISPLAY is set).\nUse --screenshot OUT.png to draw the main "
                     "window into a picture instead.\n");
        return 1;
    }
#endif

    QApplication app(argc, argv);
    nameTheProgram();
    QApplication::setApplicationDisplayName(QString());

    const QString startupFolder = QDir::currentPath();
    QtPlatform platform(findDataFile(startupFolder, QStringLiteral("help/index.html"))
                            .section(QLatin1Char('/'), 0, -2));
    platform.setUnattended(screenshot);
    // Made before the windows, so it outlives the page it keeps.
    RecoveryJournal journal;
    Windows windows(platform);
    TForm1 &main = windows.mainWindow();
    const QString file = line.files.value(0);
    if (screenshot)
        return writeScreenshot(main, line.screenshot, file);
    // One page per window, and one running copy per window: each further page
    // gets a copy of the program of its own, started in this folder.
    for (const QString &further : line.files.mid(1))
        platform.startCopyOfThisProgram({further});
    // The window comes first, so the program is visibly there at once; a big page
    // then fills it, showing its progress. Opening after the first show also keeps
    // the start-up template from replacing the page.
    main.showMaximized();
    // Unsaved work of a run that crashed is offered first; FILE opens after it.
    startRecoveryThenOpen(main, journal, file);
    return QApplication::exec();
}

} // namespace vellumo
