#pragma once

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QComboBox;
class QDockWidget;
class QLabel;
class QMainWindow;
class QToolButton;
class QVariant;

namespace vellumo {

class Page;
class Platform;
class PreviewEngine;
class PreviewStage;

// The live preview: a panel beside the editor (`PreviewPanel`) that shows the
// editor's text as the engine renders it, unsaved, refreshed when typing pauses,
// and scrolled to the element the caret is in. The panel and the engine are made
// the first time the preview opens; closing it lets go of the engine's page, and
// while it is closed the editor does no work for it.
class LivePreview final : public QObject {
    Q_OBJECT
public:
    // Where the page stands: its folder (for relative references) and file name.
    struct PageInfo {
        QString folder;
        QString fileName;
    };

    // Pages above this many characters refresh only on Refresh or a save.
    static constexpr qsizetype LargePage = qsizetype{5} * 1024 * 1024;
    static constexpr int RefreshDelayMs = 300;

    LivePreview(QMainWindow &window, Page &source, Platform &platform,
                std::function<PageInfo()> page);
    ~LivePreview() override;
    LivePreview(const LivePreview &) = delete;
    LivePreview &operator=(const LivePreview &) = delete;

    bool isOpen() const { return m_open; }
    void setOpen(bool open);
    // Opens the panel again where the last run left it open.
    void restore();
    // The page was saved or opened: refreshed whatever its size.
    void pageSaved();
    void refreshNow();

    // The panel, or nullptr before the preview first opened.
    QDockWidget *panel() const { return m_panel; }
    // Runs a script in the rendered page (for whoever wants to read its DOM); `done`
    // is not called when the preview is closed first.
    void runScript(const QString &script, std::function<void(const QVariant &)> done);

Q_SIGNALS:
    void openChanged(bool open);
    // A copy of the page finished loading.
    void refreshed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createPanel();
    bool createEngine();
    void textChanged();
    void caretMoved();
    void followCaret();
    void loaded(bool ok);
    void showStatus();
    void storeState();
    QString pluginPath() const;

    QMainWindow &m_window;
    Page &m_source;
    Platform &m_platform;
    std::function<PageInfo()> m_page;
    QDockWidget *m_panel = nullptr;
    QComboBox *m_width = nullptr;
    QToolButton *m_refresh = nullptr;
    QLabel *m_status = nullptr;
    PreviewStage *m_stage = nullptr;
    std::unique_ptr<PreviewEngine> m_engine;
    QString m_engineError;
    QTimer m_refreshTimer;
    QList<QMetaObject::Connection> m_editorLinks;
    QStringList m_messages;
    int m_errors = 0;
    QDateTime m_lastRefresh;
    QString m_rendererEnded;
    QString m_restartedAfter;
    int m_caretLine = 0;
    bool m_open = false;
    bool m_loadedOnce = false;
};

} // namespace vellumo
