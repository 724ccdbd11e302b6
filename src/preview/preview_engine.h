#pragma once

#include <QString>
#include <QtPlugin>

#include <functional>
#include <memory>

class QByteArray;
class QUrl;
class QVariant;
class QWidget;

namespace vellumo {

// The web engine behind the live preview, as the editor sees it. It lives in a
// plugin of its own, loaded the first time the preview opens, so a start without
// the preview never loads the engine's libraries.
class PreviewEngine {
public:
    // What the engine reports back. Every member may be empty.
    struct Events {
        // The page finished loading (false: it failed).
        std::function<void(bool ok)> loaded;
        // A link was clicked: a file's URL for the page's own links, else the link as written.
        std::function<void(const QUrl &url)> linkClicked;
        // A console message or a script error, as the page's console would show it.
        std::function<void(bool error, const QString &text)> message;
        // The page's renderer process ended; `why` says how.
        std::function<void(const QString &why)> rendererEnded;
    };

    virtual ~PreviewEngine() = default;

    // The web view, its object name set; owned by the engine.
    virtual QWidget *view() const = 0;
    // Renders `html` (UTF-8) as the page `fileName` in `folder`, whose files and
    // folders below it serve the page's relative references. The scroll position is
    // kept when the page is the one shown already. A renderer stuck in a script is
    // ended first, so a new copy of the page always gets a renderer that listens.
    virtual void show(const QString &folder, const QString &fileName, const QByteArray &html) = 0;
    // Runs a script in the page; `done` receives its result (never called when the
    // page is gone first).
    virtual void runScript(const QString &script,
                           std::function<void(const QVariant &result)> done) = 0;
    // Scales the page's drawing (1.0: CSS pixels are screen pixels).
    virtual void setZoom(double factor) = 0;
};

// The plugin's one object: makes engines.
class PreviewEngineFactory {
public:
    virtual ~PreviewEngineFactory() = default;
    // Why the engine cannot start here, for a person; empty when it can. The engine ends
    // the whole program when it fails to start, so this is asked first.
    virtual QString unavailable() const = 0;
    virtual std::unique_ptr<PreviewEngine> create(QWidget *parent,
                                                  PreviewEngine::Events events) = 0;
};

} // namespace vellumo

#define VellumoPreviewEngineFactory_iid "org.example.vellumo.PreviewEngineFactory/2"
Q_DECLARE_INTERFACE(vellumo::PreviewEngineFactory, VellumoPreviewEngineFactory_iid)
