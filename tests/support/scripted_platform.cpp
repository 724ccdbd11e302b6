#include "scripted_platform.h"

#include <QApplication>
#include <QSettings>

namespace vellumo {

void ScriptedPlatform::record(Shown box) {
    if (const QWidget *modal = QApplication::activeModalWidget())
        box.over = modal->objectName();
    shown.append(std::move(box));
}

QStringList ScriptedPlatform::texts(const QString &kind) const {
    QStringList result;
    for (const Shown &s : shown)
        if (s.kind == kind)
            result.append(s.text);
    return result;
}

QMessageBox::StandardButton ScriptedPlatform::ask(QWidget *, const QString &caption,
                                                  const QString &text,
                                                  QMessageBox::StandardButtons buttons) {
    record({QStringLiteral("ask"), caption, text, {}, {}});
    if (m_answers.isEmpty()) {
        unexpected.append(text);
        return QMessageBox::NoButton;
    }
    const QMessageBox::StandardButton answer = m_answers.dequeue();
    if (!(buttons & answer))
        unexpected.append(QStringLiteral("answer not offered: ") + text);
    return answer;
}

void ScriptedPlatform::showError(QWidget *, const QString &caption, const QString &text) {
    record({QStringLiteral("error"), caption, text, {}, {}});
}

void ScriptedPlatform::showInformation(QWidget *, const QString &caption, const QString &text) {
    record({QStringLiteral("information"), caption, text, {}, {}});
}

QString ScriptedPlatform::chooseOpenFile(QWidget *, const FileChooserRequest &request) {
    record({QStringLiteral("open"), request.title, {}, request, {}});
    if (m_files.isEmpty()) {
        unexpected.append(QStringLiteral("open file chooser"));
        return {};
    }
    return m_files.dequeue();
}

QString ScriptedPlatform::chooseSaveFile(QWidget *, const FileChooserRequest &request) {
    record({QStringLiteral("save"), request.title, {}, request, {}});
    if (m_files.isEmpty()) {
        unexpected.append(QStringLiteral("save file chooser"));
        return {};
    }
    return m_files.dequeue();
}

void ScriptedPlatform::clearSettings() {
    QSettings settings(QStringLiteral("Vellumo"), QStringLiteral("Vellumo"));
    settings.clear();
    settings.sync();
}

} // namespace vellumo
