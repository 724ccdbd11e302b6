#include "preview/live_preview.h"

#include "document/page.h"
#include "platform/platform.h"
#include "preview/preview_copy.h"
#include "preview/preview_engine.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPluginLoader>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vellumo {

namespace {

const QString StateKey = QStringLiteral("PreviewPanel");
const QString FollowKey = QStringLiteral("PreviewFollowsCaret");
// "Yes": the engine runs without its sandbox when the program runs as root.
const QString NoSandboxKey = QStringLiteral("PreviewWithoutSandbox");

bool runsAsRoot() {
#ifdef Q_OS_UNIX
    return geteuid() == 0;
#else
    return false;
#endif
}

bool sandboxTurnedOff() {
    return !qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") ||
           qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--no-sandbox");
}

// The engine's smallest scale.
constexpr double SmallestZoom = 0.25;

// The panel's place between runs, as the settings keep it: "Shown Right 480" (open,
// docked on the right, 480 pixels wide) or "Hidden Floating x y width height".
struct DockState {
    bool shown = false;
    Qt::DockWidgetArea area = Qt::RightDockWidgetArea;
    bool floating = false;
    int size = 0; // across the dock: its width on the left or right, else its height
    QRect geometry;
};

constexpr std::pair<Qt::DockWidgetArea, const char *> AreaNames[] = {
    {Qt::LeftDockWidgetArea, "Left"},
    {Qt::RightDockWidgetArea, "Right"},
    {Qt::TopDockWidgetArea, "Top"},
    {Qt::BottomDockWidgetArea, "Bottom"},
};

DockState readState(const QString &text) {
    DockState state;
    const QStringList parts = text.split(u' ');
    state.shown = parts.value(0) == u"Shown";
    if (parts.value(1) == u"Floating" && parts.size() == 6) {
        state.floating = true;
        state.geometry = QRect(parts.at(2).toInt(), parts.at(3).toInt(), parts.at(4).toInt(),
                               parts.at(5).toInt());
        return state;
    }
    for (const auto &[area, name] : AreaNames)
        if (parts.value(1) == QLatin1String(name))
            state.area = area;
    state.size = parts.value(2).toInt();
    return state;
}

QString writeState(const DockState &state) {
    QStringList parts{state.shown ? QStringLiteral("Shown") : QStringLiteral("Hidden")};
    if (state.floating) {
        parts << QStringLiteral("Floating") << QString::number(state.geometry.x())
              << QString::number(state.geometry.y()) << QString::number(state.geometry.width())
              << QString::number(state.geometry.height());
        return parts.join(u' ');
    }
    for (const auto &[area, name] : AreaNames)
        if (area == state.area)
            parts << QString::fromLatin1(name);
    parts << QString::number(state.size);
    return parts.join(u' ');
}

// The dock's close button closes the preview as F12 does.
class PreviewDock final : public QDockWidget {
public:
    using QDockWidget::QDockWidget;
    std::function<void()> closed;

protected:
    void closeEvent(QCloseEvent *event) override {
        QDockWidget::closeEvent(event);
        if (closed)
            closed();
    }
};

} // namespace

// Holds the web view: the page is laid out at the chosen width, centred when the
// panel is wider, scaled down to fit when it is narrower.
class PreviewStage final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void(double)> zoom;

    void setView(QWidget *view) {
        m_view = view;
        if (view != nullptr) {
            view->setParent(this);
            view->show();
        }
        arrange();
    }
    void setPageWidth(int width) {
        m_pageWidth = width;
        arrange();
    }

protected:
    void resizeEvent(QResizeEvent *event) override {
        QWidget::resizeEvent(event);
        arrange();
    }

private:
    void arrange() {
        if (m_view == nullptr)
            return;
        const int available = std::max(1, width());
        if (m_pageWidth > 0 && m_pageWidth <= available) {
            m_view->setGeometry((available - m_pageWidth) / 2, 0, m_pageWidth, height());
            zoom(1.0);
            return;
        }
        m_view->setGeometry(rect());
        zoom(m_pageWidth == 0 ? 1.0
                              : std::max(SmallestZoom, double(available) / double(m_pageWidth)));
    }

    QPointer<QWidget> m_view;
    int m_pageWidth = 0;
};

LivePreview::LivePreview(QMainWindow &window, Page &source, Platform &platform,
                         std::function<PageInfo()> page)
    : QObject(&window)
    , m_window(window)
    , m_source(source)
    , m_platform(platform)
    , m_page(std::move(page)) {
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(RefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &LivePreview::refreshNow);
    m_window.installEventFilter(this);
}

LivePreview::~LivePreview() = default;

bool LivePreview::eventFilter(QObject *watched, QEvent *event) {
    // The panel's width as the user left it is kept when the window closes.
    if (watched == &m_window && event->type() == QEvent::Close)
        storeState();
    return QObject::eventFilter(watched, event);
}

void LivePreview::restore() {
    if (readState(m_platform.readSetting(StateKey).toString()).shown)
        setOpen(true);
}

