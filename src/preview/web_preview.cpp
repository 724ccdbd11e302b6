// The live preview's engine: Qt WebEngine, built as a plugin that the editor loads
// the first time the preview opens.

#include "preview/web_preview.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

#include <QOpenGLContext>

#include <csignal>
#include <unistd.h>

// Qt's own setter of the context every GL context of the program shares with (exported
// by Qt GUI, not in its public headers). The engine takes it for granted.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace vellumo {

namespace {

// The page's copy and its folder are served under this scheme, its path the file's
// own: relative references resolve as they would on disk. (setHtml would refuse a
// page over 2 MB, and would know no folder.)
const QByteArray PageScheme = QByteArrayLiteral("vellumo-page");

QUrl pageUrl(const QString &path) {
    QUrl url;
    url.setScheme(QString::fromLatin1(PageScheme));
    url.setPath(path);
    return url;
}

// How long a renderer may leave a question unanswered before it counts as stuck,
// when a new copy of the page waits for it.
constexpr int StuckAfterMs = 1000;
// The watch kept on a page from its load until a while after it finished: a question
// this often, and patience this long. A renderer that leaves it unanswered while
// keeping a processor at least half busy is stuck in a script; one that is merely
// slow (a busy machine) keeps its page.
constexpr int WatchEveryMs = 2000;
constexpr int WatchPatienceMs = 5000;
constexpr int WatchAfterLoadMs = 10000;

// The processor time a process has used, in milliseconds; -1 when unknown.
qint64 processorMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command's name, which is in parentheses and may hold spaces:
    // state is the first, user and system time the 12th and 13th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    return ticksPerSecond > 0
               ? (fields.at(11).toLongLong() + fields.at(12).toLongLong()) * 1000 / ticksPerSecond
               : -1;
}

