#pragma once

#include "preview/preview_engine.h"

#include <QObject>

namespace vellumo {

// The plugin's root object, found by QPluginLoader: makes the Qt WebEngine previews.
class WebPreviewFactory final : public QObject, public PreviewEngineFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VellumoPreviewEngineFactory_iid)
    Q_INTERFACES(vellumo::PreviewEngineFactory)

public:
    WebPreviewFactory();
    QString unavailable() const override;
    std::unique_ptr<PreviewEngine> create(QWidget *parent, PreviewEngine::Events events) override;
};

} // namespace vellumo