void LivePreview::createPanel() {
    auto *dock = new PreviewDock(QStringLiteral("Preview"), &m_window);
    dock->closed = [this] { setOpen(false); };
    m_panel = dock;
    m_panel->setObjectName(QStringLiteral("PreviewPanel"));
    m_panel->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                         QDockWidget::DockWidgetFloatable);
    auto *content = new QWidget(m_panel);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(4, 2, 4, 2);
    m_width = new QComboBox(content);
    m_width->setObjectName(QStringLiteral("PreviewWidth"));
    m_width->setToolTip(QStringLiteral("The width the page is laid out at"));
    m_width->addItem(QStringLiteral("Full"), 0);
    for (const int width : {1280, 768, 375})
        m_width->addItem(QString::number(width), width);
    m_refresh = new QToolButton(content);
    m_refresh->setObjectName(QStringLiteral("PreviewRefresh"));
    m_refresh->setText(QStringLiteral("Refresh"));
    m_refresh->setToolTip(QStringLiteral("Show the page as it is now"));
    m_status = new QLabel(content);
    m_status->setObjectName(QStringLiteral("PreviewStatus"));
    m_status->setTextInteractionFlags(Qt::NoTextInteraction);
    // A long message wraps instead of widening the panel over the editor.
    m_status->setWordWrap(true);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(m_width);
    bar->addWidget(m_refresh);
    bar->addWidget(m_status, 1);
    m_stage = new PreviewStage(content);
    m_stage->zoom = [this](double factor) {
        if (m_engine)
            m_engine->setZoom(factor);
    };
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_stage, 1);
    m_panel->setWidget(content);

    connect(m_width, &QComboBox::currentIndexChanged, this,
            [this] { m_stage->setPageWidth(m_width->currentData().toInt()); });
    connect(m_refresh, &QToolButton::clicked, this, &LivePreview::refreshNow);
    connect(m_panel, &QDockWidget::dockLocationChanged, this, &LivePreview::storeState);
    connect(m_panel, &QDockWidget::topLevelChanged, this, &LivePreview::storeState);

    const DockState state = readState(m_platform.readSetting(StateKey).toString());
    m_window.addDockWidget(state.area, m_panel);
    if (state.floating) {
        m_panel->setFloating(true);
        if (state.geometry.isValid())
            m_panel->setGeometry(state.geometry);
    } else {
        const bool across =
            state.area == Qt::LeftDockWidgetArea || state.area == Qt::RightDockWidgetArea;
        const int size =
            state.size > 0 ? state.size : (across ? m_window.width() : m_window.height()) * 2 / 5;
        m_window.resizeDocks({m_panel}, {size}, across ? Qt::Horizontal : Qt::Vertical);
    }
}

QString LivePreview::pluginPath() const {
    // Installed beside the program's other libraries; else where the build made it.
    const QString installed = QDir(QCoreApplication::applicationDirPath())
                                  .filePath(QStringLiteral(VELLUMO_PREVIEW_PLUGIN_INSTALLED));
    return QFileInfo::exists(installed) ? installed : QStringLiteral(VELLUMO_PREVIEW_PLUGIN_BUILT);
}