// Serves the page's copy at the page's own path, and the files of the page's folder
// tree from disk; nothing outside that tree.
class PageServer final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void setPage(const QString &folder, const QString &path, const QByteArray &html) {
        m_root = QFileInfo(folder).canonicalFilePath();
        m_path = path;
        m_html = html;
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override {
        const QString path = QDir::cleanPath(job->requestUrl().path(QUrl::FullyDecoded));
        if (path == m_path) {
            auto *copy = new QBuffer(job);
            copy->setData(m_html);
            copy->open(QIODevice::ReadOnly);
            job->reply(QByteArrayLiteral("text/html"), copy);
            return;
        }
        const QFileInfo info(path);
        const QString real = info.canonicalFilePath();
        if (real.isEmpty() || !info.isFile()) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        if (m_root.isEmpty() || !real.startsWith(m_root.endsWith(u'/') ? m_root : m_root + u'/')) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        auto *file = new QFile(real, job);
        if (!file->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        job->reply(m_types.mimeTypeForFile(real).name().toLatin1(), file);
    }

private:
    QString m_root;
    QString m_path;
    QByteArray m_html;
    QMimeDatabase m_types;
};

// A link's address for the system browser: the page's own files as file: URLs.
QUrl outsideAddress(const QUrl &url) {
    if (url.scheme() != QLatin1String(PageScheme))
        return url;
    QUrl file = QUrl::fromLocalFile(url.path(QUrl::FullyDecoded));
    file.setFragment(url.fragment(QUrl::FullyDecoded));
    return file;
}

// A window the page asked for: it never shows; a link meant for it goes to the
// system browser, anything else (a script's pop-up) goes nowhere.
class PopupCatcher final : public QWebEnginePage {
public:
    PopupCatcher(QWebEngineProfile *profile, std::function<void(const QUrl &)> linkClicked)
        : QWebEnginePage(profile, profile)
        , m_linkClicked(std::move(linkClicked)) {
        QTimer::singleShot(5000, this, &QObject::deleteLater);
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool) override {
        if (type == NavigationTypeLinkClicked && m_linkClicked)
            m_linkClicked(outsideAddress(url));
        deleteLater();
        return false;
    }

private:
    std::function<void(const QUrl &)> m_linkClicked;
};

class PreviewPage final : public QWebEnginePage {
public:
    PreviewPage(QWebEngineProfile *profile, const PreviewEngine::Events &events, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_events(events) {}

    // The copy this page may show; every other main-frame navigation is refused.
    QUrl expected;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override {
        const QUrl page = url.adjusted(QUrl::RemoveFragment);
        if (type == NavigationTypeLinkClicked) {
            // A jump within the page stays in the preview.
            if (isMainFrame && page == expected)
                return true;
            if (m_events.linkClicked)
                m_events.linkClicked(outsideAddress(url));
            return false;
        }
        if (type == NavigationTypeFormSubmitted)
            return false;
        return !isMainFrame || page == expected;
    }

    QWebEnginePage *createWindow(WebWindowType) override {
        return new PopupCatcher(profile(), m_events.linkClicked);
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int line, const QString &) override {
        if (m_events.message)
            m_events.message(level == ErrorMessageLevel,
                             QStringLiteral("Line %1: %2").arg(line).arg(message));
    }

private:
    const PreviewEngine::Events &m_events;
};

class WebPreview final : public QObject, public PreviewEngine {
public:
    WebPreview(QWidget *parent, Events events)
        : m_events(std::move(events))
        // Off the record: nothing of the page is kept on disk between runs.
        , m_profile(new QWebEngineProfile(this))
        , m_server(new PageServer(this))
        , m_view(new QWebEngineView(parent)) {
        m_profile->installUrlSchemeHandler(PageScheme, m_server);
        m_profile->setSpellCheckEnabled(false);
        QWebEngineSettings *settings = m_profile->settings();
        settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
        settings->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
        settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        m_page = new PreviewPage(m_profile, m_events, this);
        m_view->setObjectName(QStringLiteral("PreviewView"));
        m_view->setPage(m_page);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        m_watchdog.setInterval(WatchEveryMs);
        connect(&m_watchdog, &QTimer::timeout, this, [this] {
            if (!m_loading && m_watchEnds.isValid() && m_watchEnds.hasExpired(WatchAfterLoadMs))
                m_watchdog.stop();
            else
                probe(WatchPatienceMs, true);
        });
        connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
            // A navigation the page tried and was refused ends too; only our own loads count.
            if (!m_loading)
                return;
            m_loading = false;
            m_watchEnds.start();
            if (m_keepScroll)
                m_page->runJavaScript(
                    QStringLiteral("window.scrollTo(%1, %2)").arg(m_scroll.x()).arg(m_scroll.y()),
                    QWebEngineScript::ApplicationWorld);
            m_keepScroll = false;
            if (m_events.loaded)
                m_events.loaded(ok);
        });
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                    m_loading = false;
                    m_watchdog.stop();
                    if (m_events.rendererEnded)
                        m_events.rendererEnded(m_stuck ? QStringLiteral("a script kept it busy")
                                                       : endedHow(status));
                    m_stuck = false;
                    if (m_loadAfterEnd) {
                        m_loadAfterEnd = false;
                        // Not from inside the engine's own report of the ended renderer.
                        QTimer::singleShot(0, this, [this] { load(); });
                    }
                });
    }

    ~WebPreview() override {
        // The page goes before its profile, the view lets go of it first.
        m_view->setPage(nullptr);
        delete m_page;
        delete m_view;
    }
    WebPreview(const WebPreview &) = delete;
    WebPreview &operator=(const WebPreview &) = delete;

    QWidget *view() const override { return m_view; }

    void show(const QString &folder, const QString &fileName, const QByteArray &html) override {
        const QString path = QDir::cleanPath(folder + u'/' + fileName);
        m_server->setPage(folder, path, html);
        const QUrl url = pageUrl(path);
        if (!m_loading && url == m_page->expected) {
            m_scroll = m_page->scrollPosition();
            m_keepScroll = true;
        }
        m_page->expected = url;
        if (!m_loading) {
            load();
            return;
        }
        // The last copy has not finished: a renderer that cannot even answer is stuck
        // in a script, and is ended so that the next copy gets a new one.
        m_reloadWanted = true;
        probe(StuckAfterMs, false);
    }

    void runScript(const QString &script,
                   std::function<void(const QVariant &result)> done) override {
        m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, done);
    }

    void setZoom(double factor) override { m_view->setZoomFactor(factor); }