bool LivePreview::createEngine() {
    // The engine refuses to start as root with its sandbox on, and then ends the whole
    // program, unsaved page and all: it is not asked to, unless the user chose to run
    // it unprotected.
    if (runsAsRoot() && !sandboxTurnedOff()) {
        if (m_platform.readSetting(NoSandboxKey).toString() != u"Yes") {
            m_engineError = QStringLiteral(
                "Vellumo runs as root, and the web engine does not show pages as root with "
                "its sandbox on. Start Vellumo as your own user to see the preview, or set "
                "PreviewWithoutSandbox=Yes in Vellumo.conf to run the engine without its "
                "sandbox.");
            return false;
        }
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    QPluginLoader loader(pluginPath());
    auto *factory = qobject_cast<PreviewEngineFactory *>(loader.instance());
    if (factory == nullptr) {
        m_engineError = loader.errorString();
        return false;
    }
    m_engineError = factory->unavailable();
    if (!m_engineError.isEmpty())
        return false;
    PreviewEngine::Events events;
    events.loaded = [this](bool ok) { loaded(ok); };
    events.linkClicked = [this](const QUrl &url) {
        if (!m_platform.openUrl(url)) {
            m_status->setText(QStringLiteral("No browser could open %1")
                                  .arg(url.toDisplayString(QUrl::PreferLocalFile)));
        }
    };
    events.message = [this](bool error, const QString &text) {
        m_errors += error ? 1 : 0;
        m_messages << text;
        showStatus();
    };
    events.rendererEnded = [this](const QString &why) {
        m_rendererEnded = why;
        showStatus();
    };
    m_engine = factory->create(m_stage, std::move(events));
    m_stage->setView(m_engine->view());
    m_stage->setPageWidth(m_width->currentData().toInt());
    m_engineError.clear();
    return true;
}

void LivePreview::setOpen(bool open) {
    if (open == m_open)
        return;
    m_open = open;
    if (open) {
        if (m_panel == nullptr)
            createPanel();
        m_panel->show();
        if (!createEngine())
            showStatus();
        m_editorLinks = {connect(&m_source, &Page::changed, this, &LivePreview::textChanged),
                         connect(&m_source, &Page::replaced, this, &LivePreview::textChanged),
                         connect(&m_source, &Page::caretMoved, this, &LivePreview::caretMoved)};
        m_caretLine = m_source.lineAt(m_source.caret()) + 1;
        refreshNow();
    } else {
        for (const QMetaObject::Connection &link : std::as_const(m_editorLinks))
            disconnect(link);
        m_editorLinks.clear();
        m_refreshTimer.stop();
        // The engine's page goes with the panel; the next opening makes a new one.
        m_stage->setView(nullptr);
        m_engine.reset();
        m_loadedOnce = false;
        storeState();
        m_panel->hide();
    }
    storeState();
    Q_EMIT openChanged(open);
}

void LivePreview::pageSaved() {
    if (m_open)
        refreshNow();
}

void LivePreview::textChanged() {
    if (m_source.length() >= LargePage) {
        m_refreshTimer.stop();
        showStatus();
        return;
    }
    m_refreshTimer.start();
}

void LivePreview::refreshNow() {
    m_refreshTimer.stop();
    if (!m_engine)
        return;
    const PageInfo page = m_page();
    m_restartedAfter.clear();
    m_messages.clear();
    m_errors = 0;
    m_engine->show(page.folder, page.fileName, previewCopy(m_source.snapshot()));
}

void LivePreview::loaded(bool ok) {
    Q_UNUSED(ok)
    m_lastRefresh = QDateTime::currentDateTime();
    // This copy got a new renderer: the status says why until the next refresh (a copy
    // given up for a newer one ends loading too, before the newer one).
    if (!m_rendererEnded.isEmpty())
        m_restartedAfter = m_rendererEnded;
    m_rendererEnded.clear();
    m_loadedOnce = true;
    showStatus();
    followCaret();
    Q_EMIT refreshed();
}

void LivePreview::caretMoved() {
    const int line = m_source.lineAt(m_source.caret()) + 1;
    if (line == m_caretLine)
        return;
    m_caretLine = line;
    followCaret();
}

void LivePreview::followCaret() {
    if (!m_engine || !m_loadedOnce || m_platform.readSetting(FollowKey).toString() == u"No")
        return;
    m_engine->runScript(followCaretScript(m_caretLine), {});
}

void LivePreview::runScript(const QString &script, std::function<void(const QVariant &)> done) {
    if (m_engine)
        m_engine->runScript(script, std::move(done));
}

void LivePreview::showStatus() {
    if (m_status == nullptr)
        return;
    QString text;
    if (!m_engineError.isEmpty()) {
        text = QStringLiteral("The preview cannot start: %1").arg(m_engineError);
    } else if (!m_rendererEnded.isEmpty()) {
        text = QStringLiteral("The page stopped (%1); it starts again at the next refresh")
                   .arg(m_rendererEnded);
    } else {
        text = m_lastRefresh.isValid()
                   ? QStringLiteral("Refreshed %1").arg(m_lastRefresh.toString(u"HH:mm:ss"))
                   : QStringLiteral("Refreshing");
        const qsizetype others = m_messages.size() - m_errors;
        if (m_errors > 0)
            text += m_errors == 1 ? QStringLiteral(", 1 script error")
                                  : QStringLiteral(", %1 script errors").arg(m_errors);
        if (others > 0)
            text += others == 1 ? QStringLiteral(", 1 console message")
                                : QStringLiteral(", %1 console messages").arg(others);
        if (!m_restartedAfter.isEmpty())
            text += QStringLiteral(", in a new renderer (the last one stopped: %1)")
                        .arg(m_restartedAfter);
        if (m_source.length() >= LargePage)
            text += QStringLiteral(". Over 5 MB: refreshes on Refresh or Save");
    }
    m_status->setText(text);
    m_status->setToolTip(m_messages.join(u'\n'));
}

void LivePreview::storeState() {
    if (m_panel == nullptr)
        return;
    if (m_panel->isHidden()) {
        // A hidden panel has no place of its own: the last one stays.
        DockState state = readState(m_platform.readSetting(StateKey).toString());
        state.shown = m_open;
        m_platform.writeSetting(StateKey, writeState(state));
        return;
    }
    DockState state;
    state.shown = m_open;
    state.floating = m_panel->isFloating();
    state.geometry = m_panel->geometry();
    state.area = m_window.dockWidgetArea(m_panel);
    const bool across =
        state.area == Qt::LeftDockWidgetArea || state.area == Qt::RightDockWidgetArea;
    state.size = across ? m_panel->width() : m_panel->height();
    m_platform.writeSetting(StateKey, writeState(state));
}

} // namespace vellumo