private:
    // Asks the renderer a trivial question. Unanswered after `patienceMs` (and, when
    // `onlyIfBusy`, with a processor kept at least half busy meanwhile), it counts as
    // stuck in a script and is ended. A copy of the page waiting for the renderer is
    // loaded once the question is settled either way.
    void probe(int patienceMs, bool onlyIfBusy) {
        if (m_probing)
            return;
        m_probing = true;
        // Settled by whichever comes first: the answer, or the time running out.
        auto settled = std::make_shared<bool>(false);
        const qint64 busyBefore = processorMs(m_page->renderProcessPid());
        m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                              [this, settled](const QVariant &) {
                                  if (*settled)
                                      return;
                                  *settled = true;
                                  m_probing = false;
                                  loadIfWanted();
                              });
        QTimer::singleShot(patienceMs, this, [this, settled, busyBefore, patienceMs, onlyIfBusy] {
            if (*settled)
                return;
            *settled = true;
            m_probing = false;
            const qint64 pid = m_page->renderProcessPid();
            const qint64 busy = processorMs(pid) - busyBefore;
            if (pid <= 0 || (onlyIfBusy && (busyBefore < 0 || busy < patienceMs / 2))) {
                loadIfWanted();
                return;
            }
            m_stuck = true;
            m_loadAfterEnd = std::exchange(m_reloadWanted, false);
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        });
    }

    void loadIfWanted() {
        if (std::exchange(m_reloadWanted, false))
            load();
    }

    void load() {
        m_loading = true;
        m_watchEnds.invalidate();
        m_watchdog.start();
        // A copy: loading may end the old renderer, whose page held the address.
        const QUrl url = m_page->expected;
        m_page->load(url);
    }

    static QString endedHow(QWebEnginePage::RenderProcessTerminationStatus status) {
        switch (status) {
        case QWebEnginePage::NormalTerminationStatus:
            return QStringLiteral("it ended");
        case QWebEnginePage::AbnormalTerminationStatus:
            return QStringLiteral("it failed");
        case QWebEnginePage::CrashedTerminationStatus:
            return QStringLiteral("it crashed");
        case QWebEnginePage::KilledTerminationStatus:
            return QStringLiteral("it was killed");
        }
        return QStringLiteral("it ended");
    }

    Events m_events;
    QWebEngineProfile *m_profile;
    PageServer *m_server;
    QWebEngineView *m_view;
    PreviewPage *m_page = nullptr;
    QPointF m_scroll;
    bool m_keepScroll = false;
    bool m_loading = false;
    bool m_probing = false;
    bool m_stuck = false;
    bool m_loadAfterEnd = false;
    bool m_reloadWanted = false;
    QTimer m_watchdog;
    QElapsedTimer m_watchEnds; // since the last load finished
};

} // namespace

WebPreviewFactory::WebPreviewFactory() {
    // The engine draws in software. Drawing with the graphics card would need the
    // window's GL contexts shared, which has to be asked for before the application
    // exists (Qt::AA_ShareOpenGLContexts) and then costs every start a GL context and
    // its driver (57 MiB and 0.05 s of CPU measured), preview or not. The engine still
    // reads the shared context's format as it starts, so one is made now.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    if (QOpenGLContext::globalShareContext() == nullptr) {
        auto *shared = new QOpenGLContext(QCoreApplication::instance());
        shared->create();
        qt_gl_set_global_share_context(shared);
    }
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --disable-gpu");
    // Registered before the engine starts, which is when the first profile is made.
    QWebEngineUrlScheme scheme(PageScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QString WebPreviewFactory::unavailable() const {
    // The engine's pages run in a helper program of its own; without it the engine
    // stops the process that asked for a page.
    const QString helper = QStringLiteral("QtWebEngineProcess");
    if (const QString named = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH"); !named.isEmpty())
        return QFileInfo(named).isExecutable()
                   ? QString()
                   : QStringLiteral("the web engine's helper program %1 (named by "
                                    "QTWEBENGINEPROCESS_PATH) cannot be run.")
                         .arg(QDir::toNativeSeparators(named));
    for (const QString &folder : {QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath),
                                  QCoreApplication::applicationDirPath()})
        if (QFileInfo(QDir(folder).filePath(helper)).isExecutable())
            return {};
    return QStringLiteral("the web engine's helper program %1 is missing from %2; "
                          "reinstalling Qt WebEngine (Debian's libqt6webenginecore6-bin) "
                          "brings it back.")
        .arg(helper,
             QDir::toNativeSeparators(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath)));
}

std::unique_ptr<PreviewEngine> WebPreviewFactory::create(QWidget *parent,
                                                         PreviewEngine::Events events) {
    return std::make_unique<WebPreview>(parent, std::move(events));
}

} // namespace vellumo
